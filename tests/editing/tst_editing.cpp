// The writing aids of one editor, each driven by its keys or calls.

#include "windowfixture.h"

#include "abbreviationexpander.h"
#include "abbreviations.h"
#include "completioncontroller.h"
#include "editorzoom.h"
#include "errormessage.h"
#include "hovertips.h"
#include "sentregion.h"
#include "termtable.h"
#include "termtablefiller.h"
#include "termwords.h"

#include <QListWidget>
#include <QTableWidget>
#include <QTextDocument>
#include <QToolTip>
#include <QtTest>

namespace {

// Types a string; '\t' is Tab, '\n' Return, '\x1b' Escape and '^' Up.
void type(QWidget* editor, const QString& keys)
{
    const QHash<QChar, Qt::Key> special{
        {'\t', Qt::Key_Tab}, {'\n', Qt::Key_Return}, {'\x1b', Qt::Key_Escape}, {'^', Qt::Key_Up}};
    for (const QChar c : keys) {
        if (special.contains(c))
            QTest::keyClick(editor, special.value(c));
        else
            QTest::keyClick(editor, c.toLatin1());
    }
}

} // namespace

class TestEditing : public QObject {
    Q_OBJECT
    fixture::Environment environment;

private slots:
    void initTestCase() { registerErrorListItem(); }

