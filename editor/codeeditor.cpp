#include "codeeditor.h"

#include "linenumberarea.h"
#include "textblockdata.h"

#include <QAction>
#include <QClipboard>
#include <QColor>
#include <QFont>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QKeySequence>
#include <QMimeData>
#include <QPainter>
#include <QTextBlock>
#include <QTimer>

namespace {

// Symbols typed with Alt or Ctrl and a key; null where the combination types nothing.
struct SymbolKey {
    int key;
    const char* withAlt;
    const char* withCtrl;
};

const SymbolKey symbolKeys[] = {
    {Qt::Key_0, "∘", "◊"},
    {Qt::Key_1, "→", "⇒"},
    {Qt::Key_2, "↔", "⇔"},
    {Qt::Key_3, "∩", "∧"},
    {Qt::Key_4, "∪", "∨"},
    {Qt::Key_5, "⊥", "⊤"},
    {Qt::Key_6, "¬", nullptr},
    {Qt::Key_7, "⇑", nullptr},
    {Qt::Key_8, "⋙", nullptr},
    {Qt::Key_Minus, "⊖", nullptr},
    {Qt::Key_Asterisk, "×", nullptr},
};

// The symbol for a key event, or null. The modifiers must be exactly Alt or exactly Ctrl:
// Alt+Shift, Ctrl+Alt and keypad keys keep their usual meaning.
const char* symbolFor(const QKeyEvent* event)
{
    const Qt::KeyboardModifiers modifiers = event->modifiers();
    if (modifiers != Qt::AltModifier && modifiers != Qt::ControlModifier)
        return nullptr;
    for (const SymbolKey& entry : symbolKeys) {
        if (entry.key == event->key())
            return modifiers == Qt::AltModifier ? entry.withAlt : entry.withCtrl;
    }
    return nullptr;
}

// Colour and extent of an error mark: the first of the bits 0x01, 0x02, 0x04, 0x08 that is
// set decides.
enum class Extent { None, OneCharacter, ToLineEnd };

struct MarkStyle {
    QColor colour;
    Extent extent;
};

MarkStyle markStyle(uchar kind)
{
    if (kind & 0x01)
        return {QColor(0xFF, 0x00, 0x00), Extent::OneCharacter};
    if (kind & 0x02)
        return {QColor(0xCA, 0x51, 0x00), Extent::ToLineEnd};
    if (kind & 0x04)
        return {QColor(0x00, 0x7A, 0xCC), Extent::None};
    if (kind & 0x08)
        return {QColor(0x3D, 0x72, 0x5E), Extent::None};
    return {QColor(0xFF, 0x42, 0x0E), Extent::None};
}

} // namespace

CodeEditor::CodeEditor(QWidget* parent)
    : QPlainTextEdit(parent), lineNumberArea(nullptr), openingBrackets("({[<"),
      closingBrackets(")}]>"), copyAsHtmlAction(new QAction(this))
{
    lineNumberArea = new LineNumberArea(this);

    copyAsHtmlAction->setShortcut(QKeySequence(tr("Ctrl+Shift+c")));
    addAction(copyAsHtmlAction);

    // highlightCurrentLine() replaces the extra selections, matchParentheses() adds to them,
    // and only then is the new position announced.
    connect(this, &QPlainTextEdit::blockCountChanged, this, &CodeEditor::updateLineNumberAreaWidth);
    connect(this, &QPlainTextEdit::updateRequest, this, &CodeEditor::updateLineNumberArea);
    connect(this, &QPlainTextEdit::cursorPositionChanged, this, &CodeEditor::highlightCurrentLine);
    connect(this, &QPlainTextEdit::cursorPositionChanged, this, &CodeEditor::matchParentheses);
    connect(this, &QPlainTextEdit::cursorPositionChanged, this, &CodeEditor::cursorPosition);
    connect(copyAsHtmlAction, &QAction::triggered, this, &CodeEditor::copyAsHtml);

    setFont(QFont(QStringLiteral("DejaVu Sans"), 9));
    updateLineNumberAreaWidth(0);
    highlightCurrentLine();
    highlighter.setDocument(document());
    highlighter.deferLargeChanges(this);
}

CodeEditor::~CodeEditor()
{
    // Detaching clears the highlighting from the document and makes it report changes; do it
    // while the editor whose slots receive those reports is still whole.
    highlighter.setDocument(nullptr);
}

