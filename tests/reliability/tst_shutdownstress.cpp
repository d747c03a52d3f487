// Shutdown and thread stress: 1,000 create/destroy cycles of the engine worker with messages in
// flight and a get() waiting, then create/destroy cycles of the whole window. Built twice: with
// the scriptable test engine (messages queued directly) and with the stand-in engine
// (QUOR_STAND_IN_ENGINE: messages produced by real input). Run under the address and thread
// sanitizers (scripts/sanitize.sh), a use after free, a race or a leak fails the run; a hang
// fails it through the time limits below and ctest's.

#include "app/windowtest.h"
#include "dialogs.h"
#include "quorw.h"
#include "waituntil.h"

#include <QElapsedTimer>
#include <QThread>

#include <algorithm>
#include <memory>

#ifndef QUOR_STAND_IN_ENGINE
#include "testengine.h"
#endif

namespace {

constexpr int WorkerCycles = 1000;
constexpr int WindowCycles = 60;
// Longest one destruction may take; a poller that is never released would hang instead.
constexpr qint64 DestroyLimitMs = 5000;

// Takes every block the worker emits and frees it, counting messages and bytes.
class Receiver : public QObject {
    Q_OBJECT
public:
    int messages = 0;
    qint64 bytes = 0;

public slots:
    void output(const char* buffer, size_t size)
    {
        QuorW::takeOver(buffer);
        const std::unique_ptr<const char[]> owner(buffer);
        ++messages;
        bytes += qint64(size);
    }
};

// Puts `count` messages in flight for the worker: queued in the test engine, or produced by the
// stand-in engine from input.
void sendMessages(QuorW& worker, int count, int cycle)
{
#ifdef QUOR_STAND_IN_ENGINE
    for (int i = 0; i < count; ++i)
        worker.input(i % 2 ? QStringLiteral("\u22d9 version")
                           : QStringLiteral("<a%1 \u2192 b>.\n<a%1 \u2192 b>?").arg(cycle),
                     1);
#else
    Q_UNUSED(worker);
    for (int i = 0; i < count; ++i)
        testengine::queue(std::string(std::size_t(1 + (cycle * 37 + i) % 15000), 'm'));
#endif
}

} // namespace

class TestShutdownStress : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        windowtest::setUpEnvironment(settingsDir);
        Dialogs::setSaveFileNameResponder([](const QString&, const QString&) { return QString(); });
    }

    void workerCycles_data();
    void workerCycles();
    void windowCycles();

private:
    QTemporaryDir settingsDir;
};

void TestShutdownStress::workerCycles_data()
{
    // How each cycle ends: with the poller waiting in get(), with messages still queued in the
    // engine, or with blocks already posted to the receiver and not yet delivered.
    QTest::addColumn<int>("messages");
    QTest::addColumn<bool>("waitForIdle");
    QTest::addColumn<bool>("deliverSome");
    QTest::newRow("get waiting") << 0 << true << false;
    QTest::newRow("messages in the engine") << 3 << false << false;
    QTest::newRow("messages posted, undelivered") << 2 << false << true;
    QTest::newRow("mixed") << -1 << false << false;
}

void TestShutdownStress::workerCycles()
{
    QFETCH(int, messages);
    QFETCH(bool, waitForIdle);
    QFETCH(bool, deliverSome);
#ifndef QUOR_STAND_IN_ENGINE
    testengine::reset();
    const int liveBefore = testengine::liveInstances();
#endif
    Receiver receiver;
    qint64 slowest = 0;
    for (int cycle = 0; cycle < WorkerCycles; ++cycle) {
        auto worker = std::make_unique<QuorW>();
        QObject::connect(worker.get(), SIGNAL(output(const char*, size_t)), &receiver,
                         SLOT(output(const char*, size_t)));
        const int count = messages >= 0 ? messages : cycle % 5;
        sendMessages(*worker, count, cycle);
#ifndef QUOR_STAND_IN_ENGINE
        if (waitForIdle)
            QVERIFY(waitUntil([] { return testengine::waitingGets() == 1; }, DestroyLimitMs));
        // Once the engine's queue is empty, every message was taken by a get() that returned
        // it, and the poller emits what it took before it can stop.
        if (deliverSome)
            QVERIFY(waitUntil([] { return testengine::pendingMessages() == 0; }, DestroyLimitMs));
#else
        Q_UNUSED(waitForIdle);
#endif
        if (deliverSome || cycle % 7 == 0)
            QCoreApplication::processEvents();
        QElapsedTimer clock;
        clock.start();
        worker.reset();
        slowest = std::max(slowest, clock.elapsed());
        // Blocks posted but not delivered belong to the receiver: hand them over (and so free
        // them) as the window's destructor does.
        QCoreApplication::sendPostedEvents(&receiver, QEvent::MetaCall);
    }
    qInfo("%d cycles: %d messages (%lld bytes) received, slowest destruction %lld ms", WorkerCycles,
          receiver.messages, receiver.bytes, slowest);
    QVERIFY2(slowest < DestroyLimitMs, qPrintable(QString::number(slowest)));
#ifndef QUOR_STAND_IN_ENGINE
    // Every instance was destroyed and no get() is left waiting.
    QCOMPARE(testengine::liveInstances(), liveBefore);
    QCOMPARE(testengine::waitingGets(), 0);
    QCOMPARE(testengine::createdInstances() >= WorkerCycles, true);
#endif
#ifndef QUOR_STAND_IN_ENGINE
    // Every block taken from the engine reached the receiver, delivered or flushed.
    if (deliverSome)
        QCOMPARE(receiver.messages, messages * WorkerCycles);
#endif
}

void TestShutdownStress::windowCycles()
{
    // The whole window, destroyed with engine messages in flight: the blocks still queued are
    // freed by its destructor, and the engine's instance is destroyed each time.
    qint64 slowest = 0;
    for (int cycle = 0; cycle < WindowCycles; ++cycle) {
#ifndef QUOR_STAND_IN_ENGINE
        testengine::reset();
#endif
        auto window = std::make_unique<MainWindow>(QStringList{QStringLiteral("quorstudio")});
#ifndef QUOR_STAND_IN_ENGINE
        for (int i = 0; i < cycle % 6; ++i)
            testengine::queue(std::string("<t\0\1\0\0\0\2\0\0\0", 11));
        testengine::queue("text\0");
#else
        QMetaObject::invokeMethod(window.get(), "words", Qt::DirectConnection);
        QMetaObject::invokeMethod(window.get(), "statements", Qt::DirectConnection);
#endif
        if (cycle % 3 == 0)
            QCoreApplication::processEvents();
        QElapsedTimer clock;
        clock.start();
        window.reset();
        slowest = std::max(slowest, clock.elapsed());
    }
    qInfo("%d windows, slowest destruction %lld ms", WindowCycles, slowest);
    QVERIFY2(slowest < DestroyLimitMs, qPrintable(QString::number(slowest)));
#ifndef QUOR_STAND_IN_ENGINE
    QCOMPARE(testengine::liveInstances(), 0);
#endif
}

QTEST_MAIN(TestShutdownStress)
#include "tst_shutdownstress.moc"
