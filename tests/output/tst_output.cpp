// Engine output: the bounds-checked reader, every message kind's decoder (one table of messages
// and what the program reads from them), the graphs' SVG against golden files and as XML
// whatever the engine sends, the term tables, and the Output dock's batches and scrollback limit.

#include "privateenvironment.h"
#include "testmessages.h"

#include "dispatch.h"
#include "memorydump.h"
#include "messagereader.h"
#include "outputappender.h"
#include "runrecord.h"
#include "scrollbacklimit.h"
#include "svgwriter.h"
#include "xmltext.h"

#include <QPlainTextEdit>
#include <QScrollBar>
#include <QSettings>
#include <QTextBlock>
#include <QtTest>

namespace {

QString links(const QVector<DerivationLink>& list)
{
    QStringList pairs;
    for (const DerivationLink& link : list)
        pairs << QStringLiteral("%1>%2").arg(link.parent).arg(link.child);
    return pairs.join(' ');
}

// What the program reads from a message, as one line: the kind, then the decoded fields.
QString read(const QByteArray& message)
{
    const HeapMessage heap(message); // exact size: a read past the end fails under ASan
    const char* data = heap.data.get();
    const std::size_t size = heap.size;
    switch (messageKind(data, size)) {
    case MessageKind::Error: {
        const auto e = decodeErrorMessage(data, size);
        return e ? QStringLiteral("e %1:%2 %3 [%4]")
                       .arg(e->line)
                       .arg(e->column)
                       .arg(e->kind)
                       .arg(e->text)
                 : QStringLiteral("e none");
    }
    case MessageKind::Words:
    case MessageKind::Compounds:
    case MessageKind::Statements: {
        QStringList records;
        for (const TermRecord& record : decodeTermRecords(data, size))
            records << termIdText(record.id) + ':' + record.name;
        return QStringLiteral("%1 %2").arg(message[1]).arg(records.join('|'));
    }
    case MessageKind::Memory:
        return QStringLiteral("m ") + decodeMemoryDump(data, size).toHex();
    case MessageKind::Question: {
        const QuestionTree tree = decodeQuestionTree(data, size);
        return QStringLiteral("q %1 nodes %2 %3")
            .arg(links(tree.links))
            .arg(tree.nodes.size())
            .arg(QString::fromUtf8(tree.nodes.value(0).label));
    }
    case MessageKind::Inference: {
        const InferenceGraph graph = decodeInferenceGraph(data, size);
        return QStringLiteral("n %1 %2 %3")
            .arg(graph.inferences.size())
            .arg(graph.texts.size())
            .arg(graph.operations.size());
    }
    case MessageKind::Version:
        return QStringLiteral("v ") + decodeLibraryVersion(data, size) + '|' +
               outputText(decodeMessage(data, size), {false, false}).value_or("-");
    default: { // the simple kinds, with Time on and Internal Question off, then the other way
        const QString kind = messageKind(data, size) == MessageKind::Plain ? "plain" : "other";
        const DecodedMessage decoded = decodeMessage(data, size);
        return kind + ' ' + outputText(decoded, {true, false}).value_or("-") + '|' +
               outputText(decoded, {false, true}).value_or("-");
    }
    }
}

void golden_data()
{
    QTest::addColumn<QString>("name");
    for (const QString& path : graphGoldenFiles())
        QTest::newRow(qPrintable(QFileInfo(path).fileName())) << path;
    QVERIFY(graphGoldenFiles().size() >= 4);
}

// The document of a graph message's drawing.
QString svg(const QByteArray& message)
{
    const HeapMessage heap(message);
    const DecodedMessage decoded = decodeMessage(heap.data.get(), heap.size);
    if (const auto* tree = std::get_if<QuestionTree>(&decoded))
        return svgDocument(questionTreeDrawing(*tree));
    return svgDocument(inferenceGraphDrawing(std::get<InferenceGraph>(decoded)));
}

// The texts of the document's text elements, or the parse error.
QStringList svgTexts(const QString& svg)
{
    QXmlStreamReader reader(svg);
    QStringList texts;
    while (!reader.atEnd())
        if (reader.readNext() == QXmlStreamReader::StartElement &&
            reader.name() == QLatin1String("text"))
            texts.append(reader.readElementText());
    if (reader.hasError())
        return {QStringLiteral("error: ") + reader.errorString()};
    return texts;
}

} // namespace

