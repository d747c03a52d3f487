// The window as it comes up: widget tree, actions, menus and the start-up sequence.

#include "svgview.h"
#include "windowtest.h"

#include <QDockWidget>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QLabel>
#include <QListView>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QToolBar>
#include <QToolButton>

using namespace windowtest;

class TestMainWindow : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { setUpEnvironment(settingsDir); }
    void init() { clearSettings(); }

    void widgetTree();
    void bottomDocksStackedWithOutputShown();
    void termTables_data();
    void termTables();
    void actions_data();
    void actions();
    void menusAndToolBars_data();
    void menusAndToolBars();
    void startUpWithoutSettings();
    void startUpRestoresOptions_data();
    void startUpRestoresOptions();
    void debugToggleSendsCommands();
    void commandLineOpensExistingFilesInOrder();

private:
    QTemporaryDir settingsDir;
};

void TestMainWindow::widgetTree()
{
    auto window = makeWindow();
    QCOMPARE(window->objectName(), QStringLiteral("MainWindow"));
    QCOMPARE(window->windowTitle(), QStringLiteral("QuorStudio"));
    QCOMPARE(window->size(), QSize(842, 529));
    QVERIFY(window->isDockNestingEnabled());

    auto* tabs = child<QTabWidget>(window.get(), "tabWidget_3");
    QVERIFY(tabs);
    QCOMPARE(tabs->count(), 0);
    QCOMPARE(tabs->currentIndex(), -1);
    QVERIFY(tabs->tabsClosable());
    QVERIFY(tabs->isMovable());
    QVERIFY(child<QPlainTextEdit>(window.get(), "plainTextEdit")->isReadOnly());
    QVERIFY(child<QListWidget>(window.get(), "listWidget"));
    QVERIFY(child<SvgView>(window.get(), "graphicsView1"));
    QVERIFY(child<SvgView>(window.get(), "graphicsView2"));
    auto* listView = child<QListView>(window.get(), "listView");
    QVERIFY(listView);
    QCOMPARE(listView->editTriggers(),
             QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed);
    QVERIFY(child<QStatusBar>(window.get(), "statusBar"));

    const QList<QPair<const char*, const char*>> docks = {
        {"dockWidget_5", "Error"},           {"dockWidget_10", "Question derivation"},
        {"dockWidget_11", "Inferences"},     {"dockWidget_9", "Current Folder"},
        {"dockWidget_2", "Output"},          {"dockWidget_6", "Words"},
        {"dockWidget_12", "Compounds"},      {"dockWidget_13", "Statements"},
        {"dockWidget_7", "Find and Replace"}};
    for (const auto& dock : docks) {
        auto* widget = child<QDockWidget>(window.get(), dock.first);
        QVERIFY2(widget, dock.first);
        QCOMPARE(widget->windowTitle(), QString::fromLatin1(dock.second));
    }
    auto* folder = child<QDockWidget>(window.get(), "dockWidget_9");
    QCOMPARE(window->dockWidgetArea(folder), Qt::RightDockWidgetArea);
    QCOMPARE(folder->allowedAreas(),
             Qt::LeftDockWidgetArea | Qt::RightDockWidgetArea | Qt::BottomDockWidgetArea);
    auto* find = child<QDockWidget>(window.get(), "dockWidget_7");
    QVERIFY(find->isFloating());
    QVERIFY(find->isHidden());
    QCOMPARE(find->minimumSize(), QSize(275, 180));
    const QStringList findControls = {"label_3",    "comboBox",   "label",        "lineEdit",
                                      "label_2",    "lineEdit_2", "checkBox",     "pushButton_4",
                                      "pushButton", "checkBox_2", "pushButton_2", "pushButton_3",
                                      "checkBox_3"};
    for (const QString& name : findControls)
        QVERIFY2(find->findChild<QWidget*>(name), qPrintable(name));
}

void TestMainWindow::bottomDocksStackedWithOutputShown()
{
    auto window = makeWindow();
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    QTabBar* stack = nullptr;
    for (QTabBar* bar : window->findChildren<QTabBar*>()) {
        if (bar->count() == 7)
            stack = bar;
    }
    QVERIFY(stack);
    QStringList titles;
    for (int i = 0; i < stack->count(); ++i)
        titles << stack->tabText(i);
    QCOMPARE(titles, (QStringList{"Inferences", "Question derivation", "Statements", "Compounds",
                                  "Words", "Error", "Output"}));
    QCOMPARE(stack->tabText(stack->currentIndex()), QStringLiteral("Output"));
    for (const char* name : {"dockWidget_5", "dockWidget_10", "dockWidget_11", "dockWidget_2",
                             "dockWidget_6", "dockWidget_12", "dockWidget_13"})
        QCOMPARE(window->dockWidgetArea(child<QDockWidget>(window.get(), name)),
                 Qt::BottomDockWidgetArea);
}

