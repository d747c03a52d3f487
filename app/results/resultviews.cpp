#include "resultviews.h"

#include "codeeditor.h"
#include "dialogs.h"
#include "documenttabs.h"
#include "filenames.h"
#include "memorydump.h"
#include "outputappender.h"
#include "overloaded.h"
#include "svgview.h"
#include "termtablefiller.h"

#include <QCoreApplication>
#include <QListWidget>
#include <QTableWidget>

ResultViews::ResultViews(const ResultWidgets& widgets, DocumentTabs* documents, QWidget* window)
    : QObject(window), widgets(widgets), documents(documents), window(window),
      appender(new OutputAppender(widgets.output))
{
}

void ResultViews::show(const DecodedMessage& message, const OutputOptions& options)
{
    // An error belongs to whichever document is current when it arrives.
    CodeEditor* editor = documents->currentEditor();
    if (const auto line = received.add(message, editor ? editor->fileName : QString(), options))
        appendOutput(*line);
    std::visit(Overloaded{
                   [](const TextMessage&) {},
                   [](const TimeMessage&) {},
                   [](const LibraryVersion&) {},
                   [&](const InputErrorMessage& m) {
                       if (m.error)
                           showError(*m.error, editor);
                   },
                   [this](const TermTableContents& m) { showTermTable(m); },
                   [this](const MemoryDumpContents& m) { saveMemoryDump(m.dump); },
                   [this](const QuestionTree& m) {
                       widgets.questionTree->setDrawing(questionTreeDrawing(m));
                   },
                   [this](const InferenceGraph& m) {
                       widgets.inferenceGraph->setDrawing(inferenceGraphDrawing(m));
                   },
               },
               message);
}

void ResultViews::appendOutput(const QString& text)
{
    appender->append(text);
}

void ResultViews::clearOutput()
{
    appender->clear();
    widgets.errors->clear();
    received.clearOutput();
}

void ResultViews::showError(const ErrorMessage& error, CodeEditor* editor)
{
    // With no document open the entry is still listed, without a file name or a mark.
    const ErrorListItem location = errorListItem(error, editor ? editor->fileName : QString());
    if (editor)
        editor->addErrorMark(location.column, location.line, error.kind);
    auto* item = new QListWidgetItem(error.text);
    widgets.errors->addItem(item);
    item->setData(Qt::UserRole, QVariant::fromValue(location));
}

void ResultViews::scrollToError(QListWidgetItem* item)
{
    if (!item)
        return;
    const QVariant data = item->data(Qt::UserRole);
    const ErrorListItem location =
        data.canConvert<ErrorListItem>() ? data.value<ErrorListItem>() : ErrorListItem();
    CodeEditor* editor = documents->currentEditor();
    if (!editor || editor->fileName != location.fileName) {
        // Bring the document forward; an entry without a file name, or one whose document can
        // no longer be read, leads nowhere.
        if (location.fileName.isEmpty())
            return;
        const int index = documents->loadFile(location.fileName);
        editor = documents->editorAt(index);
        if (!editor)
            return;
        documents->showTab(index);
    }
    editor->goToPosition(location.column, location.line);
}

void ResultViews::showTermTable(const TermTableContents& table)
{
    QTableWidget* view = widgets.statements;
    if (table.kind == MessageKind::Words)
        view = widgets.words;
    else if (table.kind == MessageKind::Compounds)
        view = widgets.compounds;
    fillTermTable(view, table.records);
    emit termTableShown(view, table.records);
}

bool ResultViews::saveMemoryDump(const QByteArray& dump)
{
    const QString name =
        Dialogs::getSaveFileName(window, QCoreApplication::translate("MainWindow", "Save as..."),
                                 QString(), documentFileFilter());
    if (name.isEmpty())
        return false;
    const QString fileName = withDocumentSuffix(name);
    QString reason;
    if (!writeMemoryDump(fileName, dump, &reason)) {
        Dialogs::warnCannotWrite(window, fileName, reason);
        return false;
    }
    return true;
}