int CodeEditor::lineNumberAreaWidth() const
{
    int n = qMax(1, blockCount());
    int digits = 1;
    while (n >= 10) {
        n /= 10;
        ++digits;
    }
    return 16 + digits * fontMetrics().horizontalAdvance(QLatin1Char('9'));
}

void CodeEditor::updateLineNumberAreaWidth(int /*newBlockCount*/)
{
    setViewportMargins(lineNumberAreaWidth(), 0, 0, 0);
}

void CodeEditor::updateLineNumberArea(const QRect& rect, int dy)
{
    if (dy)
        lineNumberArea->scroll(0, dy);
    else
        lineNumberArea->update(0, rect.y(), lineNumberArea->width(), rect.height());

    if (rect.contains(viewport()->rect()))
        updateLineNumberAreaWidth(0);
}

void CodeEditor::resizeEvent(QResizeEvent* event)
{
    QPlainTextEdit::resizeEvent(event);
    const QRect cr = contentsRect();
    lineNumberArea->setGeometry(QRect(cr.left(), cr.top(), lineNumberAreaWidth(), cr.height()));
}

void CodeEditor::lineNumberAreaPaintEvent(QPaintEvent* event)
{
    QPainter painter(lineNumberArea);
    const QRect area = event->rect();
    painter.fillRect(area, Qt::white);
    painter.fillRect(QRect(area.right() - 3, area.top(), 4, area.height()),
                     QColor(0xD4, 0xD0, 0xC8));

    QTextBlock block = firstVisibleBlock();
    int number = block.blockNumber() + 1;
    int top = static_cast<int>(blockBoundingGeometry(block).translated(contentOffset()).top());
    int bottom = top + static_cast<int>(blockBoundingRect(block).height());
    const int lineHeight = fontMetrics().height();

    painter.setPen(QColor(0x58, 0x6E, 0x75));
    while (block.isValid() && top <= area.bottom()) {
        if (block.isVisible() && bottom >= area.top())
            painter.drawText(-8, top, lineNumberArea->width(), lineHeight, Qt::AlignRight,
                             QString::number(number));
        block = block.next();
        top = bottom;
        bottom = top + static_cast<int>(blockBoundingRect(block).height());
        ++number;
    }
}

void CodeEditor::highlightCurrentLine()
{
    if (isReadOnly()) {
        // Neither the current line nor the error marks are shown.
        setExtraSelections({});
        return;
    }

    QList<QTextEdit::ExtraSelection>& selections = lineAndMarkSelections();
    QTextEdit::ExtraSelection& current = selections.first();
    current.format = QTextCharFormat();
    current.format.setBackground(QColor(0xE8, 0xF2, 0xFE));
    current.format.setProperty(QTextFormat::FullWidthSelection, true);
    current.cursor = textCursor();
    current.cursor.clearSelection();
    setExtraSelections(selections);
}

QList<QTextEdit::ExtraSelection>& CodeEditor::lineAndMarkSelections()
{
    // The first entry is the current line's, renewed on every call. The marks' selections after
    // it are those of the marks around the visible part (MarkWindow); they depend on the marks,
    // the text, the part shown and, for marks running to the end of a visual line, on where
    // lines wrap, so they are rebuilt only when one of those changed.
    QTextDocument* doc = document();
    if (markDocument != doc) {
        if (markDocument)
            disconnect(markDocument, &QTextDocument::contentsChange, this, nullptr);
        else
            connect(this, &QPlainTextEdit::updateRequest, this, &CodeEditor::followMarks,
                    Qt::UniqueConnection);
        markDocument = doc;
        connect(doc, &QTextDocument::contentsChange, this, [this] { markSelectionsValid = false; });
        markSelectionsValid = false;
    }
    const int width = viewport()->width();
    const MarkWindow::Range shown = MarkWindow::shownBlocks(this);
    if (markSelectionsValid && markSelectionsWidth == width && markWindow.covers(shown))
        return selectionCache;

    markWindow.placeAround(shown);
    selectionCache.clear();
    selectionCache.append(QTextEdit::ExtraSelection());
    const int lastBlock = doc->blockCount() - 1;
    for (const ErrorMark& mark : qAsConst(errorMarks)) {
        if (markWindow.holds(mark.line, lastBlock))
            appendMarkSelections(mark);
    }
    markSelectionsValid = true;
    markSelectionsWidth = width;
    return selectionCache;
}

