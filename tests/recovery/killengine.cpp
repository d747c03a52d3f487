// An engine library whose process() kills the whole process with SIGKILL when it is given a
// document's text, as a crashing engine would; commands ("⋙ version") pass.

#include "quor.h"

#include <condition_variable>
#include <csignal>
#include <cstring>
#include <mutex>

namespace {

std::mutex mutex;
std::condition_variable ended;
bool destroyed = false;
int instance;

} // namespace

void* create_object(int, int)
{
    return &instance;
}

int process(void*, const char* text, int, int)
{
    if (std::strncmp(text, "\xe2\x8b\x99", 3) != 0)
        std::raise(SIGKILL);
    return 0;
}

bool get(void*, char*, size_t*, bool, uint32_t, uint32_t)
{
    std::unique_lock<std::mutex> lock(mutex);
    ended.wait(lock, [] { return destroyed; });
    return false;
}

int destroy_object(void*)
{
    const std::lock_guard<std::mutex> lock(mutex);
    destroyed = true;
    ended.notify_all();
    return 0;
}
