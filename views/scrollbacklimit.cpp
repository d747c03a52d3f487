#include "scrollbacklimit.h"

#include "settings.h"

#include <QPlainTextEdit>

int ScrollbackLimit::stored()
{
    return qMax(0, SettingsStore().value(Settings::OutputScrollbackLines));
}

void ScrollbackLimit::apply(QPlainTextEdit* view)
{
    // Setting a limit also turns the view's undo history off, which it keeps off anyway.
    view->setMaximumBlockCount(stored());
}
