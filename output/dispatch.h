#ifndef DISPATCH_H
#define DISPATCH_H

#include "errormessage.h"
#include "messages.h"
#include "termtable.h"

#include <QByteArray>
#include <QString>
#include <QVector>

#include <cstddef>
#include <variant>

// The dispatch of engine messages: each message decoded into the value that one view shows.
// Decoding is pure; showing the value is one call on the view (the window's result views).

// The options that decide whether time and internal-question messages are shown.
struct OutputOptions {
    bool showTime = true;
    bool showInternalQuestions = false;
};

// A line for the Output dock.
struct OutputLine {
    QString text;
};

// The library version ('v'): recorded by the window and shown as a line.
struct LibraryVersion {
    QString version;
};

// A term table ('w', 'c' or 's'); kind says which of the three.
struct TermTableContents {
    MessageKind kind = MessageKind::Words;
    QVector<TermRecord> records;
};

// A memory dump ('m'), offered for saving.
struct MemoryDumpContents {
    QByteArray dump;
};

// The SVG document of the question derivation tree ('q').
struct QuestionTreeDrawing {
    QString svg;
};

// The SVG document of the inference graph ('n').
struct InferenceGraphDrawing {
    QString svg;
};

// Nothing to show: a dropped time or internal-question message, or an error message too short
// for its fixed fields.
using NoOutput = std::monostate;

using DecodedMessage =
    std::variant<NoOutput, OutputLine, LibraryVersion, ErrorMessage, TermTableContents,
                 MemoryDumpContents, QuestionTreeDrawing, InferenceGraphDrawing>;

// Decodes one engine message of any kind; reads nothing outside data[0, size).
DecodedMessage decodeMessage(const char* data, std::size_t size, const OutputOptions& options);

#endif
