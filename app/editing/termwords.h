#ifndef TERMWORDS_H
#define TERMWORDS_H

#include "termtable.h"

#include <QObject>
#include <QStringList>
#include <QVector>

class QTableWidget;

// The terms of a term table (Words, Compounds) as completion words: the texts the engine last
// reported, without a statement's truth value. The window hands over the decoded records when it
// fills the table; after an edit in the table its text column is read again.
class TermWords : public QObject {
    Q_OBJECT

public:
    // Made as a child of the table.
    explicit TermWords(QTableWidget* table);

    // Takes the records just shown in `table`, if it has a TermWords.
    static void received(QTableWidget* table, const QVector<TermRecord>& records);
    static QStringList fromRecords(const QVector<TermRecord>& records);

    const QStringList& terms();
    static QStringList collect(const QTableWidget* table);

private:
    QTableWidget* table;
    QStringList collected;
    bool stale = true;
};

#endif
