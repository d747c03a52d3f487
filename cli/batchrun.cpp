#include "batchrun.h"

#include "compilerdiagnostic.h"
#include "csv.h"
#include "engineprocess.h"
#include "memorydump.h"
#include "messagejson.h"
#include "quorw.h"
#include "svgwriter.h"
#include "watchdog.h"

#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>
#include <QTimer>

#include <cstdlib>

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
    : options(options), out(out), err(err),
      // The output lines are kept only for the report.
      record(options.reportFile.isEmpty() ? 0 : RunRecord::AllLines)
{
}

BatchRun::~BatchRun() = default;

BatchRun::Status BatchRun::run(const QVector<InputFile>& files)
{
    registerEngineMetaTypes();
    if (options.separateProcess) {
        host = std::make_unique<EngineProcess>();
        connect(host.get(), &EngineProcess::message, this, [this](const QByteArray& message) {
            handle(decodeMessage(message.constData(), std::size_t(message.size())));
        });
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
    // Only the files' own inputs count towards the time in the report.
    record.setCountingTime(false);
    bool answeredInTime = send(command("version"), 1);
    for (const InputFile& file : files) {
        if (!answeredInTime)
            break;
        sources.append(RunReportSource{file.name(), file.text(), {}});
        record.setCountingTime(true);
        if (options.step) {
            const QStringList lines = file.text().split(QLatin1Char('\n'));
            for (int i = 0; i < lines.size() && answeredInTime; ++i)
                answeredInTime = send(lines.at(i), i + 1);
        } else {
            answeredInTime = send(file.text(), 1);
        }
        record.setCountingTime(false);
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
    if (!options.graphsDir.isEmpty() && !writeGraphs(options.graphsDir, record, &error)) {
        complain(error);
        written = false;
    }
    if (!options.memoryFile.isEmpty()) {
        if (!record.memoryDump()) {
            complain(QStringLiteral("the engine sent no memory dump"));
            written = false;
        } else if (!writeMemoryDump(options.memoryFile, *record.memoryDump(), &error)) {
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
    handle(decodeMessage(buffer, size));
}

void BatchRun::handle(const DecodedMessage& message)
{
    const QString fileName = sources.isEmpty() ? QString() : sources.constLast().fileName;
    const auto* error = std::get_if<InputErrorMessage>(&message);
    if (error && !error->error)
        error = nullptr;

    if (options.json) {
        QJsonObject object = messageJson(message);
        if (error)
            object[QStringLiteral("file")] = fileName;
        print(QJsonDocument(object).toJson(QJsonDocument::Compact));
    }
    if (error) {
        std::fprintf(err, "%s\n",
                     compilerDiagnosticLine(fileName, *error->error).toUtf8().constData());
        if (diagnosticSeverity(error->error->kind) == DiagnosticSeverity::Error)
            inputErrors = true;
    }

    // Internal questions are printed: the engine sends them only after "⋙ debug on".
    const auto line = record.add(message, fileName, {options.time, true});
    if (line && !options.json)
        print(line->toUtf8());

    // The engine ends every answer with a time message.
    if (std::holds_alternative<TimeMessage>(message)) {
        ++answered;
        if (waiting && answered >= awaited)
            waiting->quit();
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
        const RunReportTable table = termReportTable(kind, record.table(kind));
        if (!writeFile(dir.filePath(termTableFileName(kind)),
                       Csv::table(table.header, table.rows).toUtf8(), &error)) {
            complain(error);
            return false;
        }
    }
    return true;
}

bool BatchRun::writeGraphs(const QString& dir, const RunRecord& record, QString* error)
{
    if (!makeDir(dir, error))
        return false;
    const QDir folder(dir);
    // An engine that sent no graph gets none written; the window would show none either.
    if (const auto& tree = record.questionTree();
        tree && !writeFile(folder.filePath(QStringLiteral("question.svg")),
                           svgDocument(questionTreeDrawing(*tree)).toUtf8(), error))
        return false;
    if (const auto& graph = record.inferenceGraph();
        graph && !writeFile(folder.filePath(QStringLiteral("inference.svg")),
                            svgDocument(inferenceGraphDrawing(*graph)).toUtf8(), error))
        return false;
    return true;
}

bool BatchRun::writeReport()
{
    QStringList names;
    for (const RunReportSource& source : qAsConst(sources))
        names.append(QFileInfo(source.fileName).fileName());
    const RunReport report =
        record.report(QStringLiteral("Run of ") + names.join(QStringLiteral(", ")), sources);
    QString error;
    if (!writeFile(options.reportFile, runReportHtml(report).toUtf8(), &error)) {
        complain(error);
        return false;
    }
    return true;
}
