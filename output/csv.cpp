#include "csv.h"

namespace Csv {

namespace {

bool startsFormula(const QString& text)
{
    if (text.isEmpty())
        return false;
    switch (text.at(0).unicode()) {
    case '=':
    case '+':
    case '-':
    case '@':
    case '\t':
    case '\r':
        return true;
    default:
        return false;
    }
}

} // namespace

QString field(const QString& cell)
{
    const QString text = startsFormula(cell) ? QLatin1Char('\'') + cell : cell;
    bool needsQuotes = false;
    for (QChar c : text) {
        if (c == QLatin1Char(',') || c == QLatin1Char('"') || c == QLatin1Char('\r') ||
            c == QLatin1Char('\n')) {
            needsQuotes = true;
            break;
        }
    }
    if (!needsQuotes)
        return text;
    QString quoted = text;
    quoted.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

QString record(const QStringList& fields)
{
    QString line;
    for (int i = 0; i < fields.size(); ++i) {
        if (i > 0)
            line += QLatin1Char(',');
        line += field(fields.at(i));
    }
    return line + QLatin1String("\r\n");
}

QString table(const QStringList& header, const QList<QStringList>& rows)
{
    QString text = record(header);
    for (const QStringList& row : rows)
        text += record(row);
    return text;
}

} // namespace Csv
