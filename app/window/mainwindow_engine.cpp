// What the window sends to the engine (Run, Step Forward, the engine commands) and what it does
// with the engine's messages.

#include "mainwindow.h"
#include "ui_mainwindow.h"

#include "codeeditor.h"
#include "dispatch.h"
#include "editorinput.h"
#include "nulguard.h"
#include "quorw.h"
#include "resultviews.h"

#include <memory>

void MainWindow::run()
{
    if (CodeEditor* editor = currentEditor()) {
        const EditorInput sent = takeRunInput(*editor);
        if (!refuseNulCharacter(*editor, sent))
            emit input(sent.text, sent.line);
    }
}

void MainWindow::stepForward()
{
    if (CodeEditor* editor = currentEditor()) {
        const EditorInput sent = takeStepInput(*editor);
        if (refuseNulCharacter(*editor, sent))
            return;
        emit input(sent.text, sent.line);
        moveToNextLine(*editor);
    }
}

void MainWindow::sendCommand(EngineCommand command)
{
    emit input(engineCommandText(command), 1);
}

void MainWindow::clear()
{
    sendCommand(EngineCommand::Clear);
}

void MainWindow::words()
{
    sendCommand(EngineCommand::Words);
}

void MainWindow::compounds()
{
    sendCommand(EngineCommand::Compounds);
}

void MainWindow::statements()
{
    sendCommand(EngineCommand::Statements);
}

void MainWindow::saveMemory()
{
    sendCommand(EngineCommand::Memory);
}

void MainWindow::questionDerivation()
{
    sendCommand(EngineCommand::Question);
}

void MainWindow::inference()
{
    sendCommand(EngineCommand::Inference);
}

void MainWindow::debug(bool d)
{
    sendCommand(d ? EngineCommand::DebugOn : EngineCommand::DebugOff);
}

void MainWindow::clearOutputWindow()
{
    results->clearOutput();
}

void MainWindow::output(const char* buffer, size_t size)
{
    if (!buffer)
        return;
    // This call owns the block and frees it when it returns, on every path. A view that opens a
    // dialog lets later messages in; each of those calls frees its own block.
    QuorW::takeOver(buffer);
    const std::unique_ptr<const char[]> message(buffer);
    if (discardOutput)
        return;
    const DecodedMessage decoded = decodeMessage(buffer, size);
    if (const auto* version = std::get_if<LibraryVersion>(&decoded))
        libraryVersion = version->version;
    results->show(decoded, {ui->actionTime->isChecked(), ui->actionInternal_Question->isChecked()});
}

void MainWindow::scrollToError(QListWidgetItem* item)
{
    results->scrollToError(item);
}
