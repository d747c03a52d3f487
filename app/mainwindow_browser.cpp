// The Current Folder dock.

#include "mainwindow.h"
#include "ui_mainwindow.h"

#include "codeeditor.h"

#include <QFileInfo>
#include <QFileSystemModel>

void MainWindow::fileSelected(const QModelIndex& index)
{
    const QFileInfo info = fileSystemModel->fileInfo(index);
    if (info.isFile()) {
        const int tab = loadFile(info.absoluteFilePath());
        if (tab < 0)
            return;
        ui->tabWidget_3->setCurrentIndex(tab);
        editorAt(tab)->setFocus();
        return;
    }
    // A folder, "..", or a drive: show it instead, with links and ".." resolved.
    ui->listView->setRootIndex(fileSystemModel->setRootPath(info.canonicalFilePath()));
}
