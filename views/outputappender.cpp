#include "outputappender.h"

#include <QElapsedTimer>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextCursor>
#include <QTextDocument>
#include <QTimer>

namespace {

// Longest a batch may keep the GUI thread busy.
constexpr qint64 BatchBudgetMs = 20;
// Texts inserted in one go between two looks at the clock.
constexpr int SliceSize = 512;

} // namespace

OutputAppender::OutputAppender(QPlainTextEdit* view) : QObject(view), view(view)
{
    // The view is read-only: keeping an undo history of everything appended would only grow.
    view->document()->setUndoRedoEnabled(false);
}

void OutputAppender::append(const QString& text)
{
    pending.append(text);
    schedule();
}

void OutputAppender::clear()
{
    pending.clear();
    shown = 0;
    view->clear();
}

void OutputAppender::flush()
{
    insertPending(-1);
}

void OutputAppender::schedule()
{
    if (scheduled)
        return;
    scheduled = true;
    QTimer::singleShot(0, this, [this] {
        scheduled = false;
        insertPending(BatchBudgetMs);
    });
}

void OutputAppender::insertPending(qint64 budgetMs)
{
    if (shown >= pending.size())
        return;
    QScrollBar* bar = view->verticalScrollBar();
    const bool atBottom = bar->value() >= bar->maximum();
    QTextDocument* document = view->document();
    QTextCursor cursor(document);
    cursor.movePosition(QTextCursor::End);
    QElapsedTimer timer;
    timer.start();
    cursor.beginEditBlock();
    while (shown < pending.size()) {
        // As appendPlainText: each text becomes a new paragraph, except that into a still empty
        // document it goes without one (so empty texts leave an empty document empty). Texts
        // are joined with line feeds and inserted in slices, which makes the same paragraphs
        // at a fraction of the cost of one insertion each.
        QString slice;
        if (!document->isEmpty())
            slice += QLatin1Char('\n');
        else if (pending.at(shown).isEmpty()) {
            ++shown;
            continue;
        }
        const int end = qMin(pending.size(), shown + SliceSize);
        for (int i = shown; i < end; ++i) {
            if (i > shown)
                slice += QLatin1Char('\n');
            slice += pending.at(i);
        }
        cursor.insertText(slice);
        shown = end;
        if (budgetMs >= 0 && timer.elapsed() >= budgetMs)
            break;
    }
    cursor.endEditBlock();
    if (shown >= pending.size()) {
        pending.clear();
        shown = 0;
    } else {
        schedule();
    }
    if (atBottom)
        bar->setValue(bar->maximum());
}
