#include "errordockbadge.h"

#include "errormessage.h"

#include <QAction>
#include <QDir>
#include <QDockWidget>
#include <QListWidget>
#include <QMainWindow>

ErrorDockBadge::ErrorDockBadge(QMainWindow* window, QDockWidget* dock, QListWidget* list,
                               const QVector<QAction*>& starters, QAction* resetter)
    : QObject(dock), window(window), dock(dock), list(list), plainTitle(dock->windowTitle())
{
    QAbstractItemModel* model = list->model();
    connect(model, &QAbstractItemModel::rowsInserted, this, &ErrorDockBadge::rowsInserted);
    connect(model, &QAbstractItemModel::dataChanged, this, &ErrorDockBadge::dataChanged);
    // Queued: the list's model also resets while the window is being destroyed, when the list
    // and the dock are half gone; a queued call to this badge is dropped with it.
    connect(model, &QAbstractItemModel::rowsRemoved, this, &ErrorDockBadge::rowsRemoved,
            Qt::QueuedConnection);
    connect(model, &QAbstractItemModel::modelReset, this, &ErrorDockBadge::rowsRemoved,
            Qt::QueuedConnection);
    for (QAction* action : starters)
        connect(action, &QAction::triggered, this, &ErrorDockBadge::arm);
    connect(resetter, &QAction::triggered, this, &ErrorDockBadge::reset);
    // A new title lays the dock's tab bar out again; thousands of errors arriving together get
    // one title, once the event loop is free.
    titleUpdate.setSingleShot(true);
    titleUpdate.setInterval(0);
    connect(&titleUpdate, &QTimer::timeout, this, &ErrorDockBadge::showCount);
}

QString ErrorDockBadge::title(const QString& plain, int count)
{
    return count > 0 ? QStringLiteral("%1 (%2)").arg(plain).arg(count) : plain;
}

void ErrorDockBadge::rowsInserted(const QModelIndex&, int first, int last)
{
    errors += last - first + 1;
    titleUpdate.start();
    for (int row = first; row <= last; ++row)
        setToolTip(row);
    if (!armed)
        return;
    armed = false;
    // Only a dock that is docked and shown, but covered by another tab (it counts as visible
    // then, with nothing of it on screen), is brought forward: a floating dock is in view
    // already, and one the user closed stays closed.
    const bool covered =
        window->isVisible() && !dock->isFloating() && dock->toggleViewAction()->isChecked() &&
        !window->tabifiedDockWidgets(dock).isEmpty() && dock->visibleRegion().isEmpty();
    if (covered)
        dock->raise();
}

// The entry's place is set after the entry has been added to the list.
void ErrorDockBadge::dataChanged(const QModelIndex& topLeft, const QModelIndex& bottomRight,
                                 const QVector<int>& roles)
{
    if (!roles.isEmpty() && !roles.contains(Qt::UserRole))
        return;
    for (int row = topLeft.row(); row <= bottomRight.row(); ++row)
        setToolTip(row);
}

void ErrorDockBadge::rowsRemoved()
{
    errors = qMin(errors, list->count());
    showCount();
}

void ErrorDockBadge::reset()
{
    errors = 0;
    showCount();
    arm();
}

void ErrorDockBadge::arm()
{
    armed = true;
}

void ErrorDockBadge::showCount()
{
    dock->setWindowTitle(title(plainTitle, errors));
}

void ErrorDockBadge::setToolTip(int row)
{
    QListWidgetItem* item = list->item(row);
    const QVariant data = item ? item->data(Qt::UserRole) : QVariant();
    if (!data.canConvert<ErrorListItem>())
        return;
    const ErrorListItem place = data.value<ErrorListItem>();
    const QString document =
        place.fileName.isEmpty() ? tr("no document") : QDir::toNativeSeparators(place.fileName);
    const QString tip =
        tr("%1, line %2, column %3").arg(document).arg(place.line).arg(place.column);
    if (item->toolTip() != tip)
        item->setToolTip(tip);
}
