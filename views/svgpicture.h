#ifndef SVGPICTURE_H
#define SVGPICTURE_H

#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QLineF>
#include <QPair>
#include <QPolygonF>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <QVector>

class QPainter;

// A graph drawing read once from the SVG the graph builders write, and painted straight onto a
// QPainter. The builders use a small vocabulary: rectangles (rounded or not), lines, closed
// paths of straight segments and one-line texts, at most inside plain groups. Painting that
// directly is many times faster than QSvgRenderer, which lays out each text anew at every
// paint; texts are drawn as glyph runs of one font.
//
// Anything outside the vocabulary (another element, a transform, a style attribute, a curve in
// a path ...) makes the picture invalid, and the caller draws the document with QSvgRenderer.
class SvgPicture {
public:
    enum class Kind { Rect, Line, Polygon, Text };
    struct Shape {
        Kind kind;
        QRectF bounds; // in drawing units, including the stroke
        QColor stroke; // invalid: none
        QColor fill;   // invalid: none
        double strokeWidth = 1;
        QRectF rect;
        double rx = 0, ry = 0;
        QLineF line;
        QPolygonF polygon;
        bool closed = false;
        QPointF baseline;
        QString text;  // unescaped, as written
        QString shown; // white space collapsed, as drawn
        int font = 0;  // index into the picture's fonts
    };

    // An invalid, empty picture.
    SvgPicture() = default;
    explicit SvgPicture(const QByteArray& svg);
    explicit SvgPicture(const QString& svg);

    bool isValid() const { return valid; }
    // The width and height of the `svg` element.
    QSizeF size() const { return drawingSize; }
    // In document order.
    const QVector<Shape>& shapes() const { return all; }

    // Paints the shapes that meet `area` (in drawing units) onto `painter`, whose transform
    // maps drawing units to its device. Copies of a picture may paint on several threads at
    // once, each with its own painter.
    void paint(QPainter& painter, const QRectF& area) const;

    // The whole drawing scaled by `scale`, on white, painted in horizontal bands on up to
    // `threads` threads. A null image if the picture is invalid or empty.
    QImage image(double scale, int threads) const;

private:
    struct TextFont {
        QString family;
        double pixelSize;
    };

    void read(class QXmlStreamReader& reader);
    bool readShape(QXmlStreamReader& reader);
    QColor colour(const QStringRef& value, bool& ok);
    int fontIndex(const QString& family, double pixelSize);

    bool valid = false;
    QSizeF drawingSize;
    QVector<Shape> all;
    QVector<TextFont> fonts;
    QVector<QPair<QString, QColor>> colours; // the few colours a drawing uses, parsed once
};

#endif
