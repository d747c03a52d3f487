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
#include "separateengine.h"
#include "settings.h"
#include "slowinputhint.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileSystemModel>
#include <QLabel>
#include <QToolButton>

MainWindow::MainWindow(const QStringList& arguments, QWidget* parent)
    : QMainWindow(parent), ui(new Ui::MainWindow), engine(new QuorW)
{
    setApplicationIdentity();
    initResources();
    registerErrorListItem();

    ui->setupUi(this);
    ui->dockWidget_7->hide();
    ScrollbackLimit::apply(ui->plainTextEdit);

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
    const QString folder = SettingsStore().value(Settings::CurrentPath, QDir::currentPath());
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
            if (file.isEmpty())
                return newFile(), currentEditor();
            const int index = loadFile(file);
            documents->showTab(index);
            return editorAt(index);
        },
        this);
    connect(documents, &DocumentTabs::documentAdded, recovery, &RecoveryController::watch);
    const auto writeRecoveryCopies = [this] { recovery->flush(); };
    engine->setHandOverHook(writeRecoveryCopies);

    connectActions();

    RecentFiles* recent = documents->recentFiles();
    for (QAction* action : recent->actions())
        connect(action, &QAction::triggered, documents, [=] { documents->openRecentFile(action); });
    ui->actionRecent_Files->setMenu(recent->menu());
    ui->fileToolBar->addWidget(recent->createButton());
    EngineActivity* activity = installResultViewFeatures(
        {this, engine, results->outputAppender(), ui->menuHelp->menuAction(), ui->tabWidget_3,
         ui->dockWidget_5, ui->listWidget, ui->actionRun, ui->actionStepForward, ui->tableWidget_1,
         ui->tableWidget_2, ui->tableWidget_3, ui->graphicsView1, ui->graphicsView2});
    // Engine > Run Engine in Separate Process, and the note that suggests it after a slow input.
    new SeparateEngine({this, engine, activity, ui->actionDebug, results->outputAppender(),
                        new SlowInputHint(this, ui->statusBar, this), writeRecoveryCopies},
                       this);

    ui->plainTextEdit->appendPlainText(versionLine());
    sendCommand(EngineCommand::Version);
    restoreOptions();
    documents->openArguments(arguments);
    new RunReportExporter({ui->menuFile, ui->actionPrint_to_pdf}, documents, results, this);
    auto* features = new EditorFeatures(
        this, {documents, ui->tabWidget_3, results->outputAppender(), ui->listWidget,
               ui->tableWidget_1, ui->tableWidget_2, ui->tableWidget_3, ui->dockWidget_7,
               ui->menuEdit, ui->menuDebug, ui->debugToolBar, ui->actionRun, ui->actionStepForward,
               ui->actionClear_Memory, ui->actionSave, ui->actionSave_As, ui->actionSave_All});
    connect(results, &ResultViews::termTableShown, features, &EditorFeatures::termTableShown);
    recovery->offerLeftCopies();
}

// The connections of the window's actions and widgets: to its slots, or, where a slot only hands
// the work over, straight to the object that does it.
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
        {engine, SIGNAL(output(const char*, size_t)), SLOT(output(const char*, size_t))},
        {ui->actionPrint, SIGNAL(triggered()), SLOT(print())},
        {ui->actionPrint_to_pdf, SIGNAL(triggered()), SLOT(printToPdf())},
        {ui->actionExit, SIGNAL(triggered()), SLOT(close())},
        {ui->listView, SIGNAL(doubleClicked(const QModelIndex&)),
         SLOT(fileSelected(const QModelIndex&))},
        {ui->actionAbout, SIGNAL(triggered()), SLOT(about())},
        {documents, SIGNAL(cursorPositionChanged(int, int)), SLOT(positionChanged(int, int))},
    };
    for (const auto& c : connections)
        connect(c.sender, c.signal, this, c.slot);
    connect(ui->actionClear_Output, &QAction::triggered, results, &ResultViews::clearOutput);
    connect(ui->actionNew, &QAction::triggered, documents, &DocumentTabs::newFile);
    connect(ui->actionOpen, &QAction::triggered, documents, &DocumentTabs::openFile);
    connect(ui->actionClose, &QAction::triggered, documents, &DocumentTabs::closeFile);
    connect(ui->actionClose_All, &QAction::triggered, documents, &DocumentTabs::closeAll);
    connect(ui->actionSave, &QAction::triggered, documents, &DocumentTabs::saveFile);
    connect(ui->actionSave_As, &QAction::triggered, documents, &DocumentTabs::saveAs);
    connect(ui->actionSave_All, &QAction::triggered, documents, &DocumentTabs::saveAll);
    connect(ui->tabWidget_3, &QTabWidget::currentChanged, documents,
            &DocumentTabs::announcePosition);
    connect(ui->tabWidget_3, &QTabWidget::tabCloseRequested, documents, &DocumentTabs::removeTab);
    FindReplace* find = findReplace;
    connect(ui->dockWidget_7, &QDockWidget::visibilityChanged, find,
            &FindReplace::focusSearchField);
    connect(ui->lineEdit, &QLineEdit::returnPressed, find, &FindReplace::search);
    connect(ui->pushButton_4, &QPushButton::clicked, find, [find] { find->find(false); });
    connect(ui->pushButton, &QPushButton::clicked, find, [find] { find->find(true); });
    connect(ui->pushButton_2, &QPushButton::clicked, find, &FindReplace::replace);
    connect(ui->pushButton_3, &QPushButton::clicked, find, &FindReplace::replaceAll);
    connect(ui->listWidget, &QListWidget::itemDoubleClicked, results, &ResultViews::scrollToError);
    connect(this, SIGNAL(input(QString, int)), engine, SLOT(input(QString, int)));
    connect(ui->actionFind_and_Replace, SIGNAL(triggered()), ui->dockWidget_7, SLOT(show()));
}

MainWindow::~MainWindow()
{
    discardOutput = true;
    // Calls queued for this window run while all of it is still there; those queued later
    // by the engine's shutdown are only output blocks, freed at the end.
    QCoreApplication::sendPostedEvents(this, QEvent::MetaCall);
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
