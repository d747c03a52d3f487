#ifndef WAITUNTIL_H
#define WAITUNTIL_H

// Waits for a state of another thread without running the event loop: checks `condition` every
// 50 µs until it holds (true) or `limitMs` have passed (false). The condition is evaluated once
// per step, so a state that holds only for a moment is not missed by a second look.

#include <chrono>
#include <thread>

template <typename Condition> bool waitUntil(Condition condition, long long limitMs = 5000)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(limitMs);
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::microseconds(50));
    }
    return true;
}

#endif
