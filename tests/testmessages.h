#ifndef TESTMESSAGES_H
#define TESTMESSAGES_H

// Helpers of the engine-output tests: messages built in code or read from the commented hex
// files under tests/data, and exact-size heap copies so that a read past the end is caught by
// the address sanitizer.

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QXmlStreamReader>
#include <QtEndian>

#include <cstring>
#include <memory>

inline QByteArray testDataFile(const QString& name)
{
    QFile file(QStringLiteral(TESTSRCDIR "/data/") + name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Hex bytes separated by blanks; '#' starts a comment that runs to the end of the line.
inline QByteArray hexMessage(const QString& name)
{
    QByteArray hex;
    for (QByteArray line : testDataFile(name).split('\n')) {
        const int comment = line.indexOf('#');
        if (comment >= 0)
            line.truncate(comment);
        hex += line;
    }
    return QByteArray::fromHex(hex);
}

// True when the text is a whole XML document (the SVG builders' output).
inline bool wellFormed(const QString& xml)
{
    QXmlStreamReader reader(xml);
    while (!reader.atEnd())
        reader.readNext();
    return !reader.hasError();
}

class MessageBuilder {
public:
    explicit MessageBuilder(char kind) : bytes(QByteArray("<") + kind + '\0') {}
    MessageBuilder& u8(quint8 value)
    {
        bytes.append(char(value));
        return *this;
    }
    MessageBuilder& u32(quint32 value)
    {
        char le[4];
        qToLittleEndian(value, le);
        bytes.append(le, 4);
        return *this;
    }
    MessageBuilder& u64(quint64 value)
    {
        char le[8];
        qToLittleEndian(value, le);
        bytes.append(le, 8);
        return *this;
    }
    MessageBuilder& text(const QByteArray& value)
    {
        bytes += value;
        bytes += '\0';
        return *this;
    }
    MessageBuilder& raw(const QByteArray& value)
    {
        bytes += value;
        return *this;
    }
    QByteArray bytes;
};

struct HeapMessage {
    explicit HeapMessage(const QByteArray& bytes, int size = -1)
        : size(size < 0 ? bytes.size() : size), data(new char[this->size])
    {
        std::memcpy(data.get(), bytes.constData(), this->size);
    }
    std::size_t size;
    std::unique_ptr<char[]> data;
};

#endif
