// Printing, PDF export, the About box and the line/column label of the status bar.

#include "documentstest.h"

#include <QDir>
#include <QPrintDialog>
#include <QPrinter>
#include <QTimer>

using namespace windowtest;
using namespace documentstest;

namespace {

// Answers the print dialog, noting its title and whether it offered the selection.
class PrintScript {
public:
    explicit PrintScript(bool accept, const QString& outputFile = QString(),
                         bool selectionOnly = false)
    {
        Dialogs::setPrintDialogResponder([=](QPrintDialog& dialog) {
            ++asked;
            title = dialog.windowTitle();
            offeredSelection = dialog.isOptionEnabled(QAbstractPrintDialog::PrintSelection);
            if (accept) {
                // What choosing "print to file" in the dialog amounts to.
                dialog.printer()->setOutputFormat(QPrinter::PdfFormat);
                dialog.printer()->setOutputFileName(outputFile);
                if (selectionOnly)
                    dialog.setPrintRange(QAbstractPrintDialog::Selection);
            }
            return accept;
        });
    }
    ~PrintScript() { Dialogs::setPrintDialogResponder({}); }

    int asked = 0;
    QString title;
    bool offeredSelection = false;
};

QByteArray framed(char kind, const QByteArray& payload)
{
    return QByteArray("<") + kind + '\0' + payload + '\0';
}

// Pages of a PDF written by Qt: one "/Type /Page" object each, "/Type /Pages" aside.
int pageCount(const QByteArray& pdf)
{
    return pdf.count("/Type /Page\n") + pdf.count("/Type /Page ") + pdf.count("/Type /Page/");
}

// Shows the About box and returns its title and text, closing it from inside its modal loop.
QPair<QString, QString> aboutBox(MainWindow* window)
{
    QPair<QString, QString> shown;
    QTimer::singleShot(0, [&shown] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box)
            return;
        shown = {box->windowTitle(), box->text()};
        box->accept();
    });
    action(window, "actionAbout")->trigger();
    return shown;
}

} // namespace

class TestPrint : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { setUpEnvironment(settingsDir); }
    void init() { clearSettings(); }

    void pdfExportNames_data();
    void pdfExportNames();
    void pdfExportCancelled();
    void pdfExportFailureWarns();
    void printDialog_data();
    void printDialog();
    void nothingToPrintWithoutDocument();
    void aboutShowsVersions();
    void positionLabelFollowsCursorAndTabs();

private:
    QTemporaryDir settingsDir;
};

void TestPrint::pdfExportNames_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("written");
    QTest::newRow("no suffix") << "name"
                               << "name.pdf";
    QTest::newRow("other suffix kept") << "x.txt"
                                       << "x.txt";
    QTest::newRow("pdf suffix kept") << "x.PDF"
                                     << "x.PDF";
    QTest::newRow("dotted folder, no suffix") << "v1.2/name"
                                              << "v1.2/name.pdf";
}

void TestPrint::pdfExportNames()
{
    QFETCH(QString, typed);
    QFETCH(QString, written);
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("v1.2")));
    DialogScript script;
    auto window = makeWindow();
    action(window.get(), "actionNew")->trigger();
    typeText(window->currentEditor(), QStringLiteral("⋙ words\n(a → b)"));
    script.saveNames.push_back(dir.filePath(typed));
    action(window.get(), "actionPrint_to_pdf")->trigger();
    QCOMPARE(script.saveCaptions, QStringList{"Export PDF"});
    QCOMPARE(script.saveFilters, QStringList{"*.pdf"});
    const QByteArray pdf = readBytes(dir.filePath(written));
    QVERIFY2(pdf.startsWith("%PDF"), pdf.left(20).constData());
    QCOMPARE(pageCount(pdf), 1);
    QVERIFY(script.warnings.isEmpty());
    // Exporting leaves the document as it was.
    QCOMPARE(tabTexts(window.get()), QStringList{"new 1*"});
}

void TestPrint::pdfExportCancelled()
{
    QTemporaryDir dir;
    DialogScript script;
    auto window = makeWindow();
    action(window.get(), "actionNew")->trigger();
    const QString before = QDir::currentPath();
    QVERIFY(QDir::setCurrent(dir.path()));
    action(window.get(), "actionPrint_to_pdf")->trigger();
    QVERIFY(QDir::setCurrent(before));
    QCOMPARE(script.saveCaptions.size(), 1);
    QVERIFY(QDir(dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries).isEmpty());
    QVERIFY(script.warnings.isEmpty());
}

void TestPrint::pdfExportFailureWarns()
{
    QTemporaryDir dir;
    DialogScript script;
    auto window = makeWindow();
    action(window.get(), "actionNew")->trigger();
    const QString target = dir.filePath("missing/out.pdf");
    script.saveNames.push_back(target);
    action(window.get(), "actionPrint_to_pdf")->trigger();
    QCOMPARE(script.warnings.size(), 1);
    QVERIFY(script.warnings.first().text.contains(QDir::toNativeSeparators(target)));
}