void TestMainWindow::termTables_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("header");
    QTest::addColumn<bool>("sorting");
    QTest::newRow("words") << "tableWidget_1"
                           << "Word" << true;
    QTest::newRow("compounds") << "tableWidget_2"
                               << "Compound Term" << true;
    QTest::newRow("statements") << "tableWidget_3"
                                << "Statement" << false;
}

void TestMainWindow::termTables()
{
    QFETCH(QString, name);
    QFETCH(QString, header);
    QFETCH(bool, sorting);
    auto window = makeWindow();
    auto* table = window->findChild<QTableWidget*>(name);
    QVERIFY(table);
    QCOMPARE(table->columnCount(), 2);
    QCOMPARE(table->horizontalHeaderItem(0)->text(), QStringLiteral("Term Id"));
    QCOMPARE(table->horizontalHeaderItem(1)->text(), header);
    QCOMPARE(table->isSortingEnabled(), sorting);
    QVERIFY(table->alternatingRowColors());
    QCOMPARE(table->font().family(), QStringLiteral("DejaVu Sans"));
    QCOMPARE(table->font().pointSize(), 8);
}

void TestMainWindow::actions_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("icon");
    QTest::addColumn<QString>("shortcut");
    QTest::addColumn<int>("checkState"); // -1 not checkable, 0 unchecked, 1 checked
    QTest::addColumn<QString>("toolTip");
    struct Row {
        const char* name;
        const char* text;
        const char* icon;
        const char* shortcut;
        int check;
        const char* tip;
    };
    const Row rows[] = {
        {"actionRun", "Run", "run.png", "F5", -1, nullptr},
        {"actionStepForward", "Step Forward", "step-forward.png", "F10", -1, "Step Forward"},
        {"actionWords", "Words", "words.png", "", -1, nullptr},
        {"actionCompounds", "Compounds", "compounds.png", "", -1, nullptr},
        {"actionStatements", "Statements", "bubble.png", "", -1, nullptr},
        {"actionClear_Output", "Clear Output", "clear-screen.png", "", -1, nullptr},
        {"actionTime", "Time", "clock.png", "", 1, nullptr},
        {"actionInternal_Question", "Internal Question", "internal-question.png", "", 0, nullptr},
        {"actionInference", "Inference", "tree-graph.png", "", -1, "Inference"},
        {"actionNew", "New", "new-file.png", "Ctrl+N", -1, nullptr},
        {"actionOpen", "Open", "open-file.png", "Ctrl+O", -1, nullptr},
        {"actionClose", "Close", "close.png", "Ctrl+W", -1, nullptr},
        {"actionSave", "Save", "save.png", "Ctrl+S", -1, nullptr},
        {"actionSave_As", "Save As ...", "save-as.png", "", -1, nullptr},
        {"actionSave_All", "Save All", "save-all.png", "Ctrl+Shift+S", -1, nullptr},
        {"actionAbout", "About QuorStudio ...", nullptr, "", -1, nullptr},
        {"actionExit", "Exit", nullptr, "Ctrl+Q", -1, nullptr},
        {"actionUndo", "Undo", "undo.png", "Ctrl+Z", -1, nullptr},
        {"actionRedo", "Redo", "redo.png", "Ctrl+Y", -1, nullptr},
        {"actionCopy", "Copy", "copy.png", "Ctrl+C", -1, nullptr},
        {"actionPaste", "Paste", "paste.png", "Ctrl+V", -1, nullptr},
        {"actionSelect_All", "Select All", "select-all.png", "Ctrl+A", -1, nullptr},
        {"actionFind_and_Replace", "Find and Replace", "find-and-replace.png", "Ctrl+F", -1,
         nullptr},
        {"actionClose_All", "Close All", "close-all.png", "Ctrl+Shift+W", -1, nullptr},
        {"actionPrint", "Print ...", "print.png", "Ctrl+P", -1, nullptr},
        {"actionRecent_Files", "Recent Files", "recent-files.png", "", -1, nullptr},
        {"actionPrint_to_pdf", "Print to pdf ...", "pdf.png", "Ctrl+Shift+P", -1, nullptr},
        {"actionCut", "Cut", "cut.png", "Ctrl+X", -1, nullptr},
        {"actionClear", "Clear", "clear.png", "", -1, nullptr},
        {"actionClear_Memory", "Clear Memory", "clear-memory.png", "", -1, nullptr},
        {"actionDebug", "Debug", "debug.png", "Ctrl+D", 0, nullptr},
        {"actionQuestion_Derivation", "Question Derivation", "question-deriv.png", "", -1,
         "Question Derivation"},
        {"actionSave_Memory", "Save Memory ...", "memory.png", "Ctrl+M", -1, nullptr},
    };
    QCOMPARE(int(sizeof rows / sizeof rows[0]), 33);
    for (const Row& row : rows) {
        QTest::newRow(row.name)
            << row.name << row.text << (row.icon ? QString::fromLatin1(row.icon) : QString())
            << row.shortcut << row.check
            << (row.tip ? QString::fromLatin1(row.tip)
                        // Qt's tool tip: the text without its ellipsis.
                        : QString::fromLatin1(row.text).remove(QLatin1String("...")).trimmed());
    }
}

