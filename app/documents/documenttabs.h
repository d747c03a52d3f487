#ifndef DOCUMENTTABS_H
#define DOCUMENTTABS_H

#include <QList>
#include <QObject>
#include <QString>

class CodeEditor;
class QAction;
class QTabWidget;
class QWidget;
class RecentFiles;

// The window's actions that follow the documents: Save, Undo, Redo, Cut and Copy are enabled by
// the documents' signals; all but Save act on the current document.
struct DocumentActions {
    QAction* save;
    QAction* undo;
    QAction* redo;
    QAction* cut;
    QAction* copy;
    QAction* paste;
    QAction* selectAll;
};

// The documents: one CodeEditor per tab of the window's tab widget. Creates, opens, saves and
// closes them, keeps each tab's text ("name*" while modified) and the recent-file list, and asks
// about unsaved changes. Dialogs have the window as parent.
class DocumentTabs : public QObject {
    Q_OBJECT

public:
    DocumentTabs(QTabWidget* tabs, const DocumentActions& actions, QWidget* window);

    // The editor of the current tab, or of tab index; null when there is none.
    CodeEditor* currentEditor() const;
    CodeEditor* editorAt(int index) const;
    // Every open document, in tab order.
    QList<CodeEditor*> documents() const;
    RecentFiles* recentFiles() const { return recent; }

    // Shows a file as a document and returns its tab index, or -1 when the file exists but
    // could not be read. A file already open is not read again. Does not make the tab current.
    int loadFile(const QString& fileName);
    // Makes tab index current and gives its editor the keyboard focus; nothing for -1.
    void showTab(int index);
    // Opens the files named on the command line (arguments after the program path) that exist;
    // the first one's tab becomes current, with the keyboard focus in its editor.
    void openArguments(const QStringList& arguments);

    void newFile();
    void openFile();
    void openRecentFile(const QAction* action);
    void openAllRecentFiles();
    bool saveFile();
    bool saveAs();
    void saveAll();
    // Close and the tab's close button: a modified document is asked about (Save, Discard,
    // Cancel) as closing the window does; it stays open on Cancel or when its save fails.
    void closeFile();
    void removeTab(int index);
    // Close All: asks about every modified document first, in tab order; any Cancel (or a save
    // that fails or is not given a name) keeps every tab open, otherwise all are removed.
    void closeAll();
    // The unsaved-changes question for every modified document, as the window closes; false
    // when the user cancels or a save fails.
    bool maybeSaveAll();
    // Sets the tab text of the document that `document` (an editor's QTextDocument) belongs to.
    void updateTabTextOf(const QObject* document);
    // Has the editor of tab index announce its cursor position again.
    void announcePosition(int index);

signals:
    // The cursor position of any document: 1-based line and column.
    void cursorPositionChanged(int line, int column);
    void documentAdded(CodeEditor* editor);
    void documentModified(CodeEditor* editor, bool modified);
    void documentSaved(CodeEditor* editor, const QString& fileName);
    // Emitted just before the editor of a closed tab is destroyed.
    void documentClosed(CodeEditor* editor);

private:
    int addDocument(CodeEditor* editor, const QString& name);
    bool saveDocument(int index);
    bool saveDocumentAs(int index);
    bool writeDocument(const QString& fileName, int index);
    bool maybeSave(int index);
    void discardTab(int index);
    void updateTabText(int index);

    QTabWidget* tabs;
    DocumentActions actions;
    QWidget* window;
    RecentFiles* recent;
    int untitledCount = 0;
};

#endif
