#include "svgtextboxes.h"

#include <QXmlStreamReader>

namespace {

// A box line is 18 high with its baseline 12 below its top; the text starts 5 right of the
// box's left edge.
constexpr double lineHeight = 18;
constexpr double baselineOffset = 12;
constexpr double textIndent = 5;

double number(const QXmlStreamAttributes& attributes, const char* name)
{
    return attributes.value(QLatin1String(name)).toDouble();
}

} // namespace

SvgTextBoxes::SvgTextBoxes(const QString& svg)
{
    QXmlStreamReader reader(svg);
    QRectF box; // the last rectangle, the box that the following texts belong to
    while (!reader.atEnd()) {
        if (reader.readNext() != QXmlStreamReader::StartElement)
            continue;
        const QXmlStreamAttributes attributes = reader.attributes();
        if (reader.name() == QLatin1String("rect")) {
            box = QRectF(number(attributes, "x"), number(attributes, "y"),
                         number(attributes, "width"), number(attributes, "height"));
        } else if (reader.name() == QLatin1String("text")) {
            const double x = number(attributes, "x");
            const double top = number(attributes, "y") - baselineOffset;
            const QString text = reader.readElementText(QXmlStreamReader::IncludeChildElements);
            const bool inBox = box.contains(QPointF(x, top + 1));
            const double left = inBox ? box.left() : x - textIndent;
            const double width = inBox ? box.width() : text.size() * 8.0;
            all.append({QRectF(left, top, width, lineHeight), text});
        }
    }
}

QString SvgTextBoxes::textAt(const QPointF& point) const
{
    // Later lines are drawn on top, so they win.
    for (int i = all.size() - 1; i >= 0; --i)
        if (all.at(i).area.contains(point))
            return all.at(i).text;
    return QString();
}
