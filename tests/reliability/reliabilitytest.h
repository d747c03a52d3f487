#ifndef RELIABILITYTEST_H
#define RELIABILITYTEST_H

// Helpers of the reliability tests: how long the GUI thread goes without serving the event loop,
// the process's resident memory, and a window made without the scriptable test engine's controls
// (the hostile tests link a hostile engine in its place).

#include "app/windowtest.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTimer>

#include <algorithm>

namespace reliability {

// Runs the event loop for `ms` milliseconds with a 10 ms timer and returns the longest time
// between two of its ticks: how long a click or a key press would have waited at worst.
inline qint64 longestStallMs(int ms)
{
    QElapsedTimer clock;
    qint64 last = 0;
    qint64 worst = 0;
    QTimer ticker;
    ticker.setTimerType(Qt::PreciseTimer);
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        const qint64 now = clock.elapsed();
        worst = std::max(worst, now - last);
        last = now;
    });
    clock.start();
    ticker.start(10);
    QTest::qWait(ms);
    ticker.stop();
    return std::max(worst, clock.elapsed() - last);
}

// Resident set size of this process in KiB (Linux).
inline qint64 residentKiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toLongLong();
    }
    return -1;
}

inline std::unique_ptr<MainWindow> makeWindow(const QStringList& arguments = {})
{
    return std::make_unique<MainWindow>(QStringList{QStringLiteral("quorstudio")} + arguments);
}

} // namespace reliability

#endif
