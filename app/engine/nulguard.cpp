#include "nulguard.h"

#include "codeeditor.h"
#include "dialogs.h"
#include "editorinput.h"

#include <QCoreApplication>
#include <QTextBlock>
#include <QTextCursor>

bool refuseNulCharacter(CodeEditor& editor, const EditorInput& input)
{
    const int at = input.text.indexOf(QChar(0));
    if (at < 0)
        return false;
    QTextCursor cursor(editor.document());
    cursor.setPosition(qMin(input.position + at, editor.document()->characterCount() - 1));
    editor.setTextCursor(cursor);
    editor.ensureCursorVisible();
    Dialogs::warning(editor.window(), QCoreApplication::translate("MainWindow", "Application"),
                     QCoreApplication::translate(
                         "MainWindow", "Line %1 holds a NUL character (column %2), which the "
                                       "engine cannot take. Nothing was sent.")
                         .arg(cursor.blockNumber() + 1)
                         .arg(cursor.positionInBlock() + 1));
    return true;
}
