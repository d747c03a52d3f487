#include "questiontree.h"
#include "testmessages.h"

#include <QtTest>

class TestQuestionTree : public QObject {
    Q_OBJECT

private slots:
    void golden_data();
    void golden();
    void truncated_data() { golden_data(); }
    void truncated();
    void walk_data();
    void walk();
    void malformed_data();
    void malformed();
};

static QString linkText(const QVector<DerivationLink>& links)
{
    QStringList pairs;
    for (const DerivationLink& link : links)
        pairs << QStringLiteral("%1>%2").arg(link.parent).arg(link.child);
    return pairs.join(' ');
}

// "0>1 1>2" as a message with those links and nothing else.
static QByteArray linkMessage(const QString& links)
{
    const QStringList pairs = links.split(' ', Qt::SkipEmptyParts);
    MessageBuilder message('q');
    message.u32(8).u32(pairs.size()).u32(0).u32(0);
    for (const QString& pair : pairs)
        message.u64(pair.section('>', 0, 0).toULongLong()).u64(pair.section('>', 1).toULongLong());
    return message.bytes;
}

void TestQuestionTree::golden_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("root with two children") << "question_two_children";
    QTest::newRow("columns, colours, numbers, escaping, no tree") << "question_mixed";
}

void TestQuestionTree::golden()
{
    QFETCH(QString, name);
    const QByteArray message = hexMessage(name + ".hex");
    const QByteArray expected = testDataFile(name + ".svg");
    QVERIFY(!message.isEmpty() && !expected.isEmpty());
    const HeapMessage heap(message);
    QCOMPARE(questionTreeSvg(decodeQuestionTree(heap.data.get(), heap.size)),
             QString::fromUtf8(expected));
}

// Every shorter message decodes to a leading part of the full one and still draws a document.
void TestQuestionTree::truncated()
{
    QFETCH(QString, name);
    const QByteArray message = hexMessage(name + ".hex");
    const QuestionTree full = decodeQuestionTree(message.constData(), message.size());
    for (int size = 0; size < message.size(); ++size) {
        const HeapMessage heap(message, size);
        const QuestionTree tree = decodeQuestionTree(heap.data.get(), heap.size);
        QCOMPARE(tree.links, full.links.mid(0, tree.links.size()));
        for (auto node = tree.nodes.cbegin(); node != tree.nodes.cend(); ++node)
            QCOMPARE(node.value().label, full.nodes.value(node.key()).label);
        QVERIFY2(wellFormed(questionTreeSvg(tree)), qPrintable(QString::number(size)));
    }
}

void TestQuestionTree::walk_data()
{
    QTest::addColumn<QString>("links");
    QTest::addColumn<QString>("edges");
    QTest::newRow("breadth first, record order") << "1>3 0>2 0>1 2>4"
                                                 << "0>2 0>1 2>4 1>3";
    QTest::newRow("cycle") << "0>1 1>2 2>1 2>2"
                           << "0>1 1>2";
    QTest::newRow("shared child") << "0>1 0>2 1>3 2>3"
                                  << "0>1 0>2 1>3";
    QTest::newRow("repeated link") << "0>1 0>1"
                                   << "0>1";
    QTest::newRow("root as child") << "0>0 0>1 1>0"
                                   << "0>1";
    QTest::newRow("nothing reached") << "5>6 6>5"
                                     << "";
}

void TestQuestionTree::walk()
{
    QFETCH(QString, links);
    const QByteArray message = linkMessage(links);
    const QuestionTree tree = decodeQuestionTree(message.constData(), message.size());
    const QuestionTreeLayout layout = layoutQuestionTree(tree);
    QTEST(linkText(layout.edges), "edges");
    // One box per child met, in walk order.
    QCOMPARE(layout.order.size(), layout.edges.size());
    for (int i = 0; i < layout.order.size(); ++i)
        QCOMPARE(layout.order[i], layout.edges[i].child);
    const QString svg = questionTreeSvg(tree);
    QCOMPARE(svg.count(QLatin1String("<g>")), layout.edges.size());
    if (layout.edges.isEmpty())
        QCOMPARE(svg, "<svg width=\"80\" height=\"40\" xmlns=\"http://www.w3.org/2000/svg\" "
                      "version=\"1.1\">\n</svg>");
}

void TestQuestionTree::malformed_data()
{
    QTest::addColumn<QByteArray>("message");
    QTest::addColumn<QString>("links");
    QTest::addColumn<int>("nodes");

    const auto header = [](quint32 a, quint32 nb, quint32 nl, quint32 na) {
        return MessageBuilder('q').u32(a).u32(nb).u32(nl).u32(na);
    };
    QTest::newRow("shorter than the header") << header(8, 0, 0, 0).bytes.left(18) << "" << 1;
    QTest::newRow("huge link count")
        << header(8, 0xffffffff, 0, 0).u64(0).u64(1).bytes << "0>1" << 1;
    QTest::newRow("link cut off") << header(8, 2, 0, 0).u64(0).u64(1).u64(0).bytes << "0>1" << 1;
    QTest::newRow("id width 0") << header(0, 1, 0, 0).u64(0).u64(1).bytes << "" << 1;
    QTest::newRow("huge id width") << header(0xffffffff, 1, 0, 0).u64(0).u64(1).bytes << "" << 1;
    // A narrow id field still yields the 64-bit number in the field's first 8 bytes.
    QTest::newRow("id width 4") << header(4, 2, 0, 0).u32(0).u32(1).u32(0).u32(2).bytes
                                << "4294967296>1" << 1;
    QTest::newRow("huge label count")
        << header(8, 0, 0xffffffff, 0).u64(7).text("seven").u64(8).raw("eight").bytes << "" << 2;
    QTest::newRow("huge attribute count")
        << header(8, 0, 0, 0xffffffff).u64(7).u64(0x104).u64(8).bytes << "" << 2;
}

void TestQuestionTree::malformed()
{
    QFETCH(QByteArray, message);
    const HeapMessage heap(message);
    const QuestionTree tree = decodeQuestionTree(heap.data.get(), heap.size);
    QTEST(linkText(tree.links), "links");
    QTEST(tree.nodes.size(), "nodes");
    QCOMPARE(tree.nodes.value(0).label, QByteArray("root"));
    QVERIFY(wellFormed(questionTreeSvg(tree)));
}

QTEST_GUILESS_MAIN(TestQuestionTree)
#include "tst_questiontree.moc"
