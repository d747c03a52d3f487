// The code editor: gutter, symbol keys, error marks (installed around the view), bracket
// matching, cursor positions, Copy as HTML, and the syntax highlighter's colours.

#include "codeeditor.h"
#include "highlighter.h"
#include "privateenvironment.h"
#include "testmessages.h"

#include <QAction>
#include <QClipboard>
#include <QMimeData>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextLayout>
#include <QtTest>

#include <memory>

Q_DECLARE_METATYPE(Qt::Key)
Q_DECLARE_METATYPE(Qt::KeyboardModifiers)

namespace {

const QString sample = QStringLiteral("first line\nsecond line here\nthird");

// The highlighter's formats as one letter per character (newlines kept), so every character,
// boundaries included, is checked:
//   .  nothing        P  punctuation     B  bracket         A  arrow        D  double arrow
//   O  operator       N  number          H  '#' word        C  command      L  line comment
//   M  block comment  ?  any other format
QChar letterAt(const QTextBlock& block, int position)
{
    static const QHash<QString, QChar> letters = {{"#d33682 75 -1", 'P'}, {"#2aa198 50 -1", 'B'},
                                                  {"#b58900 50 -1", 'A'}, {"#586e75 50 -1", 'D'},
                                                  {"#b0292b 50 -1", 'O'}, {"#bfa954 50 0", 'N'},
                                                  {"#55aa55 50 1", 'H'},  {"#5873aa 50 1", 'C'},
                                                  {"#93a1a1 25 1", 'L'},  {"#586e75 25 1", 'M'}};
    for (const QTextLayout::FormatRange& range : block.layout()->formats()) {
        if (position < range.start || position >= range.start + range.length)
            continue;
        const QTextCharFormat& f = range.format;
        const int italic = f.hasProperty(QTextFormat::FontItalic) ? int(f.fontItalic()) : -1;
        return letters.value(QStringLiteral("%1 %2 %3")
                                 .arg(f.foreground().color().name())
                                 .arg(f.fontWeight())
                                 .arg(italic),
                             '?');
    }
    return '.';
}

// The mask of the document, then each block's state.
QString maskOf(const QTextDocument& doc)
{
    QString mask, states;
    for (QTextBlock block = doc.begin(); block.isValid(); block = block.next()) {
        if (block != doc.begin())
            mask += '\n';
        for (int i = 0; i < block.length() - 1; ++i)
            mask += letterAt(block, i);
        states += QString::number(block.userState());
    }
    return mask + ' ' + states;
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

// The lines (1-based) whose marks are installed, from the underline selections.
QList<int> markedLines(const CodeEditor& editor)
{
    QList<int> lines;
    const QList<QTextEdit::ExtraSelection> selections = editor.extraSelections();
    for (int i = 2; i < selections.size(); i += 2)
        lines << selections.at(i).cursor.blockNumber() + 1;
    return lines;
}

// Copies with the editor's Ctrl+Shift+C action; returns the HTML if both flavours carry it.
QString copyAsHtml(CodeEditor& editor)
{
    for (QAction* action : editor.actions()) {
        if (action->shortcut() == QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_C))
            action->trigger();
    }
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    return data && data->text() == data->html() ? data->html() : QStringLiteral("mismatch");
}

} // namespace

class TestEditor : public QObject {
    Q_OBJECT
    PrivateEnvironment environment;

private slots:

    void gutterWidth()
    {
        CodeEditor editor;
        const int digit = QFontMetrics(editor.font()).horizontalAdvance('9');
        editor.setPlainText(QString(8, '\n'));
        QCOMPARE(editor.lineNumberAreaWidth(), 16 + digit);
        editor.appendPlainText(QString());
        QCOMPARE(editor.lineNumberAreaWidth(), 16 + 2 * digit);
        // The text viewport makes room for the wider gutter.
        QCOMPARE(editor.viewport()->geometry().left(),
                 editor.contentsRect().left() + 16 + 2 * digit);
    }

