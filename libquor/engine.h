#ifndef QUOR_ENGINE_H
#define QUOR_ENGINE_H

#include "inference.h"
#include "memory.h"
#include "parser.h"
#include "reasoner.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace quor {

// Version reported by "⋙ version".
inline constexpr const char* EngineVersion = "1.0.0";

// One engine: memory, the inference log, the last question's derivation and the debug switch.
// process() turns one input into the messages it answers with, in order, the last one always
// the 't' message. Not thread-safe by itself; the C interface serialises calls of process().
class Engine {
public:
    std::vector<std::string> process(std::string_view text, int line);

private:
    Memory memory;
    InferenceLog log;
    DerivationTree lastTree;
    bool asked = false; // whether lastTree holds a question
    bool debug = false;

    // State of the process() call under way.
    std::vector<std::string> out;
    std::uint32_t cycles = 0;
    std::size_t problems = 0;
    std::size_t refused = 0;         // judgements memory had no room for
    std::size_t refusedReported = 0; // those of them in the Error dock

    // Reports a problem; after MaxDiagnostics of them one note says that more follow.
    bool report(Position at, std::uint8_t mark, const std::string& text);
    void judge(const Sentence& sentence);
    void ask(const Sentence& sentence);

    // commands.cpp
    void run(const Command& command);
    void sendTable(Memory::Table table, char kind, const char* plural);
    void sendMemory();
    void sendQuestion();
    void sendInferences();
};

} // namespace quor

#endif
