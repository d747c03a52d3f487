#include "completioncontroller.h"

#include "abbreviations.h"
#include "documentwords.h"
#include "wordcompletion.h"

#include <QKeyEvent>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextBlock>

namespace {

constexpr int VisibleRows = 8;
constexpr int PopupWidth = 280;

} // namespace

CompletionController::CompletionController(QPlainTextEdit* editor, Sources sources)
    : QObject(editor), editor(editor), sources(std::move(sources)),
      documentWords(new DocumentWords(editor->document())), popup(new QListWidget(editor))
{
    popup->setObjectName(QStringLiteral("completionPopup"));
    popup->setFocusPolicy(Qt::NoFocus);
    popup->setUniformItemSizes(true);
    popup->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    popup->hide();
    connect(popup, &QListWidget::itemClicked, this,
            [this](QListWidgetItem* item) { accept(item); });
    connect(editor, &QPlainTextEdit::cursorPositionChanged, this, [this] {
        // Typing updates the popup; any other cursor move closes it.
        if (keyTyped)
            update();
        else
            close();
        keyTyped = false;
    });
    editor->installEventFilter(this);
    viewport = editor->viewport();
    viewport->installEventFilter(this);
}

bool CompletionController::isVisible() const
{
    return !popup->isHidden();
}

QStringList CompletionController::entries() const
{
    QStringList texts;
    for (int i = 0; i < popup->count(); ++i)
        texts.append(popup->item(i)->text());
    return texts;
}

void CompletionController::close()
{
    if (popup)
        popup->hide();
    replaceFrom = -1;
}

void CompletionController::update()
{
    const QTextCursor cursor = editor->textCursor();
    if (cursor.hasSelection() || editor->isReadOnly()) {
        close();
        return;
    }
    const QTextBlock block = cursor.block();
    const QString line = block.text();
    const int column = cursor.positionInBlock();

    int start = -1;
    const QString sequence = Abbreviations::sequenceBefore(line, column, &start);
    if (!sequence.isEmpty()) {
        // The entry that is exactly what was typed comes chosen: Tab after \- gives ⊖, not
        // the → of the longer \-> listed before it.
        QStringList texts, insertions;
        int exact = 0;
        for (const Abbreviation& entry : Abbreviations::startingWith(sequence)) {
            if (entry.sequence == sequence)
                exact = texts.size();
            texts.append(entry.symbol + QStringLiteral("    ") + entry.sequence);
            insertions.append(entry.symbol);
        }
        replaceFrom = block.position() + start;
        show(texts, insertions, exact);
        return;
    }

    const QString word = WordCompletion::wordBefore(line, column, &start);
    const bool atWordEnd =
        column == line.size() || !WordCompletion::isWordCharacter(line.at(column));
    if (word.size() < 2 || !atWordEnd || !WordCompletion::isWordCharacter(word.back())) {
        close();
        return;
    }
    // The line being edited is read fresh; the rest of the document from the collected words.
    const QStringList lineWords = WordCompletion::wordsOf(line);
    QVector<const QStringList*> lists = sources ? sources() : QVector<const QStringList*>();
    lists.append(&documentWords->words());
    lists.append(&lineWords);
    const QStringList found = WordCompletion::matches(word, lists, MaxEntries);
    replaceFrom = block.position() + start;
    show(found, found);
}

void CompletionController::show(const QStringList& texts, const QStringList& insertions, int chosen)
{
    if (texts.isEmpty()) {
        close();
        return;
    }
    popup->clear();
    for (int i = 0; i < texts.size(); ++i) {
        auto* item = new QListWidgetItem(texts.at(i), popup);
        item->setData(Qt::UserRole, insertions.at(i));
    }
    popup->setCurrentRow(chosen);
    const int rowHeight = popup->sizeHintForRow(0);
    const int frame = 2 * popup->frameWidth();
    const int wanted = qMin(texts.size(), int(VisibleRows)) * rowHeight + frame;
    // Below the line when there is room, else on the side with more room, as tall as fits.
    const QRect caret = editor->cursorRect();
    const QPoint below = editor->viewport()->mapTo(editor, caret.bottomLeft() + QPoint(0, 1));
    const int aboveTop = editor->viewport()->mapTo(editor, caret.topLeft()).y() - 1;
    const int roomBelow = editor->height() - below.y();
    const bool downwards = roomBelow >= wanted || roomBelow >= aboveTop;
    const int height = qMax(rowHeight + frame, qMin(wanted, downwards ? roomBelow : aboveTop));
    QPoint at(below.x(), downwards ? below.y() : aboveTop - height);
    at.setX(qMax(0, qMin(at.x(), editor->width() - PopupWidth)));
    popup->setGeometry(at.x(), at.y(), PopupWidth, height);
    popup->show();
    popup->raise();
}

void CompletionController::accept(QListWidgetItem* item)
{
    if (!item)
        item = popup->currentItem();
    const int from = replaceFrom;
    const QTextCursor current = editor->textCursor();
    close();
    if (!item || from < 0 || from > current.position())
        return;
    QTextCursor cursor = current;
    cursor.setPosition(from);
    cursor.setPosition(current.position(), QTextCursor::KeepAnchor);
    cursor.insertText(item->data(Qt::UserRole).toString());
    editor->setTextCursor(cursor);
}

bool CompletionController::eventFilter(QObject* watched, QEvent* event)
{
    // Events reach this filter while the editor and its viewport are being destroyed: the
    // editor is then no longer a QPlainTextEdit, so nothing here may call into it before the
    // event is known to be one that a live editor gets.
    if (watched == viewport) {
        if (event->type() == QEvent::MouseButtonPress)
            close();
        return false;
    }
    if (event->type() == QEvent::FocusOut) {
        close();
        return false;
    }
    if (event->type() != QEvent::KeyPress)
        return false;
    auto* key = static_cast<QKeyEvent*>(event);
    if (isVisible()) {
        switch (key->key()) {
        case Qt::Key_Escape:
            close();
            return true;
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_Tab:
            accept();
            return true;
        case Qt::Key_Up:
        case Qt::Key_Down:
        case Qt::Key_PageUp:
        case Qt::Key_PageDown: {
            const int step = key->key() == Qt::Key_Up       ? -1
                             : key->key() == Qt::Key_Down   ? 1
                             : key->key() == Qt::Key_PageUp ? -VisibleRows
                                                            : VisibleRows;
            popup->setCurrentRow(qBound(0, popup->currentRow() + step, popup->count() - 1));
            return true;
        }
        default:
            break;
        }
    }
    const QString text = key->text();
    const bool typing = (key->key() == Qt::Key_Backspace && isVisible()) ||
                        (text.size() == 1 && text.at(0).isPrint() &&
                         !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier)));
    keyTyped = typing;
    return false;
}
