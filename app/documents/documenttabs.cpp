#include "documenttabs.h"

#include "codeeditor.h"
#include "dialogs.h"
#include "filenames.h"
#include "recentfiles.h"
#include "textfile.h"

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <QTabWidget>
#include <QTextCursor>
#include <QTextDocument>

#include <utility>

namespace {

// Set on an editor whose file held bytes that are not valid UTF-8; holds the path it was read
// from. Saving over that file replaces those bytes, so the user is asked first.
const char* const LossyFileProperty = "quorLossyFile";

// Texts of the window go through the translation context "MainWindow".
QString uiText(const char* text)
{
    return QCoreApplication::translate("MainWindow", text);
}

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

QString cannotOpenText(const QString& fileName, const TextFile& file)
{
    const QString name = QDir::toNativeSeparators(fileName);
    if (file.status == TextFile::TooLarge)
        return uiText("The file %1 is larger than %2 MiB, the most QuorStudio opens as a "
                      "document. It was not opened.")
            .arg(name)
            .arg(MaxTextFileBytes / (1024 * 1024));
    const QString reason =
        file.status == TextFile::NotRegular ? uiText("Not a regular file") : file.reason;
    return uiText("Cannot read file %1:\n%2.").arg(name, reason);
}

} // namespace

DocumentTabs::DocumentTabs(QTabWidget* tabs, const DocumentActions& actions, QWidget* window)
    : QObject(window), tabs(tabs), actions(actions), window(window), recent(new RecentFiles(window))
{
    // The Edit actions act on whichever editor is current when they are triggered. Their keys
    // count only while the keyboard focus is in the documents: elsewhere (the Output dock, the
    // Find fields, a table) Ctrl+C and Ctrl+A belong to the focused widget, and Ctrl+X, Ctrl+V
    // and Ctrl+Z never reach a document the user is not looking at.
    const std::pair<QAction*, void (QPlainTextEdit::*)()> editActions[] = {
        {actions.undo, &QPlainTextEdit::undo},   {actions.redo, &QPlainTextEdit::redo},
        {actions.cut, &QPlainTextEdit::cut},     {actions.copy, &QPlainTextEdit::copy},
        {actions.paste, &QPlainTextEdit::paste}, {actions.selectAll, &QPlainTextEdit::selectAll}};
    for (const auto& [action, operation] : editActions) {
        connect(action, &QAction::triggered, this, [this, operation = operation] {
            if (CodeEditor* editor = currentEditor())
                (editor->*operation)();
        });
        action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        tabs->addAction(action);
    }
}

CodeEditor* DocumentTabs::currentEditor() const
{
    return qobject_cast<CodeEditor*>(tabs->currentWidget());
}

CodeEditor* DocumentTabs::editorAt(int index) const
{
    return qobject_cast<CodeEditor*>(tabs->widget(index));
}

QList<CodeEditor*> DocumentTabs::documents() const
{
    QList<CodeEditor*> editors;
    for (int i = 0; i < tabs->count(); ++i)
        editors.append(editorAt(i));
    return editors;
}

void DocumentTabs::showTab(int index)
{
    if (CodeEditor* editor = editorAt(index)) {
        tabs->setCurrentIndex(index);
        editor->setFocus();
    }
}

void DocumentTabs::newFile()
{
    ++untitledCount;
    auto* editor = new CodeEditor;
    tabs->setCurrentIndex(addDocument(editor, uiText("new %1").arg(untitledCount)));
    editor->setFocus();
}

void DocumentTabs::openFile()
{
    int last = -1;
    for (const QString& file : Dialogs::getOpenFileNames(window, documentFileFilter())) {
        const int index = loadFile(file);
        if (index >= 0)
            last = index;
    }
    showTab(last);
}

void DocumentTabs::openArguments(const QStringList& arguments)
{
    // Files open by their absolute path, in order; the first one's tab stays current.
    int firstTab = -1;
    for (int i = 1; i < arguments.size(); ++i) {
        const QFileInfo info(arguments.at(i));
        if (!info.exists() || !info.isFile())
            continue;
        const int index = loadFile(info.absoluteFilePath());
        if (firstTab < 0)
            firstTab = index;
    }
    showTab(firstTab);
}

void DocumentTabs::openRecentFile(const QAction* action)
{
    if (!action)
        return;
    showTab(loadFile(action->data().toString()));
}

void DocumentTabs::openAllRecentFiles()
{
    for (const QString& file : recent->files())
        loadFile(file);
}

int DocumentTabs::loadFile(const QString& fileName)
{
    for (int i = 0; i < tabs->count(); ++i) {
        if (editorAt(i)->fileName == fileName)
            return i;
    }

    // A file that does not exist opens as an empty document named by its path; one that exists
    // but cannot be read whole is not opened, since saving the tab over it would destroy it.
    const TextFile file = readTextFile(fileName);
    if (file.status != TextFile::Read && file.status != TextFile::Missing) {
        Dialogs::warning(window, uiText("Application"), cannotOpenText(fileName, file));
        return -1;
    }
    auto* editor = new CodeEditor;
    if (!file.text.isEmpty())
        QTextCursor(editor->document()).insertText(file.text);
    if (file.lossy) {
        editor->setProperty(LossyFileProperty, fileName);
        Dialogs::warning(window, uiText("Application"),
                         uiText("The file %1 is not valid UTF-8 text. Bytes that could not be read "
                                "are shown as replacement characters; saving the document over the "
                                "file would replace them.")
                             .arg(QDir::toNativeSeparators(fileName)));
    }
    const int index = addDocument(editor, fileName);
    recent->add(fileName);
    return index;
}

