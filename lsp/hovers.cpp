#include "hovers.h"

#include "statementtruths.h"
#include "wordcompletion.h"

#include <QJsonObject>

QJsonValue hoverAt(const DocumentText& text, TextPosition position, PositionEncoding encoding,
                   const QVector<ErrorRange>& errors, const QStringList& statements)
{
    if (position.line < 0 || position.line >= text.lineCount())
        return QJsonValue::Null;
    const QStringRef lineRef = text.line(position.line);
    const QString line = lineRef.toString();
    const int column = DocumentText::columnOf(lineRef, qMax(0, position.character), encoding);

    QStringList parts;
    for (const ErrorRange& error : errors) {
        if (error.contains(position.line, column))
            parts.append(error.text);
    }

    int start = -1;
    int end = -1;
    QStringList truths;
    if (!statements.isEmpty()) {
        const QString statement = StatementTruths::statementAround(line, column, &start);
        if (!statement.isEmpty()) {
            truths = StatementTruths::truthsFor(statement, true, statements);
            end = start + statement.size();
        }
        if (truths.isEmpty()) {
            end = column;
            while (end < line.size() && WordCompletion::isWordCharacter(line.at(end)))
                ++end;
            const QString word = WordCompletion::wordBefore(line, end, &start);
            if (!word.isEmpty() && start <= column)
                truths = StatementTruths::truthsFor(word, false, statements);
        }
    }
    if (!truths.isEmpty())
        parts.append(truths.join(QLatin1Char('\n')));
    if (parts.isEmpty())
        return QJsonValue::Null;

    QJsonObject hover{{QStringLiteral("contents"),
                       QJsonObject{{QStringLiteral("kind"), QStringLiteral("plaintext")},
                                   {QStringLiteral("value"), parts.join(QStringLiteral("\n\n"))}}}};
    if (!truths.isEmpty())
        hover.insert(QStringLiteral("range"),
                     text.protocolRange(position.line, start, end, encoding));
    return hover;
}
