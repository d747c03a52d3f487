// Options kept between runs and the recent-file list.

#include "mainwindow.h"
#include "ui_mainwindow.h"

#include "documenttabs.h"

#include <QFileSystemModel>
#include <QSettings>

void MainWindow::restoreOptions()
{
    // Each option's default is the state the form gives its action. Turning Debug on here sends
    // "⋙ debug on" through debug(bool), once.
    QSettings settings;
    ui->actionTime->setChecked(
        settings.value(QStringLiteral("time"), ui->actionTime->isChecked()).toBool());
    ui->actionInternal_Question->setChecked(
        settings
            .value(QStringLiteral("internalQuestions"), ui->actionInternal_Question->isChecked())
            .toBool());
    ui->actionDebug->setChecked(
        settings.value(QStringLiteral("debug"), ui->actionDebug->isChecked()).toBool());
}

void MainWindow::writeSettings()
{
    QSettings settings;
    settings.setValue(QStringLiteral("currentPath"), fileSystemModel->rootPath());
    settings.setValue(QStringLiteral("time"), ui->actionTime->isChecked());
    settings.setValue(QStringLiteral("internalQuestions"),
                      ui->actionInternal_Question->isChecked());
    settings.setValue(QStringLiteral("debug"), ui->actionDebug->isChecked());
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
