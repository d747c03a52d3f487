// What the window sends to the engine (Run, Step Forward, the Debug menu), the commands that
// need a document, printing, and the Current Folder dock.

#include "sentregion.h"
#include "windowfixture.h"

#include <QtTest>

#include <QFileSystemModel>
#include <QListView>
#include <QPrintDialog>
#include <QPrinter>

using namespace fixture;

namespace {

using Inputs = QList<QPair<QString, int>>;

QString numberedLines(int count)
{
    QStringList lines;
    for (int i = 1; i <= count; ++i)
        lines << QStringLiteral("line %1 ⋙").arg(i);
    return lines.join('\n');
}

QList<int> markedLines(CodeEditor* editor)
{
    QList<int> lines;
    for (const ErrorMark& mark : editor->marks())
        lines << mark.line;
    return lines;
}

CodeEditor* tenLines(MainWindow* window, QList<int> marked = {})
{
    CodeEditor* editor = newDocument(window);
    editor->setPlainText(numberedLines(10));
    for (int line : marked)
        editor->addErrorMark(1, line, 0);
    return editor;
}

} // namespace

class TestCommands : public QObject {
    Q_OBJECT
    Environment environment;

private slots:
    void init() { clearSettings(); }

    void run_data()
    {
        QTest::addColumn<QList<int>>("selection"); // anchor line, column, line, column; or none
        QTest::addColumn<QString>("expected");
        QTest::addColumn<int>("line");
        QTest::newRow("whole document") << QList<int>{} << numberedLines(10) << 1;
        QTest::newRow("mid-line 5 to 7") << QList<int>{5, 3, 7, 5} << "ne 5 ⋙\nline 6 ⋙\nline" << 5;
        QTest::newRow("backward") << QList<int>{7, 5, 5, 3} << "ne 5 ⋙\nline 6 ⋙\nline" << 5;
        QTest::newRow("within line 3") << QList<int>{3, 1, 3, 7} << "line 3" << 3;
        QTest::newRow("ending at a line start") << QList<int>{9, 1, 10, 1} << "line 9 ⋙\n" << 9;
    }
    void run()
    {
        QFETCH(QList<int>, selection);
        QFETCH(QString, expected);
        QFETCH(int, line);
        auto window = makeWindow();
        CodeEditor* editor = tenLines(window.get(), {2, 8});
        if (!selection.isEmpty())
            select(editor, selection[0], selection[1], selection[2], selection[3]);
        const QTextCursor before = editor->textCursor();
        trigger(window.get(), "actionRun");
        QCOMPARE(sentToEngine(), (Inputs{{expected, line}}));
        QVERIFY(editor->marks().isEmpty());
        QCOMPARE(editor->textCursor().anchor(), before.anchor());
        QCOMPARE(editor->textCursor().position(), before.position());
    }

