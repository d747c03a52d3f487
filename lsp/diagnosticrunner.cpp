#include "diagnosticrunner.h"

#include "dispatch.h"
#include "engineconnection.h"

#include <variant>

namespace {

const QString Mark = QString::fromUtf8("⋙ ");

// Lines from here on are the runs' own; no document reaches them.
constexpr quint32 FirstOwnLine = 2000000000;

} // namespace

DiagnosticRunner::DiagnosticRunner(EngineConnection* engine, Source source, QObject* parent)
    : QObject(parent), engine(engine), source(std::move(source))
{
    limit.setSingleShot(true);
    connect(&limit, &QTimer::timeout, this, [this] {
        this->engine->stop();
        complete(tr("The engine did not finish within %1 s and was stopped.")
                     .arg(QString::number(limitMs / 1000.0)));
    });
    connect(engine, &EngineConnection::message, this, &DiagnosticRunner::received);
    connect(engine, &EngineConnection::ended, this, [this](const QString& reason) {
        if (isRunning())
            complete(reason);
    });
}

int DiagnosticRunner::markerLine(quint64 run)
{
    return int(FirstOwnLine + 1 + (run % 1000000) * 2);
}

int DiagnosticRunner::activeTimers() const
{
    int active = limit.isActive() ? 1 : 0;
    for (const QTimer* timer : waits)
        active += timer->isActive() ? 1 : 0;
    return active;
}

void DiagnosticRunner::changed(const QString& uri)
{
    QTimer*& timer = waits[uri];
    if (!timer) {
        timer = new QTimer(this);
        timer->setSingleShot(true);
        connect(timer, &QTimer::timeout, this, [this, uri] { runSoon(uri); });
    }
    timer->start(settleMs);
}

void DiagnosticRunner::runSoon(const QString& uri)
{
    if (QTimer* timer = waits.value(uri))
        timer->stop();
    if (!queue.contains(uri))
        queue.append(uri);
    startNext();
}

void DiagnosticRunner::forget(const QString& uri)
{
    delete waits.take(uri);
    queue.removeAll(uri);
    if (runningUri == uri)
        reportCurrent = false;
}

void DiagnosticRunner::startNext()
{
    if (isRunning() || queue.isEmpty())
        return;
    const QString uri = queue.takeFirst();
    QString text;
    current = RunResult();
    if (!source(uri, &text, &current.version))
        return startNext();
    runningUri = uri;
    reportCurrent = true;
    ++runs;
    const int marker = markerLine(runs);
    const int commandLine = marker - 1;
    engine->input(Mark + QStringLiteral("debug off"), commandLine);
    engine->input(Mark + QStringLiteral("clear"), commandLine);
    engine->input(text, 1);
    engine->input(Mark + QStringLiteral("words"), commandLine);
    engine->input(Mark + QStringLiteral("compounds"), commandLine);
    engine->input(Mark + QStringLiteral("statements"), commandLine);
    engine->input(Mark + QStringLiteral("end_of_run"), marker);
    if (isRunning() && limitMs > 0)
        limit.start(limitMs);
}

void DiagnosticRunner::received(const QByteArray& message)
{
    if (!isRunning())
        return;
    const DecodedMessage decoded = decodeMessage(message.constData(), size_t(message.size()));
    const auto* input = std::get_if<InputErrorMessage>(&decoded);
    if (const ErrorMessage* error = input && input->error ? &*input->error : nullptr) {
        const int marker = markerLine(runs);
        if (error->line == quint32(marker))
            complete(QString());
        else if (error->line < FirstOwnLine)
            current.errors.append(*error);
    } else if (const auto* table = std::get_if<TermTableContents>(&decoded)) {
        if (table->kind == MessageKind::Words)
            current.words = table->records;
        else if (table->kind == MessageKind::Compounds)
            current.compounds = table->records;
        else if (table->kind == MessageKind::Statements)
            current.statements = table->records;
    }
}

void DiagnosticRunner::complete(const QString& failure)
{
    limit.stop();
    const QString uri = runningUri;
    RunResult result = std::move(current);
    result.failure = failure;
    runningUri.clear();
    current = RunResult();
    if (reportCurrent)
        emit finished(uri, result);
    startNext();
}
