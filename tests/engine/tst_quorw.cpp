// The engine worker against the scriptable test engine.

#include "quorw.h"
#include "testengine.h"
#include "waituntil.h"

#include <QSignalSpy>
#include <QtTest>

#include <memory>

namespace {

// Collects every block the worker emits, in arrival order, and frees it.
class Receiver : public QObject {
    Q_OBJECT
public:
    QList<QByteArray> messages;

public slots:
    void output(const char* buffer, size_t size)
    {
        QuorW::takeOver(buffer);
        const std::unique_ptr<const char[]> owner(buffer);
        messages.append(QByteArray(buffer, static_cast<int>(size)));
    }
};

// A worker connected to a receiver. On destruction the worker stops first; the blocks still
// queued for the receiver are then delivered (and freed) before the receiver goes.
struct Worker {
    Receiver receiver;
    std::unique_ptr<QuorW> owned = std::make_unique<QuorW>();
    QuorW& worker = *owned;
    Worker()
    {
        QObject::connect(&worker, SIGNAL(output(const char*, size_t)), &receiver,
                         SLOT(output(const char*, size_t)));
    }
    ~Worker()
    {
        owned.reset();
        QCoreApplication::sendPostedEvents(&receiver, QEvent::MetaCall);
    }
};

} // namespace

class TestQuorW : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { registerEngineMetaTypes(); }
    void init() { testengine::reset(); }

    void deliversMessagesWholeAndInOrder_data();
    void deliversMessagesWholeAndInOrder();
    void inputReachesProcessAsUtf8WithItsLine();
    void destructionReleasesWaitingGet();
    void getReturningFalseEmitsNothingAndKeepsPolling();
    void oversizeReportIsDropped();
    void unconnectedWorkerMakesNoBlocks();
    void busyReceiverHoldsThePollerAtTheLimit();
    void createDestroyCyclesWithMessagesInFlight();
};

void TestQuorW::deliversMessagesWholeAndInOrder_data()
{
    QTest::addColumn<QList<QByteArray>>("sent");
    QTest::newRow("one byte") << QList<QByteArray>{QByteArray("x")};
    QTest::newRow("empty") << QList<QByteArray>{QByteArray()};
    QTest::newRow("largest") << QList<QByteArray>{QByteArray(15000, 'q')};
    QByteArray binary(300, '\0');
    for (int i = 0; i < binary.size(); ++i)
        binary[i] = static_cast<char>(i);
    QTest::newRow("binary, no terminator") << QList<QByteArray>{binary};
    QTest::newRow("back to back") << QList<QByteArray>{"first", "second", "third", "<t\0"};
}

void TestQuorW::deliversMessagesWholeAndInOrder()
{
    QFETCH(QList<QByteArray>, sent);
    Worker w;
    for (const QByteArray& message : sent)
        testengine::queue(message.constData(), static_cast<std::size_t>(message.size()));
    QTRY_COMPARE(w.receiver.messages.size(), sent.size());
    QCOMPARE(w.receiver.messages, sent);
}

void TestQuorW::inputReachesProcessAsUtf8WithItsLine()
{
    Worker w;
    const QString text = QStringLiteral("\u22d9 version\n<bird \u2192 animal>.");
    w.worker.input(text, 17);
    const auto inputs = testengine::inputs();
    QCOMPARE(inputs.size(), std::size_t(1));
    QCOMPARE(QByteArray::fromStdString(inputs.front().bytes), text.toUtf8());
    QVERIFY(inputs.front().bytes.rfind("\xE2\x8B\x99 version", 0) == 0);
    QCOMPARE(inputs.front().line, 17);
}

void TestQuorW::destructionReleasesWaitingGet()
{
    const int before = testengine::liveInstances();
    {
        Worker w;
        QTRY_COMPARE(testengine::waitingGets(), 1);
    }
    // The destructor returned, so the poller was joined.
    QCOMPARE(testengine::waitingGets(), 0);
    QCOMPARE(testengine::liveInstances(), before);
}

