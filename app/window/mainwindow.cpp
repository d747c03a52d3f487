#include "mainwindow.h"
#include "ui_mainwindow.h"

#include "appinfo.h"
#include "codeeditor.h"
#include "documenttabs.h"
#include "editorfeatures.h"
#include "errormessage.h"
#include "findreplace.h"
#include "quorw.h"
#include "recoverycontroller.h"
#include "resourceinit.h"
#include "resultviewfeatures.h"
#include "resultviews.h"
#include "runreportexporter.h"
#include "scrollbacklimit.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileSystemModel>
#include <QLabel>
#include <QSettings>
#include <QToolButton>

MainWindow::MainWindow(const QStringList& arguments, QWidget* parent)
    : QMainWindow(parent), ui(new Ui::MainWindow), engine(new QuorW)
{
    setApplicationIdentity();
    initResources();
    registerErrorListItem();

    ui->setupUi(this);
    ui->dockWidget_7->hide();
    ScrollbackLimit::apply(ui->plainTextEdit, QSettings());

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
        QSettings().value(QStringLiteral("currentPath"), QDir::currentPath()).toString();
    ui->listView->setModel(fileSystemModel);
    ui->listView->setRootIndex(fileSystemModel->setRootPath(folder));

    documents = new DocumentTabs(ui->tabWidget_3,
                                 {ui->actionSave, ui->actionUndo, ui->actionRedo, ui->actionCut,
                                  ui->actionCopy, ui->actionPaste, ui->actionSelect_All},
                                 this);
    results =
        new ResultViews({ui->plainTextEdit, ui->listWidget, ui->tableWidget_1, ui->tableWidget_2,
                         ui->tableWidget_3, ui->graphicsView1, ui->graphicsView2},
                        documents, this);
    findReplace = new FindReplace(
        {ui->dockWidget_7, ui->lineEdit, ui->lineEdit_2, ui->checkBox, ui->checkBox_2,
         ui->checkBox_3},
        [this] { return currentEditor(); }, this);

    // Recovery copies are written before anything reaches the engine, also an input that has
    // waited in the worker's queue.
    recovery = new RecoveryController(
        ui->statusBar,
        [this](const QString& file) {
            return file.isEmpty() ? (newFile(), currentEditor()) : editorAt(loadFile(file));
        },
        this);
    connect(documents, &DocumentTabs::documentAdded, recovery, &RecoveryController::watch);
    engine->setHandOverHook([this] { recovery->flush(); });

    connectActions();

    RecentFiles* recent = documents->recentFiles();
    for (QAction* action : recent->actions())
        connect(action, SIGNAL(triggered()), this, SLOT(openRecentFile()));
    ui->actionRecent_Files->setMenu(recent->menu());
    ui->fileToolBar->addWidget(recent->createButton());
    installResultViewFeatures(this, engine, results->outputAppender());

    ui->plainTextEdit->appendPlainText(versionLine());
    sendCommand(EngineCommand::Version);
    restoreOptions();
    documents->openArguments(arguments);
    new RunReportExporter(this); // File > Export Run Report...
    new EditorFeatures(this);
    recovery->offerLeftCopies();
}

// The connections of the window's actions and widgets to its slots.
void MainWindow::connectActions()
{
    const struct {
        QObject* sender;
        const char* signal;
        const char* slot;
    } connections[] = {
        {ui->actionRun, SIGNAL(triggered()), SLOT(run())},
        {ui->actionStepForward, SIGNAL(triggered()), SLOT(stepForward())},
        {ui->actionClear_Memory, SIGNAL(triggered()), SLOT(clear())},
        {ui->actionWords, SIGNAL(triggered()), SLOT(words())},
        {ui->actionCompounds, SIGNAL(triggered()), SLOT(compounds())},
        {ui->actionStatements, SIGNAL(triggered()), SLOT(statements())},
        {ui->actionSave_Memory, SIGNAL(triggered()), SLOT(saveMemory())},
        {ui->actionQuestion_Derivation, SIGNAL(triggered()), SLOT(questionDerivation())},
        {ui->actionInference, SIGNAL(triggered()), SLOT(inference())},
        {ui->actionDebug, SIGNAL(toggled(bool)), SLOT(debug(bool))},
        {ui->actionClear_Output, SIGNAL(triggered()), SLOT(clearOutputWindow())},
        {engine, SIGNAL(output(const char*, size_t)), SLOT(output(const char*, size_t))},
        {ui->actionNew, SIGNAL(triggered()), SLOT(newFile())},
        {ui->actionOpen, SIGNAL(triggered()), SLOT(openFile())},
        {ui->actionClose, SIGNAL(triggered()), SLOT(closeFile())},
        {ui->actionClose_All, SIGNAL(triggered()), SLOT(closeAll())},
        {ui->actionSave, SIGNAL(triggered()), SLOT(saveFile())},
        {ui->actionSave_As, SIGNAL(triggered()), SLOT(saveAs())},
        {ui->actionSave_All, SIGNAL(triggered()), SLOT(saveAll())},
        {ui->actionPrint, SIGNAL(triggered()), SLOT(print())},
        {ui->actionPrint_to_pdf, SIGNAL(triggered()), SLOT(printToPdf())},
        {ui->actionExit, SIGNAL(triggered()), SLOT(close())},
        {ui->listView, SIGNAL(doubleClicked(const QModelIndex&)),
         SLOT(fileSelected(const QModelIndex&))},
        {ui->tabWidget_3, SIGNAL(currentChanged(int)), SLOT(currentTabChanged(int))},
        {ui->tabWidget_3, SIGNAL(tabCloseRequested(int)), SLOT(removeTab(int))},
        {ui->actionAbout, SIGNAL(triggered()), SLOT(about())},
        {ui->dockWidget_7, SIGNAL(visibilityChanged(bool)), SLOT(setFocusSR(bool))},
        {ui->lineEdit, SIGNAL(returnPressed()), SLOT(searchAndReplace())},
        {ui->pushButton_4, SIGNAL(clicked()), SLOT(findPrevious())},
        {ui->pushButton, SIGNAL(clicked()), SLOT(findNext())},
        {ui->pushButton_2, SIGNAL(clicked()), SLOT(replace())},
        {ui->pushButton_3, SIGNAL(clicked()), SLOT(replaceAll())},
        {ui->listWidget, SIGNAL(itemDoubleClicked(QListWidgetItem*)),
         SLOT(scrollToError(QListWidgetItem*))},
        {documents, SIGNAL(cursorPositionChanged(int, int)), SLOT(positionChanged(int, int))},
    };
    for (const auto& c : connections)
        connect(c.sender, c.signal, this, c.slot);
    connect(this, SIGNAL(input(QString, int)), engine, SLOT(input(QString, int)));
    connect(ui->actionFind_and_Replace, SIGNAL(triggered()), ui->dockWidget_7, SLOT(show()));
}

MainWindow::~MainWindow()
{
    discardOutput = true;
    // The documents outlive this destructor's body (they go with the widget tree); what they
    // signal while they are destroyed must reach none of the window's helpers, so those go first.
    delete findReplace;
    delete results;
    delete documents;
    delete fileSystemModel;
    delete positionLabel;
    delete ui;
    delete engine;
    // The poller has stopped; blocks still queued for this window would never be delivered,
    // so hand them to output() now, which only frees them.
    QCoreApplication::sendPostedEvents(this, QEvent::MetaCall);
}
