#ifndef QUOR_PARSER_H
#define QUOR_PARSER_H

#include "scanner.h"
#include "term.h"
#include "truth.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace quor {

// The engine commands, written "⋙ word" on a line of their own.
enum class CommandId {
    Version,
    DebugOn,
    DebugOff,
    Clear,
    Words,
    Compounds,
    Statements,
    Memory,
    Question,
    Inference,
};

// The command word(s) after "⋙ ", for example "debug on".
const char* commandWord(CommandId id);
inline constexpr int CommandCount = 10;

// How the editor marks a reported position.
enum Mark : std::uint8_t {
    BadCharacter = 0x01, // the one character at the position
    BadLine = 0x02,      // the rest of the line from the position
    Warning = 0x04,
    Note = 0x08,
};

struct Command {
    CommandId id;
    Position at;
};

struct Sentence {
    Term statement;
    bool question = false;
    bool hasTruth = false; // a judgement written without one has DefaultTruth
    Truth truth = DefaultTruth;
    Position at;
};

struct Diagnostic {
    Position at;
    std::uint8_t mark = BadLine;
    std::string message;
};

using Item = std::variant<Sentence, Command, Diagnostic>;

// Deepest nesting of statements and compound terms inside one sentence.
inline constexpr int MaxNesting = 64;
// Problems reported for one input, those of the parser and the engine's together; one note
// says when there were more.
inline constexpr std::size_t MaxDiagnostics = 100;

// Reads one input: any number of lines of sentences, commands, blank lines and comments.
// Positions count lines from firstLine. A pure function of its arguments that accepts any bytes:
// a malformed sentence or command yields a Diagnostic and reading goes on after that line.
std::vector<Item> parse(std::string_view text, std::uint32_t firstLine);

} // namespace quor

#endif
