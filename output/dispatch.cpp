#include "dispatch.h"

#include "inferencegraph.h"
#include "memorydump.h"
#include "questiontree.h"

DecodedMessage decodeMessage(const char* data, std::size_t size, const OutputOptions& options)
{
    const MessageKind kind = messageKind(data, size);
    switch (kind) {
    case MessageKind::Error:
        if (auto error = decodeErrorMessage(data, size))
            return std::move(*error);
        return NoOutput();
    case MessageKind::Words:
    case MessageKind::Compounds:
    case MessageKind::Statements:
        return TermTableContents{kind, decodeTermRecords(data, size)};
    case MessageKind::Memory:
        return MemoryDumpContents{decodeMemoryDump(data, size)};
    case MessageKind::Question:
        return QuestionTreeDrawing{questionTreeSvg(decodeQuestionTree(data, size))};
    case MessageKind::Inference:
        return InferenceGraphDrawing{inferenceGraphSvg(decodeInferenceGraph(data, size))};
    case MessageKind::Version:
        return LibraryVersion{decodeLibraryVersion(data, size)};
    default:
        if (auto text =
                simpleOutputText(data, size, options.showTime, options.showInternalQuestions))
            return OutputLine{std::move(*text)};
        return NoOutput();
    }
}
