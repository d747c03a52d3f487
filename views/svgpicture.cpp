#include "svgpicture.h"

#include <QFont>
#include <QGlyphRun>
#include <QPainter>
#include <QRawFont>
#include <QXmlStreamReader>

#include <atomic>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <system_error>
#include <thread>
#include <vector>

#if __has_include(<sys/mman.h>)
#include <sys/mman.h>
#endif

namespace {

bool number(const QStringRef& text, double& value)
{
    bool ok = false;
    value = text.toDouble(&ok);
    return ok && std::isfinite(value);
}

// The attributes of `reader`'s element, each of which must be one of `known`.
bool onlyKnownAttributes(const QXmlStreamAttributes& attributes,
                         std::initializer_list<const char*> known)
{
    for (const QXmlStreamAttribute& attribute : attributes) {
        bool found = false;
        for (const char* name : known)
            found = found || attribute.qualifiedName() == QLatin1String(name);
        if (!found)
            return false;
    }
    return true;
}

bool isSeparator(QChar c)
{
    return c.isSpace() || c == QLatin1Char(',');
}

bool isCommand(QChar c)
{
    return c.isLetter() && c != QLatin1Char('e') && c != QLatin1Char('E');
}

// A path of straight segments in absolute coordinates, "M x, y L x, y ... [Z]", which is what
// the builders write for arrow heads.
bool readPolygon(const QStringRef& data, QPolygonF& polygon, bool& closed)
{
    QChar command;
    double x = 0;
    bool haveX = false;
    closed = false;
    for (int i = 0; i < data.size();) {
        const QChar c = data.at(i);
        if (isSeparator(c)) {
            ++i;
            continue;
        }
        if (closed || (isCommand(c) && haveX))
            return false;
        if (isCommand(c)) {
            // Curves, relative coordinates and second subpaths are not the builders'.
            const bool close = c == QLatin1Char('Z') || c == QLatin1Char('z');
            if (close ? polygon.isEmpty()
                      : (c == QLatin1Char('M') ? !polygon.isEmpty() : c != QLatin1Char('L')))
                return false;
            closed = close;
            command = c;
            ++i;
            continue;
        }
        const int start = i;
        while (i < data.size() && !isSeparator(data.at(i)) && !isCommand(data.at(i)))
            ++i;
        double value = 0;
        if (command.isNull() || !number(data.mid(start, i - start), value))
            return false;
        if (haveX)
            polygon.append(QPointF(x, value));
        x = value;
        haveX = !haveX;
    }
    return !haveX && polygon.size() >= 2;
}

// An image whose rows are not yet filled. A large one is asked for in huge pages where the
// system has them: the first touch of each small page would cost more than filling it.
QImage blankImage(const QSize& size)
{
    const QImage::Format format = QImage::Format_ARGB32_Premultiplied;
#ifdef MADV_HUGEPAGE
    constexpr size_t hugePage = 2 << 20;
    const size_t rowBytes = size_t(size.width()) * 4;
    const size_t bytes = rowBytes * size_t(size.height());
    void* memory = nullptr;
    if (bytes >= 2 * hugePage && rowBytes <= size_t(std::numeric_limits<int>::max()) &&
        posix_memalign(&memory, hugePage, (bytes + hugePage - 1) / hugePage * hugePage) == 0) {
        madvise(memory, bytes, MADV_HUGEPAGE);
        return QImage(
            static_cast<uchar*>(memory), size.width(), size.height(), int(rowBytes), format,
            [](void* block) { free(block); }, memory);
    }
#endif
    return QImage(size, format);
}

QPen strokePen(const QColor& colour, double width)
{
    if (!colour.isValid() || width <= 0)
        return Qt::NoPen;
    QPen pen(colour, width, Qt::SolidLine, Qt::FlatCap, Qt::SvgMiterJoin);
    pen.setMiterLimit(4);
    return pen;
}

} // namespace

SvgPicture::SvgPicture(const QByteArray& svg)
{
    QXmlStreamReader reader(svg);
    read(reader);
}

SvgPicture::SvgPicture(const QString& svg)
{
    QXmlStreamReader reader(svg);
    read(reader);
}

void SvgPicture::read(QXmlStreamReader& reader)
{
    bool inSvg = false;
    while (!reader.atEnd()) {
        const QXmlStreamReader::TokenType token = reader.readNext();
        if (token == QXmlStreamReader::Characters && !reader.isWhitespace())
            return;
        if (token != QXmlStreamReader::StartElement)
            continue;
        if (!inSvg) {
            const QXmlStreamAttributes attributes = reader.attributes();
            double width = 0, height = 0;
            if (reader.name() != QLatin1String("svg") ||
                !onlyKnownAttributes(attributes, {"width", "height", "version"}) ||
                !number(attributes.value(QLatin1String("width")), width) ||
                !number(attributes.value(QLatin1String("height")), height) || width < 0 ||
                height < 0)
                return;
            drawingSize = QSizeF(width, height);
            inSvg = true;
        } else if (reader.name() == QLatin1String("g")) {
            if (!reader.attributes().isEmpty())
                return;
        } else if (!readShape(reader)) {
            return;
        }
    }
    valid = inSvg && !reader.hasError();
}

