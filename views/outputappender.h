#ifndef OUTPUTAPPENDER_H
#define OUTPUTAPPENDER_H

#include <QObject>
#include <QString>
#include <QVector>

class QPlainTextEdit;

// Appends lines to the Output dock the way QPlainTextEdit::appendPlainText does (each text
// becomes one or more new paragraphs at the end, and the view follows the end while it is
// scrolled to the bottom), but in batches: texts queue up while the event loop is busy and are
// inserted together in one edit block. A flood of engine messages then costs one layout pass per
// batch instead of one per message, and a batch stops after a few milliseconds so the window
// stays responsive.
class OutputAppender : public QObject {
    Q_OBJECT

public:
    explicit OutputAppender(QPlainTextEdit* view);

    void append(const QString& text);
    // Empties the view and drops texts not shown yet.
    void clear();
    // Shows every pending text now.
    void flush();

    int pendingCount() const { return pending.size() - shown; }

private:
    void insertPending(qint64 budgetMs);
    void schedule();

    QPlainTextEdit* view;
    QVector<QString> pending;
    int shown = 0; // texts of `pending` already inserted
    bool scheduled = false;
};

#endif
