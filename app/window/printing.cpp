#include "printing.h"

#include "codeeditor.h"
#include "dialogs.h"
#include "filenames.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QPrintDialog>
#include <QPrinter>

namespace {

// Texts of the window go through the translation context "MainWindow".
QString uiText(const char* text)
{
    return QCoreApplication::translate("MainWindow", text);
}

} // namespace

void printDocument(CodeEditor& editor, QWidget* window)
{
    QPrinter printer(QPrinter::ScreenResolution);
    QPrintDialog dialog(&printer, window);
    dialog.setWindowTitle(uiText("Print Document"));
    if (editor.textCursor().hasSelection())
        dialog.addEnabledOption(QAbstractPrintDialog::PrintSelection);
    if (Dialogs::execPrintDialog(dialog))
        editor.print(&printer);
}

void exportPdf(CodeEditor& editor, QWidget* window)
{
    QString fileName =
        Dialogs::getSaveFileName(window, uiText("Export PDF"), QString(), QStringLiteral("*.pdf"));
    if (fileName.isEmpty())
        return;
    fileName = withPdfSuffix(fileName);
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(fileName);
    editor.print(&printer);
    // The printer cannot tell whether its file was written, so look for it.
    if (printer.printerState() == QPrinter::Error || !QFileInfo(fileName).isFile()) {
        Dialogs::warning(window, uiText("Application"),
                         uiText("Cannot write file %1.").arg(QDir::toNativeSeparators(fileName)));
    }
}
