#include "codeeditor.h"

#include <QFontMetrics>
#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTextBlock>
#include <QTextLayout>
#include <QtTest>

Q_DECLARE_METATYPE(Qt::Key)
Q_DECLARE_METATYPE(Qt::KeyboardModifiers)

class TestCodeEditor : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();

    void gutterWidth_data();
    void gutterWidth();

    void symbolKeys_data();
    void symbolKeys();
    void keysReachingBaseClass_data();
    void keysReachingBaseClass();
    void symbolReplacesSelection();

    void markColoursAndExtents_data();
    void markColoursAndExtents();
    void markPlacement_data();
    void markPlacement();
    void lineEndMarkStopsAtVisualLine();
    void marksDrawnInOrder();
    void removeMarksOfOneLine();
    void clearMarks();
    void readOnlyShowsNoLineOrMarks();

    void cursorPositionAtStart();
    void cursorPositionReportsMoves();
    void goToPosition_data();
    void goToPosition();
};

namespace {

const QString sampleText = QStringLiteral("first line\nsecond line here\nthird");

QColor background(const QTextEdit::ExtraSelection& selection)
{
    return selection.format.background().color();
}

} // namespace

void TestCodeEditor::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
}

void TestCodeEditor::gutterWidth_data()
{
    QTest::addColumn<int>("blocks");
    QTest::addColumn<int>("digits");
    QTest::newRow("empty") << 1 << 1;
    QTest::newRow("nine") << 9 << 1;
    QTest::newRow("ten") << 10 << 2;
    QTest::newRow("ninety-nine") << 99 << 2;
    QTest::newRow("hundred") << 100 << 3;
}

void TestCodeEditor::gutterWidth()
{
    QFETCH(int, blocks);
    QFETCH(int, digits);

    CodeEditor editor;
    editor.resize(400, 300);
    editor.setPlainText(QString(blocks - 1, QLatin1Char('\n')));
    QCOMPARE(editor.blockCount(), blocks);

    const int expected =
        16 + digits * QFontMetrics(editor.font()).horizontalAdvance(QLatin1Char('9'));
    QCOMPARE(editor.lineNumberAreaWidth(), expected);
    // The text viewport leaves room for the gutter.
    QCOMPARE(editor.viewport()->geometry().left(), editor.contentsRect().left() + expected);
}

void TestCodeEditor::symbolKeys_data()
{
    QTest::addColumn<Qt::Key>("key");
    QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
    QTest::addColumn<QString>("symbol");
    const struct {
        Qt::Key key;
        const char* alt;
        const char* ctrl;
    } table[] = {
        {Qt::Key_0, "∘", "◊"},
        {Qt::Key_1, "→", "⇒"},
        {Qt::Key_2, "↔", "⇔"},
        {Qt::Key_3, "∩", "∧"},
        {Qt::Key_4, "∪", "∨"},
        {Qt::Key_5, "⊥", "⊤"},
        {Qt::Key_6, "¬", nullptr},
        {Qt::Key_7, "⇑", nullptr},
        {Qt::Key_8, "⋙", nullptr},
        {Qt::Key_Minus, "⊖", nullptr},
        {Qt::Key_Asterisk, "×", nullptr},
    };
    for (const auto& entry : table) {
        const QString name = QKeySequence(entry.key).toString();
        QTest::addRow("Alt+%s", qPrintable(name))
            << entry.key << Qt::KeyboardModifiers(Qt::AltModifier) << QString::fromUtf8(entry.alt);
        if (entry.ctrl)
            QTest::addRow("Ctrl+%s", qPrintable(name))
                << entry.key << Qt::KeyboardModifiers(Qt::ControlModifier)
                << QString::fromUtf8(entry.ctrl);
    }
}

void TestCodeEditor::symbolKeys()
{
    QFETCH(Qt::Key, key);
    QFETCH(Qt::KeyboardModifiers, modifiers);
    QFETCH(QString, symbol);

    CodeEditor editor;
    editor.setPlainText(QStringLiteral("ab"));
    editor.moveCursor(QTextCursor::NextCharacter);
    QTest::keyClick(&editor, key, modifiers);
    QCOMPARE(editor.toPlainText(), QLatin1Char('a') + symbol + QLatin1Char('b'));
}

