// What the engine concludes: answers and their truth values, the conclusions it keeps, the
// inferences it records, the questions it asks itself and the derivation tree it reports.

#include "quorsession.h"

#include <QtTest>

class TestQuorReasoning : public QObject {
    Q_OBJECT

private slots:
    void answers_data();
    void answers();
    void conclusionsAreKept();
    void inferenceRecords_data();
    void inferenceRecords();
    void internalQuestions_data();
    void internalQuestions();
    void derivationTree_data();
    void derivationTree();
    void longChain();
};

void TestQuorReasoning::answers_data()
{
    QTest::addColumn<QString>("facts");
    QTest::addColumn<QString>("question");
    QTest::addColumn<QString>("answer");

    QTest::newRow("held belief") << "<a → b>. {0.8 0.7}"
                                 << "<a → b>?"
                                 << "Answer: <a → b>. {0.8 0.7}";
    // Deduction: f = f1·f2, c = f1·f2·c1·c2.
    QTest::newRow("deduction") << "<a → b>.\n<b → c>. {0.9 0.8}"
                               << "<a → c>?"
                               << "Answer: <a → c>. {0.9 0.648}";
    QTest::newRow("chain of three") << "<a → b>.\n<b → c>. {0.9 0.8}\n<c → d>."
                                    << "<a → d>?"
                                    << "Answer: <a → d>. {0.9 0.5249}";
    QTest::newRow("implication chain") << "<rain ⇒ wet>. {0.9 0.9}\n<wet ⇒ slippery>. {0.8 0.9}"
                                       << "<rain ⇒ slippery>?"
                                       << "Answer: <rain ⇒ slippery>. {0.72 0.5832}";
    QTest::newRow("temporal implication chain") << "<a /⇒ b>.\n<b /⇒ c>."
                                                << "<a /⇒ c>?"
                                                << "Answer: <a /⇒ c>. {1.0 0.81}";
    QTest::newRow("held belief more confident") << "<a → b>.\n<b → c>.\n<a → c>. {0.6 0.95}"
                                                << "<a → c>?"
                                                << "Answer: <a → c>. {0.6 0.95}";
    QTest::newRow("derivation more confident") << "<a → b>.\n<b → c>.\n<a → c>. {1.0 0.5}"
                                               << "<a → c>?"
                                               << "Answer: <a → c>. {1.0 0.81}";
    QTest::newRow("best of two paths")
        << "<a → c>. {1.0 0.5}\n<c → d>. {1.0 0.5}\n<a → b>.\n<b → d>."
        << "<a → d>?"
        << "Answer: <a → d>. {1.0 0.81}";
    QTest::newRow("zero frequency") << "<a → b>. {0.0 0.9}\n<b → c>."
                                    << "<a → c>?"
                                    << "Answer: <a → c>. {0.0 0.0}";
    QTest::newRow("similarity read backwards") << "<cat ↔ feline>. {0.9 0.8}"
                                               << "<feline ↔ cat>?"
                                               << "Answer: <feline ↔ cat>. {0.9 0.8}";
    QTest::newRow("equivalence read backwards") << "<a ⇔ b>."
                                                << "<b ⇔ a>?"
                                                << "Answer: <b ⇔ a>. {1.0 0.9}";
    QTest::newRow("inheritance is not symmetric") << "<a → b>."
                                                  << "<b → a>?"
                                                  << "No answer found for <b → a>?";
    QTest::newRow("copulas do not mix") << "<a → b>.\n<b ⇒ c>."
                                        << "<a → c>?"
                                        << "No answer found for <a → c>?";
    QTest::newRow("unknown term") << "<a → b>."
                                  << "<a → zebra>?"
                                  << "No answer found for <a → zebra>?";
    QTest::newRow("cycle with an answer") << "<a → b>.\n<b → a>.\n<b → c>."
                                          << "<a → c>?"
                                          << "Answer: <a → c>. {1.0 0.81}";
    QTest::newRow("cycle without an answer") << "<a → b>.\n<b → a>.\n<z → q>."
                                             << "<a → z>?"
                                             << "No answer found for <a → z>?";
    QTest::newRow("compound terms chain") << "<(sun ∧ rain) ⇒ rainbow>. {0.9 0.9}\n<rainbow ⇒ joy>."
                                          << "<(rain ∧ sun) ⇒ joy>?"
                                          << "Answer: <(rain ∧ sun) ⇒ joy>. {0.9 0.729}";
    QTest::newRow("variable subject") << "<robin → bird>.\n<bird → animal>.\n<stone → thing>."
                                      << "<#x → animal>?"
                                      << "Answer: <bird → animal>. {1.0 0.9}";
    QTest::newRow("variable subject found by deduction") << "<robin → bird>.\n<bird → animal>."
                                                         << "<#x → animal>?"
                                                         << "Answer: <bird → animal>. {1.0 0.9}";
    QTest::newRow("variable predicate") << "<robin → bird>. {1.0 0.8}\n<bird → animal>."
                                        << "<robin → #y>?"
                                        << "Answer: <robin → bird>. {1.0 0.8}";
    QTest::newRow("variable predicate only by deduction") << "<robin → bird>.\n<bird → animal>."
                                                          << "<bird → #y>?"
                                                          << "Answer: <bird → animal>. {1.0 0.9}";
    QTest::newRow("variable inside a compound") << "<(a ∧ b) ⇒ c>.\n<(a ∨ b) ⇒ c>."
                                                << "<(#x ∧ b) ⇒ c>?"
                                                << "Answer: <(a ∧ b) ⇒ c>. {1.0 0.9}";
    QTest::newRow("same variable twice") << "<a → b>.\n<c → c>. {0.5 0.5}"
                                         << "<#x → #x>?"
                                         << "Answer: <c → c>. {0.5 0.5}";
    QTest::newRow("variable without a match") << "<a → b>."
                                              << "<#x → c>?"
                                              << "No answer found for <#x → c>?";
}