void TestQuorW::getReturningFalseEmitsNothingAndKeepsPolling()
{
    testengine::setMode(testengine::Mode::ReturnFalse);
    testengine::queue("never fetched");
    Worker w;
    const long long calls = testengine::getCalls();
    QTRY_VERIFY(testengine::getCalls() > calls + 1000);
    QTest::qWait(20);
    QVERIFY(w.receiver.messages.isEmpty());
    // Back to normal: the same thread still polls and delivers.
    testengine::setMode(testengine::Mode::Normal);
    QTRY_COMPARE(w.receiver.messages.size(), 1);
    QCOMPARE(w.receiver.messages.first(), QByteArray("never fetched"));
}

void TestQuorW::oversizeReportIsDropped()
{
    testengine::setMode(testengine::Mode::OversizeReport);
    testengine::setOversize(1u << 20);
    testengine::queue("claims to be a megabyte");
    Worker w;
    QTRY_COMPARE(testengine::pendingMessages(), std::size_t(0));
    testengine::setMode(testengine::Mode::Normal);
    testengine::queue("fine");
    QTRY_COMPARE(w.receiver.messages.size(), 1);
    QCOMPARE(w.receiver.messages.first(), QByteArray("fine"));
}

void TestQuorW::unconnectedWorkerMakesNoBlocks()
{
    // Nobody would free a block emitted without a receiver; the worker fetches the message and
    // drops it without allocating (a leak checker run of this test would see any block).
    QuorW worker;
    testengine::queue("lost");
    QTRY_COMPARE(testengine::pendingMessages(), std::size_t(0));
    Receiver receiver;
    QObject::connect(&worker, SIGNAL(output(const char*, size_t)), &receiver,
                     SLOT(output(const char*, size_t)));
    testengine::queue("seen");
    QTRY_COMPARE(receiver.messages.size(), 1);
    QCOMPARE(receiver.messages.first(), QByteArray("seen"));
    QObject::disconnect(&worker, nullptr, &receiver, nullptr);
}

void TestQuorW::busyReceiverHoldsThePollerAtTheLimit()
{
    // While this thread handles no events, the poller takes MaxInFlight messages and then
    // waits; once events flow, the rest arrives whole and in order.
    const int total = int(QuorW::MaxInFlight) * 3 + 17;
    std::vector<std::string> sent;
    for (int i = 0; i < total; ++i)
        sent.push_back("message " + std::to_string(i));
    Worker w;
    testengine::queueMany(sent);
    const std::size_t held = std::size_t(total - QuorW::MaxInFlight);
    QVERIFY(waitUntil([held] { return testengine::pendingMessages() <= held; }, 10000));
    QThread::msleep(100); // time to overrun the limit, if it were not kept
    QCOMPARE(testengine::pendingMessages(), held);
    QVERIFY(w.receiver.messages.isEmpty());

    QTRY_COMPARE(w.receiver.messages.size(), total);
    for (int i = 0; i < total; ++i)
        QCOMPARE(w.receiver.messages.at(i).toStdString(), sent[std::size_t(i)]);
}

void TestQuorW::createDestroyCyclesWithMessagesInFlight()
{
    for (int cycle = 0; cycle < 300; ++cycle) {
        Worker w;
        for (int i = 0; i < cycle % 4; ++i)
            testengine::queue(std::string(static_cast<std::size_t>(1 + cycle), 'm'));
        if (cycle % 3 == 0) {
            // The state passes through "neither" for an instant after each message is taken,
            // which QTRY_VERIFY's second look after success could see.
            QVERIFY(waitUntil([] {
                return testengine::waitingGets() == 1 || testengine::pendingMessages() > 0;
            }));
        }
        if (cycle % 5 == 0)
            QCoreApplication::processEvents();
    }
    // Every worker was joined: nothing waits any more, and every instance is gone.
    QCOMPARE(testengine::waitingGets(), 0);
    QCOMPARE(testengine::liveInstances(), 0);
    QCoreApplication::processEvents();
}

QTEST_GUILESS_MAIN(TestQuorW)
#include "tst_quorw.moc"
