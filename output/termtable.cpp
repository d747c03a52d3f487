#include "termtable.h"

#include "messagereader.h"

QVector<TermRecord> decodeTermRecords(const char* data, std::size_t size)
{
    QVector<TermRecord> records;
    MessageReader reader(data, size);
    if (!reader.seek(7))
        return records;
    while (!reader.atEnd()) {
        TermRecord record;
        QByteArray name;
        if (!reader.readU64(record.id) || !reader.readCString(name))
            break;
        record.name = QString::fromUtf8(name);
        records.append(record);
    }
    return records;
}

QString termIdText(quint64 id)
{
    return QString::number(id, 16);
}
