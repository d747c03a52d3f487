#ifndef BATCHRUN_H
#define BATCHRUN_H

#include "inputfile.h"
#include "runoptions.h"
#include "runrecord.h"

#include <QByteArray>
#include <QObject>
#include <QStringList>
#include <QVector>

#include <cstddef>
#include <cstdio>
#include <memory>

class EngineProcess;
class QEventLoop;
class QuorW;
class Watchdog;

// One run of quorstudio-run: sends the files to one engine instance as the window's Run (or
// Step Forward) does, prints the engine's output, reports input errors in compiler form and
// writes the tables, graphs, memory dump and report asked for.
//
// An input counts as answered when the engine's time message for it has arrived: the engine
// ends every answer with one. With --separate-process the engine runs in an engine host process,
// and its crash ends the run with EngineCrashed instead of ending this program.
class BatchRun : public QObject {
    Q_OBJECT

public:
    enum Status { Clean = 0, InputErrors = 1, Failed = 2, TimedOut = 3, EngineCrashed = 4 };

    explicit BatchRun(const RunOptions& options, std::FILE* out = stdout, std::FILE* err = stderr);
    ~BatchRun() override;

    Status run(const QVector<InputFile>& files);

    // The record's latest graphs as files, as the window's views would save them.
    static bool writeGraphs(const QString& dir, const RunRecord& record, QString* error);

private slots:
    void receive(const char* buffer, size_t size);

private:
    bool send(const QString& text, int line);
    bool waitForAnswers();
    void timedOut();
    void handle(const DecodedMessage& message);
    void print(const QByteArray& line);
    void complain(const QString& text);
    bool writeTables();
    bool writeReport();

    RunOptions options;
    std::FILE* out;
    std::FILE* err;
    std::unique_ptr<Watchdog> watchdog; // with --timeout: for a process() call that hangs
    std::unique_ptr<QuorW> engine;
    std::unique_ptr<EngineProcess> host; // instead of `engine`, with --separate-process
    bool crashed = false;
    QEventLoop* waiting = nullptr;
    long long awaited = 0;  // inputs sent
    long long answered = 0; // time messages received
    bool inputErrors = false;

    // The sources sent; the last one also takes the errors of the requests sent after the
    // files.
    QVector<RunReportSource> sources;
    // What the engine answered.
    RunRecord record;
};

#endif
