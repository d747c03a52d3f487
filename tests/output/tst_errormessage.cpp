#include "errormessage.h"
#include "testmessages.h"

#include <QVariant>
#include <QtTest>

class TestErrorMessage : public QObject {
    Q_OBJECT

private slots:
    void decode_data();
    void decode();
    void listItem();
};

void TestErrorMessage::decode_data()
{
    QTest::addColumn<QByteArray>("message");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<quint32>("line");
    QTest::addColumn<quint32>("column");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("text");

    const auto error = [](quint32 line, quint32 column, char kind) {
        return MessageBuilder('e').u32(line).u32(column).u8(quint8(kind));
    };
    QTest::newRow("trimmed text") << error(4, 2, 1).text(" \t unknown term \n").bytes << true << 4u
                                  << 2u << 1 << "unknown term";
    QTest::newRow("non-ASCII, no NUL") << error(1, 7, 0).raw("\xe2\x87\x92 x").bytes << true << 1u
                                       << 7u << 0 << QString::fromUtf8("\xe2\x87\x92 x");
    QTest::newRow("largest numbers, flag byte 0xff")
        << error(0xffffffff, 0xfffffffe, '\xff').text("e").bytes << true << 0xffffffffu
        << 0xfffffffeu << 255 << "e";
    QTest::newRow("12 bytes: empty text") << error(3, 5, 2).bytes << true << 3u << 5u << 2 << "";
    QTest::newRow("11 bytes") << error(3, 5, 2).bytes.left(11) << false << 0u << 0u << 0 << "";
    QTest::newRow("empty") << QByteArray() << false << 0u << 0u << 0 << "";
}

void TestErrorMessage::decode()
{
    QFETCH(QByteArray, message);
    QFETCH(bool, valid);
    const HeapMessage heap(message);
    const std::optional<ErrorMessage> error = decodeErrorMessage(heap.data.get(), heap.size);
    QCOMPARE(error.has_value(), valid);
    if (!valid)
        return;
    QTEST(error->line, "line");
    QTEST(error->column, "column");
    QTEST(int(error->kind), "kind");
    QTEST(error->text, "text");
}

void TestErrorMessage::listItem()
{
    registerErrorListItem();
    QCOMPARE(QMetaType::type("ErrorListItem"), qMetaTypeId<ErrorListItem>());

    const ErrorListItem item = errorListItem({4, 2, 1, "x"}, "/tmp/a.quor");
    const ErrorListItem back = QVariant::fromValue(item).value<ErrorListItem>();
    QCOMPARE(back.line, 4);
    QCOMPARE(back.column, 2);
    QCOMPARE(back.fileName, QStringLiteral("/tmp/a.quor"));

    // Data of another type reads as the default entry.
    const ErrorListItem other = QVariant(QStringLiteral("text")).value<ErrorListItem>();
    QCOMPARE(other.line, -1);
    QCOMPARE(other.column, -1);
    QVERIFY(other.fileName.isEmpty());

    // Numbers beyond int stay beyond every document instead of wrapping to negative.
    const ErrorListItem far = errorListItem({0xffffffff, 0x80000000, 0, ""}, "new 1");
    QCOMPARE(far.line, INT_MAX);
    QCOMPARE(far.column, INT_MAX);
}

QTEST_GUILESS_MAIN(TestErrorMessage)
#include "tst_errormessage.moc"
