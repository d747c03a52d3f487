#include "graphitem.h"

#include <QStyleOptionGraphicsItem>

GraphItem::GraphItem(const GraphDrawing& drawing, QGraphicsItem* parent)
    : QGraphicsItem(parent), drawing(drawing)
{
    setFlag(ItemUsesExtendedStyleOption);
}

QRectF GraphItem::boundingRect() const
{
    return QRectF(QPointF(0, 0), QSizeF(drawing.size));
}

void GraphItem::paint(QPainter* painter, const QStyleOptionGraphicsItem* option, QWidget*)
{
    if (!this->painter)
        this->painter.emplace();
    this->painter->paint(*painter, drawing, option->exposedRect);
}
