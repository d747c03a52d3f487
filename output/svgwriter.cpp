#include "svgwriter.h"

#include "xmltext.h"

namespace {

class Writer {
public:
    explicit Writer(QString& out) : out(out) {}

    Writer& operator<<(const char* text)
    {
        out += QLatin1String(text);
        return *this;
    }
    Writer& operator<<(const QString& text)
    {
        out += text;
        return *this;
    }
    Writer& operator<<(int number)
    {
        out += QString::number(number);
        return *this;
    }
    // A colour attribute's value: "#RRGGBB" in upper case.
    Writer& colour(GraphColour colour)
    {
        out += QLatin1Char('#') +
               QString::number(colour & 0xFFFFFF, 16).toUpper().rightJustified(6, QLatin1Char('0'));
        return *this;
    }

    void rect(const QRect& rect)
    {
        *this << "<rect x=\"" << rect.x() << "\" y=\"" << rect.y() << "\" width=\"" << rect.width()
              << "\" height=\"" << rect.height() << '"';
    }

    void box(const GraphBox& box)
    {
        *this << "<g>\n\t";
        rect(box.rect);
        *this << "  rx=\"" << BoxGeometry::cornerRadius << "\" ry=\"" << BoxGeometry::cornerRadius
              << "\" stroke=\"";
        colour(box.colours.stroke) << "\" fill=\"";
        colour(box.colours.fill) << "\"></rect>\n";
        for (int i = 0; i < box.lines.size(); ++i) {
            if (box.kind == GraphBox::SingleLine)
                *this << "\t";
            text(BoxGeometry::baseline(box.rect, i), box.lines.at(i));
        }
        *this << "</g>\n";
        if (box.markedLine >= 0)
            outline(BoxGeometry::mark(box.rect, box.markedLine));
    }

    void outline(const QRect& area)
    {
        rect(area);
        *this << " rx=\"" << BoxGeometry::markRadius << "\" ry=\"" << BoxGeometry::markRadius
              << "\" stroke=\"";
        colour(GraphStyle::conclusion)
            << "\" stroke-width=\"" << BoxGeometry::markStrokeWidth << "\" fill=\"none\"></rect>\n";
    }

    void text(const QPoint& baseline, const QString& text)
    {
        *this << "<text x=\"" << baseline.x() << "\" y=\"" << baseline.y() << "\" font-family=\""
              << GraphStyle::fontFamily << "\" font-size=\"" << GraphStyle::fontSize
              << "\" fill=\"";
        colour(GraphStyle::ink) << "\">" << xmlEscaped(text) << "</text>\n";
    }

    void legend(const GraphLegend& legend)
    {
        *this << "<g>\n\t";
        outline(legend.sample);
        *this << "\t";
        text(legend.baseline, legend.text);
        *this << "</g>\n";
    }

    void edge(const GraphEdge& edge)
    {
        const auto head = BoxGeometry::arrowHead(edge.target);
        *this << "<path d=\"M" << head[0].x() << ", " << head[0].y() << " L" << head[1].x() << ", "
              << head[1].y() << " L" << head[2].x() << ", " << head[2].y() << " L" << head[0].x()
              << ", " << head[0].y() << "\" fill=\"";
        colour(GraphStyle::ink) << "\" />";
        for (int k = 1; k < edge.route.size(); ++k) {
            const QPoint& from = edge.route.at(k - 1);
            const QPoint& to = edge.route.at(k);
            *this << "<line x1=\"" << from.x() << "\" y1=\"" << from.y() << "\" x2=\"" << to.x()
                  << "\" y2=\"" << to.y() << "\" stroke=\"";
            colour(GraphStyle::ink) << "\" stroke-width=\"1\" />\n";
        }
    }

private:
    Writer& operator<<(char c)
    {
        out += QLatin1Char(c);
        return *this;
    }

    QString& out;
};

} // namespace

QString svgDocument(const GraphDrawing& drawing)
{
    QString out;
    // About what a box takes, so the text grows a few times at most.
    out.reserve(256 + 200 * (drawing.edges.size() + drawing.boxes.size()));
    Writer write(out);
    write << "<svg width=\"" << drawing.size.width() << "\" height=\"" << drawing.size.height()
          << "\" xmlns=\"http://www.w3.org/2000/svg\" version=\"1.1\">\n";
    for (const GraphEdge& edge : drawing.edges)
        write.edge(edge);
    if (drawing.legend)
        write.legend(*drawing.legend);
    for (const GraphBox& box : drawing.boxes)
        write.box(box);
    write << "</svg>";
    return out;
}
