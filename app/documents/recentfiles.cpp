#include "recentfiles.h"

#include "settings.h"

#include <QAction>
#include <QCoreApplication>
#include <QFileInfo>
#include <QIcon>
#include <QMenu>
#include <QToolButton>
#include <QWidget>

namespace {

// Every list of the process, each of one window: a change made in one shows in all.
QList<RecentFiles*>& lists()
{
    static QList<RecentFiles*> all;
    return all;
}

} // namespace

RecentFiles::RecentFiles(QWidget* window) : QObject(window), recentFilesMenu(new QMenu(window))
{
    lists().append(this);
    for (int i = 0; i < MaxFiles; ++i) {
        auto* action = new QAction(window);
        action->setVisible(false);
        recentFileActs.append(action);
        recentFilesMenu->addAction(action);
    }
    update();
}

RecentFiles::~RecentFiles()
{
    lists().removeAll(this);
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
    return SettingsStore().value(Settings::RecentFileList).mid(0, MaxFiles);
}

void RecentFiles::add(const QString& fileName)
{
    {
        SettingsStore settings;
        QStringList files = settings.value(Settings::RecentFileList);
        files.removeAll(fileName);
        files.prepend(fileName);
        while (files.size() > MaxFiles)
            files.removeLast();
        settings.setValue(Settings::RecentFileList, files);
    }
    for (RecentFiles* list : qAsConst(lists()))
        list->update();
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
