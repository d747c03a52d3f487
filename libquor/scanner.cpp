#include "scanner.h"

namespace quor {

char32_t decodeUtf8(const unsigned char* data, std::size_t size, std::size_t& length)
{
    length = 1;
    if (size == 0)
        return InvalidCodePoint;
    const unsigned char lead = data[0];
    if (lead < 0x80)
        return lead;
    std::size_t count;
    char32_t value;
    char32_t minimum;
    if ((lead & 0xE0) == 0xC0) {
        count = 2;
        value = lead & 0x1F;
        minimum = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        count = 3;
        value = lead & 0x0F;
        minimum = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        count = 4;
        value = lead & 0x07;
        minimum = 0x10000;
    } else {
        return InvalidCodePoint;
    }
    if (size < count)
        return InvalidCodePoint;
    for (std::size_t i = 1; i < count; ++i) {
        if ((data[i] & 0xC0) != 0x80)
            return InvalidCodePoint;
        value = (value << 6) | (data[i] & 0x3F);
    }
    if (value < minimum || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF))
        return InvalidCodePoint;
    length = count;
    return value;
}

void appendUtf8(std::string& out, char32_t c)
{
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

Scanner::Scanner(std::string_view text, std::uint32_t firstLine) : input(text)
{
    current.line = firstLine;
}

char32_t Scanner::peek(std::size_t ahead) const
{
    std::size_t at = offset;
    for (;;) {
        if (at >= input.size())
            return EndOfInput;
        std::size_t length = 1;
        const char32_t c = decodeUtf8(reinterpret_cast<const unsigned char*>(input.data()) + at,
                                      input.size() - at, length);
        if (ahead == 0)
            return c;
        --ahead;
        at += length;
    }
}

void Scanner::advance()
{
    if (atEnd())
        return;
    std::size_t length = 1;
    const char32_t c = decodeUtf8(reinterpret_cast<const unsigned char*>(input.data()) + offset,
                                  input.size() - offset, length);
    offset += length;
    if (c == '\n') {
        if (current.line < UINT32_MAX)
            ++current.line;
        current.column = 1;
    } else if (current.column < UINT32_MAX - 1) {
        current.column += (c != InvalidCodePoint && c >= 0x10000) ? 2 : 1;
    }
}

} // namespace quor
