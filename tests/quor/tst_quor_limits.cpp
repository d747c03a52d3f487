// No message grows past 15000 bytes: tables, the dump and both graphs keep whole records and
// the engine says in plain text what it left out; long texts are shortened between characters.

#include "quorsession.h"

#include <QtTest>

class TestQuorLimits : public QObject {
    Q_OBJECT

private slots:
    void largeTables_data();
    void largeTables();
    void largeDump();
    void longTexts_data();
    void longTexts();
    void largeInferenceGraph();
    void largeDerivationTree();
};

namespace {

constexpr int Limit = 15000;

QString manyStatements(int count, const QString& pattern)
{
    QString text;
    for (int i = 0; i < count; ++i)
        text += pattern.arg(i, 5, 10, QLatin1Char('0')) + '\n';
    return text;
}

} // namespace

void TestQuorLimits::largeTables_data()
{
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QString>("command");
    QTest::addColumn<int>("total");
    QTest::addColumn<QString>("plural");

    QTest::newRow("words") << "<w%1 → x>."
                           << "⋙ words" << 3001 << "words";
    QTest::newRow("compounds") << "<(a × w%1) → x>."
                               << "⋙ compounds" << 3000 << "compound terms";
    QTest::newRow("statements") << "<w%1 → x>."
                                << "⋙ statements" << 3000 << "statements";
}

void TestQuorLimits::largeTables()
{
    QFETCH(QString, pattern);
    QFETCH(QString, command);
    QFETCH(int, total);
    QFETCH(QString, plural);
    QuorSession engine;
    QVERIFY(errors(engine.send(manyStatements(3000, pattern))).isEmpty());
    const auto replies = engine.send(command);
    QCOMPARE(replies.size(), 3); // table, note, time
    const QByteArray message = replies[0];
    QVERIFY(message.size() <= Limit);
    bool complete = false;
    const auto rows = tableRows(message, &complete);
    QVERIFY(complete);
    QVERIFY(rows.size() > 100);
    QVERIFY(rows.size() < total);
    // Cut at a record boundary: one more record would not have fit.
    QVERIFY(message.size() + 8 + rows.last().name.toUtf8().size() + 1 > Limit);
    QCOMPARE(plainTexts(replies),
             QStringList{QStringLiteral("Only %1 of the %2 %3 in memory fit in one message; the "
                                        "table shows those.")
                             .arg(rows.size())
                             .arg(total)
                             .arg(plural)});
}

void TestQuorLimits::largeDump()
{
    QuorSession engine;
    engine.send(manyStatements(1000, QStringLiteral("<word%1 → thing>.")));
    const auto replies = engine.send(QStringLiteral("⋙ memory"));
    const auto dumps = ofKind(replies, 'm');
    QCOMPARE(dumps.size(), 1);
    QVERIFY(dumps[0].size() <= Limit);
    QVERIFY(dumps[0].endsWith('\0'));
    const QString dump = payloadText(dumps[0]);
    const QStringList lines = dump.split('\n', Qt::SkipEmptyParts);
    QVERIFY(lines.last().startsWith("// cut: "));
    const int kept = lines.size() - 2;
    QVERIFY(kept > 100 && kept < 1000);
    QCOMPARE(plainTexts(replies),
             QStringList{QStringLiteral("The memory dump holds only %1 of 1000 beliefs: no more "
                                        "fit in one message.")
                             .arg(kept)});
    // What was kept is whole: read back, it gives exactly those beliefs.
    QuorSession other;
    QVERIFY(errors(other.send(dump)).isEmpty());
    const auto again = ofKind(other.send(QStringLiteral("⋙ memory")), 'm');
    QCOMPARE(again.size(), 1);
    const QStringList restored = payloadText(again[0]).split('\n', Qt::SkipEmptyParts);
    QCOMPARE(restored.size(), kept + 1);
    QCOMPARE(restored.mid(1), lines.mid(1, kept));
}

