#include "wordcompletion.h"

#include <QSet>

#include <algorithm>

bool WordCompletion::isWordCharacter(QChar c)
{
    return c.isLetterOrNumber() || c == QLatin1Char('_');
}

QString WordCompletion::wordBefore(const QString& line, int column, int* start)
{
    column = qBound(0, column, line.size());
    int i = column;
    while (i > 0 && isWordCharacter(line.at(i - 1)))
        --i;
    if (i == column)
        return QString();
    if (i > 0 && line.at(i - 1) == QLatin1Char('#'))
        --i;
    if (start)
        *start = i;
    return line.mid(i, column - i);
}

QStringRef WordCompletion::key(const QString& term)
{
    int i = 0;
    while (i < term.size()) {
        const QChar c = term.at(i);
        if (c != QLatin1Char('(') && c != QLatin1Char('<') && c != QChar(0x00ac) && !c.isSpace())
            break;
        ++i;
    }
    return term.midRef(i);
}

QStringList WordCompletion::matches(const QString& prefix, const QVector<const QStringList*>& lists,
                                    int limit)
{
    QStringList exact;
    QStringList other;
    QSet<QString> seen{prefix};
    for (int pass = 0; pass < 2 && exact.size() < limit; ++pass) {
        const Qt::CaseSensitivity sensitivity = pass == 0 ? Qt::CaseSensitive : Qt::CaseInsensitive;
        QStringList& found = pass == 0 ? exact : other;
        for (const QStringList* list : lists) {
            if (!list)
                continue;
            for (const QString& term : *list) {
                if (exact.size() + other.size() >= limit)
                    break;
                if (!key(term).startsWith(prefix, sensitivity) || seen.contains(term))
                    continue;
                seen.insert(term);
                found.append(term);
            }
        }
    }
    return exact + other;
}

QStringList WordCompletion::wordsOf(const QString& text, int minimum)
{
    QSet<QString> words;
    const int size = text.size();
    int i = 0;
    while (i < size) {
        if (!isWordCharacter(text.at(i))) {
            ++i;
            continue;
        }
        const int start = i > 0 && text.at(i - 1) == QLatin1Char('#') ? i - 1 : i;
        while (i < size && isWordCharacter(text.at(i)))
            ++i;
        if (i - start >= minimum)
            words.insert(text.mid(start, i - start));
    }
    QStringList sorted(words.begin(), words.end());
    std::sort(sorted.begin(), sorted.end());
    return sorted;
}