    void symbolKeys_data()
    {
        QTest::addColumn<Qt::Key>("key");
        QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
        QTest::addColumn<QString>("symbol"); // empty: the plain text editor's own handling
        // Alt with a digit, minus or asterisk: see the window's key test, which types them.
        const Qt::KeyboardModifiers alt = Qt::AltModifier, ctrl = Qt::ControlModifier;
        QTest::newRow("Ctrl+0") << Qt::Key_0 << ctrl << "◊";
        QTest::newRow("Ctrl+5") << Qt::Key_5 << ctrl << "⊤";
        QTest::newRow("Ctrl+6") << Qt::Key_6 << ctrl << "";
        QTest::newRow("Alt+9") << Qt::Key_9 << alt << "";
        QTest::newRow("Alt+Shift+8") << Qt::Key_8 << (alt | Qt::ShiftModifier) << "";
        QTest::newRow("Ctrl+Alt+1") << Qt::Key_1 << (ctrl | alt) << "";
        QTest::newRow("Alt+keypad 1") << Qt::Key_1 << (alt | Qt::KeypadModifier) << "";
    }
    void symbolKeys()
    {
        QFETCH(Qt::Key, key);
        QFETCH(Qt::KeyboardModifiers, modifiers);
        QFETCH(QString, symbol);
        // Typed over a selection of "b" in "abc"; without a symbol the editor must do what the
        // plain text editor does with the key.
        CodeEditor editor;
        QPlainTextEdit plain;
        for (QPlainTextEdit* edit : {static_cast<QPlainTextEdit*>(&editor), &plain}) {
            edit->setPlainText(QStringLiteral("abc"));
            QTextCursor cursor = edit->textCursor();
            cursor.setPosition(1);
            cursor.setPosition(2, QTextCursor::KeepAnchor);
            edit->setTextCursor(cursor);
            QTest::keyClick(edit, key, modifiers);
        }
        QCOMPARE(editor.toPlainText(), symbol.isEmpty() ? plain.toPlainText() : "a" + symbol + "c");
        QCOMPARE(editor.textCursor().position(),
                 symbol.isEmpty() ? plain.textCursor().position() : 2);
    }

    void marks_data()
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
    void marks()
    {
        QFETCH(int, kind);
        QFETCH(QColor, colour);
        QFETCH(int, start);
        QFETCH(int, length);
        CodeEditor editor;
        editor.resize(600, 300);
        editor.setPlainText(sample);
        QFETCH(int, column);
        QFETCH(int, line);
        QFETCH(int, block);
        editor.addErrorMark(column, line, uchar(kind));
        const QList<QTextEdit::ExtraSelection> selections = editor.extraSelections();
        QCOMPARE(selections.size(), 3); // the current line first
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
        QCOMPARE(underline.cursor.position(), expected.position());
    }

    void lineEndMarkStopsAtVisualLine()
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

