#include "formatcheck.h"
#include "highlighter.h"
#include "textblockdata.h"

#include <QRandomGenerator>
#include <QStandardPaths>
#include <QTextCursor>
#include <QTextDocument>
#include <QtTest>

#include <memory>

// Highlighting on a bare document. Expected formats are written as one letter per character
// of the text (newlines kept), so every character, boundaries included, is checked:
//   .  nothing          P  punctuation      B  bracket        A  arrow
//   D  double arrow     O  operator         N  number         H  '#' word
//   C  command line     L  line comment     M  block comment
class TestHighlighter : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();

    void rules_data();
    void rules();
    void ruleOrder_data();
    void ruleOrder();
    void numbers_data();
    void numbers();
    void blockComments_data();
    void blockComments();
    void editingRecoloursFollowingBlocks();
    void sameAsPlainPatternScan();

    void brackets_data();
    void brackets();
    void bracketDataRenewedOnEdit();
    void blockDataInsertKeepsOrder();

private:
    void addMaskColumns();
    void checkMask();
};

namespace {

QString describeClass(QChar c)
{
    switch (c.toLatin1()) {
    case 'P':
        return QStringLiteral("#d33682 bold -");
    case 'B':
        return QStringLiteral("#2aa198 normal -");
    case 'A':
        return QStringLiteral("#b58900 normal -");
    case 'D':
        return QStringLiteral("#586e75 normal -");
    case 'O':
        return QStringLiteral("#b0292b normal -");
    case 'N':
        return QStringLiteral("#bfa954 normal upright");
    case 'H':
        return QStringLiteral("#55aa55 normal italic");
    case 'C':
        return QStringLiteral("#5873aa normal italic");
    case 'L':
        return QStringLiteral("#93a1a1 light italic");
    case 'M':
        return QStringLiteral("#586e75 light italic");
    default:
        return QStringLiteral("- - -");
    }
}

// The mask that the document's highlighting actually produced.
QString maskOf(const QTextDocument& doc)
{
    QString mask;
    for (QTextBlock block = doc.begin(); block.isValid(); block = block.next()) {
        if (block != doc.begin())
            mask += QLatin1Char('\n');
        for (int i = 0; i < block.length() - 1; ++i) {
            const QString found = describe(formatAt(block, i));
            QChar letter = QLatin1Char('?');
            for (QChar c : QStringLiteral(".PBADONHCLM")) {
                if (describeClass(c) == found)
                    letter = c;
            }
            // '?' marks a format that belongs to no class.
            mask += letter;
        }
    }
    return mask;
}

QString blockStates(const QTextDocument& doc)
{
    QString states;
    for (QTextBlock block = doc.begin(); block.isValid(); block = block.next())
        states += QString::number(block.userState());
    return states;
}

QString bracketsOf(const QTextBlock& block)
{
    const auto* data = static_cast<const TextBlockData*>(block.userData());
    if (!data)
        return QStringLiteral("none");
    QStringList entries;
    for (const ParenthesisInfo& info : data->parentheses())
        entries << QLatin1Char(info.character) + QString::number(info.position);
    return entries.join(QLatin1Char(' '));
}

// A highlighted document holding text. The document gets its layout first: only then does it
// report its changes to the highlighter.
std::unique_ptr<QTextDocument> highlighted(const QString& text)
{
    auto doc = std::make_unique<QTextDocument>();
    doc->documentLayout();
    new Highlighter(doc.get());
    doc->setPlainText(text);
    return doc;
}

} // namespace

void TestHighlighter::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
}

void TestHighlighter::addMaskColumns()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("mask");
}

void TestHighlighter::checkMask()
{
    QFETCH(QString, text);
    QFETCH(QString, mask);
    QCOMPARE(mask.length(), text.length());

    const auto doc = highlighted(text);
    QCOMPARE(maskOf(*doc), mask);
}

