#ifndef ERRORDOCKBADGE_H
#define ERRORDOCKBADGE_H

#include <QObject>
#include <QString>
#include <QTimer>
#include <QVector>

class QAction;
class QDockWidget;
class QListWidget;
class QMainWindow;
class QModelIndex;

// Keeps the Error dock in view of the user: its title counts the errors since the last Run, as
// in "Error (3)"; the first error after a Run or Step brings the dock forward when it is docked
// but hidden behind another tab; and each entry's tool tip names its document, line and column.
class ErrorDockBadge : public QObject {
    Q_OBJECT

public:
    // `starters` are the actions whose inputs may produce errors (Run, Step Forward); `resetter`
    // is the one that starts the count again (Run).
    ErrorDockBadge(QMainWindow* window, QDockWidget* dock, QListWidget* list,
                   const QVector<QAction*>& starters, QAction* resetter);

    int count() const { return errors; }

    // The dock title for `count` errors: the plain title when there are none.
    static QString title(const QString& plain, int count);

private slots:
    void rowsInserted(const QModelIndex& parent, int first, int last);
    void dataChanged(const QModelIndex& topLeft, const QModelIndex& bottomRight,
                     const QVector<int>& roles);
    void rowsRemoved();
    void reset();
    void arm();

private:
    void showCount();
    void setToolTip(int row);

    QMainWindow* window;
    QDockWidget* dock;
    QListWidget* list;
    QString plainTitle;
    int errors = 0;
    bool armed = false;
    QTimer titleUpdate;
};

#endif
