// The window against an engine that misbehaves (the test engine's modes): whatever the engine
// does, the window keeps serving its event loop, shows what it should, the user's actions still
// reach the engine, nothing is read out of bounds (the sanitizer build checks that) and closing
// the window ends the engine instance promptly.

#include "quorversion.h"
#include "stallmeter.h"
#include "windowfixture.h"

#include <QtTest>

using namespace fixture;
using testengine::Mode;

namespace {

// Longest the window may leave a timer unserved: a window that stops serving its event loop for
// good, or for as long as the engine keeps talking, fails. Seen on a 2-core machine: up to 0.8 s
// while a flood or a burst of 3,000 random messages is handled, about 1 s under the address
// sanitizer, 3.5 s with the machine's load at 17.
constexpr qint64 StallLimitMs = 6000;

qint64 longestStallMs(int ms)
{
    const StallMeter meter;
    QTest::qWait(ms);
    return qint64(meter.longestGapMs());
}

// The Output dock's line for flood message number n (the test engine's flood: every eighth a
// time message, shown with Time on, then an internal question, hidden, then an unassigned kind),
// or an empty string for the hidden ones.
QString floodLine(long long n)
{
    switch (n % 8) {
    case 5:
        return QStringLiteral("Elapsed time %1 μs (%2 cycles)").arg(n).arg(2 * n);
    case 6:
        return {};
    case 7:
        return QStringLiteral("unassigned %1").arg(n);
    default:
        return QStringLiteral("flood %1").arg(n);
    }
}

} // namespace

class TestHostile : public QObject {
    Q_OBJECT
    Environment environment;

private slots:
    void init() { clearSettings(); }

    void hostileEngine_data()
    {
        QTest::addColumn<int>("mode");
        QTest::newRow("flood") << int(Mode::Flood);
        QTest::newRow("false forever") << int(Mode::ReturnFalse);
        QTest::newRow("oversize") << int(Mode::Oversize);
        QTest::newRow("random bytes") << int(Mode::RandomBytes);
        QTest::newRow("silent") << int(Mode::Silent);
        QTest::newRow("slow") << int(Mode::Slow);
    }
    void hostileEngine()
    {
        QFETCH(int, mode);
        DialogScript dialogs; // a random 'm' message asks for a file name: cancelled
        auto window = makeWindow();
        window->show();
        const QStringList own{QStringLiteral("QuorStudio version " QUOR_VERSION)};
        testengine::queue("queued\0"); // taken at once in Normal mode
        QTRY_COMPARE(outputLines(window.get()).size(), 2);
        testengine::setDelay(1000);
        testengine::setMode(Mode(mode));
        testengine::queue("late\0");
        const long long calls = testengine::getCalls();
        const qint64 stall = longestStallMs(mode == int(Mode::Slow) ? 300 : 2000);
        qInfo("longest stall %lld ms, %lld get calls", stall, testengine::getCalls() - calls);
        QVERIFY2(stall < StallLimitMs, qPrintable(QStringLiteral("stalled %1 ms").arg(stall)));
        switch (Mode(mode)) {
        case Mode::Flood: {
            // The window took thousands of lines while the flood went on; once it stops, the
            // last message the engine sent is shown: nothing is lost and nothing stays stuck in
            // the worker (which holds at most MaxInFlight blocks, see the worker's test).
            QVERIFY(outputLines(window.get()).size() > 1000);
            testengine::setMode(Mode::Silent);
            QTRY_COMPARE(testengine::waitingGets(), 1);
            long long last = testengine::messagesDelivered() - 1;
            while (floodLine(last).isEmpty())
                --last;
            QTRY_COMPARE_WITH_TIMEOUT(outputLines(window.get()).constLast(), floodLine(last),
                                      60000);
            break;
        }
        case Mode::ReturnFalse:
        case Mode::Silent:
            QCOMPARE(outputLines(window.get()), own + QStringList{"queued"});
            QCOMPARE(testengine::messagesDelivered(), 1LL);
            QVERIFY(mode == int(Mode::Silent) || testengine::getCalls() > calls + 1000);
            break;
        case Mode::Oversize: {
            // Every report above the capacity is dropped; the valid messages between them arrive
            // whole and in order, then the engine's queue.
            QTRY_COMPARE(testengine::waitingGets(), 1);
            QStringList expected = own + QStringList{"queued"};
            for (const std::string& message : testengine::validMessages())
                expected << QString::fromStdString(message.substr(0, message.size() - 1));
            QCOMPARE(expected.size(), 2 + testengine::OversizeReports);
            QTRY_COMPARE(outputLines(window.get()), expected + QStringList{"late"});
            break;
        }
        case Mode::RandomBytes:
            QTRY_COMPARE(testengine::waitingGets(), 1);
            QCOMPARE(testengine::messagesDelivered(), 2LL + testengine::RandomMessages);
            QCOMPARE(outputLines(window.get()).first(), own.first());
            QVERIFY(dialogs.saveCaptions.size() > 0); // random 'm' messages asked for a name
            break;
        default: // slow: not there yet, then there
            QCOMPARE(outputLines(window.get()).size(), 2);
            QTRY_COMPARE(outputLines(window.get()), own + QStringList({"queued", "late"}));
            testengine::queue("later\0"); // the engine is in its delay when the window closes
            break;
        }
        // The user's actions still reach the engine, and the window goes on serving its loop.
        CodeEditor* editor = newDocument(window.get(), "<a \u2192 b>.\n<b \u2192 c>.");
        const auto before = testengine::inputs().size();
        trigger(window.get(), "actionRun");
        trigger(window.get(), "actionWords");
        const auto inputs = testengine::inputs();
        QCOMPARE(inputs.size(), before + 2);
        QCOMPARE(inputs[before].bytes, editor->toPlainText().toStdString());
        QCOMPARE(inputs[before + 1].bytes, std::string("\u22d9 words"));
        QVERIFY(longestStallMs(300) < StallLimitMs);
        editor->document()->setModified(false);
        // Closing joins the worker and destroys the engine instance.
        QElapsedTimer clock;
        clock.start();
        QVERIFY(window->close());
        window.reset();
        QCOMPARE(testengine::liveInstances(), 0);
        QVERIFY2(clock.elapsed() < 5000, qPrintable(QString::number(clock.elapsed())));
    }
};

QTEST_MAIN(TestHostile)
#include "tst_hostile.moc"
