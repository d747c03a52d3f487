// The engine-message dispatcher as a whole: whatever the kind byte says, the message goes
// through the same decoding that MainWindow::output runs for it, with both settings of the Time
// and Internal Question options. Widgets are left out (fuzz_window drives those).

#include "dispatch.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size)
{
    // libFuzzer hands over an exact-size heap copy, as the worker does: any read past the end
    // is caught by the address sanitizer.
    const char* data = reinterpret_cast<const char*>(bytes);
    for (int options = 0; options < 4; ++options) {
        const DecodedMessage decoded =
            decodeMessage(data, size, {bool(options & 1), bool(options & 2)});
        if (const auto* error = std::get_if<ErrorMessage>(&decoded))
            errorListItem(*error, QStringLiteral("/tmp/doc.quor"));
        else if (const auto* table = std::get_if<TermTableContents>(&decoded))
            for (const TermRecord& record : table->records)
                termIdText(record.id);
    }
    return 0;
}