void TestMainWindow::actions()
{
    QFETCH(QString, name);
    QFETCH(QString, text);
    QFETCH(QString, icon);
    QFETCH(QString, shortcut);
    QFETCH(int, checkState);
    QFETCH(QString, toolTip);
    auto window = makeWindow();
    auto* action = window->findChild<QAction*>(name);
    QVERIFY(action);
    QCOMPARE(action->parent(), window.get());
    QCOMPARE(action->text(), text);
    QCOMPARE(action->shortcut(), QKeySequence(shortcut));
    QCOMPARE(action->isCheckable(), checkState >= 0);
    if (checkState >= 0)
        QCOMPARE(action->isChecked(), checkState == 1);
    QCOMPARE(action->toolTip(), toolTip);
    QVERIFY(action->statusTip().isEmpty());
    if (icon.isEmpty()) {
        QVERIFY(action->icon().isNull());
    } else {
        const QImage expected = QImage(QStringLiteral(":/resources/") + icon)
                                    .convertToFormat(QImage::Format_ARGB32_Premultiplied);
        QVERIFY2(!expected.isNull(), qPrintable(icon));
        QCOMPARE(expected.size(), QSize(24, 24));
        const QImage shown = action->icon().pixmap(24, 24).toImage().convertToFormat(
            QImage::Format_ARGB32_Premultiplied);
        QCOMPARE(shown, expected);
    }
}

void TestMainWindow::menusAndToolBars_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QStringList>("entries");
    QTest::newRow("File") << "menuFile" << QStringList{"New",
                                                       "Open",
                                                       "Close",
                                                       "Close All",
                                                       "|",
                                                       "Save",
                                                       "Save As ...",
                                                       "Save All",
                                                       "|",
                                                       "Print ...",
                                                       "Print to pdf ...",
                                                       "Export Run Report...",
                                                       "|",
                                                       "Recent Files",
                                                       "|",
                                                       "Exit"};
    QTest::newRow("Edit") << "menuEdit"
                          << QStringList{"Undo",  "Redo",  "|", "Cut",        "Copy",
                                         "Paste", "Clear", "|", "Select All", "Find and Replace"};
    const QStringList debug{"Run",          "Step Forward",        "|",
                            "Words",        "Compounds",           "Statements",
                            "Inference",    "Question Derivation", "Clear Memory",
                            "Clear Output", "Save Memory ...",     "|",
                            "Time",         "Internal Question",   "Debug",
                            "|",            "Run to Cursor",       "Step Back"};
    QTest::newRow("Debug") << "menuDebug" << debug;
    QTest::newRow("Help") << "menuHelp" << QStringList{"About QuorStudio ..."};
    QTest::newRow("file tool bar") << "fileToolBar" << QStringList{"New",
                                                                   "Open",
                                                                   "Close",
                                                                   "Close All",
                                                                   "|",
                                                                   "Save",
                                                                   "Save As ...",
                                                                   "Save All",
                                                                   "|",
                                                                   "Print ...",
                                                                   "Print to pdf ...",
                                                                   "(recent)"};
    QTest::newRow("edit tool bar")
        << "editToolBar" << QStringList{"Undo",  "Redo",  "|", "Cut",        "Copy",
                                        "Paste", "Clear", "|", "Select All", "Find and Replace"};
    QTest::newRow("debug tool bar") << "debugToolBar" << debug;
}

