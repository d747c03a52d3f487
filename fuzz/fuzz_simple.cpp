// Framing and the simple kinds: the kind byte, text fields, 't', 'v', 'i', 'm' and unassigned
// kinds, and the bounds-checked reader under all of them.

#include "memorydump.h"
#include "messagereader.h"
#include "messages.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size)
{
    const char* data = reinterpret_cast<const char*>(bytes);
    messageKind(data, size);
    for (std::size_t offset : {std::size_t(0), std::size_t(3), size, size + 1})
        messageText(data, size, offset);
    if (const auto time = decodeElapsedTime(data, size))
        elapsedTimeLine(*time);
    libraryVersionLine(decodeLibraryVersion(data, size));
    if (decodeMemoryDump(data, size).size() > int(size))
        std::abort();
    for (int options = 0; options < 4; ++options)
        simpleOutputText(data, size, options & 1, options & 2);

    // The reader itself: a walk driven by the message's own bytes never passes its end.
    MessageReader reader(data, size);
    quint8 step = 0;
    while (reader.readU8(step)) {
        quint32 u32 = 0;
        quint64 u64 = 0;
        QByteArray text;
        switch (step % 6) {
        case 0:
            reader.readU32(u32);
            break;
        case 1:
            reader.readU64(u64);
            break;
        case 2:
            reader.readId(step / 6, u64);
            break;
        case 3:
            reader.readCString(text);
            break;
        case 4:
            reader.readTextField();
            break;
        default:
            reader.skip(step / 6);
            break;
        }
        if (reader.position() > reader.size())
            std::abort();
    }
    return 0;
}
