// Batched appending to the Output dock must look exactly like appending each text by itself.

#include "outputappender.h"

#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextBlock>
#include <QtTest>

class TestOutputAppender : public QObject {
    Q_OBJECT

private slots:
    void sameTextAsAppendPlainText_data();
    void sameTextAsAppendPlainText();
    void floodArrivesWholeAndInOrder();
    void followsTheEndOnlyWhenAtTheBottom();
};

void TestOutputAppender::sameTextAsAppendPlainText_data()
{
    QTest::addColumn<QStringList>("initial");
    QTest::addColumn<QStringList>("texts");
    QTest::newRow("plain lines") << QStringList{"start"} << QStringList{"a", "b", "c"};
    QTest::newRow("empty texts") << QStringList{"start"} << QStringList{"", "x", "", ""};
    QTest::newRow("into an empty view") << QStringList{} << QStringList{"", "", "x", "y"};
    QTest::newRow("texts with line feeds") << QStringList{"s"} << QStringList{"1\n2", "\n", "3"};
    QTest::newRow("non-ASCII") << QStringList{} << QStringList{"\u2192 \u22d9", "\u03bcs"};
}

void TestOutputAppender::sameTextAsAppendPlainText()
{
    QFETCH(QStringList, initial);
    QFETCH(QStringList, texts);
    QPlainTextEdit expected;
    QPlainTextEdit batched;
    for (const QString& text : initial) {
        expected.appendPlainText(text);
        batched.appendPlainText(text);
    }
    OutputAppender appender(&batched);
    for (const QString& text : texts) {
        expected.appendPlainText(text);
        appender.append(text);
    }
    QCOMPARE(appender.pendingCount(), texts.size());
    QTRY_COMPARE(appender.pendingCount(), 0);
    QCOMPARE(batched.toPlainText(), expected.toPlainText());
    QCOMPARE(batched.blockCount(), expected.blockCount());

    // Clearing drops what is not shown yet as well.
    appender.append(QStringLiteral("late"));
    appender.clear();
    QCoreApplication::processEvents();
    QCOMPARE(batched.toPlainText(), QString());
}

void TestOutputAppender::floodArrivesWholeAndInOrder()
{
    QPlainTextEdit view;
    OutputAppender appender(&view);
    const int count = 100000;
    for (int i = 0; i < count; ++i)
        appender.append(QString::number(i));
    QTRY_COMPARE_WITH_TIMEOUT(appender.pendingCount(), 0, 30000);
    QCOMPARE(view.blockCount(), count);
    const QTextDocument* document = view.document();
    for (int i : {0, 1, 255, 256, 4095, 50000, count - 1})
        QCOMPARE(document->findBlockByNumber(i).text(), QString::number(i));
    QVERIFY(!document->isUndoAvailable());
}

void TestOutputAppender::followsTheEndOnlyWhenAtTheBottom()
{
    QPlainTextEdit view;
    view.resize(200, 100);
    view.show();
    OutputAppender appender(&view);
    for (int i = 0; i < 200; ++i)
        appender.append(QStringLiteral("line %1").arg(i));
    appender.flush();
    QScrollBar* bar = view.verticalScrollBar();
    QVERIFY(bar->maximum() > 0);
    QCOMPARE(bar->value(), bar->maximum());
    bar->setValue(0);
    appender.append(QStringLiteral("more"));
    appender.flush();
    QCOMPARE(bar->value(), 0);
}

QTEST_MAIN(TestOutputAppender)
#include "tst_outputappender.moc"
