#ifndef QUOR_MESSAGES_H
#define QUOR_MESSAGES_H

#include "inference.h"
#include "memory.h"
#include "reasoner.h"
#include "scanner.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace quor {

// Largest message the engine builds, in bytes; get() offers exactly this much.
inline constexpr std::size_t MaxMessage = 15000;

// Message layouts. A framed message is '<', the kind letter, one unused byte, then the payload;
// numbers are little-endian, texts UTF-8 ending with a NUL. Every builder keeps its message
// within MaxMessage: texts are shortened at a character boundary, and tables and graphs keep as
// many whole records as fit and report how many that was.

// Plain text, shown as it is. It must not start with '<', which would make it look framed.
std::string plainMessage(const std::string& text);

// A framed message whose payload is one text: 'i', 'm', 'v'.
std::string textMessage(char kind, const std::string& text);

// 'e': line and column (32 bits each), mark kind (one byte), text.
std::string errorMessage(Position at, std::uint8_t mark, const std::string& text);

// 't': elapsed microseconds and reasoning cycles, 32 bits each.
std::string timeMessage(std::uint32_t microseconds, std::uint32_t cycles);

// 'w', 'c', 's': from offset 7, records of a 64-bit id and a NUL-terminated name. Sets `kept`
// to the number of leading records that fit.
struct TableEntry {
    TermId id = 0;
    std::string name;
};
std::string termTableMessage(char kind, const std::vector<TableEntry>& entries, std::size_t& kept);

// 'n': the most recent inferences that fit, oldest first, with the texts of their items as they
// were when each inference was drawn, and the operation records. An item has its term's id,
// except a term that comes again with another text: that text gets an id of its own. Sets `kept`
// to the number of inferences sent.
std::string inferenceMessage(const InferenceLog& log, std::size_t& kept);

// 'q': the derivation tree under root 0, nodes numbered from 1 in creation order; each node has
// a label and two attribute words, the first with its kind byte and level, the second with its
// thread id (and the Known flag for a question that was answered). Nodes are sent breadth first
// for as long as they fit; `kept` is their number.
std::string questionMessage(const DerivationTree& tree, std::size_t& kept);

// Cuts UTF-8 text to at most `limit` bytes without splitting a character.
std::string clipUtf8(const std::string& text, std::size_t limit);

// Longest text of a term or statement quoted whole in a reply, in bytes.
inline constexpr std::size_t MaxQuoted = 1000;
// The text as quoted in a reply: a longer one is cut between characters and ends with "…", so
// that what follows it (a truth value, a question mark) always shows.
std::string quoted(const std::string& text);

} // namespace quor

#endif
