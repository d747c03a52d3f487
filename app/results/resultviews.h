#ifndef RESULTVIEWS_H
#define RESULTVIEWS_H

#include "dispatch.h"
#include "runrecord.h"

#include <QObject>

class CodeEditor;
class DocumentTabs;
class OutputAppender;
class QListWidget;
class QListWidgetItem;
class QPlainTextEdit;
class QTableWidget;
class QWidget;
class SvgView;

// The views that show the engine's output.
struct ResultWidgets {
    QPlainTextEdit* output;
    QListWidget* errors;
    QTableWidget* words;
    QTableWidget* compounds;
    QTableWidget* statements;
    SvgView* questionTree;
    SvgView* inferenceGraph;
};

// Shows each decoded engine message in its view: lines in the Output dock, errors in the Error
// dock and as marks in the current document, term tables, the two graphs, and the memory dump
// offered for saving. Also leads from an error entry to its place in the document, and keeps
// the record of the messages that File > Export Run Report writes.
class ResultViews : public QObject {
    Q_OBJECT

public:
    ResultViews(const ResultWidgets& widgets, DocumentTabs* documents, QWidget* window);

    void show(const DecodedMessage& message, const OutputOptions& options);
    void appendOutput(const QString& text);
    // Clear Output: empties the Output dock and the error list.
    void clearOutput();
    // Brings the entry's document forward and puts the cursor on the error.
    void scrollToError(QListWidgetItem* item);
    OutputAppender* outputAppender() const { return appender; }
    // What the views were given since the output was last cleared (the latest tables and
    // graphs whenever they came).
    const RunRecord& record() const { return received; }

    // The most output lines the record keeps for the report.
    static constexpr int RecordedOutputLines = 100000;

signals:
    // A term table has just been filled with these records.
    void termTableShown(QTableWidget* table, const QVector<TermRecord>& records);

private:
    void showError(const ErrorMessage& error, CodeEditor* editor);
    void showTermTable(const TermTableContents& table);
    bool saveMemoryDump(const QByteArray& dump);

    ResultWidgets widgets;
    DocumentTabs* documents;
    QWidget* window;
    OutputAppender* appender;
    RunRecord received{RecordedOutputLines};
};

#endif
