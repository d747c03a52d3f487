#include "sentregion.h"

#include "codeeditor.h"

#include <QAbstractTextDocumentLayout>
#include <QPainter>
#include <QPlainTextEdit>
#include <QTextBlock>

#include <algorithm>

namespace {

constexpr int StripeWidth = 4; // over the gutter's separator

} // namespace

SentRegion::SentRegion(CodeEditor* editor)
    : GutterPainter(editor), editor(editor), revision(editor->document()->revision())
{
    connect(editor->document(), &QTextDocument::contentsChange, this, &SentRegion::contentsChange);
    editor->addGutterPainter(this);
}

void SentRegion::markSent(int first, int last)
{
    if (first < 1 || last < first)
        return;
    // Lines sent again move to the end, in one pass however many there are.
    bool again = false;
    for (int line = first; line <= last && !again; ++line)
        again = sent.contains(line);
    if (again)
        order.erase(
            std::remove_if(order.begin(), order.end(),
                           [first, last](int line) { return line >= first && line <= last; }),
            order.end());
    order.reserve(order.size() + last - first + 1);
    for (int line = first; line <= last; ++line) {
        sent.insert(line);
        order.append(line);
    }
    highest = qMax(highest, last);
    emit changed();
}

void SentRegion::clear()
{
    if (order.isEmpty())
        return;
    order.clear();
    sent.clear();
    highest = 0;
    emit changed();
}

void SentRegion::contentsChange(int position, int removed, int added)
{
    // The highlighter reports re-coloured text as a change too; only an edit moves the revision.
    const QTextDocument* document = editor->document();
    if (document->revision() == revision)
        return;
    revision = document->revision();
    if (order.isEmpty())
        return;
    const QTextBlock last = document->findBlockByNumber(highest - 1);
    if (!last.isValid()) {
        clear();
        return;
    }
    const int end = last.position() + last.length() - 1; // where the line's text ends
    if (position > end)
        return;
    // New lines started right at the end of the last sent line leave the sent text as it was.
    if (position == end && removed == 0 && added > 0 &&
        document->characterAt(position) == QChar::ParagraphSeparator)
        return;
    clear();
}

bool SentRegion::hasError(int line) const
{
    for (const ErrorMark& mark : editor->marks()) {
        if (mark.line == line)
            return true;
    }
    return false;
}

void SentRegion::paintGutter(QPainter& painter, QWidget* gutter, const QRect& rect)
{
    if (order.isEmpty())
        return;
    const QAbstractTextDocumentLayout* layout = editor->document()->documentLayout();
    QTextBlock block = editor->cursorForPosition(QPoint(0, rect.top())).block();
    const int x = gutter->width() - StripeWidth;
    while (block.isValid()) {
        const int top = editor->cursorRect(QTextCursor(block)).top();
        if (top > rect.bottom())
            break;
        const int line = block.blockNumber() + 1;
        if (line > highest)
            break;
        if (block.isVisible() && sent.contains(line)) {
            const int height = int(layout->blockBoundingRect(block).height());
            painter.fillRect(QRect(x, top, StripeWidth, height),
                             hasError(line) ? errorColour() : sentColour());
        }
        block = block.next();
    }
}