void TestHighlighter::rules_data()
{
    addMaskColumns();
    const auto row = [](const char* name, const char* text, const char* mask) {
        QTest::newRow(name) << QString::fromUtf8(text) << QString::fromLatin1(mask);
    };
    row("punctuation", "a. b? c!", ".P..P..P");
    row("brackets", "( ) [ ] { } < >", "B.B.B.B.B.B.B.B");
    row("arrow", "a → b", "..A..");
    row("equivalence arrow", "a ↔ b", "..A..");
    row("ring before arrow", "a ∘→ b", "..AA..");
    row("ring after arrow", "a →∘ b", "..AA..");
    row("rings around arrow", "a ∘→∘ b", "..AAA..");
    row("ring alone", "a ∘ b", ".....");
    row("implication", "a ⇒ b", "..D..");
    row("equivalence", "a ⇔ b", "..D..");
    row("slash implication", "a /⇒ b", "..DD..");
    row("backslash implication", "a \\⇒ b", "..DD..");
    row("bar implication", "a |⇒ b", "..DD..");
    row("slash equivalence", "a /⇔ b", "..DD..");
    row("bar equivalence", "a |⇔ b", "..DD..");
    row("backslash equivalence", "a \\⇔ b", "...D..");
    row("operators", "∩ ∪ - ⊖ × ⊥ ⊤ ◊ ¬ ∧ ∨ ⇑", "O.O.O.O.O.O.O.O.O.O.O.O");
    row("and slash", "a ∧/ b", "..OO..");
    row("and bar", "a ∧| b", "..OO..");
    row("or slash", "a ∨/ b", "..O...");
    row("hash word", "#x1 y", "HHH..");
    row("hash with underscore", "a#b_c", ".HHHH");
    row("hash alone", "# a", "...");
    row("command", "⋙ clear", "CCCCCCC");
    row("command mid-line", "a ⋙ b", "..CCC");
    row("line comment", "x // y", "..LLLL");
    row("plain words", "bird flyer", "..........");
}

void TestHighlighter::rules()
{
    checkMask();
}

void TestHighlighter::ruleOrder_data()
{
    addMaskColumns();
    const auto row = [](const char* name, const char* text, const char* mask) {
        QTest::newRow(name) << QString::fromUtf8(text) << QString::fromLatin1(mask);
    };
    row("comment over brackets", "// note (x)", "LLLLLLLLLLL");
    row("comment over punctuation", "a. // b.", ".P.LLLLL");
    row("comment over command", "⋙ a // b", "CCCCLLLL");
    row("command over everything", "⋙ a. 1 (x) →", "CCCCCCCCCCCC");
    row("number over full stop", "x 0.5", "..NNN");
    row("hash stops at full stop", "#a.b", "HHP.");
}

void TestHighlighter::ruleOrder()
{
    checkMask();
}

void TestHighlighter::numbers_data()
{
    addMaskColumns();
    const auto row = [](const char* name, const char* text, const char* mask) {
        QTest::newRow(name) << QString::fromUtf8(text) << QString::fromLatin1(mask);
    };
    row("zero and one", "0 1", "N.N");
    row("decimals", "0.5 1.25", "NNN.NNNN");
    row("ten", "10", "..");
    row("two", "2", ".");
    row("two with decimals", "2.5", ".P.");
    row("inside words", "x1 1x", ".....");
    row("decimal glued to a word", "0.5x", "NP..");
    row("before a full stop", "a 1.", "..NP");
    row("after a minus", "-1", "ON");
}

void TestHighlighter::numbers()
{
    checkMask();
}

void TestHighlighter::blockComments_data()
{
    addMaskColumns();
    QTest::addColumn<QString>("states");
    const auto row = [](const char* name, const char* text, const char* mask, const char* states) {
        QTest::newRow(name) << QString::fromUtf8(text) << QString::fromLatin1(mask)
                            << QString::fromLatin1(states);
    };
    row("slash star slash", "/*/", "MMM", "0");
    row("empty comment", "/**/", "MMMM", "0");
    row("unclosed", "a /* b", "..MMMM", "1");
    row("closed on next line", "a /* b\nc */ d", "..MMMM\nMMMM..", "10");
    row("runs on without end", "/* a\nno end\nx", "MMMM\nMMMMMM\nM", "111");
    row("two in one line", "x /*a*/ y /*b", "..MMMMM...MMM", "1");
    row("closing without opening", "a */ b", "......", "0");
    row("opened in line comment", "// x /* y\nz */ w", "LLLLLMMMM\nMMMM..", "10");
    row("opened in command", "⋙ a /* b", "CCCCMMMM", "1");
    row("brackets after comment", "/* (x) */ (y)", "MMMMMMMMM.B.B", "0");
}

void TestHighlighter::blockComments()
{
    QFETCH(QString, states);
    checkMask();

    QFETCH(QString, text);
    const auto doc = highlighted(text);
    QCOMPARE(blockStates(*doc), states);
}

void TestHighlighter::editingRecoloursFollowingBlocks()
{
    const auto doc = highlighted(QStringLiteral("a.\nb\nc."));
    QCOMPARE(maskOf(*doc), QStringLiteral(".P\n.\n.P"));

    QTextCursor cursor(doc.get());
    cursor.insertText(QStringLiteral("/*"));
    QCOMPARE(maskOf(*doc), QStringLiteral("MMMM\nM\nMM"));
    QCOMPARE(blockStates(*doc), QStringLiteral("111"));

    cursor.setPosition(0);
    cursor.setPosition(2, QTextCursor::KeepAnchor);
    cursor.removeSelectedText();
    QCOMPARE(maskOf(*doc), QStringLiteral(".P\n.\n.P"));
    QCOMPARE(blockStates(*doc), QStringLiteral("000"));
}

