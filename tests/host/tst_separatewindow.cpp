// The window with its engine in a separate process, against the scriptable test engine loaded
// by the host: whatever the engine does, the window stays, Stop ends a busy engine, the Output
// dock says what happened, and a host answers the next input.

#include "windowfixture.h"

#include "hostchecks.h"
#include <QtTest>

#include "busyindicator.h"
#include "engineactivity.h"
#include "engineprocess.h"
#include "separateengine.h"

#include <QStatusBar>

using namespace fixture;
using namespace hostchecks;

namespace {

const QString separateKey = QStringLiteral("engineInSeparateProcess");

// The engine host's process id; 0 while there is none.
qint64 hostId(MainWindow* window)
{
    return part<SeparateEngine>(window)->process()->processId();
}

bool outputHas(MainWindow* window, const QString& pattern)
{
    return !outputLines(window).filter(QRegularExpression(pattern)).isEmpty();
}

// Runs the text as the user would, from an event of the event loop.
void runFromEvent(MainWindow* window, const QString& text)
{
    QTimer::singleShot(0, window, [window, text] {
        window->currentEditor()->setPlainText(text);
        trigger(window, "actionRun");
    });
}

} // namespace

class TestSeparateWindow : public QObject {
    Q_OBJECT
    Environment environment;

private slots:
    void initTestCase() { useScriptEngine(); }
    void init() { clearSettings(); }

    void misbehaviours_data()
    {
        QTest::addColumn<QString>("input");
        QTest::addColumn<QString>("before"); // Output line that comes before the end, if any
        QTest::addColumn<bool>("stop");
        QTest::addColumn<QString>("report"); // pattern of the Output line that says what happened
        QTest::addColumn<bool>("fresh");     // the next input goes to another host
        const QString stopped =
            QStringLiteral("^Engine stopped after \\d+\\.\\d s; its memory is empty$");
        const QString crashed = QStringLiteral("^Engine ended \\(%1\\) while working on the input "
                                               "from line 1 \\(\"%2\"\\); its memory is empty$");
        QTest::newRow("silent") << "silent" << QString() << true << stopped << true;
        QTest::newRow("slow") << "slow"
                              << "slow 1" << true << stopped << true;
        QTest::newRow("flood") << "flood"
                               << "flood 1000" << true << stopped << true;
        QTest::newRow("abort") << "abort" << QString() << false
                               << crashed.arg("signal 6, aborted", "abort") << true;
        QTest::newRow("segfault") << "segfault" << QString() << false
                                  << crashed.arg("signal 11, segmentation fault", "segfault")
                                  << true;
        QTest::newRow("exit") << "exit 3" << QString() << false
                              << crashed.arg("exit status 3", "exit 3") << true;
        QTest::newRow("oversize") << "oversize"
                                  << "valid 39" << false << "^echo oversize$" << false;
        QTest::newRow("random bytes") << "random" << QString() << false << "^echo random$" << false;
    }
    void misbehaviours()
    {
        QFETCH(QString, input);
        QFETCH(QString, before);
        QFETCH(bool, stop);
        QFETCH(QString, report);
        QFETCH(bool, fresh);
        settings()->setValue(separateKey, true);
        DialogScript dialogs; // a random memory dump asks where to save it
        auto window = makeWindow();
        QTRY_VERIFY_WITH_TIMEOUT(outputHas(window.get(), "^echo \u22d9 version$"), 10000);
        const qint64 host = hostId(window.get());
        QVERIFY(host > 0);

        newDocument(window.get());
        runFromEvent(window.get(), input);
        if (!before.isEmpty())
            QTRY_VERIFY_WITH_TIMEOUT(outputHas(window.get(), '^' + before + '$'), 10000);
        auto* activity = part<EngineActivity>(window.get());
        if (stop) {
            QTRY_VERIFY(activity->stopAction()->isEnabled());
            QVERIFY(!activity->label()->isHidden());
            activity->stopAction()->trigger();
            QTRY_VERIFY_WITH_TIMEOUT(ended(host), 1500);
        }
        QTRY_VERIFY_WITH_TIMEOUT(outputHas(window.get(), report), 10000);
        if (stop || fresh)
            QVERIFY(outputLines(window.get()).last().contains(QRegularExpression(report)));
        QTRY_VERIFY(activity->label()->isHidden());

        runFromEvent(window.get(), QStringLiteral("hello"));
        QTRY_VERIFY_WITH_TIMEOUT(outputHas(window.get(), "^echo hello$"), 10000);
        QCOMPARE(hostId(window.get()) != host, fresh);
    }

