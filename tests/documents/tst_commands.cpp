// What the window sends to the engine: Run, Step Forward, the Debug menu's commands; Clear
// Output; and the document commands that do nothing while no document is open.

#include "documentstest.h"

#include <QListWidget>
#include <QPrintDialog>

using namespace windowtest;
using namespace documentstest;

namespace {

using Inputs = QList<QPair<QString, int>>;

// What the engine received after the start-up version request.
Inputs sent()
{
    return engineInputs().mid(1);
}

QString numberedLines(int count)
{
    QStringList lines;
    for (int i = 1; i <= count; ++i)
        lines << QStringLiteral("line %1 ⋙").arg(i);
    return lines.join(QLatin1Char('\n'));
}

QList<int> markedLines(CodeEditor* editor)
{
    QList<int> lines;
    for (const ErrorMark& mark : editor->marks())
        lines << mark.line;
    return lines;
}

} // namespace

class TestCommands : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { setUpEnvironment(settingsDir); }
    void init() { clearSettings(); }

    void run_data();
    void run();
    void stepForward_data();
    void stepForward();
    void debugMenuCommands_data();
    void debugMenuCommands();
    void clearOutput();
    void documentCommandsNeedADocument();

private:
    QTemporaryDir settingsDir;
};

void TestCommands::run_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QList<int>>("selection"); // anchor line, column, line, column; or empty
    QTest::addColumn<QString>("expected");
    QTest::addColumn<int>("line");
    const QString ten = numberedLines(10);
    QTest::newRow("whole document") << ten << QList<int>{} << ten << 1;
    QTest::newRow("empty document") << QString() << QList<int>{} << QString() << 1;
    QTest::newRow("mid-line 5 to 7")
        << ten << QList<int>{5, 3, 7, 5} << "ne 5 ⋙\nline 6 ⋙\nline" << 5;
    QTest::newRow("backward selection")
        << ten << QList<int>{7, 5, 5, 3} << "ne 5 ⋙\nline 6 ⋙\nline" << 5;
    QTest::newRow("within line 3") << ten << QList<int>{3, 1, 3, 7} << "line 3" << 3;
    QTest::newRow("selection ending at a line start")
        << ten << QList<int>{9, 1, 10, 1} << "line 9 ⋙\n"
        << 9;
}

void TestCommands::run()
{
    QFETCH(QString, text);
    QFETCH(QList<int>, selection);
    QFETCH(QString, expected);
    QFETCH(int, line);
    auto window = makeWindow();
    action(window.get(), "actionNew")->trigger();
    CodeEditor* editor = window->currentEditor();
    editor->setPlainText(text);
    editor->addErrorMark(1, 2, 0);
    editor->addErrorMark(1, 8, 0);
    if (!selection.isEmpty())
        select(editor, selection.at(0), selection.at(1), selection.at(2), selection.at(3));
    const QTextCursor before = editor->textCursor();

    action(window.get(), "actionRun")->trigger();

    QCOMPARE(sent(), (Inputs{{expected, line}}));
    QVERIFY(editor->marks().isEmpty());
    QCOMPARE(editor->textCursor().anchor(), before.anchor());
    QCOMPARE(editor->textCursor().position(), before.position());
}

void TestCommands::stepForward_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QList<int>>("cursor"); // anchor line, column, line, column
    QTest::addColumn<int>("steps");
    QTest::addColumn<QStringList>("texts");
    QTest::addColumn<QList<int>>("lines");
    QTest::addColumn<int>("cursorLine"); // afterwards
    QTest::addColumn<QList<int>>("marksLeft");
    const QString ten = numberedLines(10);
    QTest::newRow("line 3 of 10") << ten << QList<int>{3, 4, 3, 4} << 1 << QStringList{"line 3 ⋙"}
                                  << QList<int>{3} << 4 << QList<int>{2, 4, 10};
    QTest::newRow("two steps") << ten << QList<int>{3, 1, 3, 1} << 2
                               << QStringList{"line 3 ⋙", "line 4 ⋙"} << QList<int>{3, 4} << 5
                               << QList<int>{2, 10};
    QTest::newRow("last line stays")
        << ten << QList<int>{10, 2, 10, 2} << 2 << QStringList{"line 10 ⋙", "line 10 ⋙"}
        << QList<int>{10, 10} << 10 << QList<int>{2, 3, 4};
    QTest::newRow("empty lines") << QStringLiteral("a\n\n\nb") << QList<int>{2, 1, 2, 1} << 3
                                 << QStringList{"", "", "b"} << QList<int>{2, 3, 4} << 4
                                 << QList<int>{};
    QTest::newRow("selection plays no part")
        << ten << QList<int>{2, 2, 4, 3} << 1 << QStringList{"line 4 ⋙"} << QList<int>{4} << 5
        << QList<int>{2, 3, 10};
    QTest::newRow("empty document") << QString() << QList<int>{1, 1, 1, 1} << 2
                                    << QStringList{"", ""} << QList<int>{1, 1} << 1 << QList<int>{};
}

