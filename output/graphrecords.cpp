#include "graphrecords.h"

GraphRecordReader::GraphRecordReader(const char* data, std::size_t size)
    : MessageReader(data, size, 3)
{
}

bool GraphRecordReader::readHeader(quint32& first, quint32& second, quint32& third)
{
    return readU32(width) && readU32(first) && readU32(second) && readU32(third);
}
