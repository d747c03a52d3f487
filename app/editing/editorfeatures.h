#ifndef EDITORFEATURES_H
#define EDITORFEATURES_H

#include <QObject>
#include <QPointer>
#include <QString>

class CodeEditor;
class EditorZoom;
class MainWindow;
class QAction;
class QListWidget;
class QPlainTextEdit;
class QTabWidget;
class QTableWidget;
class SteppingController;
class TermWords;
class WindowLayout;

// The window's writing and stepping aids, made once for the window: abbreviations, completion
// and tool tips in every document, the editor zoom, the remembered window layout and title,
// the sent-region stripe, Run to Cursor and Step Back, and Escape in the Find and Replace dock.
// It finds the window's widgets and actions by their object names.
class EditorFeatures : public QObject {
    Q_OBJECT

public:
    explicit EditorFeatures(MainWindow* window);

    EditorZoom* zoom() const { return editorZoom; }
    void attach(CodeEditor* editor);

    void runToCursor();
    void stepBack();

private:
    CodeEditor* currentEditor() const;
    void createActions();
    void inputSent(const QString& text, int line);
    void confirmSent(bool run);
    void clearOtherRegions(CodeEditor* keep);
    void appendOutput(const QString& text);

    MainWindow* window;
    QTabWidget* tabs;
    QPlainTextEdit* output;
    QListWidget* errors;
    QTableWidget* statements;
    EditorZoom* editorZoom;
    TermWords* engineWords;
    TermWords* engineCompounds;
    WindowLayout* layout;
    SteppingController* stepper;

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
