#include "highlighter.h"

#include <QRandomGenerator>
#include <QStandardPaths>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextLayout>
#include <QtTest>

#include <memory>

// Expected formats are written as one letter per character (newlines kept), so every
// character, boundaries included, is checked:
//   .  nothing        P  punctuation     B  bracket         A  arrow        D  double arrow
//   O  operator       N  number          H  '#' word        C  command      L  line comment
//   M  block comment  ?  any other format
class TestHighlighter : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void rules_data();
    void rules();
    void blockComments_data();
    void blockComments();
    void editingRecoloursFollowingBlocks();
    void sameAsPlainPatternScan();
};

namespace {

// Colour, weight and italic flag (unset: -1) of each letter's format.
const QHash<QString, QChar> letters = {
    {QStringLiteral("#d33682 75 -1"), 'P'}, {QStringLiteral("#2aa198 50 -1"), 'B'},
    {QStringLiteral("#b58900 50 -1"), 'A'}, {QStringLiteral("#586e75 50 -1"), 'D'},
    {QStringLiteral("#b0292b 50 -1"), 'O'}, {QStringLiteral("#bfa954 50 0"), 'N'},
    {QStringLiteral("#55aa55 50 1"), 'H'},  {QStringLiteral("#5873aa 50 1"), 'C'},
    {QStringLiteral("#93a1a1 25 1"), 'L'},  {QStringLiteral("#586e75 25 1"), 'M'},
};

QChar letterAt(const QTextBlock& block, int position)
{
    const auto ranges = block.layout()->formats();
    for (const QTextLayout::FormatRange& range : ranges) {
        if (position < range.start || position >= range.start + range.length)
            continue;
        const QTextCharFormat& f = range.format;
        const int italic = f.hasProperty(QTextFormat::FontItalic) ? int(f.fontItalic()) : -1;
        const QString key = QStringLiteral("%1 %2 %3")
                                .arg(f.foreground().color().name())
                                .arg(f.fontWeight())
                                .arg(italic);
        return letters.value(key, QLatin1Char('?'));
    }
    return QLatin1Char('.');
}

QString maskOf(const QTextDocument& doc)
{
    QString mask;
    for (QTextBlock block = doc.begin(); block.isValid(); block = block.next()) {
        if (block != doc.begin())
            mask += QLatin1Char('\n');
        for (int i = 0; i < block.length() - 1; ++i)
            mask += letterAt(block, i);
    }
    return mask;
}

// A highlighted document. It gets its layout first: only then does it report its changes.
std::unique_ptr<QTextDocument> highlighted(const QString& text)
{
    auto doc = std::make_unique<QTextDocument>();
    doc->documentLayout();
    new Highlighter(doc.get());
    doc->setPlainText(text);
    return doc;
}

void row(const char* name, const char* text, const char* mask, const char* states = "")
{
    QTest::newRow(name) << QString::fromUtf8(text) << QString::fromLatin1(mask)
                        << QString::fromLatin1(states);
}

} // namespace

void TestHighlighter::rules_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("mask");
    QTest::addColumn<QString>("states");
    // One rule at a time.
    row("punctuation", "a. b? c!", ".P..P..P");
    row("brackets", "( ) [ ] { } < >", "B.B.B.B.B.B.B.B");
    row("arrows", "a → b ↔ c", "..A...A..");
    row("rings and arrows", "∘→ →∘ ∘→∘ ∘", "AA.AA.AAA..");
    row("double arrows", "⇒ ⇔ /⇒ \\⇒ |⇒ /⇔ |⇔", "D.D.DD.DD.DD.DD.DD");
    row("backslash before equivalence", "\\⇔", ".D");
    row("operators", "∩ ∪ - ⊖ × ⊥ ⊤ ◊ ¬ ∧ ∨ ⇑", "O.O.O.O.O.O.O.O.O.O.O.O");
    row("and with slash or bar", "∧/ ∧| ∨/", "OO.OO.O.");
    row("hash words", "#x1 a#b_c # d", "HHH..HHHH....");
    row("command", "a ⋙ clear", "..CCCCCCC");
    row("line comment", "x // y", "..LLLL");
    // Numbers stand alone as 0 or 1, or as 0 or 1 with a full stop and digits.
    row("zero and one", "0 1", "N.N");
    row("decimals", "0.5 1.25", "NNN.NNNN");
    row("ten and two", "10 2 2.5", "......P.");
    row("digits inside words", "x1 1x 0.5x", "......NP..");
    row("number before full stop", "a 1.", "..NP");
    // Later rules overwrite earlier ones.
    row("comment over brackets", "// note (x)", "LLLLLLLLLLL");
    row("comment over command", "⋙ a. // b", "CCCCCLLLL");
    row("command over all", "⋙ a. 1 (x) →", "CCCCCCCCCCCC");
    row("number over full stop", "x 0.5", "..NNN");
}

