#include "mainwindow.h"
#include "ui_mainwindow.h"

#include "codeeditor.h"
#include "editorfeatures.h"
#include "errormessage.h"
#include "outputappender.h"
#include "quorw.h"
#include "resourceinit.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QLabel>
#include <QMenu>
#include <QSettings>
#include <QToolButton>

#include <utility>

MainWindow::MainWindow(const QStringList& arguments, QWidget* parent)
    : QMainWindow(parent), ui(new Ui::MainWindow), engine(new QuorW)
{
    initResources();
    registerErrorListItem();
    QSettings settings(QStringLiteral("QuorStudio"), QStringLiteral("QuorStudio"));

    ui->setupUi(this);
    ui->dockWidget_7->hide();
    outputAppender = new OutputAppender(ui->plainTextEdit);

    // The seven bottom docks become tabs of one area: Inferences, Question derivation,
    // Statements, Compounds, Words, Error, Output, with Output shown.
    tabifyDockWidget(ui->dockWidget_11, ui->dockWidget_10);
    tabifyDockWidget(ui->dockWidget_10, ui->dockWidget_13);
    tabifyDockWidget(ui->dockWidget_13, ui->dockWidget_12);
    tabifyDockWidget(ui->dockWidget_12, ui->dockWidget_6);
    tabifyDockWidget(ui->dockWidget_6, ui->dockWidget_5);
    tabifyDockWidget(ui->dockWidget_5, ui->dockWidget_2);

    positionLabel = new QLabel;
    ui->statusBar->addPermanentWidget(positionLabel);

    fileSystemModel = new QFileSystemModel;
    fileSystemModel->setFilter(QDir::AllEntries | QDir::NoDot);
    const QString folder =
        settings.value(QStringLiteral("currentPath"), QDir::currentPath()).toString();
    ui->listView->setModel(fileSystemModel);
    ui->listView->setRootIndex(fileSystemModel->setRootPath(folder));

    connect(ui->actionRun, SIGNAL(triggered()), this, SLOT(run()));
    connect(ui->actionStepForward, SIGNAL(triggered()), this, SLOT(stepForward()));
    connect(ui->actionClear_Memory, SIGNAL(triggered()), this, SLOT(clear()));
    connect(ui->actionWords, SIGNAL(triggered()), this, SLOT(words()));
    connect(ui->actionCompounds, SIGNAL(triggered()), this, SLOT(compounds()));
    connect(ui->actionStatements, SIGNAL(triggered()), this, SLOT(statements()));
    connect(ui->actionSave_Memory, SIGNAL(triggered()), this, SLOT(saveMemory()));
    connect(ui->actionQuestion_Derivation, SIGNAL(triggered()), this, SLOT(questionDerivation()));
    connect(ui->actionInference, SIGNAL(triggered()), this, SLOT(inference()));
    connect(ui->actionDebug, SIGNAL(toggled(bool)), this, SLOT(debug(bool)));
    connect(ui->actionClear_Output, SIGNAL(triggered()), this, SLOT(clearOutputWindow()));
    connect(engine, SIGNAL(output(const char*, size_t)), this, SLOT(output(const char*, size_t)));
    connect(this, SIGNAL(input(QString, int)), engine, SLOT(input(QString, int)));
    connect(ui->actionNew, SIGNAL(triggered()), this, SLOT(newFile()));
    connect(ui->actionOpen, SIGNAL(triggered()), this, SLOT(openFile()));
    connect(ui->actionClose, SIGNAL(triggered()), this, SLOT(closeFile()));
    connect(ui->actionClose_All, SIGNAL(triggered()), this, SLOT(closeAll()));
    connect(ui->actionSave, SIGNAL(triggered()), this, SLOT(saveFile()));
    connect(ui->actionSave_As, SIGNAL(triggered()), this, SLOT(saveAs()));
    connect(ui->actionSave_All, SIGNAL(triggered()), this, SLOT(saveAll()));
    connect(ui->actionPrint, SIGNAL(triggered()), this, SLOT(print()));
    connect(ui->actionPrint_to_pdf, SIGNAL(triggered()), this, SLOT(printToPdf()));
    connect(ui->actionExit, SIGNAL(triggered()), this, SLOT(close()));
    connect(ui->listView, SIGNAL(doubleClicked(const QModelIndex&)), this,
            SLOT(fileSelected(const QModelIndex&)));
    connect(ui->tabWidget_3, SIGNAL(currentChanged(int)), this, SLOT(currentTabChanged(int)));
    connect(ui->tabWidget_3, SIGNAL(tabCloseRequested(int)), this, SLOT(removeTab(int)));
    connect(ui->actionAbout, SIGNAL(triggered()), this, SLOT(about()));
    connect(ui->actionFind_and_Replace, SIGNAL(triggered()), ui->dockWidget_7, SLOT(show()));
    connect(ui->dockWidget_7, SIGNAL(visibilityChanged(bool)), this, SLOT(setFocusSR(bool)));
    connect(ui->lineEdit, SIGNAL(returnPressed()), this, SLOT(searchAndReplace()));
    connect(ui->pushButton_4, SIGNAL(clicked()), this, SLOT(findPrevious()));
    connect(ui->pushButton, SIGNAL(clicked()), this, SLOT(findNext()));
    connect(ui->pushButton_2, SIGNAL(clicked()), this, SLOT(replace()));
    connect(ui->pushButton_3, SIGNAL(clicked()), this, SLOT(replaceAll()));
    connect(ui->listWidget, SIGNAL(itemDoubleClicked(QListWidgetItem*)), this,
            SLOT(scrollToError(QListWidgetItem*)));
    // The Edit actions act on whichever editor is current when they are triggered.
    const std::pair<QAction*, void (QPlainTextEdit::*)()> editActions[] = {
        {ui->actionUndo, &QPlainTextEdit::undo},
        {ui->actionRedo, &QPlainTextEdit::redo},
        {ui->actionCut, &QPlainTextEdit::cut},
        {ui->actionCopy, &QPlainTextEdit::copy},
        {ui->actionPaste, &QPlainTextEdit::paste},
        {ui->actionSelect_All, &QPlainTextEdit::selectAll}};
    for (const auto& [action, operation] : editActions) {
        connect(action, &QAction::triggered, this, [this, operation = operation] {
            if (CodeEditor* editor = currentEditor())
                (editor->*operation)();
        });
    }

    for (QAction*& action : recentFileActs) {
        action = new QAction(this);
        action->setVisible(false);
        connect(action, SIGNAL(triggered()), this, SLOT(openRecentFile()));
    }
    recentFilesMenu = new QMenu(this);
    ui->actionRecent_Files->setMenu(recentFilesMenu);
    for (QAction* action : recentFileActs)
        recentFilesMenu->addAction(action);
    recentFilesButton = new QToolButton;
    recentFilesButton->setIcon(QIcon(QStringLiteral(":/resources/recent-files.png")));
    recentFilesButton->setMenu(recentFilesMenu);
    recentFilesButton->setPopupMode(QToolButton::InstantPopup);
    ui->fileToolBar->addWidget(recentFilesButton);
    updateRecentFileActions();

    ui->plainTextEdit->appendPlainText(QStringLiteral("QuorStudio version 0.5.1"));
    emit input(QStringLiteral("\u22d9 version"), 1);

    ui->actionTime->setChecked(
        settings.value(QStringLiteral("time"), ui->actionTime->isChecked()).toBool());
    ui->actionInternal_Question->setChecked(
        settings
            .value(QStringLiteral("internalQuestions"), ui->actionInternal_Question->isChecked())
            .toBool());
    ui->actionDebug->setChecked(
        settings.value(QStringLiteral("debug"), ui->actionDebug->isChecked()).toBool());
    if (ui->actionDebug->isChecked())
        emit input(QStringLiteral("\u22d9 debug on"), 1);

    // Files named on the command line open by their absolute path, in order; the first one's
    // tab stays current.
    int firstTab = -1;
    for (int i = 1; i < arguments.size(); ++i) {
        const QFileInfo info(arguments.at(i));
        if (!info.exists() || !info.isFile())
            continue;
        const int index = loadFile(info.absoluteFilePath());
        if (firstTab < 0)
            firstTab = index;
    }
    if (firstTab >= 0)
        ui->tabWidget_3->setCurrentIndex(firstTab);
    new EditorFeatures(this);
}

MainWindow::~MainWindow()
{
    discardOutput = true;
    // The documents outlive this destructor's body (they go with the widget tree); what they
    // signal while they are destroyed must not reach the slots of a window that is gone.
    for (CodeEditor* editor : findChildren<CodeEditor*>()) {
        editor->disconnect(this);
        editor->document()->disconnect(this);
    }
    delete recentFilesMenu;
    delete recentFilesButton;
    delete fileSystemModel;
    delete positionLabel;
    delete ui;
    delete engine;
    // The poller has stopped; blocks still queued for this window would never be delivered,
    // so hand them to output() now, which only frees them.
    QCoreApplication::sendPostedEvents(this, QEvent::MetaCall);
}

CodeEditor* MainWindow::currentEditor() const
{
    return qobject_cast<CodeEditor*>(ui->tabWidget_3->currentWidget());
}

CodeEditor* MainWindow::editorAt(int index) const
{
    return qobject_cast<CodeEditor*>(ui->tabWidget_3->widget(index));
}
