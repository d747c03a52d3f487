#include "testengine.h"

#include "quor.h"

#include <condition_variable>
#include <cstdint>
#include <cstring>
#include <deque>
#include <mutex>
#include <set>

namespace {

std::mutex mutex;
std::condition_variable changed;
std::deque<std::string> messages;
std::vector<testengine::Input> recorded;
std::set<std::uintptr_t> live;
std::uintptr_t lastHandle = 0;
testengine::Mode mode = testengine::Mode::Normal;
std::size_t oversize = 15001;
int created = 0;
long long getCount = 0;
long long destroyedGets = 0;
int waiting = 0;

bool isLive(void* handle)
{
    return live.count(reinterpret_cast<std::uintptr_t>(handle)) != 0;
}

} // namespace

namespace testengine {

void reset()
{
    std::lock_guard<std::mutex> lock(mutex);
    messages.clear();
    recorded.clear();
    mode = Mode::Normal;
    oversize = 15001;
    getCount = 0;
    destroyedGets = 0;
}

void setMode(Mode newMode)
{
    {
        std::lock_guard<std::mutex> lock(mutex);
        mode = newMode;
    }
    changed.notify_all();
}

void setOversize(std::size_t size)
{
    std::lock_guard<std::mutex> lock(mutex);
    oversize = size;
}

void queue(const std::string& message)
{
    {
        std::lock_guard<std::mutex> lock(mutex);
        messages.push_back(message);
    }
    changed.notify_all();
}

void queueMany(const std::vector<std::string>& batch)
{
    {
        std::lock_guard<std::mutex> lock(mutex);
        messages.insert(messages.end(), batch.begin(), batch.end());
    }
    changed.notify_all();
}

void queue(const char* data, std::size_t size)
{
    queue(std::string(data, size));
}

std::vector<Input> inputs()
{
    std::lock_guard<std::mutex> lock(mutex);
    return recorded;
}

std::size_t pendingMessages()
{
    std::lock_guard<std::mutex> lock(mutex);
    return messages.size();
}

int liveInstances()
{
    std::lock_guard<std::mutex> lock(mutex);
    return static_cast<int>(live.size());
}

int createdInstances()
{
    std::lock_guard<std::mutex> lock(mutex);
    return created;
}

long long getCalls()
{
    std::lock_guard<std::mutex> lock(mutex);
    return getCount;
}

long long getsOnDestroyedHandle()
{
    std::lock_guard<std::mutex> lock(mutex);
    return destroyedGets;
}

int waitingGets()
{
    std::lock_guard<std::mutex> lock(mutex);
    return waiting;
}

} // namespace testengine

extern "C" {

QUOR_API void* create_object(int, int)
{
    std::lock_guard<std::mutex> lock(mutex);
    ++created;
    const std::uintptr_t handle = ++lastHandle;
    live.insert(handle);
    return reinterpret_cast<void*>(handle);
}

QUOR_API int process(void* handle, const char* text, int line, int)
{
    std::lock_guard<std::mutex> lock(mutex);
    if (!isLive(handle))
        return -1;
    recorded.push_back({text ? std::string(text) : std::string(), line, handle});
    return 0;
}

QUOR_API bool get(void* handle, char* buffer, size_t* size, bool, uint32_t, uint32_t)
{
    std::unique_lock<std::mutex> lock(mutex);
    ++getCount;
    if (!isLive(handle)) {
        ++destroyedGets;
        return false;
    }
    if (mode == testengine::Mode::ReturnFalse)
        return false;
    ++waiting;
    changed.wait(lock, [&] {
        return !isLive(handle) || !messages.empty() || mode == testengine::Mode::ReturnFalse;
    });
    --waiting;
    if (!isLive(handle) || messages.empty())
        return false;
    const std::string message = messages.front();
    messages.pop_front();
    if (mode == testengine::Mode::OversizeReport) {
        // Claims more than offered but writes only what fits.
        std::memcpy(buffer, message.data(), std::min(message.size(), *size));
        *size = oversize;
        return true;
    }
    const std::size_t length = std::min(message.size(), *size);
    std::memcpy(buffer, message.data(), length);
    *size = length;
    return true;
}

QUOR_API int destroy_object(void* handle)
{
    {
        std::lock_guard<std::mutex> lock(mutex);
        if (!live.erase(reinterpret_cast<std::uintptr_t>(handle)))
            return -1;
    }
    changed.notify_all();
    return 0;
}
}
