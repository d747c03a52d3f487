#ifndef DIALOGS_H
#define DIALOGS_H

#include <QMessageBox>
#include <QString>
#include <QStringList>

#include <functional>

class QPrintDialog;
class QWidget;

// Every modal question the program asks goes through here. By default each function shows the
// standard dialog; a test installs a responder instead and answers without a modal loop.
namespace Dialogs {

// Save-file dialog (QFileDialog::getSaveFileName). Empty result: cancelled.
QString getSaveFileName(QWidget* parent, const QString& caption, const QString& directory,
                        const QString& filter);

// Open dialog for one or more existing files (detail view). Empty result: cancelled.
QStringList getOpenFileNames(QWidget* parent, const QString& filter);

// A warning box with the given buttons; returns the button chosen.
QMessageBox::StandardButton warning(QWidget* parent, const QString& title, const QString& text,
                                    QMessageBox::StandardButtons buttons = QMessageBox::Ok);

// The warning shown when a file could not be written (documents, memory dumps, SVG drawings):
// "Cannot write file NAME:\nREASON." titled "Application".
void warnCannotWrite(QWidget* parent, const QString& fileName, const QString& reason);

// Writes the bytes through QSaveFile (the old file is replaced only by a complete new one);
// on failure shows the warning above and returns false.
bool writeFileOrWarn(QWidget* parent, const QString& fileName, const QByteArray& bytes,
                     bool text = false);

// Runs a print dialog; true when the user accepted it.
bool execPrintDialog(QPrintDialog& dialog);

// Responders for tests. Passing an empty function restores the real dialog.
using SaveFileNameResponder = std::function<QString(const QString& caption, const QString& filter)>;
using OpenFileNamesResponder = std::function<QStringList(const QString& filter)>;
using WarningResponder = std::function<QMessageBox::StandardButton(
    const QString& title, const QString& text, QMessageBox::StandardButtons buttons)>;
using PrintDialogResponder = std::function<bool(QPrintDialog& dialog)>;

void setSaveFileNameResponder(SaveFileNameResponder responder);
void setOpenFileNamesResponder(OpenFileNamesResponder responder);
void setWarningResponder(WarningResponder responder);
void setPrintDialogResponder(PrintDialogResponder responder);

} // namespace Dialogs

#endif
