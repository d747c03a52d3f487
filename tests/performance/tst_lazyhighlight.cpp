#include "codeeditor.h"
#include "highlighter.h"
#include "highlightpass.h"
#include "privateenvironment.h"
#include "textblockdata.h"

#include <QAction>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextLayout>
#include <QtTest>

namespace {

// Comments opened and closed across lines, on one line, and left open at the end.
QString largeText(int lines)
{
    const QString templates[] = {
        QStringLiteral("<a%1 → b>. (x) // note {y}"),
        QStringLiteral("/* open %1 (z"),
        QStringLiteral("still */ after [q] /*/ x */ #tag%1"),
        QStringLiteral("⋙ step %1 <c>?"),
        QStringLiteral("x /*a*/ y /*b %1"),
        QStringLiteral("*/ 1 0.5 10 %1"),
    };
    QStringList text;
    for (int i = 0; text.size() < lines; ++i)
        text << templates[i % 6].arg(i);
    text << QStringLiteral("/* left open");
    return text.join('\n');
}

QString blockSummary(const QTextBlock& block, bool withColours = true)
{
    QString summary = QString::number(block.userState());
    if (const auto* data = static_cast<const TextBlockData*>(block.userData())) {
        for (const ParenthesisInfo& info : data->parentheses())
            summary += QStringLiteral(" %1%2").arg(info.character).arg(info.position);
    }
    for (const QTextLayout::FormatRange& range :
         withColours ? block.layout()->formats() : QVector<QTextLayout::FormatRange>())
        summary += QStringLiteral(" [%1+%2 %3]")
                       .arg(range.start)
                       .arg(range.length)
                       .arg(range.format.foreground().color().name());
    return summary;
}

bool coloured(const QTextBlock& block)
{
    return !block.layout()->formats().isEmpty();
}

} // namespace

// Large changes are coloured lazily: what is shown first, the rest in idle slices, everything at
// once before an export. The end result must be what immediate highlighting gives.
class TestLazyHighlight : public QObject {
    Q_OBJECT
    PrivateEnvironment environment;

private slots:
    void sameAsImmediate()
    {
        QTextDocument reference;
        Highlighter immediate(&reference);
        reference.setPlainText(largeText(3000));
        immediate.rehighlight();

        QPlainTextEdit lazy;
        lazy.resize(400, 300);
        lazy.show();
        QVERIFY(QTest::qWaitForWindowExposed(&lazy));
        Highlighter deferred(lazy.document());
        deferred.deferLargeChanges(&lazy);
        QSignalSpy finished(deferred.findChild<HighlightPass*>(), &HighlightPass::finished);
        lazy.setPlainText(largeText(3000));
        QVERIFY(deferred.isPending());
        // Brackets and states are there at once, colours first where the view shows them.
        for (QTextBlock a = lazy.document()->begin(), b = reference.begin(); a.isValid();
             a = a.next(), b = b.next())
            QCOMPARE(blockSummary(a, false), blockSummary(b, false));
        lazy.verticalScrollBar()->setValue(2000);
        lazy.viewport()->repaint();
        const QTextBlock shown = lazy.cursorForPosition(QPoint(0, 0)).block();
        QVERIFY(shown.blockNumber() > 1000);
        QVERIFY(coloured(shown));
        QCOMPARE(blockSummary(shown),
                 blockSummary(reference.findBlockByNumber(shown.blockNumber())));
        QVERIFY(!coloured(lazy.document()->lastBlock().previous()));
        QTRY_COMPARE_WITH_TIMEOUT(finished.size(), 1, 20000);

        QCOMPARE(lazy.document()->blockCount(), reference.blockCount());
        for (QTextBlock a = lazy.document()->begin(), b = reference.begin(); a.isValid();
             a = a.next(), b = b.next())
            QCOMPARE(blockSummary(a), blockSummary(b));
    }

    void exportsComeOutComplete_data()
    {
        QTest::addColumn<bool>("print");
        QTest::newRow("copy as HTML") << false;
        QTest::newRow("PDF") << true;
    }
    void exportsComeOutComplete()
    {
        QFETCH(bool, print);
        CodeEditor editor;
        editor.setPlainText(largeText(3000) + QStringLiteral("\n*/ // the last line"));
        const QTextBlock last = editor.document()->lastBlock();
        QVERIFY(!coloured(last));
        if (print) {
            QTemporaryDir dir;
            QPrinter printer(QPrinter::HighResolution);
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(dir.filePath(QStringLiteral("out.pdf")));
            editor.print(&printer);
        } else {
            for (QAction* action : editor.actions()) {
                if (action->shortcut() == QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_C))
                    action->trigger();
            }
        }
        QVERIFY(coloured(last));
        QCOMPARE(last.layout()->formats().constLast().format.foreground().color(),
                 QColor(0x93, 0xA1, 0xA1));
    }
};

QTEST_MAIN(TestLazyHighlight)
#include "tst_lazyhighlight.moc"
