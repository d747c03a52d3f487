#include "slowinputhint.h"

#include <QCoreApplication>
#include <QStatusBar>

SlowInputHint::SlowInputHint(QObject* window, QStatusBar* statusBar, QObject* parent)
    : QObject(parent), statusBar(statusBar)
{
    connect(window, SIGNAL(input(QString, int)), this, SLOT(inputReturned()));
    sinceEvent.start();
    watch(true);
}

void SlowInputHint::setActive(bool on)
{
    active = on;
    watch(active && !spoken);
}

void SlowInputHint::watch(bool on)
{
    if (on == watching)
        return;
    watching = on;
    if (on)
        QCoreApplication::instance()->installEventFilter(this);
    else
        QCoreApplication::instance()->removeEventFilter(this);
}

bool SlowInputHint::eventFilter(QObject*, QEvent*)
{
    sinceEvent.restart();
    return false;
}

void SlowInputHint::inputReturned()
{
    if (!watching)
        return;
    const qint64 held = sinceEvent.elapsed();
    if (held <= ThresholdMs)
        return;
    spoken = true;
    watch(false);
    statusBar->showMessage(
        tr("The engine held the window for %1 s. Engine > Run Engine in Separate Process keeps "
           "the window responsive.")
            .arg(static_cast<double>(held) / 1000.0, 0, 'f', 1));
}
