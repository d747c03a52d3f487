// The notation as the engine reads it: sentences, compound terms, comments, commands, and the
// line, column and mark of every problem it reports.

#include "quorsession.h"

#include <QRandomGenerator>
#include <QtTest>

class TestQuorGrammar : public QObject {
    Q_OBJECT

private slots:
    void validInput_data();
    void validInput();
    void invalidInput_data();
    void invalidInput();
    void unicodeColumns_data();
    void unicodeColumns();
    void warningsAndNotes_data();
    void warningsAndNotes();
    void carriesOnAfterAnError();
    void invalidUtf8();
    void hostileInput_data();
    void hostileInput();
};

namespace {

QStringList sortedStatements(QuorSession& engine)
{
    const auto replies = ofKind(engine.send(QStringLiteral("⋙ statements")), 's');
    if (replies.size() != 1)
        return {QStringLiteral("(no statements table)")};
    QStringList names = tableNames(replies.first());
    names.sort();
    return names;
}

} // namespace

void TestQuorGrammar::validInput_data()
{
    QTest::addColumn<QString>("input");
    QTest::addColumn<QStringList>("statements");

    const QString t = QStringLiteral(". {1.0 0.9}");
    QTest::newRow("default truth") << "<bird → animal>." << QStringList{"<bird → animal>" + t};
    QTest::newRow("own truth") << "<bird → animal>. {0.8 0.75}"
                               << QStringList{"<bird → animal>. {0.8 0.75}"};
    QTest::newRow("whole numbers") << "<a → b>. {0 0.5}" << QStringList{"<a → b>. {0.0 0.5}"};
    QTest::newRow("no blanks") << "<a→b>." << QStringList{"<a → b>" + t};
    QTest::newRow("commutative operands sorted")
        << "<(b ∧ a) ⇒ c>." << QStringList{"<(a ∧ b) ⇒ c>" + t};
    QTest::newRow("difference keeps order")
        << "<(b ⊖ a) → (d - c)>." << QStringList{"<(b ⊖ a) → (d - c)>" + t};
    QTest::newRow("negation and product")
        << "<(¬rain) → (sun × day × warm)>." << QStringList{"<(¬ rain) → (sun × day × warm)>" + t};
    QTest::newRow("union and intersection")
        << "<(a ∪ b) → (c ∩ d)>." << QStringList{"<(a ∪ b) → (c ∩ d)>" + t};
    QTest::newRow("statements as terms")
        << "<<a → b> ⇒ (<c → d> ∨ x)>."
        << QStringList{"<<a → b> ⇒ (<c → d> ∨ x)>" + t, "<a → b>", "<c → d>"};
    QTest::newRow("variable") << "<#x → animal>." << QStringList{"<#x → animal>" + t};
    QTest::newRow("copula variants")
        << "<a ∘→ b>. <a →∘ b>. <a ∘→∘ b>. <a /⇒ b>. <a \\⇒ b>. <a |⇒ b>. <a /⇔ b>. "
           "<a |⇔ b>. <a ↔ b>. <a ⇔ b>."
        << QStringList{"<a ∘→ b>" + t,  "<a →∘ b>" + t, "<a ∘→∘ b>" + t, "<a /⇒ b>" + t,
                       "<a \\⇒ b>" + t, "<a |⇒ b>" + t, "<a /⇔ b>" + t,  "<a |⇔ b>" + t,
                       "<a ↔ b>" + t,   "<a ⇔ b>" + t};
    QTest::newRow("comments and blank lines")
        << "// intro\n\n/* a\n<x → y>.\n*/ <a → b>. // tail\n   \n"
        << QStringList{"<a → b>" + t};
    QTest::newRow("slash star slash is a whole comment")
        << "/*/ <a → b>." << QStringList{"<a → b>" + t};
    QTest::newRow("block comment opened inside a line comment")
        << "// note /* still\n<x → y>.\n*/ <a → b>." << QStringList{"<a → b>" + t};
    QTest::newRow("block comment closed on the same line as a line comment")
        << "// a /* b */ <x → y>.\n<a → b>." << QStringList{"<a → b>" + t};
    QTest::newRow("comment inside a statement")
        << "<a /* first */ → b>." << QStringList{"<a → b>" + t};
    QTest::newRow("several sentences on a line")
        << "<a → b>. <b → c>. {0.5 0.5}" << QStringList{"<a → b>" + t, "<b → c>. {0.5 0.5}"};
    QTest::newRow("words in other scripts")
        << "<Vogel → Tier>. <птица → животное>. <鳥 → 動物>."
        << QStringList{"<Vogel → Tier>" + t, "<птица → животное>" + t, "<鳥 → 動物>" + t};
    QTest::newRow("question stores nothing") << "<a → b>?" << QStringList{};
    QTest::newRow("command with a trailing comment")
        << "⋙ words // list them\n<a → b>." << QStringList{"<a → b>" + t};
}

