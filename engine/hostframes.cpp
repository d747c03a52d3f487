#include "hostframes.h"

#include <algorithm>
#include <cstring>

namespace hostframes {

namespace {

std::uint32_t readLe32(const char* data)
{
    std::uint32_t value = 0;
    for (int i = 3; i >= 0; --i)
        value = (value << 8) | static_cast<unsigned char>(data[i]);
    return value;
}

void appendLe32(std::string& out, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        out += static_cast<char>((value >> (8 * i)) & 0xff);
}

bool expected(unsigned char kind, Reader reader)
{
    if (reader == Reader::Host)
        return kind == TextPiece || kind == InputEnd || kind == Acknowledge;
    return kind == HelloKind || kind == Message || kind == Done;
}

// Why a whole payload does not fit its kind, or null when it does.
const char* payloadError(unsigned char kind, const char* payload, std::size_t size)
{
    switch (kind) {
    case InputEnd:
        return size < InputLineSize ? "an input frame without its line" : nullptr;
    case Acknowledge: {
        if (size != 4)
            return "an acknowledgement of the wrong size";
        const std::uint32_t count = readLe32(payload);
        return count == 0 || count > MaxInFlight ? "an acknowledgement of an impossible count"
                                                 : nullptr;
    }
    case HelloKind:
        return size == sizeof Hello - 1 && std::memcmp(payload, Hello, size) == 0
                   ? nullptr
                   : "a greeting of another program or version";
    case Done:
        return size != 0 ? "a done frame with a payload" : nullptr;
    default:
        return nullptr;
    }
}

} // namespace

Parse parse(const char* data, std::size_t size, Reader reader)
{
    Parse result;
    if (size >= 4) {
        const std::uint32_t length = readLe32(data);
        if (length > MaxPayload) {
            result.state = Parse::Broken;
            result.error = "a frame longer than 15000 bytes";
            result.stated = length;
            return result;
        }
    }
    if (size >= HeaderSize && !expected(static_cast<unsigned char>(data[4]), reader)) {
        result.state = Parse::Broken;
        result.error = "bytes that are not a frame";
        return result;
    }
    if (size < HeaderSize)
        return result;
    const std::size_t length = readLe32(data);
    if (size - HeaderSize < length)
        return result;
    const auto kind = static_cast<unsigned char>(data[4]);
    if (const char* error = payloadError(kind, data + HeaderSize, length)) {
        result.state = Parse::Broken;
        result.error = error;
        return result;
    }
    result.state = Parse::Complete;
    result.frame = Frame{kind, data + HeaderSize, length};
    result.length = HeaderSize + length;
    return result;
}

void appendFrame(std::string& out, Kind kind, const char* payload, std::size_t size)
{
    size = std::min(size, MaxPayload);
    appendLe32(out, static_cast<std::uint32_t>(size));
    out += static_cast<char>(kind);
    out.append(payload, size);
}

void appendInput(std::string& out, const char* text, std::size_t size, int line)
{
    const std::size_t lastPiece = MaxPayload - InputLineSize;
    std::size_t offset = 0;
    while (size - offset > lastPiece) {
        const std::size_t piece = std::min(MaxPayload, size - offset - lastPiece);
        appendFrame(out, TextPiece, text + offset, piece);
        offset += piece;
    }
    const std::size_t rest = size - offset;
    appendLe32(out, static_cast<std::uint32_t>(InputLineSize + rest));
    out += static_cast<char>(InputEnd);
    appendLe32(out, static_cast<std::uint32_t>(line));
    out.append(text + offset, rest);
}

void appendAcknowledge(std::string& out, std::uint32_t count)
{
    char payload[4];
    for (int i = 0; i < 4; ++i)
        payload[i] = static_cast<char>((count >> (8 * i)) & 0xff);
    appendFrame(out, Acknowledge, payload, 4);
}

int inputLine(const Frame& frame)
{
    return static_cast<int>(readLe32(frame.payload));
}

std::uint32_t acknowledged(const Frame& frame)
{
    return readLe32(frame.payload);
}

bool InputAssembler::take(const Frame& frame)
{
    if (isWhole) {
        gathered.clear();
        isWhole = false;
    }
    const bool end = frame.kind == InputEnd;
    const char* piece = end ? frame.payload + InputLineSize : frame.payload;
    const std::size_t size = end ? frame.size - InputLineSize : frame.size;
    if (size > MaxInput - gathered.size())
        return false;
    gathered.append(piece, size);
    if (end) {
        inputLineNumber = inputLine(frame);
        isWhole = true;
    }
    return true;
}

} // namespace hostframes
