// The engine-message dispatcher as a whole: whatever the kind byte says, the message goes
// through the same decoder and layout that MainWindow::output runs for it, with both settings of
// the Time and Internal Question options. Widgets are left out (fuzz_window drives those).

#include "errormessage.h"
#include "inferencegraph.h"
#include "memorydump.h"
#include "messages.h"
#include "questiontree.h"
#include "termtable.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size)
{
    // libFuzzer hands over an exact-size heap copy, as the worker does: any read past the end
    // is caught by the address sanitizer.
    const char* data = reinterpret_cast<const char*>(bytes);
    switch (messageKind(data, size)) {
    case MessageKind::Error:
        if (const auto error = decodeErrorMessage(data, size))
            errorListItem(*error, QStringLiteral("/tmp/doc.quor"));
        break;
    case MessageKind::Words:
    case MessageKind::Compounds:
    case MessageKind::Statements:
        for (const TermRecord& record : decodeTermRecords(data, size))
            termIdText(record.id);
        break;
    case MessageKind::Memory:
        decodeMemoryDump(data, size);
        break;
    case MessageKind::Question:
        questionTreeSvg(decodeQuestionTree(data, size));
        break;
    case MessageKind::Inference:
        inferenceGraphSvg(decodeInferenceGraph(data, size));
        break;
    case MessageKind::Version:
        libraryVersionLine(decodeLibraryVersion(data, size));
        break;
    default:
        for (int options = 0; options < 4; ++options)
            simpleOutputText(data, size, options & 1, options & 2);
        break;
    }
    return 0;
}