void CodeEditor::followMarks(const QRect& rect, int dy)
{
    // Scrolling or resizing beyond the marks installed: install those around the new view,
    // unless other selections (Find's highlights) are shown meanwhile.
    if ((dy == 0 && !rect.contains(viewport()->rect())) || errorMarks.isEmpty() || isReadOnly() ||
        markWindow.covers(MarkWindow::shownBlocks(this)))
        return;
    const QList<QTextEdit::ExtraSelection> shown = extraSelections();
    if (shown.isEmpty() || selectionCache.isEmpty() ||
        !shown.first().format.boolProperty(QTextFormat::FullWidthSelection) ||
        shown.first().format.background() != selectionCache.first().format.background())
        return;
    highlightCurrentLine();
    matchParentheses();
}

void CodeEditor::installMarks()
{
    // Installing the marks at every new one costs the square of their number when many come
    // together: many marks around the view, or a burst of them (an engine reporting thousands of
    // errors at once, each a message of its own). Those are installed once, when the event loop
    // gets to it; a mark that comes alone shows at once.
    if (++marksThisPass == 1) {
        QTimer::singleShot(0, this, [this] {
            marksThisPass = 0;
            if (markInstallScheduled) {
                markInstallScheduled = false;
                highlightCurrentLine();
            }
        });
    }
    if (marksThisPass <= MarkWindow::InstantMarks &&
        selectionCache.size() <= MarkWindow::InstantSelections) {
        highlightCurrentLine();
        return;
    }
    markInstallScheduled = true;
}

void CodeEditor::appendMarkSelections(const ErrorMark& mark)
{
    const QTextDocument* doc = document();
    const MarkStyle style = markStyle(mark.kind);
    // Lines beyond the document are drawn on its last block.
    const QTextBlock block =
        doc->findBlockByNumber(qBound(0, mark.line - 1, doc->blockCount() - 1));

    QTextEdit::ExtraSelection range;
    range.format.setBackground(style.colour.lighter(188));
    range.cursor = QTextCursor(block);
    // The range stays within its line, whatever the column (added in 64 bits: an engine may
    // report a column near the largest int).
    const int lineEnd = block.position() + block.length() - 1;
    const qint64 start = qint64(block.position()) + mark.column - 1;
    range.cursor.setPosition(int(qBound<qint64>(block.position(), start, lineEnd)));
    if (style.extent == Extent::OneCharacter)
        range.cursor.movePosition(QTextCursor::NextCharacter, QTextCursor::KeepAnchor);
    else if (style.extent == Extent::ToLineEnd)
        range.cursor.movePosition(QTextCursor::EndOfLine, QTextCursor::KeepAnchor);
    if (range.cursor.position() > lineEnd)
        range.cursor.setPosition(lineEnd, QTextCursor::KeepAnchor);

    QTextEdit::ExtraSelection line;
    line.format.setUnderlineColor(style.colour);
    line.format.setUnderlineStyle(QTextCharFormat::WaveUnderline);
    line.format.setProperty(QTextFormat::FullWidthSelection, true);
    line.cursor = QTextCursor(block);

    selectionCache.append(range);
    selectionCache.append(line);
}

void CodeEditor::addErrorMark(int column, int line, uchar kind)
{
    errorMarks.append({column, line, kind});
    // A valid cache only needs the new mark's selections, and only when it lies around the view.
    if (markSelectionsValid &&
        markWindow.holds(errorMarks.constLast().line, document()->blockCount() - 1))
        appendMarkSelections(errorMarks.constLast());
    installMarks();
}

void CodeEditor::removeErrorMarks(int line)
{
    errorMarks.erase(std::remove_if(errorMarks.begin(), errorMarks.end(),
                                    [line](const ErrorMark& mark) { return mark.line == line; }),
                     errorMarks.end());
    markSelectionsValid = false;
}

void CodeEditor::clearErrorMarks()
{
    errorMarks.clear();
    markSelectionsValid = false;
    highlightCurrentLine();
}

