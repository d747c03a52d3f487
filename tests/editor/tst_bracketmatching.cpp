#include "codeeditor.h"

#include <QStandardPaths>
#include <QtTest>

// Bracket highlights are the #C0C0C0 extra selections after the current-line highlight;
// they are listed here by document position, partner first.
class TestBracketMatching : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void matching_data();
    void matching();
    void typedBracketMatchesAtOnce();
    void newMatchReplacesOldHighlights();
};

namespace {

QList<int> bracketHighlights(const CodeEditor& editor)
{
    QList<int> positions;
    const QList<QTextEdit::ExtraSelection> selections = editor.extraSelections();
    for (const QTextEdit::ExtraSelection& selection : selections) {
        if (selection.format.background().color() != QColor(0xC0, 0xC0, 0xC0))
            continue;
        if (selection.cursor.selectionEnd() - selection.cursor.selectionStart() != 1)
            return {-1}; // a highlight must cover exactly one character
        positions << selection.cursor.selectionStart();
    }
    return positions;
}

void placeCursor(CodeEditor& editor, int position)
{
    QTextCursor cursor = editor.textCursor();
    // Start from elsewhere so that placing the cursor is a move.
    cursor.movePosition(position == 0 ? QTextCursor::End : QTextCursor::Start);
    editor.setTextCursor(cursor);
    cursor.setPosition(position);
    editor.setTextCursor(cursor);
}

} // namespace

void TestBracketMatching::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
}

void TestBracketMatching::matching_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("cursor");
    QTest::addColumn<QList<int>>("highlights");

    QTest::newRow("nested, outer") << "(a (b) c)" << 0 << QList<int>{8, 0};
    QTest::newRow("nested, inner") << "(a (b) c)" << 3 << QList<int>{5, 3};
    QTest::newRow("nested, outer from closing") << "(a (b) c)" << 8 << QList<int>{0, 8};
    QTest::newRow("closing at line end") << "(a)" << 2 << QList<int>{0, 2};
    QTest::newRow("cursor after closing") << "(a)" << 3 << QList<int>{};
    QTest::newRow("cursor after opening") << "(a)" << 1 << QList<int>{};
    QTest::newRow("mixed pairs, round") << "( [ ) ]" << 0 << QList<int>{4, 0};
    QTest::newRow("mixed pairs, square") << "( [ ) ]" << 2 << QList<int>{6, 2};
    QTest::newRow("mixed pairs, backward") << "( [ ) ]" << 6 << QList<int>{2, 6};
    QTest::newRow("all pairs nested") << "{[(<>)]}" << 0 << QList<int>{7, 0};
    QTest::newRow("angle inside") << "{[(<>)]}" << 3 << QList<int>{4, 3};
    QTest::newRow("unmatched opening") << "(a (b)" << 0 << QList<int>{};
    QTest::newRow("unmatched closing") << "a) (b)" << 1 << QList<int>{};
    QTest::newRow("partner of other pair only") << "( ]" << 0 << QList<int>{};
    QTest::newRow("forward across lines") << "x (\ny\nz)" << 2 << QList<int>{7, 2};
    QTest::newRow("angles across lines") << "<a\nb\nc>" << 0 << QList<int>{6, 0};
    QTest::newRow("forward past nested lines") << "(\n(\n)\n)" << 0 << QList<int>{6, 0};
    QTest::newRow("backward across lines") << "(x) (y\n)" << 7 << QList<int>{4, 7};
    QTest::newRow("backward past nested lines") << "(\n(\n)\n)" << 6 << QList<int>{0, 6};
    QTest::newRow("backward past empty lines") << "[\n\n\n]" << 4 << QList<int>{0, 4};
    QTest::newRow("backward unmatched") << "a\nb)" << 3 << QList<int>{};
    QTest::newRow("in line comment") << "// (x)" << 3 << QList<int>{5, 3};
    QTest::newRow("into block comment") << "(a /* ) */" << 0 << QList<int>{6, 0};
    QTest::newRow("in command") << QString::fromUtf8("⋙ f(x)") << 3 << QList<int>{5, 3};
}

void TestBracketMatching::matching()
{
    QFETCH(QString, text);
    QFETCH(int, cursor);
    QFETCH(QList<int>, highlights);

    CodeEditor editor;
    editor.setPlainText(text);
    placeCursor(editor, cursor);
    QCOMPARE(bracketHighlights(editor), highlights);
    // The current-line highlight stays first.
    QCOMPARE(editor.extraSelections().size(), 1 + highlights.size());
}

void TestBracketMatching::typedBracketMatchesAtOnce()
{
    // The highlighter records the new bracket before the cursor move is handled.
    CodeEditor editor;
    editor.setPlainText(QStringLiteral("a)"));
    placeCursor(editor, 1);
    QCOMPARE(bracketHighlights(editor), QList<int>{});
    QTest::keyClick(&editor, Qt::Key_ParenLeft, Qt::NoModifier);
    QCOMPARE(editor.toPlainText(), QStringLiteral("a()"));
    QCOMPARE(bracketHighlights(editor), (QList<int>{1, 2}));
}

void TestBracketMatching::newMatchReplacesOldHighlights()
{
    CodeEditor editor;
    editor.setPlainText(QStringLiteral("(a) [b]"));
    placeCursor(editor, 0);
    QCOMPARE(bracketHighlights(editor), (QList<int>{2, 0}));
    placeCursor(editor, 4);
    QCOMPARE(bracketHighlights(editor), (QList<int>{6, 4}));
    placeCursor(editor, 5);
    QCOMPARE(bracketHighlights(editor), QList<int>{});
}

QTEST_MAIN(TestBracketMatching)
#include "tst_bracketmatching.moc"
