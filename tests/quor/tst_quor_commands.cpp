// Every engine command's reply, the time message after each input, and the memory dump that
// rebuilds the same memory.

#include "quorsession.h"

#include "messages.h"

#include <QFile>
#include <QtTest>

class TestQuorCommands : public QObject {
    Q_OBJECT

private slots:
    void replies_data();
    void replies();
    void version();
    void tables_data();
    void tables();
    void idsDoNotDependOnTheRun();
    void clearEmptiesEverything();
    void timeAfterEachInput_data();
    void timeAfterEachInput();
    void memoryRoundTrip_data();
    void memoryRoundTrip();
};

namespace {

// The kinds of the replies in order, '0' for a plain message.
QByteArray kinds(const QList<QByteArray>& replies)
{
    QByteArray result;
    for (const QByteArray& message : replies)
        result += kindOf(message) ? kindOf(message) : '0';
    return result;
}

QVector<TableRow> table(QuorSession& engine, const QString& command, char kind)
{
    const auto replies = ofKind(engine.send(command), kind);
    return replies.size() == 1 ? tableRows(replies[0]) : QVector<TableRow>();
}

QString snapshot(QuorSession& engine)
{
    QString text;
    const QPair<QString, char> tables[] = {
        {"⋙ words", 'w'}, {"⋙ compounds", 'c'}, {"⋙ statements", 's'}};
    for (const auto& entry : tables)
        for (const TableRow& row : table(engine, entry.first, entry.second))
            text += QString::number(row.id, 16) + ' ' + row.name + '\n';
    return text;
}

} // namespace

void TestQuorCommands::replies_data()
{
    QTest::addColumn<QString>("setup");
    QTest::addColumn<QString>("command");
    QTest::addColumn<QByteArray>("kinds");
    QTest::addColumn<QString>("text");

    const QString facts = QStringLiteral("<a → b>.\n<b → c>.\n<(x ∧ y) ⇒ z>.");
    QTest::newRow("version") << ""
                             << "⋙ version" << QByteArray("vt") << "";
    QTest::newRow("debug on") << ""
                              << "⋙ debug on" << QByteArray("0t")
                              << "Debug on: internal questions are reported while answering.";
    QTest::newRow("debug off") << ""
                               << "⋙ debug off" << QByteArray("0t") << "Debug off.";
    QTest::newRow("clear") << facts << "⋙ clear" << QByteArray("0t") << "Memory cleared.";
    QTest::newRow("words") << facts << "⋙ words" << QByteArray("wt") << "";
    QTest::newRow("compounds") << facts << "⋙ compounds" << QByteArray("ct") << "";
    QTest::newRow("statements") << facts << "⋙ statements" << QByteArray("st") << "";
    QTest::newRow("memory") << facts << "⋙ memory" << QByteArray("mt") << "";
    QTest::newRow("question before any")
        << facts << "⋙ question" << QByteArray("q0t") << "No question has been asked yet.";
    QTest::newRow("question") << facts + "\n<a → c>?"
                              << "⋙ question" << QByteArray("qt") << "";
    QTest::newRow("inference before any")
        << facts << "⋙ inference" << QByteArray("n0t") << "No inferences yet.";
    QTest::newRow("inference") << facts + "\n<a → c>?"
                               << "⋙ inference" << QByteArray("nt") << "";
    QTest::newRow("unknown") << ""
                             << "⋙ forget" << QByteArray("et") << "";
    QTest::newRow("several in one input")
        << facts << "⋙ words\n⋙ version\n⋙ debug off" << QByteArray("wv0t") << "Debug off.";
}

void TestQuorCommands::replies()
{
    QFETCH(QString, setup);
    QFETCH(QString, command);
    QFETCH(QByteArray, kinds);
    QFETCH(QString, text);
    QuorSession engine;
    engine.send(setup);
    const auto replies = engine.send(command);
    QCOMPARE(::kinds(replies), kinds);
    const QStringList texts = plainTexts(replies);
    QCOMPARE(texts.isEmpty() ? QString() : texts.first(), text);
}

void TestQuorCommands::version()
{
    QuorSession engine;
    const auto replies = ofKind(engine.send(QStringLiteral("⋙ version")), 'v');
    QCOMPARE(replies.size(), 1);
    QCOMPARE(payloadText(replies[0]), QStringLiteral("1.0.0"));
    QCOMPARE(decodeLibraryVersion(replies[0].constData(), replies[0].size()),
             QStringLiteral("1.0.0"));
}

void TestQuorCommands::tables_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QStringList>("names");

    QTest::newRow("words") << "⋙ words" << QStringList{"#x", "a", "b", "c", "x", "y", "é"};
    QTest::newRow("compounds") << "⋙ compounds" << QStringList{"(x ∧ y)", "(¬ c)"};
    QTest::newRow("statements")
        << "⋙ statements"
        // <a → b> is only part of another statement and has no truth value of its own.
        << QStringList{"<#x → é>. {1.0 0.9}", "<(x ∧ y) ⇒ <a → b>>. {0.5 0.5}", "<a → b>",
                       "<c → (¬ c)>. {1.0 0.9}"};
}

