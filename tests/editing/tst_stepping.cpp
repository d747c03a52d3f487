// Run to Cursor and Step Back as the engine sees them, the sent region they leave, completion
// from the engine's tables, and the window's remembered layout.

#include "completioncontroller.h"
#include "sentregion.h"
#include "testmessages.h"
#include "windowfixture.h"

#include <QDockWidget>
#include <QtTest>

using namespace fixture;

class TestStepping : public QObject {
    Q_OBJECT
    Environment environment;

private slots:
    void init() { clearSettings(); }

    void stepping_data()
    {
        // A four-line document; the cursor starts on `line`; each letter of `actions` triggers
        // an action: c Run to Cursor, b Step Back, f Step Forward, r Run, m Clear Memory.
        QTest::addColumn<int>("line");
        QTest::addColumn<QString>("actions");
        QTest::addColumn<QStringList>("inputs"); // "text@line"
        QTest::addColumn<QVector<int>>("sent");
        QTest::addColumn<int>("cursorLine");
        using Lines = QVector<int>;
        const QString clear = QStringLiteral("\u22d9 clear@1");
        QTest::newRow("run to cursor")
            << 3 << "c" << QStringList{"a.@1", "b.@2", "@3"} << Lines{1, 2, 3} << 4;
        QTest::newRow("only lines not sent")
            << 2 << "fc" << QStringList{"b.@2", "a.@1", "@3"} << Lines{2, 1, 3} << 4;
        QTest::newRow("nothing left to send")
            << 1 << "fcc" << QStringList{"a.@1", "b.@2", "@3"} << Lines{1, 2, 3} << 4;
        QTest::newRow("step back")
            << 3 << "cb" << QStringList{"a.@1", "b.@2", "@3", clear, "a.@1", "b.@2"} << Lines{1, 2}
            << 3;
        QTest::newRow("step back twice")
            << 2 << "cbb" << QStringList{"a.@1", "b.@2", clear, "a.@1", clear} << Lines{} << 1;
        QTest::newRow("step back after Run")
            << 1 << "rb" << QStringList{"a.\nb.\n\nd.@1", clear, "a.@1", "b.@2", "@3"}
            << Lines{1, 2, 3} << 4;
        QTest::newRow("step back with nothing sent") << 1 << "b" << QStringList{} << Lines{} << 1;
        QTest::newRow("clear memory")
            << 4 << "cm" << QStringList{"a.@1", "b.@2", "@3", "d.@4", clear} << Lines{} << 4;
    }
    void stepping()
    {
        QFETCH(int, line);
        QFETCH(QString, actions);
        QFETCH(QStringList, inputs);
        auto window = makeWindow();
        CodeEditor* editor = newDocument(window.get());
        editor->setPlainText(QStringLiteral("a.\nb.\n\nd."));
        editor->setTextCursor(QTextCursor(editor->document()->findBlockByNumber(line - 1)));
        const char* names[] = {"actionRunToCursor", "actionStepBack", "actionStepForward",
                               "actionRun", "actionClear_Memory"};
        for (const char action : actions.toLatin1())
            trigger(window.get(), names[QByteArray("cbfrm").indexOf(action)]);
        QCOMPARE(sentInputs(), inputs);
        QTEST(editor->findChild<SentRegion*>()->lines(), "sent");
        QTEST(editor->textCursor().blockNumber() + 1, "cursorLine");
        if (actions.endsWith(QLatin1Char('b')) && !inputs.isEmpty())
            QVERIFY(!outputLines(window.get()).filter(QStringLiteral("Memory rebuilt")).isEmpty());
    }

    void completionFromEngineTables()
    {
        auto window = makeWindow();
        deliver(window.get(), termTable('w', {{1, "bird"}, {2, "bison"}, {3, "cat"}}));
        deliver(window.get(), termTable('c', {{1, "(bird \xe2\x88\xa9 animal)"}}));
        CodeEditor* editor = newDocument(window.get());
        QTest::keyClicks(editor, QStringLiteral("bi"));
        auto* completion = editor->findChild<CompletionController*>();
        QVERIFY(completion);
        QCOMPARE(completion->entries(),
                 (QStringList{"bird", "bison", QStringLiteral("(bird \u2229 animal)")}));
    }

    void layoutRoundTrip()
    {
        QRect size;
        {
            auto window = makeWindow();
            auto* browser = child<QDockWidget>(window.get(), "dockWidget_9");
            QCOMPARE(window->dockWidgetArea(browser), Qt::RightDockWidgetArea); // first start
            window->resize(700, 450);
            window->addDockWidget(Qt::LeftDockWidgetArea, browser);
            child<QDockWidget>(window.get(), "dockWidget_7")->show();
            window->show();
            QVERIFY(QTest::qWaitForWindowExposed(window.get()));
            size = window->geometry();
            QVERIFY(window->close());
        }
        auto window = makeWindow();
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        QCOMPARE(window->size(), size.size());
        QCOMPARE(window->dockWidgetArea(child<QDockWidget>(window.get(), "dockWidget_9")),
                 Qt::LeftDockWidgetArea);
        QVERIFY(child<QDockWidget>(window.get(), "dockWidget_7")->isHidden());
    }
};

QTEST_MAIN(TestStepping)
#include "tst_stepping.moc"
