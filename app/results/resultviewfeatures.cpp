#include "resultviewfeatures.h"

#include "engineactivity.h"
#include "errordockbadge.h"
#include "statementlocator.h"
#include "svgview.h"
#include "tablecontextmenu.h"

#include <QAction>
#include <QDockWidget>
#include <QListWidget>
#include <QMainWindow>
#include <QMenu>
#include <QTabWidget>
#include <QTableWidget>

namespace {

template <typename T> T* child(QMainWindow* window, const char* name)
{
    T* found = window->findChild<T*>(QLatin1String(name));
    Q_ASSERT(found);
    return found;
}

} // namespace

EngineActivity* installResultViewFeatures(QMainWindow* window, QuorW* engine,
                                          OutputAppender* output)
{
    auto* activity =
        new EngineActivity(engine, window, child<QMenu>(window, "menuHelp")->menuAction(), output);

    auto* errors = child<QListWidget>(window, "listWidget");
    QWidget* dock = errors;
    while (dock && !qobject_cast<QDockWidget*>(dock))
        dock = dock->parentWidget();
    if (dock) {
        QAction* run = child<QAction>(window, "actionRun");
        new ErrorDockBadge(window, static_cast<QDockWidget*>(dock), errors,
                           {run, child<QAction>(window, "actionStepForward")}, run);
    }

    for (const char* name : {"tableWidget_1", "tableWidget_2", "tableWidget_3"})
        new TableContextMenu(child<QTableWidget>(window, name));

    auto* locator = new StatementLocator(child<QTabWidget>(window, "tabWidget_3"));
    for (const char* name : {"graphicsView1", "graphicsView2"})
        QObject::connect(child<SvgView>(window, name), &SvgView::textClicked, locator,
                         &StatementLocator::locate);
    return activity;
}
