#include "messagereader.h"

#include <QtEndian>

#include <cstring>

MessageReader::MessageReader(const char* data, std::size_t size, std::size_t pos)
    : data(data), len(data ? size : 0), pos(pos <= len ? pos : len)
{
}

bool MessageReader::seek(std::size_t position)
{
    if (position > len)
        return false;
    pos = position;
    return true;
}

bool MessageReader::skip(std::size_t count)
{
    if (count > remaining())
        return false;
    pos += count;
    return true;
}

bool MessageReader::readU8(quint8& value)
{
    if (remaining() < 1)
        return false;
    value = static_cast<quint8>(data[pos]);
    pos += 1;
    return true;
}

bool MessageReader::readU32(quint32& value)
{
    if (remaining() < 4)
        return false;
    value = qFromLittleEndian<quint32>(data + pos);
    pos += 4;
    return true;
}

bool MessageReader::readU64(quint64& value)
{
    if (remaining() < 8)
        return false;
    value = qFromLittleEndian<quint64>(data + pos);
    pos += 8;
    return true;
}

bool MessageReader::readId(std::size_t width, quint64& value)
{
    if (width == 0 || remaining() < width || remaining() < 8)
        return false;
    value = qFromLittleEndian<quint64>(data + pos);
    pos += width;
    return true;
}

bool MessageReader::readCString(QByteArray& value)
{
    const std::size_t length = textFieldLength();
    if (length >= remaining()) // no NUL before the end of the message
        return false;
    value = QByteArray(data + pos, static_cast<int>(length));
    pos += length + 1;
    return true;
}

std::size_t MessageReader::textFieldLength() const
{
    if (atEnd())
        return 0;
    const void* nul = std::memchr(data + pos, '\0', remaining());
    return nul ? static_cast<std::size_t>(static_cast<const char*>(nul) - (data + pos))
               : remaining();
}

QByteArray MessageReader::readTextField()
{
    const std::size_t length = textFieldLength();
    QByteArray value(data + pos, static_cast<int>(length));
    // Past the NUL when there is one, that is when the field ends before the message.
    pos += length < remaining() ? length + 1 : length;
    return value;
}

QByteArray MessageReader::textField(const char* data, std::size_t size, std::size_t offset)
{
    MessageReader reader(data, size);
    if (!reader.seek(offset))
        return QByteArray();
    return reader.readTextField();
}

QByteArray MessageReader::textFieldView(const char* data, std::size_t size, std::size_t offset)
{
    MessageReader reader(data, size);
    if (!reader.seek(offset) || reader.atEnd())
        return QByteArray();
    return QByteArray::fromRawData(data + offset, static_cast<int>(reader.textFieldLength()));
}
