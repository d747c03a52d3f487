// The tutorial run in the window with the stand-in engine: every dock fills as the tutorial
// says it will.

#include "windowfixture.h"

#include <QtTest>

#include "errormessage.h"
#include "svgview.h"

#include <QListWidget>
#include <QTableWidget>

using namespace fixture;

namespace {

// Waits until the engine's answers to everything sent so far have been shown: every input ends
// with a time line.
bool waitForTimeLines(MainWindow* window, int count)
{
    return QTest::qWaitFor(
        [&] { return outputLines(window).filter(QStringLiteral("Elapsed time")).size() >= count; },
        20000);
}

} // namespace

class TestTutorial : public QObject {
    Q_OBJECT
    Environment environment;
    QTemporaryDir saved;

private slots:
    void init() { clearSettings(); }

    void runFillsEveryDock()
    {
        // The tutorial ends by saving the memory: answer the dialog with a file of our own.
        DialogScript script;
        script.saveNames.push_back(saved.filePath(QStringLiteral("memory")));
        const QString tutorial =
            QFileInfo(QStringLiteral(TESTSRCDIR "/../examples/tutorial.quor")).absoluteFilePath();
        auto window = makeWindow({tutorial});
        QVERIFY(waitForTimeLines(window.get(), 1)); // the version request
        QVERIFY(outputLines(window.get()).contains(QStringLiteral("QUOR library version 1.0.0")));
        CodeEditor* editor = window->currentEditor();
        QVERIFY(editor);
        trigger(window.get(), "actionRun");
        QVERIFY(waitForTimeLines(window.get(), 2));
        const QStringList lines = outputLines(window.get());
        QCOMPARE(lines.filter(QStringLiteral("Answer: <robin \u2192 living_being>")).size(), 1);
        QVERIFY(!lines.filter(QStringLiteral("No answer")).isEmpty());
        // The deliberate mistake: listed, and marked in the editor on its own line.
        const QStringList source = editor->toPlainText().split('\n');
        const int mistakeLine = source.indexOf(QStringLiteral("<robin \u2192 bird.")) + 1;
        QVERIFY(mistakeLine > 0);
        auto* errors = child<QListWidget>(window.get(), "listWidget");
        QCOMPARE(errors->count(), 1);
        const auto location = errors->item(0)->data(Qt::UserRole).value<ErrorListItem>();
        QCOMPARE(location.line, mistakeLine);
        QCOMPARE(location.fileName, tutorial);
        QCOMPARE(editor->marks().size(), 1);
        QCOMPARE(editor->marks().first().line, mistakeLine);
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
        // Both graphs, and the memory dump in the chosen file with the suffix added.
        QVERIFY(child<SvgView>(window.get(), "graphicsView1")->text().contains("robin"));
        QVERIFY(child<SvgView>(window.get(), "graphicsView2")->text().contains("Level: 0 Op: 0x"));
        QTRY_VERIFY(readBytes(saved.filePath("memory.quor")).contains("robin"));
    }

    void stepForwardSendsOneLineAtATime()
    {
        auto window = makeWindow();
        CodeEditor* editor =
            newDocument(window.get(), "<a \u2192 b>.\n<b \u2192 c>.\n<a \u2192 c>?\n");
        editor->moveCursor(QTextCursor::Start);
        QVERIFY(waitForTimeLines(window.get(), 1));
        for (int i = 0; i < 3; ++i)
            trigger(window.get(), "actionStepForward");
        QVERIFY(waitForTimeLines(window.get(), 4));
        QVERIFY(
            !outputLines(window.get()).filter(QStringLiteral("Answer: <a \u2192 c>")).isEmpty());
        QCOMPARE(editor->textCursor().blockNumber(), 3);
    }
};

QTEST_MAIN(TestTutorial)
#include "tst_tutorial.moc"
