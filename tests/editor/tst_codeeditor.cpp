#include "codeeditor.h"

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
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void gutterWidth();
    void symbolKeys_data();
    void symbolKeys();
    void symbolReplacesSelection();
    void marks_data();
    void marks();
    void lineEndMarkStopsAtVisualLine();
    void marksKeepOrderAndGoPerLine();
    void readOnlyShowsOnlyBrackets();
    void brackets_data();
    void brackets();
    void cursorPositionAtStart();
    void goToPosition_data();
    void goToPosition();
};

namespace {
const QString sample = QStringLiteral("first line\nsecond line here\nthird");
}

void TestCodeEditor::gutterWidth()
{
    CodeEditor editor;
    const int digit = QFontMetrics(editor.font()).horizontalAdvance(QLatin1Char('9'));
    QCOMPARE(editor.lineNumberAreaWidth(), 16 + digit);
    editor.setPlainText(QString(8, QLatin1Char('\n')));
    QCOMPARE(editor.lineNumberAreaWidth(), 16 + digit);
    editor.appendPlainText(QString());
    QCOMPARE(editor.blockCount(), 10);
    QCOMPARE(editor.lineNumberAreaWidth(), 16 + 2 * digit);
    // The text viewport makes room for the wider gutter.
    QCOMPARE(editor.viewport()->geometry().left(), editor.contentsRect().left() + 16 + 2 * digit);
}

void TestCodeEditor::symbolKeys_data()
{
    QTest::addColumn<Qt::Key>("key");
    QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
    QTest::addColumn<QString>("symbol"); // empty: the plain text editor's own handling
    const Qt::Key keys[] = {Qt::Key_0, Qt::Key_1,     Qt::Key_2,       Qt::Key_3,
                            Qt::Key_4, Qt::Key_5,     Qt::Key_6,       Qt::Key_7,
                            Qt::Key_8, Qt::Key_Minus, Qt::Key_Asterisk};
    const QString alt = QString::fromUtf8("∘→↔∩∪⊥¬⇑⋙⊖×");
    const QString ctrl = QString::fromUtf8("◊⇒⇔∧∨⊤");
    for (int i = 0; i < 11; ++i) {
        const QByteArray name = QKeySequence(keys[i]).toString().toLatin1();
        QTest::addRow("Alt+%s", name.data())
            << keys[i] << Qt::KeyboardModifiers(Qt::AltModifier) << QString(alt.at(i));
        QTest::addRow("Ctrl+%s", name.data())
            << keys[i] << Qt::KeyboardModifiers(Qt::ControlModifier)
            << (i < ctrl.length() ? QString(ctrl.at(i)) : QString());
    }
    QTest::newRow("Alt+Shift+8") << Qt::Key_8 << (Qt::AltModifier | Qt::ShiftModifier) << "";
    QTest::newRow("Ctrl+Alt+1") << Qt::Key_1 << (Qt::ControlModifier | Qt::AltModifier) << "";
    QTest::newRow("Alt+keypad 1") << Qt::Key_1 << (Qt::AltModifier | Qt::KeypadModifier) << "";
    QTest::newRow("Ctrl+keypad 0") << Qt::Key_0 << (Qt::ControlModifier | Qt::KeypadModifier) << "";
    QTest::newRow("Alt+9") << Qt::Key_9 << Qt::KeyboardModifiers(Qt::AltModifier) << "";
    QTest::newRow("plain 1") << Qt::Key_1 << Qt::KeyboardModifiers() << "";
}

void TestCodeEditor::symbolKeys()
{
    QFETCH(Qt::Key, key);
    QFETCH(Qt::KeyboardModifiers, modifiers);
    QFETCH(QString, symbol);
    // Without a symbol the editor must do what the plain text editor does with the key.
    CodeEditor editor;
    QPlainTextEdit plain;
    for (QPlainTextEdit* edit : {static_cast<QPlainTextEdit*>(&editor), &plain}) {
        edit->setPlainText(QStringLiteral("ab"));
        edit->moveCursor(QTextCursor::NextCharacter);
        QTest::keyClick(edit, key, modifiers);
    }
    QCOMPARE(editor.toPlainText(), symbol.isEmpty() ? plain.toPlainText() : "a" + symbol + "b");
    QCOMPARE(editor.textCursor().position(), symbol.isEmpty() ? plain.textCursor().position() : 2);
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
}

