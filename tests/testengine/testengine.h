#ifndef TESTENGINE_H
#define TESTENGINE_H

// Control interface of the scriptable test engine, a library that exports the same four
// functions as the real engine. It records every process() call and delivers the messages a test
// queues; its get() waits like a real engine's unless a misbehaviour is switched on.

#include <cstddef>
#include <string>
#include <vector>

namespace testengine {

struct Input {
    std::string bytes; // the text as received, without its NUL
    int line = 0;
    void* handle = nullptr;
};

enum class Mode {
    Normal,         // get() waits for a message or for destroy_object()
    ReturnFalse,    // get() returns false at once, every time
    OversizeReport, // get() reports a size above the capacity it was offered
};

void reset(); // forgets inputs and messages, Normal mode
void setMode(Mode mode);
void setOversize(std::size_t size);     // size reported in OversizeReport mode
void queue(const std::string& message); // delivered by the next get() of any live instance
void queue(const char* data, std::size_t size);
void queueMany(const std::vector<std::string>& messages); // all at once, one wake-up
std::vector<Input> inputs();
std::size_t pendingMessages();
int liveInstances();
int createdInstances();
long long getCalls();
// get() calls that found their handle already destroyed when they started, and accesses to a
// destroyed instance's state (should stay zero: the registry keeps them from happening).
long long getsOnDestroyedHandle();
int waitingGets(); // get() calls currently blocked

} // namespace testengine

#endif
