// The engine worker with the stand-in engine: shutdown while the poller waits, messages in
// flight and input being processed.

#include "quor.h"
#include "quorw.h"

#include <QtTest>

#include <memory>

namespace {

class Counter : public QObject {
    Q_OBJECT
public:
    int count = 0;
public slots:
    void output(const char* buffer, size_t)
    {
        QuorW::takeOver(buffer);
        delete[] buffer;
        ++count;
    }
};

} // namespace

class TestQuorWRealEngine : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { registerEngineMetaTypes(); }
    void versionRoundTrip();
    void manyCyclesNeitherHangNorTouchFreedInstances();
    void callsOnDestroyedHandleReturnAtOnce();
};

void TestQuorWRealEngine::versionRoundTrip()
{
    QList<QByteArray> messages;
    QObject context;
    {
        QuorW worker;
        QObject::connect(&worker, &QuorW::output, &context, [&](const char* buffer, size_t size) {
            QuorW::takeOver(buffer);
            const std::unique_ptr<const char[]> owner(buffer);
            messages.append(QByteArray(buffer, static_cast<int>(size)));
        });
        worker.input(QStringLiteral("\u22d9 version"), 1);
        QTRY_VERIFY(!messages.isEmpty());
    }
    QCoreApplication::sendPostedEvents(&context, QEvent::MetaCall);
    QVERIFY(messages.first().startsWith(QByteArray("<v", 2)));
}

void TestQuorWRealEngine::manyCyclesNeitherHangNorTouchFreedInstances()
{
    // Run under a sanitizer this also proves that no get() starts on freed memory.
    QElapsedTimer timer;
    timer.start();
    for (int cycle = 0; cycle < 1000; ++cycle) {
        Counter counter;
        {
            QuorW worker;
            QObject::connect(&worker, SIGNAL(output(const char*, size_t)), &counter,
                             SLOT(output(const char*, size_t)));
            if (cycle % 2 == 0)
                worker.input(QStringLiteral("\u22d9 version"), 1);
            if (cycle % 7 == 0)
                QCoreApplication::processEvents();
        }
        // The worker is gone; blocks still queued reach the counter, which frees them.
        QCoreApplication::sendPostedEvents(&counter, QEvent::MetaCall);
    }
    QVERIFY2(timer.elapsed() < 60000, "shutdown took far too long");
}

void TestQuorWRealEngine::callsOnDestroyedHandleReturnAtOnce()
{
    void* handle = create_object(1, 0);
    QCOMPARE(destroy_object(handle), 0);
    char buffer[16];
    std::size_t size = sizeof buffer;
    QElapsedTimer timer;
    timer.start();
    QVERIFY(!get(handle, buffer, &size, true, 0xFFFFFFFFu, 0));
    QVERIFY(timer.elapsed() < 1000);
    QVERIFY(process(handle, "\xE2\x8B\x99 version", 1, 0) != 0);
    QVERIFY(destroy_object(handle) != 0);
}

QTEST_GUILESS_MAIN(TestQuorWRealEngine)
#include "tst_quorw_realengine.moc"