void TestCodeEditor::keysReachingBaseClass_data()
{
    QTest::addColumn<Qt::Key>("key");
    QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
    QTest::newRow("Alt+Shift+8") << Qt::Key_8 << (Qt::AltModifier | Qt::ShiftModifier);
    QTest::newRow("Ctrl+Alt+1") << Qt::Key_1 << (Qt::ControlModifier | Qt::AltModifier);
    QTest::newRow("Alt+keypad 1") << Qt::Key_1 << (Qt::AltModifier | Qt::KeypadModifier);
    QTest::newRow("Ctrl+keypad 0") << Qt::Key_0 << (Qt::ControlModifier | Qt::KeypadModifier);
    QTest::newRow("Alt+keypad minus") << Qt::Key_Minus << (Qt::AltModifier | Qt::KeypadModifier);
    QTest::newRow("Ctrl+Shift+2") << Qt::Key_2 << (Qt::ControlModifier | Qt::ShiftModifier);
    QTest::newRow("Ctrl+6") << Qt::Key_6 << Qt::KeyboardModifiers(Qt::ControlModifier);
    QTest::newRow("Ctrl+8") << Qt::Key_8 << Qt::KeyboardModifiers(Qt::ControlModifier);
    QTest::newRow("Ctrl+minus") << Qt::Key_Minus << Qt::KeyboardModifiers(Qt::ControlModifier);
    QTest::newRow("Alt+9") << Qt::Key_9 << Qt::KeyboardModifiers(Qt::AltModifier);
    QTest::newRow("plain 1") << Qt::Key_1 << Qt::KeyboardModifiers(Qt::NoModifier);
    QTest::newRow("Shift+8") << Qt::Key_8 << Qt::KeyboardModifiers(Qt::ShiftModifier);
}

void TestCodeEditor::keysReachingBaseClass()
{
    QFETCH(Qt::Key, key);
    QFETCH(Qt::KeyboardModifiers, modifiers);

    // The editor must do exactly what the plain text editor does with the same key.
    CodeEditor editor;
    QPlainTextEdit plain;
    for (QPlainTextEdit* edit : {static_cast<QPlainTextEdit*>(&editor), &plain}) {
        edit->setPlainText(QStringLiteral("ab"));
        edit->moveCursor(QTextCursor::NextCharacter);
        QTest::keyClick(edit, key, modifiers);
    }
    QCOMPARE(editor.toPlainText(), plain.toPlainText());
    QCOMPARE(editor.textCursor().position(), plain.textCursor().position());
}

void TestCodeEditor::symbolReplacesSelection()
{
    CodeEditor editor;
    editor.setPlainText(QStringLiteral("a b c"));
    QTextCursor cursor = editor.textCursor();
    cursor.setPosition(2);
    cursor.setPosition(3, QTextCursor::KeepAnchor);
    editor.setTextCursor(cursor);

    QTest::keyClick(&editor, Qt::Key_1, Qt::AltModifier);
    QCOMPARE(editor.toPlainText(), QString::fromUtf8("a → c"));
    QVERIFY(!editor.textCursor().hasSelection());

    // One undo step brings the selected text back.
    editor.undo();
    QCOMPARE(editor.toPlainText(), QStringLiteral("a b c"));
}

void TestCodeEditor::markColoursAndExtents_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QColor>("colour");
    QTest::addColumn<int>("extent"); // characters of the range highlight, -1: to line end

    QTest::newRow("0x01") << 0x01 << QColor(0xFF, 0x00, 0x00) << 1;
    QTest::newRow("0x03 red first") << 0x03 << QColor(0xFF, 0x00, 0x00) << 1;
    QTest::newRow("0xFF red first") << 0xFF << QColor(0xFF, 0x00, 0x00) << 1;
    QTest::newRow("0x02") << 0x02 << QColor(0xCA, 0x51, 0x00) << -1;
    QTest::newRow("0x0E") << 0x0E << QColor(0xCA, 0x51, 0x00) << -1;
    QTest::newRow("0x04") << 0x04 << QColor(0x00, 0x7A, 0xCC) << 0;
    QTest::newRow("0x0C") << 0x0C << QColor(0x00, 0x7A, 0xCC) << 0;
    QTest::newRow("0x08") << 0x08 << QColor(0x3D, 0x72, 0x5E) << 0;
    QTest::newRow("0x00") << 0x00 << QColor(0xFF, 0x42, 0x0E) << 0;
    QTest::newRow("0xF0") << 0xF0 << QColor(0xFF, 0x42, 0x0E) << 0;
}

void TestCodeEditor::markColoursAndExtents()
{
    QFETCH(int, kind);
    QFETCH(QColor, colour);
    QFETCH(int, extent);

    CodeEditor editor;
    editor.resize(600, 300);
    editor.setPlainText(sampleText);
    editor.addErrorMark(3, 2, uchar(kind));

    const QList<QTextEdit::ExtraSelection> selections = editor.extraSelections();
    QCOMPARE(selections.size(), 3);
    QCOMPARE(background(selections.at(0)), QColor(0xE8, 0xF2, 0xFE));

    const QTextBlock block = editor.document()->findBlockByNumber(1);
    const QTextEdit::ExtraSelection& range = selections.at(1);
    QCOMPARE(background(range), colour.lighter(188));
    QCOMPARE(range.cursor.selectionStart(), block.position() + 2);
    const int length = extent < 0 ? block.length() - 1 - 2 : extent;
    QCOMPARE(range.cursor.selectionEnd() - range.cursor.selectionStart(), length);

    const QTextEdit::ExtraSelection& line = selections.at(2);
    QCOMPARE(line.format.underlineColor(), colour);
    QCOMPARE(line.format.underlineStyle(), QTextCharFormat::WaveUnderline);
    QVERIFY(line.format.boolProperty(QTextFormat::FullWidthSelection));
    QVERIFY(!line.cursor.hasSelection());
    QCOMPARE(line.cursor.block().blockNumber(), 1);
}

