#include "windowlayout.h"

#include "codeeditor.h"
#include "settings.h"

#include <QCoreApplication>
#include <QDockWidget>
#include <QEvent>
#include <QFileInfo>
#include <QMainWindow>
#include <QTabWidget>

WindowLayout::WindowLayout(QMainWindow* window, QTabWidget* tabs, QDockWidget* findDock)
    : QObject(window), window(window), tabs(tabs), findDock(findDock)
{
    window->installEventFilter(this);
    connect(tabs, &QTabWidget::currentChanged, this, &WindowLayout::updateTitle);
}

void WindowLayout::save() const
{
    SettingsStore store;
    store.setValue(Settings::WindowGeometry, window->saveGeometry());
    store.setValue(Settings::WindowState, window->saveState(StateVersion));
}

bool WindowLayout::restore()
{
    const SettingsStore store;
    const QByteArray geometry = store.value(Settings::WindowGeometry);
    const QByteArray state = store.value(Settings::WindowState);
    const bool placed = !geometry.isEmpty() && window->restoreGeometry(geometry);
    const bool arranged = !state.isEmpty() && window->restoreState(state, StateVersion);
    // Find and Replace is opened when wanted, never left open from the last run.
    findDock->hide();
    return placed || arranged;
}

void WindowLayout::updateTitle()
{
    const auto* editor = qobject_cast<CodeEditor*>(tabs->currentWidget());
    if (!editor) {
        window->setWindowTitle(QStringLiteral("QuorStudio"));
        window->setWindowModified(false);
        return;
    }
    window->setWindowTitle(
        QStringLiteral("QuorStudio - %1[*]").arg(QFileInfo(editor->fileName).fileName()));
    window->setWindowModified(editor->document()->isModified());
}

bool WindowLayout::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != window || event->type() != QEvent::Close || closing)
        return false;
    // The window decides first (it may ask about unsaved documents); only a close it accepts
    // stores the layout, as it stores the other settings.
    closing = true;
    QCoreApplication::sendEvent(window, event);
    closing = false;
    if (event->isAccepted())
        save();
    return true;
}
