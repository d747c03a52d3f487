// The input-error decoder ('e' messages) and the Error-list entry built from it.

#include "errormessage.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size)
{
    const char* data = reinterpret_cast<const char*>(bytes);
    const auto error = decodeErrorMessage(data, size);
    if (!error) {
        // Only a message shorter than its fixed fields is refused.
        if (size >= 12)
            std::abort();
        return 0;
    }
    const ErrorListItem item = errorListItem(*error, QStringLiteral("doc.quor"));
    // Positions never turn negative, whatever the numbers in the message.
    if (item.line < 0 || item.column < 0 || error->text != error->text.trimmed())
        std::abort();
    return 0;
}
