#ifndef CSV_H
#define CSV_H

#include <QList>
#include <QString>
#include <QStringList>

// Comma-separated values as RFC 4180 writes them: a field that holds a comma, a double quote, a
// carriage return or a line feed is enclosed in double quotes, with every double quote inside
// it doubled; records end with CRLF.
//
// Fields come from the engine, and a spreadsheet runs a cell that begins with "=", "+", "-",
// "@", a tab or a carriage return as a formula (=HYPERLINK(...), @SUM(...)). Such a field is
// written with an apostrophe in front, which spreadsheets take as "text follows" and do not
// show; every other field is written exactly as it is.
namespace Csv {

QString field(const QString& text);

// One record: the fields joined with commas, followed by "\r\n".
QString record(const QStringList& fields);

// A header record followed by one record per row.
QString table(const QStringList& header, const QList<QStringList>& rows);

} // namespace Csv

#endif // CSV_H
