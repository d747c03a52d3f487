#include "highlightpass.h"

#include "highlighter.h"

#include <QElapsedTimer>
#include <QEvent>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextDocument>

HighlightPass::HighlightPass(Highlighter* highlighter, QPlainTextEdit* view)
    : QObject(highlighter), highlighter(highlighter), document(highlighter->document()), view(view)
{
    // The highlighter reacts to every change through this connection; when it cannot be taken
    // over, everything stays as it was and is coloured at once.
    if (!document || !QObject::disconnect(document, SIGNAL(contentsChange(int, int, int)),
                                          highlighter, SLOT(_q_reformatBlocks(int, int, int))))
        return;
    tookOver = true;
    connect(document, &QTextDocument::contentsChange, this, &HighlightPass::contentsChange);
    view->viewport()->installEventFilter(this);
    slices.setInterval(0);
    connect(&slices, &QTimer::timeout, this, &HighlightPass::runSlice);
}

bool HighlightPass::active() const
{
    return tookOver && highlighter->document() == document;
}

void HighlightPass::reformat(int from, int removed, int added)
{
    // What the highlighter does on its own for a change: colour the changed blocks and the ones
    // after them while their block state changes.
    const bool wasBusy = busy;
    busy = true;
    QMetaObject::invokeMethod(highlighter, "_q_reformatBlocks", Qt::DirectConnection,
                              Q_ARG(int, from), Q_ARG(int, removed), Q_ARG(int, added));
    busy = wasBusy;
}

void HighlightPass::contentsChange(int from, int removed, int added)
{
    // Colouring a block reports a change of it too; those are ours.
    if (busy || !active())
        return;
    if (added < LargeChange) {
        reformat(from, removed, added);
        return;
    }

    // States and bracket data now, for the changed blocks and for the following ones as long as
    // their state changes, exactly the blocks that the highlighter would colour.
    // One copy of the text instead of one per block; its positions are the document's.
    const QString text = document->toPlainText();
    QTextBlock block = document->findBlock(from);
    const QTextBlock changedEnd = document->findBlock(from + added + (removed > 0 ? 1 : 0));
    const int end = changedEnd.isValid() ? changedEnd.position() : document->characterCount();
    QTextBlock last = block;
    while (block.isValid()) {
        const bool changed =
            highlighter->prepareBlock(block, text.constData() + block.position(),
                                      qMin(block.length() - 1, text.size() - block.position()));
        last = block;
        block = block.next();
        if (last.position() >= end && !changed)
            break;
    }

    const int start = document->findBlock(from).position();
    if (!isPending() || start < pendingStart.position()) {
        pendingStart = QTextCursor(document);
        pendingStart.setPosition(start);
    }
    if (pendingEnd.isNull() || last.position() > pendingEnd.position()) {
        pendingEnd = QTextCursor(document);
        pendingEnd.setPosition(last.position());
    }
    slices.start();
}

QTextBlock HighlightPass::colour(QTextBlock block, int to, qint64 budgetNs)
{
    QElapsedTimer clock;
    clock.start();
    busy = true;
    for (int count = 1; block.isValid() && block.position() <= to; ++count) {
        // The states are already right, so each block is coloured once. Only lines the view has
        // laid out need laying out again; the others are laid out with their colours when shown.
        if (highlighter->colourBlock(block) && block.layout()->lineCount() > 0)
            document->markContentsDirty(block.position(), block.length());
        block = block.next();
        if (budgetNs >= 0 && count % 32 == 0 && clock.nsecsElapsed() >= budgetNs)
            break;
    }
    busy = false;
    return block;
}

void HighlightPass::colourVisible()
{
    // Every block takes at least one line, so this many blocks from the top fill the view.
    const int lines = view->viewport()->height() / qMax(1, view->fontMetrics().lineSpacing()) + 2;
    const QTextBlock top = view->cursorForPosition(QPoint(0, 0)).block();
    QTextBlock bottom = top;
    for (int i = 1; i < lines && bottom.next().isValid(); ++i)
        bottom = bottom.next();
    const int first = qMax(top.position(), pendingStart.position());
    const int last = qMin(bottom.position(), pendingEnd.position());
    if (first > last)
        return;
    const QTextBlock next = colour(document->findBlock(first), last, -1);
    // Shown at the start of the pending range: the range shrinks.
    if (first == pendingStart.position()) {
        if (!next.isValid() || next.position() > pendingEnd.position())
            done();
        else
            pendingStart.setPosition(next.position());
    }
}

void HighlightPass::runSlice()
{
    if (!isPending() || !active()) {
        done();
        return;
    }
    const QTextBlock next =
        colour(document->findBlock(pendingStart.position()), pendingEnd.position(), SliceBudgetNs);
    if (!next.isValid() || next.position() > pendingEnd.position())
        done();
    else
        pendingStart.setPosition(next.position());
}

void HighlightPass::finish()
{
    if (isPending() && active())
        colour(document->findBlock(pendingStart.position()), pendingEnd.position(), -1);
    done();
}

void HighlightPass::done()
{
    slices.stop();
    const bool wasPending = isPending();
    pendingStart = QTextCursor();
    pendingEnd = QTextCursor();
    if (wasPending)
        emit finished();
}

bool HighlightPass::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Paint && isPending() && active())
        colourVisible();
    return QObject::eventFilter(watched, event);
}
