#include "abbreviationexpander.h"

#include "abbreviations.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QTextBlock>

AbbreviationExpander::AbbreviationExpander(QPlainTextEdit* editor) : QObject(editor), editor(editor)
{
    editor->installEventFilter(this);
}

bool AbbreviationExpander::replace(const QTextBlock& block, const AbbreviationMatch& match)
{
    if (!match.isValid())
        return false;
    QTextCursor cursor(block);
    cursor.setPosition(block.position() + match.start);
    cursor.setPosition(block.position() + match.start + match.length, QTextCursor::KeepAnchor);
    cursor.insertText(match.symbol);
    return true;
}

bool AbbreviationExpander::expandAtCursor()
{
    const QTextCursor cursor = editor->textCursor();
    if (cursor.hasSelection())
        return false;
    const QTextBlock block = cursor.block();
    return replace(block, Abbreviations::atCursor(block.text(), cursor.positionInBlock()));
}

bool AbbreviationExpander::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != editor || event->type() != QEvent::KeyPress || forwarding ||
        editor->isReadOnly())
        return false;
    auto* key = static_cast<QKeyEvent*>(event);
    const Qt::KeyboardModifiers others =
        key->modifiers() & ~(Qt::ShiftModifier | Qt::KeypadModifier | Qt::GroupSwitchModifier);
    if (others != Qt::NoModifier)
        return false;
    if (key->key() == Qt::Key_Tab)
        return expandAtCursor();

    const bool newLine = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
    const QString text = key->text();
    if (!newLine && (text.size() != 1 || !text.at(0).isPrint()))
        return false;
    const QTextCursor before = editor->textCursor();
    if (before.hasSelection() ||
        Abbreviations::sequenceBefore(before.block().text(), before.positionInBlock()).isEmpty())
        return false;

    // The editor types the character first; the replacement follows as an undo step of its own.
    forwarding = true;
    QCoreApplication::sendEvent(editor, event);
    forwarding = false;

    const QTextCursor after = editor->textCursor();
    if (newLine) {
        const QTextBlock previous = after.block().previous();
        if (previous.isValid() && previous.position() + previous.length() == after.position())
            replace(previous, Abbreviations::atCursor(previous.text(), previous.length() - 1));
        return true;
    }
    const QTextBlock block = after.block();
    const QString line = block.text();
    const int column = after.positionInBlock();
    if (column > 0 && line.at(column - 1) == text.at(0) &&
        !replace(block, Abbreviations::completedBy(line, column, text.at(0))))
        replace(block, Abbreviations::finished(line, column));
    return true;
}