class TestOutput : public QObject {
    Q_OBJECT
    PrivateEnvironment environment;

private slots:

    void reader()
    {
        const QByteArray bytes = QByteArray::fromHex("ff0102030405060708090a0b0c");
        MessageReader reader(bytes.constData(), std::size_t(bytes.size()), 1);
        quint32 u32 = 0;
        quint64 u64 = 0;
        quint8 u8 = 0;
        QVERIFY(reader.readU32(u32) && reader.readU64(u64));
        QCOMPARE(u32, 0x04030201u); // little-endian and unaligned
        QCOMPARE(u64, Q_UINT64_C(0x0c0b0a0908070605));
        QVERIFY(!reader.readU8(u8) && reader.atEnd());
        // Failed reads do not move; an id field of width w needs 8 bytes and advances by w.
        MessageReader cut(bytes.constData(), 10, 3);
        QVERIFY(!cut.readU64(u64) && !cut.skip(8) && !cut.seek(11) && !cut.readId(4, u64));
        QCOMPARE(cut.position(), std::size_t(3));
        MessageReader ids(bytes.constData(), std::size_t(bytes.size()), 1);
        QVERIFY(!ids.readId(0, u64));
        QVERIFY(ids.readId(4, u64) && u64 == Q_UINT64_C(0x0807060504030201));
        QCOMPARE(ids.position(), std::size_t(5));
        QVERIFY(!ids.readId(12, u64) && ids.position() == 5);
        QVERIFY(ids.readId(8, u64) && ids.position() == 13);
        QCOMPARE(MessageReader(bytes.constData(), 4, 9).position(), std::size_t(4));
        // Text fields end at the NUL or the message's end; a C string needs its NUL.
        const QByteArray text("ab\0cd", 5);
        MessageReader strings(text.constData(), 5);
        QByteArray value;
        QVERIFY(strings.readCString(value) && value == "ab" && strings.position() == 3);
        QVERIFY(!strings.readCString(value) && strings.position() == 3);
        QCOMPARE(strings.readTextField(), QByteArray("cd"));
        MessageReader fields(text.constData(), 5);
        QVERIFY(fields.readTextField() == "ab" && fields.position() == 3); // past its NUL
        QCOMPARE(MessageReader::textField(text.constData(), 5, 10), QByteArray());
        const QByteArray view = MessageReader::textFieldView(text.constData(), 5, 0);
        QVERIFY(view == "ab" && view.constData() == text.constData()); // shares the bytes
        QCOMPARE(MessageReader::textFieldView(text.constData(), 5, 6), QByteArray());
    }

    void decode_data()
    {
        QTest::addColumn<QByteArray>("message");
        QTest::addColumn<QString>("read");
        const QList<QByteArray> lines = testDataFile("messages.txt").split('\n');
        for (int i = 0; i + 2 < lines.size(); ++i) {
            if (lines[i].startsWith("# ") && lines[i + 2].startsWith("= "))
                QTest::newRow(lines[i].mid(2).constData())
                    << QByteArray::fromHex(lines[i + 1]) << QString::fromUtf8(lines[i + 2].mid(2));
        }
        QVERIFY(lines.size() > 100);
    }
    void decode()
    {
        QFETCH(QByteArray, message);
        QTEST(read(message), "read");
        if (message.startsWith("<q") || message.startsWith("<n"))
            QVERIFY(wellFormed(svg(message)));
    }

    void golden_data() { ::golden_data(); }
    void golden()
    {
        QFETCH(QString, name);
        const QByteArray message = hexMessage(name + ".hex");
        QVERIFY(!message.isEmpty());
        QFile expected(name + ".svg");
        if (qEnvironmentVariableIntValue("QUOR_GOLDEN_UPDATE")) {
            QVERIFY(expected.open(QIODevice::WriteOnly));
            expected.write(svg(message).toUtf8());
            return;
        }
        QVERIFY(expected.open(QIODevice::ReadOnly));
        QCOMPARE(svg(message), QString::fromUtf8(expected.readAll()));
    }

