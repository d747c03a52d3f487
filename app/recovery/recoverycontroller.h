#ifndef RECOVERYCONTROLLER_H
#define RECOVERYCONTROLLER_H

#include "recoverystore.h"

#include <QElapsedTimer>
#include <QHash>
#include <QObject>
#include <QPointer>
#include <QSet>
#include <QTimer>

#include <functional>

class CodeEditor;
class QStatusBar;

// Keeps a recovery copy of every document with unsaved edits: written about two seconds after
// the last edit, and at once before anything is handed to the engine, whose faults take the
// whole process down. A copy goes when its document is saved, undone back to its saved state or
// closed, and all of them go on a normal exit. At start, copies left by an instance that did not
// end normally are offered back; copies that cannot be read are moved aside, and the status bar
// says where.
class RecoveryController : public QObject {
    Q_OBJECT

public:
    // Opens a document for a restored copy and makes it the current one: the file of that name,
    // or a new untitled document when the name is empty. Returns its editor, or null.
    using Opener = std::function<CodeEditor*(const QString& fileName)>;

    RecoveryController(QStatusBar* statusBar, Opener opener, QObject* parent = nullptr);
    // A normal exit: this instance's copies are removed.
    ~RecoveryController() override;

    // Recovery is on unless the settings key "recovery" is false.
    bool isEnabled() const { return enabled; }
    // Follows the edits of a document from now on.
    void watch(CodeEditor* editor);
    void setDelay(int milliseconds) { delay = milliseconds; }
    RecoveryStore& store() { return copies; }

public slots:
    // Writes the copy of every document edited since its last copy, synchronously. Everything
    // that sends input to the engine runs this first; with no unsaved edit it does nothing.
    void flush();
    // Once the event loop runs, asks what to do with the copies that a dead instance left.
    void offerLeftCopies();
    // Opens the copies as modified documents and takes them over as this instance's copies. A
    // copy is deleted only once its text is in a document and written as this instance's copy.
    void restore(const QList<RecoveryCopy>& left);

signals:
    void copyWritten(const QString& fileName);

private:
    void edited(CodeEditor* editor);
    void forget(CodeEditor* editor);
    bool writeCopy(CodeEditor* editor);
    void askAboutLeftCopies();

    QPointer<QStatusBar> statusBar;
    Opener open;
    RecoveryStore copies;
    bool enabled;
    int delay = 2000;
    QTimer timer;
    QElapsedTimer pendingSince;
    QHash<CodeEditor*, int> serials;
    QSet<CodeEditor*> dirty;
    int nextSerial = 1;
    bool failureShown = false;
};

#endif
