#include "termtable.h"
#include "termtablefiller.h"
#include "testmessages.h"

#include <QHeaderView>
#include <QTableWidget>
#include <QtTest>

class TestTermTable : public QObject {
    Q_OBJECT

private slots:
    void decode_data();
    void decode();
    void fill_data();
    void fill();
};

static QByteArray words(const QVector<QPair<quint64, QByteArray>>& records,
                        const QByteArray& tail = {})
{
    MessageBuilder message('w');
    message.raw(QByteArray(4, '\0'));
    for (const auto& record : records)
        message.u64(record.first).text(record.second);
    return message.raw(tail).bytes;
}

void TestTermTable::decode_data()
{
    QTest::addColumn<QByteArray>("message");
    QTest::addColumn<QString>("records");

    QTest::newRow("7 bytes") << words({}) << "";
    QTest::newRow("shorter than 7 bytes") << QByteArray("<w") << "";
    QTest::newRow("one byte of an id") << words({}, "\x01") << "";
    QTest::newRow("ids 0, 255 and the largest")
        << words({{0, "zero"}, {255, "x"}, {~0ull, "max"}}) << "0:zero|ff:x|ffffffffffffffff:max";
    QTest::newRow("non-ASCII name, then the next record")
        << words({{1, "\xcf\x89 \xe2\x87\x92 \xe2\x88\xa7"}, {2, "next"}})
        << QString::fromUtf8("1:\xcf\x89 \xe2\x87\x92 \xe2\x88\xa7|2:next");
    QTest::newRow("empty name") << words({{3, ""}}) << "3:";
    QTest::newRow("id cut off") << words({{1, "a"}}, QByteArray(7, '\x02')) << "1:a";
    QTest::newRow("name without NUL") << words({{1, "a"}}, QByteArray(8, '\x02') + "b") << "1:a";
}

void TestTermTable::decode()
{
    QFETCH(QByteArray, message);
    const HeapMessage heap(message);
    QStringList records;
    for (const TermRecord& record : decodeTermRecords(heap.data.get(), heap.size))
        records << termIdText(record.id) + ':' + record.name;
    QTEST(records.join('|'), "records");
}

void TestTermTable::fill_data()
{
    QTest::addColumn<QByteArray>("message");
    QTest::addColumn<QString>("rows");

    QTest::newRow("sorted by name, ids kept")
        << words({{0x1, "zebra"}, {0x2, "apple"}}) << "2:apple|1:zebra";
    QTest::newRow("ids sort with their names")
        << words({{255, "b"}, {~0ull, "a"}, {0, "c"}}) << "ffffffffffffffff:a|ff:b|0:c";
    QTest::newRow("7 bytes empty the table") << words({}) << "";
}

void TestTermTable::fill()
{
    QFETCH(QByteArray, message);
    QTableWidget table(0, 2);
    table.setFont(QFont(table.font().family(), 40));
    // A first message whose rows must all be replaced.
    const QByteArray first = words({{7, "old"}, {8, "older"}, {9, "oldest"}, {10, "x"}});
    fillTermTable(&table, decodeTermRecords(first.constData(), first.size()));
    QCOMPARE(table.rowCount(), 4);

    fillTermTable(&table, decodeTermRecords(message.constData(), message.size()));
    QStringList rows;
    for (int row = 0; row < table.rowCount(); ++row) {
        QCOMPARE(table.rowHeight(row), 20);
        QCOMPARE(table.item(row, 0)->type(), int(QTableWidgetItem::Type));
        QCOMPARE(table.item(row, 1)->type(), int(QTableWidgetItem::Type));
        rows << table.item(row, 0)->text() + ':' + table.item(row, 1)->text();
    }
    QTEST(rows.join('|'), "rows");
    QVERIFY(table.isSortingEnabled());
    QCOMPARE(table.horizontalHeader()->sortIndicatorSection(), 1);
    QCOMPARE(table.horizontalHeader()->sortIndicatorOrder(), Qt::AscendingOrder);
}

QTEST_MAIN(TestTermTable)
#include "tst_termtable.moc"
