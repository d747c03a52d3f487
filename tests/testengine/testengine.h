#ifndef TESTENGINE_H
#define TESTENGINE_H

// Control interface of the scriptable test engine, a library that exports the same four
// functions as the real engine (engine/quor.h). It records every process() call and delivers
// the messages a test queues. How get() behaves is chosen at run time: by setMode() in the test's
// own process, or, for a program started as a child process, by the environment variable
// QUOR_TEST_ENGINE (the mode's name below, "slow" optionally followed by ":<ms>"), read when an
// instance is created. Every mode keeps the C interface's promises about destroyed handles: a
// get() waiting on a handle returns false once destroy_object() is called for it.
//
// QUOR_TEST_ENGINE=script makes an engine that answers by itself, for a program that loads it
// in a process of its own (as libquor.so.1): process() reads the input's first word and number,
//   segfault, abort, exit <n>  crashes with that signal, or calls exit(n)
//   silent                     never returns, says nothing
//   slow                       never returns, says "slow <i>" every 50 ms
//   flood                      never returns, sends "flood <n>" messages as fast as they go
//   flood <n>                  queues n plain messages of 79 'x', then answers
//   oversize, random           runs the Oversize or RandomBytes script below, then answers
//   sleep <ms>                 answers after that long
// and otherwise answers at once: a plain message "echo <input>" and a time message.

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
    Normal,      // "normal": get() waits for a queued message or for destroy_object()
    ReturnFalse, // "false": get() returns false at once, every time
    Silent,      // "silent": get() never answers; queued messages stay queued
    Slow,        // "slow": like Normal, each message delivered setDelay() ms after it is due
    Flood,       // "flood": a new message on every get(), never waiting (text lines "flood <n>"
                 // with time, internal-question and unassigned kinds mixed in, n counting the
                 // messages delivered before it)
    Oversize,    // "oversize": OversizeReports whole-buffer writes claiming more than the buffer,
                 // each followed by a valid text message "valid <n>"; then Normal
    RandomBytes, // "random": RandomMessages messages of random bytes and sizes up to the buffer,
                 // mostly framed with a kind the program decodes; then Normal
};

inline constexpr int OversizeReports = 40;
inline constexpr int RandomMessages = 3000;

void reset();            // forgets inputs, messages and counters; Normal mode, delay 200 ms
void setMode(Mode mode); // restarts the Oversize and RandomBytes scripts
void setDelay(int ms);   // Slow mode's delay
void queue(const std::string& message); // delivered by the next get() of any live instance
void queue(const char* data, std::size_t size);
void queueMany(const std::vector<std::string>& messages); // all at once, one wake-up
std::vector<Input> inputs();
std::size_t pendingMessages();
int liveInstances();
long long getCalls();
long long messagesDelivered();            // get() calls that returned true
std::vector<std::string> validMessages(); // Oversize: the valid messages delivered, in order
int waitingGets();                        // get() calls currently blocked

} // namespace testengine

#endif
