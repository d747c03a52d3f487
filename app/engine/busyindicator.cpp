#include "busyindicator.h"

#include <QPainter>

namespace {

constexpr int margin = 4;

} // namespace

BusyIndicator::BusyIndicator(QWidget* parent) : QWidget(parent) {}

void BusyIndicator::setText(const QString& text)
{
    if (text == shown)
        return;
    const bool wider =
        fontMetrics().horizontalAdvance(text) > fontMetrics().horizontalAdvance(shown);
    shown = text;
    if (wider)
        updateGeometry();
    update();
}

QSize BusyIndicator::sizeHint() const
{
    // Room for a long running time, so the status bar does not shift every second.
    const QString widest = shown.size() > 20 ? shown : tr("Engine busy 9999.9 s");
    return QSize(fontMetrics().horizontalAdvance(widest) + 2 * margin, fontMetrics().height());
}

void BusyIndicator::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawText(rect().adjusted(margin, 0, -margin, 0), Qt::AlignVCenter | Qt::AlignLeft,
                     shown);
}
