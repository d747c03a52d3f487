#ifndef EDITORFEATURES_H
#define EDITORFEATURES_H

#include "termtable.h"

#include <QHash>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QVector>

class CodeEditor;
class DocumentTabs;
class EditorZoom;
class MainWindow;
class OutputAppender;
class QAction;
class QDockWidget;
class QListWidget;
class QMenu;
class QTabWidget;
class QTableWidget;
class QToolBar;
class SentRegion;
class SteppingController;
class TermWords;
class WindowLayout;

// What the writing and stepping aids work with, handed over by the window.
struct EditingParts {
    DocumentTabs* documents;
    QTabWidget* tabs;       // the documents' tab widget
    OutputAppender* output; // the Output dock
    QListWidget* errors;    // the Error dock's list
    QTableWidget* words;    // the term tables
    QTableWidget* compounds;
    QTableWidget* statements;
    QDockWidget* findDock;  // Find and Replace
    QMenu* editMenu;        // gets the zoom entries
    QMenu* debugMenu;       // gets Run to Cursor and Step Back
    QToolBar* debugToolBar; // the same
    QAction* run;
    QAction* stepForward;
    QAction* clearMemory;
    QAction* save; // Save, Save As and Save All may change the title
    QAction* saveAs;
    QAction* saveAll;
};

// The window's writing and stepping aids, made once for the window: abbreviations, completion
// and tool tips in every document, the editor zoom, the remembered window layout and title,
// the sent-region stripe, Run to Cursor and Step Back, and Escape in the Find and Replace dock.
class EditorFeatures : public QObject {
    Q_OBJECT

public:
    EditorFeatures(MainWindow* window, const EditingParts& parts);

    EditorZoom* zoom() const { return editorZoom; }
    // The sent region of a document.
    SentRegion* sentRegion(CodeEditor* editor) const { return regions.value(editor); }

    void runToCursor();
    void stepBack();
    // The engine's words or compounds have just been shown in `table`: completion offers them.
    void termTableShown(QTableWidget* table, const QVector<TermRecord>& records);

private:
    CodeEditor* currentEditor() const;
    void attach(CodeEditor* editor);
    void createActions();
    void inputSent(const QString& text, int line);
    void confirmSent(bool run);
    void clearOtherRegions(CodeEditor* keep);

    MainWindow* window;
    EditingParts parts;
    EditorZoom* editorZoom;
    TermWords* engineWords;
    TermWords* engineCompounds;
    WindowLayout* layout;
    SteppingController* stepper;
    QHash<CodeEditor*, SentRegion*> regions; // one per open document

    // The last text the window sent to the engine and where the current document stood then:
    // Run and Step Forward are recognised by it once their action has done its work.
    struct SentInput {
        QPointer<CodeEditor> editor;
        int line = 0;
        int lineCount = 0;
        bool selection = false;
        bool cursorLine = false;
        bool runText = false;
        bool pending = false;
    } lastInput;
};

#endif