    void stepForward_data()
    {
        QTest::addColumn<QString>("text");      // empty: ten numbered lines, marks on 2, 3, 4, 10
        QTest::addColumn<QList<int>>("cursor"); // anchor line, column, line, column
        QTest::addColumn<int>("steps");
        QTest::addColumn<QStringList>("texts");
        QTest::addColumn<QList<int>>("lines");
        QTest::addColumn<int>("cursorLine"); // afterwards
        QTest::addColumn<QList<int>>("marksLeft");
        QTest::newRow("line 3") << "" << QList<int>{3, 4, 3, 4} << 1 << QStringList{"line 3 ⋙"}
                                << QList<int>{3} << 4 << QList<int>{2, 4, 10};
        QTest::newRow("two steps")
            << "" << QList<int>{3, 1, 3, 1} << 2 << QStringList{"line 3 ⋙", "line 4 ⋙"}
            << QList<int>{3, 4} << 5 << QList<int>{2, 10};
        QTest::newRow("last line stays")
            << "" << QList<int>{10, 2, 10, 2} << 2 << QStringList{"line 10 ⋙", "line 10 ⋙"}
            << QList<int>{10, 10} << 10 << QList<int>{2, 3, 4};
        QTest::newRow("selection plays no part")
            << "" << QList<int>{2, 2, 4, 3} << 1 << QStringList{"line 4 ⋙"} << QList<int>{4} << 5
            << QList<int>{2, 3, 10};
        QTest::newRow("empty lines")
            << "a\n\n\nb" << QList<int>{2, 1, 2, 1} << 3 << QStringList{"", "", "b"}
            << QList<int>{2, 3, 4} << 4 << QList<int>{};
    }
    void stepForward()
    {
        QFETCH(QString, text);
        QFETCH(QList<int>, cursor);
        QFETCH(QStringList, texts);
        QFETCH(QList<int>, lines);
        QFETCH(int, cursorLine);
        QFETCH(int, steps);
        auto window = makeWindow();
        CodeEditor* editor = text.isEmpty() ? tenLines(window.get(), {2, 3, 4, 10})
                                            : newDocument(window.get(), text);
        select(editor, cursor[0], cursor[1], cursor[2], cursor[3]);
        for (int i = steps; i > 0; --i)
            trigger(window.get(), "actionStepForward");
        Inputs expected;
        for (int i = 0; i < texts.size(); ++i)
            expected.append({texts[i], lines[i]});
        QCOMPARE(sentToEngine(), expected);
        QCOMPARE(editor->textCursor().blockNumber() + 1, cursorLine);
        if (cursorLine != cursor[2])
            QCOMPARE(editor->textCursor().positionInBlock(), 0);
        QTEST(markedLines(editor), "marksLeft");
    }

