#include "batchrun.h"

#include "compilerdiagnostic.h"
#include "csv.h"
#include "engineprocess.h"
#include "errormessage.h"
#include "inferencegraph.h"
#include "memorydump.h"
#include "messagejson.h"
#include "messages.h"
#include "questiontree.h"
#include "quorw.h"
#include "termtable.h"
#include "watchdog.h"

#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>
#include <QTimer>

#include <climits>
#include <cstdlib>
#include <optional>

namespace {

QString command(const char* word)
{
    return QStringLiteral("\u22d9 ") + QLatin1String(word);
}

bool writeFile(const QString& fileName, const QByteArray& bytes, QString* error)
{
    QSaveFile file(fileName);
    if (file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit())
        return true;
    *error = QStringLiteral("cannot write %1: %2").arg(fileName, file.errorString());
    return false;
}

bool makeDir(const QString& dir, QString* error)
{
    if (QDir().mkpath(dir))
        return true;
    *error = QStringLiteral("cannot create the folder %1").arg(dir);
    return false;
}

} // namespace

BatchRun::BatchRun(const RunOptions& options, std::FILE* out, std::FILE* err)
    : options(options), out(out), err(err)
{
}

BatchRun::~BatchRun() = default;

BatchRun::Status BatchRun::run(const QVector<InputFile>& files)
{
    registerEngineMetaTypes();
    if (options.separateProcess) {
        host = std::make_unique<EngineProcess>();
        connect(host.get(), &EngineProcess::message, this,
                [this](const QByteArray& message) { handle(message.constData(), message.size()); });
        connect(host.get(), &EngineProcess::ended, this, [this](const QString& how) {
            crashed = true;
            complain(how);
            if (waiting)
                waiting->quit();
        });
    } else {
        if (options.timeoutSeconds > 0)
            watchdog =
                std::make_unique<Watchdog>(std::chrono::seconds(options.timeoutSeconds), [this] {
                    // An engine stuck inside process() cannot be destroyed: end the process here.
                    timedOut();
                    std::fflush(err);
                    std::_Exit(TimedOut);
                });
        engine = std::make_unique<QuorW>();
        if (!engine->hasEngine()) {
            complain(QStringLiteral("the engine library could not create an engine"));
            return Failed;
        }
        connect(engine.get(), &QuorW::output, this, &BatchRun::receive, Qt::QueuedConnection);
    }

    // As the window does at start-up; the reply names the engine in the output and the report.
    bool answeredInTime = send(command("version"), 1);
    for (const InputFile& file : files) {
        if (!answeredInTime)
            break;
        sources.append(RunReportSource{file.name(), file.text(), {}});
        countTime = true;
        if (options.step) {
            const QStringList lines = file.text().split(QLatin1Char('\n'));
            for (int i = 0; i < lines.size() && answeredInTime; ++i)
                answeredInTime = send(lines.at(i), i + 1);
        } else {
            answeredInTime = send(file.text(), 1);
        }
        countTime = false;
    }

    const bool wantTables = !options.tablesDir.isEmpty() || !options.reportFile.isEmpty();
    const bool wantGraphs = !options.graphsDir.isEmpty() || !options.reportFile.isEmpty();
    if (wantTables)
        for (const char* word : {"words", "compounds", "statements"})
            answeredInTime = answeredInTime && send(command(word), 1);
    if (wantGraphs)
        for (const char* word : {"question", "inference"})
            answeredInTime = answeredInTime && send(command(word), 1);
    if (!options.memoryFile.isEmpty())
        answeredInTime = answeredInTime && send(command("memory"), 1);

    if (crashed)
        return EngineCrashed;
    if (!answeredInTime) {
        timedOut();
        return TimedOut;
    }

    bool written = true;
    QString error;
    if (!options.tablesDir.isEmpty())
        written = writeTables() && written;
    if (!options.graphsDir.isEmpty() &&
        !writeGraphs(options.graphsDir, question, inference, &error)) {
        complain(error);
        written = false;
    }
    if (!options.memoryFile.isEmpty()) {
        if (!memoryReceived) {
            complain(QStringLiteral("the engine sent no memory dump"));
            written = false;
        } else if (!writeMemoryDump(options.memoryFile, memory, &error)) {
            complain(QStringLiteral("cannot write %1: %2").arg(options.memoryFile, error));
            written = false;
        }
    }
    if (!options.reportFile.isEmpty())
        written = writeReport() && written;
    // Output that was lost (a full disk, a closed pipe) is a failure, not a clean run.
    if (std::fflush(out) != 0 || std::ferror(out)) {
        complain(QStringLiteral("cannot write the standard output"));
        written = false;
    }
    if (!written)
        return Failed;
    return inputErrors ? InputErrors : Clean;
}

bool BatchRun::send(const QString& text, int line)
{
    ++awaited;
    if (host) {
        host->input(text, line);
        return waitForAnswers();
    }
    if (watchdog)
        watchdog->arm();
    engine->input(text, line);
    if (watchdog)
        watchdog->disarm();
    return waitForAnswers();
}

void BatchRun::timedOut()
{
    complain(QStringLiteral("the engine did not answer within %1 second%2")
                 .arg(options.timeoutSeconds)
                 .arg(options.timeoutSeconds == 1 ? "" : "s"));
    std::fflush(out);
}

bool BatchRun::waitForAnswers()
{
    if (answered >= awaited)
        return true;
    if (crashed)
        return false;
    QEventLoop loop;
    QTimer timer;
    if (options.timeoutSeconds > 0) {
        timer.setSingleShot(true);
        connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
        timer.start(options.timeoutSeconds * 1000);
    }
    waiting = &loop;
    loop.exec();
    waiting = nullptr;
    return answered >= awaited && !crashed;
}