void TestCodeEditor::marks_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("column");
    QTest::addColumn<int>("line");
    QTest::addColumn<QColor>("colour");
    QTest::addColumn<int>("block");
    QTest::addColumn<int>("start");  // of the range, within the block
    QTest::addColumn<int>("length"); // of the range; -1: to the end of the line
    const QColor red(0xFF, 0x00, 0x00), orange(0xCA, 0x51, 0x00), blue(0x00, 0x7A, 0xCC);
    QTest::newRow("0x01") << 0x01 << 3 << 2 << red << 1 << 2 << 1;
    QTest::newRow("0x03, 0x01 first") << 0x03 << 3 << 2 << red << 1 << 2 << 1;
    QTest::newRow("0x02") << 0x02 << 3 << 2 << orange << 1 << 2 << -1;
    QTest::newRow("0x02 at column 1") << 0x02 << 1 << 1 << orange << 0 << 0 << -1;
    QTest::newRow("0x0C, 0x04 first") << 0x0C << 3 << 2 << blue << 1 << 2 << 0;
    QTest::newRow("0x08") << 0x08 << 3 << 2 << QColor(0x3D, 0x72, 0x5E) << 1 << 2 << 0;
    QTest::newRow("0x00") << 0x00 << 3 << 2 << QColor(0xFF, 0x42, 0x0E) << 1 << 2 << 0;
    // The range stays within its line; lines beyond the end go to the last line.
    QTest::newRow("line beyond the end") << 0x01 << 2 << 9 << red << 2 << 1 << 1;
    QTest::newRow("column after the line") << 0x01 << 11 << 1 << red << 0 << 10 << 0;
    QTest::newRow("column far beyond") << 0x02 << 40 << 3 << orange << 2 << 5 << 0;
    QTest::newRow("column zero") << 0x01 << 0 << 2 << red << 1 << 0 << 1;
}

void TestCodeEditor::marks()
{
    QFETCH(int, kind);
    QFETCH(int, column);
    QFETCH(int, line);
    QFETCH(QColor, colour);
    QFETCH(int, block);
    QFETCH(int, start);
    QFETCH(int, length);

    CodeEditor editor;
    editor.resize(600, 300);
    editor.setPlainText(sample);
    editor.addErrorMark(column, line, uchar(kind));
    const QList<QTextEdit::ExtraSelection> selections = editor.extraSelections();
    QCOMPARE(selections.size(), 3);
    QCOMPARE(selections.at(0).format.background().color(), QColor(0xE8, 0xF2, 0xFE));

    const QTextBlock expected = editor.document()->findBlockByNumber(block);
    const QTextCursor range = selections.at(1).cursor;
    QCOMPARE(selections.at(1).format.background().color(), colour.lighter(188));
    QCOMPARE(range.selectionStart(), expected.position() + start);
    QCOMPARE(range.selectionEnd() - range.selectionStart(),
             length < 0 ? expected.length() - 1 - start : length);

    const QTextEdit::ExtraSelection& underline = selections.at(2);
    QCOMPARE(underline.format.underlineColor(), colour);
    QCOMPARE(underline.format.underlineStyle(), QTextCharFormat::WaveUnderline);
    QVERIFY(underline.format.boolProperty(QTextFormat::FullWidthSelection));
    QVERIFY(!underline.cursor.hasSelection());
    QCOMPARE(underline.cursor.position(), expected.position());
}