    // Off by default; on, the inputs go to a host and the worker gets none; Restart ends the
    // host, and the fresh one is told Debug again; off again, the host ends and the worker has
    // the inputs back.
    void switchingAndRestarting()
    {
        auto window = makeWindow();
        QAction* mode = action(window.get(), "actionSeparate_Process");
        QAction* restart = action(window.get(), "actionRestart_Engine");
        QVERIFY(!mode->isChecked());
        QVERIFY(!restart->isEnabled());
        mode->trigger();
        QVERIFY(settings()->value(separateKey).toBool());
        QVERIFY(restart->isEnabled());
        newDocument(window.get());
        runFromEvent(window.get(), QStringLiteral("hello"));
        QTRY_VERIFY_WITH_TIMEOUT(outputHas(window.get(), "^echo hello$"), 10000);
        QVERIFY(sentInputs().isEmpty());
        action(window.get(), "actionDebug")->setChecked(true);
        const qint64 host = hostId(window.get());
        restart->trigger();
        QCOMPARE(outputLines(window.get()).last(),
                 QStringLiteral("Engine restarted; its memory is empty"));
        QTRY_VERIFY_WITH_TIMEOUT(ended(host), 1500);
        QCOMPARE(hostId(window.get()), 0);
        runFromEvent(window.get(), QStringLiteral("hello"));
        // The Debug command sent before the restart was dropped with that host's output.
        const QStringList echoes{"echo \u22d9 version", "echo hello", "echo \u22d9 debug on",
                                 "echo hello"};
        QTRY_COMPARE_WITH_TIMEOUT(outputLines(window.get()).filter(QRegularExpression("^echo ")),
                                  echoes, 10000);

        const qint64 fresh = hostId(window.get());
        mode->trigger();
        QVERIFY(!settings()->value(separateKey).toBool());
        QTRY_VERIFY_WITH_TIMEOUT(ended(fresh), 1500);
        runFromEvent(window.get(), QStringLiteral("again"));
        QTRY_COMPARE(sentInputs(), (QStringList{"\u22d9 debug on@1", "again@1"}));
    }

    // The window closed while its engine works: it is gone at once, and so is the host.
    void closedWhileBusy()
    {
        settings()->setValue(separateKey, true);
        auto window = makeWindow();
        newDocument(window.get());
        runFromEvent(window.get(), QStringLiteral("silent"));
        // The version command of the start makes the engine busy before the run is sent.
        QTRY_VERIFY(window->currentEditor()->toPlainText() == "silent" &&
                    part<SeparateEngine>(window.get())->process()->isBusy());
        const qint64 host = hostId(window.get());
        QElapsedTimer clock;
        clock.start();
        window->currentEditor()->document()->setModified(false);
        QVERIFY(window->close());
        window.reset();
        QVERIFY2(clock.elapsed() < 2000, qPrintable(QString::number(clock.elapsed())));
        QVERIFY(ended(host));
        QVERIFY(childrenOf(getpid()).isEmpty());
    }

    // In the window's own process, the first input that holds the window over two seconds is
    // followed by the suggestion, once.
    void slowInputSuggestsTheSeparateProcess()
    {
        auto window = makeWindow();
        QStatusBar* bar = window->statusBar();
        newDocument(window.get());
        const auto run = [&](const QString& text) {
            bar->clearMessage();
            const int before = sentInputs().size();
            runFromEvent(window.get(), text);
            if (!QTest::qWaitFor([&] { return sentInputs().size() == before + 1; }, 10000))
                return QStringLiteral("<not sent>");
            return bar->currentMessage();
        };
        QCOMPARE(run(QStringLiteral("hello")), QString());
        QVERIFY(run(QStringLiteral("sleep 2100"))
                    .contains(QRegularExpression("^The engine held the window for 2\\.\\d s\\. "
                                                 "Engine > Run Engine in Separate Process keeps "
                                                 "the window responsive\\.$")));
        QCOMPARE(run(QStringLiteral("sleep 2100")), QString());
    }
};

QTEST_MAIN(TestSeparateWindow)
#include "tst_separatewindow.moc"
