#include "notationscanner.h"

#include <QVarLengthArray>

#include <algorithm>

NotationScanner::NotationScanner()
{
    // Where one alternative begins another, the longer comes first, so the longest one matches.
    addLiterals(NotationToken::Punctuation, {".", "?", "!"});
    addLiterals(NotationToken::Bracket, {"[", "(", ")", "]", "{", "}", "<", ">"});
    addLiterals(NotationToken::Arrow, {"∘→∘", "∘→", "→∘", "→", "↔"});
    addLiterals(NotationToken::DoubleArrow, {"⇒", "⇔", "/⇒", "\\⇒", "|⇒", "/⇔", "|⇔"});
    addLiterals(NotationToken::Operator,
                {"∩", "∪", "-", "⊖", "×", "⊥", "⊤", "◊", "¬", "∧/", "∧|", "∧", "∨", "⇑"});
    addPattern(NotationToken::Number, QStringLiteral("\\b(([01]\\x2e[0-9]+)|([01]))\\b"),
               QStringLiteral("01"));
    addPattern(NotationToken::Variable, QStringLiteral("#\\w+"), QStringLiteral("#"));
    addLiterals(NotationToken::Command, {"⋙"}, true);
    addLiterals(NotationToken::LineComment, {"//"}, true);
}

const NotationScanner& NotationScanner::instance()
{
    static const NotationScanner scanner;
    return scanner;
}

void NotationScanner::addLiterals(NotationToken token, const QStringList& literals, bool toLineEnd)
{
    Rule rule;
    rule.token = token;
    rule.literals = literals;
    rule.toLineEnd = toLineEnd;
    QStringList escaped;
    for (const QString& literal : literals) {
        escaped.append(QRegularExpression::escape(literal));
        if (!rule.starts.contains(literal.at(0)))
            rule.starts += literal.at(0);
    }
    rule.pattern.setPattern(QLatin1Char('(') + escaped.join(QLatin1Char('|')) + QLatin1Char(')') +
                            (toLineEnd ? QStringLiteral("[^\\n]*") : QString()));
    addRule(rule);
}

void NotationScanner::addPattern(NotationToken token, const QString& pattern, const QString& starts)
{
    Rule rule;
    rule.token = token;
    rule.pattern.setPattern(pattern);
    rule.starts = starts;
    addRule(rule);
}

void NotationScanner::addRule(Rule rule)
{
    rule.pattern.setPatternOptions(QRegularExpression::UseUnicodePropertiesOption);
    rule.pattern.optimize();
    const uint bit = 1u << table.size();
    for (QChar c : rule.starts) {
        if (c.unicode() < asciiStartMasks.size()) {
            asciiStartMasks[c.unicode()] |= bit;
            continue;
        }
        auto found = std::find_if(otherStartMasks.begin(), otherStartMasks.end(),
                                  [c](const QPair<ushort, uint>& e) { return e.first == c; });
        if (found == otherStartMasks.end())
            otherStartMasks.append({c.unicode(), bit});
        else
            found->second |= bit;
    }
    table.append(rule);
}

int NotationScanner::matchAt(const Rule& rule, const QString& line, int at) const
{
    for (const QString& literal : rule.literals) {
        if (line.midRef(at, literal.size()) == literal)
            return rule.toLineEnd ? line.size() - at : literal.size();
    }
    return 0;
}

uint NotationScanner::startMask(QChar c) const
{
    if (c.unicode() < asciiStartMasks.size())
        return asciiStartMasks[c.unicode()];
    for (const QPair<ushort, uint>& entry : otherStartMasks) {
        if (entry.first == c.unicode())
            return entry.second;
    }
    return 0;
}

// The first position at or after from where the rule's pattern can begin to match, or -1.
int NotationScanner::nextStart(const QString& line, int from, uint rule) const
{
    const QChar* chars = line.constData();
    for (int i = from, n = line.size(); i < n; ++i) {
        if (startMask(chars[i]) & rule)
            return i;
    }
    return -1;
}

bool NotationScanner::scan(const QString& line, bool commentOpen,
                           QVector<NotationSpan>* spans) const
{
    const int n = line.size();
    QVarLengthArray<NotationToken, 256> classes(n);
    std::fill(classes.begin(), classes.end(), NotationToken::None);
    const auto mark = [&](int start, int length, NotationToken token) {
        std::fill(classes.begin() + qMax(0, start), classes.begin() + qMin(n, start + length),
                  token);
    };

    // Which rules can match anywhere in the line.
    uint present = 0;
    for (QChar c : line)
        present |= startMask(c);

    // A rule's search may begin at the first place where a match can begin: the leftmost match
    // is the same as from the start of the line.
    for (int r = 0; r < table.size(); ++r) {
        const uint bit = 1u << r;
        if (!(present & bit))
            continue;
        const Rule& rule = table.at(r);
        if (!rule.literals.isEmpty()) {
            for (int at = nextStart(line, 0, bit); at >= 0;) {
                const int length = matchAt(rule, line, at);
                if (length > 0)
                    mark(at, length, rule.token);
                at = nextStart(line, at + qMax(1, length), bit);
            }
            continue;
        }
        for (int from = nextStart(line, 0, bit); from >= 0;) {
            const QRegularExpressionMatch match = rule.pattern.match(line, from);
            if (!match.hasMatch())
                break;
            const int length = qMax(1, match.capturedLength());
            mark(match.capturedStart(), length, rule.token);
            from = nextStart(line, match.capturedStart() + length, bit);
        }
    }

    // Block comments. The closing search starts at the opening pair itself.
    int start = commentOpen ? 0 : line.indexOf(QLatin1String("/*"));
    commentOpen = false;
    while (start >= 0) {
        const int end = line.indexOf(QLatin1String("*/"), start);
        const int length = end < 0 ? n - start : end + 2 - start;
        commentOpen = end < 0;
        mark(start, length, NotationToken::BlockComment);
        start = line.indexOf(QLatin1String("/*"), start + length);
    }

    if (spans) {
        for (int i = 0; i < n;) {
            const NotationToken token = classes[i];
            const int first = i;
            while (i < n && classes[i] == token)
                ++i;
            if (token != NotationToken::None)
                spans->append({first, i - first, token});
        }
    }
    return commentOpen;
}

bool NotationScanner::commentOpenAfter(const QChar* line, int length, bool commentOpen)
{
    // A comment opened at i may close from i + 1 on ("/*/" is one); the search for the next
    // opening starts after the closing pair.
    for (int i = 0; i + 1 < length; ++i) {
        const ushort c = line[i].unicode();
        const ushort next = line[i + 1].unicode();
        if (commentOpen && c == '*' && next == '/') {
            commentOpen = false;
            ++i;
        } else if (!commentOpen && c == '/' && next == '*') {
            commentOpen = true;
        }
    }
    return commentOpen;
}