void TestQuorGrammar::validInput()
{
    QFETCH(QString, input);
    QFETCH(QStringList, statements);
    QuorSession engine;
    const auto replies = engine.send(input);
    for (const ErrorReply& error : errors(replies))
        QFAIL(qPrintable(QStringLiteral("unexpected error at %1:%2: %3")
                             .arg(error.line)
                             .arg(error.column)
                             .arg(error.text)));
    statements.sort();
    QCOMPARE(sortedStatements(engine), statements);
}

void TestQuorGrammar::invalidInput_data()
{
    QTest::addColumn<QString>("input");
    QTest::addColumn<int>("firstLine");
    QTest::addColumn<int>("line");
    QTest::addColumn<int>("column");
    QTest::addColumn<int>("mark");
    QTest::addColumn<QString>("fragment");

    QTest::newRow("unclosed statement") << "<a → b." << 1 << 1 << 7 << 0x02 << "'>'";
    QTest::newRow("line ends in the statement") << "<a → b" << 1 << 1 << 1 << 0x02 << "line ends";
    QTest::newRow("no punctuation") << "<a → b>" << 1 << 1 << 1 << 0x02 << "'.'";
    QTest::newRow("truth before punctuation")
        << "<a → b> {1.0 0.9}." << 1 << 1 << 9 << 0x02 << "'.'";
    QTest::newRow("no copula") << "<a b>." << 1 << 1 << 4 << 0x02 << "copula";
    QTest::newRow("two copulas") << "<a → → b>." << 1 << 1 << 6 << 0x02 << "term";
    QTest::newRow("unknown command") << "⋙ foo" << 1 << 1 << 3 << 0x02 << "unknown command";
    QTest::newRow("command with extra word")
        << "⋙ version 2" << 1 << 1 << 3 << 0x02 << "unknown command";
    QTest::newRow("debug without switch") << "⋙ debug" << 1 << 1 << 3 << 0x02 << "unknown command";
    QTest::newRow("no command word") << "⋙" << 1 << 1 << 1 << 0x02 << "command word";
    QTest::newRow("stray character") << "$ <a → b>." << 1 << 1 << 1 << 0x01 << "'$'";
    QTest::newRow("character in a word") << "<a → b%>." << 1 << 1 << 7 << 0x01 << "'%'";
    QTest::newRow("control character") << "<a \x01→ b>." << 1 << 1 << 4 << 0x01 << "U+0001";
    QTest::newRow("unsupported symbol") << "<a ⊥ b>." << 1 << 1 << 4 << 0x01 << "not supported";
    QTest::newRow("temporal conjunction")
        << "<(a ∧/ b) → c>." << 1 << 1 << 5 << 0x01 << "not supported";
    QTest::newRow("goal") << "<a → b>!" << 1 << 1 << 8 << 0x01 << "goals";
    QTest::newRow("variable without name") << "<# → b>." << 1 << 1 << 2 << 0x01 << "variable";
    QTest::newRow("mixed operators")
        << "<(a ∧ b ∨ c) → d>." << 1 << 1 << 9 << 0x02 << "different operators";
    QTest::newRow("negation between terms") << "<(a ¬ b) → c>." << 1 << 1 << 5 << 0x02 << "'¬'";
    QTest::newRow("negation of two terms") << "<(¬ a b) → c>." << 1 << 1 << 7 << 0x02 << "'¬'";
    QTest::newRow("compound without operator") << "<(a) → b>." << 1 << 1 << 2 << 0x02 << "operator";
    QTest::newRow("difference of three")
        << "<(a ⊖ b ⊖ c) → d>." << 1 << 1 << 9 << 0x02 << "two terms";
    QTest::newRow("frequency above 1")
        << "<a → b>. {1.5 0.9}" << 1 << 1 << 11 << 0x02 << "between 0 and 1";
    QTest::newRow("confidence missing") << "<a → b>. {0.9}" << 1 << 1 << 14 << 0x02 << "confidence";
    QTest::newRow("decimal point without digits")
        << "<a → b>. {1. 0.9}" << 1 << 1 << 13 << 0x02 << "digit";
    QTest::newRow("unclosed truth value") << "<a → b>. {1.0 0.9" << 1 << 1 << 1 << 0x02 << "'}'";
    QTest::newRow("sentence without brackets")
        << "bird → animal." << 1 << 1 << 1 << 0x02 << "angle brackets";
    QTest::newRow("counted from the first line")
        << "\n\n<a b>." << 10 << 12 << 4 << 0x02 << "copula";
    QTest::newRow("line in a selection") << "// first\n  <c d>." << 7 << 8 << 6 << 0x02 << "copula";
    const QString deep =
        "<" + QString("(¬ ").repeated(70) + "a" + QString(")").repeated(70) + " → b>.";
    QTest::newRow("nested too deep") << deep << 1 << 1 << 2 + 3 * 63 << 0x02 << "nested";
}

