#ifndef MEMORYDUMP_H
#define MEMORYDUMP_H

#include <QByteArray>
#include <QString>

#include <cstddef>

// The engine's memory dump ('m' message) and the file it is saved to.

// The dump: the bytes from offset 3 up to the first NUL or the end of the message.
QByteArray decodeMemoryDump(const char* data, std::size_t size);

// Writes the dump's bytes unchanged to fileName (used as given; the dialog's name goes through
// withDocumentSuffix first). The file is replaced only once everything is written, unless its
// folder allows no new file, when it is written in place. On failure returns false and, if
// errorText is given, says why.
bool writeMemoryDump(const QString& fileName, const QByteArray& dump, QString* errorText);

#endif
