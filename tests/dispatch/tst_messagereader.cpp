// The bounds-checked reader every decoder goes through.

#include "messagereader.h"

#include <QtTest>

class TestMessageReader : public QObject {
    Q_OBJECT

private slots:
    void numbersAreLittleEndianAndUnaligned();
    void readsFailWithoutMovingAtTheEnd_data();
    void readsFailWithoutMovingAtTheEnd();
    void idFields_data();
    void idFields();
    void strings_data();
    void strings();
};

void TestMessageReader::numbersAreLittleEndianAndUnaligned()
{
    const QByteArray bytes = QByteArray::fromHex("ff0102030405060708090a0b0c");
    MessageReader reader(bytes.constData(), static_cast<std::size_t>(bytes.size()), 1);
    quint32 u32 = 0;
    quint64 u64 = 0;
    quint8 u8 = 0;
    QVERIFY(reader.readU32(u32));
    QCOMPARE(u32, 0x04030201u);
    QVERIFY(reader.readU64(u64));
    QCOMPARE(u64, Q_UINT64_C(0x0c0b0a0908070605));
    QVERIFY(!reader.readU8(u8));
    QVERIFY(reader.atEnd());
}

void TestMessageReader::readsFailWithoutMovingAtTheEnd_data()
{
    QTest::addColumn<int>("size");
    QTest::addColumn<int>("start");
    QTest::addColumn<QString>("read");
    QTest::newRow("u32 with 3 left") << 10 << 7 << "u32";
    QTest::newRow("u64 with 7 left") << 10 << 3 << "u64";
    QTest::newRow("u8 at end") << 4 << 4 << "u8";
    QTest::newRow("skip past end") << 4 << 2 << "skip3";
    QTest::newRow("seek past end") << 4 << 0 << "seek5";
    QTest::newRow("start beyond size clamps") << 4 << 9 << "u8";
}

void TestMessageReader::readsFailWithoutMovingAtTheEnd()
{
    QFETCH(int, size);
    QFETCH(int, start);
    QFETCH(QString, read);
    const QByteArray bytes(size, '\x7f');
    MessageReader reader(bytes.constData(), static_cast<std::size_t>(size),
                         static_cast<std::size_t>(start));
    const std::size_t before = reader.position();
    quint8 u8;
    quint32 u32;
    quint64 u64;
    bool ok = true;
    if (read == "u8")
        ok = reader.readU8(u8);
    else if (read == "u32")
        ok = reader.readU32(u32);
    else if (read == "u64")
        ok = reader.readU64(u64);
    else if (read == "skip3")
        ok = reader.skip(3);
    else if (read == "seek5")
        ok = reader.seek(5);
    QVERIFY(!ok);
    QCOMPARE(reader.position(), before);
    QVERIFY(reader.position() <= static_cast<std::size_t>(size));
}

void TestMessageReader::idFields_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("width");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<quint64>("value");
    QTest::addColumn<int>("position");
    QTest::newRow("width 8") << QByteArray::fromHex("0100000000000080") << 8 << true
                             << Q_UINT64_C(0x8000000000000001) << 8;
    QTest::newRow("width 12 reads the first 8")
        << QByteArray::fromHex("ff00000000000000eeeeeeee") << 12 << true << quint64(255) << 12;
    QTest::newRow("width 4 still needs 8 bytes")
        << QByteArray::fromHex("01000000") << 4 << false << quint64(0) << 0;
    QTest::newRow("width 4 advances by 4") << QByteArray::fromHex("0200000003000000") << 4 << true
                                           << Q_UINT64_C(0x0000000300000002) << 4;
    QTest::newRow("width 0 never succeeds")
        << QByteArray::fromHex("0100000000000000") << 0 << false << quint64(0) << 0;
    QTest::newRow("width 12 with 8 bytes")
        << QByteArray::fromHex("0100000000000000") << 12 << false << quint64(0) << 0;
}

void TestMessageReader::idFields()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, width);
    QFETCH(bool, ok);
    QFETCH(quint64, value);
    QFETCH(int, position);
    MessageReader reader(bytes.constData(), static_cast<std::size_t>(bytes.size()));
    quint64 id = 0;
    QCOMPARE(reader.readId(static_cast<std::size_t>(width), id), ok);
    if (ok)
        QCOMPARE(id, value);
    QCOMPARE(reader.position(), static_cast<std::size_t>(position));
}

void TestMessageReader::strings_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("cstringOk");
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<int>("positionAfterText");
    QTest::newRow("terminated") << QByteArray("ab\0cd", 5) << true << QByteArray("ab") << 3;
    QTest::newRow("unterminated") << QByteArray("abc") << false << QByteArray("abc") << 3;
    QTest::newRow("empty then more") << QByteArray("\0x", 2) << true << QByteArray() << 1;
    QTest::newRow("nothing left") << QByteArray() << false << QByteArray() << 0;
}

void TestMessageReader::strings()
{
    QFETCH(QByteArray, bytes);
    QFETCH(bool, cstringOk);
    QFETCH(QByteArray, text);
    QFETCH(int, positionAfterText);
    const auto size = static_cast<std::size_t>(bytes.size());
    {
        MessageReader reader(bytes.constData(), size);
        QByteArray value;
        QCOMPARE(reader.readCString(value), cstringOk);
        if (cstringOk)
            QCOMPARE(value, text);
        else
            QCOMPARE(reader.position(), std::size_t(0));
    }
    MessageReader reader(bytes.constData(), size);
    QCOMPARE(reader.readTextField(), text);
    QCOMPARE(reader.position(), static_cast<std::size_t>(positionAfterText));
    QCOMPARE(MessageReader::textField(bytes.constData(), size, size + 5), QByteArray());
    // The view reads the same field in place, and nothing past the message.
    const QByteArray view = MessageReader::textFieldView(bytes.constData(), size, 0);
    QCOMPARE(view, text);
    QVERIFY(view.isEmpty() || view.constData() == bytes.constData());
    QCOMPARE(MessageReader::textFieldView(bytes.constData(), size, size + 5), QByteArray());
}

QTEST_GUILESS_MAIN(TestMessageReader)
#include "tst_messagereader.moc"
