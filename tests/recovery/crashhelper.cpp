// Opens a window, types into a document (the file named as the argument, or a new one) and runs
// it; the engine this program links kills the process inside that Run.

#include "codeeditor.h"
#include "crashscenario.h"
#include "mainwindow.h"
#include "startup.h"

#include <QAction>
#include <QApplication>
#include <QTextCursor>

int main(int argc, char* argv[])
{
    prepareProcess();
    QApplication app(argc, argv);
    prepareApplication();
    MainWindow window(QCoreApplication::arguments());
    if (argc < 2)
        window.findChild<QAction*>(QStringLiteral("actionNew"))->trigger();
    CodeEditor* editor = window.currentEditor();
    if (!editor)
        return 2;
    // Typed one character at a time, with no pause in which a debounced copy could be written:
    // only the copy made before the Run can save these edits.
    QTextCursor cursor = editor->textCursor();
    cursor.movePosition(QTextCursor::End);
    for (const uint c : crash::typed().toUcs4())
        cursor.insertText(QString::fromUcs4(&c, 1));
    cursor.setPosition(editor->document()->characterCount() - 1 - crash::CursorFromEnd);
    editor->setTextCursor(cursor);
    window.findChild<QAction*>(QStringLiteral("actionRun"))->trigger();
    return 3; // the engine did not stop the process
}
