#ifndef WATCHDOG_H
#define WATCHDOG_H

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

// Ends a call that does not return in time. The engine's process() runs on the main thread, so
// while it hangs no timer of the event loop can fire; this thread calls `expired` (which must
// end the process) when it stays armed longer than the limit.
class Watchdog {
public:
    Watchdog(std::chrono::milliseconds limit, std::function<void()> expired);
    ~Watchdog();

    void arm();
    void disarm();

private:
    void watch();

    std::chrono::milliseconds limit;
    std::function<void()> expired;
    std::mutex mutex;
    std::condition_variable changed;
    bool armed = false;
    bool stopping = false;
    std::chrono::steady_clock::time_point deadline;
    std::thread thread;
};

#endif
