#ifndef TERMTABLE_H
#define TERMTABLE_H

#include <QString>
#include <QVector>
#include <QtGlobal>

#include <cstddef>

// The term records of a 'w', 'c' or 's' message (the table they fill: termtablefiller.h).

struct TermRecord {
    quint64 id = 0;
    QString name;
};

// The records from offset 7 on. A record cut off by the end of the message (fewer than 8 bytes
// for the id, or a name without its NUL) ends the list there.
QVector<TermRecord> decodeTermRecords(const char* data, std::size_t size);

// The id in lower-case hexadecimal without prefix or leading zeros.
QString termIdText(quint64 id);

#endif
