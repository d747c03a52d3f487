#ifndef QUOR_ENGINE_H
#define QUOR_ENGINE_H

#include <string>
#include <vector>

namespace quor {

// Version reported by "⋙ version".
inline constexpr const char* EngineVersion = "1.0.0";

// One engine: turns an input into the messages it answers with. Not thread-safe by itself; the
// C interface serialises calls of process().
class Engine {
public:
    std::vector<std::string> process(const std::string& text, int line);
};

// A framed message: '<', kind, one unused byte, then the payload.
std::string framed(char kind, const std::string& payload);

} // namespace quor

#endif
