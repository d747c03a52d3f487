#ifndef STATEMENTLOCATOR_H
#define STATEMENTLOCATOR_H

#include <QObject>
#include <QString>

class QTabWidget;

// Leads from a box of a graph to the source: given the text of a clicked box line, it selects
// the first line of the open documents (in tab order) that states the same statement, and
// brings that document forward.
class StatementLocator : public QObject {
    Q_OBJECT

public:
    explicit StatementLocator(QTabWidget* documents);

    // The statement a box line holds, or an empty string: the line without an inference item
    // prefix ("J:", "J1:" ...), the derivation node's "[Level: ...]" tail, a trailing truth
    // value ("{1.0 0.9}" or "%1.00;0.90%") and the closing punctuation. An operation line
    // holds none.
    static QString statementOf(const QString& boxLine);

    // Whether the document line `line` states `statement`; blanks do not count.
    static bool states(const QString& line, const QString& statement);

public slots:
    // Returns whether a line was found and selected.
    bool locate(const QString& boxLine);

private:
    QTabWidget* documents;
};

#endif
