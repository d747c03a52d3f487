#ifndef DIAGNOSTICRUNNER_H
#define DIAGNOSTICRUNNER_H

#include "errormessage.h"
#include "termtable.h"

#include <QHash>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <QVector>

#include <functional>

class EngineConnection;

// What one run of a document through the engine found.
struct RunResult {
    int version = 0;
    QVector<ErrorMessage> errors; // the document's, in the order reported
    QVector<TermRecord> words;
    QVector<TermRecord> compounds;
    QVector<TermRecord> statements;
    QString failure; // the run did not complete: why
};

// Runs documents through the engine once their text has settled: a change restarts the
// document's wait, and when it ends the engine runs the whole text from an empty memory, one
// document at a time, in the order their waits ended. Nothing runs and no timer is active while
// nothing changes.
//
// The inputs of a run: the commands that switch debugging off and clear the memory, the text
// from line 1, the commands that list words, compound terms and statements, and last a command
// that the engine does not know, given a line number that no document reaches. The engine
// answers in order, so its error for that last command ends the run's messages. (The version
// command cannot serve: a document may give that command itself.) The other commands are given
// the line before that one, so nothing they might report is taken for the document's.
class DiagnosticRunner : public QObject {
    Q_OBJECT

public:
    // The current text and version of a document; false when it is no longer open.
    using Source = std::function<bool(const QString& uri, QString* text, int* version)>;

    DiagnosticRunner(EngineConnection* engine, Source source, QObject* parent = nullptr);

    void setSettleTime(int ms) { settleMs = ms; }
    void setTimeLimit(int ms) { limitMs = ms; }
    int timeLimit() const { return limitMs; }

    // The document changed: it runs once it has not changed for the settle time.
    void changed(const QString& uri);
    // Runs the document as soon as the engine is free.
    void runSoon(const QString& uri);
    // The document closed: it is not run any more; a run under way is finished unreported.
    void forget(const QString& uri);

    bool isRunning() const { return !runningUri.isEmpty(); }
    // Timers active: settle waits and the time limit of a run (none while idle).
    int activeTimers() const;

    // The line given to the last input of a run: errors on it end the run.
    static int markerLine(quint64 run);

signals:
    void finished(const QString& uri, const RunResult& result);

private:
    void startNext();
    void received(const QByteArray& message);
    void complete(const QString& failure);

    EngineConnection* engine;
    Source source;
    int settleMs = 300;
    int limitMs = 10000;
    QHash<QString, QTimer*> waits;
    QStringList queue;
    QString runningUri;
    RunResult current;
    bool reportCurrent = false;
    quint64 runs = 0;
    QTimer limit;
};

#endif
