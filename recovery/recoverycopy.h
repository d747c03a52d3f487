#ifndef RECOVERYCOPY_H
#define RECOVERYCOPY_H

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include <optional>

// What a recovery copy keeps of one modified document, and its file format: a few header lines
// (the document's file name, percent-encoded, the time, the cursor position and the size of the
// text in bytes) followed by an empty line and the text as UTF-8, so that a copy can still be
// read by hand. The size tells a complete copy from one cut short.
struct RecoveryCopy {
    QString fileName; // full path, or the untitled name such as "new 2"
    QDateTime time;   // when the copy was written (UTC)
    int cursor = 0;   // position of the text cursor
    QString text;
    QString path; // where the copy lies on disk; not part of the file

    bool operator==(const RecoveryCopy& other) const;
};

QByteArray encodeRecoveryCopy(const RecoveryCopy& copy);
// The part before the text: a copy is its header followed by the text as UTF-8, `textBytes`
// long.
QByteArray encodeRecoveryHeader(const RecoveryCopy& copy, qint64 textBytes);

// Empty when the bytes are not a complete copy: not a copy at all, a header cut short, or a
// text of another size than the header says.
std::optional<RecoveryCopy> decodeRecoveryCopy(const QByteArray& bytes);

// The first line of the text that holds more than blanks, for listing copies.
QString firstLine(const QString& text);

#endif
