// File > Export Run Report...: the page is built from the engine messages the window received,
// by the same builder as quorstudio-run --report.

#include "svgview.h"
#include "testmessages.h"
#include "windowfixture.h"

#include <QMenu>
#include <QtTest>

using namespace fixture;

class TestExportReport : public QObject {
    Q_OBJECT
    Environment environment;

private slots:
    void reportHoldsWhatTheWindowReceived()
    {
        QTemporaryDir dir;
        const QString source = dir.filePath("kb.quor");
        QVERIFY(writeBytes(source, "<a \xe2\x86\x92 b>.\n<b c>.\n"));
        auto window = makeWindow({source});
        const QList<QByteArray> messages = {MessageBuilder('v').text("2.0").bytes,
                                            QByteArray("Answer: <a & b>"),
                                            errorMessage(2, 3, 4, "  odd <b c>  "),
                                            termTable('w', {{255, "robin"}, {16, "ant"}}),
                                            MessageBuilder('q')
                                                .u32(8)
                                                .u32(1)
                                                .u32(1)
                                                .u32(0)
                                                .u64(0)
                                                .u64(1)
                                                .u64(1)
                                                .text("a & b")
                                                .bytes,
                                            inferenceGraph({1}, 3, {{1, "x"}},
                                                           "<script>alert(1)</script>",
                                                           "<img src=x onerror=alert(2)>")};
        for (const QByteArray& message : messages)
            deliver(window.get(), message);
        QCoreApplication::processEvents();

        // File > Export Run Report... follows the other exports.
        const QList<QAction*> file = child<QMenu>(window.get(), "menuFile")->actions();
        QCOMPARE(file.indexOf(child<QAction>(window.get(), "actionExport_Run_Report")),
                 file.indexOf(child<QAction>(window.get(), "actionPrint_to_pdf")) + 1);

        DialogScript script;
        script.saveNames.push_back(dir.filePath("report"));
        trigger(window.get(), "actionExport_Run_Report");
        const QString html = QString::fromUtf8(readBytes(dir.filePath("report.html")));
        for (const QString& part :
             {QString("<title>Run of kb.quor</title>"), QString("QUOR library version 2.0<br>"),
              QString("<tr class=\"warning\"><td class=\"n\">2</td><td>&lt;b c&gt;.</td></tr>\n"
                      "<tr class=\"msg\"><td></td><td>2:3: warning: odd &lt;b c&gt;</td></tr>"),
              QString("Answer: &lt;a &amp; b&gt;"),
              QString("<tr><td>10</td><td>ant</td></tr>\n<tr><td>ff</td><td>robin</td></tr>"),
              child<SvgView>(window.get(), "graphicsView1")->text(),
              child<SvgView>(window.get(), "graphicsView2")->text()})
            QVERIFY2(html.contains(part), qPrintable(part + "\n---\n" + html));
        // The engine's operation name and description are text, not markup.
        QVERIFY(!html.contains("<script") && !html.contains("<img"));

        // Clear Output empties the report's output and errors, as it empties the docks.
        trigger(window.get(), "actionClear_Output");
        script.saveNames.push_back(dir.filePath("cleared"));
        trigger(window.get(), "actionExport_Run_Report");
        const QString cleared = QString::fromUtf8(readBytes(dir.filePath("cleared.html")));
        QVERIFY(cleared.contains("<tr><td class=\"n\">2</td><td>&lt;b c&gt;.</td></tr>"));
        QVERIFY(!cleared.contains("Answer:") && !cleared.contains("odd"));
        QVERIFY(cleared.contains(child<SvgView>(window.get(), "graphicsView2")->text()));
    }
};

QTEST_MAIN(TestExportReport)
#include "tst_exportreport.moc"
