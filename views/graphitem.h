#ifndef GRAPHITEM_H
#define GRAPHITEM_H

#include "graphdrawing.h"
#include "graphpainter.h"

#include <QGraphicsItem>

#include <optional>

// A graph drawing as an item of a graphics scene: only what lies in the exposed part of the view
// is painted.
class GraphItem : public QGraphicsItem {
public:
    explicit GraphItem(const GraphDrawing& drawing, QGraphicsItem* parent = nullptr);

    QRectF boundingRect() const override;
    void paint(QPainter* painter, const QStyleOptionGraphicsItem* option,
               QWidget* widget = nullptr) override;

private:
    GraphDrawing drawing;
    std::optional<GraphPainter> painter; // made at the first paint
};

#endif
