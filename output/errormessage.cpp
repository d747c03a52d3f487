#include "errormessage.h"

#include "messagereader.h"

#include <limits>

void registerErrorListItem()
{
    qRegisterMetaType<ErrorListItem>("ErrorListItem");
}

std::optional<ErrorMessage> decodeErrorMessage(const char* data, std::size_t size)
{
    ErrorMessage error;
    MessageReader reader(data, size);
    if (size < 12 || !reader.seek(3) || !reader.readU32(error.line) ||
        !reader.readU32(error.column) || !reader.readU8(error.kind))
        return std::nullopt;
    error.text = QString::fromUtf8(reader.readTextField()).trimmed();
    return error;
}

namespace {

int toInt(quint32 value)
{
    constexpr quint32 largest = std::numeric_limits<int>::max();
    return static_cast<int>(qMin(value, largest));
}

} // namespace

ErrorListItem errorListItem(const ErrorMessage& error, const QString& fileName)
{
    return ErrorListItem{toInt(error.column), toInt(error.line), fileName};
}
