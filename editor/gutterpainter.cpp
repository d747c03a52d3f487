#include "gutterpainter.h"

#include <QPainter>
#include <QWidget>

void GutterPainter::paintAll(QWidget* editor, QWidget* gutter, const QRect& rect)
{
    const auto painters =
        editor->findChildren<GutterPainter*>(QString(), Qt::FindDirectChildrenOnly);
    for (GutterPainter* each : painters) {
        QPainter painter(gutter);
        each->paintGutter(painter, gutter, rect);
    }
}