void TestCodeEditor::markPlacement_data()
{
    QTest::addColumn<int>("column");
    QTest::addColumn<int>("line");
    QTest::addColumn<int>("block");
    QTest::addColumn<int>("start");  // within the block
    QTest::addColumn<int>("length"); // of the one-character range

    QTest::newRow("first character") << 1 << 1 << 0 << 0 << 1;
    QTest::newRow("inside") << 4 << 2 << 1 << 3 << 1;
    QTest::newRow("last character") << 10 << 1 << 0 << 9 << 1;
    QTest::newRow("last line") << 2 << 3 << 2 << 1 << 1;
    QTest::newRow("line beyond the end") << 2 << 7 << 2 << 1 << 1;
    QTest::newRow("just after the line") << 11 << 1 << 0 << 10 << 0;
    QTest::newRow("column beyond the line") << 40 << 1 << 0 << 10 << 0;
    QTest::newRow("column beyond the last line") << 40 << 3 << 2 << 5 << 0;
    QTest::newRow("column zero") << 0 << 2 << 1 << 0 << 1;
    QTest::newRow("line zero") << 1 << 0 << 0 << 0 << 1;
}

void TestCodeEditor::markPlacement()
{
    QFETCH(int, column);
    QFETCH(int, line);
    QFETCH(int, block);
    QFETCH(int, start);
    QFETCH(int, length);

    CodeEditor editor;
    editor.setPlainText(sampleText);
    editor.addErrorMark(column, line, 0x01);

    const QList<QTextEdit::ExtraSelection> selections = editor.extraSelections();
    QCOMPARE(selections.size(), 3);
    const QTextBlock expected = editor.document()->findBlockByNumber(block);
    // The range never reaches into another line.
    const QTextCursor range = selections.at(1).cursor;
    QCOMPARE(range.selectionStart(), expected.position() + start);
    QCOMPARE(range.selectionEnd() - range.selectionStart(), length);
    QCOMPARE(selections.at(2).cursor.position(), expected.position());
}

void TestCodeEditor::lineEndMarkStopsAtVisualLine()
{
    CodeEditor editor;
    editor.resize(200, 300);
    editor.show();
    QVERIFY(QTest::qWaitForWindowExposed(&editor));
    editor.setPlainText(QStringLiteral("short\n") + QStringLiteral("word ").repeated(60));
    const QTextBlock block = editor.document()->findBlockByNumber(1);
    QVERIFY2(block.layout()->lineCount() > 1, "the long line should wrap");

    editor.addErrorMark(1, 2, 0x02);
    const QTextCursor range = editor.extraSelections().at(1).cursor;
    QCOMPARE(range.selectionStart(), block.position());
    // The first visual line ends where it wraps, before the blank it wraps at.
    const QTextLine first = block.layout()->lineAt(0);
    QCOMPARE(block.text().at(first.textLength() - 1), QLatin1Char(' '));
    QCOMPARE(range.selectionEnd(), block.position() + first.textLength() - 1);
}

void TestCodeEditor::marksDrawnInOrder()
{
    CodeEditor editor;
    editor.setPlainText(sampleText);
    editor.addErrorMark(1, 2, 0x04);
    editor.addErrorMark(5, 2, 0x01);

    const QList<QTextEdit::ExtraSelection> selections = editor.extraSelections();
    QCOMPARE(selections.size(), 5);
    QCOMPARE(selections.at(2).format.underlineColor(), QColor(0x00, 0x7A, 0xCC));
    QCOMPARE(selections.at(4).format.underlineColor(), QColor(0xFF, 0x00, 0x00));
    QCOMPARE(selections.at(3).cursor.selectedText(), QStringLiteral("n"));
}

