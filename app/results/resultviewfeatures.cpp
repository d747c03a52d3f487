#include "resultviewfeatures.h"

#include "engineactivity.h"
#include "errordockbadge.h"
#include "statementlocator.h"
#include "svgview.h"
#include "tablecontextmenu.h"

#include <QAction>
#include <QTabWidget>

EngineActivity* installResultViewFeatures(const ResultViewParts& parts)
{
    auto* activity = new EngineActivity(parts.engine, parts.window, parts.beforeHelp, parts.output,
                                        parts.documents);
    new ErrorDockBadge(parts.window, parts.errorDock, parts.errors, {parts.run, parts.stepForward},
                       parts.run);
    for (QTableWidget* table : {parts.words, parts.compounds, parts.statements})
        new TableContextMenu(table);
    auto* locator = new StatementLocator(parts.documents);
    for (SvgView* graph : {parts.questionTree, parts.inferenceGraph})
        QObject::connect(graph, &SvgView::textClicked, locator, &StatementLocator::locate);
    return activity;
}
