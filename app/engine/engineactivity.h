#ifndef ENGINEACTIVITY_H
#define ENGINEACTIVITY_H

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QTimer>

#include <functional>

class OutputAppender;
class QAction;
class BusyIndicator;
class QMainWindow;
class QMenu;
class QWidget;
class QuorW;

// Shows in the status bar that the engine is working on an input, with the time it has been at
// it, and offers Stop, which drops the inputs still waiting in the worker. The label is updated
// a few times a second while the engine is busy; while it is idle no timer runs.
class EngineActivity : public QObject {
    Q_OBJECT

public:
    // Interval of the running-time updates.
    static constexpr int TickMs = 250;

    // Adds the indicator to the window's status bar, and an Engine menu with Stop (Esc) and
    // Queue Inputs While Busy to its menu bar, before `before` (a menu's action; null: at the
    // end). Stop's report goes through `output`; its key works while the focus is in
    // `documents`.
    EngineActivity(QuorW* engine, QMainWindow* window, QAction* before, OutputAppender* output,
                   QWidget* documents);
    ~EngineActivity() override;

    QAction* stopAction() const { return stop; }
    QAction* queueAction() const { return queue; }
    QMenu* engineMenu() const { return menu; }
    BusyIndicator* label() const { return busyLabel; }
    bool ticking() const { return ticker.isActive(); }

    // While another engine than the worker takes the inputs (the engine in a separate process),
    // the indicator follows that engine's busy state, given to showBusy(), and Stop calls
    // `stopper` instead of dropping the worker's waiting inputs. An empty stopper hands both back
    // to the worker.
    void setOtherEngine(std::function<void()> stopper);

    // The label text for an engine busy for `ms` milliseconds.
    static QString busyText(qint64 ms);

public slots:
    void stopQueued();
    // The other engine's busy state (see setOtherEngine).
    void showBusy(bool busy);

private slots:
    void busyChanged(bool busy);
    void stopPressed();
    void tick();
    void queueToggled(bool on);

private:
    void setShown(bool busy);

    QPointer<QuorW> engine;
    OutputAppender* output;
    BusyIndicator* busyLabel;
    QMenu* menu;
    QAction* stop;
    QAction* queue;
    QTimer ticker;
    QElapsedTimer since;
    std::function<void()> otherStopper;
};

#endif
