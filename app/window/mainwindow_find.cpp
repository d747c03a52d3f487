// The Find and Replace dock: the slots hand over to FindReplace.

#include "mainwindow.h"

#include "findreplace.h"

void MainWindow::setFocusSR(bool visible)
{
    findReplace->focusSearchField(visible);
}

void MainWindow::searchAndReplace()
{
    findReplace->search();
}

void MainWindow::findNext()
{
    find(true);
}

void MainWindow::findPrevious()
{
    find(false);
}

void MainWindow::find(bool next)
{
    findReplace->find(next);
}

void MainWindow::replace()
{
    findReplace->replace();
}

void MainWindow::replaceAll()
{
    findReplace->replaceAll();
}
