#include "completions.h"

#include "abbreviations.h"
#include "wordcompletion.h"

#include <QJsonArray>

namespace {

enum ItemKind { Text = 1, Operator = 24 };

QJsonObject edit(const QJsonObject& range, const QString& newText)
{
    return {{QStringLiteral("range"), range}, {QStringLiteral("newText"), newText}};
}

QJsonObject list(const QJsonArray& items, bool incomplete)
{
    return {{QStringLiteral("isIncomplete"), incomplete}, {QStringLiteral("items"), items}};
}

} // namespace

QJsonObject completionsAt(const DocumentText& text, TextPosition position,
                          PositionEncoding encoding, const QVector<const QStringList*>& lists)
{
    if (position.line < 0 || position.line >= text.lineCount())
        return list({}, false);
    const QStringRef lineRef = text.line(position.line);
    const QString line = lineRef.toString();
    const int column = DocumentText::columnOf(lineRef, qMax(0, position.character), encoding);

    int start = -1;
    const QString sequence = Abbreviations::sequenceBefore(line, column, &start);
    if (!sequence.isEmpty()) {
        const QJsonObject typed = text.protocolRange(position.line, start, column, encoding);
        QJsonArray items;
        int order = 0;
        for (const Abbreviation& entry : Abbreviations::startingWith(sequence)) {
            // The sequence typed exactly comes chosen: \- gives ⊖ although \-> goes on.
            items.append(QJsonObject{{QStringLiteral("preselect"), entry.sequence == sequence},
                                     {QStringLiteral("label"), entry.sequence},
                                     {QStringLiteral("kind"), Operator},
                                     {QStringLiteral("detail"), entry.symbol},
                                     {QStringLiteral("filterText"), entry.sequence},
                                     {QStringLiteral("sortText"),
                                      QStringLiteral("%1").arg(order++, 3, 10, QLatin1Char('0'))},
                                     {QStringLiteral("textEdit"), edit(typed, entry.symbol)}});
        }
        return list(items, false);
    }

    const QString word = WordCompletion::wordBefore(line, column, &start);
    const bool atWordEnd =
        column == line.size() || !WordCompletion::isWordCharacter(line.at(column));
    if (word.size() < 2 || !atWordEnd || !WordCompletion::isWordCharacter(word.back()))
        return list({}, false);
    const QStringList lineWords = WordCompletion::wordsOf(line);
    QVector<const QStringList*> sources = lists;
    sources.append(&lineWords);
    const QStringList found = WordCompletion::matches(word, sources, MaxCompletions + 1);
    const QJsonObject typed = text.protocolRange(position.line, start, column, encoding);
    QJsonArray items;
    for (int i = 0; i < found.size() && i < MaxCompletions; ++i) {
        const QString& term = found.at(i);
        items.append(QJsonObject{
            {QStringLiteral("label"), term},
            {QStringLiteral("kind"), Text},
            {QStringLiteral("filterText"), WordCompletion::key(term).toString()},
            {QStringLiteral("sortText"), QStringLiteral("%1").arg(i, 3, 10, QLatin1Char('0'))},
            {QStringLiteral("textEdit"), edit(typed, term)}});
    }
    return list(items, found.size() > MaxCompletions);
}
