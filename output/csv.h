#ifndef CSV_H
#define CSV_H

#include <QList>
#include <QString>
#include <QStringList>

// Comma-separated values as RFC 4180 writes them: a field that holds a comma, a double quote, a
// carriage return or a line feed is enclosed in double quotes, with every double quote inside
// it doubled; records end with CRLF.
namespace Csv {

QString field(const QString& text);

// One record: the fields joined with commas, followed by "\r\n".
QString record(const QStringList& fields);

// A header record followed by one record per row.
QString table(const QStringList& header, const QList<QStringList>& rows);

} // namespace Csv

#endif // CSV_H
