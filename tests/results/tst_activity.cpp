// The engine activity indicator and Stop, driven by the scriptable test engine, which stays
// silent until a test queues a message.

#include "windowfixture.h"

#include "testmessages.h"
#include <QtTest>

#include "engineactivity.h"

#include "busyindicator.h"

using namespace fixture;

namespace {

void answer()
{
    testengine::queue(MessageBuilder('t').u32(1).u32(2).bytes.toStdString());
}

} // namespace

class TestActivity : public QObject {
    Q_OBJECT
    Environment environment;

private slots:
    void init() { clearSettings(); }

    void busyUntilTheEngineAnswers()
    {
        auto window = makeWindow();
        auto* busy = part<EngineActivity>(window.get());
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
        trigger(window.get(), "actionWords");
        QVERIFY(busy->ticking());
        QCOMPARE(busy->label()->text(), QStringLiteral("Engine busy 0.0 s"));
    }

    void stopDropsWaitingInputs_data()
    {
        QTest::addColumn<bool>("queueing");
        QTest::addColumn<int>("runs");
        QTest::addColumn<int>("handed"); // inputs that reached the engine after the version
        QTest::addColumn<QString>("report");
        QTest::newRow("not queueing: all handed over")
            << false << 3 << 3 << "Stopped: 0 waiting inputs dropped.";
        QTest::newRow("queueing: all wait")
            << true << 3 << 0 << "Stopped: 3 waiting inputs dropped.";
        QTest::newRow("queueing: one waits")
            << true << 1 << 0 << "Stopped: 1 waiting input dropped.";
    }
    void stopDropsWaitingInputs()
    {
        QFETCH(bool, queueing);
        QFETCH(int, runs);
        QFETCH(int, handed);
        QFETCH(QString, report);
        auto window = makeWindow();
        auto* busy = part<EngineActivity>(window.get());
        busy->queueAction()->setChecked(queueing);
        newDocument(window.get(), QStringLiteral("<a \u2192 b>."));
        for (int i = 0; i < runs; ++i)
            trigger(window.get(), "actionRun");
        QCOMPARE(sentInputs().size(), handed);
        busy->stopAction()->trigger();
        QTRY_VERIFY(outputLines(window.get()).last() == report);
        // Nothing is left to hand over once the engine answers.
        answer();
        QTRY_VERIFY(busy->label()->isHidden());
        QCOMPARE(sentInputs().size(), handed);
    }

    void waitingInputsGoOnOnePerAnswer()
    {
        auto window = makeWindow();
        auto* busy = part<EngineActivity>(window.get());
        busy->queueAction()->setChecked(true);
        CodeEditor* editor = newDocument(window.get());
        for (const char* text : {"first", "second"}) {
            editor->setPlainText(QLatin1String(text));
            trigger(window.get(), "actionRun");
        }
        QCOMPARE(sentInputs().size(), 0);
        answer();
        QTRY_COMPARE(sentInputs().size(), 1);
        QCOMPARE(sentInputs().last(), QStringLiteral("first@1"));
        QVERIFY(!busy->label()->isHidden());
        answer();
        QTRY_COMPARE(sentInputs().size(), 2);
        QCOMPARE(sentInputs().last(), QStringLiteral("second@1"));
        answer();
        QTRY_VERIFY(busy->label()->isHidden());
        // The choice is remembered.
        QVERIFY(settings()->value(QStringLiteral("queueInputsWhileBusy")).toBool());
    }
};

QTEST_MAIN(TestActivity)
#include "tst_activity.moc"
