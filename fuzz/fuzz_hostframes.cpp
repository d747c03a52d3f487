// The frames spoken with the engine host, read by both sides: whatever the bytes, a reader never
// reads past them, a frame it takes is exactly what its header says, a cut frame is only ever
// incomplete, and an input written by the writer reads back whole, with its line.

#include "hostframes.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

using namespace hostframes;

namespace {

void check(bool promise)
{
    if (!promise)
        std::abort();
}

// Writes the input again and reads it back through a fresh assembler.
void roundTrip(const char* text, std::size_t size, int line)
{
    std::string frames;
    appendInput(frames, text, size, line);
    InputAssembler assembler;
    std::size_t offset = 0;
    while (offset < frames.size()) {
        const Parse next = parse(frames.data() + offset, frames.size() - offset, Reader::Host);
        check(next.state == Parse::Complete && next.frame.size <= MaxPayload);
        check(!assembler.whole() && assembler.take(next.frame));
        offset += next.length;
    }
    check(assembler.whole() && assembler.line() == line);
    check(assembler.takeText() == std::string(text, size));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size)
{
    const char* data = reinterpret_cast<const char*>(bytes);
    for (const Reader reader : {Reader::Host, Reader::Client}) {
        InputAssembler assembler;
        std::size_t offset = 0;
        for (;;) {
            const Parse next = parse(data + offset, size - offset, reader);
            if (next.state != Parse::Complete)
                break;
            check(next.frame.payload == data + offset + HeaderSize);
            check(next.frame.size <= MaxPayload && next.length == HeaderSize + next.frame.size);
            check(next.length <= size - offset);
            for (const std::size_t cut : {std::size_t(0), std::size_t(4), next.length - 1})
                check(parse(data + offset, cut, reader).state == Parse::Incomplete);
            if (next.frame.kind == Acknowledge)
                check(acknowledged(next.frame) >= 1 && acknowledged(next.frame) <= MaxInFlight);
            if (reader == Reader::Host && next.frame.kind != Acknowledge) {
                check(assembler.take(next.frame));
                if (assembler.whole()) {
                    const int line = assembler.line();
                    const std::string text = assembler.takeText();
                    roundTrip(text.data(), text.size(), line);
                }
            }
            offset += next.length;
        }
    }
    roundTrip(data, size, int(size) - 7);
    return 0;
}