    // Whatever characters the engine puts in a label, a term or an operation, both graphs'
    // documents parse as XML and show the text: characters XML forbids as U+FFFD, markup
    // escaped, everything else as sent.
    void xmlWhateverTheEngineSends_data()
    {
        QTest::addColumn<QByteArray>("sent"); // UTF-8, as the engine sends it
        QTest::addColumn<QString>("shown");
        const QString fffd(QChar(QChar::ReplacementCharacter));
        QTest::newRow("C0 controls")
            << QByteArray("a\x01\x08\x0b\x0c\x0e\x1f b") << "a" + fffd.repeated(6) + " b";
        QTest::newRow("noncharacters U+FFFE, U+FFFF")
            << QByteArray("\xef\xbf\xbe\xef\xbf\xbfz") << fffd + fffd + "z";
        QTest::newRow("encoded surrogate") << QByteArray("s\xed\xa0\x80") << "s" + fffd.repeated(3);
        QTest::newRow("markup") << QByteArray("<script>&amp;\"x\"'</script>")
                                << "<script>&amp;\"x\"'</script>";
        QTest::newRow("DEL, C1, U+FDD0, private use, U+FFFD")
            << QByteArray("\x7f\xc2\x85\xef\xb7\x90\xee\x80\x80\xef\xbf\xbd")
            << QString::fromUtf8("\x7f\xc2\x85\xef\xb7\x90\xee\x80\x80\xef\xbf\xbd");
        QTest::newRow("outside the BMP")
            << QByteArray("\xf0\x9f\x98\x80") << QString::fromUtf8("\xf0\x9f\x98\x80");
    }
    void xmlWhateverTheEngineSends()
    {
        QFETCH(QByteArray, sent);
        QFETCH(QString, shown);
        const QByteArray tree =
            MessageBuilder('q').u32(8).u32(1).u32(1).u32(0).u64(0).u64(1).u64(1).text(sent).bytes;
        QCOMPARE(svgTexts(svg(tree)).value(0),
                 shown + " [Level: 0 ThreadId: -1 Gen#: -1 Proccess#: -1 ]");
        const QByteArray graph = inferenceGraph({7, 7}, 5, {{7, sent}}, sent, sent);
        // The legend, then the operation line with the name and the description, then the
        // item twice.
        QCOMPARE(svgTexts(svg(graph)).mid(1),
                 QStringList({"Level: 0 Op: 0x5: " + shown + ' ' + shown, "J:    " + shown,
                              "J1: " + shown}));
        // Surrogates that are not part of a pair, which no UTF-8 decoding gives.
        const QChar high(0xD800), low(0xDC00), fffd(QChar::ReplacementCharacter);
        const QChar lone[] = {QChar('a'), high, low, low, low, high};
        const QChar safe[] = {QChar('a'), high, low, fffd, fffd, fffd};
        QCOMPARE(xmlSafe(QString(lone, 6)), QString(safe, 6));
    }

    // Every shorter message decodes to a leading part of the full one and still draws a
    // whole document.
    void truncated_data() { ::golden_data(); }
    void truncated()
    {
        QFETCH(QString, name);
        const QByteArray message = hexMessage(name + ".hex");
        const QuestionTree fullTree = decodeQuestionTree(message.constData(), message.size());
        const InferenceGraph fullGraph = decodeInferenceGraph(message.constData(), message.size());
        for (int size = 0; size < message.size(); ++size) {
            const HeapMessage heap(message, size);
            if (message[1] == 'q') {
                const QuestionTree tree = decodeQuestionTree(heap.data.get(), heap.size);
                QCOMPARE(tree.links, fullTree.links.mid(0, tree.links.size()));
                for (auto node = tree.nodes.cbegin(); node != tree.nodes.cend(); ++node)
                    QCOMPARE(node->label, fullTree.nodes.value(node.key()).label);
            } else {
                const InferenceGraph graph = decodeInferenceGraph(heap.data.get(), heap.size);
                QVERIFY(graph.inferences.size() <= fullGraph.inferences.size());
                for (int i = 0; i < graph.inferences.size(); ++i)
                    QCOMPARE(graph.inferences[i].items, fullGraph.inferences[i].items);
                for (auto text = graph.texts.cbegin(); text != graph.texts.cend(); ++text)
                    QCOMPARE(text.value(), fullGraph.texts.value(text.key()));
            }
            QVERIFY2(size < 2 || wellFormed(svg(message.left(size))),
                     qPrintable(QString::number(size)));
        }
    }

