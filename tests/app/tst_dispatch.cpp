// Engine output reaching the window: framing, the simple kinds, the Time and Internal Question
// options, and the rule that every block is freed exactly once.

#include "dialogs.h"
#include "testmessages.h"
#include "windowtest.h"

#include <QListWidget>

#include <atomic>
#include <new>

// Counts the array deletions of one watched block; every other allocation passes through.
namespace {
std::atomic<const void*> watchedBlock{nullptr};
std::atomic<int> watchedDeletes{0};

void noteDelete(void* pointer)
{
    if (pointer && pointer == watchedBlock.load())
        ++watchedDeletes;
}
} // namespace

void operator delete[](void* pointer) noexcept
{
    noteDelete(pointer);
    std::free(pointer);
}

void operator delete[](void* pointer, std::size_t) noexcept
{
    noteDelete(pointer);
    std::free(pointer);
}

void* operator new[](std::size_t size)
{
    if (void* pointer = std::malloc(size ? size : 1))
        return pointer;
    throw std::bad_alloc();
}

using namespace windowtest;

namespace {

QByteArray framed(char kind, const QByteArray& payload)
{
    return MessageBuilder(kind).raw(payload).bytes;
}

QByteArray timeMessage(quint32 microseconds, quint32 cycles)
{
    return MessageBuilder('t').u32(microseconds).u32(cycles).bytes;
}

} // namespace

class TestDispatch : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        setUpEnvironment(settingsDir);
        // A memory dump asks for a file name: cancel.
        Dialogs::setSaveFileNameResponder([](const QString&, const QString&) { return QString(); });
    }
    void init() { clearSettings(); }

    void outputDock_data();
    void outputDock();
    void everyBlockFreedExactlyOnce_data();
    void everyBlockFreedExactlyOnce();
    void versionIsRecorded();
    void engineMessagesArriveInOrder();
    void clearOutputEmptiesOutputAndErrorDocks();

private:
    QTemporaryDir settingsDir;
};

void TestDispatch::outputDock_data()
{
    QTest::addColumn<QByteArray>("message");
    QTest::addColumn<bool>("time");
    QTest::addColumn<bool>("internal");
    QTest::addColumn<QStringList>("added");

    const QByteArray fifteenAndThirty = timeMessage(15, 30);
    QTest::newRow("plain") << QByteArray("hello\0", 6) << true << false << QStringList{"hello"};
    QTest::newRow("empty message") << QByteArray() << true << false << QStringList{""};
    QTest::newRow("lone <") << QByteArray("<") << true << false << QStringList{"<"};
    QTest::newRow("two lines") << QByteArray("one\ntwo") << true << false
                               << QStringList{"one", "two"};
    QTest::newRow("kind x") << framed('x', "from three") << true << false
                            << QStringList{"from three"};
    QTest::newRow("kind d") << framed('d', "from three") << true << false
                            << QStringList{"from three"};
    QTest::newRow("time on") << fifteenAndThirty << true << false
                             << QStringList{QStringLiteral("Elapsed time 15 \u03bcs (30 cycles)")};
    QTest::newRow("time off") << fifteenAndThirty << false << false << QStringList{};
    QTest::newRow("short time") << MessageBuilder('t').u32(15).bytes << true << false
                                << QStringList{};
    QTest::newRow("internal on") << framed('i', "why?") << false << true << QStringList{"why?"};
    QTest::newRow("internal off") << framed('i', "why?") << true << false << QStringList{};
    QTest::newRow("version") << framed('v', " 1.2.3 ") << false << false
                             << QStringList{"QUOR library version 1.2.3"};
    QTest::newRow("memory is not shown") << QByteArray() + "<m" << true << true << QStringList{};
}

void TestDispatch::outputDock()
{
    QFETCH(QByteArray, message);
    QFETCH(bool, time);
    QFETCH(bool, internal);
    QFETCH(QStringList, added);
    auto window = makeWindow();
    child<QAction>(window.get(), "actionTime")->setChecked(time);
    child<QAction>(window.get(), "actionInternal_Question")->setChecked(internal);
    const QStringList before = outputLines(window.get());
    deliver(window.get(), message);
    QCOMPARE(outputLines(window.get()), before + added);
}

void TestDispatch::everyBlockFreedExactlyOnce_data()
{
    QTest::addColumn<QByteArray>("message");
    QTest::newRow("plain") << QByteArray("text");
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("unassigned") << framed('x', "text");
    QTest::newRow("dropped time") << timeMessage(1, 2);
    QTest::newRow("dropped internal") << framed('i', "q");
    QTest::newRow("short time") << QByteArray("<t");
    QTest::newRow("version") << framed('v', "1");
    QTest::newRow("short error") << QByteArray("<e");
    QTest::newRow("empty words") << framed('w', QByteArray(4, '\0'));
    QTest::newRow("short question tree") << QByteArray("<q");
    QTest::newRow("short inference graph") << QByteArray("<n");
}

void TestDispatch::everyBlockFreedExactlyOnce()
{
    QFETCH(QByteArray, message);
    auto window = makeWindow();
    child<QAction>(window.get(), "actionTime")->setChecked(false);
    char* block = new char[static_cast<std::size_t>(message.size())];
    std::memcpy(block, message.constData(), static_cast<std::size_t>(message.size()));
    watchedBlock = block;
    watchedDeletes = 0;
    QMetaObject::invokeMethod(window.get(), "output", Qt::DirectConnection,
                              Q_ARG(const char*, block),
                              Q_ARG(size_t, static_cast<size_t>(message.size())));
    watchedBlock = nullptr;
    QCOMPARE(watchedDeletes.load(), 1);
}

void TestDispatch::versionIsRecorded()
{
    auto window = makeWindow();
    deliver(window.get(), framed('v', "x>1.2"));
    QCOMPARE(outputLines(window.get()).last(), QStringLiteral("QUOR library version >1.2"));
    deliver(window.get(), framed('v', "2.0"));
    QCOMPARE(outputLines(window.get()).last(), QStringLiteral("QUOR library version 2.0"));
}

void TestDispatch::engineMessagesArriveInOrder()
{
    auto window = makeWindow();
    const int before = outputLines(window.get()).size();
    for (int i = 0; i < 50; ++i)
        testengine::queue(QStringLiteral("line %1").arg(i).toStdString());
    QTRY_COMPARE(outputLines(window.get()).size(), before + 50);
    const QStringList lines = outputLines(window.get()).mid(before);
    for (int i = 0; i < 50; ++i)
        QCOMPARE(lines.at(i), QStringLiteral("line %1").arg(i));
}

void TestDispatch::clearOutputEmptiesOutputAndErrorDocks()
{
    auto window = makeWindow();
    deliver(window.get(), QByteArray("something"));
    child<QListWidget>(window.get(), "listWidget")->addItem(QStringLiteral("an error"));
    child<QAction>(window.get(), "actionClear_Output")->trigger();
    QCOMPARE(child<QPlainTextEdit>(window.get(), "plainTextEdit")->toPlainText(), QString());
    QCOMPARE(child<QListWidget>(window.get(), "listWidget")->count(), 0);
    QCOMPARE(engineInputs().size(), 1); // nothing sent to the engine
}

QTEST_MAIN(TestDispatch)
#include "tst_dispatch.moc"
