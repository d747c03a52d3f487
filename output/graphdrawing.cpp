#include "graphdrawing.h"

#include "xmltext.h"

#include <QRectF>

const GraphStyle::BoxColours& GraphStyle::derivationColoursForFlags(quint8 flags)
{
    if (flags & 8)
        return derivationColours[0];
    if (flags & 4)
        return derivationColours[1];
    return derivationColours[2];
}

int BoxGeometry::boxWidth(int length)
{
    if (length <= 50)
        return length * 8;
    return static_cast<int>(length * 6.5);
}

int BoxGeometry::boxWidth(const QStringList& lines)
{
    int longest = 0;
    for (const QString& line : lines)
        longest = qMax(longest, xmlEscapedLength(line));
    return boxWidth(longest);
}

QRect BoxGeometry::row(const QRect& box, int line)
{
    return QRect(box.x(), box.y() + lineHeight * line, box.width(), lineHeight);
}

QPoint BoxGeometry::baseline(const QRect& box, int line)
{
    return QPoint(box.x() + textIndent, box.y() + baselineOffset + lineHeight * line);
}

QRect BoxGeometry::mark(const QRect& box, int line)
{
    return QRect(box.x() + markInset, box.y() + lineHeight * line + markInset,
                 qMax(0, box.width() - 2 * markInset), lineHeight - 2 * markInset);
}

std::array<QPoint, 3> BoxGeometry::arrowHead(const QPoint& target)
{
    const int middle = target.y() + lineHeight / 2;
    return {QPoint(target.x() - arrowLength, middle - 4),
            QPoint(target.x() - arrowLength, middle + 5), QPoint(target.x() - 1, middle)};
}

QString GraphDrawing::lineAt(const QPointF& point) const
{
    for (int i = boxes.size() - 1; i >= 0; --i) {
        const GraphBox& box = boxes.at(i);
        if (!QRectF(box.rect).contains(point))
            continue;
        const int line = int((point.y() - box.rect.y()) / BoxGeometry::lineHeight);
        return line >= 0 && line < box.lines.size() ? box.lines.at(line) : QString();
    }
    return QString();
}
