#ifndef RUNREPORTEXPORTER_H
#define RUNREPORTEXPORTER_H

#include "runreport.h"

#include <QObject>

class DocumentTabs;
class QAction;
class QMenu;
class ResultViews;
class QWidget;

// File > Export Run Report…: the run as one HTML page, built by the same builder as
// quorstudio-run --report from the engine messages the result views received (see RunRecord):
// the current document with its errors, the output, the latest term tables and both graphs.
class RunReportExporter : public QObject {
    Q_OBJECT

public:
    // The menu the action goes into, and the entry it follows there.
    struct Place {
        QMenu* menu;
        QAction* after;
    };

    RunReportExporter(const Place& place, DocumentTabs* documents, const ResultViews* results,
                      QWidget* window);

    QAction* action() const { return exportAction; }

    // The report of the run so far.
    RunReport collect() const;

public slots:
    // Asks for a file name (".html" is added to a name without suffix) and writes the report;
    // false when cancelled or the file could not be written (which is reported).
    bool exportReport();

private:
    DocumentTabs* documents;
    const ResultViews* results;
    QWidget* window;
    QAction* exportAction;
};

#endif
