#ifndef TERMWORDS_H
#define TERMWORDS_H

#include <QObject>
#include <QStringList>

class QTableWidget;

// The terms of a term table (Words, Compounds) as completion words: the text column of the
// rows the engine last reported, without a statement's truth value. Read again only after the
// table has changed.
class TermWords : public QObject {
    Q_OBJECT

public:
    TermWords(QTableWidget* table, QObject* parent);

    const QStringList& terms();
    static QStringList collect(const QTableWidget* table);
    // A table text without its truth value: "<a → b>. {1.0 0.9}" is "<a → b>".
    static QString withoutTruth(const QString& text, QString* truth = nullptr);

private:
    QTableWidget* table;
    QStringList collected;
    bool stale = true;
};

#endif
