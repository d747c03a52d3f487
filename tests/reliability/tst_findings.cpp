// Regression tests for what the fuzzers and the hostile engines found: each row is a message
// that once went wrong, handed to the window as the engine worker would, with a document open.
// Run under the sanitizers (scripts/sanitize.sh), the faults they fixed would fail again.

#include "documents/documentstest.h"

#include <QListWidget>

using namespace documentstest;

namespace {

QByteArray le32(quint32 value)
{
    QByteArray bytes;
    for (int i = 0; i < 4; ++i)
        bytes += char((value >> (8 * i)) & 0xff);
    return bytes;
}

QByteArray errorMessage(quint32 line, quint32 column, char kind, const QByteArray& text)
{
    return QByteArray("<e\0", 3) + le32(line) + le32(column) + kind + text + '\0';
}

} // namespace

class TestFindings : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { windowtest::setUpEnvironment(settingsDir); }
    void init() { windowtest::clearSettings(); }

    void errorMarks_data();
    void errorMarks();

private:
    QTemporaryDir settingsDir;
};

void TestFindings::errorMarks_data()
{
    QTest::addColumn<QByteArray>("message");
    QTest::addColumn<int>("cursorLine");   // where double-clicking the entry puts the cursor
    QTest::addColumn<int>("cursorColumn"); // 1-based

    // Found by the random-bytes engine: the mark's start, the line's position plus a column
    // near the largest int, overflowed (signed overflow in CodeEditor::appendMarkSelections).
    QTest::newRow("largest column on a later line")
        << errorMessage(2, 0xffffffffu, 0x01, "far right") << 2 << 9;
    QTest::newRow("largest line and column")
        << errorMessage(0xffffffffu, 0xffffffffu, 0x02, "far away") << 3 << 6;
    QTest::newRow("largest column, whole-line mark")
        << errorMessage(3, 0x80000000u, 0x02, "beyond") << 3 << 6;
}

void TestFindings::errorMarks()
{
    QFETCH(QByteArray, message);
    QFETCH(int, cursorLine);
    QFETCH(int, cursorColumn);
    DialogScript dialogs;
    auto window = windowtest::makeWindow();
    window->show();
    action(window.get(), "actionNew")->trigger();
    CodeEditor* editor = window->currentEditor();
    typeText(editor, QStringLiteral("<a \u2192 b>.\n<b \u2192 c>.\nlast."));

    windowtest::deliver(window.get(), message);
    QCoreApplication::processEvents(); // the marks are drawn
    auto* errors = child<QListWidget>(window.get(), "listWidget");
    QCOMPARE(errors->count(), 1);
    QMetaObject::invokeMethod(window.get(), "scrollToError", Qt::DirectConnection,
                              Q_ARG(QListWidgetItem*, errors->item(0)));
    const QTextCursor cursor = editor->textCursor();
    QCOMPARE(cursor.blockNumber() + 1, cursorLine);
    QCOMPARE(cursor.positionInBlock() + 1, cursorColumn);
    editor->document()->setModified(false);
}

QTEST_MAIN(TestFindings)
#include "tst_findings.moc"
