// The engine activity indicator and Stop, driven by the scriptable test engine, which stays
// silent until a test queues a message.

#include "windowfixture.h"

#include "testmessages.h"
#include <QtTest>

#include "engineactivity.h"

#include "busyindicator.h"
#include <QPlainTextEdit>

using namespace fixture;

class TestActivity : public QObject {
    Q_OBJECT

private slots:
    void init() { clearSettings(); }
    void busyUntilTheEngineAnswers();
    void stopDropsWaitingInputs_data();
    void stopDropsWaitingInputs();
    void waitingInputsGoOnOnePerAnswer();

private:
    static void answer()
    {
        testengine::queue(MessageBuilder('t').u32(1).u32(2).bytes.toStdString());
    }
    static QStringList sentTexts()
    {
        QStringList texts;
        for (const auto& input : testengine::inputs())
            texts.append(QString::fromStdString(input.bytes));
        return texts;
    }
    static EngineActivity* activity(MainWindow* window)
    {
        auto* found = window->findChild<EngineActivity*>();
        if (!found)
            qFatal("no engine activity");
        return found;
    }
    Environment environment;
};

void TestActivity::busyUntilTheEngineAnswers()
{
    auto window = makeWindow();
    EngineActivity* busy = activity(window.get());
    // The version command of the start-up has not been answered.
    QVERIFY(busy->ticking());
    QVERIFY(!busy->label()->isHidden());
    QVERIFY(busy->stopAction()->isEnabled());
    QTRY_VERIFY(busy->label()->text().startsWith(QStringLiteral("Engine busy 0.")));
    answer();
    QTRY_VERIFY(busy->label()->isHidden());
    QVERIFY(!busy->ticking());
    QVERIFY(!busy->stopAction()->isEnabled());
    // Another input makes it busy again, from zero.
    child<QAction>(window.get(), "actionWords")->trigger();
    QVERIFY(busy->ticking());
    QCOMPARE(busy->label()->text(), QStringLiteral("Engine busy 0.0 s"));
}

void TestActivity::stopDropsWaitingInputs_data()
{
    QTest::addColumn<bool>("queueing");
    QTest::addColumn<int>("runs");
    QTest::addColumn<int>("handed"); // inputs that reached the engine after the version command
    QTest::addColumn<QString>("report");
    QTest::newRow("not queueing: all handed over")
        << false << 3 << 3 << "Stopped: 0 waiting inputs dropped.";
    QTest::newRow("queueing: all wait") << true << 3 << 0 << "Stopped: 3 waiting inputs dropped.";
    QTest::newRow("queueing: one waits") << true << 1 << 0 << "Stopped: 1 waiting input dropped.";
}

void TestActivity::stopDropsWaitingInputs()
{
    QFETCH(bool, queueing);
    QFETCH(int, runs);
    QFETCH(int, handed);
    QFETCH(QString, report);
    auto window = makeWindow();
    EngineActivity* busy = activity(window.get());
    busy->queueAction()->setChecked(queueing);
    child<QAction>(window.get(), "actionNew")->trigger();
    window->currentEditor()->setPlainText(QStringLiteral("<a \u2192 b>."));
    for (int i = 0; i < runs; ++i)
        child<QAction>(window.get(), "actionRun")->trigger();
    QCOMPARE(int(testengine::inputs().size()), 1 + handed);
    busy->stopAction()->trigger();
    auto* output = child<QPlainTextEdit>(window.get(), "plainTextEdit");
    QTRY_VERIFY(output->toPlainText().endsWith(report));
    // Nothing is left to hand over once the engine answers.
    answer();
    QTRY_VERIFY(busy->label()->isHidden());
    QCOMPARE(int(testengine::inputs().size()), 1 + handed);
}

void TestActivity::waitingInputsGoOnOnePerAnswer()
{
    auto window = makeWindow();
    EngineActivity* busy = activity(window.get());
    busy->queueAction()->setChecked(true);
    child<QAction>(window.get(), "actionNew")->trigger();
    for (const char* text : {"first", "second"}) {
        window->currentEditor()->setPlainText(QLatin1String(text));
        child<QAction>(window.get(), "actionRun")->trigger();
    }
    QCOMPARE(sentTexts().size(), 1);
    answer();
    QTRY_COMPARE(sentTexts().size(), 2);
    QCOMPARE(sentTexts().last(), QStringLiteral("first"));
    QVERIFY(!busy->label()->isHidden());
    answer();
    QTRY_COMPARE(sentTexts().size(), 3);
    QCOMPARE(sentTexts().last(), QStringLiteral("second"));
    answer();
    QTRY_VERIFY(busy->label()->isHidden());
    // The choice is remembered.
    QVERIFY(QSettings(QStringLiteral("QuorStudio"), QStringLiteral("QuorStudio"))
                .value(QStringLiteral("queueInputsWhileBusy"))
                .toBool());
}

QTEST_MAIN(TestActivity)
#include "tst_activity.moc"