void TestQuorCommands::tables()
{
    QFETCH(QString, command);
    QFETCH(QStringList, names);
    QuorSession engine;
    engine.send(QStringLiteral("<(y ∧ x) ⇒ <a → b>>. {0.5 0.5}\n<#x → é>.\n<c → (¬ c)>."));
    const char kind = command == "⋙ words" ? 'w' : command == "⋙ compounds" ? 'c' : 's';
    const auto rows = table(engine, command, kind);
    QStringList found;
    QSet<quint64> ids;
    for (const TableRow& row : rows) {
        found << row.name;
        QVERIFY(row.id != 0);
        ids.insert(row.id);
    }
    QCOMPARE(ids.size(), rows.size());
    found.sort();
    names.sort();
    QCOMPARE(found, names);
}

void TestQuorCommands::idsDoNotDependOnTheRun()
{
    QuorSession first;
    QuorSession second;
    first.send(QStringLiteral("<a → b>.\n<c → d>."));
    second.send(QStringLiteral("<c → d>.\n<a → b>."));
    auto sorted = [](QString text) {
        QStringList lines = text.split('\n');
        lines.sort();
        return lines;
    };
    QCOMPARE(sorted(snapshot(first)), sorted(snapshot(second)));
}

void TestQuorCommands::clearEmptiesEverything()
{
    QuorSession engine;
    engine.send(QStringLiteral("<a → b>.\n<b → (c ∨ d)>.\n<a → (c ∨ d)>?"));
    QVERIFY(!snapshot(engine).isEmpty());
    engine.send(QStringLiteral("⋙ clear"));
    QCOMPARE(snapshot(engine), QString());
    QCOMPARE(plainTexts(engine.send(QStringLiteral("⋙ inference"))),
             QStringList{"No inferences yet."});
    QCOMPARE(plainTexts(engine.send(QStringLiteral("⋙ question"))),
             QStringList{"No question has been asked yet."});
    QCOMPARE(plainTexts(engine.send(QStringLiteral("<a → b>?"))),
             QStringList{"No answer found for <a → b>?"});
}

void TestQuorCommands::timeAfterEachInput_data()
{
    QTest::addColumn<QString>("input");
    QTest::addColumn<quint32>("cycles");

    QTest::newRow("empty") << "" << 0u;
    QTest::newRow("command") << "⋙ version" << 0u;
    QTest::newRow("error") << "<a b>." << 0u;
    QTest::newRow("judgements") << "<a → b>.\n<b → c>." << 2u;
    // Two judgements, then the question and the one it asks itself.
    QTest::newRow("question") << "<a → b>.\n<b → c>.\n<a → c>?" << 4u;
}

void TestQuorCommands::timeAfterEachInput()
{
    QFETCH(QString, input);
    QFETCH(quint32, cycles);
    QuorSession engine;
    const auto replies = engine.send(input);
    QVERIFY(!replies.isEmpty());
    QCOMPARE(ofKind(replies, 't').size(), 1);
    const QByteArray last = replies.last();
    const auto time = decodeElapsedTime(last.constData(), last.size());
    QVERIFY(time.has_value());
    QCOMPARE(time->cycles, cycles);
    QVERIFY(time->microseconds < 10000000);
}

void TestQuorCommands::memoryRoundTrip_data()
{
    QTest::addColumn<QString>("document");

    QTest::newRow("judgements") << "<a → b>. {0.3 0.4}\n<b ↔ c>.\n<#q → a>.";
    QTest::newRow("derived and revised")
        << "<a → b>.\n<b → c>. {0.9 0.8}\n<a → c>?\n<a → b>. {0.0 0.5}\n<c ↔ d>.\n<d ↔ c>?";
    QTest::newRow("compounds and nested statements")
        << "<(b ∧ a) ⇒ <x → (¬ y)>>. {0.55 0.66}\n<(p × q × r) → (s ⊖ t)>.\n<(u - v) → w>.";
    QTest::newRow("other scripts") << "<птица → животное>. {0.123456 0.654321}\n<😀 → 鳥>.";
    QFile tutorial(QStringLiteral(TESTSRCDIR "/../examples/tutorial.quor"));
    QVERIFY(tutorial.open(QIODevice::ReadOnly));
    QTest::newRow("tutorial") << QString::fromUtf8(tutorial.readAll());
}

void TestQuorCommands::memoryRoundTrip()
{
    QFETCH(QString, document);
    QuorSession engine;
    engine.send(document);
    const QString before = snapshot(engine);
    QVERIFY(!before.isEmpty());
    const auto dumps = ofKind(engine.send(QStringLiteral("⋙ memory")), 'm');
    QCOMPARE(dumps.size(), 1);
    const QString dump = payloadText(dumps[0]);

    engine.send(QStringLiteral("⋙ clear"));
    const auto replies = engine.send(dump);
    QVERIFY(errors(replies).isEmpty());
    QCOMPARE(snapshot(engine), before);
    // Running the dump again on top of itself changes nothing either.
    engine.send(dump);
    QCOMPARE(snapshot(engine), before);
}

QTEST_GUILESS_MAIN(TestQuorCommands)
#include "tst_quor_commands.moc"