bool SvgPicture::readShape(QXmlStreamReader& reader)
{
    const QXmlStreamAttributes attributes = reader.attributes();
    auto value = [&attributes](const char* name) { return attributes.value(QLatin1String(name)); };
    auto numberOr = [&value](const char* name, double fallback, double& result) {
        const QStringRef text = value(name);
        if (text.isNull()) {
            result = fallback;
            return true;
        }
        return number(text, result);
    };
    Shape shape;
    bool ok = true;
    shape.fill = colour(value("fill"), ok);
    shape.stroke = colour(value("stroke"), ok);
    if (value("fill").isNull())
        shape.fill = Qt::black;
    ok = ok && numberOr("stroke-width", 1, shape.strokeWidth);

    const QStringRef name = reader.name();
    if (name == QLatin1String("rect")) {
        double x = 0, y = 0, width = 0, height = 0, rx = 0, ry = 0;
        ok = ok &&
             onlyKnownAttributes(attributes, {"x", "y", "width", "height", "rx", "ry", "stroke",
                                              "fill", "stroke-width"}) &&
             numberOr("x", 0, x) && numberOr("y", 0, y) && number(value("width"), width) &&
             number(value("height"), height) && numberOr("rx", -1, rx) && numberOr("ry", -1, ry) &&
             width >= 0 && height >= 0;
        shape.kind = Kind::Rect;
        shape.rect = QRectF(x, y, width, height);
        // One radius given stands for both; neither is more than half the side.
        shape.rx = qBound(0.0, rx < 0 ? ry : rx, width / 2);
        shape.ry = qBound(0.0, ry < 0 ? rx : ry, height / 2);
        shape.bounds = shape.rect;
    } else if (name == QLatin1String("line")) {
        double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
        ok = ok &&
             onlyKnownAttributes(attributes, {"x1", "y1", "x2", "y2", "stroke", "stroke-width"}) &&
             numberOr("x1", 0, x1) && numberOr("y1", 0, y1) && numberOr("x2", 0, x2) &&
             numberOr("y2", 0, y2);
        shape.kind = Kind::Line;
        shape.line = QLineF(x1, y1, x2, y2);
        shape.bounds = QRectF(shape.line.p1(), shape.line.p2()).normalized();
    } else if (name == QLatin1String("path")) {
        ok = ok && onlyKnownAttributes(attributes, {"d", "fill", "stroke", "stroke-width"}) &&
             readPolygon(value("d"), shape.polygon, shape.closed);
        shape.kind = Kind::Polygon;
        shape.bounds = shape.polygon.boundingRect();
    } else if (name == QLatin1String("text")) {
        double x = 0, y = 0, size = 0;
        ok = ok &&
             onlyKnownAttributes(attributes, {"x", "y", "font-family", "font-size", "fill"}) &&
             numberOr("x", 0, x) && numberOr("y", 0, y) && numberOr("font-size", 16, size) &&
             size > 0;
        if (!ok)
            return false;
        shape.kind = Kind::Text;
        shape.baseline = QPointF(x, y);
        shape.font = fontIndex(value("font-family").toString(), size);
        // A child element is not the builders'. White space is collapsed as SVG does by default.
        shape.text = reader.readElementText(QXmlStreamReader::ErrorOnUnexpectedElement);
        const QString simple = shape.text.simplified();
        shape.shown = simple == shape.text ? shape.text : simple;
        shape.stroke = QColor();
        // Generous: a glyph is rarely wider than the font size.
        shape.bounds = QRectF(x, y - size * 1.5, (shape.shown.size() + 1) * size * 1.5, size * 2);
    } else {
        return false;
    }
    if (!ok)
        return false;
    if (shape.kind != Kind::Text) {
        const double half = shape.stroke.isValid() ? shape.strokeWidth / 2 + 1 : 1;
        shape.bounds.adjust(-half, -half, half, half);
    }
    all.append(std::move(shape));
    return true;
}

QColor SvgPicture::colour(const QStringRef& value, bool& ok)
{
    if (value.isNull() || value == QLatin1String("none"))
        return QColor();
    for (const auto& known : qAsConst(colours))
        if (value == known.first)
            return known.second;
    const QColor parsed(value.toString());
    ok = ok && parsed.isValid();
    colours.append({value.toString(), parsed});
    return parsed;
}