void TestQuorLimits::longTexts_data()
{
    QTest::addColumn<QString>("input");

    const QString word = QString(QChar(0x00E9)).repeated(12000); // 24000 bytes
    QTest::newRow("answer") << "<" + word + " → b>.\n<" + word + " → b>?";
    QTest::newRow("no answer") << "<" + word + " → b>?";
    QTest::newRow("error") << "⋙ " + word;
    QTest::newRow("internal question")
        << "⋙ debug on\n<a → " + word + ">.\n<" + word + " → c>.\n<a → c>?";
    QTest::newRow("table") << "<" + word + " → b>.\n⋙ words\n⋙ statements";
}

void TestQuorLimits::longTexts()
{
    QFETCH(QString, input);
    QuorSession engine;
    const auto replies = engine.send(input);
    for (const QByteArray& message : replies) {
        QVERIFY(message.size() <= Limit);
        // Shortened between characters, never inside one.
        const QString text = QString::fromUtf8(message);
        QVERIFY(!text.contains(QChar::ReplacementCharacter));
    }
    QCOMPARE(kindOf(replies.last()), 't');
}

void TestQuorLimits::largeInferenceGraph()
{
    QuorSession engine;
    const QString long_ = QString("x").repeated(300);
    QString facts;
    for (int i = 0; i < 40; ++i)
        facts += QStringLiteral("<%1%2 → %1%3>.\n").arg(long_).arg(i).arg(i + 1);
    engine.send(facts);
    for (int i = 0; i < 30; ++i)
        engine.send(QStringLiteral("<%1%2 → %1%3>?").arg(long_).arg(i).arg(i + 10));
    const auto replies = engine.send(QStringLiteral("⋙ inference"));
    const auto graphs = ofKind(replies, 'n');
    QCOMPARE(graphs.size(), 1);
    QVERIFY(graphs[0].size() <= Limit);
    const InferenceReply graph = decodeInferences(graphs[0]);
    QVERIFY(graph.complete);
    QVERIFY(graph.items.size() > 0);
    for (const auto& items : graph.items)
        for (const quint64 id : items)
            QVERIFY(graph.texts.contains(id));
    const QStringList notes = plainTexts(replies);
    QCOMPARE(notes.size(), 1);
    QVERIFY2(notes[0].startsWith(
                 QStringLiteral("The graph shows the last %1 of ").arg(graph.items.size())),
             qPrintable(notes[0]));
}

void TestQuorLimits::largeDerivationTree()
{
    // Every word leads to every later one: the search tree is far larger than one message.
    QuorSession engine;
    QString facts;
    for (int i = 0; i < 25; ++i)
        for (int j = i + 1; j < 25; ++j)
            facts += QStringLiteral("<term_number_%1 → term_number_%2>.\n").arg(i).arg(j);
    engine.send(facts);
    engine.send(QStringLiteral("<term_number_0 → term_number_24>?"));
    const auto replies = engine.send(QStringLiteral("⋙ question"));
    const auto trees = ofKind(replies, 'q');
    QCOMPARE(trees.size(), 1);
    QVERIFY(trees[0].size() <= Limit);
    const TreeReply tree = decodeTree(trees[0]);
    QVERIFY(tree.complete);
    // Every node sent hangs under the root through nodes that were sent too.
    int reached = 0;
    QList<quint64> queue{0};
    while (!queue.isEmpty()) {
        const quint64 id = queue.takeFirst();
        ++reached;
        for (const quint64 child : tree.nodes.value(id).children) {
            QVERIFY(!tree.nodes.value(child).label.isEmpty());
            queue.append(child);
        }
    }
    QCOMPARE(reached, tree.nodes.size());
    const QStringList notes = plainTexts(replies);
    QCOMPARE(notes.size(), 1);
    QVERIFY2(notes[0].startsWith(
                 QStringLiteral("The derivation tree shows %1 of ").arg(tree.nodes.size() - 1)),
             qPrintable(notes[0]));
}

QTEST_GUILESS_MAIN(TestQuorLimits)
#include "tst_quor_limits.moc"
