#include "engineprocess.h"

#include "hostframes.h"

#include <QCoreApplication>
#include <QDir>
#include <QTimer>

#include <csignal>
#include <string>

using namespace hostframes;

namespace {

QString signalText(int number)
{
    static const struct {
        int number;
        const char* name;
    } names[] = {
        {SIGSEGV, "segmentation fault"}, {SIGABRT, "aborted"},    {SIGKILL, "killed"},
        {SIGTERM, "terminated"},         {SIGBUS, "bus error"},   {SIGFPE, "arithmetic error"},
        {SIGILL, "illegal instruction"}, {SIGINT, "interrupted"}, {SIGPIPE, "broken pipe"},
    };
    for (const auto& name : names) {
        if (name.number == number)
            return EngineProcess::tr("signal %1, %2").arg(number).arg(QLatin1String(name.name));
    }
    return EngineProcess::tr("signal %1").arg(number);
}

// The first line of an input that holds something, shortened: enough to recognise it.
QString summary(const QString& text)
{
    constexpr int Longest = 40;
    QString line;
    for (const QStringRef& candidate : text.splitRef(QLatin1Char('\n'))) {
        line = candidate.trimmed().toString();
        if (!line.isEmpty())
            break;
    }
    return line.size() > Longest ? line.left(Longest) + QChar(0x2026) : line;
}

} // namespace

EngineProcess::EngineProcess(QObject* parent) : QObject(parent), hostProgram(defaultProgram()) {}

EngineProcess::~EngineProcess()
{
    QList<QProcess*> hosts;
    if (host)
        hosts.append(host);
    for (const QPointer<QProcess>& process : qAsConst(retiring)) {
        if (process)
            hosts.append(process);
    }
    host = nullptr;
    for (QProcess* process : qAsConst(hosts)) {
        disconnect(process, nullptr, nullptr, nullptr);
        if (process->state() != QProcess::NotRunning)
            process->closeWriteChannel();
    }
    // Each host sees its input close at once; one that is still there when the grace time is
    // over is killed. Waiting reaps them all: no zombie is left behind.
    QElapsedTimer clock;
    clock.start();
    for (QProcess* process : qAsConst(hosts)) {
        if (process->state() == QProcess::NotRunning)
            continue;
        const int left = qMax(0, stopGraceMs - int(clock.elapsed()));
        if (!process->waitForFinished(left)) {
            process->kill();
            process->waitForFinished(StopGraceMs);
        }
    }
}

QString EngineProcess::defaultProgram()
{
    return QDir(QCoreApplication::applicationDirPath())
        .filePath(QStringLiteral("quorstudio-engine-host"));
}

qint64 EngineProcess::processId() const
{
    return host ? host->processId() : 0;
}

void EngineProcess::input(const QString& text, int line)
{
    if (!host)
        startHost();
    if (!host)
        return;
    const QByteArray bytes = text.toUtf8();
    std::string frames;
    appendInput(frames, bytes.constData(), std::size_t(bytes.size()), line);
    host->write(frames.data(), qint64(frames.size()));
    pending.push_back({summary(text), line});
    if (pending.size() == 1) {
        busyClock.start();
        emit busyChanged(true);
    }
}

void EngineProcess::stop()
{
    if (!host)
        return;
    QProcess* process = host;
    host = nullptr;
    ++generation;
    retire(process, stopGraceMs);
    forgetInputs();
}

void EngineProcess::startHost()
{
    auto* process = new QProcess(this);
    process->setProgram(hostProgram);
    // What the engine writes to its standard error goes where the window's goes.
    process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    connect(process, &QProcess::readyReadStandardOutput, this, &EngineProcess::readable);
    connect(process, QOverload<int, QProcess::ExitStatus>::of(&QProcess::finished), this,
            &EngineProcess::finished);
    connect(process, &QProcess::errorOccurred, this, &EngineProcess::failedToStart);
    host = process;
    ++generation;
    incoming.clear();
    readOffset = 0;
    greeted = false;
    taken = 0;
    process->start(QIODevice::ReadWrite);
    if (host == process)
        emit hostStarted();
}

void EngineProcess::readable()
{
    if (sender() != host)
        return;
    incoming.append(host->readAllStandardOutput());
    // A slice is already due: the new bytes wait for it, so that one pass of the event loop
    // does not get two slices.
    if (!drainScheduled)
        drain(false);
}

