#ifndef ABBREVIATIONS_H
#define ABBREVIATIONS_H

#include <QString>
#include <QVector>

// The backslash sequences that type the notation's symbols (\and for ∧, \-> for →, ...), and
// the rules that decide when a typed sequence turns into its symbol.
struct Abbreviation {
    QString sequence; // with its backslash
    QString symbol;
};

// Where a sequence stands in a line and what replaces it.
struct AbbreviationMatch {
    int start = -1; // index of the backslash in the line
    int length = 0;
    QString symbol;
    bool isValid() const { return start >= 0; }
};

class Abbreviations {
public:
    static const QVector<Abbreviation>& table();
    // The symbol of a whole sequence, or an empty string.
    static QString symbol(const QString& sequence);
    // True when some sequence begins with `text` (or is `text`).
    static bool begins(const QString& text);
    // The sequences that begin with `text`, in table order.
    static QVector<Abbreviation> startingWith(const QString& text);

    // The backslash sequence that ends at `column` of `line`: from the last backslash before
    // the column, with no blank in between; an empty string when there is none.
    static QString sequenceBefore(const QString& line, int column, int* start = nullptr);
    // After `typed` has been inserted just before `column`: the sequence before it that the
    // character completes. A sequence completes when the character cannot continue a longer
    // one, and, for a sequence ending in a letter, only when the character is not a letter.
    static AbbreviationMatch completedBy(const QString& line, int column, QChar typed);
    // A sequence ending at `column` that no longer sequence continues and that ends in a
    // symbol character (\->, \<=>, \>>>): it needs nothing after it.
    static AbbreviationMatch finished(const QString& line, int column);
    // The whole sequence ending at `column`, as Tab turns it into its symbol.
    static AbbreviationMatch atCursor(const QString& line, int column);
};

#endif
