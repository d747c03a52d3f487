#ifndef RELIABILITYTEST_H
#define RELIABILITYTEST_H

// Helpers of the reliability tests: how long the GUI thread goes without serving the event loop,
// the process's resident memory, and a window made without the scriptable test engine's controls
// (the hostile tests link a hostile engine in its place).

#include "app/windowtest.h"
#include "stallmeter.h"

#include <QFile>

namespace reliability {

// Runs the event loop for `ms` milliseconds and returns the longest time the GUI thread left it
// unserved (see StallMeter).
inline qint64 longestStallMs(int ms)
{
    const StallMeter meter;
    QTest::qWait(ms);
    return qint64(meter.longestGapMs());
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