    void treeWalk_data()
    {
        QTest::addColumn<QString>("links");
        QTest::addColumn<QString>("edges");
        const char* rows[][3] = {
            {"breadth first, record order", "1>3 0>2 0>1 2>4", "0>2 0>1 2>4 1>3"},
            {"cycle", "0>1 1>2 2>1 2>2", "0>1 1>2"},
            {"shared child", "0>1 0>2 1>3 2>3", "0>1 0>2 1>3"},
            {"repeated link", "0>1 0>1", "0>1"},
            {"root as child", "0>0 0>1 1>0", "0>1"},
            {"nothing reached", "5>6 6>5", ""},
        };
        for (const auto& row : rows)
            QTest::newRow(row[0]) << QString(row[1]) << QString(row[2]);
    }
    void treeWalk()
    {
        QFETCH(QString, links);
        const QStringList pairs = links.split(' ', Qt::SkipEmptyParts);
        MessageBuilder message('q');
        message.u32(8).u32(pairs.size()).u32(0).u32(0);
        for (const QString& pair : pairs)
            message.u64(pair.section('>', 0, 0).toULongLong())
                .u64(pair.section('>', 1).toULongLong());
        const QuestionTree tree =
            decodeQuestionTree(message.bytes.constData(), message.bytes.size());
        const QuestionTreeLayout layout = layoutQuestionTree(tree);
        QTEST(::links(layout.edges), "edges");
        QCOMPARE(layout.order.size(), layout.edges.size()); // one box per child met, in order
        for (int i = 0; i < layout.order.size(); ++i)
            QCOMPARE(layout.order[i], layout.edges[i].child);
        QCOMPARE(questionTreeDrawing(tree).boxes.size(), layout.edges.size());
    }

    // What quorstudio-run and the window's report take from a run: the last lines kept, each
    // error with its document, the time only while it counts, the latest graph.
    void runRecord()
    {
        RunRecord record(2);
        const auto add = [&](const QByteArray& message, const QString& file) {
            return record.add(decodeMessage(message.constData(), message.size()), file, {});
        };
        add("one", "a");
        record.setCountingTime(false);
        add(MessageBuilder('t').u32(1000).u32(5).bytes, "a");
        record.setCountingTime(true);
        add(errorMessage(3, 2, 4, "odd"), "a");
        add(errorMessage(1, 1, 1, "bad"), "b");
        QCOMPARE(add(MessageBuilder('t').u32(7).u32(2).bytes, "b").value_or("-"),
                 QStringLiteral("Elapsed time 7 \u03bcs (2 cycles)"));
        add("three", "b");
        add(MessageBuilder('q').u32(8).u32(1).u32(0).u32(0).u64(0).u64(1).bytes, "b");
        const RunReport report = record.report("t", {RunReportSource{"a", "x\ny\nz", {}}});
        QCOMPARE(report.output, QStringList({"Elapsed time 7 \u03bcs (2 cycles)", "three"}));
        QCOMPARE(report.outputLinesLeftOut, 2);
        QCOMPARE(report.sources.size(), 1);
        QCOMPARE(report.sources[0].errors.size(), 1);
        QCOMPARE(report.sources[0].errors[0].severity, DiagnosticSeverity::Warning);
        QCOMPARE(report.timeLine, QStringLiteral("Elapsed time 7 \u03bcs (2 cycles)"));
        QVERIFY(report.questionSvg.contains("<rect") && report.inferenceSvg.isEmpty());
        record.clearOutput();
        const RunReport cleared = record.report("t", {RunReportSource{"b", "", {}}});
        QVERIFY(cleared.output.isEmpty() && cleared.sources[0].errors.isEmpty());
        QVERIFY(cleared.timeLine.isEmpty() && !cleared.questionSvg.isEmpty());
    }