void TestCodeEditor::removeMarksOfOneLine()
{
    CodeEditor editor;
    editor.setPlainText(sampleText);
    const int lines[] = {1, 2, 1, 3, 2, 1};
    int column = 1;
    for (int line : lines)
        editor.addErrorMark(column++, line, 0x01);

    const auto remaining = [&editor] {
        QStringList marks;
        for (const ErrorMark& mark : editor.marks())
            marks << QStringLiteral("%1:%2").arg(mark.line).arg(mark.column);
        return marks.join(QLatin1Char(' '));
    };
    editor.removeErrorMarks(4);
    QCOMPARE(remaining(), QStringLiteral("1:1 2:2 1:3 3:4 2:5 1:6"));
    editor.removeErrorMarks(1);
    QCOMPARE(remaining(), QStringLiteral("2:2 3:4 2:5"));

    // The next cursor move shows what is left.
    editor.moveCursor(QTextCursor::End);
    QCOMPARE(editor.extraSelections().size(), 1 + 2 * 3);
}

void TestCodeEditor::clearMarks()
{
    CodeEditor editor;
    editor.setPlainText(sampleText);
    editor.addErrorMark(1, 1, 0x01);
    editor.addErrorMark(1, 2, 0x02);
    QCOMPARE(editor.extraSelections().size(), 5);

    editor.clearErrorMarks();
    QVERIFY(editor.marks().isEmpty());
    QCOMPARE(editor.extraSelections().size(), 1);
}

void TestCodeEditor::readOnlyShowsNoLineOrMarks()
{
    CodeEditor editor;
    editor.setPlainText(QStringLiteral("(a)\nb"));
    editor.setReadOnly(true);
    editor.addErrorMark(1, 2, 0x01);
    QVERIFY(editor.extraSelections().isEmpty());

    // Bracket highlights still appear.
    editor.moveCursor(QTextCursor::End);
    editor.moveCursor(QTextCursor::Start);
    const QList<QTextEdit::ExtraSelection> selections = editor.extraSelections();
    QCOMPARE(selections.size(), 2);
    QCOMPARE(selections.at(0).cursor.selectionStart(), 2);
    QCOMPARE(selections.at(1).cursor.selectionStart(), 0);
    QCOMPARE(background(selections.at(0)), QColor(0xC0, 0xC0, 0xC0));
}

void TestCodeEditor::cursorPositionAtStart()
{
    CodeEditor editor;
    editor.setPlainText(sampleText);
    editor.moveCursor(QTextCursor::Start);
    QSignalSpy spy(&editor, SIGNAL(cursorPositionChanged(int, int)));
    editor.cursorPosition();
    QCOMPARE(spy.size(), 1);
    QCOMPARE(spy.at(0), (QVariantList{1, 1}));
}

void TestCodeEditor::cursorPositionReportsMoves()
{
    CodeEditor editor;
    editor.setPlainText(sampleText);
    QSignalSpy spy(&editor, SIGNAL(cursorPositionChanged(int, int)));

    QTextCursor cursor(editor.document()->findBlockByNumber(1));
    cursor.movePosition(QTextCursor::NextCharacter, QTextCursor::MoveAnchor, 3);
    editor.setTextCursor(cursor);
    QCOMPARE(spy.size(), 1);
    QCOMPARE(spy.at(0), (QVariantList{2, 4}));

    QTest::keyClick(&editor, Qt::Key_X);
    QCOMPARE(spy.last(), (QVariantList{2, 5}));
}

void TestCodeEditor::goToPosition_data()
{
    QTest::addColumn<int>("column");
    QTest::addColumn<int>("line");
    QTest::addColumn<int>("block");
    QTest::addColumn<int>("offset"); // cursor position within the block

    QTest::newRow("start") << 0 << 1 << 0 << 0;
    QTest::newRow("inside") << 2 << 2 << 1 << 2;
    QTest::newRow("end of line") << 10 << 1 << 0 << 10;
    QTest::newRow("column beyond line end") << 11 << 1 << 0 << 10;
    QTest::newRow("far beyond line end") << 500 << 2 << 1 << 16;
    QTest::newRow("line beyond last") << 1 << 9 << 2 << 1;
    QTest::newRow("both beyond") << 99 << 99 << 2 << 5;
    QTest::newRow("negative values") << -3 << -1 << 0 << 0;
}

void TestCodeEditor::goToPosition()
{
    QFETCH(int, column);
    QFETCH(int, line);
    QFETCH(int, block);
    QFETCH(int, offset);

    CodeEditor editor;
    editor.setPlainText(sampleText);
    QSignalSpy spy(&editor, SIGNAL(cursorPositionChanged(int, int)));
    editor.goToPosition(column, line);

    const QTextCursor cursor = editor.textCursor();
    QVERIFY(!cursor.hasSelection());
    QCOMPARE(cursor.blockNumber(), block);
    QCOMPARE(cursor.positionInBlock(), offset);
    if (!spy.isEmpty())
        QCOMPARE(spy.last(), (QVariantList{block + 1, offset + 1}));
}

QTEST_MAIN(TestCodeEditor)
#include "tst_codeeditor.moc"