int DocumentTabs::addDocument(CodeEditor* editor, const QString& name)
{
    editor->fileName = name;
    const int index = tabs->addTab(editor, strippedName(name));

    connect(editor, &CodeEditor::cursorPositionChanged, this, &DocumentTabs::cursorPositionChanged);
    QTextDocument* document = editor->document();
    connect(document, &QTextDocument::modificationChanged, actions.save, &QAction::setEnabled);
    connect(document, &QTextDocument::modificationChanged, this, [this, editor](bool changed) {
        updateTabTextOf(editor->document());
        emit documentModified(editor, changed);
    });
    connect(document, &QTextDocument::undoAvailable, actions.undo, &QAction::setEnabled);
    connect(document, &QTextDocument::redoAvailable, actions.redo, &QAction::setEnabled);
    actions.save->setEnabled(document->isModified());
    actions.undo->setEnabled(document->isUndoAvailable());
    actions.redo->setEnabled(document->isRedoAvailable());
    actions.cut->setEnabled(false);
    actions.copy->setEnabled(false);
    connect(editor, &QPlainTextEdit::copyAvailable, actions.cut, &QAction::setEnabled);
    connect(editor, &QPlainTextEdit::copyAvailable, actions.copy, &QAction::setEnabled);

    document->setModified(false);
    editor->moveCursor(QTextCursor::Start);
    editor->ensureCursorVisible();
    // The first tab became current before its position reached the status bar.
    if (tabs->currentWidget() == editor)
        editor->cursorPosition();
    emit documentAdded(editor);
    return index;
}

void DocumentTabs::updateTabText(int index)
{
    CodeEditor* editor = editorAt(index);
    if (!editor)
        return;
    QString text = strippedName(editor->fileName);
    if (editor->document()->isModified())
        text += QLatin1Char('*');
    tabs->setTabText(index, text);
}

void DocumentTabs::updateTabTextOf(const QObject* document)
{
    for (int i = 0; i < tabs->count(); ++i) {
        if (editorAt(i)->document() == document)
            updateTabText(i);
    }
}

void DocumentTabs::announcePosition(int index)
{
    if (CodeEditor* editor = editorAt(index))
        editor->cursorPosition();
}

bool DocumentTabs::saveFile()
{
    return saveDocument(tabs->currentIndex());
}

bool DocumentTabs::saveAs()
{
    return saveDocumentAs(tabs->currentIndex());
}

bool DocumentTabs::saveDocument(int index)
{
    CodeEditor* editor = editorAt(index);
    if (!editor)
        return false;
    if (isUntitled(editor->fileName))
        return saveDocumentAs(index);
    return writeDocument(editor->fileName, index);
}

bool DocumentTabs::saveDocumentAs(int index)
{
    if (!editorAt(index))
        return false;
    const QString name =
        Dialogs::getSaveFileName(window, uiText("Save as..."), QString(), documentFileFilter());
    if (name.isEmpty())
        return false;
    return writeDocument(withDocumentSuffix(name), index);
}

bool DocumentTabs::writeDocument(const QString& fileName, int index)
{
    CodeEditor* editor = editorAt(index);
    if (!editor)
        return false;

    const QString lossyFile = editor->property(LossyFileProperty).toString();
    if (!lossyFile.isEmpty() && lossyFile == fileName) {
        const auto answer = Dialogs::warning(
            window, uiText("Application"),
            uiText("The file %1 was not valid UTF-8 text when it was opened.\nSaving replaces the "
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
    if (!written)
        Dialogs::warnCannotWrite(window, fileName, file.errorString());

    recent->add(fileName);
    editor->fileName = fileName;
    updateTabText(index);
    if (written) {
        // Only writing over the undecodable file itself replaces its bytes; saved elsewhere,
        // the original keeps them and saving back over it still asks.
        if (fileName == lossyFile)
            editor->setProperty(LossyFileProperty, QVariant());
        editor->document()->setModified(false);
        emit documentSaved(editor, fileName);
    }
    return written;
}

void DocumentTabs::saveAll()
{
    for (int i = 0; i < tabs->count(); ++i) {
        CodeEditor* editor = editorAt(i);
        if (!editor->document()->isModified())
            continue;
        if (isUntitled(editor->fileName))
            saveDocumentAs(i);
        else
            writeDocument(editor->fileName, i);
    }
}

void DocumentTabs::discardTab(int index)
{
    CodeEditor* editor = editorAt(index);
    if (!editor)
        return;
    emit documentClosed(editor);
    tabs->removeTab(index);
    delete editor;
}

bool DocumentTabs::maybeSave(int index)
{
    CodeEditor* editor = editorAt(index);
    if (!editor || !editor->document()->isModified())
        return true;
    const auto answer = Dialogs::warning(
        window, uiText("Application"),
        uiText("The document '%1' has been modified.\nDo you want to save your changes?")
            .arg(strippedName(editor->fileName)),
        QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel);
    if (answer == QMessageBox::Save)
        return saveDocument(index);
    return answer == QMessageBox::Discard;
}

void DocumentTabs::removeTab(int index)
{
    if (maybeSave(index))
        discardTab(index);
}

void DocumentTabs::closeFile()
{
    removeTab(tabs->currentIndex());
}

void DocumentTabs::closeAll()
{
    if (!maybeSaveAll())
        return;
    while (tabs->count() > 0)
        discardTab(tabs->currentIndex());
}

bool DocumentTabs::maybeSaveAll()
{
    for (int i = 0; i < tabs->count(); ++i) {
        if (!maybeSave(i))
            return false;
    }
    return true;
}
