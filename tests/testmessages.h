#ifndef TESTMESSAGES_H
#define TESTMESSAGES_H

// Helpers of the engine-output tests and benchmarks: messages built in code or read from
// commented hex files, the graphs' golden files, and exact-size heap copies so that a read past
// the end is caught by the address sanitizer.

#include <QDir>
#include <QFile>
#include <QXmlStreamReader>
#include <QtEndian>

#include <cstring>
#include <memory>

inline QByteArray testDataFile(const QString& name)
{
    QFile file(QStringLiteral(TESTSRCDIR "/data/") + name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The file `fileName`'s hex bytes separated by blanks; '#' starts a comment that runs to the end
// of the line.
inline QByteArray hexMessage(const QString& fileName)
{
    QFile file(fileName);
    QByteArray hex;
    if (file.open(QIODevice::ReadOnly))
        for (const QByteArray& line : file.readAll().split('\n'))
            hex += line.left(line.indexOf('#') < 0 ? line.size() : line.indexOf('#'));
    return QByteArray::fromHex(hex);
}

// The graphs' golden files: each NAME.hex in tests/output/golden is a 'q' or 'n' message, and
// NAME.svg beside it the document its drawing writes. The paths without suffix, by name.
// QUOR_GOLDEN_UPDATE=1 makes the golden test write the .svg files instead (read them before
// committing), as it does the engine transcripts.
inline QStringList graphGoldenFiles()
{
    const QDir dir(QStringLiteral(TESTSRCDIR "/output/golden"));
    QStringList paths;
    for (const QString& file : dir.entryList({QStringLiteral("*.hex")}, QDir::Files, QDir::Name))
        paths.append(dir.filePath(file.chopped(4)));
    return paths;
}

// True when the text is a whole XML document (the SVG builders' output).
inline bool wellFormed(const QString& xml)
{
    QXmlStreamReader reader(xml);
    while (!reader.atEnd())
        reader.readNext();
    return !reader.hasError();
}

struct MessageBuilder {
    explicit MessageBuilder(char kind) : bytes(QByteArray("<") + kind + '\0') {}
    template <typename T> MessageBuilder& le(T value)
    {
        char bytesLe[sizeof(T)];
        qToLittleEndian(value, bytesLe);
        bytes.append(bytesLe, sizeof(T));
        return *this;
    }
    MessageBuilder& u8(quint8 value) { return le(value); }
    MessageBuilder& u32(quint32 value) { return le(value); }
    MessageBuilder& u64(quint64 value) { return le(value); }
    MessageBuilder& text(const QByteArray& value) { return raw(value + '\0'); }
    MessageBuilder& raw(const QByteArray& value)
    {
        bytes += value;
        return *this;
    }
    QByteArray bytes;
};

// An error message ('e'): line, column, the kind's bits and the text.
inline QByteArray errorMessage(quint32 line, quint32 column, quint8 kind, const QByteArray& text)
{
    return MessageBuilder('e').u32(line).u32(column).u8(kind).text(text).bytes;
}

// A term table message ('w', 'c' or 's') of (id, name) records.
inline QByteArray termTable(char kind, const QList<QPair<quint64, QByteArray>>& records)
{
    MessageBuilder message(kind);
    message.u32(0); // the records start at offset 7
    for (const auto& record : records)
        message.u64(record.first).text(record.second);
    return message.bytes;
}

// An inference graph message ('n'): one inference of `items` by operation `code`, the `texts` of
// (id, text) records, and the operation's name and description.
inline QByteArray inferenceGraph(const QList<quint64>& items, quint32 code,
                                 const QList<QPair<quint64, QByteArray>>& texts,
                                 const QByteArray& name, const QByteArray& description)
{
    MessageBuilder message('n');
    message.u32(8).u32(19 + 8 + 8 * items.size()).u32(texts.size()).u32(1).u32(items.size());
    for (const quint64 item : items)
        message.u64(item);
    message.u32(code);
    for (const auto& text : texts)
        message.u64(text.first).text(text.second);
    message.u32(code).text(name).text(description);
    return message.bytes;
}

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