void TestHighlighter::sameAsPlainPatternScan()
{
    // Random lines over the notation's characters, coloured by each pattern scanned from the
    // start of the line, in rule order: the highlighter skips work but must not differ.
    const struct {
        const char* pattern;
        char letter;
    } rules[] = {
        {"[\\.\\?!]", 'P'},
        {"[\\[\\(\\)\\[\\]\\{\\}<>]", 'B'},
        {"(→|↔|∘→|→∘|∘→∘)", 'A'},
        {"(⇒|⇔|/⇒|\\\\⇒|\\|⇒|/⇔|\\|⇔)", 'D'},
        {"(∩|∪|-|⊖|×|⊥|⊤|◊|¬|∧|∨|∧/|∧\\||⇑)", 'O'},
        {"\\b(([01])|([01]\\x2e[0-9]+))\\b", 'N'},
        {"#\\w+", 'H'},
        {"⋙[^\\n]*", 'C'},
        {"//[^\\n]*", 'L'},
    };
    // No '*': block comments are covered by their own tests.
    const QString alphabet = QString::fromUtf8("ab_01 2.?!()[]{}<>→↔∘⇒⇔/\\|∩∪-⊖×⊥⊤◊¬∧∨⇑#⋙");
    QRandomGenerator random(20261206);
    QStringList lines;
    QStringList expected;
    for (int n = 0; n < 3000; ++n) {
        QString line;
        const int length = random.bounded(1, 30);
        for (int i = 0; i < length; ++i)
            line += alphabet.at(random.bounded(alphabet.length()));
        QString mask(line.length(), QLatin1Char('.'));
        for (const auto& rule : rules) {
            QRegExp pattern(QString::fromUtf8(rule.pattern));
            for (int i = pattern.indexIn(line); i >= 0;
                 i = pattern.indexIn(line, i + pattern.matchedLength())) {
                for (int k = i; k < i + pattern.matchedLength(); ++k)
                    mask[k] = QLatin1Char(rule.letter);
            }
        }
        lines << line;
        expected << mask;
    }

    const auto doc = highlighted(lines.join(QLatin1Char('\n')));
    const QStringList masks = maskOf(*doc).split(QLatin1Char('\n'));
    QCOMPARE(masks.size(), lines.size());
    for (int n = 0; n < lines.size(); ++n)
        QVERIFY2(masks.at(n) == expected.at(n),
                 qPrintable(lines.at(n) + QStringLiteral(": ") + masks.at(n)));
}

void TestHighlighter::brackets_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("brackets");
    const auto row = [](const char* name, const char* text, const char* brackets) {
        QTest::newRow(name) << QString::fromUtf8(text) << QString::fromLatin1(brackets);
    };
    row("every kind", "a<b>[c]{d}(e)", "<1 >3 [4 ]6 {7 }9 (10 )12");
    row("in position order", ")(", ")0 (1");
    row("in line comment", "// note (x)", "(8 )10");
    row("in block comment", "/* (x) */", "(3 )5");
    row("in command", "⋙ x (", "(4");
    row("none", "no brackets", "");
}

void TestHighlighter::brackets()
{
    QFETCH(QString, text);
    QFETCH(QString, brackets);

    const auto doc = highlighted(text);
    QCOMPARE(bracketsOf(doc->begin()), brackets);
}

void TestHighlighter::bracketDataRenewedOnEdit()
{
    const auto doc = highlighted(QStringLiteral("(a)\n[b]"));
    QCOMPARE(bracketsOf(doc->findBlockByNumber(1)), QStringLiteral("[0 ]2"));

    QTextCursor cursor(doc->findBlockByNumber(1));
    cursor.insertText(QStringLiteral("x{"));
    QCOMPARE(bracketsOf(doc->findBlockByNumber(1)), QStringLiteral("{1 [2 ]4"));
    QCOMPARE(bracketsOf(doc->begin()), QStringLiteral("(0 )2"));
}

void TestHighlighter::blockDataInsertKeepsOrder()
{
    TextBlockData data;
    data.insert({'(', 5});
    data.insert({')', 1});
    data.insert({'[', 3});
    data.insert({']', 1});
    data.insert({'<', 9});

    QString order;
    for (const ParenthesisInfo& info : data.parentheses())
        order += QLatin1Char(info.character) + QString::number(info.position) + QLatin1Char(' ');
    // An entry goes before an equal position that is already there.
    QCOMPARE(order, QStringLiteral("]1 )1 [3 (5 <9 "));
}

QTEST_MAIN(TestHighlighter)
#include "tst_highlighter.moc"
