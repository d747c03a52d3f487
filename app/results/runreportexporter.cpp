#include "runreportexporter.h"

#include "codeeditor.h"
#include "dialogs.h"
#include "documenttabs.h"
#include "resultviews.h"

#include <QAction>
#include <QFileInfo>
#include <QMenu>

RunReportExporter::RunReportExporter(const Place& place, DocumentTabs* documents,
                                     const ResultViews* results, QWidget* window)
    : QObject(window), documents(documents), results(results), window(window)
{
    exportAction = new QAction(tr("Export Run Report..."), this);
    exportAction->setObjectName(QStringLiteral("actionExport_Run_Report"));
    exportAction->setStatusTip(tr("Save the source, output, tables and graphs as one HTML page"));
    connect(exportAction, &QAction::triggered, this, &RunReportExporter::exportReport);
    // Next to the other exports.
    const QList<QAction*> actions = place.menu->actions();
    const int at = actions.indexOf(place.after);
    place.menu->insertAction(at >= 0 && at + 1 < actions.size() ? actions.at(at + 1) : nullptr,
                             exportAction);
}

RunReport RunReportExporter::collect() const
{
    QVector<RunReportSource> sources;
    QString title = tr("Run");
    if (CodeEditor* editor = documents->currentEditor()) {
        sources.append(RunReportSource{editor->fileName, editor->toPlainText(), {}});
        title = tr("Run of %1").arg(QFileInfo(editor->fileName).fileName());
    }
    return results->record().report(title, sources);
}

bool RunReportExporter::exportReport()
{
    QString fileName = Dialogs::getSaveFileName(window, tr("Export Run Report"), QString(),
                                                tr("HTML Files (*.html *.htm)"));
    if (fileName.isEmpty())
        return false;
    if (QFileInfo(fileName).suffix().isEmpty())
        fileName += QStringLiteral(".html");
    return Dialogs::writeFileOrWarn(window, fileName, runReportHtml(collect()).toUtf8());
}
