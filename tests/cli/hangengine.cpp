// An engine library whose process() never returns: quorstudio-run --timeout must still end.

#include "quor.h"

#include <chrono>
#include <thread>

extern "C" {

QUOR_API void* create_object(int, int)
{
    static int instance;
    return &instance;
}

QUOR_API int process(void*, const char*, int, int)
{
    for (;;)
        std::this_thread::sleep_for(std::chrono::hours(1));
}

QUOR_API bool get(void*, char*, size_t*, bool, uint32_t, uint32_t)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    return false;
}

QUOR_API int destroy_object(void*)
{
    return 0;
}
}