void TestCommands::stepForward()
{
    QFETCH(QString, text);
    QFETCH(QList<int>, cursor);
    QFETCH(int, steps);
    QFETCH(QStringList, texts);
    QFETCH(QList<int>, lines);
    QFETCH(int, cursorLine);
    QFETCH(QList<int>, marksLeft);
    auto window = makeWindow();
    action(window.get(), "actionNew")->trigger();
    CodeEditor* editor = window->currentEditor();
    editor->setPlainText(text);
    if (editor->document()->blockCount() >= 10) {
        for (int marked : {2, 3, 4, 10})
            editor->addErrorMark(1, marked, 0);
    }
    select(editor, cursor.at(0), cursor.at(1), cursor.at(2), cursor.at(3));

    for (int i = 0; i < steps; ++i)
        action(window.get(), "actionStepForward")->trigger();

    Inputs expected;
    for (int i = 0; i < texts.size(); ++i)
        expected.append({texts.at(i), lines.at(i)});
    QCOMPARE(sent(), expected);
    QCOMPARE(editor->textCursor().blockNumber() + 1, cursorLine);
    if (cursorLine != cursor.at(2))
        QCOMPARE(editor->textCursor().positionInBlock(), 0);
    QCOMPARE(markedLines(editor), marksLeft);
}

void TestCommands::debugMenuCommands_data()
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

void TestCommands::debugMenuCommands()
{
    QFETCH(QString, name);
    QFETCH(QStringList, commands);
    auto window = makeWindow();
    // A document on line 4 does not change the line sent with a command.
    action(window.get(), "actionNew")->trigger();
    window->currentEditor()->setPlainText(numberedLines(5));
    select(window->currentEditor(), 4, 1, 4, 1);
    QAction* trigger = action(window.get(), name.toLatin1().constData());
    const int times = qMax(1, commands.size());
    for (int i = 0; i < times; ++i)
        trigger->trigger();
    Inputs expected;
    for (const QString& command : commands)
        expected.append({command, 1});
    QCOMPARE(sent(), expected);
    // The engine receives the command's exact bytes.
    if (!commands.isEmpty())
        QCOMPARE(QByteArray::fromStdString(testengine::inputs().at(1).bytes),
                 QByteArray("\xe2\x8b\x99 ") + commands.first().mid(2).toLatin1());
}

void TestCommands::clearOutput()
{
    auto window = makeWindow();
    action(window.get(), "actionNew")->trigger();
    CodeEditor* editor = window->currentEditor();
    editor->setPlainText(numberedLines(3));
    editor->addErrorMark(2, 2, 0);
    auto* errors = child<QListWidget>(window.get(), "listWidget");
    errors->addItem(QStringLiteral("an error"));
    action(window.get(), "actionClear_Output")->trigger();
    QCOMPARE(child<QPlainTextEdit>(window.get(), "plainTextEdit")->toPlainText(), QString());
    QCOMPARE(errors->count(), 0);
    QCOMPARE(markedLines(editor), QList<int>{2});
    QVERIFY(sent().isEmpty());
}

void TestCommands::documentCommandsNeedADocument()
{
    DialogScript script;
    int printDialogs = 0;
    Dialogs::setPrintDialogResponder([&printDialogs](QPrintDialog&) {
        ++printDialogs;
        return false;
    });
    auto window = makeWindow();
    // Leave Save enabled by a modified document that is then discarded.
    action(window.get(), "actionNew")->trigger();
    typeText(window->currentEditor(), QStringLiteral("x"));
    script.answers.push_back(QMessageBox::Discard);
    clickTabClose(window.get(), 0);
    QCOMPARE(tabs(window.get())->count(), 0);
    QVERIFY(action(window.get(), "actionSave")->isEnabled());
    const int warnings = script.warnings.size();

    for (const char* name :
         {"actionRun", "actionStepForward", "actionClose", "actionSave", "actionSave_As",
          "actionSave_All", "actionClose_All", "actionPrint", "actionPrint_to_pdf", "actionUndo",
          "actionRedo", "actionCut", "actionCopy", "actionPaste", "actionSelect_All"})
        action(window.get(), name)->trigger();

    Dialogs::setPrintDialogResponder({});
    QVERIFY(sent().isEmpty());
    QCOMPARE(tabs(window.get())->count(), 0);
    QVERIFY(script.saveCaptions.isEmpty());
    QCOMPARE(script.warnings.size(), warnings);
    QCOMPARE(printDialogs, 0);
}

QTEST_MAIN(TestCommands)
#include "tst_commands.moc"
