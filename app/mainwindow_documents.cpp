// Document tabs: creating, opening, saving and closing documents.

#include "mainwindow.h"
#include "ui_mainwindow.h"

#include "codeeditor.h"
#include "dialogs.h"
#include "filenames.h"
#include "recoverycontroller.h"

#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QTextCodec>
#include <QTextCursor>
#include <QTextDocument>

namespace {

// Set on an editor whose file held bytes that are not valid UTF-8; holds the path it was read
// from. Saving over that file replaces those bytes, so the user is asked first.
const char* const LossyFileProperty = "quorLossyFile";

QString strippedName(const QString& fileName)
{
    return QFileInfo(fileName).fileName();
}

bool isUntitled(const QString& fileName)
{
    return fileName == strippedName(fileName);
}

// The document's text exactly as it was typed or read. toPlainText() would turn no-break spaces
// into blanks and line separators into line ends, changing the file on every save; the
// document writer cannot write through a QSaveFile, since it closes the device itself.
QString documentText(const QTextDocument* document)
{
    QString text = document->toRawText();
    text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    return text;
}

} // namespace

void MainWindow::newFile()
{
    ++untitledCount;
    auto* editor = new CodeEditor;
    const int index = addDocument(editor, tr("new %1").arg(untitledCount));
    ui->tabWidget_3->setCurrentIndex(index);
    editor->setFocus();
}

void MainWindow::openFile()
{
    const QStringList files = Dialogs::getOpenFileNames(this, documentFileFilter());
    int last = -1;
    for (const QString& file : files) {
        const int index = loadFile(file);
        if (index >= 0)
            last = index;
    }
    if (last >= 0) {
        ui->tabWidget_3->setCurrentIndex(last);
        editorAt(last)->setFocus();
    }
}

int MainWindow::loadFile(const QString& fileName)
{
    for (int i = 0; i < ui->tabWidget_3->count(); ++i) {
        if (editorAt(i)->fileName == fileName)
            return i;
    }

    // A file that does not exist opens as an empty document named by its path; one that exists
    // but cannot be read is not opened, since saving an empty tab over it would destroy it.
    QString text;
    bool lossy = false;
    QFile file(fileName);
    if (file.exists()) {
        // Only regular files are read: a device or a pipe could block or never end.
        const bool regular = QFileInfo(fileName).isFile();
        QByteArray bytes;
        if (regular && file.open(QFile::ReadOnly | QFile::Text))
            bytes = file.readAll();
        if (!file.isOpen() || file.error() != QFile::NoError) {
            const QString reason = regular ? file.errorString() : tr("Not a regular file");
            Dialogs::warning(
                this, tr("Application"),
                tr("Cannot read file %1:\n%2.").arg(QDir::toNativeSeparators(fileName), reason));
            return -1;
        }
        QTextCodec::ConverterState state;
        text =
            QTextCodec::codecForName("UTF-8")->toUnicode(bytes.constData(), bytes.size(), &state);
        // A sequence cut off at the end of the file is held back by the decoder, not counted.
        lossy = state.invalidChars > 0 || state.remainingChars > 0;
        file.close();
    }

    auto* editor = new CodeEditor;
    if (!text.isEmpty())
        QTextCursor(editor->document()).insertText(text);
    if (lossy) {
        editor->setProperty(LossyFileProperty, fileName);
        Dialogs::warning(this, tr("Application"),
                         tr("The file %1 is not valid UTF-8 text. Bytes that could not be read "
                            "are shown as replacement characters; saving the document over the "
                            "file would replace them.")
                             .arg(QDir::toNativeSeparators(fileName)));
    }
    const int index = addDocument(editor, fileName);
    addRecentFile(fileName);
    return index;
}

int MainWindow::addDocument(CodeEditor* editor, const QString& name)
{
    editor->fileName = name;
    const int index = ui->tabWidget_3->addTab(editor, strippedName(name));

    connect(editor, SIGNAL(cursorPositionChanged(int, int)), this, SLOT(positionChanged(int, int)));
    QTextDocument* document = editor->document();
    connect(document, SIGNAL(modificationChanged(bool)), ui->actionSave, SLOT(setEnabled(bool)));
    connect(document, SIGNAL(modificationChanged(bool)), this, SLOT(documentWasModified(bool)));
    connect(document, SIGNAL(undoAvailable(bool)), ui->actionUndo, SLOT(setEnabled(bool)));
    connect(document, SIGNAL(redoAvailable(bool)), ui->actionRedo, SLOT(setEnabled(bool)));
    ui->actionSave->setEnabled(document->isModified());
    ui->actionUndo->setEnabled(document->isUndoAvailable());
    ui->actionRedo->setEnabled(document->isRedoAvailable());
    ui->actionCut->setEnabled(false);
    ui->actionCopy->setEnabled(false);
    connect(editor, SIGNAL(copyAvailable(bool)), ui->actionCut, SLOT(setEnabled(bool)));
    connect(editor, SIGNAL(copyAvailable(bool)), ui->actionCopy, SLOT(setEnabled(bool)));

    document->setModified(false);
    editor->moveCursor(QTextCursor::Start);
    editor->ensureCursorVisible();
    // The first tab became current before its position reached the status bar.
    if (ui->tabWidget_3->currentWidget() == editor)
        editor->cursorPosition();
    recovery->watch(editor);
    return index;
}

