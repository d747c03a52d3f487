#include "testengine.h"

#include "quor.h"

#include <algorithm>
#include <chrono>
#include <climits>
#include <condition_variable>
#include <csignal>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <mutex>
#include <random>
#include <set>
#include <sstream>
#include <thread>

using testengine::Mode;

namespace {

std::mutex mutex;
std::condition_variable changed; // messages queued, mode changed or an instance destroyed
std::deque<std::string> messages;
std::vector<testengine::Input> recorded;
std::vector<std::string> valid;
std::set<std::uintptr_t> live;
std::uintptr_t lastHandle = 0;
Mode mode = Mode::Normal;
bool scripted = false; // QUOR_TEST_ENGINE=script
int delayMs = 200;
int waiting = 0;
long long step = 0; // position in the Oversize or RandomBytes script
long long getCount = 0;
long long delivered = 0;
std::mt19937 random(20260101);

bool isLive(void* handle)
{
    return live.count(reinterpret_cast<std::uintptr_t>(handle)) != 0;
}

void putLe32(std::string& bytes, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        bytes += static_cast<char>((value >> (8 * i)) & 0xff);
}

std::string timeMessage(std::uint32_t microseconds, std::uint32_t cycles = 1)
{
    std::string time("<t\0", 3);
    putLe32(time, microseconds);
    putLe32(time, cycles);
    return time;
}

std::string floodMessage(long long n)
{
    const std::string number = std::to_string(n);
    switch (n % 8) {
    case 5:
        return timeMessage(std::uint32_t(n), std::uint32_t(2 * n));
    case 6:
        return std::string("<i\0why ", 7) + number + '\0';
    case 7:
        return std::string("<x\0unassigned ", 14) + number + '\0';
    default:
        return "flood " + number + '\0';
    }
}

// Sizes mostly small, some up to the whole buffer; some graph headers plausible enough for the
// decoders to go deeper.
std::string randomMessage(std::size_t capacity)
{
    const int band = static_cast<int>(random() % 10);
    const std::size_t length = band < 5   ? random() % 33
                               : band < 8 ? 33 + random() % 480
                                          : 513 + random() % (capacity - 512);
    std::string bytes(length, '\0');
    for (char& c : bytes)
        c = static_cast<char>(random() & 0xff);
    if (length >= 2 && random() % 5 != 0) {
        static const char kinds[] = "cemnqstvwix";
        bytes[0] = '<';
        bytes[1] = kinds[random() % (sizeof kinds - 1)];
        if ((bytes[1] == 'n' || bytes[1] == 'q') && length >= 19 && random() % 2 == 0) {
            std::string header;
            putLe32(header, 8);
            putLe32(header, bytes[1] == 'n' ? 19 + random() % 200 : random() % 8);
            putLe32(header, random() % 8);
            putLe32(header, random() % 8);
            bytes.replace(3, header.size(), header);
        }
    }
    return bytes;
}

void modeFromEnvironment()
{
    const char* names[] = {"normal", "false", "silent", "slow", "flood", "oversize", "random"};
    const std::string value =
        std::getenv("QUOR_TEST_ENGINE") ? std::getenv("QUOR_TEST_ENGINE") : "";
    const std::string name = value.substr(0, value.find(':'));
    for (int i = 0; i < 7; ++i) {
        if (name == names[i])
            mode = Mode(i);
    }
    scripted = name == "script";
    if (value.find(':') != std::string::npos)
        delayMs = std::atoi(value.c_str() + value.find(':') + 1);
}

bool deliver(const std::string& message, char* buffer, size_t* size)
{
    const std::size_t length = std::min(message.size(), *size);
    std::memcpy(buffer, message.data(), length);
    *size = length;
    ++delivered;
    return true;
}

// Queues a message of the script mode, without letting the engine's queue grow past a bound
// while nobody fetches.
void push(std::unique_lock<std::mutex>& lock, std::string message)
{
    while (messages.size() > 10000) {
        lock.unlock();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
        lock.lock();
    }
    messages.push_back(std::move(message));
    changed.notify_all();
}

// The script mode's process() (see testengine.h), with the lock held.
void runScript(const std::string& text, std::unique_lock<std::mutex>& lock)
{
    std::istringstream words(text);
    std::string word;
    long long number = 0;
    words >> word >> number;
    if (word == "segfault")
        std::raise(SIGSEGV);
    if (word == "abort")
        std::abort();
    if (word == "exit")
        std::exit(int(number));
    if (word == "sleep") {
        lock.unlock();
        std::this_thread::sleep_for(std::chrono::milliseconds(number));
        lock.lock();
    }
    if (word == "silent") {
        lock.unlock();
        for (;;)
            std::this_thread::sleep_for(std::chrono::hours(1));
    }
    if (word == "slow") {
        for (long long i = 0;; ++i) {
            lock.unlock();
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            lock.lock();
            push(lock, "slow " + std::to_string(i) + '\0');
        }
    }
    if (word == "flood" && number <= 0) {
        for (long long i = 0;; ++i)
            push(lock, "flood " + std::to_string(i) + '\0');
    }
    if (word == "flood")
        messages.insert(messages.end(), std::size_t(std::min(number, (long long)INT_MAX)),
                        std::string(79, 'x') + '\0');
    if (word == "oversize" || word == "random") {
        mode = word == "oversize" ? Mode::Oversize : Mode::RandomBytes;
        step = 0;
    }
    messages.push_back("echo " + text + '\0');
    messages.push_back(timeMessage(std::uint32_t(text.size())));
    changed.notify_all();
}

} // namespace

