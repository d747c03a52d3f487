#ifndef MAINWINDOW_H
#define MAINWINDOW_H

#include <QByteArray>
#include <QList>
#include <QMainWindow>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QTextEdit>

#include <cstddef>

class CodeEditor;
class OutputAppender;
class QFileSystemModel;
class QLabel;
class QListWidgetItem;
class QMenu;
class QModelIndex;
class QToolButton;
class QuorW;
class RecoveryController;

namespace Ui {
class MainWindow;
}

// The application's window. Its slots are implemented in one source file per concern:
// mainwindow.cpp (construction), mainwindow_engine.cpp (engine input and output),
// mainwindow_documents.cpp, mainwindow_settings.cpp, mainwindow_find.cpp,
// mainwindow_browser.cpp and mainwindow_print.cpp.
class MainWindow : public QMainWindow {
    Q_OBJECT

public:
    enum { MaxRecentFiles = 10 };

    explicit MainWindow(const QStringList& arguments, QWidget* parent = nullptr);
    ~MainWindow() override;

    // The editor of the current tab, or null when no tab is open.
    CodeEditor* currentEditor() const;
    CodeEditor* editorAt(int index) const;

    // Shows a file as a document and returns its tab index, or -1 when the file exists but
    // could not be read. Does not make the tab current.
    int loadFile(const QString& fileName);
    void updateRecentFileActions();

signals:
    void input(QString str, int line);

private slots:
    void run();
    void stepForward();
    void clear();
    void words();
    void compounds();
    void statements();
    void saveMemory();
    void questionDerivation();
    void inference();
    void debug(bool d);
    void clearOutputWindow();
    void output(const char* buffer, size_t size);
    void newFile();
    void openFile();
    void closeFile();
    void closeAll();
    bool saveFile();
    bool saveAs();
    void saveAll();
    void print();
    void printToPdf();
    void positionChanged(int c, int r);
    void currentTabChanged(int index);
    void removeTab(int index);
    void documentWasModified(bool changed);
    void fileSelected(const QModelIndex& index);
    void openRecentFile();
    void openAllRecentFiles();
    void about();
    void searchAndReplace();
    void replace();
    void replaceAll();
    void find(bool next);
    void findNext();
    void findPrevious();
    void scrollToError(QListWidgetItem* item);
    void setFocusSR(bool visible);
    void followMatches(const QRect& rect, int dy);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    // Engine output handlers.
    void appendOutput(const QString& text);
    void handleError(const char* buffer, std::size_t size);
    void handleTermTable(const char* buffer, std::size_t size);
    void handleQuestionTree(const char* buffer, std::size_t size);
    void handleInferenceGraph(const char* buffer, std::size_t size);
    bool writeMemoryFile(const QByteArray& dump);

    // Documents.
    int addDocument(CodeEditor* editor, const QString& name);
    bool saveDocument(int index);
    bool saveDocumentAs(int index);
    bool writeDocument(const QString& fileName, int index);
    bool maybeSave(int index);
    void discardTab(int index);
    bool maybeSaveAll();
    void updateTabText(int index);

    // Find and replace.
    void showMatches(CodeEditor* editor);

    // Settings and recent files.
    void writeSettings();
    void addRecentFile(const QString& fileName);

    Ui::MainWindow* ui;
    QLabel* positionLabel;
    QFileSystemModel* fileSystemModel;
    QuorW* engine;
    QString libraryVersion;
    int untitledCount = 0;
    QMenu* recentFilesMenu;
    QAction* recentFileActs[MaxRecentFiles];
    QToolButton* recentFilesButton;
    QList<QTextEdit::ExtraSelection> matches;
    OutputAppender* outputAppender;
    QPointer<CodeEditor> matchesShownIn;
    RecoveryController* recovery;

    // Set while the window is being destroyed: messages still queued then are only freed.
    bool discardOutput = false;
};

#endif
