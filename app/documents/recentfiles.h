#ifndef RECENTFILES_H
#define RECENTFILES_H

#include <QObject>
#include <QString>
#include <QStringList>
#include <QVector>

class QAction;
class QMenu;
class QToolButton;
class QWidget;

// The recently used files: at most MaxFiles full paths, most recent first, kept in the settings
// under "recentFileList" and stored at once on every change. The window shows them as a menu of
// actions (the "Recent Files" submenu and the drop-down of a tool button) whose data is the path.
class RecentFiles : public QObject {
    Q_OBJECT

public:
    enum { MaxFiles = 10 };

    // The menu and the actions are children of window.
    explicit RecentFiles(QWidget* window);
    ~RecentFiles() override;

    QMenu* menu() const { return recentFilesMenu; }
    const QVector<QAction*>& actions() const { return recentFileActs; }
    // A new tool button that pops up the menu, for the window's tool bar.
    QToolButton* createButton() const;

    // The stored list, at most MaxFiles entries.
    QStringList files() const;

    // Puts fileName at the head of the list, drops repeats and the oldest beyond MaxFiles, and
    // refreshes the menus of every window.
    void add(const QString& fileName);
    // Shows the stored list in the actions.
    void update();

private:
    QMenu* recentFilesMenu;
    QVector<QAction*> recentFileActs;
};

#endif
