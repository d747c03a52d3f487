// The engine-message dispatcher as a whole: whatever the kind byte says, the message goes
// through the same decoder and layout that MainWindow::output runs for it, with both settings of
// the Time and Internal Question options, and every decoder keeps its promises. Widgets are
// left out (fuzz_window drives those).

#include "dispatch.h"
#include "memorydump.h"
#include "messagejson.h"
#include "messagereader.h"
#include "svgwriter.h"
#include "testmessages.h"

#include <QSet>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

void check(bool promise)
{
    if (!promise)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size)
{
    // libFuzzer hands over an exact-size heap copy, as the worker does: any read past the end
    // is caught by the address sanitizer.
    const char* data = reinterpret_cast<const char*>(bytes);
    // The dispatch every consumer takes its value from, and what the output and JSON make of it
    // with every setting of the two options.
    const DecodedMessage decoded = decodeMessage(data, size);
    for (int options = 0; options < 4; ++options)
        outputText(decoded, {bool(options & 1), bool(options & 2)});
    messageJson(decoded);
    // What each decoder promises.
    switch (messageKind(data, size)) {
    case MessageKind::Error: {
        // Only a message shorter than its fixed fields is refused; positions never turn
        // negative, whatever the numbers in the message.
        const auto error = decodeErrorMessage(data, size);
        check(error.has_value() == (size >= 12));
        if (error) {
            const ErrorListItem item = errorListItem(*error, QStringLiteral("/tmp/doc.quor"));
            check(item.line >= 0 && item.column >= 0 && error->text == error->text.trimmed());
        }
        break;
    }
    case MessageKind::Words:
    case MessageKind::Compounds:
    case MessageKind::Statements: {
        // Each record takes at least its id and the name's NUL.
        const QVector<TermRecord> records = decodeTermRecords(data, size);
        check(size <= 7 ? records.isEmpty() : std::size_t(records.size()) * 9 <= size - 7);
        for (const TermRecord& record : records)
            check(!termIdText(record.id).isEmpty());
        break;
    }
    case MessageKind::Question: {
        // Cycles and shared children never repeat a node; the root is never drawn as a child.
        const QuestionTree tree = decodeQuestionTree(data, size);
        check(tree.nodes.contains(0));
        QSet<quint64> seen;
        for (quint64 id : layoutQuestionTree(tree).order) {
            check(id != 0 && !seen.contains(id));
            seen.insert(id);
        }
        check(wellFormed(svgDocument(questionTreeDrawing(tree)))); // whatever the labels hold
        break;
    }
    case MessageKind::Inference: {
        // Every item id read took 8 bytes of the message.
        const InferenceGraph graph = decodeInferenceGraph(data, size);
        std::size_t items = 0;
        for (const Inference& inference : graph.inferences)
            items += std::size_t(inference.items.size());
        check(items * 8 <= size && wellFormed(svgDocument(inferenceGraphDrawing(graph))));
        break;
    }
    default:
        check(decodeMemoryDump(data, size).size() <= int(size));
        libraryVersionLine(decodeLibraryVersion(data, size));
        if (const auto time = decodeElapsedTime(data, size))
            elapsedTimeLine(*time);
        for (std::size_t offset : {std::size_t(0), std::size_t(3), size, size + 1})
            messageText(data, size, offset);
        break;
    }
    // The reader itself: a walk driven by the message's own bytes never passes its end.
    MessageReader reader(data, size);
    quint8 step = 0;
    while (reader.readU8(step)) {
        quint32 u32 = 0;
        quint64 u64 = 0;
        QByteArray text;
        const int what = step % 6;
        what == 0   ? reader.readU32(u32)
        : what == 1 ? reader.readU64(u64)
        : what == 2 ? reader.readId(step / 6, u64)
        : what == 3 ? reader.readCString(text)
        : what == 4 ? (reader.readTextField(), true)
                    : reader.skip(step / 6);
        check(reader.position() <= reader.size());
    }
    return 0;
}
