#ifndef RESULTVIEWS_H
#define RESULTVIEWS_H

#include "dispatch.h"

#include <QObject>

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
// offered for saving. Also leads from an error entry to its place in the document.
class ResultViews : public QObject {
    Q_OBJECT

public:
    ResultViews(const ResultWidgets& widgets, DocumentTabs* documents, QWidget* window);

    void show(const DecodedMessage& message);
    void appendOutput(const QString& text);
    // Clear Output: empties the Output dock and the error list.
    void clearOutput();
    // Brings the entry's document forward and puts the cursor on the error.
    void scrollToError(QListWidgetItem* item);
    OutputAppender* outputAppender() const { return appender; }

signals:
    // A term table has just been filled with these records.
    void termTableShown(QTableWidget* table, const QVector<TermRecord>& records);

private:
    void showError(const ErrorMessage& error);
    void showTermTable(const TermTableContents& table);
    bool saveMemoryDump(const QByteArray& dump);

    ResultWidgets widgets;
    DocumentTabs* documents;
    QWidget* window;
    OutputAppender* appender;
};

#endif
