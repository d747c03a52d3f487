// Printing, PDF export, the About box and the position in the status line.

#include "mainwindow.h"
#include "ui_mainwindow.h"

#include "appinfo.h"
#include "printing.h"

#include <QLabel>
#include <QMessageBox>

void MainWindow::print()
{
    if (CodeEditor* editor = currentEditor())
        printDocument(*editor, this);
}

void MainWindow::printToPdf()
{
    if (CodeEditor* editor = currentEditor())
        exportPdf(*editor, this);
}

// The engine's version is its own text, shown as plain text: escaped, it cannot bring links,
// images or markup into the box.
void MainWindow::about()
{
    const QString text =
        tr("<h3>QuorStudio</h3>\n<p>Version %1<br />\n\tQUOR library version %2<br /><br />\n\t"
           "Made by the QuorStudio developers.<br />\n\t"
           "<a href=\"%3\">%3</a>\n</p>")
            .arg(QStringLiteral(QUOR_VERSION), libraryVersion.toHtmlEscaped(),
                 QString::fromUtf8(QUOR_HOMEPAGE));
    QMessageBox::about(this, tr("About QuorStudio"), text);
}

void MainWindow::positionChanged(int c, int r)
{
    positionLabel->setText(tr(" Ln %1    Col %2 ").arg(c).arg(r));
}
