// An engine whose process() kills the whole process when it is given a document's text, as a
// crashing engine would; commands such as "⋙ version" pass.

#include "quor.h"

#include <chrono>
#include <csignal>
#include <cstring>
#include <thread>

static int instance;

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
    std::this_thread::sleep_for(std::chrono::milliseconds(10)); // never any message
    return false;
}

int destroy_object(void*)
{
    return 0;
}