    void abbreviations_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("afterUndo");
        const char* rows[][4] = {
            // name, typed, shown, after one Undo (each sequence's symbol: abbreviationKeys)
            {"word, then a blank", "a \\and ", "a \u2227 ", "a \\and "},
            {"word, then a bracket", "\\or)", "\u2228)", "\\or)"},
            {"word, then Tab", "\\x\t", "\u00d7", "\\x"},
            {"prefix of a longer word", "\\o\t", "\u2218", "\\o"},
            {"then Return", "\\not\n", "\u00ac\n", "\\not\n"},
            {"symbols at once", "(\\->", "(\u2192", "(\\->"},
            {"\\- before a letter", "\\-x", "\u2296x", "\\-x"},
            {"\\cap \\cup \\bot \\top \\up", "\\cap \\cup \\bot \\top \\up ",
             "\u2229 \u222a \u22a5 \u22a4 \u21d1 ", "\u2229 \u222a \u22a5 \u22a4 \\up "},
            {"backslash before the sequence stays", "\\\\=>", "\\\u21d2", "\\\\=>"},
            {"unknown: letter goes on", "\\xy ", "\\xy ", ""},
            {"unknown: longer word", "\\bottom ", "\\bottom ", ""},
            {"lone backslash", "\\ a", "\\ a", ""},
            {"unknown symbols", "\\<-x", "\\<-x", ""},
        };
        for (const auto& row : rows)
            QTest::newRow(row[0]) << QString::fromUtf8(row[1]) << QString::fromUtf8(row[2])
                                  << QString::fromUtf8(row[3]);
    }
    void abbreviations()
    {
        QFETCH(QString, typed);
        CodeEditor editor;
        new AbbreviationExpander(&editor);
        type(&editor, typed);
        QTEST(editor.toPlainText(), "shown");
        editor.undo();
        QTEST(editor.toPlainText(), "afterUndo");
    }
    // Every sequence followed by Tab or Return, with the list open or closed by Escape: the
    // sequence's own symbol, also where a longer sequence begins with it (the longer one is a
    // key Up away). A sequence that nothing can continue has turned into its symbol as it was
    // typed, and the key then goes into the text.
    void abbreviationKeys_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown");
        const QStringList atOnce{"\\->", "\\=>", "\\<->", "\\<=>", "\\<>", "\\>>>"};
        for (const Abbreviation& entry : Abbreviations::table()) {
            for (const char* keys : {"\t", "\n", "\x1b\t", "\x1b\n"}) {
                const QString key = QString::fromLatin1(keys).right(1);
                const bool listOpen = key.size() == int(qstrlen(keys));
                const bool rest = atOnce.contains(entry.sequence) || (!listOpen && key == "\n");
                QTest::addRow("%s, list %s, %s", qPrintable(entry.sequence),
                              listOpen ? "open" : "closed", key == "\t" ? "Tab" : "Return")
                    << entry.sequence + keys << entry.symbol + (rest ? key : QString());
            }
        }
        QTest::newRow("\\- and Up") << QString("\\-^\t") << "\u2192";
        QTest::newRow("\\o and Up") << QString("\\o^\n") << "\u2228";
    }
    void abbreviationKeys()
    {
        QFETCH(QString, typed);
        CodeEditor editor;
        new AbbreviationExpander(&editor);
        CompletionController completion(&editor, {});
        type(&editor, typed);
        QTEST(editor.toPlainText(), "shown");
        QVERIFY(!completion.isVisible());
    }

    void completion_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QStringList>("entries");
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("lastLine");
        const QStringList none;
        QTest::newRow("engine words and compounds")
            << "bi" << QStringList{"bird", "bison", "(bird \u2229 animal)", "Bilbo"}
            << int(Qt::Key_Return) << "bird";
        QTest::newRow("case-insensitive after exact")
            << "Bi" << QStringList{"Bilbo", "bird", "bison", "(bird \u2229 animal)"}
            << int(Qt::Key_Tab) << "Bilbo";
        QTest::newRow("document words")
            << "ro" << QStringList{"robin"} << int(Qt::Key_Escape) << "ro";
        QTest::newRow("a variable") << "#x" << QStringList{"#xyz"} << int(Qt::Key_Down) << "#x";
        QTest::newRow("one letter") << "r" << none << 0 << "r";
        QTest::newRow("nothing known") << "qq" << none << 0 << "qq";
        QTest::newRow("abbreviations")
            << "\\<" << QStringList{"\u2194    \\<->", "\u21d4    \\<=>", "\u25ca    \\<>"}
            << int(Qt::Key_Return) << "\u2194";
        QTest::newRow("typing filters")
            << "bis" << QStringList{"bison"} << int(Qt::Key_Return) << "bison";
        QTest::newRow("selection closes")
            << "bis" << QStringList{"bison"} << int(Qt::Key_Left) << "bis";
    }
    void completion()
    {
        QFETCH(QString, typed);
        QFETCH(QStringList, entries);
        QFETCH(int, key);
        QFETCH(QString, lastLine);
        const QStringList words{"bird", "bison"};
        const QStringList compounds{"(bird \u2229 animal)", "Bilbo"};
        CodeEditor editor;
        editor.resize(400, 300);
        editor.setPlainText(QStringLiteral("<robin \u2192 #xyz>.\n"));
        editor.moveCursor(QTextCursor::End);
        new AbbreviationExpander(&editor);
        CompletionController completion(&editor, [&] {
            return QVector<const QStringList*>{&words, &compounds};
        });
        type(&editor, typed);
        QCOMPARE(completion.entries().isEmpty() ? QStringList() : completion.entries(), entries);
        QCOMPARE(completion.isVisible(), !entries.isEmpty());
        if (key == Qt::Key_Left) {
            QTest::keyClick(&editor, Qt::Key_Left, Qt::ShiftModifier);
            QVERIFY(!completion.isVisible());
        } else if (key != 0) {
            QTest::keyClick(&editor, Qt::Key(key));
        }
        QCOMPARE(editor.document()->lastBlock().text(), lastLine);
        if (key == Qt::Key_Escape || key == Qt::Key_Return || key == Qt::Key_Tab)
            QVERIFY(!completion.isVisible());
        if (key == Qt::Key_Down) // moves in the list, not in the text
            QCOMPARE(editor.textCursor().positionInBlock(), lastLine.size());
    }

    void hoverTips_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("column");
        QTest::addColumn<QString>("tip");
        QTest::newRow("statement")
            << "<robin \u2192 bird>." << 3 << "<robin \u2192 bird>  {1.0 0.9}";
        QTest::newRow("statement without blanks")
            << "<robin\u2192bird>?" << 0 << "<robin \u2192 bird>  {1.0 0.9}";
        QTest::newRow("word") << "bird" << 2
                              << "<bird \u2192 animal>  {1.0 0.81}\n<robin \u2192 bird>  {1.0 0.9}";
        QTest::newRow("word in an unknown statement")
            << "<robin \u2192 cat>." << 2 << "<robin \u2192 bird>  {1.0 0.9}";
        QTest::newRow("unknown word") << "cat" << 1 << "";
        QTest::newRow("statement that reads as markup") // <b ...> shown as it is, not as bold
            << "<b \u2192 c>." << 1 << "<b \u2192 c>  {1.0 0.5}";
        QTest::newRow("error and statement")
            << "<robin \u2192 bird> x" << 3
            << "Line 1, column 17: Unexpected text\n<robin \u2192 bird>  {1.0 0.9}";
    }
    void hoverTips()
    {
        QFETCH(QString, text);
        QFETCH(int, column);
        QFETCH(QString, tip);
        CodeEditor editor;
        editor.fileName = QStringLiteral("/tmp/a.quor");
        editor.setPlainText(text);
        QListWidget errors;
        QTableWidget statements(0, 2);
        fillTermTable(&statements, {{1, QStringLiteral("<robin \u2192 bird>. {1.0 0.9}")},
                                    {2, QStringLiteral("<bird \u2192 animal>. {1.0 0.81}")},
                                    {3, QStringLiteral("<b \u2192 c>. {1.0 0.5}")}});
        if (tip.startsWith(QLatin1String("Line"))) {
            editor.addErrorMark(17, 1, 1);
            auto* item = new QListWidgetItem(QStringLiteral("Unexpected text"), &errors);
            item->setData(Qt::UserRole, QVariant::fromValue(ErrorListItem{17, 1, editor.fileName}));
        }
        const HoverTips tips(&editor, &errors, &statements);
        QCOMPARE(tips.tipAt(column), tip);

        // The tool tip shows the text as it is, whatever markup the engine's texts hold.
        editor.show();
        QVERIFY(QTest::qWaitForWindowExposed(&editor));
        QTextCursor cursor(editor.document());
        cursor.setPosition(column);
        const QPoint at = editor.cursorRect(cursor).center() + QPoint(1, 0);
        QHelpEvent help(QEvent::ToolTip, at, editor.viewport()->mapToGlobal(at));
        QCoreApplication::sendEvent(editor.viewport(), &help);
        QTextDocument shown;
        if (Qt::mightBeRichText(QToolTip::text()))
            shown.setHtml(QToolTip::text());
        else
            shown.setPlainText(QToolTip::text());
        QCOMPARE(shown.toPlainText().replace(QChar::LineSeparator, '\n'), tip);
        QToolTip::hideText();
    }

    void zoom()
    {
        fixture::clearSettings();
        CodeEditor first;
        const int width = first.lineNumberAreaWidth();
        {
            EditorZoom zoom;
            QCOMPARE(zoom.step(), 0);
            zoom.attach(&first);
            QCOMPARE(first.font().pointSize(), 9);
            zoom.zoomIn();
            QWheelEvent wheel(QPointF(5, 5), QPointF(5, 5), QPoint(), QPoint(0, 120), Qt::NoButton,
                              Qt::ControlModifier, Qt::NoScrollPhase, false);
            QCoreApplication::sendEvent(first.viewport(), &wheel);
            QCOMPARE(zoom.step(), 2);
            QCOMPARE(first.font().pointSize(), 11);
            QVERIFY(first.lineNumberAreaWidth() > width);
        }
        EditorZoom again; // as at the next start
        QCOMPARE(again.step(), 2);
        CodeEditor second;
        again.attach(&second);
        QCOMPARE(second.font().pointSize(), 11);
        again.setStep(1000);
        QCOMPARE(again.step(), int(EditorZoom::MaxStep));
        again.reset();
        QCOMPARE(second.font().family(), QStringLiteral("DejaVu Sans"));
        QCOMPARE(second.font().pointSize(), 9);
        QCOMPARE(EditorZoom::storedStep(), 0);
    }

    // The stripe in the gutter: green beside a sent line, red beside a sent line with an error
    // mark, nothing beside a line not sent.
    void sentStripe()
    {
        CodeEditor editor;
        editor.resize(300, 200);
        editor.show();
        QVERIFY(QTest::qWaitForWindowExposed(&editor));
        editor.setPlainText(QStringLiteral("one\ntwo\nthree"));
        SentRegion region(&editor);
        region.markSent(1, 2);
        editor.addErrorMark(1, 2, 1);
        const QImage shot = editor.grab().toImage();
        const QColor colours[] = {SentRegion::sentColour(), SentRegion::errorColour()};
        for (int line = 1; line <= 3; ++line) {
            const QTextBlock block = editor.document()->findBlockByNumber(line - 1);
            const QPoint at(editor.contentsRect().left() + editor.lineNumberAreaWidth() - 2,
                            editor.contentsRect().top() +
                                editor.cursorRect(QTextCursor(block)).center().y());
            const QColor shown = shot.pixelColor(at * shot.devicePixelRatio());
            if (line < 3)
                QCOMPARE(shown, colours[line - 1]);
            else
                QVERIFY(shown != colours[0] && shown != colours[1]);
        }
    }

    void sentRegion_data()
    {
        // Lines 1 and 2 of "one\ntwo\nthree\nfour" are sent, then the text is edited at a line and
        // column: `removed` characters go, `inserted` comes.
        QTest::addColumn<int>("line");
        QTest::addColumn<int>("column");
        QTest::addColumn<int>("removed");
        QTest::addColumn<QString>("inserted");
        QTest::addColumn<QVector<int>>("sent");
        const QVector<int> both{1, 2}, none;
        QTest::newRow("nothing") << 1 << 0 << 0 << "" << both;
        QTest::newRow("typing above") << 1 << 0 << 0 << "x" << none;
        QTest::newRow("typing at the end of the last sent line") << 2 << 3 << 0 << "x" << none;
        QTest::newRow("new line after the last sent line") << 2 << 3 << 0 << "\nx" << both;
        QTest::newRow("joining the next line") << 2 << 3 << 1 << "" << none;
        QTest::newRow("typing below") << 3 << 0 << 0 << "x" << both;
        QTest::newRow("removing a line below") << 3 << 0 << 6 << "" << both;
        QTest::newRow("removing everything") << 1 << 0 << 18 << "" << none;
    }
    void sentRegion()
    {
        QFETCH(int, line);
        QFETCH(int, column);
        QFETCH(int, removed);
        QFETCH(QString, inserted);
        QFETCH(QVector<int>, sent);
        CodeEditor editor;
        editor.setPlainText(QStringLiteral("one\ntwo\nthree\nfour"));
        auto* region = new SentRegion(&editor);
        region->markSent(2);
        region->markSent(1, 2); // sent again: moves to the end in order
        QCOMPARE(region->lines(), QVector<int>({1, 2}));
        QTextCursor cursor(editor.document()->findBlockByNumber(line - 1));
        cursor.movePosition(QTextCursor::Right, QTextCursor::MoveAnchor, column);
        cursor.movePosition(QTextCursor::Right, QTextCursor::KeepAnchor, removed);
        if (removed || !inserted.isEmpty())
            cursor.insertText(inserted);
        QCOMPARE(region->lines(), sent);
        QCOMPARE(region->isSent(2), !sent.isEmpty());
    }
};

QTEST_MAIN(TestEditing)
#include "tst_editing.moc"
