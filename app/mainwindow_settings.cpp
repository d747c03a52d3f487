// Settings kept between runs and the recent-file list.

#include "mainwindow.h"
#include "ui_mainwindow.h"

#include <QApplication>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QSettings>

namespace {

const QString Organization = QStringLiteral("QuorStudio");
const QString Application = QStringLiteral("QuorStudio");
const QString RecentFileListKey = QStringLiteral("recentFileList");

} // namespace

void MainWindow::writeSettings()
{
    QSettings settings(Organization, Application);
    settings.setValue(QStringLiteral("currentPath"), fileSystemModel->rootPath());
    settings.setValue(QStringLiteral("time"), ui->actionTime->isChecked());
    settings.setValue(QStringLiteral("internalQuestions"),
                      ui->actionInternal_Question->isChecked());
    settings.setValue(QStringLiteral("debug"), ui->actionDebug->isChecked());
}

void MainWindow::addRecentFile(const QString& fileName)
{
    {
        QSettings settings(Organization, Application);
        QStringList files = settings.value(RecentFileListKey).toStringList();
        files.removeAll(fileName);
        files.prepend(fileName);
        while (files.size() > MaxRecentFiles)
            files.removeLast();
        settings.setValue(RecentFileListKey, files);
    }
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (auto* window = qobject_cast<MainWindow*>(widget))
            window->updateRecentFileActions();
    }
}

void MainWindow::updateRecentFileActions()
{
    QSettings settings(Organization, Application);
    const QStringList files = settings.value(RecentFileListKey).toStringList();
    const int count = qMin(files.size(), static_cast<int>(MaxRecentFiles));
    for (int i = 0; i < count; ++i) {
        recentFileActs[i]->setText(tr("&%1 %2").arg(i + 1).arg(QFileInfo(files.at(i)).fileName()));
        recentFileActs[i]->setData(files.at(i));
        recentFileActs[i]->setVisible(true);
    }
    for (int i = count; i < MaxRecentFiles; ++i)
        recentFileActs[i]->setVisible(false);
}

void MainWindow::openRecentFile()
{
    auto* action = qobject_cast<QAction*>(sender());
    if (!action)
        return;
    const int index = loadFile(action->data().toString());
    if (index >= 0)
        ui->tabWidget_3->setCurrentIndex(index);
}

void MainWindow::openAllRecentFiles()
{
    QSettings settings(Organization, Application);
    const int count = qMin(settings.value(RecentFileListKey).toStringList().size(),
                           static_cast<int>(MaxRecentFiles));
    for (int i = 0; i < count; ++i)
        loadFile(recentFileActs[i]->data().toString());
}
