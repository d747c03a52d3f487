#ifndef SVGTEXTBOXES_H
#define SVGTEXTBOXES_H

#include <QRectF>
#include <QString>
#include <QVector>

// The text lines of a graph document and the area each occupies, read from the SVG source: a
// line is a `text` element; its area is the row of its box that it sits in (one box line high,
// from the box's left edge to its right edge).
class SvgTextBoxes {
public:
    struct Line {
        QRectF area;
        QString text; // unescaped
    };

    explicit SvgTextBoxes(const QString& svg = QString());

    const QVector<Line>& lines() const { return all; }
    // The text of the line whose area holds `point`, or an empty string.
    QString textAt(const QPointF& point) const;

private:
    QVector<Line> all;
};

#endif
