#include "codeeditor.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QStandardPaths>
#include <QTextBlock>
#include <QTextDocument>
#include <QtTest>

class TestCopyAsHtml : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void shortcut();
    void formatsSurviveTheCopy_data();
    void formatsSurviveTheCopy();
    void selectionIgnored();
    void editorDecorationsNotCopied();
    void emptyDocument();
};

namespace {

QAction* copyAction(CodeEditor& editor)
{
    const QList<QAction*> actions = editor.actions();
    for (QAction* action : actions) {
        if (action->shortcut() == QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_C))
            return action;
    }
    return nullptr;
}

// Copies through the editor's action and returns the clipboard's HTML, after checking that
// the text flavour carries the same.
QString copy(CodeEditor& editor)
{
    QAction* action = copyAction(editor);
    if (!action)
        return QStringLiteral("no action");
    action->trigger();
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    if (!data || data->text() != data->html())
        return QStringLiteral("flavours differ");
    return data->html();
}

// Index of the first occurrence of word in the document's plain text.
QTextCharFormat formatOf(QTextDocument& doc, const QString& word)
{
    QTextCursor cursor = doc.find(word);
    if (cursor.isNull())
        return QTextCharFormat();
    // The format of a character is the one of the cursor placed after it.
    cursor.setPosition(cursor.selectionStart() + 1);
    return cursor.charFormat();
}

} // namespace

void TestCopyAsHtml::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
}

void TestCopyAsHtml::shortcut()
{
    CodeEditor editor;
    QAction* action = copyAction(editor);
    QVERIFY(action);
    QVERIFY(action->text().isEmpty());
}

void TestCopyAsHtml::formatsSurviveTheCopy_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("word");
    QTest::addColumn<QColor>("colour"); // invalid: no colour of its own
    QTest::addColumn<int>("weight");
    QTest::addColumn<bool>("italic");

    const QString sample = QString::fromUtf8(
        "plain words.\n// note (x)\n/* open\nstill comment */ after\n⋙ clear\n#tag 0.5");
    QTest::newRow("line comment") << sample << "note" << QColor(0x93, 0xA1, 0xA1)
                                  << int(QFont::Light) << true;
    QTest::newRow("bracket in comment")
        << sample << "(x" << QColor(0x93, 0xA1, 0xA1) << int(QFont::Light) << true;
    QTest::newRow("block comment, second line")
        << sample << "still" << QColor(0x58, 0x6E, 0x75) << int(QFont::Light) << true;
    QTest::newRow("after block comment")
        << sample << "after" << QColor() << int(QFont::Normal) << false;
    QTest::newRow("command") << sample << "clear" << QColor(0x58, 0x73, 0xAA) << int(QFont::Normal)
                             << true;
    QTest::newRow("full stop") << sample << "." << QColor(0xD3, 0x36, 0x82) << int(QFont::Bold)
                               << false;
    QTest::newRow("hash word") << sample << "#tag" << QColor(0x55, 0xAA, 0x55) << int(QFont::Normal)
                               << true;
    QTest::newRow("number") << sample << "0.5" << QColor(0xBF, 0xA9, 0x54) << int(QFont::Normal)
                            << false;
    QTest::newRow("plain") << sample << "words" << QColor() << int(QFont::Normal) << false;
}

void TestCopyAsHtml::formatsSurviveTheCopy()
{
    QFETCH(QString, text);
    QFETCH(QString, word);
    QFETCH(QColor, colour);
    QFETCH(int, weight);
    QFETCH(bool, italic);

    CodeEditor editor;
    editor.setPlainText(text);
    const QString html = copy(editor);
    QVERIFY(html.contains(QLatin1String("<html>")));

    // Read the HTML back and look at the word's format.
    QTextDocument pasted;
    pasted.setHtml(html);
    QCOMPARE(pasted.toPlainText(), text);
    const QTextCharFormat format = formatOf(pasted, word);
    if (colour.isValid()) {
        QCOMPARE(format.foreground().color(), colour);
    } else {
        QVERIFY2(!format.hasProperty(QTextFormat::ForegroundBrush),
                 qPrintable(format.foreground().color().name()));
    }
    QCOMPARE(format.fontWeight(), weight);
    QCOMPARE(format.fontItalic(), italic);
}

void TestCopyAsHtml::selectionIgnored()
{
    CodeEditor editor;
    editor.setPlainText(QStringLiteral("a. b\n// c"));
    const QString whole = copy(editor);
    QVERIFY(whole.contains(QLatin1String("#93a1a1")));

    QTextCursor cursor = editor.textCursor();
    cursor.setPosition(1);
    cursor.setPosition(3, QTextCursor::KeepAnchor);
    editor.setTextCursor(cursor);
    QCOMPARE(copy(editor), whole);
}

void TestCopyAsHtml::editorDecorationsNotCopied()
{
    CodeEditor editor;
    editor.setPlainText(QStringLiteral("(a)\nb"));
    editor.addErrorMark(1, 2, 0x02);
    editor.moveCursor(QTextCursor::End);
    editor.moveCursor(QTextCursor::Start);
    QCOMPARE(editor.extraSelections().size(), 5);

    const QString html = copy(editor).toLower();
    QVERIFY(html.contains(QLatin1String("#2aa198")));
    for (const char* colour : {"#e8f2fe", "#c0c0c0", "#ca5100", "wave"})
        QVERIFY2(!html.contains(QLatin1String(colour)), colour);
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
