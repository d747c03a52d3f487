// The Current Folder dock.

#include "mainwindow.h"
#include "ui_mainwindow.h"

#include "documenttabs.h"

#include <QFileInfo>
#include <QFileSystemModel>

void MainWindow::fileSelected(const QModelIndex& index)
{
    const QFileInfo info = fileSystemModel->fileInfo(index);
    if (info.isFile()) {
        documents->showTab(loadFile(info.absoluteFilePath()));
        return;
    }
    // A folder, "..", or a drive: show it instead, with links and ".." resolved.
    ui->listView->setRootIndex(fileSystemModel->setRootPath(info.canonicalFilePath()));
}
