#ifndef TERMWORDS_H
#define TERMWORDS_H

#include "termtable.h"

#include <QObject>
#include <QStringList>
#include <QVector>

class QTableWidget;

// The terms of a term table (Words, Compounds) as completion words: the texts the engine last
// reported, without a statement's truth value: the decoded records the table was filled with
// (received), or after an edit in the table its text column, read again.
class TermWords : public QObject {
    Q_OBJECT

public:
    // Made as a child of the table.
    explicit TermWords(QTableWidget* table);

    // Takes the records just shown in the table.
    void received(const QVector<TermRecord>& records);

    const QStringList& terms();
    static QStringList collect(const QTableWidget* table);

private:
    QTableWidget* table;
    QStringList collected;
    bool stale = true;
};

#endif
