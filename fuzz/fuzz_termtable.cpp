// The term-table decoder ('w', 'c' and 's' messages).

#include "termtable.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size)
{
    const char* data = reinterpret_cast<const char*>(bytes);
    const QVector<TermRecord> records = decodeTermRecords(data, size);
    // Each record takes at least its id and the name's NUL.
    if (size <= 7 ? !records.isEmpty() : std::size_t(records.size()) * 9 > size - 7)
        std::abort();
    for (const TermRecord& record : records) {
        if (termIdText(record.id).isEmpty())
            std::abort();
    }
    return 0;
}
