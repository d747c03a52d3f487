#include "markwindow.h"

#include <QPlainTextEdit>
#include <QTextBlock>

MarkWindow::Range MarkWindow::shownBlocks(const QPlainTextEdit* editor)
{
    const int top = editor->cursorForPosition(QPoint(0, 0)).blockNumber();
    const int lines =
        editor->viewport()->height() / qMax(1, editor->fontMetrics().lineSpacing()) + 1;
    return {top, top + lines};
}

void MarkWindow::placeAround(Range shown)
{
    const int margin = qMax(MinimumMargin, shown.last - shown.first + 1);
    first = shown.first - margin;
    last = shown.last + margin;
}

bool MarkWindow::holds(int line, int lastBlock) const
{
    const int block = qBound(0, line - 1, lastBlock);
    return block >= first && block <= last;
}