void TestQuorReasoning::answers()
{
    QFETCH(QString, facts);
    QFETCH(QString, question);
    QFETCH(QString, answer);
    QuorSession engine;
    QVERIFY(errors(engine.send(facts)).isEmpty());
    const auto replies = engine.send(question);
    QVERIFY(errors(replies).isEmpty());
    QCOMPARE(plainTexts(replies), QStringList{answer});
}

void TestQuorReasoning::conclusionsAreKept()
{
    QuorSession engine;
    engine.send(QStringLiteral("<a → b>.\n<b → c>. {0.9 0.8}\n<a → c>?"));
    QStringList names = tableNames(ofKind(engine.send(QStringLiteral("⋙ statements")), 's')[0]);
    names.sort();
    QCOMPARE(names,
             (QStringList{"<a → b>. {1.0 0.9}", "<a → c>. {0.9 0.648}", "<b → c>. {0.9 0.8}"}));
    // A later, weaker derivation does not replace a more confident belief.
    engine.send(QStringLiteral("<a → c>?"));
    names = tableNames(ofKind(engine.send(QStringLiteral("⋙ statements")), 's')[0]);
    QVERIFY(names.contains("<a → c>. {0.9 0.648}"));
}

void TestQuorReasoning::inferenceRecords_data()
{
    QTest::addColumn<QString>("input");
    QTest::addColumn<quint32>("operation");
    QTest::addColumn<QStringList>("items");

    QTest::newRow("deduction") << "<a → b>.\n<b → c>. {0.9 0.8}\n<a → c>?" << 1u
                               << QStringList{"<a → b>. {1.0 0.9}", "<b → c>. {0.9 0.8}",
                                              "<a → c>. {0.9 0.648}"};
    QTest::newRow("symmetry") << "<a ↔ b>. {0.7 0.6}\n<b ↔ a>?" << 2u
                              << QStringList{"<a ↔ b>. {0.7 0.6}", "<b ↔ a>. {0.7 0.6}"};
}

void TestQuorReasoning::inferenceRecords()
{
    QFETCH(QString, input);
    QFETCH(quint32, operation);
    QFETCH(QStringList, items);
    QuorSession engine;
    engine.send(input);
    QMap<QString, quint64> ids;
    for (const TableRow& row : tableRows(ofKind(engine.send("⋙ statements"), 's')[0]))
        ids.insert(row.name, row.id);

    const auto replies = engine.send(QStringLiteral("⋙ inference"));
    QCOMPARE(ofKind(replies, 'n').size(), 1);
    const InferenceReply graph = decodeInferences(ofKind(replies, 'n')[0]);
    QVERIFY(graph.complete);
    QCOMPARE(graph.operations, QVector<quint32>{operation});
    QCOMPARE(graph.items.size(), 1);
    QCOMPARE(graph.items[0].size(), items.size());
    for (int i = 0; i < items.size(); ++i) {
        QCOMPARE(graph.texts.value(graph.items[0][i]), items[i]);
        QCOMPARE(graph.items[0][i], ids.value(items[i]));
    }
    QCOMPARE(graph.operationNames.value(1), QStringLiteral("deduction"));
    QCOMPARE(graph.operationNames.value(2), QStringLiteral("symmetry"));
}

