// Framing and the simple message kinds that only add Output-dock text.

#include "messages.h"

#include <QtTest>

#include <cstring>
#include <memory>

Q_DECLARE_METATYPE(std::optional<QString>)

namespace {

QByteArray timeMessage(quint32 microseconds, quint32 cycles)
{
    QByteArray message("<t\0", 3);
    for (quint32 value : {microseconds, cycles}) {
        for (int i = 0; i < 4; ++i)
            message.append(static_cast<char>((value >> (8 * i)) & 0xff));
    }
    return message;
}

} // namespace

class TestMessages : public QObject {
    Q_OBJECT

private slots:
    void outputText_data();
    void outputText();
    void kinds_data();
    void kinds();
    void libraryVersion_data();
    void libraryVersion();
};

void TestMessages::outputText_data()
{
    QTest::addColumn<QByteArray>("message");
    QTest::addColumn<bool>("time");
    QTest::addColumn<bool>("internal");
    QTest::addColumn<std::optional<QString>>("expected");

    const std::optional<QString> none;
    auto text = [](const char* s) { return std::optional<QString>(QString::fromUtf8(s)); };

    QTest::newRow("empty message: empty line") << QByteArray() << true << false << text("");
    QTest::newRow("lone '<' is plain") << QByteArray("<") << true << false << text("<");
    QTest::newRow("plain with NUL")
        << QByteArray("hello\0tail", 10) << true << false << text("hello");
    QTest::newRow("plain without NUL") << QByteArray("hello") << true << false << text("hello");
    QTest::newRow("plain UTF-8") << QByteArray("bird \xE2\x86\x92 animal") << true << false
                                 << text("bird \xE2\x86\x92 animal");
    QTest::newRow("kind outside range")
        << QByteArray("<x?shown\0", 9) << true << false << text("shown");
    QTest::newRow("unassigned kind in range")
        << QByteArray("<d?shown") << true << false << text("shown");
    QTest::newRow("kind byte 0x80 and up")
        << QByteArray("<\xe2?shown") << true << false << text("shown");
    QTest::newRow("framed, payload empty") << QByteArray("<x") << true << false << text("");
    QTest::newRow("internal question on")
        << QByteArray("<i\0why?\0", 8) << false << true << text("why?");
    QTest::newRow("internal question off") << QByteArray("<i\0why?\0", 8) << true << false << none;
    QTest::newRow("time on") << timeMessage(15, 30) << true << false
                             << text("Elapsed time 15 \xCE\xBCs (30 cycles)");
    QTest::newRow("time, largest numbers") << timeMessage(0xffffffffu, 0x80000000u) << true << false
                                           << text("Elapsed time 4294967295 \xCE\xBCs "
                                                   "(2147483648 cycles)");
    QTest::newRow("time off") << timeMessage(15, 30) << false << true << none;
    QTest::newRow("time too short") << timeMessage(15, 30).left(10) << true << false << none;
    QTest::newRow("version") << QByteArray("<v\0 1.2.3 \0", 11) << false << false
                             << text("QUOR library version 1.2.3");
    QTest::newRow("error is not simple") << QByteArray("<e\0") << true << true << none;
    QTest::newRow("words are not simple") << QByteArray("<w\0") << true << true << none;
}

void TestMessages::outputText()
{
    QFETCH(QByteArray, message);
    QFETCH(bool, time);
    QFETCH(bool, internal);
    QFETCH(std::optional<QString>, expected);
    // A heap copy of exactly the message's size, so a read past the end is caught by a
    // sanitizer run.
    std::unique_ptr<char[]> block(new char[static_cast<std::size_t>(message.size())]);
    std::memcpy(block.get(), message.constData(), static_cast<std::size_t>(message.size()));
    const auto result =
        simpleOutputText(block.get(), static_cast<std::size_t>(message.size()), time, internal);
    QCOMPARE(result, expected);
}

void TestMessages::kinds_data()
{
    QTest::addColumn<QByteArray>("message");
    QTest::addColumn<int>("kind");
    QTest::newRow("c") << QByteArray("<c") << int(MessageKind::Compounds);
    QTest::newRow("e") << QByteArray("<e") << int(MessageKind::Error);
    QTest::newRow("i") << QByteArray("<i") << int(MessageKind::InternalQuestion);
    QTest::newRow("m") << QByteArray("<m") << int(MessageKind::Memory);
    QTest::newRow("n") << QByteArray("<n") << int(MessageKind::Inference);
    QTest::newRow("q") << QByteArray("<q") << int(MessageKind::Question);
    QTest::newRow("s") << QByteArray("<s") << int(MessageKind::Statements);
    QTest::newRow("t") << QByteArray("<t") << int(MessageKind::Time);
    QTest::newRow("v") << QByteArray("<v") << int(MessageKind::Version);
    QTest::newRow("w") << QByteArray("<w") << int(MessageKind::Words);
    QTest::newRow("upper case W") << QByteArray("<W") << int(MessageKind::Unassigned);
    QTest::newRow("b below range") << QByteArray("<b") << int(MessageKind::Unassigned);
    QTest::newRow("x above range") << QByteArray("<x") << int(MessageKind::Unassigned);
    QTest::newRow("one byte") << QByteArray("<") << int(MessageKind::Plain);
    QTest::newRow("no '<'") << QByteArray("w<") << int(MessageKind::Plain);
}

void TestMessages::kinds()
{
    QFETCH(QByteArray, message);
    QFETCH(int, kind);
    QCOMPARE(int(messageKind(message.constData(), static_cast<std::size_t>(message.size()))), kind);
}

void TestMessages::libraryVersion_data()
{
    QTest::addColumn<QByteArray>("message");
    QTest::addColumn<QString>("version");
    QTest::newRow("blanks trimmed") << QByteArray("<v\0 1.2.3 \0", 11) << "1.2.3";
    QTest::newRow("from the first '>'") << QByteArray("<v\0x>1.2\0", 9) << ">1.2";
    QTest::newRow("two '>'") << QByteArray("<v\0a>b>c", 8) << ">b>c";
    QTest::newRow("no payload") << QByteArray("<v") << "";
    QTest::newRow("no NUL") << QByteArray("<v\0"
                                          "2.0",
                                          6)
                            << "2.0";
}

void TestMessages::libraryVersion()
{
    QFETCH(QByteArray, message);
    QFETCH(QString, version);
    QCOMPARE(decodeLibraryVersion(message.constData(), static_cast<std::size_t>(message.size())),
             version);
}

QTEST_GUILESS_MAIN(TestMessages)
#include "tst_messages.moc"
