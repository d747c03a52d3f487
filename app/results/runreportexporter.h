#ifndef RUNREPORTEXPORTER_H
#define RUNREPORTEXPORTER_H

#include "runreport.h"

#include <QObject>

class MainWindow;
class QAction;

// File > Export Run Report…: the run as one HTML page, built from what the window's docks show
// (the current document with its entries of the Error dock, the Output dock, the three term
// tables and both graphs) by the same builder as quorstudio-run --report.
class RunReportExporter : public QObject {
    Q_OBJECT

public:
    // Adds the action after the File menu's entries.
    explicit RunReportExporter(MainWindow* window);

    QAction* action() const { return exportAction; }

    // The report of what the docks show now.
    RunReport collect() const;

public slots:
    // Asks for a file name (".html" is added to a name without suffix) and writes the report;
    // false when cancelled or the file could not be written (which is reported).
    bool exportReport();

private:
    MainWindow* window;
    QAction* exportAction;
};

#endif