void TestHighlighter::rules()
{
    QFETCH(QString, text);
    QFETCH(QString, mask);
    QFETCH(QString, states);
    const auto doc = highlighted(text);
    QCOMPARE(maskOf(*doc), mask);
    if (!states.isEmpty()) {
        QString found;
        for (QTextBlock block = doc->begin(); block.isValid(); block = block.next())
            found += QString::number(block.userState());
        QCOMPARE(found, states);
    }
}

void TestHighlighter::blockComments_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("mask");
    QTest::addColumn<QString>("states");
    row("slash star slash", "/*/", "MMM", "0");
    row("unclosed", "a /* b", "..MMMM", "1");
    row("closed on next line", "a /* b\nc */ d", "..MMMM\nMMMM..", "10");
    row("runs on without end", "/* a\nno end\nx", "MMMM\nMMMMMM\nM", "111");
    row("two in one line", "x /*a*/ y /*b", "..MMMMM...MMM", "1");
    row("closing without opening", "a */ b", "......", "0");
    row("opened in line comment", "// x /* y\nz */ w", "LLLLLMMMM\nMMMM..", "10");
    row("opened in command", "⋙ a /* b", "CCCCMMMM", "1");
}

void TestHighlighter::blockComments()
{
    rules();
}

void TestHighlighter::editingRecoloursFollowingBlocks()
{
    const auto doc = highlighted(QStringLiteral("a.\nb\nc."));
    QTextCursor cursor(doc.get());
    cursor.insertText(QStringLiteral("/*"));
    QCOMPARE(maskOf(*doc), QStringLiteral("MMMM\nM\nMM"));
    cursor.setPosition(0);
    cursor.setPosition(2, QTextCursor::KeepAnchor);
    cursor.removeSelectedText();
    QCOMPARE(maskOf(*doc), QStringLiteral(".P\n.\n.P"));
}

void TestHighlighter::sameAsPlainPatternScan()
{
    // Random lines coloured by scanning each pattern from the start of the line, in rule
    // order: the highlighter skips work where no match can begin, with the same result.
    const struct {
        const char* pattern;
        char letter;
    } patterns[] = {
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
    // No '*': block comments have their own table.
    const QString alphabet = QString::fromUtf8("ab_01 2.?!()[]{}<>→↔∘⇒⇔/\\|∩∪-⊖×⊥⊤◊¬∧∨⇑#⋙");
    QRandomGenerator random(20261206);
    QStringList lines, expected;
    for (int n = 0; n < 3000; ++n) {
        QString line;
        for (int i = random.bounded(1, 30); i > 0; --i)
            line += alphabet.at(random.bounded(alphabet.length()));
        QString mask(line.length(), QLatin1Char('.'));
        for (const auto& rule : patterns) {
            QRegExp re(QString::fromUtf8(rule.pattern));
            for (int i = re.indexIn(line); i >= 0; i = re.indexIn(line, i + re.matchedLength()))
                mask.replace(i, re.matchedLength(), QString(re.matchedLength(), rule.letter));
        }
        lines << line;
        expected << mask;
    }
    const QStringList masks = maskOf(*highlighted(lines.join(QLatin1Char('\n')))).split('\n');
    QCOMPARE(masks.size(), lines.size());
    for (int n = 0; n < lines.size(); ++n)
        QVERIFY2(masks.at(n) == expected.at(n), qPrintable(lines.at(n) + " : " + masks.at(n)));
}

QTEST_MAIN(TestHighlighter)
#include "tst_highlighter.moc"
