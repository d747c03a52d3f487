// Printing, PDF export, the About box and the position in the status line.

#include "mainwindow.h"
#include "ui_mainwindow.h"

#include "codeeditor.h"
#include "dialogs.h"
#include "filenames.h"

#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QPrintDialog>
#include <QPrinter>

void MainWindow::print()
{
    CodeEditor* editor = currentEditor();
    if (!editor)
        return;
    QPrinter printer(QPrinter::ScreenResolution);
    QPrintDialog dialog(&printer, this);
    dialog.setWindowTitle(tr("Print Document"));
    if (editor->textCursor().hasSelection())
        dialog.addEnabledOption(QAbstractPrintDialog::PrintSelection);
    if (Dialogs::execPrintDialog(dialog))
        editor->print(&printer);
}

void MainWindow::printToPdf()
{
    CodeEditor* editor = currentEditor();
    if (!editor)
        return;
    QString fileName =
        Dialogs::getSaveFileName(this, tr("Export PDF"), QString(), QStringLiteral("*.pdf"));
    if (fileName.isEmpty())
        return;
    fileName = withPdfSuffix(fileName);
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(fileName);
    editor->print(&printer);
    // The printer cannot tell whether its file was written, so look for it.
    if (printer.printerState() == QPrinter::Error || !QFileInfo(fileName).isFile()) {
        Dialogs::warning(this, tr("Application"),
                         tr("Cannot write file %1.").arg(QDir::toNativeSeparators(fileName)));
    }
}

void MainWindow::about()
{
    const QString text =
        tr("<h3>QuorStudio</h3>\n<p>Version %1<br />\n\tQUOR library version %2<br /><br />\n\t"
           "Made by the QuorStudio developers.<br />\n\t"
           "<a href=\"%3\">%3</a>\n</p>")
            .arg(QStringLiteral("0.5.1"), libraryVersion, QString::fromUtf8(QUOR_HOMEPAGE));
    QMessageBox::about(this, tr("About QuorStudio"), text);
}

void MainWindow::positionChanged(int c, int r)
{
    positionLabel->setText(tr(" Ln %1    Col %2 ").arg(c).arg(r));
}
