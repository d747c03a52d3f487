#ifndef MESSAGES_H
#define MESSAGES_H

#include <QString>
#include <QtGlobal>

#include <cstddef>
#include <optional>

// Framing of engine messages and the simple kinds that only produce Output-dock text.
//
// A message whose size is below 2 or whose first byte is not '<' is a plain message: all of it is
// one text field. Otherwise byte 1 is the kind and the payload starts at offset 3.
enum class MessageKind {
    Plain,            // not framed: text from offset 0
    Unassigned,       // framed, kind without a handler: text from offset 3
    Compounds,        // 'c'
    Error,            // 'e'
    InternalQuestion, // 'i'
    Memory,           // 'm'
    Inference,        // 'n'
    Question,         // 'q'
    Statements,       // 's'
    Time,             // 't'
    Version,          // 'v'
    Words,            // 'w'
};

MessageKind messageKind(const char* data, std::size_t size);

// The UTF-8 text field starting at offset: up to its NUL or the end of the message.
QString messageText(const char* data, std::size_t size, std::size_t offset);

struct ElapsedTime {
    quint32 microseconds = 0;
    quint32 cycles = 0;
};

// A 't' message; empty when it is shorter than its two numbers (11 bytes).
std::optional<ElapsedTime> decodeElapsedTime(const char* data, std::size_t size);
QString elapsedTimeLine(const ElapsedTime& time);

// The library version carried by a 'v' message: from the first '>' (included) if there is one,
// trimmed.
QString decodeLibraryVersion(const char* data, std::size_t size);
QString libraryVersionLine(const QString& version);

#endif