void MainWindow::updateTabText(int index)
{
    CodeEditor* editor = editorAt(index);
    if (!editor)
        return;
    QString text = strippedName(editor->fileName);
    if (editor->document()->isModified())
        text += QLatin1Char('*');
    ui->tabWidget_3->setTabText(index, text);
}

void MainWindow::documentWasModified(bool)
{
    for (int i = 0; i < ui->tabWidget_3->count(); ++i) {
        if (editorAt(i)->document() == sender())
            updateTabText(i);
    }
}

bool MainWindow::saveFile()
{
    if (ui->tabWidget_3->currentIndex() < 0)
        return false;
    return saveDocument(ui->tabWidget_3->currentIndex());
}

bool MainWindow::saveAs()
{
    if (ui->tabWidget_3->currentIndex() < 0)
        return false;
    return saveDocumentAs(ui->tabWidget_3->currentIndex());
}

bool MainWindow::saveDocument(int index)
{
    CodeEditor* editor = editorAt(index);
    if (!editor)
        return false;
    if (isUntitled(editor->fileName))
        return saveDocumentAs(index);
    return writeDocument(editor->fileName, index);
}

bool MainWindow::saveDocumentAs(int index)
{
    if (!editorAt(index))
        return false;
    const QString name =
        Dialogs::getSaveFileName(this, tr("Save as..."), QString(), documentFileFilter());
    if (name.isEmpty())
        return false;
    return writeDocument(withDocumentSuffix(name), index);
}

bool MainWindow::writeDocument(const QString& fileName, int index)
{
    CodeEditor* editor = editorAt(index);
    if (!editor)
        return false;

    const QString lossyFile = editor->property(LossyFileProperty).toString();
    if (!lossyFile.isEmpty() && lossyFile == fileName) {
        const auto answer = Dialogs::warning(
            this, tr("Application"),
            tr("The file %1 was not valid UTF-8 text when it was opened.\nSaving replaces the "
               "bytes that could not be read. Save anyway?")
                .arg(QDir::toNativeSeparators(fileName)),
            QMessageBox::Save | QMessageBox::Cancel);
        if (answer != QMessageBox::Save)
            return false;
    }

    // Written to a temporary file that replaces the old one only when complete, so a crash or
    // a full disk never leaves a truncated document behind.
    QSaveFile file(fileName);
    bool written = file.open(QIODevice::WriteOnly | QIODevice::Text);
    if (written) {
        const QByteArray bytes = documentText(editor->document()).toUtf8();
        written = file.write(bytes) == bytes.size() && file.commit();
    }
    if (!written) {
        Dialogs::warning(this, tr("Application"),
                         tr("Cannot write file %1:\n%2.")
                             .arg(QDir::toNativeSeparators(fileName), file.errorString()));
    }

    addRecentFile(fileName);
    editor->fileName = fileName;
    updateTabText(index);
    if (written) {
        // Only writing over the undecodable file itself replaces its bytes; saved elsewhere,
        // the original keeps them and saving back over it still asks.
        if (fileName == lossyFile)
            editor->setProperty(LossyFileProperty, QVariant());
        editor->document()->setModified(false);
    }
    return written;
}

void MainWindow::saveAll()
{
    for (int i = 0; i < ui->tabWidget_3->count(); ++i) {
        CodeEditor* editor = editorAt(i);
        if (!editor->document()->isModified())
            continue;
        if (isUntitled(editor->fileName))
            saveDocumentAs(i);
        else
            writeDocument(editor->fileName, i);
    }
}

void MainWindow::discardTab(int index)
{
    QWidget* editor = ui->tabWidget_3->widget(index);
    if (!editor)
        return;
    ui->tabWidget_3->removeTab(index);
    delete editor;
}

bool MainWindow::maybeSave(int index)
{
    CodeEditor* editor = editorAt(index);
    if (!editor || !editor->document()->isModified())
        return true;
    const auto answer = Dialogs::warning(
        this, tr("Application"),
        tr("The document '%1' has been modified.\nDo you want to save your changes?")
            .arg(strippedName(editor->fileName)),
        QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel);
    if (answer == QMessageBox::Save)
        return saveDocument(index);
    return answer == QMessageBox::Discard;
}

void MainWindow::removeTab(int index)
{
    // The tab's close button asks before unsaved edits are thrown away.
    if (maybeSave(index))
        discardTab(index);
}

void MainWindow::closeFile()
{
    const int index = ui->tabWidget_3->currentIndex();
    CodeEditor* editor = editorAt(index);
    if (!editor)
        return;
    if (!editor->document()->isModified())
        discardTab(index);
    else
        saveDocument(index);
}

void MainWindow::closeAll()
{
    // Stops at a document whose save is cancelled or fails; the remaining tabs stay open.
    while (ui->tabWidget_3->count() > 0) {
        const int index = ui->tabWidget_3->currentIndex();
        if (!editorAt(index)->document()->isModified())
            discardTab(index);
        else if (!saveDocument(index))
            return;
    }
}

bool MainWindow::maybeSaveAll()
{
    for (int i = 0; i < ui->tabWidget_3->count(); ++i) {
        if (!maybeSave(i))
            return false;
    }
    return true;
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    if (maybeSaveAll()) {
        writeSettings();
        event->accept();
    } else {
        event->ignore();
    }
}

void MainWindow::currentTabChanged(int index)
{
    if (CodeEditor* editor = editorAt(index))
        editor->cursorPosition();
}
