#include "keypadshortcut.h"

#include <QAction>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QWidget>

KeypadShortcut::KeypadShortcut(QWidget* window, QAction* action, const QVector<int>& keys)
    : QObject(window), window(window), action(action), keys(keys)
{
    QCoreApplication::instance()->installEventFilter(this);
}

bool KeypadShortcut::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress || !watched->isWidgetType())
        return false;
    const auto* key = static_cast<const QKeyEvent*>(event);
    if (key->modifiers() != (Qt::ControlModifier | Qt::KeypadModifier) ||
        !keys.contains(key->key()) || static_cast<QWidget*>(watched)->window() != window)
        return false;
    if (action && action->isEnabled())
        action->trigger();
    return true;
}
