#ifndef NOTATIONSCANNER_H
#define NOTATIONSCANNER_H

#include <QRegularExpression>
#include <QString>
#include <QStringList>
#include <QVector>
#include <QtGlobal>

#include <array>

// The lexical classes of the notation, as the editor colours them and the language server
// reports them.
enum class NotationToken : quint8 {
    None,
    Punctuation,  // . ? !
    Bracket,      // ( ) [ ] { } < >
    Arrow,        // → ↔ ∘→ →∘ ∘→∘
    DoubleArrow,  // ⇒ ⇔ /⇒ \⇒ |⇒ /⇔ |⇔
    Operator,     // ∩ ∪ - ⊖ × ⊥ ⊤ ◊ ¬ ∧ ∨ ∧/ ∧| ⇑
    Number,       // 0, 1, 0.25, 1.0 standing as whole words
    Variable,     // '#' and a word
    Command,      // from ⋙ to the end of the line
    LineComment,  // from // to the end of the line
    BlockComment, // from /* to */, also across lines
};

// A run of characters of one class within a line.
struct NotationSpan {
    int start = 0;
    int length = 0;
    NotationToken token = NotationToken::None;
    bool operator==(const NotationSpan& other) const
    {
        return start == other.start && length == other.length && token == other.token;
    }
};

// The one table of the notation's lexical rules and the scanner that applies it to a line.
//
// The rules run in table order, each over the whole line, and a later rule's match takes over
// the characters an earlier one classified (a line comment wins over the brackets in it). Block
// comments come last: "/*" opens one wherever it stands, also inside a line comment or a command,
// and the search for the closing "*/" starts at the '*' of the opening pair, so "/*/" is a whole
// comment. A comment left open at the end of a line goes on in the next one.
class NotationScanner {
public:
    // A rule is either a list of literal texts, tried in order at each position (the first
    // that matches there wins), optionally running on to the end of the line; or a regular
    // expression. `pattern` holds the rule as a regular expression either way.
    struct Rule {
        NotationToken token;
        QStringList literals;
        bool toLineEnd = false;
        QRegularExpression pattern;
        QString starts; // every character that a match can begin with
    };

    // The rules, compiled once; safe to share between threads.
    static const NotationScanner& instance();

    const QVector<Rule>& rules() const { return table; }

    // Classifies the characters of one line, given whether a block comment is open before it.
    // Appends the runs of classified characters in order (characters of no class are left
    // out) and returns whether a block comment is open at the end of the line.
    bool scan(const QString& line, bool commentOpen, QVector<NotationSpan>* spans) const;

    // Whether a block comment is open at the end of the line: what scan() returns, without the
    // classes.
    static bool commentOpenAfter(const QChar* line, int length, bool commentOpen);

private:
    NotationScanner();
    void addLiterals(NotationToken token, const QStringList& literals, bool toLineEnd = false);
    void addPattern(NotationToken token, const QString& pattern, const QString& starts);
    void addRule(Rule rule);
    // The length of the rule's match at `at`, 0 when it does not match there.
    int matchAt(const Rule& rule, const QString& line, int at) const;
    uint startMask(QChar c) const;
    int nextStart(const QString& line, int from, uint rule) const;

    QVector<Rule> table;
    // For each character, one bit per rule (in table order) that can match from there; a line
    // skips the rules that cannot match in it and the stretches where none can start.
    std::array<uint, 128> asciiStartMasks{};
    QVector<QPair<ushort, uint>> otherStartMasks;
};

#endif
