#ifndef GRAPHDRAWING_H
#define GRAPHDRAWING_H

#include <QPoint>
#include <QPointF>
#include <QRect>
#include <QSize>
#include <QString>
#include <QStringList>
#include <QVector>
#include <QtGlobal>

#include <array>
#include <optional>

// A graph laid out for drawing: boxes of text lines, the lines between them with their arrow
// heads, and their colours, in drawing units (pixels at scale 1). The graph views paint it, and
// the SVG writer (svgwriter.h) writes the same value as the document that Save As, quorstudio-run
// --graphs and the run report keep.

// A colour as 0xRRGGBB.
using GraphColour = quint32;

namespace GraphStyle {

// Fill of box texts and arrow heads, stroke of edge lines.
inline constexpr GraphColour ink = 0x435059;
// Boxes of the inference graph.
inline constexpr GraphColour inferenceStroke = 0x787878;
inline constexpr GraphColour inferenceFill = 0xFFFFD7;
// Outline of the line holding an inference's conclusion, and of the legend's sample.
inline constexpr GraphColour conclusion = 0x3A7D1E;

struct BoxColours {
    GraphColour stroke;
    GraphColour fill;
};
// Boxes of the derivation tree, in the order green, yellow, grey.
inline constexpr BoxColours derivationColours[3] = {
    {0x9BC577, 0xDEECD2},
    {0xFFE579, 0xFFF6D3},
    {0x8F969C, 0xDADDDE},
};
// The derivation colours for a node's kind flags: flag 8 gives green, else flag 4 yellow, else
// grey.
const BoxColours& derivationColoursForFlags(quint8 flags);

// Texts: family and size in drawing units.
inline constexpr const char* fontFamily = "DejaVu Sans";
inline constexpr int fontSize = 11;

} // namespace GraphStyle

// Where things stand inside and around a box.
namespace BoxGeometry {

// Each text line of a box is a row this high; a box is as high as its rows.
inline constexpr int lineHeight = 18;
// The baseline of a row's text lies this far below the row's top; the text starts this far
// right of the box's left edge.
inline constexpr int baselineOffset = 12;
inline constexpr int textIndent = 5;
inline constexpr int cornerRadius = 6;

// The outline round a conclusion's row: this far inside the row, with these corners and stroke.
inline constexpr int markInset = 2;
inline constexpr int markRadius = 4;
inline constexpr int markStrokeWidth = 2;

// The arrow head left of a box: a triangle this long whose tip ends one unit left of the box's
// left edge at the middle of its first row.
inline constexpr int arrowLength = 9;

// The width of a box whose longest line is `length` UTF-16 code units long, measured on the
// text as the SVG document holds it (escaped): 8 per unit up to 50 units, 6.5 per unit
// (truncated) from 51 on.
int boxWidth(int length);

// The width of a box holding these lines as shown (not escaped).
int boxWidth(const QStringList& lines);

// The row of line `line` of the box `box`, from its left edge to its right edge.
QRect row(const QRect& box, int line);
QPoint baseline(const QRect& box, int line);
// The outline round row `line` of `box`.
QRect mark(const QRect& box, int line);
// The arrow head pointing at the box whose top-left corner is `target`: base top, base bottom,
// tip.
std::array<QPoint, 3> arrowHead(const QPoint& target);

} // namespace BoxGeometry

struct GraphBox {
    // The inference graph's boxes hold several lines; the derivation tree's one. The SVG
    // document writes the two kinds with their own templates.
    enum Kind { MultiLine, SingleLine };
    Kind kind = MultiLine;
    QRect rect;
    GraphStyle::BoxColours colours{GraphStyle::inferenceStroke, GraphStyle::inferenceFill};
    // The texts as shown: characters that XML cannot hold are replaced already (xmltext.h), but
    // nothing is escaped.
    QStringList lines;
    // The line outlined as a conclusion, or -1.
    int markedLine = -1;
};

struct GraphEdge {
    // The corners of the line, from the parent's box to the base of the arrow head.
    QVector<QPoint> route;
    // The top-left corner of the box the arrow head points at.
    QPoint target;
};

// A text line with an outlined sample before it, explaining the conclusion marks.
struct GraphLegend {
    QRect sample;
    QPoint baseline;
    QString text;
};

struct GraphDrawing {
    QSize size;
    // Painted in this order: edges, legend, boxes (each box with its mark).
    QVector<GraphEdge> edges;
    std::optional<GraphLegend> legend;
    QVector<GraphBox> boxes;

    // The text of the box line under `point`, or an empty string; boxes painted later win.
    QString lineAt(const QPointF& point) const;
};

#endif
