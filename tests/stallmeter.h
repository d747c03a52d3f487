#ifndef STALLMETER_H
#define STALLMETER_H

// Measures how long the GUI thread goes without serving its event loop: a 10 ms timer runs while
// the meter lives, and the longest time between two of its ticks (or since the last one) is how
// long a click or a key press would have waited at worst. Used by tests and benchmarks.

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include <algorithm>

class StallMeter {
public:
    StallMeter()
    {
        ticker.setTimerType(Qt::PreciseTimer);
        QObject::connect(&ticker, &QTimer::timeout, [this] {
            const qint64 now = clock.nsecsElapsed();
            worst = std::max(worst, now - last);
            last = now;
        });
        clock.start();
        ticker.start(IntervalMs);
    }

    // Longest gap between ticks so far, in milliseconds.
    double longestGapMs() const { return std::max(worst, clock.nsecsElapsed() - last) / 1e6; }
    // How much later than due the latest tick came at worst.
    double worstDelayMs() const { return std::max(0.0, worst / 1e6 - IntervalMs); }

    static constexpr int IntervalMs = 10;

private:
    QElapsedTimer clock;
    QTimer ticker;
    qint64 last = 0;
    qint64 worst = 0;
};

#endif
