#include "engineactivity.h"

#include "busyindicator.h"
#include "outputappender.h"
#include "quorw.h"
#include "settings.h"

#include <QAction>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>

EngineActivity::EngineActivity(QuorW* engine, QMainWindow* window, QAction* before,
                               OutputAppender* output, QWidget* documents)
    : QObject(window), engine(engine), output(output)
{
    busyLabel = new BusyIndicator(window->statusBar());
    busyLabel->setObjectName(QStringLiteral("engineBusyIndicator"));
    busyLabel->hide();
    window->statusBar()->addPermanentWidget(busyLabel);

    menu = new QMenu(tr("E&ngine"), window);
    menu->setObjectName(QStringLiteral("menuEngine"));
    window->menuBar()->insertMenu(before, menu);
    stop = menu->addAction(tr("S&top"));
    stop->setObjectName(QStringLiteral("actionStop"));
    stop->setShortcut(QKeySequence(Qt::Key_Escape));
    stop->setStatusTip(tr("Drop the inputs still waiting for the engine"));
    stop->setEnabled(false);
    queue = menu->addAction(tr("&Queue Inputs While Busy"));
    queue->setObjectName(QStringLiteral("actionQueue_While_Busy"));
    queue->setCheckable(true);
    queue->setStatusTip(tr("Hold each input back until the engine has answered the one before"));
    // Escape stops only while the focus is in the documents, so that it still closes the Find
    // and Replace dock and the completion list elsewhere.
    stop->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    documents->addAction(stop);

    ticker.setInterval(TickMs);
    connect(&ticker, &QTimer::timeout, this, &EngineActivity::tick);
    connect(stop, &QAction::triggered, this, &EngineActivity::stopPressed);
    connect(queue, &QAction::toggled, this, &EngineActivity::queueToggled);
    engine->setBusyObserver([this](bool busy) { busyChanged(busy); });

    queue->setChecked(SettingsStore().value(Settings::QueueInputsWhileBusy));
    engine->setQueueWhileBusy(queue->isChecked());
    if (engine->isBusy())
        busyChanged(true);
}

// The window deletes its worker before its children, this one among them.
EngineActivity::~EngineActivity()
{
    if (engine)
        engine->setBusyObserver({});
}

QString EngineActivity::busyText(qint64 ms)
{
    return tr("Engine busy %1 s").arg(static_cast<double>(ms) / 1000.0, 0, 'f', 1);
}

void EngineActivity::setOtherEngine(std::function<void()> stopper)
{
    otherStopper = std::move(stopper);
    stop->setStatusTip(otherStopper ? tr("End the engine's process; the next input starts a "
                                         "fresh engine")
                                    : tr("Drop the inputs still waiting for the engine"));
    setShown(!otherStopper && engine && engine->isBusy());
}

void EngineActivity::busyChanged(bool busy)
{
    if (!otherStopper)
        setShown(busy);
}

void EngineActivity::showBusy(bool busy)
{
    if (otherStopper)
        setShown(busy);
}

void EngineActivity::stopPressed()
{
    if (otherStopper)
        otherStopper();
    else
        stopQueued();
}

void EngineActivity::setShown(bool busy)
{
    stop->setEnabled(busy);
    if (busy) {
        since.start();
        ticker.start();
        tick();
        busyLabel->show();
    } else {
        ticker.stop();
        busyLabel->hide();
    }
}

void EngineActivity::tick()
{
    busyLabel->setText(busyText(since.elapsed()));
}

void EngineActivity::stopQueued()
{
    const int dropped = engine->dropQueuedInputs();
    output->append(dropped == 1 ? tr("Stopped: 1 waiting input dropped.")
                                : tr("Stopped: %1 waiting inputs dropped.").arg(dropped));
}

void EngineActivity::queueToggled(bool on)
{
    engine->setQueueWhileBusy(on);
    SettingsStore().setValue(Settings::QueueInputsWhileBusy, on);
}
