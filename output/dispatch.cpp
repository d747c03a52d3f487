#include "dispatch.h"

#include "memorydump.h"

DecodedMessage decodeMessage(const char* data, std::size_t size)
{
    const MessageKind kind = messageKind(data, size);
    switch (kind) {
    case MessageKind::Plain:
        return TextMessage{kind, 0, messageText(data, size, 0)};
    case MessageKind::Unassigned:
        return TextMessage{kind, data[1], messageText(data, size, 3)};
    case MessageKind::InternalQuestion:
        return TextMessage{kind, 0, messageText(data, size, 3)};
    case MessageKind::Time:
        return TimeMessage{decodeElapsedTime(data, size)};
    case MessageKind::Version:
        return LibraryVersion{decodeLibraryVersion(data, size)};
    case MessageKind::Error:
        return InputErrorMessage{decodeErrorMessage(data, size)};
    case MessageKind::Words:
    case MessageKind::Compounds:
    case MessageKind::Statements:
        return TermTableContents{kind, decodeTermRecords(data, size)};
    case MessageKind::Memory:
        return MemoryDumpContents{decodeMemoryDump(data, size)};
    case MessageKind::Question:
        return decodeQuestionTree(data, size);
    case MessageKind::Inference:
        return decodeInferenceGraph(data, size);
    }
    return TextMessage{};
}

std::optional<QString> outputText(const DecodedMessage& message, const OutputOptions& options)
{
    if (const auto* text = std::get_if<TextMessage>(&message)) {
        if (text->kind == MessageKind::InternalQuestion && !options.showInternalQuestions)
            return std::nullopt;
        return text->text;
    }
    if (const auto* time = std::get_if<TimeMessage>(&message)) {
        if (options.showTime && time->time)
            return elapsedTimeLine(*time->time);
        return std::nullopt;
    }
    if (const auto* version = std::get_if<LibraryVersion>(&message))
        return libraryVersionLine(version->version);
    return std::nullopt;
}