void BatchRun::receive(const char* buffer, size_t size)
{
    if (!buffer)
        return;
    QuorW::takeOver(buffer);
    const std::unique_ptr<const char[]> message(buffer);
    handle(buffer, size);
}

void BatchRun::handle(const char* buffer, std::size_t size)
{
    const MessageKind kind = messageKind(buffer, size);
    const QString fileName = sources.isEmpty() ? QString() : sources.constLast().fileName;
    std::optional<ErrorMessage> error;
    if (kind == MessageKind::Error)
        error = decodeErrorMessage(buffer, size);

    if (options.json) {
        QJsonObject object = messageJson(buffer, size);
        if (error)
            object[QStringLiteral("file")] = fileName;
        print(QJsonDocument(object).toJson(QJsonDocument::Compact));
    }

    switch (kind) {
    case MessageKind::Error:
        if (!error)
            break;
        std::fprintf(err, "%s\n", compilerDiagnosticLine(fileName, *error).toUtf8().constData());
        if (diagnosticSeverity(error->kind) == DiagnosticSeverity::Error)
            inputErrors = true;
        if (!sources.isEmpty())
            sources.last().errors.append(RunReportError{int(qMin<quint32>(error->line, INT_MAX)),
                                                        int(qMin<quint32>(error->column, INT_MAX)),
                                                        diagnosticSeverity(error->kind),
                                                        error->text});
        return;
    case MessageKind::Words:
    case MessageKind::Compounds:
    case MessageKind::Statements:
        tables[kind == MessageKind::Words       ? 0
               : kind == MessageKind::Compounds ? 1
                                                : 2] = QByteArray(buffer, int(size));
        return;
    case MessageKind::Question:
        question = QByteArray(buffer, int(size));
        return;
    case MessageKind::Inference:
        inference = QByteArray(buffer, int(size));
        return;
    case MessageKind::Memory:
        memory = decodeMemoryDump(buffer, size);
        memoryReceived = true;
        return;
    case MessageKind::Time:
        ++answered;
        if (const auto time = decodeElapsedTime(buffer, size)) {
            if (countTime) {
                fileMicroseconds += time->microseconds;
                fileCycles += time->cycles;
            }
        }
        if (waiting && answered >= awaited)
            waiting->quit();
        break;
    case MessageKind::Version:
        engineVersion = decodeLibraryVersion(buffer, size);
        break;
    default:
        break;
    }

    // Internal questions are printed: the engine sends them only after "⋙ debug on".
    if (const auto text = simpleOutputText(buffer, size, options.time, true)) {
        outputLines.append(*text);
        if (!options.json)
            print(text->toUtf8());
    }
}

void BatchRun::print(const QByteArray& line)
{
    std::fwrite(line.constData(), 1, std::size_t(line.size()), out);
    std::fputc('\n', out);
}

void BatchRun::complain(const QString& text)
{
    std::fprintf(err, "quorstudio-run: %s\n", text.toUtf8().constData());
}

bool BatchRun::writeTables()
{
    QString error;
    if (!makeDir(options.tablesDir, &error)) {
        complain(error);
        return false;
    }
    const QDir dir(options.tablesDir);
    for (int i = 0; i < 3; ++i) {
        const auto kind = static_cast<TermTableKind>(i);
        const RunReportTable table =
            termReportTable(kind, decodeTermRecords(tables[i].constData(), tables[i].size()));
        if (!writeFile(dir.filePath(termTableFileName(kind)),
                       Csv::table(table.header, table.rows).toUtf8(), &error)) {
            complain(error);
            return false;
        }
    }
    return true;
}

bool BatchRun::writeGraphs(const QString& dir, const QByteArray& question,
                           const QByteArray& inference, QString* error)
{
    if (!makeDir(dir, error))
        return false;
    const QDir folder(dir);
    // An engine that sent no graph gets none written; the window would show none either.
    if (!question.isEmpty() &&
        !writeFile(
            folder.filePath(QStringLiteral("question.svg")),
            questionTreeSvg(decodeQuestionTree(question.constData(), question.size())).toUtf8(),
            error))
        return false;
    if (!inference.isEmpty() &&
        !writeFile(folder.filePath(QStringLiteral("inference.svg")),
                   inferenceGraphSvg(decodeInferenceGraph(inference.constData(), inference.size()))
                       .toUtf8(),
                   error))
        return false;
    return true;
}

bool BatchRun::writeReport()
{
    RunReport report;
    QStringList names;
    for (const RunReportSource& source : qAsConst(sources))
        names.append(QFileInfo(source.fileName).fileName());
    report.title = QStringLiteral("Run of ") + names.join(QStringLiteral(", "));
    report.sources = sources;
    report.output = outputLines;
    for (int i = 0; i < 3; ++i)
        report.tables.append(
            termReportTable(static_cast<TermTableKind>(i),
                            decodeTermRecords(tables[i].constData(), tables[i].size())));
    if (!question.isEmpty())
        report.questionSvg =
            questionTreeSvg(decodeQuestionTree(question.constData(), question.size()));
    if (!inference.isEmpty())
        report.inferenceSvg =
            inferenceGraphSvg(decodeInferenceGraph(inference.constData(), inference.size()));
    report.timeLine =
        elapsedTimeLine(ElapsedTime{quint32(qMin<quint64>(fileMicroseconds, UINT32_MAX)),
                                    quint32(qMin<quint64>(fileCycles, UINT32_MAX))});
    report.engineVersion = engineVersion;
    report.date = QDateTime::currentDateTime();
    QString error;
    if (!writeFile(options.reportFile, runReportHtml(report).toUtf8(), &error)) {
        complain(error);
        return false;
    }
    return true;
}
