// The C interface under threads: process() and get() at the same time, destroy_object() while
// get() waits, and calls on a handle that is gone.

#include "quorsession.h"

#include "quor.h"
#include "waituntil.h"

#include <QElapsedTimer>
#include <QtTest>

#include <atomic>
#include <future>
#include <thread>
#include <vector>

class TestQuorApi : public QObject {
    Q_OBJECT

private slots:
    void concurrentProcessAndGet();
    void destroyReleasesWaitingGet_data();
    void destroyReleasesWaitingGet();
    void destroyedHandle();
    void handlesAreNotReused();
    void instancesAreSeparate();
};

void TestQuorApi::concurrentProcessAndGet()
{
    constexpr int Writers = 4;
    constexpr int Inputs = 150;
    void* handle = create_object(1, 0);

    // One poller, as in the program: waits without limit and counts what arrives.
    std::atomic<int> times{0};
    std::atomic<int> oversized{0};
    std::atomic<int> other{0};
    std::thread poller([&] {
        std::vector<char> buffer(QUOR_MAX_MESSAGE);
        while (times.load() < Writers * Inputs) {
            size_t size = buffer.size();
            if (!get(handle, buffer.data(), &size, true, 0xFFFFFFFFu, 0))
                break;
            if (size > QUOR_MAX_MESSAGE)
                ++oversized;
            if (size >= 2 && buffer[0] == '<' && buffer[1] == 't')
                ++times;
            else
                ++other;
        }
    });
    std::vector<std::thread> writers;
    for (int w = 0; w < Writers; ++w) {
        writers.emplace_back([handle, w] {
            for (int i = 0; i < Inputs; ++i) {
                const QByteArray text =
                    QStringLiteral("<t%1_%2 → x>.\n<t%1_%2 → x>?").arg(w).arg(i).toUtf8();
                process(handle, text.constData(), 1, 0);
            }
        });
    }
    for (auto& writer : writers)
        writer.join();
    // A lost message would leave the poller waiting: give up after a while and release it.
    if (!waitUntil([&] { return times.load() >= Writers * Inputs; }, 30000))
        destroy_object(handle);
    poller.join();
    QCOMPARE(times.load(), Writers * Inputs);
    QCOMPARE(other.load(), Writers * Inputs); // one answer per input
    QCOMPARE(oversized.load(), 0);

    // Every judgement made it into the one memory.
    process(handle, "\xE2\x8B\x99 memory", 1, 0);
    std::vector<char> buffer(QUOR_MAX_MESSAGE);
    size_t size = buffer.size();
    QVERIFY(get(handle, buffer.data(), &size, false, 0, 0));
    const QString dump = payloadText(QByteArray(buffer.data(), int(size)));
    QVERIFY(dump.startsWith(QStringLiteral("// QUOR memory: %1 beliefs.").arg(Writers * Inputs)));
    destroy_object(handle);
}

void TestQuorApi::destroyReleasesWaitingGet_data()
{
    QTest::addColumn<quint32>("timeout");

    QTest::newRow("without limit") << 0xFFFFFFFFu;
    QTest::newRow("long limit") << 600000u;
}

void TestQuorApi::destroyReleasesWaitingGet()
{
    QFETCH(quint32, timeout);
    void* handle = create_object(1, 0);
    std::atomic<bool> waiting{false};
    auto result = std::async(std::launch::async, [&] {
        std::vector<char> buffer(QUOR_MAX_MESSAGE);
        size_t size = buffer.size();
        waiting = true;
        return get(handle, buffer.data(), &size, true, timeout, 0);
    });
    while (!waiting)
        std::this_thread::yield();
    QCOMPARE(result.wait_for(std::chrono::milliseconds(100)), std::future_status::timeout);
    QElapsedTimer timer;
    timer.start();
    QCOMPARE(destroy_object(handle), 0);
    QCOMPARE(result.wait_for(std::chrono::seconds(10)), std::future_status::ready);
    QCOMPARE(result.get(), false);
    QVERIFY(timer.elapsed() < 10000);
}

void TestQuorApi::destroyedHandle()
{
    void* handle = create_object(1, 0);
    process(handle, "<a \xE2\x86\x92 b>.", 1, 0); // leaves messages queued
    QCOMPARE(destroy_object(handle), 0);
    std::vector<char> buffer(QUOR_MAX_MESSAGE);
    size_t size = buffer.size();
    QElapsedTimer timer;
    timer.start();
    QVERIFY(!get(handle, buffer.data(), &size, true, 0xFFFFFFFFu, 0));
    QVERIFY(process(handle, "\xE2\x8B\x99 version", 1, 0) != 0);
    QVERIFY(destroy_object(handle) != 0);
    QVERIFY(!get(nullptr, buffer.data(), &size, true, 0xFFFFFFFFu, 0));
    QVERIFY(timer.elapsed() < 1000);
}

void TestQuorApi::handlesAreNotReused()
{
    QSet<void*> seen;
    for (int i = 0; i < 100; ++i) {
        void* handle = create_object(1, 0);
        QVERIFY(handle != nullptr);
        QVERIFY(!seen.contains(handle));
        seen.insert(handle);
        destroy_object(handle);
    }
}

void TestQuorApi::instancesAreSeparate()
{
    QuorSession first;
    QuorSession second;
    first.send(QStringLiteral("⋙ debug on\n<a → b>.\n<b → c>."));
    QCOMPARE(plainTexts(second.send(QStringLiteral("<a → c>?"))),
             QStringList{"No answer found for <a → c>?"});
    const auto replies = first.send(QStringLiteral("<a → c>?"));
    QCOMPARE(plainTexts(replies), QStringList{"Answer: <a → c>. {1.0 0.81}"});
    QCOMPARE(ofKind(replies, 'i').size(), 1);
    QCOMPARE(ofKind(second.send(QStringLiteral("<a → c>?")), 'i').size(), 0);
}

QTEST_GUILESS_MAIN(TestQuorApi)
#include "tst_quor_api.moc"
