#ifndef DISPATCH_H
#define DISPATCH_H

#include "errormessage.h"
#include "inferencegraph.h"
#include "messages.h"
#include "questiontree.h"
#include "termtable.h"

#include <QByteArray>
#include <QString>
#include <QVector>

#include <cstddef>
#include <optional>
#include <variant>

// The dispatch of engine messages: each message is decoded once, here, into the value its kind
// carries; every consumer (the window's views, quorstudio-run's output, JSON, tables, graphs and
// report) takes that value.

// A text: a plain message (not framed), a framed message of a kind without a handler, or an
// internal question ('i').
struct TextMessage {
    MessageKind kind = MessageKind::Plain; // Plain, Unassigned or InternalQuestion
    char code = 0;                         // the kind byte of an unassigned kind
    QString text;
};

// The time an input took ('t'); empty when the message is too short for its two numbers.
struct TimeMessage {
    std::optional<ElapsedTime> time;
};

// The library version ('v').
struct LibraryVersion {
    QString version;
};

// An input error ('e'); empty when the message is too short for its fixed fields.
struct InputErrorMessage {
    std::optional<ErrorMessage> error;
};

// A term table ('w', 'c' or 's'); kind says which of the three.
struct TermTableContents {
    MessageKind kind = MessageKind::Words;
    QVector<TermRecord> records;
};

// A memory dump ('m').
struct MemoryDumpContents {
    QByteArray dump;
};

// The question derivation tree ('q') is a QuestionTree, the inference graph ('n') an
// InferenceGraph; questionTreeDrawing() and inferenceGraphDrawing() lay them out.
using DecodedMessage =
    std::variant<TextMessage, TimeMessage, LibraryVersion, InputErrorMessage, TermTableContents,
                 MemoryDumpContents, QuestionTree, InferenceGraph>;

// Decodes one engine message of any kind; reads nothing outside data[0, size).
DecodedMessage decodeMessage(const char* data, std::size_t size);

// The options that decide whether time and internal-question messages are shown.
struct OutputOptions {
    bool showTime = true;
    bool showInternalQuestions = false;
};

// The line a message adds to the output (the Output dock, quorstudio-run's standard output):
// texts, the version line, and the time and internal questions when the options show them.
std::optional<QString> outputText(const DecodedMessage& message, const OutputOptions& options);

#endif
