// The program's start-up, instrumented. Runs exactly what main() runs, then reports:
//   startup_ms   from process start to the main window's first paint
//   rss_kb       resident memory at that moment
// and, on request, idle CPU time over a few seconds (--idle SECONDS) and resident memory after
// a number of Output-dock lines (--lines COUNT). The launcher may pass its own start time as
// QUOR_PROBE_LAUNCH_NS (CLOCK_MONOTONIC nanoseconds) to include exec and dynamic loading.
#include "mainwindow.h"
#include "startup.h"

#include <QApplication>
#include <QFile>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextDocument>
#include <QTimer>

#include <sys/resource.h>
#include <time.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>

namespace {

qint64 monotonicNs()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return qint64(now.tv_sec) * 1000000000 + now.tv_nsec;
}

// Start of this process on the monotonic clock: the launcher's time if it gave one, else the
// kernel's start time of the process (10 ms resolution).
qint64 processStartNs()
{
    if (const char* launch = std::getenv("QUOR_PROBE_LAUNCH_NS"))
        return std::atoll(launch);
    QFile stat(QStringLiteral("/proc/self/stat"));
    if (!stat.open(QIODevice::ReadOnly))
        return monotonicNs();
    const QByteArray line = stat.readAll();
    const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
    const qint64 ticks = fields.value(19).toLongLong(); // field 22 of the whole line
    timespec boot{};
    clock_gettime(CLOCK_BOOTTIME, &boot);
    const qint64 bootNs = qint64(boot.tv_sec) * 1000000000 + boot.tv_nsec;
    const qint64 sinceStartNs = bootNs - ticks * (1000000000 / sysconf(_SC_CLK_TCK));
    return monotonicNs() - sinceStartNs;
}

long residentKb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    }
    return -1;
}

double cpuMs()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1000.0 +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1000.0;
}

class FirstPaint : public QObject {
public:
    bool seen = false;
    qint64 atNs = 0;
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (!seen && event->type() == QEvent::Paint) {
            seen = true;
            atNs = monotonicNs();
        }
        return QObject::eventFilter(watched, event);
    }
};

} // namespace

int main(int argc, char* argv[])
{
    const qint64 startNs = processStartNs();
    int idleSeconds = 0;
    long lines = 0;
    for (int i = 1; i + 1 < argc; ++i) {
        if (!std::strcmp(argv[i], "--idle"))
            idleSeconds = std::atoi(argv[i + 1]);
        if (!std::strcmp(argv[i], "--lines"))
            lines = std::atol(argv[i + 1]);
    }

    prepareProcess();
    QApplication app(argc, argv);
    prepareApplication();
    MainWindow window(QStringList{QCoreApplication::applicationFilePath()});
    FirstPaint firstPaint;
    window.installEventFilter(&firstPaint);
    window.show();
    while (!firstPaint.seen)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    std::printf("startup_ms %.1f\n", (firstPaint.atNs - startNs) / 1e6);
    std::printf("rss_kb %ld\n", residentKb());

    if (idleSeconds > 0) {
        // Let start-up work (the folder listing, the engine's version reply) settle first.
        QTimer::singleShot(1000, &app, &QCoreApplication::quit);
        app.exec();
        const double before = cpuMs();
        QTimer::singleShot(idleSeconds * 1000, &app, &QCoreApplication::quit);
        app.exec();
        std::printf("idle_cpu_ms %.1f over %d s\n", cpuMs() - before, idleSeconds);
    }

    if (lines > 0) {
        auto* output = window.findChild<QPlainTextEdit*>(QStringLiteral("plainTextEdit"));
        QByteArray text(79, 'o');
        for (long i = 0; i < lines; ++i) {
            // The last line differs, so its arrival tells that all have been shown.
            if (i == lines - 1)
                text.fill('z');
            char* block = new char[text.size()];
            std::memcpy(block, text.constData(), text.size());
            QMetaObject::invokeMethod(&window, "output", Qt::DirectConnection,
                                      Q_ARG(const char*, block), Q_ARG(size_t, text.size()));
            if (i % 10000 == 0)
                QCoreApplication::processEvents();
        }
        while (!output->document()->lastBlock().text().startsWith(QLatin1Char('z')))
            QCoreApplication::processEvents();
        // With a scrollback limit the view keeps only that many lines.
        const int limit = output->maximumBlockCount();
        std::printf("rss_kb_after_lines%s %ld after %ld lines\n", limit > 0 ? "_limited" : "",
                    residentKb(), lines);
    }
    std::fflush(stdout);
    window.hide();
    return 0;
}
