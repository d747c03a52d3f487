#ifndef MAINWINDOW_H
#define MAINWINDOW_H

#include "enginecommand.h"
#include "recentfiles.h"

#include <QMainWindow>
#include <QString>
#include <QStringList>

#include <cstddef>

class CodeEditor;
class DocumentTabs;
class FindReplace;
class QFileSystemModel;
class QLabel;
class QListWidgetItem;
class QModelIndex;
class QuorW;
class RecoveryController;
class ResultViews;

namespace Ui {
class MainWindow;
}

// The application's window: its widgets come from the form, and its slots hand the work to the
// classes that do it: DocumentTabs (documents, files, recent files), FindReplace (the Find and
// Replace dock), ResultViews (engine output) and the engine worker QuorW. The slots are
// implemented in one source file per concern: mainwindow.cpp (construction and wiring),
// mainwindow_engine.cpp, mainwindow_documents.cpp, mainwindow_settings.cpp,
// mainwindow_find.cpp, mainwindow_browser.cpp and mainwindow_print.cpp.
class MainWindow : public QMainWindow {
    Q_OBJECT

public:
    enum { MaxRecentFiles = RecentFiles::MaxFiles };

    explicit MainWindow(const QStringList& arguments, QWidget* parent = nullptr);
    ~MainWindow() override;

    // The editor of the current tab, or null when no tab is open.
    CodeEditor* currentEditor() const;
    CodeEditor* editorAt(int index) const;
    // The open documents, with signals for documents added, modified, saved and closed.
    DocumentTabs* documentTabs() const { return documents; }

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

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void connectActions();
    void sendCommand(EngineCommand command);
    void restoreOptions();
    void writeSettings();

    Ui::MainWindow* ui;
    QLabel* positionLabel;
    QFileSystemModel* fileSystemModel;
    QuorW* engine;
    QString libraryVersion;
    DocumentTabs* documents;
    FindReplace* findReplace;
    ResultViews* results;
    RecoveryController* recovery;

    // Set while the window is being destroyed: messages still queued then are only freed.
    bool discardOutput = false;
};

#endif
