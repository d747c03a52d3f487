#include "inferencegraph.h"
#include "testmessages.h"

#include <QtTest>

class TestInferenceGraph : public QObject {
    Q_OBJECT

private slots:
    void golden_data();
    void golden();
    void truncated_data() { golden_data(); }
    void truncated();
    void lines();
    void malformed_data();
    void malformed();
};

void TestInferenceGraph::golden_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("one inference, a missing text, escaping") << "inference_missing_text";
    QTest::newRow("two inferences, a missing operation") << "inference_two";
}

void TestInferenceGraph::golden()
{
    QFETCH(QString, name);
    const QByteArray message = hexMessage(name + ".hex");
    const QByteArray expected = testDataFile(name + ".svg");
    QVERIFY(!message.isEmpty() && !expected.isEmpty());
    const HeapMessage heap(message);
    QCOMPARE(inferenceGraphSvg(decodeInferenceGraph(heap.data.get(), heap.size)),
             QString::fromUtf8(expected));
}

// Every shorter message decodes to a leading part of the full one and still draws a document.
void TestInferenceGraph::truncated()
{
    QFETCH(QString, name);
    const QByteArray message = hexMessage(name + ".hex");
    const InferenceGraph full = decodeInferenceGraph(message.constData(), message.size());
    for (int size = 0; size < message.size(); ++size) {
        const HeapMessage heap(message, size);
        const InferenceGraph graph = decodeInferenceGraph(heap.data.get(), heap.size);
        QVERIFY(graph.inferences.size() <= full.inferences.size());
        for (int i = 0; i < graph.inferences.size(); ++i) {
            QCOMPARE(graph.inferences[i].items, full.inferences[i].items);
            QCOMPARE(graph.inferences[i].operation, full.inferences[i].operation);
        }
        for (auto text = graph.texts.cbegin(); text != graph.texts.cend(); ++text)
            QCOMPARE(text.value(), full.texts.value(text.key()));
        QVERIFY2(wellFormed(inferenceGraphSvg(graph)), qPrintable(QString::number(size)));
    }
}

void TestInferenceGraph::lines()
{
    const QByteArray message = MessageBuilder('n')
                                   .u32(8)
                                   .u32(19 + 4 + 32 + 4)
                                   .u32(3)
                                   .u32(1)
                                   .u32(4)
                                   .u64(1)
                                   .u64(2)
                                   .u64(3)
                                   .u64(4)
                                   .u32(0x7)
                                   .u64(1)
                                   .text("a")
                                   .u64(3)
                                   .text("b")
                                   .u64(4)
                                   .text("c")
                                   .u32(0x7)
                                   .text("100%1 x<y")
                                   .text("%2 & more")
                                   .bytes;
    const InferenceGraph graph = decodeInferenceGraph(message.constData(), message.size());
    // The name goes in as it is, the description escaped; placeholders in either stay as text.
    QCOMPARE(inferenceLines(graph, 0), QStringList({"Level: 0 Op: 0x7: 100%1 x<y %2 &amp; more",
                                                    "J:    a", "J1: b", "J2: c"}));
    QCOMPARE(inferenceGraphSvg(InferenceGraph()),
             "<svg width=\"60\" height=\"90\" xmlns=\"http://www.w3.org/2000/svg\" "
             "version=\"1.1\">\n</svg>");
}

void TestInferenceGraph::malformed_data()
{
    QTest::addColumn<QByteArray>("message");
    QTest::addColumn<int>("inferences");
    QTest::addColumn<int>("texts");
    QTest::addColumn<int>("operations");

    const auto header = [](quint32 a, quint32 e, quint32 nt, quint32 no) {
        return MessageBuilder('n').u32(a).u32(e).u32(nt).u32(no);
    };
    QTest::newRow("shorter than the header") << header(8, 0, 0, 0).bytes.left(18) << 0 << 0 << 0;
    QTest::newRow("end of records beyond the message")
        << header(8, 0xffffffff, 0, 0).u32(1).u64(5).u32(1).bytes << 1 << 0 << 0;
    QTest::newRow("huge item count")
        << header(8, 100, 0, 0).u32(0xffffffff).u64(5).bytes << 0 << 0 << 0;
    QTest::newRow("items one short")
        << header(8, 100, 0, 0).u32(2).u64(5).u32(1).bytes << 0 << 0 << 0;
    QTest::newRow("record crossing the end offset is read whole")
        << header(8, 20, 1, 0).u32(1).u64(5).u32(1).u64(5).text("t").bytes << 1 << 1 << 0;
    QTest::newRow("id width 0 stops at the texts")
        << header(0, 19, 1, 1).u64(5).text("t").u32(1).text("op").text("d").bytes << 0 << 0 << 0;
    QTest::newRow("huge id width")
        << header(0xffffffff, 19, 1, 0).u64(5).text("t").bytes << 0 << 0 << 0;
    QTest::newRow("huge counts end with the message")
        << header(8, 19, 0xffffffff, 0xffffffff).u64(5).text("t").bytes << 0 << 1 << 0;
    QTest::newRow("text without its NUL")
        << header(8, 19, 1, 0).u64(5).raw("t").bytes << 0 << 0 << 0;
    QTest::newRow("operation without description")
        << header(8, 19, 0, 2).u32(1).text("a").text("b").u32(2).text("c").bytes << 0 << 0 << 1;
}

void TestInferenceGraph::malformed()
{
    QFETCH(QByteArray, message);
    const HeapMessage heap(message);
    const InferenceGraph graph = decodeInferenceGraph(heap.data.get(), heap.size);
    QTEST(graph.inferences.size(), "inferences");
    QTEST(graph.texts.size(), "texts");
    QTEST(graph.operations.size(), "operations");
    QVERIFY(wellFormed(inferenceGraphSvg(graph)));
}

QTEST_GUILESS_MAIN(TestInferenceGraph)
#include "tst_inferencegraph.moc"
