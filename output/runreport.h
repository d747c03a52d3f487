#ifndef RUNREPORT_H
#define RUNREPORT_H

#include "compilerdiagnostic.h"
#include "termtable.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVector>

// A run of the engine as one self-contained HTML page: the sources with their error lines
// marked, the output, the three term tables, both graphs inline, the time line, the engine
// version and the date. Built from plain values (gathered by RunRecord), so the command-line
// runner and the window make the same page.

struct RunReportError {
    int line = 0;
    int column = 0;
    DiagnosticSeverity severity = DiagnosticSeverity::Error;
    QString text;
};

struct RunReportSource {
    QString fileName;
    QString text;
    QVector<RunReportError> errors;
};

struct RunReportTable {
    QString title;
    QStringList header;
    QList<QStringList> rows;
};

struct RunReport {
    QString title;
    QVector<RunReportSource> sources;
    QStringList output;
    int outputLinesLeftOut = 0; // earlier lines not kept
    QVector<RunReportTable> tables;
    QString questionSvg;
    QString inferenceSvg;
    QString timeLine;
    QString engineVersion;
    QDateTime date;
};

enum class TermTableKind { Words, Compounds, Statements };

// The table as its dock shows it: title and headers of the dock, one row per record (id in
// hexadecimal, name), sorted by name as the dock sorts it.
RunReportTable termReportTable(TermTableKind kind, const QVector<TermRecord>& records);

// The file name the runner gives the table: "words.csv", "compounds.csv", "statements.csv".
QString termTableFileName(TermTableKind kind);

QString runReportHtml(const RunReport& report);

#endif