void TestMainWindow::menusAndToolBars()
{
    QFETCH(QString, name);
    QFETCH(QStringList, entries);
    auto window = makeWindow();
    auto* widget = window->findChild<QWidget*>(name);
    QVERIFY(widget);
    QStringList shown;
    for (QAction* action : widget->actions()) {
        if (action->isSeparator())
            shown << QStringLiteral("|");
        else if (action->text().isEmpty())
            shown << QStringLiteral("(recent)");
        else
            shown << action->text();
    }
    QCOMPARE(shown, entries);
    if (auto* bar = qobject_cast<QToolBar*>(widget)) {
        QCOMPARE(bar->windowTitle(), name);
        QCOMPARE(bar->iconSize(), QSize(24, 24));
        QCOMPARE(window->toolBarArea(bar), Qt::TopToolBarArea);
        QCOMPARE(window->toolBarBreak(bar), name == QLatin1String("debugToolBar"));
    }
    if (name == QLatin1String("menuFile")) {
        auto* recent = child<QAction>(window.get(), "actionRecent_Files");
        QVERIFY(recent->menu());
        QCOMPARE(recent->menu()->actions().size(), int(MainWindow::MaxRecentFiles));
    }
    if (name == QLatin1String("fileToolBar")) {
        auto* button = qobject_cast<QToolButton*>(
            static_cast<QToolBar*>(widget)->widgetForAction(widget->actions().last()));
        QVERIFY(button);
        QCOMPARE(button->popupMode(), QToolButton::InstantPopup);
        QCOMPARE(button->menu(), child<QAction>(window.get(), "actionRecent_Files")->menu());
    }
}

void TestMainWindow::startUpWithoutSettings()
{
    auto window = makeWindow();
    QCOMPARE(outputLines(window.get()).first(), QStringLiteral("QuorStudio version 0.5.1"));
    const auto inputs = engineInputs();
    QCOMPARE(inputs.size(), 1);
    QCOMPARE(inputs.first().first, QStringLiteral("\u22d9 version"));
    QCOMPARE(inputs.first().second, 1);
    QVERIFY(child<QAction>(window.get(), "actionTime")->isChecked());
    QVERIFY(!child<QAction>(window.get(), "actionInternal_Question")->isChecked());
    QVERIFY(!child<QAction>(window.get(), "actionDebug")->isChecked());
    auto* listView = child<QListView>(window.get(), "listView");
    auto* model = qobject_cast<QFileSystemModel*>(listView->model());
    QVERIFY(model);
    QCOMPARE(model->rootPath(), QDir::currentPath());
    QCOMPARE(model->filePath(listView->rootIndex()), QDir::currentPath());
}

void TestMainWindow::startUpRestoresOptions_data()
{
    QTest::addColumn<bool>("time");
    QTest::addColumn<bool>("internal");
    QTest::addColumn<bool>("debug");
    QTest::newRow("all off") << false << false << false;
    QTest::newRow("internal on") << true << true << false;
    QTest::newRow("debug on") << true << false << true;
}

void TestMainWindow::startUpRestoresOptions()
{
    QFETCH(bool, time);
    QFETCH(bool, internal);
    QFETCH(bool, debug);
    {
        QSettings settings(QStringLiteral("QuorStudio"), QStringLiteral("QuorStudio"));
        settings.setValue(QStringLiteral("time"), time);
        settings.setValue(QStringLiteral("internalQuestions"), internal);
        settings.setValue(QStringLiteral("debug"), debug);
    }
    auto window = makeWindow();
    QCOMPARE(child<QAction>(window.get(), "actionTime")->isChecked(), time);
    QCOMPARE(child<QAction>(window.get(), "actionInternal_Question")->isChecked(), internal);
    QCOMPARE(child<QAction>(window.get(), "actionDebug")->isChecked(), debug);
    // A restored Debug option sends "debug on" once.
    QList<QPair<QString, int>> expected{{QStringLiteral("\u22d9 version"), 1}};
    if (debug)
        expected.append({QStringLiteral("\u22d9 debug on"), 1});
    QCOMPARE(engineInputs(), expected);
}

void TestMainWindow::debugToggleSendsCommands()
{
    auto window = makeWindow();
    auto* action = child<QAction>(window.get(), "actionDebug");
    action->trigger();
    action->trigger();
    const auto inputs = engineInputs();
    QCOMPARE(inputs.mid(1), (QList<QPair<QString, int>>{{QStringLiteral("\u22d9 debug on"), 1},
                                                        {QStringLiteral("\u22d9 debug off"), 1}}));
}

void TestMainWindow::commandLineOpensExistingFilesInOrder()
{
    QTemporaryDir dir;
    for (const char* name : {"a.quor", "b.quor"}) {
        QFile file(dir.filePath(QLatin1String(name)));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(name);
    }
    auto window =
        makeWindow({dir.filePath("a.quor"), dir.filePath("missing.quor"), dir.filePath("b.quor")});
    auto* tabs = child<QTabWidget>(window.get(), "tabWidget_3");
    QCOMPARE(tabs->count(), 2);
    QCOMPARE(tabs->tabText(0), QStringLiteral("a.quor"));
    QCOMPARE(tabs->tabText(1), QStringLiteral("b.quor"));
    QCOMPARE(tabs->currentIndex(), 0);
    // Opening documents sends nothing to the engine.
    QCOMPARE(engineInputs().size(), 1);
}

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
