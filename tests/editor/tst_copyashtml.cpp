#include "codeeditor.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QStandardPaths>
#include <QTextDocument>
#include <QtTest>

class TestCopyAsHtml : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void formatsSurvive_data();
    void formatsSurvive();
    void wholeDocumentOnly();
    void emptyDocument();
};

namespace {

// Copies with the editor's Ctrl+Shift+C action; returns the HTML if both flavours carry it.
QString copy(CodeEditor& editor)
{
    for (QAction* action : editor.actions()) {
        if (action->shortcut() == QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_C))
            action->trigger();
    }
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    return data && data->text() == data->html() ? data->html() : QStringLiteral("mismatch");
}

const QString sample = QString::fromUtf8("plain words.\n// note (x)\n/* open\nstill */ after");

} // namespace

void TestCopyAsHtml::formatsSurvive_data()
{
    QTest::addColumn<QString>("word");
    QTest::addColumn<QColor>("colour"); // invalid: no colour of its own
    QTest::addColumn<int>("weight");
    QTest::addColumn<bool>("italic");
    QTest::newRow("line comment") << "note" << QColor(0x93, 0xA1, 0xA1) << 25 << true;
    QTest::newRow("block comment, next line") << "still" << QColor(0x58, 0x6E, 0x75) << 25 << true;
    QTest::newRow("full stop") << "." << QColor(0xD3, 0x36, 0x82) << 75 << false;
    QTest::newRow("after the comment") << "after" << QColor() << 50 << false;
    QTest::newRow("plain") << "words" << QColor() << 50 << false;
}

void TestCopyAsHtml::formatsSurvive()
{
    QFETCH(QString, word);
    QFETCH(QColor, colour);
    QFETCH(int, weight);
    QFETCH(bool, italic);

    CodeEditor editor;
    editor.setPlainText(sample);
    QTextDocument pasted;
    pasted.setHtml(copy(editor));
    QCOMPARE(pasted.toPlainText(), sample);
    QTextCursor found = pasted.find(word);
    found.setPosition(found.selectionStart() + 1); // the format of the word's first character
    const QTextCharFormat format = found.charFormat();
    QCOMPARE(format.hasProperty(QTextFormat::ForegroundBrush), colour.isValid());
    if (colour.isValid())
        QCOMPARE(format.foreground().color(), colour);
    QCOMPARE(format.fontWeight(), weight);
    QCOMPARE(format.fontItalic(), italic);
}

void TestCopyAsHtml::wholeDocumentOnly()
{
    CodeEditor editor;
    editor.setPlainText(sample);
    const QString whole = copy(editor);
    QVERIFY(whole.contains(QLatin1String("color:#93a1a1")));

    // Neither the selection nor the editor's current line, marks or bracket highlights count.
    QTextCursor cursor = editor.textCursor();
    cursor.setPosition(13);
    cursor.setPosition(14, QTextCursor::KeepAnchor);
    editor.setTextCursor(cursor);
    editor.addErrorMark(1, 1, 0x02);
    QCOMPARE(copy(editor), whole);
}

void TestCopyAsHtml::emptyDocument()
{
    QGuiApplication::clipboard()->setText(QStringLiteral("left over"));
    CodeEditor editor;
    QCOMPARE(copy(editor), QString());
    QCOMPARE(QGuiApplication::clipboard()->text(), QString());
}

QTEST_MAIN(TestCopyAsHtml)
#include "tst_copyashtml.moc"
