#ifndef WORDCOMPLETION_H
#define WORDCOMPLETION_H

#include <QString>
#include <QStringList>
#include <QVector>

// The words a completion offers for a prefix, taken from lists such as the engine's words and
// compound terms and the words of the document.
class WordCompletion {
public:
    // Letters, digits and '_', as in the notation's words.
    static bool isWordCharacter(QChar c);
    // The word that ends at `column` of `line` (a leading '#' of a variable included); `start`
    // receives its index. Empty when the character before the column is not part of a word.
    static QString wordBefore(const QString& line, int column, int* start = nullptr);
    // What a term is matched by: its text without leading brackets, blanks and negation, so
    // that "(bird ∩ animal)" is offered for "bi".
    static QStringRef key(const QString& term);
    // The entries of the lists whose key begins with `prefix` (case-insensitively), those that
    // match in case first, in list order, without duplicates or the prefix itself; at most
    // `limit` of them.
    static QStringList matches(const QString& prefix, const QVector<const QStringList*>& lists,
                               int limit);
    // The distinct words of a text, sorted; words shorter than `minimum` are left out.
    static QStringList wordsOf(const QString& text, int minimum = 3);
};

#endif
