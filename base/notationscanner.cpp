#include "notationscanner.h"

#include <QVarLengthArray>

#include <algorithm>

NotationScanner::NotationScanner()
{
    // Where one alternative begins another, the longer comes first, so the longest one matches.
    addRule(NotationToken::Punctuation, QStringLiteral("[\\.\\?!]"), QStringLiteral(".?!"));
    addRule(NotationToken::Bracket, QStringLiteral("[\\[\\(\\)\\[\\]\\{\\}<>]"),
            QStringLiteral("()[]{}<>"));
    addRule(NotationToken::Arrow, QString::fromUtf8("(∘→∘|∘→|→∘|→|↔)"), QString::fromUtf8("→↔∘"));
    addRule(NotationToken::DoubleArrow, QString::fromUtf8("(⇒|⇔|/⇒|\\\\⇒|\\|⇒|/⇔|\\|⇔)"),
            QString::fromUtf8("⇒⇔/\\|"));
    addRule(NotationToken::Operator, QString::fromUtf8("(∩|∪|-|⊖|×|⊥|⊤|◊|¬|∧/|∧\\||∧|∨|⇑)"),
            QString::fromUtf8("∩∪-⊖×⊥⊤◊¬∧∨⇑"));
    addRule(NotationToken::Number, QStringLiteral("\\b(([01]\\x2e[0-9]+)|([01]))\\b"),
            QStringLiteral("01"));
    addRule(NotationToken::Variable, QStringLiteral("#\\w+"), QStringLiteral("#"));
    addRule(NotationToken::Command, QString::fromUtf8("⋙[^\\n]*"), QString::fromUtf8("⋙"));
    addRule(NotationToken::LineComment, QStringLiteral("//[^\\n]*"), QStringLiteral("/"));
}

const NotationScanner& NotationScanner::instance()
{
    static const NotationScanner scanner;
    return scanner;
}

void NotationScanner::addRule(NotationToken token, const QString& pattern, const QString& starts)
{
    Rule rule{token, QRegularExpression(pattern, QRegularExpression::UseUnicodePropertiesOption),
              starts};
    rule.pattern.optimize();
    const uint bit = 1u << table.size();
    for (QChar c : starts) {
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
        const QRegularExpression& pattern = table.at(r).pattern;
        for (int from = nextStart(line, 0, bit); from >= 0;) {
            const QRegularExpressionMatch match = pattern.match(line, from);
            if (!match.hasMatch())
                break;
            const int length = qMax(1, match.capturedLength());
            mark(match.capturedStart(), length, table.at(r).token);
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
