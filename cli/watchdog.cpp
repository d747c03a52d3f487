#include "watchdog.h"

Watchdog::Watchdog(std::chrono::milliseconds limit, std::function<void()> expired)
    : limit(limit), expired(std::move(expired)), thread(&Watchdog::watch, this)
{
}

Watchdog::~Watchdog()
{
    {
        std::lock_guard<std::mutex> lock(mutex);
        stopping = true;
    }
    changed.notify_all();
    thread.join();
}

void Watchdog::arm()
{
    {
        std::lock_guard<std::mutex> lock(mutex);
        armed = true;
        deadline = std::chrono::steady_clock::now() + limit;
    }
    changed.notify_all();
}

void Watchdog::disarm()
{
    std::lock_guard<std::mutex> lock(mutex);
    armed = false;
}

void Watchdog::watch()
{
    std::unique_lock<std::mutex> lock(mutex);
    while (!stopping) {
        if (!armed) {
            changed.wait(lock);
        } else if (changed.wait_until(lock, deadline) == std::cv_status::timeout && armed &&
                   !stopping && std::chrono::steady_clock::now() >= deadline) {
            expired();
            return;
        }
    }
}
