#ifndef RUNRECORD_H
#define RUNRECORD_H

#include "dispatch.h"
#include "runreport.h"

#include <QString>
#include <QVector>

#include <deque>
#include <optional>

// What a run of the engine produced, gathered from its decoded messages: the output lines, the
// input errors with the document each belongs to, the latest table of each kind, the latest
// graphs and memory dump, the engine's version and the time the inputs took. quorstudio-run
// writes its tables, graphs, dump and report from it, and the window its File > Export Run
// Report, so both make the same page from the same messages.
class RunRecord {
public:
    static constexpr int AllLines = -1;

    // Keeps the last `keptOutputLines` output lines (AllLines: every one; 0: none).
    explicit RunRecord(int keptOutputLines = AllLines);

    // Takes one message; its errors belong to the document `fileName`. Returns the line the
    // message adds to the output with these options, as outputText() does.
    std::optional<QString> add(const DecodedMessage& message, const QString& fileName,
                               const OutputOptions& options);

    // Whether the time messages that come count towards the time the run took (they do at
    // first).
    void setCountingTime(bool counting) { countingTime = counting; }

    // Forgets the output, the errors and the time, as the Output dock's Clear Output does.
    void clearOutput();

    const QVector<TermRecord>& table(TermTableKind kind) const;
    const std::optional<QuestionTree>& questionTree() const { return question; }
    const std::optional<InferenceGraph>& inferenceGraph() const { return inference; }
    const std::optional<QByteArray>& memoryDump() const { return memory; }
    const QString& engineVersion() const { return version; }

    // The report of the given sources (their errors are left empty here and filled from the
    // record by file name), with everything else the record holds.
    RunReport report(const QString& title, QVector<RunReportSource> sources) const;

private:
    int keptLines;
    std::deque<QString> output;
    int linesLeftOut = 0;
    QVector<QPair<QString, RunReportError>> errors;
    QVector<TermRecord> tables[3];
    std::optional<QuestionTree> question;
    std::optional<InferenceGraph> inference;
    std::optional<QByteArray> memory;
    QString version;
    bool countingTime = true;
    bool timeCounted = false;
    quint64 microseconds = 0;
    quint64 cycles = 0;
};

#endif