void TestCodeEditor::lineEndMarkStopsAtVisualLine()
{
    CodeEditor editor;
    editor.resize(200, 300);
    editor.show();
    QVERIFY(QTest::qWaitForWindowExposed(&editor));
    editor.setPlainText(QStringLiteral("word ").repeated(60));
    const QTextLine first = editor.document()->begin().layout()->lineAt(0);
    QVERIFY(first.textLength() < 300);
    editor.addErrorMark(1, 1, 0x02);
    // The range ends where the first visual line wraps, before the blank it wraps at.
    QCOMPARE(editor.extraSelections().at(1).cursor.selectionEnd(), first.textLength() - 1);
}

void TestCodeEditor::marksKeepOrderAndGoPerLine()
{
    CodeEditor editor;
    editor.setPlainText(sample);
    const int lines[] = {1, 2, 1, 3, 2};
    for (int i = 0; i < 5; ++i)
        editor.addErrorMark(i + 1, lines[i], uchar(1 << i));
    const auto remaining = [&editor] {
        QString text;
        for (const ErrorMark& mark : editor.marks())
            text += QStringLiteral("%1:%2 ").arg(mark.line).arg(mark.column);
        return text;
    };
    // Later marks are drawn over earlier ones.
    QCOMPARE(editor.extraSelections().at(4).format.underlineColor(), QColor(0xCA, 0x51, 0x00));
    QCOMPARE(editor.extraSelections().at(8).format.underlineColor(), QColor(0x3D, 0x72, 0x5E));

    editor.removeErrorMarks(7);
    QCOMPARE(remaining(), QStringLiteral("1:1 2:2 1:3 3:4 2:5 "));
    editor.removeErrorMarks(1);
    QCOMPARE(remaining(), QStringLiteral("2:2 3:4 2:5 "));
    editor.moveCursor(QTextCursor::End); // the next cursor move shows the change
    QCOMPARE(editor.extraSelections().size(), 1 + 2 * 3);
    editor.clearErrorMarks();
    QVERIFY(editor.marks().isEmpty());
    QCOMPARE(editor.extraSelections().size(), 1);
}

void TestCodeEditor::readOnlyShowsOnlyBrackets()
{
    CodeEditor editor;
    editor.setPlainText(QStringLiteral("(a)\nb"));
    editor.setReadOnly(true);
    editor.addErrorMark(1, 2, 0x01);
    QVERIFY(editor.extraSelections().isEmpty());
    editor.moveCursor(QTextCursor::End);
    editor.moveCursor(QTextCursor::Start);
    const QList<QTextEdit::ExtraSelection> selections = editor.extraSelections();
    QCOMPARE(selections.size(), 2);
    QCOMPARE(selections.at(0).format.background().color(), QColor(0xC0, 0xC0, 0xC0));
}

void TestCodeEditor::cursorPositionAtStart()
{
    CodeEditor editor;
    editor.setPlainText(sample);
    QSignalSpy spy(&editor, SIGNAL(cursorPositionChanged(int, int)));
    editor.cursorPosition();
    QCOMPARE(spy.size(), 1);
    QCOMPARE(spy.at(0), (QVariantList{1, 1}));
}

void TestCodeEditor::goToPosition_data()
{
    QTest::addColumn<int>("column");
    QTest::addColumn<int>("line");
    QTest::addColumn<int>("block");
    QTest::addColumn<int>("offset"); // cursor position within the block
    QTest::newRow("inside") << 2 << 2 << 1 << 2;
    QTest::newRow("end of line") << 10 << 1 << 0 << 10;
    QTest::newRow("column beyond the line") << 11 << 1 << 0 << 10;
    QTest::newRow("far beyond the line") << 500 << 2 << 1 << 16;
    QTest::newRow("line beyond the last") << 1 << 9 << 2 << 1;
    QTest::newRow("both beyond") << 99 << 99 << 2 << 5;
    QTest::newRow("negative") << -3 << -1 << 0 << 0;
}