void TestQuorReasoning::internalQuestions_data()
{
    QTest::addColumn<bool>("debug");
    QTest::addColumn<QStringList>("asked");

    QTest::newRow("debug on") << true
                              << QStringList{"Internal question: <b → d>?",
                                             "Internal question: <c → d>?"};
    QTest::newRow("debug off") << false << QStringList{};
}

void TestQuorReasoning::internalQuestions()
{
    QFETCH(bool, debug);
    QFETCH(QStringList, asked);
    QuorSession engine;
    engine.send(debug ? QStringLiteral("⋙ debug off\n⋙ debug on") : QStringLiteral("⋙ debug off"));
    engine.send(QStringLiteral("<a → b>.\n<b → c>.\n<c → d>."));
    const auto replies = engine.send(QStringLiteral("<a → d>?"));
    QStringList texts;
    for (const QByteArray& message : ofKind(replies, 'i'))
        texts << payloadText(message);
    QCOMPARE(texts, asked);
    // The questions come before the answer they lead to.
    if (debug)
        QCOMPARE(kindOf(replies.value(asked.size())), '\0');
}

void TestQuorReasoning::derivationTree_data()
{
    QTest::addColumn<QString>("facts");
    QTest::addColumn<QString>("question");
    QTest::addColumn<int>("topFlags");
    QTest::addColumn<QStringList>("secondLevel");
    QTest::addColumn<int>("levels");
    QTest::addColumn<QByteArray>("colours"); // g green, y yellow, . grey: which occur

    QTest::newRow("deduction with a dead end")
        << "<a → b>.\n<b → x>.\n<b → c>.\n<c → d>."
        << "<a → d>?" << 0x0A
        << QStringList{"<a → b>. {1.0 0.9}", "<b → d>?", "<a → d>. {1.0 0.729}"} << 4
        << QByteArray("gy.");
    QTest::newRow("symmetry") << "<a ↔ b>."
                              << "<b ↔ a>?" << 0x0A
                              << QStringList{"<a ↔ b>. {1.0 0.9}", "<b ↔ a>. {1.0 0.9}"} << 2
                              << QByteArray("gy");
    QTest::newRow("no answer") << "<a → b>."
                               << "<b → a>?" << 0x02 << QStringList{} << 1 << QByteArray(".");
}

void TestQuorReasoning::derivationTree()
{
    QFETCH(QString, facts);
    QFETCH(QString, question);
    QFETCH(int, topFlags);
    QFETCH(QStringList, secondLevel);
    QFETCH(int, levels);
    QFETCH(QByteArray, colours);
    QuorSession engine;
    engine.send(facts);
    engine.send(question);
    const auto replies = ofKind(engine.send(QStringLiteral("⋙ question")), 'q');
    QCOMPARE(replies.size(), 1);
    const TreeReply tree = decodeTree(replies[0]);
    QVERIFY(tree.complete);
    QCOMPARE(tree.nodes[0].children.size(), 1);
    const TreeNode top = tree.nodes.value(tree.nodes[0].children[0]);
    QCOMPARE(top.label, question);
    QCOMPARE(top.level, 1u);
    QCOMPARE(top.thread, 0);
    QCOMPARE(int(top.flags), topFlags);
    QStringList labels;
    for (const quint64 child : top.children)
        labels << tree.nodes.value(child).label;
    QCOMPARE(labels, secondLevel);

    // Every child stands one level below its parent; premises tried side by side open threads
    // of their own, and a node's conclusion shares its premise's thread.
    quint32 deepest = 0;
    QByteArray seen;
    for (auto it = tree.nodes.cbegin(); it != tree.nodes.cend(); ++it) {
        if (it.key() == 0)
            continue;
        deepest = qMax(deepest, it->level);
        const char colour = it->flags & 8 ? 'g' : it->flags & 4 ? 'y' : '.';
        if (!seen.contains(colour))
            seen += colour;
        for (const quint64 child : it->children)
            QCOMPARE(tree.nodes.value(child).level, it->level + 1);
    }
    QCOMPARE(int(deepest), levels);
    std::sort(seen.begin(), seen.end());
    std::sort(colours.begin(), colours.end());
    QCOMPARE(seen, colours);
}

void TestQuorReasoning::longChain()
{
    QuorSession engine;
    QString facts;
    for (int i = 0; i < 11; ++i)
        facts += QStringLiteral("<n%1 → n%2>.\n").arg(i).arg(i + 1);
    engine.send(facts);
    const QStringList answer = plainTexts(engine.send(QStringLiteral("<n0 → n11>?")));
    QCOMPARE(answer.size(), 1);
    QVERIFY2(answer[0].startsWith("Answer: <n0 → n11>. {1.0 0.3"), qPrintable(answer[0]));
}

QTEST_GUILESS_MAIN(TestQuorReasoning)
#include "tst_quor_reasoning.moc"
