#ifndef GRAPHPAINTER_H
#define GRAPHPAINTER_H

#include "graphdrawing.h"

#include <QFont>
#include <QImage>
#include <QRawFont>
#include <QRectF>

#include <atomic>

class QPainter;

// Paints a graph drawing as Qt's SVG renderer draws the drawing's SVG document: the same shapes,
// colours and strokes, and each text in the drawing's font at the place that renderer gives it
// (white space collapsed, glyphs advanced by the font's design metrics). Texts are drawn as glyph
// runs, which costs a fraction of laying each text out anew.
//
// A painter belongs to the thread that made it (its fonts do).
class GraphPainter {
public:
    GraphPainter();

    // Paints what of `drawing` meets `area` (in drawing units); `painter`'s transform maps
    // drawing units to its device.
    void paint(QPainter& painter, const GraphDrawing& drawing, const QRectF& area);

    // The whole drawing scaled by `scale`, on white, painted in horizontal bands on up to
    // `threads` threads. A null image if the drawing is empty, or if `cancelled` is set before
    // the painting ends.
    static QImage image(const GraphDrawing& drawing, double scale, int threads,
                        const std::atomic<bool>* cancelled = nullptr);

private:
    void text(QPainter& painter, const QPoint& baseline, const QString& text);

    QFont font;
    QRawFont rawFont;
};

#endif
