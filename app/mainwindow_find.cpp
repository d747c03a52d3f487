// The Find and Replace dock.

#include "mainwindow.h"
#include "ui_mainwindow.h"

#include "codeeditor.h"

#include <QTextDocument>

namespace {

QTextEdit::ExtraSelection matchSelection(const QTextCursor& cursor)
{
    QTextEdit::ExtraSelection selection;
    selection.cursor = cursor;
    selection.format.setBackground(QColor(0xff, 0xef, 0x0b));
    return selection;
}

} // namespace

void MainWindow::setFocusSR(bool visible)
{
    if (!visible)
        return;
    ui->dockWidget_7->setFocus();
    ui->dockWidget_7->raise();
    ui->dockWidget_7->activateWindow();
    ui->dockWidget_7->setWindowState(Qt::WindowActive);
    ui->dockWidget_7->setFocus();
    ui->lineEdit->setFocus();
}

void MainWindow::searchAndReplace()
{
    CodeEditor* editor = currentEditor();
    if (!editor)
        return;
    const QString text = ui->lineEdit->text();
    const int origin = editor->textCursor().position();
    QTextDocument::FindFlags flags;
    if (ui->checkBox->isChecked())
        flags |= QTextDocument::FindCaseSensitively;
    if (ui->checkBox_2->isChecked())
        flags |= QTextDocument::FindWholeWords;
    const bool backward = ui->checkBox_3->isChecked();
    if (backward)
        flags |= QTextDocument::FindBackward;

    matches.clear();
    // The document is searched directly rather than through the editor, which would scroll to
    // every match on the way; the cursor ends where stepping through the editor would leave it.
    QTextDocument* document = editor->document();
    QTextCursor cursor(document);
    cursor.movePosition(backward ? QTextCursor::End : QTextCursor::Start);
    QTextCursor target;
    while (!text.isEmpty()) {
        const QTextCursor found = document->find(text, cursor, flags);
        if (found.isNull())
            break;
        cursor = found;
        matches.append(matchSelection(found));
        if (target.isNull() && (backward ? found.position() < origin : found.position() > origin))
            target = found;
    }
    editor->setTextCursor(target.isNull() ? cursor : target);
    editor->setExtraSelections(matches);
}

void MainWindow::findNext()
{
    find(true);
}

void MainWindow::findPrevious()
{
    find(false);
}

void MainWindow::find(bool next)
{
    CodeEditor* editor = currentEditor();
    if (matches.isEmpty() || !editor || matches.first().cursor.document() != editor->document())
        return;
    const int count = matches.size();
    const int position = editor->textCursor().position();
    int current = -1;
    for (int i = 0; i < count; ++i) {
        if (matches.at(i).cursor.position() == position) {
            current = i;
            break;
        }
    }

    // "Find next" moves on in document order, "Find previous" back, whatever the direction of
    // the search that filled the list.
    const bool backward = ui->checkBox_3->isChecked();
    int chosen;
    if (current >= 0) {
        const bool forwardInList = backward != next;
        chosen = forwardInList ? (current + 1) % count : (current + count - 1) % count;
    } else {
        // The cursor is not at the end of a match: go to the nearest match in the stepping
        // direction, wrapping around the document as usual.
        chosen = -1;
        for (int i = 0; i < count; ++i) {
            const QTextCursor& match = matches.at(i).cursor;
            if (next && match.selectionStart() >= position &&
                (chosen < 0 || match.selectionStart() < matches.at(chosen).cursor.selectionStart()))
                chosen = i;
            if (!next && match.position() <= position &&
                (chosen < 0 || match.position() > matches.at(chosen).cursor.position()))
                chosen = i;
        }
        if (chosen < 0) {
            // Wrap: the first match of the document going forward, the last going back.
            const bool firstInList = (next != backward);
            chosen = firstInList ? 0 : count - 1;
        }
    }
    editor->setTextCursor(matches.at(chosen).cursor);
    editor->setExtraSelections(matches);
}

void MainWindow::replace()
{
    CodeEditor* editor = currentEditor();
    if (!editor)
        return;
    QTextCursor cursor = editor->textCursor();
    cursor.insertText(ui->lineEdit_2->text());
    const int position = cursor.position();
    for (int i = matches.size() - 1; i >= 0; --i) {
        if (matches.at(i).cursor.document() == editor->document() &&
            matches.at(i).cursor.position() == position)
            matches.removeAt(i);
    }
    editor->setExtraSelections(matches);
}

void MainWindow::replaceAll()
{
    if (matches.isEmpty())
        return;
    const QString replacement = ui->lineEdit_2->text();
    // One edit block: a single undo step and a single re-layout for all replacements.
    QTextCursor block(matches.first().cursor);
    block.beginEditBlock();
    for (const QTextEdit::ExtraSelection& match : qAsConst(matches)) {
        QTextCursor cursor = match.cursor;
        cursor.insertText(replacement);
    }
    block.endEditBlock();
    matches.clear();
}
