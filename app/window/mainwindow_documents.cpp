// Document tabs: the slots hand over to DocumentTabs.

#include "mainwindow.h"

#include "documenttabs.h"

#include <QCloseEvent>

CodeEditor* MainWindow::currentEditor() const
{
    return documents->currentEditor();
}

CodeEditor* MainWindow::editorAt(int index) const
{
    return documents->editorAt(index);
}

int MainWindow::loadFile(const QString& fileName)
{
    return documents->loadFile(fileName);
}

void MainWindow::newFile()
{
    documents->newFile();
}

void MainWindow::openFile()
{
    documents->openFile();
}

void MainWindow::closeFile()
{
    documents->closeFile();
}

void MainWindow::closeAll()
{
    documents->closeAll();
}

bool MainWindow::saveFile()
{
    return documents->saveFile();
}

bool MainWindow::saveAs()
{
    return documents->saveAs();
}

void MainWindow::saveAll()
{
    documents->saveAll();
}

void MainWindow::currentTabChanged(int index)
{
    documents->announcePosition(index);
}

void MainWindow::removeTab(int index)
{
    documents->removeTab(index);
}

void MainWindow::documentWasModified(bool)
{
    documents->updateTabTextOf(sender());
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    if (documents->maybeSaveAll()) {
        writeSettings();
        event->accept();
    } else {
        event->ignore();
    }
}
