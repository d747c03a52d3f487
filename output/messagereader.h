#ifndef MESSAGEREADER_H
#define MESSAGEREADER_H

#include <QByteArray>
#include <QtGlobal>

#include <cstddef>

// Bounds-checked reader over one engine message. Numbers are little-endian at unaligned offsets.
// Every read either succeeds completely or fails without moving the read position; nothing is
// ever read past the end of the message.
class MessageReader {
public:
    MessageReader(const char* data, std::size_t size, std::size_t pos = 0);

    std::size_t position() const { return pos; }
    std::size_t size() const { return len; }
    std::size_t remaining() const { return len - pos; }
    bool atEnd() const { return pos >= len; }

    bool seek(std::size_t position);
    bool skip(std::size_t count);

    bool readU8(quint8& value);
    bool readU32(quint32& value);
    bool readU64(quint64& value);

    // An id field of `width` bytes whose value is the 64-bit number in its first 8 bytes. Needs
    // max(width, 8) bytes and advances by width; a width of 0 never succeeds, so a loop over
    // such fields always makes progress.
    bool readId(std::size_t width, quint64& value);

    // A NUL-terminated byte string; fails when no NUL lies before the end of the message.
    // On success the position is just past the NUL.
    bool readCString(QByteArray& value);

    // A text field: the bytes up to the first NUL or the end of the message, whichever comes
    // first. Never fails; a field at or past the end is empty. Moves past the NUL if present.
    QByteArray readTextField();

    // The text field that starts at `offset`, without a reader.
    static QByteArray textField(const char* data, std::size_t size, std::size_t offset);
    // The same field sharing the message's bytes instead of copying them: valid only as long as
    // the message is (for decoding it on the spot).
    static QByteArray textFieldView(const char* data, std::size_t size, std::size_t offset);

private:
    // Length of the text field at the read position, without its NUL.
    std::size_t textFieldLength() const;

    const char* data;
    std::size_t len;
    std::size_t pos;
};

#endif
