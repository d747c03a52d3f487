#include "dialogs.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QPrintDialog>
#include <QSaveFile>

namespace {

Dialogs::SaveFileNameResponder saveResponder;
Dialogs::OpenFileNamesResponder openResponder;
Dialogs::WarningResponder warningResponder;
Dialogs::PrintDialogResponder printResponder;

} // namespace

namespace Dialogs {

QString getSaveFileName(QWidget* parent, const QString& caption, const QString& directory,
                        const QString& filter)
{
    if (saveResponder)
        return saveResponder(caption, filter);
    return QFileDialog::getSaveFileName(parent, caption, directory, filter);
}

QStringList getOpenFileNames(QWidget* parent, const QString& filter)
{
    if (openResponder)
        return openResponder(filter);
    QFileDialog dialog(parent);
    dialog.setFileMode(QFileDialog::ExistingFiles);
    dialog.setNameFilter(filter);
    dialog.setViewMode(QFileDialog::Detail);
    if (dialog.exec() != QDialog::Accepted)
        return QStringList();
    return dialog.selectedFiles();
}

QMessageBox::StandardButton warning(QWidget* parent, const QString& title, const QString& text,
                                    QMessageBox::StandardButtons buttons)
{
    if (warningResponder)
        return warningResponder(title, text, buttons);
    // Plain text: the texts name files, whose names may look like markup.
    QMessageBox box(QMessageBox::Warning, title, text, buttons, parent);
    box.setTextFormat(Qt::PlainText);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

void warnCannotWrite(QWidget* parent, const QString& fileName, const QString& reason)
{
    warning(parent, QCoreApplication::translate("MainWindow", "Application"),
            QCoreApplication::translate("MainWindow", "Cannot write file %1:\n%2.")
                .arg(QDir::toNativeSeparators(fileName), reason));
}

bool writeFileOrWarn(QWidget* parent, const QString& fileName, const QByteArray& bytes, bool text)
{
    QSaveFile file(fileName);
    QIODevice::OpenMode mode = QIODevice::WriteOnly;
    if (text)
        mode |= QIODevice::Text;
    if (file.open(mode) && file.write(bytes) == bytes.size() && file.commit())
        return true;
    warnCannotWrite(parent, fileName, file.errorString());
    return false;
}

bool execPrintDialog(QPrintDialog& dialog)
{
    if (printResponder)
        return printResponder(dialog);
    return dialog.exec() == QDialog::Accepted;
}

void setSaveFileNameResponder(SaveFileNameResponder responder)
{
    saveResponder = std::move(responder);
}

void setOpenFileNamesResponder(OpenFileNamesResponder responder)
{
    openResponder = std::move(responder);
}

void setWarningResponder(WarningResponder responder)
{
    warningResponder = std::move(responder);
}

void setPrintDialogResponder(PrintDialogResponder responder)
{
    printResponder = std::move(responder);
}

} // namespace Dialogs
