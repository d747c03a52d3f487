// The hostile test engines; HOSTILE_BEHAVIOUR (a hostile::Behaviour value) picks the behaviour
// at build time.

#include "hostileengine.h"

#include "quor.h"

#include <algorithm>
#include <condition_variable>
#include <cstdint>
#include <cstring>
#include <mutex>
#include <random>
#include <set>
#include <string>

#ifndef HOSTILE_BEHAVIOUR
#error "HOSTILE_BEHAVIOUR must name the behaviour"
#endif

namespace {

constexpr auto Kind = static_cast<hostile::Behaviour>(HOSTILE_BEHAVIOUR);

std::mutex mutex;
std::condition_variable destroyed; // an instance was destroyed or given input
std::set<std::uintptr_t> live;
std::uintptr_t lastHandle = 0;
long long getCount = 0;
long long delivered = 0;
long long sequence = 0; // messages of this behaviour's script sent by the live instance
bool started = false;   // the live instance has been given input
int waiting = 0;
std::vector<std::string> valid;
std::vector<std::string> recorded;
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

// Flood: mostly text lines, with time, internal-question and unassigned kinds mixed in.
std::string floodMessage(long long n)
{
    const std::string number = std::to_string(n);
    switch (n % 8) {
    case 5: {
        std::string time("<t\0", 3);
        putLe32(time, static_cast<std::uint32_t>(n));
        putLe32(time, static_cast<std::uint32_t>(2 * n));
        return time;
    }
    case 6:
        return std::string("<i\0why ", 7) + number + '\0';
    case 7:
        return std::string("<x\0unassigned ", 14) + number + '\0';
    default:
        return "flood " + number + '\0';
    }
}

// RandomBytes: sizes mostly small, some up to the whole buffer; most messages framed with a
// kind the program decodes, some with plausible graph headers so the decoders go deeper.
std::string randomMessage(std::size_t capacity)
{
    const int band = static_cast<int>(random() % 10);
    std::size_t length = band < 5   ? random() % 33
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

} // namespace

namespace hostile {

Behaviour behaviour()
{
    return Kind;
}

long long getCalls()
{
    std::lock_guard<std::mutex> lock(mutex);
    return getCount;
}

long long messagesDelivered()
{
    std::lock_guard<std::mutex> lock(mutex);
    return delivered;
}

std::vector<std::string> validMessages()
{
    std::lock_guard<std::mutex> lock(mutex);
    return valid;
}

std::vector<std::string> inputs()
{
    std::lock_guard<std::mutex> lock(mutex);
    return recorded;
}

int liveInstances()
{
    std::lock_guard<std::mutex> lock(mutex);
    return static_cast<int>(live.size());
}

int waitingGets()
{
    std::lock_guard<std::mutex> lock(mutex);
    return waiting;
}

} // namespace hostile

extern "C" {

QUOR_API void* create_object(int, int)
{
    std::lock_guard<std::mutex> lock(mutex);
    const std::uintptr_t handle = ++lastHandle;
    live.insert(handle);
    sequence = 0;
    started = false;
    valid.clear();
    return reinterpret_cast<void*>(handle);
}

QUOR_API int process(void* handle, const char* text, int, int)
{
    std::lock_guard<std::mutex> lock(mutex);
    if (!isLive(handle))
        return -1;
    recorded.push_back(text ? text : "");
    started = true;
    destroyed.notify_all();
    return 0;
}

QUOR_API bool get(void* handle, char* buffer, size_t* size, bool, uint32_t, uint32_t)
{
    std::unique_lock<std::mutex> lock(mutex);
    ++getCount;
    if (!isLive(handle) || !buffer || !size)
        return false;
    const std::size_t capacity = *size;
    std::string message;
    if (Kind == hostile::Behaviour::Oversize || Kind == hostile::Behaviour::RandomBytes) {
        // These answer input: they start once the program has sent its first command, so
        // nothing they send is lost before the window is listening.
        destroyed.wait(lock, [&] { return !isLive(handle) || started; });
        if (!isLive(handle))
            return false;
    }
    if (Kind == hostile::Behaviour::FalseForever) {
        return false;
    } else if (Kind == hostile::Behaviour::Flood) {
        // Numbered by the messages sent before it, so a test can tell how far behind it is.
        message = floodMessage(delivered);
    } else if (Kind == hostile::Behaviour::Oversize && sequence < 2 * hostile::OversizeReports) {
        const long long n = sequence++;
        if (n % 2 == 0) {
            // The whole buffer is written, and more than that is claimed.
            std::memset(buffer, 'O', capacity);
            static const std::size_t claims[] = {capacity + 1, 2 * capacity, 1u << 20, SIZE_MAX};
            *size = claims[(n / 2) % 4];
            ++delivered;
            return true;
        }
        message = "valid " + std::to_string(n / 2) + '\0';
        valid.push_back(message);
    } else if (Kind == hostile::Behaviour::RandomBytes && sequence < hostile::RandomMessages) {
        ++sequence;
        message = randomMessage(capacity);
    } else {
        // Done misbehaving: wait like a well-behaved engine until the instance is destroyed.
        ++waiting;
        destroyed.wait(lock, [&] { return !isLive(handle); });
        --waiting;
        return false;
    }
    const std::size_t length = std::min(message.size(), capacity);
    std::memcpy(buffer, message.data(), length);
    *size = length;
    ++delivered;
    return true;
}

QUOR_API int destroy_object(void* handle)
{
    {
        std::lock_guard<std::mutex> lock(mutex);
        if (!live.erase(reinterpret_cast<std::uintptr_t>(handle)))
            return -1;
    }
    destroyed.notify_all();
    return 0;
}
}