    // Batched appending must look exactly like appending each text by itself.
    void outputAppender_data()
    {
        QTest::addColumn<QStringList>("initial");
        QTest::addColumn<QStringList>("texts");
        QTest::newRow("plain lines") << QStringList{"start"} << QStringList{"a", "b", "c"};
        QTest::newRow("empty texts") << QStringList{"start"} << QStringList{"", "x", "", ""};
        QTest::newRow("into an empty view") << QStringList{} << QStringList{"", "", "x", "y"};
        QTest::newRow("line feeds, non-ASCII")
            << QStringList{"s"} << QStringList{"1\n2", "\n", "\u2192 \u03bcs"};
    }
    void outputAppender()
    {
        QFETCH(QStringList, initial);
        QFETCH(QStringList, texts);
        QPlainTextEdit expected, batched;
        for (const QString& text : initial) {
            expected.appendPlainText(text);
            batched.appendPlainText(text);
        }
        OutputAppender appender(&batched);
        for (const QString& text : texts) {
            expected.appendPlainText(text);
            appender.append(text);
        }
        QCOMPARE(appender.pendingCount(), texts.size());
        QTRY_COMPARE(appender.pendingCount(), 0);
        QCOMPARE(batched.toPlainText(), expected.toPlainText());
        QCOMPARE(batched.blockCount(), expected.blockCount());
        appender.append(QStringLiteral("late")); // clearing drops what is not shown yet
        appender.clear();
        QCoreApplication::processEvents();
        QCOMPARE(batched.toPlainText(), QString());
    }

    // The Output dock's scrollback limit, read from the settings: absent means every line stays.
    void scrollbackLimit_data()
    {
        QTest::addColumn<QVariant>("stored"); // invalid: no such setting
        QTest::addColumn<int>("limit");
        QTest::addColumn<QString>("kept"); // after appending lines 1 to 5
        QTest::newRow("default: everything") << QVariant() << 0 << "1 2 3 4 5";
        QTest::newRow("three lines") << QVariant(3) << 3 << "3 4 5";
        QTest::newRow("as text") << QVariant("2") << 2 << "4 5";
        QTest::newRow("zero") << QVariant(0) << 0 << "1 2 3 4 5";
        QTest::newRow("negative") << QVariant(-4) << 0 << "1 2 3 4 5";
        QTest::newRow("not a number") << QVariant("many") << 0 << "1 2 3 4 5";
    }
    void scrollbackLimit()
    {
        QFETCH(QVariant, stored);
        QTemporaryDir dir;
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir.path());
        if (stored.isValid()) // as the user writes it into the settings file
            QSettings("QuorStudio", "QuorStudio").setValue("outputScrollbackLines", stored);
        QPlainTextEdit view;
        OutputAppender appender(&view);
        ScrollbackLimit::apply(&view);
        QTEST(view.maximumBlockCount(), "limit");
        for (int i = 1; i <= 5; ++i)
            appender.append(QString::number(i));
        appender.flush();
        QTEST(view.toPlainText().replace('\n', ' '), "kept");
    }
    void outputAppenderFloodAndScrolling()
    {
        QPlainTextEdit view;
        view.resize(200, 100);
        view.show();
        OutputAppender appender(&view);
        for (int i = 0; i < 100000; ++i)
            appender.append(QString::number(i));
        QTRY_COMPARE_WITH_TIMEOUT(appender.pendingCount(), 0, 30000);
        QCOMPARE(view.blockCount(), 100000);
        for (int i : {0, 1, 255, 256, 4095, 50000, 99999})
            QCOMPARE(view.document()->findBlockByNumber(i).text(), QString::number(i));
        QVERIFY(!view.document()->isUndoAvailable());
        // It follows the end only when the view is at the bottom.
        QScrollBar* bar = view.verticalScrollBar();
        QCOMPARE(bar->value(), bar->maximum());
        bar->setValue(0);
        appender.append(QStringLiteral("more"));
        appender.flush();
        QCOMPARE(bar->value(), 0);
    }
};

QTEST_MAIN(TestOutput)
#include "tst_output.moc"
