#ifndef QUOR_SCANNER_H
#define QUOR_SCANNER_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace quor {

// Marks a byte that does not start a valid UTF-8 sequence.
inline constexpr char32_t InvalidCodePoint = 0xFFFFFFFF;
// Returned by Scanner::peek() past the end of the input.
inline constexpr char32_t EndOfInput = 0xFFFFFFFE;

// Position of a character as the editor counts it: 1-based line, and 1-based column in UTF-16
// code units (a character outside the Basic Multilingual Plane takes two columns).
struct Position {
    std::uint32_t line = 1;
    std::uint32_t column = 1;
};

// Decodes one UTF-8 sequence at data[0..size); sets length to the bytes used (1 for an invalid
// byte, which yields InvalidCodePoint). Rejects overlong forms, surrogates and values past
// U+10FFFF.
char32_t decodeUtf8(const unsigned char* data, std::size_t size, std::size_t& length);

void appendUtf8(std::string& out, char32_t codePoint);

// Walks UTF-8 text one code point at a time and keeps track of line and column.
class Scanner {
public:
    Scanner(std::string_view text, std::uint32_t firstLine);

    bool atEnd() const { return offset >= input.size(); }
    // The code point `ahead` characters after the current one (EndOfInput past the end).
    char32_t peek(std::size_t ahead = 0) const;
    void advance();
    Position position() const { return current; }

private:
    std::string_view input;
    std::size_t offset = 0;
    Position current;
};

} // namespace quor

#endif
