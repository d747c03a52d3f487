#ifndef SVGPICTUREITEM_H
#define SVGPICTUREITEM_H

#include "svgpicture.h"

#include <QGraphicsItem>

// A drawing read by SvgPicture, as an item of a graphics scene: only the shapes in the exposed
// part of the view are painted.
class SvgPictureItem : public QGraphicsItem {
public:
    explicit SvgPictureItem(const SvgPicture& picture, QGraphicsItem* parent = nullptr);

    QRectF boundingRect() const override;
    void paint(QPainter* painter, const QStyleOptionGraphicsItem* option,
               QWidget* widget = nullptr) override;

private:
    SvgPicture picture;
};

#endif
