/* A minimal engine library for QuorStudio: the starting point described in engine-library.md.
 * It answers "⋙ version", reports any other "⋙" line as an input error, echoes all other input
 * as plain text and reports the time each input took. Build it as libquor.so.1 and start
 * QuorStudio with it:
 *
 *   g++ -std=c++17 -O2 -shared -fPIC -fvisibility=hidden -pthread -I engine \
 *       -Wl,-soname,libquor.so.1 -o /tmp/echo/libquor.so.1 docs/echo-engine.cpp
 *   LD_LIBRARY_PATH=/tmp/echo build-release/bin/quorstudio
 */

#include "quor.h"

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <cstring>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <string>

namespace {

struct Instance {
    std::mutex mutex;
    std::condition_variable changed;
    std::deque<std::string> queue;
    bool destroyed = false;
};

// Handles are numbers that are never reused, not pointers: get() on a destroyed handle finds
// nothing and returns false at once, and a waiting get() keeps the instance alive by itself.
std::mutex registryMutex;
std::map<std::uintptr_t, std::shared_ptr<Instance>> registry;
std::uintptr_t lastHandle = 0;

std::shared_ptr<Instance> find(void* handle)
{
    std::lock_guard<std::mutex> lock(registryMutex);
    const auto it = registry.find(reinterpret_cast<std::uintptr_t>(handle));
    return it == registry.end() ? nullptr : it->second;
}

void send(Instance& instance, std::string message)
{
    if (message.size() > QUOR_MAX_MESSAGE) { // cut, without splitting a UTF-8 character
        std::size_t end = QUOR_MAX_MESSAGE - 1;
        while (end > 0 && (static_cast<unsigned char>(message[end]) & 0xC0) == 0x80)
            --end;
        message.resize(end);
        message += '\0';
    }
    {
        std::lock_guard<std::mutex> lock(instance.mutex);
        instance.queue.push_back(std::move(message));
    }
    instance.changed.notify_all();
}

void put32(std::string& message, std::uint32_t value) // little-endian
{
    for (int i = 0; i < 4; ++i)
        message += static_cast<char>((value >> (8 * i)) & 0xFF);
}

std::string framed(char kind) // '<', the kind, one unused byte
{
    return std::string{'<', kind, '\0'};
}

} // namespace

extern "C" {

QUOR_API void* create_object(int, int)
{
    std::lock_guard<std::mutex> lock(registryMutex);
    registry.emplace(++lastHandle, std::make_shared<Instance>());
    return reinterpret_cast<void*>(lastHandle);
}

QUOR_API int process(void* handle, const char* text, int line, int)
{
    const auto started = std::chrono::steady_clock::now();
    const auto instance = find(handle);
    if (!instance || !text)
        return -1;
    const std::string input = text;
    const std::string command = "\xE2\x8B\x99 "; // "⋙ "
    if (input == command + "version") {
        send(*instance, framed('v') + "0.1-echo" + '\0');
    } else if (input.compare(0, command.size(), command) == 0) {
        std::string error = framed('e');
        put32(error, static_cast<std::uint32_t>(line)); // the line the input starts on
        put32(error, 3);                                // column of the command word
        error += '\x02';                                // mark: the rest of the line
        send(*instance, error + "this engine knows only the command version" + '\0');
    } else {
        // A plain message: shown as it is. It must not start with '<'.
        send(*instance, "echo of line " + std::to_string(line) + ": " + input + '\0');
    }
    const auto elapsed = std::chrono::duration_cast<std::chrono::microseconds>(
        std::chrono::steady_clock::now() - started);
    std::string time = framed('t');
    put32(time, static_cast<std::uint32_t>(elapsed.count()));
    put32(time, 0); // reasoning cycles
    send(*instance, time);
    return 0;
}

QUOR_API bool get(void* handle, char* buffer, size_t* size, bool wait, uint32_t timeout, uint32_t)
{
    const auto instance = find(handle);
    if (!instance || !buffer || !size)
        return false;
    std::unique_lock<std::mutex> lock(instance->mutex);
    const auto ready = [&] { return instance->destroyed || !instance->queue.empty(); };
    if (wait && timeout == 0xFFFFFFFFu)
        instance->changed.wait(lock, ready);
    else if (wait)
        instance->changed.wait_for(lock, std::chrono::milliseconds(timeout), ready);
    if (instance->destroyed || instance->queue.empty())
        return false;
    const std::string message = std::move(instance->queue.front());
    instance->queue.pop_front();
    if (message.size() > *size) // never report more than the buffer holds: drop it
        return false;
    std::memcpy(buffer, message.data(), message.size());
    *size = message.size();
    return true;
}

QUOR_API int destroy_object(void* handle)
{
    std::shared_ptr<Instance> instance;
    {
        std::lock_guard<std::mutex> lock(registryMutex);
        const auto it = registry.find(reinterpret_cast<std::uintptr_t>(handle));
        if (it == registry.end())
            return -1;
        instance = std::move(it->second);
        registry.erase(it);
    }
    {
        std::lock_guard<std::mutex> lock(instance->mutex);
        instance->destroyed = true; // releases a waiting get()
    }
    instance->changed.notify_all();
    return 0;
}

} // extern "C"
