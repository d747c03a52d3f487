// The engine worker against the scriptable test engine. What the window's inputs become is
// checked with its commands, destruction with a get() waiting by the shutdown stress test.

#include "quorw.h"
#include "testengine.h"
#include "waituntil.h"

#include <QtTest>

#include <memory>

namespace {

// A worker connected to a receiver that collects every block in arrival order and frees it. On
// destruction the worker stops first; the blocks still queued are then delivered (and freed).
class Worker : public QObject {
    Q_OBJECT
public:
    QList<QByteArray> messages;
    std::unique_ptr<QuorW> worker = std::make_unique<QuorW>();
    explicit Worker(bool connected = true)
    {
        if (connected)
            connect(worker.get(), &QuorW::output, this, &Worker::output);
    }
    ~Worker() override
    {
        worker.reset();
        QCoreApplication::sendPostedEvents(this, QEvent::MetaCall);
    }
public slots:
    void output(const char* buffer, size_t size)
    {
        QuorW::takeOver(buffer);
        messages.append(QByteArray(buffer, int(size)));
        delete[] buffer;
    }
};

} // namespace

class TestQuorW : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { registerEngineMetaTypes(); }
    void init() { testengine::reset(); }

    void deliversMessagesWholeAndInOrder_data()
    {
        QTest::addColumn<QList<QByteArray>>("sent");
        QByteArray binary(300, '\0');
        for (int i = 0; i < binary.size(); ++i)
            binary[i] = char(i);
        QTest::newRow("one byte") << QList<QByteArray>{"x"};
        QTest::newRow("empty") << QList<QByteArray>{QByteArray()};
        QTest::newRow("largest") << QList<QByteArray>{QByteArray(15000, 'q')};
        QTest::newRow("binary, no terminator") << QList<QByteArray>{binary};
        QTest::newRow("back to back") << QList<QByteArray>{"first", "second", "third", "<t\0"};
    }
    void deliversMessagesWholeAndInOrder()
    {
        QFETCH(QList<QByteArray>, sent);
        Worker w;
        for (const QByteArray& message : sent)
            testengine::queue(message.constData(), std::size_t(message.size()));
        QTRY_COMPARE(w.messages, sent);
    }

    // get() returning false emits nothing and the poller goes on (sizes reported above the
    // capacity: see the hostile-engine test); without a receiver nothing is allocated (a leak
    // checker would see the block nobody frees). Back to normal, the same thread delivers again.
    void misbehavingGet_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<bool>("connected");
        QTest::newRow("returns false") << int(testengine::Mode::ReturnFalse) << true;
        QTest::newRow("no receiver") << int(testengine::Mode::Normal) << false;
    }
    void misbehavingGet()
    {
        QFETCH(int, mode);
        QFETCH(bool, connected);
        testengine::setMode(testengine::Mode(mode));
        testengine::queue("first");
        Worker w(connected);
        const long long calls = testengine::getCalls();
        if (mode == int(testengine::Mode::ReturnFalse))
            QTRY_VERIFY(testengine::getCalls() > calls + 1000);
        else // the message is taken and the poller waits in its next get()
            QTRY_VERIFY(testengine::pendingMessages() == 0 && testengine::waitingGets() == 1);
        // Whatever the poller emitted before that is queued by now.
        QCoreApplication::sendPostedEvents();
        QVERIFY(w.messages.isEmpty());
        testengine::setMode(testengine::Mode::Normal);
        QObject::connect(w.worker.get(), &QuorW::output, &w, &Worker::output, Qt::UniqueConnection);
        testengine::queue("second");
        QTRY_VERIFY(!w.messages.isEmpty());
        QCOMPARE(w.messages.first(),
                 QByteArray(mode == int(testengine::Mode::ReturnFalse) ? "first" : "second"));
    }

    // While this thread handles no events, the poller takes MaxInFlight messages and then waits
    // (an engine that floods once filled memory without end); once events flow, the rest
    // arrives whole and in order.
    void busyReceiverHoldsThePollerAtTheLimit()
    {
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
        QVERIFY(w.messages.isEmpty());
        QTRY_COMPARE(w.messages.size(), total);
        for (int i = 0; i < total; ++i)
            QCOMPARE(w.messages.at(i).toStdString(), sent[std::size_t(i)]);
    }
};

QTEST_GUILESS_MAIN(TestQuorW)
#include "tst_quorw.moc"