void EngineProcess::scheduleDrain()
{
    if (drainScheduled)
        return;
    drainScheduled = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            drainScheduled = false;
            drain(false);
        },
        Qt::QueuedConnection);
}

// Handlers of message() may open a dialog whose event loop brings more frames in: this function
// is then entered again. Each frame is taken off before it is handled, and the buffer is only
// compacted by the outermost call, so every call reads where the last one stopped.
void EngineProcess::drain(bool all)
{
    if (!host)
        return;
    const quint64 mine = generation;
    QElapsedTimer clock;
    clock.start();
    ++drainDepth;
    while (generation == mine) {
        const Parse next = parse(incoming.constData() + readOffset,
                                 std::size_t(incoming.size() - readOffset), Reader::Client);
        if (next.state == Parse::Incomplete)
            break;
        if (next.state == Parse::Broken) {
            fail(next.stated ? tr("the engine host sent a frame of %1 bytes").arg(next.stated)
                             : tr("the engine host sent %1").arg(QLatin1String(next.error)));
            break;
        }
        readOffset += int(next.length);
        if (!handle(next.frame.kind, next.frame.payload, int(next.frame.size)))
            break;
        if (!all && clock.elapsed() >= SliceMs) {
            scheduleDrain();
            break;
        }
    }
    --drainDepth;
    if (drainDepth == 0 && generation == mine && readOffset > 0) {
        incoming.remove(0, readOffset);
        readOffset = 0;
    }
}

bool EngineProcess::handle(unsigned char kind, const char* payload, int size)
{
    if (!greeted || kind == HelloKind) {
        if (greeted || kind != HelloKind) {
            fail(tr("the engine host did not greet as it should"));
            return false;
        }
        greeted = true;
        return true;
    }
    if (kind == Message) {
        const QByteArray bytes(payload, size);
        if (++taken == AcknowledgeEvery) {
            std::string frame;
            appendAcknowledge(frame, taken);
            host->write(frame.data(), qint64(frame.size()));
            taken = 0;
        }
        emit message(bytes);
        return true;
    }
    // Done.
    if (pending.empty()) {
        fail(tr("the engine host finished an input it was not given"));
        return false;
    }
    pending.pop_front();
    emit inputDone();
    if (pending.empty())
        emit busyChanged(false);
    return true;
}

void EngineProcess::finished(int exitCode, QProcess::ExitStatus exitStatus)
{
    if (sender() != host)
        return;
    // What the host wrote before it ended is delivered first.
    incoming.append(host->readAllStandardOutput());
    drain(true);
    if (sender() != host) // the drain found garbage, or a handler stopped the host
        return;
    fail(exitStatus == QProcess::CrashExit ? signalText(exitCode)
                                           : tr("exit status %1").arg(exitCode));
}

void EngineProcess::failedToStart(QProcess::ProcessError error)
{
    if (error != QProcess::FailedToStart || !host || sender() != host)
        return;
    fail(tr("the engine host %1 could not be started").arg(hostProgram));
}

void EngineProcess::fail(const QString& how)
{
    const QString line = endLine(how);
    QProcess* process = host;
    host = nullptr;
    ++generation;
    retire(process, 0);
    forgetInputs();
    emit ended(line);
}

void EngineProcess::retire(QProcess* process, int graceMs)
{
    disconnect(process, nullptr, this, nullptr);
    incoming.clear();
    readOffset = 0;
    if (process->state() == QProcess::NotRunning) {
        process->deleteLater();
        return;
    }
    // Whatever it still writes is read and dropped, so that it never blocks on a full pipe.
    connect(process, &QProcess::readyReadStandardOutput, process,
            [process] { process->readAllStandardOutput(); });
    connect(process, QOverload<int, QProcess::ExitStatus>::of(&QProcess::finished), process,
            &QObject::deleteLater);
    process->closeWriteChannel();
    if (graceMs > 0)
        QTimer::singleShot(graceMs, process, [process] { process->kill(); });
    else
        process->kill();
    retiring.removeAll(nullptr);
    retiring.append(process);
}

void EngineProcess::forgetInputs()
{
    const bool wasBusy = !pending.empty();
    pending.clear();
    taken = 0;
    if (wasBusy)
        emit busyChanged(false);
}

QString EngineProcess::endLine(const QString& how) const
{
    if (pending.empty())
        return tr("Engine ended (%1) while idle").arg(how);
    return tr("Engine ended (%1) while working on the input from line %2 (\"%3\")")
        .arg(how, QString::number(pending.front().line), pending.front().summary);
}
