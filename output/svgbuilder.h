#ifndef SVGBUILDER_H
#define SVGBUILDER_H

#include <QString>
#include <QStringList>
#include <QtGlobal>

// Building blocks of the SVG documents that draw the inference graph and the question
// derivation tree. Every fragment is plain SVG source text; texts handed to the box builders
// must already be HTML-escaped and are inserted as they are.

// Stroke and fill of a box, written into the SVG as given.
struct BoxColours {
    const char* stroke;
    const char* fill;
};

// Multi-line boxes of the inference graph.
inline constexpr BoxColours multiLineBoxColours{"#787878", "#FFFFD7"};

// Single-line boxes of the derivation tree, in the order green, yellow, grey.
inline constexpr BoxColours singleLineBoxColours[3] = {
    {"#9BC577", "#DEECD2"},
    {"#FFE579", "#FFF6D3"},
    {"#8F969C", "#DADDDE"},
};

// Fill of box texts and arrow heads, stroke of edge lines.
inline constexpr const char* svgInkColour = "#435059";

// The single-line colours for a node's kind flags: flag 8 gives green, else flag 4 yellow,
// else grey.
const BoxColours& boxColoursForFlags(quint8 flags);

// Height of one text line of a box.
inline constexpr int boxLineHeight = 18;

// Width of a box whose longest line is `length` UTF-16 code units long (measured on the escaped
// text): 8 per unit up to 50 units, 6.5 per unit (truncated) from 51 on.
int boxWidth(int length);

// A box holding several lines with its top-left corner at (x, y). Width and height receive the
// box's size; the height is 18 per line.
QString multiLineBox(const QStringList& lines, int x, int y, int& width, int& height);

// A box holding one line with its top-left corner at (x, y); the height is always 18.
QString singleLineBox(const QString& text, int x, int y, int& width, int& height,
                      const char* stroke, const char* fill);

// A straight edge from (x1, y1) to (x2, y2), ending in a line feed.
QString edgeLine(int x1, int y1, int x2, int y2);

// The filled triangle pointing right at the left edge of the box whose top-left corner is
// (x, y), its tip one unit left of the box at the box's vertical middle. No line feed.
QString arrowHead(int x, int y);

// The opening line of a document of the given size, and its closing tag.
QString svgDocumentStart(int width, int height);
QString svgDocumentEnd();

#endif
