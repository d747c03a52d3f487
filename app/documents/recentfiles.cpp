#include "recentfiles.h"

#include <QAction>
#include <QApplication>
#include <QFileInfo>
#include <QIcon>
#include <QMenu>
#include <QSettings>
#include <QToolButton>
#include <QWidget>

namespace {

const QString RecentFileListKey = QStringLiteral("recentFileList");

} // namespace

RecentFiles::RecentFiles(QWidget* window) : QObject(window), recentFilesMenu(new QMenu(window))
{
    for (int i = 0; i < MaxFiles; ++i) {
        auto* action = new QAction(window);
        action->setVisible(false);
        recentFileActs.append(action);
        recentFilesMenu->addAction(action);
    }
    update();
}

QToolButton* RecentFiles::createButton() const
{
    auto* button = new QToolButton;
    button->setIcon(QIcon(QStringLiteral(":/resources/recent-files.png")));
    button->setMenu(recentFilesMenu);
    button->setPopupMode(QToolButton::InstantPopup);
    return button;
}

QStringList RecentFiles::files() const
{
    return QSettings().value(RecentFileListKey).toStringList().mid(0, MaxFiles);
}

void RecentFiles::add(const QString& fileName)
{
    {
        QSettings settings;
        QStringList files = settings.value(RecentFileListKey).toStringList();
        files.removeAll(fileName);
        files.prepend(fileName);
        while (files.size() > MaxFiles)
            files.removeLast();
        settings.setValue(RecentFileListKey, files);
    }
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        for (RecentFiles* list :
             widget->findChildren<RecentFiles*>(QString(), Qt::FindDirectChildrenOnly))
            list->update();
    }
}

void RecentFiles::update()
{
    const QStringList files = this->files();
    for (int i = 0; i < MaxFiles; ++i) {
        QAction* action = recentFileActs.at(i);
        if (i < files.size()) {
            action->setText(QCoreApplication::translate("MainWindow", "&%1 %2")
                                .arg(i + 1)
                                .arg(QFileInfo(files.at(i)).fileName()));
            action->setData(files.at(i));
        }
        action->setVisible(i < files.size());
    }
}
