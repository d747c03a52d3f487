#ifndef RECOVERYDIALOG_H
#define RECOVERYDIALOG_H

#include "recoverycopy.h"

#include <QDialog>
#include <QList>

#include <functional>

class QTreeWidget;

// Lists the recovery copies left by an instance that did not end normally (document, time of
// the copy, first line) and asks what to do with them.
class RecoveryDialog : public QDialog {
    Q_OBJECT

public:
    enum Choice { Restore, Discard, Later };

    explicit RecoveryDialog(const QList<RecoveryCopy>& copies, QWidget* parent = nullptr);
    Choice choice() const { return chosen; }
    QTreeWidget* list() const { return tree; }

    // Shows the dialog modally, or asks the test responder when one is installed.
    static Choice ask(const QList<RecoveryCopy>& copies, QWidget* parent);
    using Responder = std::function<Choice(const QList<RecoveryCopy>& copies)>;
    static void setResponder(Responder responder);

private:
    QTreeWidget* tree;
    Choice chosen = Later;
};

#endif
