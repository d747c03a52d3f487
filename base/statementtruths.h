#ifndef STATEMENTTRUTHS_H
#define STATEMENTTRUTHS_H

#include "termtable.h"

#include <QString>
#include <QStringList>
#include <QVector>

// Truth values of statements from the rows of the engine's last Statements table, as the
// editor's tool tips and the language server's hovers show them.
class StatementTruths {
public:
    // Most rows given for one term.
    static constexpr int MaxRows = 8;

    // The statement "<...>" that encloses `column` of `line` most closely, empty if none;
    // `start` receives its index.
    static QString statementAround(const QString& line, int column, int* start = nullptr);
    // The rows of the table whose statement is `statement` (blanks ignored) or, for a word,
    // that mention it; each as "statement  truth", at most MaxRows.
    static QStringList truthsFor(const QString& term, bool isStatement, const QStringList& rows);
    // A table text without its truth value: "<a → b>. {1.0 0.9}" is "<a → b>".
    static QString withoutTruth(const QString& text, QString* truth = nullptr);
    // The named terms of a table, each without its truth value, in table order.
    static QStringList termsOf(const QVector<TermRecord>& records);
};

#endif