namespace testengine {

void reset()
{
    std::lock_guard<std::mutex> lock(mutex);
    messages.clear();
    recorded.clear();
    valid.clear();
    mode = Mode::Normal;
    delayMs = 200;
    step = getCount = delivered = 0;
    changed.notify_all();
}

void setMode(Mode newMode)
{
    std::lock_guard<std::mutex> lock(mutex);
    mode = newMode;
    step = 0;
    valid.clear();
    changed.notify_all();
}

void setDelay(int ms)
{
    std::lock_guard<std::mutex> lock(mutex);
    delayMs = ms;
}
void queue(const std::string& message)
{
    queueMany({message});
}
void queue(const char* data, std::size_t size)
{
    queueMany({std::string(data, size)});
}

void queueMany(const std::vector<std::string>& batch)
{
    std::lock_guard<std::mutex> lock(mutex);
    messages.insert(messages.end(), batch.begin(), batch.end());
    changed.notify_all();
}

#define TESTENGINE_GETTER(type, name, expression)                                                  \
    type name()                                                                                    \
    {                                                                                              \
        std::lock_guard<std::mutex> lock(mutex);                                                   \
        return expression;                                                                         \
    }
TESTENGINE_GETTER(std::vector<Input>, inputs, recorded)
TESTENGINE_GETTER(std::size_t, pendingMessages, messages.size())
TESTENGINE_GETTER(int, liveInstances, static_cast<int>(live.size()))
TESTENGINE_GETTER(long long, getCalls, getCount)
TESTENGINE_GETTER(long long, messagesDelivered, delivered)
TESTENGINE_GETTER(std::vector<std::string>, validMessages, valid)
TESTENGINE_GETTER(int, waitingGets, waiting)

} // namespace testengine

extern "C" {

QUOR_API void* create_object(int, int)
{
    std::lock_guard<std::mutex> lock(mutex);
    modeFromEnvironment();
    const std::uintptr_t handle = ++lastHandle;
    live.insert(handle);
    return reinterpret_cast<void*>(handle);
}

QUOR_API int process(void* handle, const char* text, int line, int)
{
    std::unique_lock<std::mutex> lock(mutex);
    if (!isLive(handle))
        return -1;
    recorded.push_back({text ? std::string(text) : std::string(), line, handle});
    if (scripted)
        runScript(recorded.back().bytes, lock);
    return 0;
}

QUOR_API bool get(void* handle, char* buffer, size_t* size, bool, uint32_t, uint32_t)
{
    std::unique_lock<std::mutex> lock(mutex);
    ++getCount;
    for (;;) {
        if (!isLive(handle) || mode == Mode::ReturnFalse)
            return false;
        if (mode == Mode::Flood)
            return deliver(floodMessage(delivered), buffer, size);
        if (mode == Mode::Oversize && step < 2 * testengine::OversizeReports) {
            const long long n = step++;
            if (n % 2 == 0) {
                // The whole buffer is written, and more than that is claimed.
                const std::size_t capacity = *size;
                std::memset(buffer, 'O', capacity);
                const std::size_t claims[] = {capacity + 1, 2 * capacity, 1u << 20, SIZE_MAX};
                *size = claims[(n / 2) % 4];
                ++delivered;
                return true;
            }
            valid.push_back("valid " + std::to_string(n / 2) + '\0');
            return deliver(valid.back(), buffer, size);
        }
        if (mode == Mode::RandomBytes && step < testengine::RandomMessages) {
            ++step;
            return deliver(randomMessage(*size), buffer, size);
        }
        if (mode != Mode::Silent && !messages.empty())
            break;
        ++waiting;
        changed.wait(lock);
        --waiting;
    }
    const std::string message = messages.front();
    messages.pop_front();
    if (mode == Mode::Slow) {
        ++waiting;
        const bool gone = changed.wait_for(lock, std::chrono::milliseconds(delayMs),
                                           [&] { return !isLive(handle); });
        --waiting;
        if (gone)
            return false;
    }
    return deliver(message, buffer, size);
}

QUOR_API int destroy_object(void* handle)
{
    std::lock_guard<std::mutex> lock(mutex);
    if (!live.erase(reinterpret_cast<std::uintptr_t>(handle)))
        return -1;
    changed.notify_all();
    return 0;
}
}