void TestQuorGrammar::invalidInput()
{
    QFETCH(QString, input);
    QFETCH(int, firstLine);
    QFETCH(int, line);
    QFETCH(int, column);
    QFETCH(int, mark);
    QFETCH(QString, fragment);
    QuorSession engine;
    const auto found = errors(engine.send(input, firstLine));
    QCOMPARE(found.size(), 1);
    QCOMPARE(int(found[0].line), line);
    QCOMPARE(int(found[0].column), column);
    QCOMPARE(int(found[0].mark), mark);
    QVERIFY2(found[0].text.contains(fragment), qPrintable(found[0].text));
    QCOMPARE(sortedStatements(engine), QStringList{});
}

// The column is what QPlainTextEdit counts: UTF-16 code units from the start of the line. The
// expected value comes from Qt's own string, so the engine's count is checked independently.
void TestQuorGrammar::unicodeColumns_data()
{
    QTest::addColumn<QString>("input");
    QTest::addColumn<int>("firstLine");

    QTest::newRow("arrows before") << "<a → b>. <c ↔ d>. <e ⇒ f>. <g ⇔ h>. $" << 1;
    QTest::newRow("command marks in a comment") << "/* ⋙ ⋙ ⋙ */ <a → b>. $" << 1;
    QTest::newRow("symbols inside the statement") << "<(a ∧ b ∧ c) ⇒ (d ∨ é$)>." << 1;
    QTest::newRow("outside the basic plane") << "<𝐀𝐁 → 𝐂>. <😀 → b>. $" << 1;
    QTest::newRow("after a command line") << "⋙ words\n<a → b>. // → ↔ ⋙\n<c ⇒ d>. /* ⋙ */ $" << 5;
    QTest::newRow("tabs and non-breaking blanks") << "\t<a\u00a0→\tb>.\t$" << 3;
}

void TestQuorGrammar::unicodeColumns()
{
    QFETCH(QString, input);
    QFETCH(int, firstLine);
    const QStringList lines = input.split('\n');
    int line = 0;
    while (!lines[line].contains('$'))
        ++line;
    QuorSession engine;
    const auto found = errors(engine.send(input, firstLine));
    QVERIFY(!found.isEmpty());
    QCOMPARE(int(found.last().line), firstLine + line);
    QCOMPARE(int(found.last().column), lines[line].indexOf('$') + 1);
}

void TestQuorGrammar::warningsAndNotes_data()
{
    QTest::addColumn<QString>("input");
    QTest::addColumn<int>("line");
    QTest::addColumn<int>("column");
    QTest::addColumn<int>("mark");
    QTest::addColumn<QStringList>("statements");

    QTest::newRow("truth value on a question")
        << "<a → b>.\n<a → b>? {1.0 0.9}" << 2 << 10 << 0x04 << QStringList{"<a → b>. {1.0 0.9}"};
    QTest::newRow("confidence of 1")
        << "<a → b>. {1 1}" << 1 << 13 << 0x04 << QStringList{"<a → b>. {1.0 0.9999}"};
    // Two halves of evidence, one for and one against: w = 1 each, f = 0.5, c = 2/3.
    QTest::newRow("revision") << "<a → b>. {1.0 0.5}\n<a → b>. {0.0 0.5}" << 2 << 1 << 0x08
                              << QStringList{"<a → b>. {0.5 0.6667}"};
}

