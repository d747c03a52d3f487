// Options kept between runs and the recent-file list.

#include "mainwindow.h"
#include "ui_mainwindow.h"

#include "documenttabs.h"
#include "settings.h"

#include <QFileSystemModel>

void MainWindow::restoreOptions()
{
    // Turning Debug on here sends "⋙ debug on" through debug(bool), once.
    const SettingsStore settings;
    ui->actionTime->setChecked(settings.value(Settings::Time));
    ui->actionInternal_Question->setChecked(settings.value(Settings::InternalQuestions));
    ui->actionDebug->setChecked(settings.value(Settings::Debug));
}

void MainWindow::writeSettings()
{
    SettingsStore settings;
    settings.setValue(Settings::CurrentPath, fileSystemModel->rootPath());
    settings.setValue(Settings::Time, ui->actionTime->isChecked());
    settings.setValue(Settings::InternalQuestions, ui->actionInternal_Question->isChecked());
    settings.setValue(Settings::Debug, ui->actionDebug->isChecked());
}

void MainWindow::updateRecentFileActions()
{
    documents->recentFiles()->update();
}

void MainWindow::openRecentFile()
{
    documents->openRecentFile(qobject_cast<QAction*>(sender()));
}

void MainWindow::openAllRecentFiles()
{
    documents->openAllRecentFiles();
}