    // A NUL character would cut off what the engine sees: an input that holds one is not sent,
    // the user is told its line and column, and the cursor goes there.
    void nulCharacter_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<QList<int>>("cursor");     // anchor line, column, line, column
        QTest::addColumn<QList<int>>("sentBefore"); // lines marked as sent first
        QTest::addColumn<QStringList>("sent");      // "text@line"
        QTest::addColumn<QString>("nulAt");         // "line:column" told, or empty
        const QString run = "actionRun", step = "actionStepForward";
        const QString toCursor = "actionRunToCursor", back = "actionStepBack";
        QTest::newRow("Run") << run << QList<int>{1, 1, 1, 1} << QList<int>{} << QStringList{}
                             << "2:2";
        QTest::newRow("Run, selection holding it")
            << run << QList<int>{2, 1, 3, 2} << QList<int>{} << QStringList{} << "2:2";
        QTest::newRow("Run, selection before it")
            << run << QList<int>{1, 1, 2, 2} << QList<int>{} << QStringList{"a\nb@1"} << "";
        QTest::newRow("Step Forward on its line")
            << step << QList<int>{2, 1, 2, 1} << QList<int>{} << QStringList{} << "2:2";
        QTest::newRow("Step Forward on another line")
            << step << QList<int>{3, 1, 3, 1} << QList<int>{} << QStringList{"d@3"} << "";
        QTest::newRow("Run to Cursor past it")
            << toCursor << QList<int>{3, 1, 3, 1} << QList<int>{} << QStringList{} << "2:2";
        QTest::newRow("Run to Cursor before it")
            << toCursor << QList<int>{1, 1, 1, 1} << QList<int>{} << QStringList{"a@1"} << "";
        QTest::newRow("Step Back over it")
            << back << QList<int>{3, 1, 3, 1} << QList<int>{1, 2, 3} << QStringList{} << "2:2";
    }
    void nulCharacter()
    {
        QFETCH(QString, action);
        QFETCH(QList<int>, cursor);
        QFETCH(QList<int>, sentBefore);
        QFETCH(QStringList, sent);
        QFETCH(QString, nulAt);
        DialogScript script;
        auto window = makeWindow();
        CodeEditor* editor = newDocument(window.get(), QString::fromUtf8("a\nb\0c\nd", 7));
        for (int line : sentBefore)
            editor->findChild<SentRegion*>()->markSent(line);
        select(editor, cursor[0], cursor[1], cursor[2], cursor[3]);
        // A command just before: a refused Run must not take it for its own input.
        trigger(window.get(), "actionWords");
        trigger(window.get(), action.toLatin1().constData());
        QStringList received;
        for (const auto& input : sentToEngine())
            received << input.first + '@' + QString::number(input.second);
        QCOMPARE(received, QStringList{"\u22d9 words@1"} + sent);
        QCOMPARE(script.warnings.size(), nulAt.isEmpty() ? 0 : 1);
        if (nulAt.isEmpty())
            return;
        // Marked as it was.
        QCOMPARE(editor->findChild<SentRegion*>()->lines().toList(), sentBefore);
        const QString line = nulAt.section(':', 0, 0), column = nulAt.section(':', 1);
        QVERIFY2(script.warnings[0].text.startsWith(
                     QStringLiteral("Line %1 holds a NUL character (column %2)").arg(line, column)),
                 qPrintable(script.warnings[0].text));
        const QTextCursor at = editor->textCursor();
        QCOMPARE(QStringLiteral("%1:%2").arg(at.blockNumber() + 1).arg(at.positionInBlock() + 1),
                 nulAt);
    }

    void debugMenuCommands_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QStringList>("commands"); // one trigger each
        QTest::newRow("Words") << "actionWords" << QStringList{"⋙ words"};
        QTest::newRow("Compounds") << "actionCompounds" << QStringList{"⋙ compounds"};
        QTest::newRow("Statements") << "actionStatements" << QStringList{"⋙ statements"};
        QTest::newRow("Clear Memory") << "actionClear_Memory" << QStringList{"⋙ clear"};
        QTest::newRow("Save Memory") << "actionSave_Memory" << QStringList{"⋙ memory"};
        QTest::newRow("Question Derivation")
            << "actionQuestion_Derivation" << QStringList{"⋙ question"};
        QTest::newRow("Inference") << "actionInference" << QStringList{"⋙ inference"};
        QTest::newRow("Debug on, off, on")
            << "actionDebug" << QStringList{"⋙ debug on", "⋙ debug off", "⋙ debug on"};
        QTest::newRow("Time sends nothing") << "actionTime" << QStringList{};
        QTest::newRow("Clear sends nothing") << "actionClear" << QStringList{};
    }
    void debugMenuCommands()
    {
        QFETCH(QString, name);
        QFETCH(QStringList, commands);
        auto window = makeWindow();
        // A document on line 4 does not change the line sent with a command.
        select(tenLines(window.get()), 4, 1, 4, 1);
        for (int i = qMax(1, int(commands.size())); i > 0; --i)
            trigger(window.get(), name.toLatin1().constData());
        Inputs expected;
        for (const QString& command : commands)
            expected.append({command, 1});
        QCOMPARE(sentToEngine(), expected);
    }

    void documentCommandsNeedADocument()
    {
        DialogScript script;
        int printDialogs = 0;
        Dialogs::setPrintDialogResponder([&printDialogs](QPrintDialog&) {
            ++printDialogs;
            return false;
        });
        auto window = makeWindow();
        // Leave Save enabled by a modified document that is then discarded.
        newDocument(window.get(), "x");
        script.answers.push_back(QMessageBox::Discard);
        clickTabClose(window.get(), 0);
        QVERIFY(action(window.get(), "actionSave")->isEnabled());
        for (const char* name : {"actionRun", "actionStepForward", "actionClose", "actionSave",
                                 "actionSave_As", "actionSave_All", "actionClose_All",
                                 "actionPrint", "actionPrint_to_pdf", "actionUndo", "actionRedo",
                                 "actionCut", "actionCopy", "actionPaste", "actionSelect_All"})
            trigger(window.get(), name);
        Dialogs::setPrintDialogResponder({});
        QVERIFY(sentToEngine().isEmpty());
        QCOMPARE(tabs(window.get())->count(), 0);
        QVERIFY(script.saveCaptions.isEmpty());
        QCOMPARE(script.warnings.size(), 1);
        QCOMPARE(printDialogs, 0);
    }

    // The dialog offers the selection only when there is one; accepted, it prints the whole
    // document or the selection; the editor's selection is left as it was.
    void printDialog_data()
    {
        QTest::addColumn<bool>("withSelection");
        QTest::addColumn<int>("range"); // -1: cancelled
        QTest::addColumn<int>("pages"); // at least; 0: nothing printed
        QTest::newRow("cancelled") << false << -1 << 0;
        QTest::newRow("no selection, all") << false << int(QAbstractPrintDialog::AllPages) << 3;
        QTest::newRow("selection, all") << true << int(QAbstractPrintDialog::AllPages) << 3;
        QTest::newRow("selection only") << true << int(QAbstractPrintDialog::Selection) << 1;
    }
    void printDialog()
    {
        QFETCH(bool, withSelection);
        QFETCH(int, range);
        QFETCH(int, pages);
        QTemporaryDir dir;
        QStringList asked;
        Dialogs::setPrintDialogResponder([&](QPrintDialog& dialog) {
            asked << dialog.windowTitle()
                  << QString::number(dialog.isOptionEnabled(QAbstractPrintDialog::PrintSelection));
            dialog.printer()->setOutputFormat(QPrinter::PdfFormat); // "print to file"
            dialog.printer()->setOutputFileName(dir.filePath("printed.pdf"));
            dialog.setPrintRange(QAbstractPrintDialog::PrintRange(qMax(range, 0)));
            return range >= 0;
        });
        auto window = makeWindow();
        CodeEditor* editor = newDocument(window.get());
        editor->setPlainText(QStringLiteral("line\n").repeated(150));
        if (withSelection)
            select(editor, 2, 1, 4, 3);
        trigger(window.get(), "actionPrint");
        Dialogs::setPrintDialogResponder({});
        QCOMPARE(asked, (QStringList{"Print Document", withSelection ? "1" : "0"}));
        // Pages of a PDF written by Qt: one "/Type /Page" object each, "/Type /Pages" aside.
        const QByteArray pdf = pages ? readBytes(dir.filePath("printed.pdf")) : QByteArray();
        const int count =
            pdf.count("/Type /Page\n") + pdf.count("/Type /Page ") + pdf.count("/Type /Page/");
        QVERIFY2(pages == 1 ? count == 1 : count >= pages, qPrintable(QString::number(count)));
        QCOMPARE(QFileInfo::exists(dir.filePath("printed.pdf")), pages > 0);
        QCOMPARE(editor->textCursor().hasSelection(), withSelection);
    }

    // The Current Folder dock lists the shown folder's entries with "..", not hidden files;
    // double-clicking a folder shows it, a file opens it, and the folder is kept on close.
    void currentFolder()
    {
        QTemporaryDir tree;
        const QString top = QFileInfo(tree.path()).canonicalFilePath();
        QVERIFY(QDir(top).mkpath("sub/deeper") && writeBytes(top + "/sub/in.quor", "in"));
        QVERIFY(writeBytes(top + "/a.quor", "a") && writeBytes(top + "/sub/.hidden.quor", "h"));
        settings()->setValue("currentPath", top + "/sub");
        auto window = makeWindow();
        auto* view = child<QListView>(window.get(), "listView");
        auto* model = qobject_cast<QFileSystemModel*>(view->model());
        const auto listed = [&] {
            QStringList names;
            for (int row = 0; row < model->rowCount(view->rootIndex()); ++row)
                names << model->index(row, 0, view->rootIndex()).data().toString();
            return names.join(' ');
        };
        const auto doubleClick = [&](const QString& name) {
            QTRY_VERIFY(model->index(model->rootPath() + '/' + name).isValid());
            emit view->doubleClicked(model->index(QDir::cleanPath(model->rootPath() + '/' + name)));
        };
        QTRY_COMPARE(listed(), QStringLiteral(".. deeper in.quor"));
        doubleClick("in.quor");
        QCOMPARE(window->currentEditor()->fileName, top + "/sub/in.quor");
        doubleClick("..");
        QCOMPARE(model->filePath(view->rootIndex()), top);
        QTRY_COMPARE(listed(), QStringLiteral(".. sub a.quor"));
        doubleClick("sub");
        doubleClick("deeper");
        QCOMPARE(model->filePath(view->rootIndex()), top + "/sub/deeper");
        QVERIFY(window->close());
        window = makeWindow();
        view = child<QListView>(window.get(), "listView");
        QCOMPARE(qobject_cast<QFileSystemModel*>(view->model())->filePath(view->rootIndex()),
                 top + "/sub/deeper");
    }
};

QTEST_MAIN(TestCommands)
#include "tst_commands.moc"
