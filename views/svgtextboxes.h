#ifndef SVGTEXTBOXES_H
#define SVGTEXTBOXES_H

#include <QPointF>
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
    // The same from a drawing already read.
    explicit SvgTextBoxes(const class SvgPicture& picture);

    const QVector<Line>& lines() const { return all; }
    // The text of the line whose area holds `point`, or an empty string.
    QString textAt(const QPointF& point) const;

private:
    void addBox(const QRectF& area) { box = area; }
    void addText(const QPointF& baseline, const QString& text);

    QVector<Line> all;
    QRectF box; // the last rectangle, the box that the following texts belong to
};

#endif
