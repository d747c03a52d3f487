// Shutdown and thread stress: 1,000 create/destroy cycles of the engine worker with messages in
// flight and a get() waiting, then create/destroy cycles of the whole window. Built twice: with
// the scriptable test engine (messages queued directly) and with the stand-in engine
// (QUOR_TEST_REAL_ENGINE: messages produced by real input). Under the address and thread
// sanitizers (scripts/sanitize.sh) a use after free, a race or a leak fails the run (the order
// of destruction in the worker and the window was such a fault); a hang fails it through the
// time limits below and ctest's.

#include "waituntil.h"
#include "windowfixture.h"

#include <QtTest>

using namespace fixture;

namespace {

constexpr qint64 DestroyLimitMs = 5000; // a poller that is never released would hang instead

// Takes every block the worker emits and frees it, counting them.
class Receiver : public QObject {
    Q_OBJECT
public:
    int messages = 0;
public slots:
    void output(const char* buffer, size_t)
    {
        QuorW::takeOver(buffer);
        delete[] buffer;
        ++messages;
    }
};

} // namespace

class TestShutdownStress : public QObject {
    Q_OBJECT
    Environment environment;

private slots:
    void initTestCase()
    {
        Dialogs::setSaveFileNameResponder([](const QString&, const QString&) { return QString(); });
    }

    // How each cycle ends: with the poller waiting in get(), with messages still queued in the
    // engine, or with blocks already posted to the receiver and not yet delivered.
    void workerCycles_data()
    {
        QTest::addColumn<int>("messages"); // -1: 0 to 4 by turns
        QTest::addColumn<bool>("waitForIdle");
        QTest::addColumn<bool>("deliverSome");
        QTest::newRow("get waiting") << 0 << true << false;
        QTest::newRow("messages in the engine") << 3 << false << false;
        QTest::newRow("messages posted, undelivered") << 2 << false << true;
        QTest::newRow("mixed") << -1 << false << false;
    }
    void workerCycles()
    {
        QFETCH(int, messages);
        QFETCH(bool, waitForIdle);
        QFETCH(bool, deliverSome);
#ifndef QUOR_TEST_REAL_ENGINE
        testengine::reset();
#else
        Q_UNUSED(waitForIdle);
#endif
        Receiver receiver;
        qint64 slowest = 0;
        for (int cycle = 0; cycle < 1000; ++cycle) {
            auto worker = std::make_unique<QuorW>();
            QObject::connect(worker.get(), &QuorW::output, &receiver, &Receiver::output);
            for (int i = 0; i < (messages >= 0 ? messages : cycle % 5); ++i) {
#ifdef QUOR_TEST_REAL_ENGINE
                worker->input(i % 2 ? QStringLiteral("\u22d9 version")
                                    : QStringLiteral("<a%1 \u2192 b>.\n<a%1 \u2192 b>?").arg(cycle),
                              1);
#else
                testengine::queue(std::string(std::size_t(1 + (cycle * 37 + i) % 15000), 'm'));
#endif
            }
#ifndef QUOR_TEST_REAL_ENGINE
            if (waitForIdle)
                QVERIFY(waitUntil([] { return testengine::waitingGets() == 1; }, DestroyLimitMs));
            // Once the engine's queue is empty, every message was taken by a get() that returned
            // it, and the poller emits what it took before it can stop.
            if (deliverSome)
                QVERIFY(waitUntil([] { return testengine::pendingMessages() == 0; }, 5000));
#endif
            if (deliverSome || cycle % 7 == 0)
                QCoreApplication::processEvents();
            QElapsedTimer clock;
            clock.start();
            worker.reset();
            slowest = std::max(slowest, clock.elapsed());
            // Blocks posted but not delivered belong to the receiver: hand them over (and so
            // free them) as the window's destructor does.
            QCoreApplication::sendPostedEvents(&receiver, QEvent::MetaCall);
        }
        QVERIFY2(slowest < DestroyLimitMs, qPrintable(QString::number(slowest)));
#ifndef QUOR_TEST_REAL_ENGINE
        QCOMPARE(testengine::liveInstances(), 0);
        QCOMPARE(testengine::waitingGets(), 0);
        if (deliverSome) // every block taken from the engine reached the receiver
            QCOMPARE(receiver.messages, messages * 1000);
#endif
    }

    // The whole window, destroyed with engine messages in flight: the blocks still queued are
    // freed by its destructor, and the engine's instance is destroyed each time.
    void windowCycles()
    {
        qint64 slowest = 0;
        for (int cycle = 0; cycle < 60; ++cycle) {
            auto window = makeWindow();
#ifdef QUOR_TEST_REAL_ENGINE
            trigger(window.get(), "actionWords");
            trigger(window.get(), "actionStatements");
#else
            for (int i = 0; i < cycle % 6; ++i)
                testengine::queue(std::string("<t\0\1\0\0\0\2\0\0\0", 11));
            testengine::queue("text\0");
#endif
            if (cycle % 3 == 0)
                QCoreApplication::processEvents();
            QElapsedTimer clock;
            clock.start();
            window.reset();
            slowest = std::max(slowest, clock.elapsed());
        }
        QVERIFY2(slowest < DestroyLimitMs, qPrintable(QString::number(slowest)));
#ifndef QUOR_TEST_REAL_ENGINE
        QCOMPARE(testengine::liveInstances(), 0);
#endif
    }
};

QTEST_MAIN(TestShutdownStress)
#include "tst_shutdownstress.moc"
