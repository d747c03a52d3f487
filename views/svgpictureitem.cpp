#include "svgpictureitem.h"

#include <QStyleOptionGraphicsItem>

SvgPictureItem::SvgPictureItem(const SvgPicture& picture, QGraphicsItem* parent)
    : QGraphicsItem(parent), picture(picture)
{
    setFlag(ItemUsesExtendedStyleOption);
}

QRectF SvgPictureItem::boundingRect() const
{
    return QRectF(QPointF(0, 0), picture.size());
}

void SvgPictureItem::paint(QPainter* painter, const QStyleOptionGraphicsItem* option, QWidget*)
{
    picture.paint(*painter, option->exposedRect);
}
