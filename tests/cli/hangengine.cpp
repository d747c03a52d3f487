// An engine library whose process() never returns: quorstudio-run --timeout must still end.
// Built with QUOR_REFUSE_CREATE it creates no instance at all.

#include "quor.h"

#include <chrono>
#include <thread>

extern "C" {

QUOR_API void* create_object(int, int)
{
#ifdef QUOR_REFUSE_CREATE
    return nullptr;
#else
    static int instance;
    return &instance;
#endif
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
