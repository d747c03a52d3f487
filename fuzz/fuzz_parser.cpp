// The stand-in engine's input parser: any bytes, any first line.

#include "parser.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(bytes), size);
    // The first four bytes pick the first line, so positions near the top of the range are
    // reached too.
    std::uint32_t firstLine = 1;
    if (size >= 4)
        firstLine = std::uint32_t(bytes[0]) | std::uint32_t(bytes[1]) << 8 |
                    std::uint32_t(bytes[2]) << 16 | std::uint32_t(bytes[3]) << 24;
    std::size_t diagnostics = 0;
    for (const quor::Item& item : quor::parse(text, firstLine)) {
        if (std::holds_alternative<quor::Diagnostic>(item))
            ++diagnostics;
    }
    // The report stops at its limit, plus the one note that says so.
    if (diagnostics > quor::MaxDiagnostics + 1)
        std::abort();
    return 0;
}
