// Everything that talks to the engine: the inputs sent by Run, Step Forward and the Debug
// menu, and the dispatch of the engine's output messages to the views.

#include "mainwindow.h"
#include "ui_mainwindow.h"

#include "codeeditor.h"
#include "dialogs.h"
#include "errormessage.h"
#include "filenames.h"
#include "inferencegraph.h"
#include "memorydump.h"
#include "messages.h"
#include "quorw.h"
#include "outputappender.h"
#include "questiontree.h"
#include "termtable.h"
#include "termwords.h"

#include <QDir>
#include <QListWidgetItem>
#include <QTextBlock>

#include <memory>

namespace {

QString command(const char* word)
{
    return QStringLiteral("\u22d9 ") + QLatin1String(word);
}

} // namespace

void MainWindow::run()
{
    CodeEditor* editor = currentEditor();
    if (!editor)
        return;
    editor->clearErrorMarks();
    QTextCursor cursor = editor->textCursor();
    if (cursor.hasSelection()) {
        QString text = cursor.selectedText();
        text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
        cursor.setPosition(cursor.selectionStart());
        emit input(text, cursor.blockNumber() + 1);
    } else {
        emit input(editor->toPlainText(), 1);
    }
}

void MainWindow::stepForward()
{
    CodeEditor* editor = currentEditor();
    if (!editor)
        return;
    QTextCursor cursor = editor->textCursor();
    const int line = cursor.blockNumber() + 1;
    editor->removeErrorMarks(line);
    cursor.movePosition(QTextCursor::StartOfBlock);
    cursor.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
    emit input(cursor.selectedText(), line);
    if (cursor.movePosition(QTextCursor::NextBlock))
        editor->setTextCursor(cursor);
}

void MainWindow::clear()
{
    emit input(command("clear"), 1);
}

void MainWindow::words()
{
    emit input(command("words"), 1);
}

void MainWindow::compounds()
{
    emit input(command("compounds"), 1);
}

void MainWindow::statements()
{
    emit input(command("statements"), 1);
}

void MainWindow::saveMemory()
{
    emit input(command("memory"), 1);
}

void MainWindow::questionDerivation()
{
    emit input(command("question"), 1);
}

void MainWindow::inference()
{
    emit input(command("inference"), 1);
}

void MainWindow::debug(bool d)
{
    emit input(command(d ? "debug on" : "debug off"), 1);
}

void MainWindow::clearOutputWindow()
{
    outputAppender->clear();
    ui->listWidget->clear();
}

void MainWindow::output(const char* buffer, size_t size)
{
    if (!buffer)
        return;
    // This call owns the block and frees it when it returns, on every path. A handler that
    // opens a dialog lets later messages in; each of those calls frees its own block.
    QuorW::takeOver(buffer);
    const std::unique_ptr<const char[]> message(buffer);
    if (discardOutput)
        return;

    switch (messageKind(buffer, size)) {
    case MessageKind::Error:
        handleError(buffer, size);
        break;
    case MessageKind::Words:
    case MessageKind::Compounds:
    case MessageKind::Statements:
        handleTermTable(buffer, size);
        break;
    case MessageKind::Memory:
        writeMemoryFile(decodeMemoryDump(buffer, size));
        break;
    case MessageKind::Question:
        handleQuestionTree(buffer, size);
        break;
    case MessageKind::Inference:
        handleInferenceGraph(buffer, size);
        break;
    case MessageKind::Version:
        libraryVersion = decodeLibraryVersion(buffer, size);
        appendOutput(libraryVersionLine(libraryVersion));
        break;
    default:
        if (const auto text = simpleOutputText(buffer, size, ui->actionTime->isChecked(),
                                               ui->actionInternal_Question->isChecked()))
            appendOutput(*text);
        break;
    }
}

void MainWindow::appendOutput(const QString& text)
{
    outputAppender->append(text);
}

void MainWindow::handleError(const char* buffer, std::size_t size)
{
    const auto error = decodeErrorMessage(buffer, size);
    if (!error)
        return;
    // The error belongs to whichever document is current when it arrives. With no document
    // open the entry is still listed, without a file name or a mark.
    CodeEditor* editor = currentEditor();
    const ErrorListItem location = errorListItem(*error, editor ? editor->fileName : QString());
    if (editor)
        editor->addErrorMark(location.column, location.line, error->kind);
    auto* item = new QListWidgetItem(error->text);
    ui->listWidget->addItem(item);
    item->setData(Qt::UserRole, QVariant::fromValue(location));
}

void MainWindow::scrollToError(QListWidgetItem* item)
{
    if (!item)
        return;
    const QVariant data = item->data(Qt::UserRole);
    const ErrorListItem location =
        data.canConvert<ErrorListItem>() ? data.value<ErrorListItem>() : ErrorListItem();
    CodeEditor* editor = currentEditor();
    if (!editor || editor->fileName != location.fileName) {
        // Bring the document forward; an entry without a file name, or one whose document can
        // no longer be read, leads nowhere.
        if (location.fileName.isEmpty())
            return;
        const int index = loadFile(location.fileName);
        if (index < 0)
            return;
        ui->tabWidget_3->setCurrentIndex(index);
        editor = editorAt(index);
        if (!editor)
            return;
        editor->setFocus(Qt::OtherFocusReason);
    }
    editor->goToPosition(location.column, location.line);
}

void MainWindow::handleTermTable(const char* buffer, std::size_t size)
{
    QTableWidget* table = nullptr;
    switch (messageKind(buffer, size)) {
    case MessageKind::Words:
        table = ui->tableWidget_1;
        break;
    case MessageKind::Compounds:
        table = ui->tableWidget_2;
        break;
    default:
        table = ui->tableWidget_3;
        break;
    }
    const QVector<TermRecord> records = decodeTermRecords(buffer, size);
    fillTermTable(table, records);
    TermWords::received(table, records);
}

void MainWindow::handleQuestionTree(const char* buffer, std::size_t size)
{
    ui->graphicsView1->load(questionTreeSvg(decodeQuestionTree(buffer, size)));
}

void MainWindow::handleInferenceGraph(const char* buffer, std::size_t size)
{
    ui->graphicsView2->load(inferenceGraphSvg(decodeInferenceGraph(buffer, size)));
}

bool MainWindow::writeMemoryFile(const QByteArray& dump)
{
    const QString name =
        Dialogs::getSaveFileName(this, tr("Save as..."), QString(), documentFileFilter());
    if (name.isEmpty())
        return false;
    const QString fileName = withDocumentSuffix(name);
    QString reason;
    if (!writeMemoryDump(fileName, dump, &reason)) {
        Dialogs::warning(
            this, tr("Application"),
            tr("Cannot write file %1:\n%2.").arg(QDir::toNativeSeparators(fileName), reason));
        return false;
    }
    return true;
}
