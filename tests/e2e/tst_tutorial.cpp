// The tutorial run in the window with the stand-in engine: every dock fills as the tutorial
// says it will.

#include "app/windowtest.h"
#include "codeeditor.h"
#include "dialogs.h"
#include "errormessage.h"
#include "svgview.h"

#include <QListWidget>
#include <QTabWidget>
#include <QTableWidget>

using namespace windowtest;

class TestTutorial : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void runFillsEveryDock();
    void stepForwardSendsOneLineAtATime();

private:
    // Waits until the engine's answers to everything sent so far have been shown: every input
    // ends with a time line.
    void waitForTimeLines(MainWindow* window, int count);

    QTemporaryDir settingsDir;
    QTemporaryDir saved;
    QString dumpName;
};

void TestTutorial::initTestCase()
{
    setUpEnvironment(settingsDir);
    // The tutorial ends by saving the memory: answer the dialog with a file of our own.
    Dialogs::setSaveFileNameResponder([this](const QString&, const QString&) {
        dumpName = saved.filePath(QStringLiteral("memory"));
        return dumpName;
    });
}

void TestTutorial::waitForTimeLines(MainWindow* window, int count)
{
    QTRY_VERIFY_WITH_TIMEOUT(
        outputLines(window).filter(QStringLiteral("Elapsed time")).size() >= count, 20000);
}

void TestTutorial::runFillsEveryDock()
{
    clearSettings();
    const QString tutorial =
        QFileInfo(QStringLiteral(TESTSRCDIR "/../examples/tutorial.quor")).absoluteFilePath();
    QVERIFY(QFileInfo::exists(tutorial));
    auto window = std::make_unique<MainWindow>(QStringList{"quorstudio", tutorial});
    waitForTimeLines(window.get(), 1); // the version request
    QTRY_VERIFY(outputLines(window.get()).contains(QStringLiteral("QUOR library version 1.0.0")));

    CodeEditor* editor = window->currentEditor();
    QVERIFY(editor);
    child<QAction>(window.get(), "actionRun")->trigger();
    waitForTimeLines(window.get(), 2);

    // Answers in the Output dock.
    const QStringList lines = outputLines(window.get());
    QVERIFY2(lines.filter(QStringLiteral("Answer: <robin \u2192 living_being>")).size() == 1,
             qPrintable(lines.join('\n')));
    QVERIFY(!lines.filter(QStringLiteral("No answer")).isEmpty());

    // The deliberate mistake: listed, and marked in the editor on its own line.
    const QStringList source = editor->toPlainText().split(QLatin1Char('\n'));
    const int mistakeLine = source.indexOf(QStringLiteral("<robin \u2192 bird.")) + 1;
    QVERIFY(mistakeLine > 0);
    auto* errors = child<QListWidget>(window.get(), "listWidget");
    QCOMPARE(errors->count(), 1);
    const auto location = errors->item(0)->data(Qt::UserRole).value<ErrorListItem>();
    QCOMPARE(location.line, mistakeLine);
    QCOMPARE(location.fileName, tutorial);
    QCOMPARE(editor->marks().size(), 1);
    QCOMPARE(editor->marks().first().line, mistakeLine);
    // The column points into the line, at a character of the faulty sentence.
    QVERIFY(location.column >= 1 && location.column <= source.at(mistakeLine - 1).size() + 1);

    // The three tables, sorted by name.
    for (const char* name : {"tableWidget_1", "tableWidget_2", "tableWidget_3"}) {
        auto* table = child<QTableWidget>(window.get(), name);
        QVERIFY2(table->rowCount() > 0, name);
        for (int row = 1; row < table->rowCount(); ++row)
            QVERIFY(table->item(row - 1, 1)->text() <= table->item(row, 1)->text());
    }
    QVERIFY(!child<QTableWidget>(window.get(), "tableWidget_1")
                 ->findItems(QStringLiteral("robin"), Qt::MatchExactly)
                 .isEmpty());

    // Both graphs.
    auto* questions = child<SvgView>(window.get(), "graphicsView1");
    auto* inferences = child<SvgView>(window.get(), "graphicsView2");
    QVERIFY(questions->text().contains(QStringLiteral("<rect")));
    QVERIFY(questions->text().contains(QStringLiteral("robin")));
    QVERIFY(inferences->text().contains(QStringLiteral("Level: 0 Op: 0x")));

    // The memory dump went to the chosen file, with the suffix added.
    QTRY_VERIFY(QFileInfo::exists(dumpName + QStringLiteral(".quor")));
    QFile dump(dumpName + QStringLiteral(".quor"));
    QVERIFY(dump.open(QIODevice::ReadOnly));
    const QByteArray dumped = dump.readAll();
    QVERIFY(dumped.contains("robin"));
}

void TestTutorial::stepForwardSendsOneLineAtATime()
{
    clearSettings();
    auto window = makeWindow();
    QMetaObject::invokeMethod(window.get(), "newFile");
    CodeEditor* editor = window->currentEditor();
    editor->setPlainText(QStringLiteral("<a \u2192 b>.\n<b \u2192 c>.\n<a \u2192 c>?\n"));
    editor->moveCursor(QTextCursor::Start);
    waitForTimeLines(window.get(), 1);
    for (int i = 0; i < 3; ++i)
        child<QAction>(window.get(), "actionStepForward")->trigger();
    waitForTimeLines(window.get(), 4);
    QVERIFY(!outputLines(window.get()).filter(QStringLiteral("Answer: <a \u2192 c>")).isEmpty());
    QCOMPARE(editor->textCursor().blockNumber(), 3);
}

QTEST_MAIN(TestTutorial)
#include "tst_tutorial.moc"
