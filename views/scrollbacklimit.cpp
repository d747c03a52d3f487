#include "scrollbacklimit.h"

#include <QPlainTextEdit>
#include <QSettings>
#include <QString>

QString ScrollbackLimit::key()
{
    return QStringLiteral("outputScrollbackLines");
}

int ScrollbackLimit::fromSettings(const QSettings& settings)
{
    bool ok = false;
    const int lines = settings.value(key()).toInt(&ok);
    return ok && lines > 0 ? lines : 0;
}

void ScrollbackLimit::apply(QPlainTextEdit* view, const QSettings& settings)
{
    // Setting a limit also turns the view's undo history off, which it keeps off anyway.
    view->setMaximumBlockCount(fromSettings(settings));
}
