// The four exported functions of the engine library.
//
// Handles are not pointers: each instance gets a number that is never reused, and live instances
// are found through a registry. get() and process() on a handle that has been destroyed (or never
// existed) find nothing and return at once, so a poller that calls get() just after
// destroy_object() cannot touch freed memory. A get() that is already waiting holds its own
// reference to the instance, is woken by destroy_object() and returns false.

#include "engine.h"
#include "messages.h"
#include "quor.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <cstring>
#include <deque>
#include <memory>
#include <mutex>
#include <unordered_map>

namespace {

struct Instance {
    std::mutex engineMutex; // serialises process()
    quor::Engine engine;

    std::mutex queueMutex;
    std::condition_variable queueChanged;
    std::deque<std::string> queue;
    bool destroyed = false;

    void push(std::vector<std::string> messages)
    {
        {
            std::lock_guard<std::mutex> lock(queueMutex);
            for (auto& message : messages)
                queue.push_back(std::move(message));
        }
        queueChanged.notify_all();
    }
};

std::mutex registryMutex;
std::unordered_map<std::uintptr_t, std::shared_ptr<Instance>> registry;
std::uintptr_t lastHandle = 0;

std::shared_ptr<Instance> find(void* handle)
{
    std::lock_guard<std::mutex> lock(registryMutex);
    const auto it = registry.find(reinterpret_cast<std::uintptr_t>(handle));
    return it == registry.end() ? nullptr : it->second;
}

} // namespace

extern "C" {

QUOR_API void* create_object(int, int)
{
    auto instance = std::make_shared<Instance>();
    std::lock_guard<std::mutex> lock(registryMutex);
    const std::uintptr_t handle = ++lastHandle;
    registry.emplace(handle, std::move(instance));
    return reinterpret_cast<void*>(handle);
}

QUOR_API int process(void* handle, const char* text, int line, int)
{
    const auto instance = find(handle);
    if (!instance || !text)
        return -1;
    std::vector<std::string> messages;
    {
        std::lock_guard<std::mutex> lock(instance->engineMutex);
        try {
            messages = instance->engine.process(text, line);
        } catch (...) {
            // Nothing may escape through the C interface; running out of memory on a huge input
            // is the one failure expected here.
            messages = {quor::plainMessage("The engine could not process this input.")};
        }
    }
    instance->push(std::move(messages));
    return 0;
}

QUOR_API bool get(void* handle, char* buffer, size_t* size, bool wait, uint32_t timeout, uint32_t)
{
    if (!buffer || !size)
        return false;
    const auto instance = find(handle);
    if (!instance)
        return false;
    std::unique_lock<std::mutex> lock(instance->queueMutex);
    const auto ready = [&] { return instance->destroyed || !instance->queue.empty(); };
    if (wait) {
        if (timeout == 0xFFFFFFFFu)
            instance->queueChanged.wait(lock, ready);
        else
            instance->queueChanged.wait_for(lock, std::chrono::milliseconds(timeout), ready);
    }
    if (instance->destroyed || instance->queue.empty())
        return false;
    std::string& message = instance->queue.front();
    // Messages are built to fit; one that does not fit the caller's buffer is cut, never
    // reported larger than the buffer.
    const std::size_t length = std::min(message.size(), *size);
    std::memcpy(buffer, message.data(), length);
    *size = length;
    instance->queue.pop_front();
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
        std::lock_guard<std::mutex> lock(instance->queueMutex);
        instance->destroyed = true;
    }
    instance->queueChanged.notify_all();
    return 0;
}
}