    void marksKeepOrderAndGoPerLine()
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
        // Read-only, the editor shows only bracket highlights.
        editor.setPlainText(QStringLiteral("(a)\nb"));
        editor.setReadOnly(true);
        editor.addErrorMark(1, 2, 0x01);
        editor.moveCursor(QTextCursor::End);
        editor.moveCursor(QTextCursor::Start);
        QCOMPARE(editor.extraSelections().size(), 2);
        QCOMPARE(editor.extraSelections().at(0).format.background().color(),
                 QColor(0xC0, 0xC0, 0xC0));
    }

    // Error marks are installed only around the visible part of the editor and follow the view
    // when it scrolls; a burst of marks is installed once all have arrived.
    void marksAroundTheView_data()
    {
        QTest::addColumn<int>("scrollTo"); // first line shown
        QTest::addColumn<int>("marksPerLine");
        QTest::newRow("top") << 1 << 1;
        QTest::newRow("middle") << 2500 << 1;
        QTest::newRow("near the end") << 4960 << 1;
        QTest::newRow("a burst on each line") << 1 << 40;
    }
    void marksAroundTheView()
    {
        QFETCH(int, scrollTo);
        QFETCH(int, marksPerLine);
        CodeEditor editor;
        editor.resize(400, 300);
        editor.show();
        QVERIFY(QTest::qWaitForWindowExposed(&editor));
        editor.setPlainText(QStringLiteral("line\n").repeated(4999) + QStringLiteral("end"));
        editor.verticalScrollBar()->setValue(scrollTo - 1);
        for (int line = 1; line <= 5000; line += 10) {
            for (int i = 0; i < marksPerLine; ++i)
                editor.addErrorMark(1, line, 1);
        }
        QTest::qWait(1); // a burst is installed when the event loop gets to it

        // Every mark of the lines in view is installed, none of those far away, in the order added.
        const auto check = [&](int top) {
            const int shown = editor.viewport()->height() / editor.fontMetrics().lineSpacing();
            const QList<int> lines = markedLines(editor);
            QVERIFY(std::is_sorted(lines.begin(), lines.end()));
            for (int line = 1; line <= 5000; line += 10) {
                if (line >= top && line < top + shown)
                    QCOMPARE(lines.count(line), marksPerLine);
                if (qAbs(line - top) > 1000)
                    QCOMPARE(lines.count(line), 0);
            }
        };
        QCOMPARE(editor.cursorForPosition(QPoint(0, 0)).blockNumber(), scrollTo - 1);
        check(scrollTo);
        // Scrolling far away brings the marks there.
        const int away = scrollTo < 2500 ? 4000 : 100;
        editor.verticalScrollBar()->setValue(away - 1);
        check(away);
    }
    void brackets_data()
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
        QTest::newRow("nested lines") << "(\n(\n)\n)" << 0 << QList<int>{6, 0};
        QTest::newRow("backward across lines") << "(x) (y\n)" << 7 << QList<int>{4, 7};
        QTest::newRow("backward over empty lines") << "[\n\n\n]" << 4 << QList<int>{0, 4};
        QTest::newRow("backward unmatched") << "a\nb)" << 3 << QList<int>{};
        QTest::newRow("in comments") << "// (x /* ) */" << 3 << QList<int>{9, 3};
    }
    void brackets()
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
            QCOMPARE(selections.at(1 + i).format.background().color(), QColor(0xC0, 0xC0, 0xC0));
            QCOMPARE(selections.at(1 + i).cursor.selectionStart(), highlights.at(i));
            QCOMPARE(selections.at(1 + i).cursor.selectionEnd(), highlights.at(i) + 1);
        }
        // A bracket typed before the cursor is matched at once: the highlighter has recorded it
        // by the time the cursor move is handled.
        if (highlights.size() == 2 && text.at(cursor) == ')') {
            editor.textCursor().insertText(QStringLiteral("("));
            QCOMPARE(editor.extraSelections().size(), 3);
            QCOMPARE(editor.extraSelections().at(1).cursor.selectionStart(), cursor);
        }
    }

    void goToPosition_data()
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
    void goToPosition()
    {
        QFETCH(int, column);
        QFETCH(int, line);
        QFETCH(int, block);
        QFETCH(int, offset);
        CodeEditor editor;
        editor.setPlainText(sample);
        QSignalSpy spy(&editor, SIGNAL(cursorPositionChanged(int, int)));
        editor.cursorPosition(); // reports where the cursor is
        QCOMPARE(spy.takeFirst(), (QVariantList{1, 1}));
        editor.moveCursor(QTextCursor::End);
        editor.goToPosition(column, line);
        QCOMPARE(editor.textCursor().blockNumber(), block);
        QCOMPARE(editor.textCursor().positionInBlock(), offset);
        QCOMPARE(spy.last(), (QVariantList{block + 1, offset + 1}));
    }

    void copyAsHtml()
    {
        QGuiApplication::clipboard()->setText(QStringLiteral("left over"));
        CodeEditor editor;
        QCOMPARE(::copyAsHtml(editor), QString()); // empty document, empty clipboard
        const QString text =
            QString::fromUtf8("plain words.\n// note (x)\n/* open\nstill */ after");
        editor.setPlainText(text);
        QTextDocument pasted;
        pasted.setHtml(::copyAsHtml(editor));
        QCOMPARE(pasted.toPlainText(), text);
        // Word, colour (invalid: none of its own), weight, italic.
        const QList<std::tuple<QString, QColor, int, bool>> formats = {
            {"note", QColor(0x93, 0xA1, 0xA1), 25, true},
            {"still", QColor(0x58, 0x6E, 0x75), 25, true},
            {".", QColor(0xD3, 0x36, 0x82), 75, false},
            {"after", QColor(), 50, false}};
        for (const auto& [word, colour, weight, italic] : formats) {
            QTextCursor found = pasted.find(word);
            found.setPosition(found.selectionStart() + 1);
            const QTextCharFormat format = found.charFormat();
            QCOMPARE(format.hasProperty(QTextFormat::ForegroundBrush), colour.isValid());
            QVERIFY(!colour.isValid() || format.foreground().color() == colour);
            QCOMPARE(format.fontWeight(), weight);
            QCOMPARE(format.fontItalic(), italic);
        }
        // The whole document only: neither the selection nor marks or highlights count.
        const QString whole = ::copyAsHtml(editor);
        QTextCursor cursor = editor.textCursor();
        cursor.setPosition(13);
        cursor.setPosition(14, QTextCursor::KeepAnchor);
        editor.setTextCursor(cursor);
        editor.addErrorMark(1, 1, 0x02);
        QCOMPARE(::copyAsHtml(editor), whole);
    }

    void highlighter_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("mask"); // then the blocks' states
        const QStringList lines =
            QString::fromUtf8(testDataFile("highlighter.txt")).replace("\\n", "\n").split("\n# ");
        QVERIFY(lines.size() > 10);
        for (const QString& row : lines.mid(1)) {
            const QStringList parts = row.split("\n= ");
            if (parts.size() != 2)
                continue; // a comment
            const int name = parts[0].indexOf('\n');
            QTest::newRow(qPrintable(parts[0].left(name)))
                << parts[0].mid(name + 1) << parts[1].trimmed();
        }
    }
    void highlighter()
    {
        QFETCH(QString, text);
        QTEST(maskOf(*highlighted(text)), "mask");
    }

    void highlighterRecoloursFollowingBlocks()
    {
        const auto doc = highlighted(QStringLiteral("a.\nb\nc."));
        QTextCursor cursor(doc.get());
        cursor.insertText(QStringLiteral("/*"));
        QCOMPARE(maskOf(*doc), QStringLiteral("MMMM\nM\nMM 111"));
        cursor.setPosition(0);
        cursor.setPosition(2, QTextCursor::KeepAnchor);
        cursor.removeSelectedText();
        QCOMPARE(maskOf(*doc), QStringLiteral(".P\n.\n.P 000"));
    }
};

QTEST_MAIN(TestEditor)
#include "tst_editor.moc"
