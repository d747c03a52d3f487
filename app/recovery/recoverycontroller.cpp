#include "recoverycontroller.h"

#include "codeeditor.h"
#include "recoverydialog.h"
#include "settings.h"

#include <QDir>
#include <QFileInfo>
#include <QStatusBar>
#include <QTextCursor>
#include <QTextDocument>

namespace {

// Typing on without a pause still gets a copy this many delays after the first unsaved edit.
const int MaxDelays = 5;

QString documentText(const QTextDocument* document)
{
    QString text = document->toRawText();
    text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    return text;
}

bool isUntitled(const QString& fileName)
{
    return fileName == QFileInfo(fileName).fileName();
}

} // namespace

RecoveryController::RecoveryController(QStatusBar* statusBar, Opener opener, QObject* parent)
    : QObject(parent), statusBar(statusBar), open(std::move(opener))
{
    enabled = SettingsStore().value(Settings::Recovery);
    timer.setSingleShot(true);
    connect(&timer, &QTimer::timeout, this, &RecoveryController::flush);
}

RecoveryController::~RecoveryController()
{
    copies.removeAll();
}

void RecoveryController::watch(CodeEditor* editor)
{
    if (!enabled || serials.contains(editor))
        return;
    serials.insert(editor, nextSerial++);
    QTextDocument* document = editor->document();
    connect(document, &QTextDocument::contentsChanged, this, [this, editor] { edited(editor); });
    connect(document, &QTextDocument::modificationChanged, this, [this, editor](bool modified) {
        if (modified)
            edited(editor);
        else
            forget(editor);
    });
    // Only the pointer's value is used once the editor is being destroyed.
    connect(editor, &QObject::destroyed, this, [this, editor] {
        forget(editor);
        serials.remove(editor);
    });
}

void RecoveryController::edited(CodeEditor* editor)
{
    if (!editor->document()->isModified())
        return;
    dirty.insert(editor);
    if (!timer.isActive()) {
        pendingSince.start();
        timer.start(delay);
    } else if (pendingSince.elapsed() < qint64(MaxDelays - 1) * delay) {
        timer.start(delay);
    }
}

void RecoveryController::forget(CodeEditor* editor)
{
    dirty.remove(editor);
    if (dirty.isEmpty())
        timer.stop();
    copies.remove(serials.value(editor));
}

void RecoveryController::flush()
{
    if (dirty.isEmpty())
        return;
    timer.stop();
    const QList<CodeEditor*> pending = dirty.values();
    for (CodeEditor* editor : pending)
        writeCopy(editor);
}

bool RecoveryController::writeCopy(CodeEditor* editor)
{
    dirty.remove(editor);
    int& serial = serials[editor];
    if (serial == 0)
        serial = nextSerial++;
    RecoveryCopy copy;
    copy.fileName = editor->fileName;
    copy.time = QDateTime::currentDateTimeUtc();
    copy.cursor = editor->textCursor().position();
    copy.text = documentText(editor->document());
    QString error;
    if (copies.write(serial, copy, &error)) {
        failureShown = false;
        emit copyWritten(copy.fileName);
        return true;
    }
    // Reported once until a copy can be written again; the editing goes on regardless.
    if (!failureShown && statusBar)
        statusBar->showMessage(tr("Recovery copies cannot be written: %1").arg(error));
    failureShown = true;
    return false;
}

void RecoveryController::offerLeftCopies()
{
    if (enabled)
        QTimer::singleShot(0, this, &RecoveryController::askAboutLeftCopies);
}

void RecoveryController::askAboutLeftCopies()
{
    int setAside = 0;
    const QList<RecoveryCopy> left = copies.adoptLeftCopies(&setAside);
    // Said once: the copies are no longer in the folder that later starts read.
    if (setAside > 0 && statusBar) {
        const QString folder = QDir::toNativeSeparators(copies.unreadableFolder());
        statusBar->showMessage(
            setAside == 1 ? tr("A recovery copy could not be read; it was moved to %1").arg(folder)
                          : tr("%1 recovery copies could not be read; they were moved to %2")
                                .arg(setAside)
                                .arg(folder));
    }
    if (left.isEmpty()) {
        copies.releaseAdopted();
        return;
    }
    switch (RecoveryDialog::ask(left, qobject_cast<QWidget*>(parent()))) {
    case RecoveryDialog::Restore:
        restore(left);
        break;
    case RecoveryDialog::Discard:
        for (const RecoveryCopy& copy : left)
            copies.discard(copy);
        break;
    case RecoveryDialog::Later:
        break;
    }
    copies.releaseAdopted();
}

void RecoveryController::restore(const QList<RecoveryCopy>& left)
{
    // Two instances may have left copies of the same file. The newest takes the file's tab; the
    // others, and any copy whose file is already open with other unsaved text, come back as
    // untitled documents, so that no restored text replaces another.
    QHash<QString, int> newest;
    for (int i = 0; i < left.size(); ++i) {
        const RecoveryCopy& copy = left.at(i);
        const auto found = newest.constFind(copy.fileName);
        if (found == newest.constEnd() || !(copy.time < left.at(*found).time))
            newest.insert(copy.fileName, i);
    }
    QSet<CodeEditor*> restored;
    for (int i = 0; i < left.size(); ++i) {
        const RecoveryCopy& copy = left.at(i);
        CodeEditor* editor = nullptr;
        if (!isUntitled(copy.fileName) && newest.value(copy.fileName) == i) {
            editor = open(copy.fileName);
            if (editor && (restored.contains(editor) || editor->document()->isModified()))
                editor = nullptr;
        }
        // An untitled copy, or a file that cannot take this text (or cannot be read).
        if (!editor)
            editor = open(QString());
        if (!editor)
            continue; // the copy stays on disk
        restored.insert(editor);
        QTextDocument* document = editor->document();
        QTextCursor all(document);
        all.select(QTextCursor::Document);
        all.insertText(copy.text);
        document->setModified(true);
        QTextCursor cursor(document);
        cursor.setPosition(qBound(0, copy.cursor, document->characterCount() - 1));
        editor->setTextCursor(cursor);
        editor->ensureCursorVisible();
        editor->cursorPosition(); // the status bar shows where the restored text's cursor is
        // The old copy goes only once the document's new copy is safely written.
        if (writeCopy(editor))
            copies.discard(copy);
    }
}