void TestQuorGrammar::warningsAndNotes()
{
    QFETCH(QString, input);
    QFETCH(int, line);
    QFETCH(int, column);
    QFETCH(int, mark);
    QFETCH(QStringList, statements);
    QuorSession engine;
    const auto found = errors(engine.send(input));
    QCOMPARE(found.size(), 1);
    QCOMPARE(int(found[0].line), line);
    QCOMPARE(int(found[0].column), column);
    QCOMPARE(int(found[0].mark), mark);
    QCOMPARE(sortedStatements(engine), statements);
}

void TestQuorGrammar::carriesOnAfterAnError()
{
    QuorSession engine;
    const auto replies =
        engine.send(QStringLiteral("<a → b.\n<c → d>.\n⋙ foo\n<d → e>. $ <x → y>.\n<e → f>?"));
    const auto found = errors(replies);
    QCOMPARE(found.size(), 3);
    QCOMPARE(found[0].line, 1u);
    QCOMPARE(found[1].line, 3u);
    QCOMPARE(found[2].line, 4u);
    // The rest of a bad line is skipped, the next line is read again.
    QCOMPARE(sortedStatements(engine), (QStringList{"<c → d>. {1.0 0.9}", "<d → e>. {1.0 0.9}"}));
    QCOMPARE(plainTexts(replies), QStringList{"No answer found for <e → f>?"});
    QCOMPARE(kindOf(replies.last()), 't');
}

void TestQuorGrammar::invalidUtf8()
{
    QuorSession engine;
    const auto found =
        errors(engine.sendBytes("<a \xE2\x86\x92 b\xFF>.\n<\xC0\xAF \xE2\x86\x92 b>."));
    QCOMPARE(found.size(), 2);
    QCOMPARE(found[0].line, 1u);
    QCOMPARE(found[0].column, 7u);
    QCOMPARE(int(found[0].mark), 0x01);
    QVERIFY(found[0].text.contains("UTF-8"));
    QCOMPARE(found[1].line, 2u);
    QCOMPARE(found[1].column, 2u);
}

// Whatever comes in, the engine answers with bounded messages, ends with its time message and
// stays usable.
void TestQuorGrammar::hostileInput_data()
{
    QTest::addColumn<QByteArray>("input");

    QRandomGenerator random(20240611);
    QByteArray noise(1 << 16, '\0');
    for (char& byte : noise)
        byte = static_cast<char>(random.bounded(1, 256));
    QTest::newRow("random bytes") << noise;
    QByteArray symbols;
    const QByteArray pieces[] = {"<", ">", "(", ")",  "{",  "}",  ".", "?", "#",  "→",   "⇒",
                                 "∧", "¬", "⋙", "/*", "*/", "//", "a", " ", "\n", "0.5", "1"};
    for (int i = 0; i < 20000; ++i)
        symbols += pieces[random.bounded(int(std::size(pieces)))];
    QTest::newRow("random notation") << symbols;
    QTest::newRow("deep parentheses") << "<" + QByteArray(200000, '(');
    QTest::newRow("deep statements") << QByteArray(200000, '<') + "a → b" + QByteArray(200000, '>');
    QTest::newRow("flood of errors") << QByteArray("$\n").repeated(50000);
    QTest::newRow("long word") << "<" + QByteArray(1 << 20, 'w') + " → b>.\n<" +
                                      QByteArray(1 << 20, 'w') + " → b>?";
    QTest::newRow("wide compound") << "<(" + QByteArray("a ∧ ").repeated(50000) + "a) → b>.";
    QTest::newRow("surrogates and overlong forms") << QByteArray("<\xED\xA0\x80 \xC0\xAF \xF8>.");
}

void TestQuorGrammar::hostileInput()
{
    QFETCH(QByteArray, input);
    QuorSession engine;
    const auto replies = engine.sendBytes(input);
    QVERIFY(!replies.isEmpty());
    QCOMPARE(kindOf(replies.last()), 't');
    for (const QByteArray& message : replies)
        QVERIFY(message.size() <= 15000);
    QVERIFY(errors(replies).size() <= 202);
    const auto version = engine.send(QStringLiteral("⋙ version"));
    QCOMPARE(ofKind(version, 'v').size(), 1);
}

QTEST_GUILESS_MAIN(TestQuorGrammar)
#include "tst_quor_grammar.moc"
