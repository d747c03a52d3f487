#ifndef HOSTILEENGINE_H
#define HOSTILEENGINE_H

// Control interface of the hostile test engines: libraries that export the four engine functions
// (engine/quor.h) and break the engine's manners in one way each. One source is built once per
// behaviour (tests/reliability/CMakeLists.txt); a test links one of them in place of the engine.

#include <string>
#include <vector>

namespace hostile {

enum class Behaviour {
    Flood,        // get() never waits: a new message on every call, as long as the instance lives
    FalseForever, // get() returns false at once, every time
    // The next two answer the program's first input (until then get() waits), so that nothing
    // they send is lost before the window listens; once their script is done, get() waits like
    // a well-behaved engine's.
    Oversize,    // get() fills the whole buffer and reports more than it was offered, between
                 // valid messages
    RandomBytes, // get() delivers messages of random bytes and random sizes up to the buffer,
                 // mostly framed with a kind the program decodes
};

Behaviour behaviour();

// Oversize: how many reports above the capacity, and the valid messages around them, in order.
inline constexpr int OversizeReports = 40;
// RandomBytes: how many random messages an instance sends before it waits.
inline constexpr int RandomMessages = 3000;

long long getCalls();
long long messagesDelivered();            // get() calls that returned true
std::vector<std::string> validMessages(); // Oversize: the valid messages delivered, in order
std::vector<std::string> inputs();        // texts given to process(), in order
int liveInstances();
int waitingGets(); // get() calls waiting after the script (Oversize, RandomBytes) is done

} // namespace hostile

#endif
