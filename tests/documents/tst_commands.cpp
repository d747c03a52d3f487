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

    // Run sends the selection, or the whole document, with its first line and leaves the cursor
    // and selection alone; Step Forward sends the cursor's line and moves to the next one.
    void send_data()
    {
        QTest::addColumn<bool>("step");         // Step Forward, not Run
        QTest::addColumn<QString>("text");      // empty: ten numbered lines, marks on 2, 3, 4, 10
        QTest::addColumn<QList<int>>("cursor"); // anchor line, column, line, column
        QTest::addColumn<int>("steps");
        QTest::addColumn<QStringList>("sent"); // "text@line"
        QTest::addColumn<int>("cursorLine");   // afterwards
        QTest::addColumn<QList<int>>("marksLeft");
        const QList<int> none;
        QTest::newRow("Run, whole document") << false << "" << QList<int>{1, 1, 1, 1} << 1
                                             << QStringList{numberedLines(10) + "@1"} << 1 << none;
        QTest::newRow("Run, mid-line 5 to 7")
            << false << "" << QList<int>{5, 3, 7, 5} << 1 << QStringList{"ne 5 ⋙\nline 6 ⋙\nline@5"}
            << 7 << none;
        QTest::newRow("Run, backward") << false << "" << QList<int>{7, 5, 5, 3} << 1
                                       << QStringList{"ne 5 ⋙\nline 6 ⋙\nline@5"} << 5 << none;
        QTest::newRow("Run, within line 3")
            << false << "" << QList<int>{3, 1, 3, 7} << 1 << QStringList{"line 3@3"} << 3 << none;
        QTest::newRow("Run, ending at a line start") << false << "" << QList<int>{9, 1, 10, 1} << 1
                                                     << QStringList{"line 9 ⋙\n@9"} << 10 << none;
        QTest::newRow("line 3") << true << "" << QList<int>{3, 4, 3, 4} << 1
                                << QStringList{"line 3 ⋙@3"} << 4 << QList<int>{2, 4, 10};
        QTest::newRow("two steps")
            << true << "" << QList<int>{3, 1, 3, 1} << 2 << QStringList{"line 3 ⋙@3", "line 4 ⋙@4"}
            << 5 << QList<int>{2, 10};
        QTest::newRow("last line stays")
            << true << "" << QList<int>{10, 2, 10, 2} << 2
            << QStringList{"line 10 ⋙@10", "line 10 ⋙@10"} << 10 << QList<int>{2, 3, 4};
        QTest::newRow("selection plays no part")
            << true << "" << QList<int>{2, 2, 4, 3} << 1 << QStringList{"line 4 ⋙@4"} << 5
            << QList<int>{2, 3, 10};
        QTest::newRow("empty lines") << true << "a\n\n\nb" << QList<int>{2, 1, 2, 1} << 3
                                     << QStringList{"@2", "@3", "b@4"} << 4 << none;
    }
    void send()
    {
        QFETCH(bool, step);
        QFETCH(QString, text);
        QFETCH(QList<int>, cursor);
        QFETCH(int, cursorLine);
        QFETCH(int, steps);
        auto window = makeWindow();
        CodeEditor* editor = text.isEmpty() ? tenLines(window.get(), {2, 3, 4, 10})
                                            : newDocument(window.get(), text);
        select(editor, cursor[0], cursor[1], cursor[2], cursor[3]);
        const QTextCursor before = editor->textCursor();
        for (int i = steps; i > 0; --i)
            trigger(window.get(), step ? "actionStepForward" : "actionRun");
        QTEST(sentInputs(), "sent");
        QCOMPARE(editor->textCursor().blockNumber() + 1, cursorLine);
        if (!step)
            QCOMPARE(editor->textCursor().anchor(), before.anchor());
        if (!step || cursorLine == cursor[2])
            QCOMPARE(editor->textCursor().position(), before.position());
        else
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
        QCOMPARE(sentInputs(), QStringList{"\u22d9 words@1"} + sent);
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
        QTest::addColumn<QStringList>("commands"); // one trigger each, all with line 1
        QTest::newRow("Words") << "actionWords" << QStringList{"⋙ words@1"};
        QTest::newRow("Compounds") << "actionCompounds" << QStringList{"⋙ compounds@1"};
        QTest::newRow("Statements") << "actionStatements" << QStringList{"⋙ statements@1"};
        QTest::newRow("Clear Memory") << "actionClear_Memory" << QStringList{"⋙ clear@1"};
        QTest::newRow("Save Memory") << "actionSave_Memory" << QStringList{"⋙ memory@1"};
        QTest::newRow("Question Derivation")
            << "actionQuestion_Derivation" << QStringList{"⋙ question@1"};
        QTest::newRow("Inference") << "actionInference" << QStringList{"⋙ inference@1"};
        QTest::newRow("Debug on, off, on")
            << "actionDebug" << QStringList{"⋙ debug on@1", "⋙ debug off@1", "⋙ debug on@1"};
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
        QCOMPARE(sentInputs(), commands);
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
        QVERIFY(sentInputs().isEmpty());
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