void TestPrint::printDialog_data()
{
    QTest::addColumn<bool>("withSelection");
    QTest::addColumn<bool>("accept");
    QTest::addColumn<bool>("selectionOnly");
    QTest::addColumn<int>("pages"); // 0: nothing printed
    QTest::newRow("no selection, cancelled") << false << false << false << 0;
    QTest::newRow("no selection, printed") << false << true << false << 3;
    QTest::newRow("selection, cancelled") << true << false << false << 0;
    QTest::newRow("selection, whole document") << true << true << false << 3;
    QTest::newRow("selection only") << true << true << true << 1;
}

void TestPrint::printDialog()
{
    QFETCH(bool, withSelection);
    QFETCH(bool, accept);
    QFETCH(bool, selectionOnly);
    QFETCH(int, pages);
    QTemporaryDir dir;
    const QString output = dir.filePath("printed.pdf");
    PrintScript script(accept, output, selectionOnly);
    auto window = makeWindow();
    action(window.get(), "actionNew")->trigger();
    QStringList lines;
    for (int i = 1; i <= 150; ++i)
        lines << QStringLiteral("line %1").arg(i);
    CodeEditor* editor = window->currentEditor();
    editor->setPlainText(lines.join(QLatin1Char('\n')));
    if (withSelection)
        select(editor, 2, 1, 4, 3);

    action(window.get(), "actionPrint")->trigger();

    QCOMPARE(script.asked, 1);
    QCOMPARE(script.title, QStringLiteral("Print Document"));
    QCOMPARE(script.offeredSelection, withSelection);
    if (pages == 0) {
        QVERIFY(!QFileInfo::exists(output));
    } else {
        const QByteArray pdf = readBytes(output);
        QVERIFY(pdf.startsWith("%PDF"));
        if (pages == 1)
            QCOMPARE(pageCount(pdf), 1);
        else
            QVERIFY2(pageCount(pdf) >= pages, qPrintable(QString::number(pageCount(pdf))));
    }
    // The editor's selection is left as it was.
    QCOMPARE(editor->textCursor().hasSelection(), withSelection);
}

void TestPrint::nothingToPrintWithoutDocument()
{
    DialogScript files;
    PrintScript printing(false);
    auto window = makeWindow();
    action(window.get(), "actionPrint")->trigger();
    action(window.get(), "actionPrint_to_pdf")->trigger();
    QCOMPARE(printing.asked, 0);
    QVERIFY(files.saveCaptions.isEmpty());
    QVERIFY(files.warnings.isEmpty());
}

void TestPrint::aboutShowsVersions()
{
    auto window = makeWindow();
    const auto before = aboutBox(window.get());
    QCOMPARE(before.first, QStringLiteral("About QuorStudio"));
    QVERIFY(before.second.startsWith(
        QStringLiteral("<h3>QuorStudio</h3>\n<p>Version 0.5.1<br />\n\tQUOR library version "
                       "<br /><br />\n\t")));
    QVERIFY(before.second.endsWith(QStringLiteral("</a>\n</p>")));

    deliver(window.get(), framed('v', "3.1.4"));
    const auto after = aboutBox(window.get());
    QVERIFY2(after.second.contains(QStringLiteral("QUOR library version 3.1.4<br />")),
             qPrintable(after.second));
    QVERIFY(after.second.contains(QStringLiteral("Version 0.5.1<br />")));
}

void TestPrint::positionLabelFollowsCursorAndTabs()
{
    auto window = makeWindow();
    QLabel* label = positionLabel(window.get());
    QVERIFY(label);
    QCOMPARE(label->text(), QString());

    action(window.get(), "actionNew")->trigger();
    QCOMPARE(label->text(), QStringLiteral(" Ln 1    Col 1 "));
    CodeEditor* first = window->currentEditor();
    first->setPlainText(QStringLiteral("one\ntwo\nthree"));
    select(first, 3, 4, 3, 4);
    QCOMPARE(label->text(), QStringLiteral(" Ln 3    Col 4 "));

    action(window.get(), "actionNew")->trigger();
    CodeEditor* second = window->currentEditor();
    QCOMPARE(label->text(), QStringLiteral(" Ln 1    Col 1 "));
    second->setPlainText(QString(12, QLatin1Char('x')));
    select(second, 1, 1, 1, 13);
    QCOMPARE(label->text(), QStringLiteral(" Ln 1    Col 13 "));

    tabs(window.get())->setCurrentIndex(0);
    QCOMPARE(label->text(), QStringLiteral(" Ln 3    Col 4 "));
    tabs(window.get())->setCurrentIndex(1);
    QCOMPARE(label->text(), QStringLiteral(" Ln 1    Col 13 "));

    // Closing every tab leaves the last position shown: the first tab's, which came forward
    // when the current second one was closed.
    action(window.get(), "actionClose_All")->trigger();
    QCOMPARE(tabs(window.get())->count(), 0);
    QCOMPARE(label->text(), QStringLiteral(" Ln 3    Col 4 "));
}

QTEST_MAIN(TestPrint)
#include "tst_print.moc"
