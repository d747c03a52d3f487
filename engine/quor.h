/* The reasoning engine's C interface.
 *
 * QuorStudio links an engine shared library (SONAME libquor.so.1) that exports these four
 * functions. One instance is created at start-up and destroyed at exit; process() is called on
 * the GUI thread while get() may be waiting on the polling thread for the same handle.
 */
#ifndef QUOR_H
#define QUOR_H

#include <stddef.h>
#include <stdint.h>
#ifndef __cplusplus
#include <stdbool.h>
#endif

#if defined(_WIN32)
#define QUOR_API __declspec(dllexport)
#else
#define QUOR_API __attribute__((visibility("default")))
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* Largest message get() ever delivers, in bytes. */
#define QUOR_MAX_MESSAGE 15000

/* Creates an engine instance. QuorStudio passes 1 and 0. */
QUOR_API void* create_object(int version, int options);

/* Hands one input (NUL-terminated UTF-8) to the engine; line is the 1-based editor line of its
 * first line, against which error positions are reported. The last argument is 0. */
QUOR_API int process(void* handle, const char* text, int line, int options);

/* Fetches the next output message into buffer, whose capacity *size holds on entry; on true,
 * *size holds the message length. QuorStudio passes wait = true, timeout = 0xFFFFFFFF (wait
 * without limit) and 0. A waiting get() returns false once destroy_object() is called for its
 * handle, and get() on a destroyed handle returns false at once. */
QUOR_API bool get(void* handle, char* buffer, size_t* size, bool wait, uint32_t timeout,
                  uint32_t options);

/* Ends the instance and releases a get() waiting on it. */
QUOR_API int destroy_object(void* handle);

#ifdef __cplusplus
}
#endif

#endif
