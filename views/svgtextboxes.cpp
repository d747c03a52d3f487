#include "svgtextboxes.h"

#include "svgpicture.h"

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
    while (!reader.atEnd()) {
        if (reader.readNext() != QXmlStreamReader::StartElement)
            continue;
        const QXmlStreamAttributes attributes = reader.attributes();
        if (reader.name() == QLatin1String("rect")) {
            addBox(QRectF(number(attributes, "x"), number(attributes, "y"),
                          number(attributes, "width"), number(attributes, "height")));
        } else if (reader.name() == QLatin1String("text")) {
            const QPointF baseline(number(attributes, "x"), number(attributes, "y"));
            addText(baseline, reader.readElementText(QXmlStreamReader::IncludeChildElements));
        }
    }
}

SvgTextBoxes::SvgTextBoxes(const SvgPicture& picture)
{
    for (const SvgPicture::Shape& shape : picture.shapes()) {
        if (shape.kind == SvgPicture::Kind::Rect)
            addBox(shape.rect);
        else if (shape.kind == SvgPicture::Kind::Text)
            addText(shape.baseline, shape.text);
    }
}

void SvgTextBoxes::addText(const QPointF& baseline, const QString& text)
{
    const double top = baseline.y() - baselineOffset;
    const bool inBox = box.contains(QPointF(baseline.x(), top + 1));
    const double left = inBox ? box.left() : baseline.x() - textIndent;
    const double width = inBox ? box.width() : text.size() * 8.0;
    all.append({QRectF(left, top, width, lineHeight), text});
}

QString SvgTextBoxes::textAt(const QPointF& point) const
{
    // Later lines are drawn on top, so they win.
    for (int i = all.size() - 1; i >= 0; --i)
        if (all.at(i).area.contains(point))
            return all.at(i).text;
    return QString();
}
