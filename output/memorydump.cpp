#include "memorydump.h"

#include "messagereader.h"

#include <QSaveFile>

QByteArray decodeMemoryDump(const char* data, std::size_t size)
{
    return MessageReader::textField(data, size, 3);
}

namespace {

bool failed(const QString& reason, QString* errorText)
{
    if (errorText)
        *errorText = reason;
    return false;
}

} // namespace

bool writeMemoryDump(const QString& fileName, const QByteArray& dump, QString* errorText)
{
    QSaveFile file(fileName);
    // A writable file in a folder where no new file can be made is still written, in place.
    file.setDirectWriteFallback(true);
    if (!file.open(QIODevice::WriteOnly))
        return failed(file.errorString(), errorText);
    if (file.write(dump) != dump.size()) {
        const QString reason = file.errorString();
        file.cancelWriting();
        return failed(reason, errorText);
    }
    if (!file.commit())
        return failed(file.errorString(), errorText);
    return true;
}
