#include "runreportexporter.h"

#include "codeeditor.h"
#include "dialogs.h"
#include "errormessage.h"
#include "mainwindow.h"
#include "svgview.h"

#include <QAction>
#include <QFileInfo>
#include <QHeaderView>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QTableWidget>

namespace {

const QString versionPrefix = QStringLiteral("QUOR library version ");
const QString timePrefix = QStringLiteral("Elapsed time ");

RunReportTable shownTable(TermTableKind kind, const QTableWidget* widget)
{
    RunReportTable table = termReportTable(kind, {});
    if (!widget)
        return table;
    for (int row = 0; row < widget->rowCount(); ++row) {
        QStringList cells;
        for (int column = 0; column < widget->columnCount(); ++column) {
            const QTableWidgetItem* item = widget->item(row, column);
            cells.append(item ? item->text() : QString());
        }
        table.rows.append(cells);
    }
    return table;
}

} // namespace

RunReportExporter::RunReportExporter(MainWindow* window) : QObject(window), window(window)
{
    exportAction = new QAction(tr("Export Run Report..."), this);
    exportAction->setObjectName(QStringLiteral("actionExport_Run_Report"));
    exportAction->setStatusTip(tr("Save the source, output, tables and graphs as one HTML page"));
    connect(exportAction, &QAction::triggered, this, &RunReportExporter::exportReport);
    // Next to the other exports: after Print to pdf, before the recent files.
    if (auto* menu = window->findChild<QMenu*>(QStringLiteral("menuFile"))) {
        const QList<QAction*> actions = menu->actions();
        int at = 0;
        while (at < actions.size() &&
               actions.at(at)->objectName() != QLatin1String("actionPrint_to_pdf"))
            ++at;
        menu->insertAction(at + 1 < actions.size() ? actions.at(at + 1) : nullptr, exportAction);
    }
}

RunReport RunReportExporter::collect() const
{
    RunReport report;
    report.date = QDateTime::currentDateTime();

    if (CodeEditor* editor = window->currentEditor()) {
        RunReportSource source{editor->fileName, editor->toPlainText(), {}};
        // The Error dock holds the texts; the editor's marks hold the kinds.
        if (auto* list = window->findChild<QListWidget*>(QStringLiteral("listWidget"))) {
            for (int i = 0; i < list->count(); ++i) {
                const auto at = list->item(i)->data(Qt::UserRole).value<ErrorListItem>();
                if (at.fileName != editor->fileName)
                    continue;
                RunReportError error{at.line, at.column, DiagnosticSeverity::Error,
                                     list->item(i)->text()};
                for (const ErrorMark& mark : editor->marks())
                    if (mark.line == at.line && mark.column == at.column)
                        error.severity = diagnosticSeverity(mark.kind);
                source.errors.append(error);
            }
        }
        report.title = tr("Run of %1").arg(QFileInfo(editor->fileName).fileName());
        report.sources.append(source);
    } else {
        report.title = tr("Run");
    }

    if (auto* output = window->findChild<QPlainTextEdit*>(QStringLiteral("plainTextEdit"))) {
        report.output = output->toPlainText().split(QLatin1Char('\n'));
        for (const QString& line : qAsConst(report.output)) {
            if (line.startsWith(versionPrefix))
                report.engineVersion = line.mid(versionPrefix.size());
            else if (line.startsWith(timePrefix))
                report.timeLine = line;
        }
    }

    const char* const tables[] = {"tableWidget_1", "tableWidget_2", "tableWidget_3"};
    for (int i = 0; i < 3; ++i)
        report.tables.append(
            shownTable(static_cast<TermTableKind>(i), window->findChild<QTableWidget*>(tables[i])));

    if (auto* view = window->findChild<SvgView*>(QStringLiteral("graphicsView1")))
        report.questionSvg = view->text();
    if (auto* view = window->findChild<SvgView*>(QStringLiteral("graphicsView2")))
        report.inferenceSvg = view->text();
    return report;
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