void TestCodeEditor::goToPosition()
{
    QFETCH(int, column);
    QFETCH(int, line);
    QFETCH(int, block);
    QFETCH(int, offset);
    CodeEditor editor;
    editor.setPlainText(sample);
    editor.moveCursor(QTextCursor::End);
    editor.moveCursor(QTextCursor::Left);
    QSignalSpy spy(&editor, SIGNAL(cursorPositionChanged(int, int)));
    editor.goToPosition(column, line);
    QCOMPARE(editor.textCursor().blockNumber(), block);
    QCOMPARE(editor.textCursor().positionInBlock(), offset);
    QCOMPARE(spy.last(), (QVariantList{block + 1, offset + 1}));
}

void TestCodeEditor::brackets_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("cursor");
    QTest::addColumn<QList<int>>("highlights"); // partner first, then the bracket at the cursor
    QTest::newRow("nested, outer") << "(a (b) c)" << 0 << QList<int>{8, 0};
    QTest::newRow("nested, inner") << "(a (b) c)" << 3 << QList<int>{5, 3};
    QTest::newRow("nested, backward") << "(a (b) c)" << 8 << QList<int>{0, 8};
    QTest::newRow("cursor after the bracket") << "(a)" << 3 << QList<int>{};
    QTest::newRow("mixed pairs") << "( [ ) ]" << 0 << QList<int>{4, 0};
    QTest::newRow("mixed pairs, backward") << "( [ ) ]" << 6 << QList<int>{2, 6};
    QTest::newRow("all pairs") << "{[(<>)]}" << 1 << QList<int>{6, 1};
    QTest::newRow("unmatched opening") << "(a (b)" << 0 << QList<int>{};
    QTest::newRow("unmatched closing") << "a) (b)" << 1 << QList<int>{};
    QTest::newRow("other pair only") << "( ]" << 0 << QList<int>{};
    QTest::newRow("across lines") << "x (\ny\nz)" << 2 << QList<int>{7, 2};
    QTest::newRow("angles across lines") << "<a\nb\nc>" << 0 << QList<int>{6, 0};
    QTest::newRow("nested lines") << "(\n(\n)\n)" << 0 << QList<int>{6, 0};
    QTest::newRow("backward across lines") << "(x) (y\n)" << 7 << QList<int>{4, 7};
    QTest::newRow("backward over empty lines") << "[\n\n\n]" << 4 << QList<int>{0, 4};
    QTest::newRow("backward unmatched") << "a\nb)" << 3 << QList<int>{};
    QTest::newRow("in comments") << "// (x /* ) */" << 3 << QList<int>{9, 3};
}

void TestCodeEditor::brackets()
{
    QFETCH(QString, text);
    QFETCH(int, cursor);
    QFETCH(QList<int>, highlights);

    CodeEditor editor;
    editor.setPlainText(text);
    QTextCursor moved = editor.textCursor();
    moved.setPosition(cursor == 0 ? 1 : 0); // away first, so that placing it is a move
    editor.setTextCursor(moved);
    moved.setPosition(cursor);
    editor.setTextCursor(moved);

    const QList<QTextEdit::ExtraSelection> selections = editor.extraSelections();
    QCOMPARE(selections.size(), 1 + highlights.size()); // the current line stays first
    for (int i = 0; i < highlights.size(); ++i) {
        const QTextEdit::ExtraSelection& selection = selections.at(1 + i);
        QCOMPARE(selection.format.background().color(), QColor(0xC0, 0xC0, 0xC0));
        QCOMPARE(selection.cursor.selectionStart(), highlights.at(i));
        QCOMPARE(selection.cursor.selectionEnd(), highlights.at(i) + 1);
    }

    // A bracket typed before the cursor is matched at once: the highlighter has recorded it
    // by the time the cursor move is handled.
    if (highlights.size() == 2 && text.at(cursor) == QLatin1Char(')')) {
        editor.textCursor().insertText(QStringLiteral("("));
        QCOMPARE(editor.extraSelections().size(), 3);
        QCOMPARE(editor.extraSelections().at(1).cursor.selectionStart(), cursor);
    }
}

QTEST_MAIN(TestCodeEditor)
#include "tst_codeeditor.moc"
