#include "statementtruths.h"

#include <QRegularExpression>

namespace {

QString withoutBlanks(QString text)
{
    text.remove(QRegularExpression(QStringLiteral("\\s+")));
    return text;
}

} // namespace

QString StatementTruths::statementAround(const QString& line, int column, int* start)
{
    // Walk out from the column to the nearest unmatched '<' on the left, then to its partner.
    int depth = 0;
    int open = -1;
    for (int i = qMin(column, line.size() - 1); i >= 0; --i) {
        const QChar c = line.at(i);
        if (c == QLatin1Char('>') && i != column)
            ++depth;
        else if (c == QLatin1Char('<') && depth-- == 0) {
            open = i;
            break;
        }
    }
    if (open < 0)
        return QString();
    depth = 0;
    for (int i = open; i < line.size(); ++i) {
        const QChar c = line.at(i);
        if (c == QLatin1Char('<'))
            ++depth;
        else if (c == QLatin1Char('>') && --depth == 0) {
            if (start)
                *start = open;
            return line.mid(open, i - open + 1);
        }
    }
    return QString();
}

QStringList StatementTruths::truthsFor(const QString& term, bool isStatement,
                                       const QStringList& rows)
{
    const QString wanted = withoutBlanks(term);
    const QRegularExpression word(QStringLiteral("(?<![\\w#])") + QRegularExpression::escape(term) +
                                      QStringLiteral("(?!\\w)"),
                                  QRegularExpression::UseUnicodePropertiesOption);
    QStringList found;
    for (const QString& row : rows) {
        QString truth;
        const QString statement = withoutTruth(row, &truth);
        const bool matches =
            isStatement ? withoutBlanks(statement) == wanted : statement.contains(word);
        if (!matches)
            continue;
        found.append(truth.isEmpty() ? statement : statement + QStringLiteral("  ") + truth);
        if (found.size() == MaxRows)
            break;
    }
    return found;
}

QString StatementTruths::withoutTruth(const QString& text, QString* truth)
{
    const int at = text.endsWith(QLatin1Char('}')) ? text.lastIndexOf(QLatin1String(". {")) : -1;
    if (at < 0) {
        if (truth)
            truth->clear();
        return text;
    }
    if (truth)
        *truth = text.mid(at + 2);
    return text.left(at);
}

QStringList StatementTruths::termsOf(const QVector<TermRecord>& records)
{
    QStringList terms;
    terms.reserve(records.size());
    for (const TermRecord& record : records) {
        if (!record.name.isEmpty())
            terms.append(withoutTruth(record.name));
    }
    return terms;
}
