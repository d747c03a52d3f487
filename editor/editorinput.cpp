#include "editorinput.h"

#include "codeeditor.h"

#include <QTextBlock>
#include <QTextCursor>

EditorInput takeRunInput(CodeEditor& editor)
{
    editor.clearErrorMarks();
    QTextCursor cursor = editor.textCursor();
    if (!cursor.hasSelection())
        return {editor.toPlainText(), 1, 0};
    QString text = cursor.selectedText();
    text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    cursor.setPosition(cursor.selectionStart());
    return {text, cursor.blockNumber() + 1, cursor.position()};
}

EditorInput takeStepInput(CodeEditor& editor)
{
    QTextCursor cursor = editor.textCursor();
    const int line = cursor.blockNumber() + 1;
    editor.removeErrorMarks(line);
    cursor.movePosition(QTextCursor::StartOfBlock);
    const int start = cursor.position();
    cursor.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
    return {cursor.selectedText(), line, start};
}

void moveToNextLine(CodeEditor& editor)
{
    QTextCursor cursor = editor.textCursor();
    cursor.clearSelection();
    if (cursor.movePosition(QTextCursor::NextBlock))
        editor.setTextCursor(cursor);
}
