#include "codeeditor.h"
#include "privateenvironment.h"

#include <QScrollBar>
#include <QStandardPaths>
#include <QTextBlock>
#include <QtTest>

namespace {

// The lines (1-based) whose marks are installed, from the underline selections.
QList<int> markedLines(const CodeEditor& editor)
{
    QList<int> lines;
    const QList<QTextEdit::ExtraSelection> selections = editor.extraSelections();
    for (int i = 2; i < selections.size(); i += 2)
        lines << selections.at(i).cursor.blockNumber() + 1;
    return lines;
}

} // namespace

// Error marks are installed only around the visible part of the editor, follow the view when it
// scrolls, and a burst of marks is installed once all have arrived.
class TestMarkWindow : public QObject {
    Q_OBJECT
    PrivateEnvironment environment;

private slots:
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
};

QTEST_MAIN(TestMarkWindow)
#include "tst_markwindow.moc"
