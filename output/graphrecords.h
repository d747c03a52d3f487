#ifndef GRAPHRECORDS_H
#define GRAPHRECORDS_H

#include "messagereader.h"

#include <QByteArray>
#include <QtGlobal>

#include <cstddef>

// The layout shared by the two graph messages ('n' and 'q'): from offset 3 a header of four
// 32-bit numbers (the width of an id field and three counts or offsets whose meaning depends on
// the kind), then records, among them records of an id and a NUL-terminated text.
class GraphRecordReader : public MessageReader {
public:
    GraphRecordReader(const char* data, std::size_t size);

    // The header; false when the message is too short for it.
    bool readHeader(quint32& first, quint32& second, quint32& third);
    quint32 idWidth() const { return width; }

    bool readId(quint64& value) { return MessageReader::readId(width, value); }

    // Reads `count` records of an id and a text, calling keep(id, text) for each. Stops with
    // false at the first record the message is too short to hold; every successful read consumes
    // at least one byte, so the loop ends with the message whatever the count says.
    template <typename Keep> bool readTextRecords(quint32 count, Keep keep)
    {
        for (quint32 i = 0; i < count; ++i) {
            quint64 id = 0;
            QByteArray text;
            if (!readId(id) || !readCString(text))
                return false;
            keep(id, text);
        }
        return true;
    }

private:
    quint32 width = 0;
};

#endif