int SvgPicture::fontIndex(const QString& family, double pixelSize)
{
    for (int i = 0; i < fonts.size(); ++i)
        if (fonts.at(i).family == family && fonts.at(i).pixelSize == pixelSize)
            return i;
    fonts.append({family, pixelSize});
    return fonts.size() - 1;
}

void SvgPicture::paint(QPainter& painter, const QRectF& area) const
{
    // Raw fonts belong to the thread that made them, so each paint makes its own.
    QVector<QRawFont> rawFonts;
    QVector<QFont> plainFonts;
    for (const TextFont& wanted : fonts) {
        QFont font(wanted.family);
        font.setPixelSize(qMax(1, qRound(wanted.pixelSize)));
        QRawFont raw = QRawFont::fromFont(font);
        raw.setPixelSize(wanted.pixelSize);
        rawFonts.append(raw);
        plainFonts.append(font);
    }
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    for (const Shape& shape : all) {
        if (!shape.bounds.intersects(area))
            continue;
        switch (shape.kind) {
        case Kind::Rect:
            painter.setPen(strokePen(shape.stroke, shape.strokeWidth));
            painter.setBrush(shape.fill.isValid() ? QBrush(shape.fill) : QBrush());
            if (shape.rx > 0 && shape.ry > 0)
                painter.drawRoundedRect(shape.rect, shape.rx, shape.ry);
            else
                painter.drawRect(shape.rect);
            break;
        case Kind::Line:
            painter.setPen(strokePen(shape.stroke, shape.strokeWidth));
            painter.drawLine(shape.line);
            break;
        case Kind::Polygon:
            // An open path is filled as if closed, but its closing side is not stroked.
            painter.setPen(shape.closed ? strokePen(shape.stroke, shape.strokeWidth) : Qt::NoPen);
            painter.setBrush(shape.fill.isValid() ? QBrush(shape.fill) : QBrush());
            painter.drawPolygon(shape.polygon);
            if (!shape.closed && shape.stroke.isValid()) {
                painter.setPen(strokePen(shape.stroke, shape.strokeWidth));
                painter.drawPolyline(shape.polygon);
            }
            break;
        case Kind::Text: {
            if (!shape.fill.isValid() || shape.shown.isEmpty())
                break;
            painter.setPen(shape.fill);
            const QRawFont& raw = rawFonts.at(shape.font);
            const QVector<quint32> glyphs = raw.glyphIndexesForString(shape.shown);
            if (glyphs.contains(0)) {
                // A character the font lacks: let the text engine find a font that has it.
                painter.setFont(plainFonts.at(shape.font));
                painter.drawText(shape.baseline, shape.shown);
                break;
            }
            const QVector<QPointF> advances = raw.advancesForGlyphIndexes(
                glyphs, QRawFont::KernedAdvances | QRawFont::UseDesignMetrics);
            QVector<QPointF> positions(glyphs.size());
            QPointF pen = shape.baseline;
            for (int i = 0; i < glyphs.size(); ++i) {
                positions[i] = pen;
                pen += advances.at(i);
            }
            QGlyphRun run;
            run.setRawFont(raw);
            run.setGlyphIndexes(glyphs);
            run.setPositions(positions);
            painter.drawGlyphRun(QPointF(), run);
            break;
        }
        }
    }
    painter.restore();
}

QImage SvgPicture::image(double scale, int threads) const
{
    if (!valid || drawingSize.isEmpty() || !(scale > 0))
        return QImage();
    QImage picture = blankImage((drawingSize * scale).toSize().expandedTo(QSize(1, 1)));
    if (picture.isNull())
        return picture;
    const int height = picture.height();
    // More bands than threads, taken in turn, so that a thread done early takes another.
    const int workers = qBound(1, threads, 8);
    const int bands = qBound(1, height / 64, workers * 4);
    uchar* bits = picture.bits();
    std::atomic<int> next{0};
    auto paintBands = [&] {
        for (int band = next++; band < bands; band = next++) {
            const int top = height * band / bands;
            const int bottom = height * (band + 1) / bands;
            // A view of the band's rows of the one image: the bands share no pixels.
            QImage rows(bits + qsizetype(top) * picture.bytesPerLine(), picture.width(),
                        bottom - top, picture.bytesPerLine(), picture.format());
            rows.fill(Qt::white);
            QPainter painter(&rows);
            painter.translate(0, -top);
            painter.scale(scale, scale);
            paint(painter, QRectF(0, top / scale, picture.width() / scale, (bottom - top) / scale)
                               .adjusted(-1, -1, 1, 1));
        }
    };
    std::vector<std::thread> helpers;
    try {
        for (int worker = 1; worker < qMin(workers, bands); ++worker)
            helpers.emplace_back(paintBands);
    } catch (const std::system_error&) {
        // No more threads to be had: the bands left are painted by those that started.
    }
    paintBands();
    for (std::thread& helper : helpers)
        helper.join();
    return picture;
}
