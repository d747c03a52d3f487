// File > Export Run Report...: the page is built from what the docks show.

#include "codeeditor.h"
#include "dialogs.h"
#include "mainwindow.h"
#include "quorw.h"
#include "svgview.h"
#include "testengine.h"
#include "testmessages.h"

#include <QMenu>
#include <QtTest>

class TestExportReport : public QObject {
    Q_OBJECT

private slots:
    void reportHoldsWhatTheDocksShow();
};

void TestExportReport::reportHoldsWhatTheDocksShow()
{
    QTemporaryDir dir;
    QStandardPaths::setTestModeEnabled(true);
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir.path());
    registerEngineMetaTypes();
    testengine::reset();
    const QString source = dir.filePath("kb.quor");
    QFile file(source);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("<a \xe2\x86\x92 b>.\n<b c>.\n");
    file.close();
    MainWindow window({"quorstudio", source});

    const QList<QByteArray> messages = {
        MessageBuilder('v').text("2.0").bytes,
        QByteArray("Answer: <a & b>"),
        MessageBuilder('e').u32(2).u32(3).u8(4).text("  odd <b c>  ").bytes,
        MessageBuilder('w').u32(0).u64(255).text("robin").u64(16).text("ant").bytes,
        MessageBuilder('q').u32(8).u32(1).u32(1).u32(0).u64(0).u64(1).u64(1).text("a & b").bytes,
        MessageBuilder('n')
            .u32(8)
            .u32(35)
            .u32(1)
            .u32(1)
            .u32(1)
            .u64(1)
            .u32(3)
            .u64(1)
            .text("x")
            .u32(3)
            .text("op")
            .text("desc")
            .bytes};
    for (const QByteArray& message : messages) {
        char* block = new char[size_t(message.size())];
        std::memcpy(block, message.constData(), size_t(message.size()));
        QMetaObject::invokeMethod(&window, "output", Qt::DirectConnection,
                                  Q_ARG(const char*, block), Q_ARG(size_t, size_t(message.size())));
    }
    QCoreApplication::processEvents();

    auto* exportAction = window.findChild<QAction*>("actionExport_Run_Report");
    QVERIFY(exportAction);

    Dialogs::setSaveFileNameResponder(
        [&](const QString&, const QString&) { return dir.filePath("report"); });
    exportAction->trigger();
    Dialogs::setSaveFileNameResponder({});
    QFile page(dir.filePath("report.html"));
    QVERIFY(page.open(QIODevice::ReadOnly));
    const QString html = QString::fromUtf8(page.readAll());

    for (const QString& part :
         {QString("<title>Run of kb.quor</title>"), QString("QUOR library version 2.0<br>"),
          QString("<tr class=\"warning\"><td class=\"n\">2</td><td>&lt;b c&gt;.</td></tr>\n"
                  "<tr class=\"msg\"><td></td><td>2:3: warning: odd &lt;b c&gt;</td></tr>"),
          QString("Answer: &lt;a &amp; b&gt;"),
          QString("<tr><td>10</td><td>ant</td></tr>\n<tr><td>ff</td><td>robin</td></tr>"),
          window.findChild<SvgView*>("graphicsView1")->text(),
          window.findChild<SvgView*>("graphicsView2")->text()})
        QVERIFY2(html.contains(part), qPrintable(part + "\n---\n" + html));
}

QTEST_MAIN(TestExportReport)
#include "tst_exportreport.moc"