void CodeEditor::goToPosition(int column, int line)
{
    QTextDocument* doc = document();
    const QTextBlock block = doc->findBlockByNumber(qBound(0, line - 1, doc->blockCount() - 1));
    const int lineEnd = block.position() + block.length() - 1;

    QTextCursor cursor(block);
    // Each step moves at least one character, so the line's length in steps reaches its end.
    cursor.movePosition(QTextCursor::NextCharacter, QTextCursor::MoveAnchor,
                        qBound(0, column, block.length() - 1));
    if (cursor.position() > lineEnd)
        cursor.setPosition(lineEnd);
    setTextCursor(cursor);
    ensureCursorVisible();
}

void CodeEditor::print(QPagedPaintDevice* printer)
{
    // The printout carries the colours: those still waiting are applied first.
    highlighter.finishPending();
    QPlainTextEdit::print(printer);
}

void CodeEditor::addGutterPainter(GutterPainter* painter)
{
    lineNumberArea->addPainter(painter);
}

void CodeEditor::cursorPosition()
{
    const QTextCursor cursor = textCursor();
    emit cursorPositionChanged(cursor.blockNumber() + 1, cursor.columnNumber() + 1);
}

void CodeEditor::keyPressEvent(QKeyEvent* event)
{
    if (const char* symbol = symbolFor(event)) {
        insertPlainText(QString::fromUtf8(symbol));
        event->accept();
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
}

void CodeEditor::copyAsHtml()
{
    auto* mimeData = new QMimeData;
    const QString html = highlighter.asHtml();
    mimeData->setText(html);
    mimeData->setHtml(html);
    QGuiApplication::clipboard()->setMimeData(mimeData);
}

void CodeEditor::matchParentheses()
{
    const QTextCursor cursor = textCursor();
    const QTextBlock block = cursor.block();
    const auto* data = static_cast<const TextBlockData*>(block.userData());
    if (!data)
        return;

    const int blockPos = block.position();
    const int col = cursor.position() - blockPos;
    const TextBlockData::Entries& infos = data->parentheses();
    for (int i = 0; i < infos.size(); ++i) {
        const ParenthesisInfo& info = infos.at(i);
        if (info.position != col)
            continue;
        bool found = false;
        int k = openingBrackets.indexOf(info.character);
        if (k >= 0) {
            found =
                matchLeftParenthesis(block, i + 1, 0, openingBrackets.at(k), closingBrackets.at(k));
        } else if ((k = closingBrackets.indexOf(info.character)) >= 0) {
            found = matchRightParenthesis(block, i - 1, 0, closingBrackets.at(k),
                                          openingBrackets.at(k));
        }
        if (found)
            createParenthesisSelection(blockPos + info.position);
    }
}

bool CodeEditor::matchLeftParenthesis(QTextBlock block, int index, int depth, char opening,
                                      char closing)
{
    return matchBracket(block, index, depth, opening, closing, true);
}

bool CodeEditor::matchRightParenthesis(QTextBlock block, int index, int depth, char closing,
                                       char opening)
{
    return matchBracket(block, index, depth, closing, opening, false);
}

bool CodeEditor::matchBracket(QTextBlock block, int index, int depth, char bracket, char partner,
                              bool forward)
{
    // Block after block (or before block going backward), counting only brackets of the same
    // pair. index is the first entry of the block's list to examine; outside the list, none.
    const int step = forward ? 1 : -1;
    for (;;) {
        if (const auto* data = static_cast<const TextBlockData*>(block.userData())) {
            const TextBlockData::Entries& infos = data->parentheses();
            for (int i = index; i >= 0 && i < infos.size(); i += step) {
                const char c = infos.at(i).character;
                if (c == bracket) {
                    ++depth;
                } else if (c == partner) {
                    if (depth == 0) {
                        createParenthesisSelection(block.position() + infos.at(i).position);
                        return true;
                    }
                    --depth;
                }
            }
        }
        block = forward ? block.next() : block.previous();
        if (!block.isValid())
            return false;
        const auto* data = static_cast<const TextBlockData*>(block.userData());
        index = forward ? 0 : (data ? data->parentheses().size() - 1 : -1);
    }
}

void CodeEditor::createParenthesisSelection(int pos)
{
    QList<QTextEdit::ExtraSelection> selections = extraSelections();

    QTextEdit::ExtraSelection selection;
    selection.format.setBackground(QColor(0xC0, 0xC0, 0xC0));
    selection.cursor = textCursor();
    selection.cursor.setPosition(pos);
    selection.cursor.movePosition(QTextCursor::NextCharacter, QTextCursor::KeepAnchor);

    selections.append(selection);
    setExtraSelections(selections);
}
