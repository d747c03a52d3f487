#include "abbreviations.h"

namespace {

constexpr int LongestSequence = 5; // with its backslash

bool endsInLetter(const QString& text)
{
    return !text.isEmpty() && text.back().isLetter();
}

} // namespace

const QVector<Abbreviation>& Abbreviations::table()
{
    static const QVector<Abbreviation> entries = {
        {QStringLiteral("\\->"), QStringLiteral("\u2192")},  // →
        {QStringLiteral("\\=>"), QStringLiteral("\u21d2")},  // ⇒
        {QStringLiteral("\\<->"), QStringLiteral("\u2194")}, // ↔
        {QStringLiteral("\\<=>"), QStringLiteral("\u21d4")}, // ⇔
        {QStringLiteral("\\and"), QStringLiteral("\u2227")}, // ∧
        {QStringLiteral("\\or"), QStringLiteral("\u2228")},  // ∨
        {QStringLiteral("\\not"), QStringLiteral("\u00ac")}, // ¬
        {QStringLiteral("\\cap"), QStringLiteral("\u2229")}, // ∩
        {QStringLiteral("\\cup"), QStringLiteral("\u222a")}, // ∪
        {QStringLiteral("\\-"), QStringLiteral("\u2296")},   // ⊖
        {QStringLiteral("\\x"), QStringLiteral("\u00d7")},   // ×
        {QStringLiteral("\\o"), QStringLiteral("\u2218")},   // ∘
        {QStringLiteral("\\<>"), QStringLiteral("\u25ca")},  // ◊
        {QStringLiteral("\\bot"), QStringLiteral("\u22a5")}, // ⊥
        {QStringLiteral("\\top"), QStringLiteral("\u22a4")}, // ⊤
        {QStringLiteral("\\up"), QStringLiteral("\u21d1")},  // ⇑
        {QStringLiteral("\\>>>"), QStringLiteral("\u22d9")}, // ⋙
    };
    return entries;
}

QString Abbreviations::symbol(const QString& sequence)
{
    for (const Abbreviation& entry : table()) {
        if (entry.sequence == sequence)
            return entry.symbol;
    }
    return QString();
}

bool Abbreviations::begins(const QString& text)
{
    for (const Abbreviation& entry : table()) {
        if (entry.sequence.startsWith(text))
            return true;
    }
    return false;
}

QVector<Abbreviation> Abbreviations::startingWith(const QString& text)
{
    QVector<Abbreviation> found;
    for (const Abbreviation& entry : table()) {
        if (entry.sequence.startsWith(text))
            found.append(entry);
    }
    return found;
}

QString Abbreviations::sequenceBefore(const QString& line, int column, int* start)
{
    column = qBound(0, column, line.size());
    for (int i = column - 1; i >= 0 && i >= column - LongestSequence; --i) {
        const QChar c = line.at(i);
        if (c.isSpace())
            break;
        if (c == QLatin1Char('\\')) {
            if (start)
                *start = i;
            return line.mid(i, column - i);
        }
    }
    return QString();
}

AbbreviationMatch Abbreviations::completedBy(const QString& line, int column, QChar typed)
{
    int start = -1;
    const QString sequence = sequenceBefore(line, column - 1, &start);
    const QString found = symbol(sequence);
    if (found.isEmpty() || begins(sequence + typed))
        return {};
    if (typed.isLetter() && endsInLetter(sequence))
        return {};
    return {start, sequence.size(), found};
}

AbbreviationMatch Abbreviations::finished(const QString& line, int column)
{
    AbbreviationMatch match = atCursor(line, column);
    if (!match.isValid() || endsInLetter(line.mid(match.start, match.length)))
        return {};
    for (const Abbreviation& entry : table()) {
        if (entry.sequence.size() > match.length &&
            entry.sequence.startsWith(line.midRef(match.start, match.length)))
            return {};
    }
    return match;
}

AbbreviationMatch Abbreviations::atCursor(const QString& line, int column)
{
    int start = -1;
    const QString sequence = sequenceBefore(line, column, &start);
    const QString found = symbol(sequence);
    if (found.isEmpty())
        return {};
    return {start, sequence.size(), found};
}
