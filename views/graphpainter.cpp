#include "graphpainter.h"

#include <QGlyphRun>
#include <QPainter>

#include <cstdlib>
#include <limits>
#include <system_error>
#include <thread>
#include <vector>

#if __has_include(<sys/mman.h>)
#include <sys/mman.h>
#endif

namespace {

QColor colour(GraphColour rgb)
{
    return QColor::fromRgb(QRgb(rgb));
}

// The pen Qt's SVG renderer strokes with: flat ends, mitred corners.
QPen strokePen(GraphColour rgb, double width)
{
    QPen pen(colour(rgb), width, Qt::SolidLine, Qt::FlatCap, Qt::SvgMiterJoin);
    pen.setMiterLimit(4);
    return pen;
}

// Generous: a glyph is rarely wider than the font size.
QRectF textBounds(const QPoint& baseline, const QString& text)
{
    const double size = GraphStyle::fontSize * 1.5;
    return QRectF(baseline.x(), baseline.y() - size, (text.size() + 1) * size, size * 2);
}

QRectF boxBounds(const GraphBox& box)
{
    QRectF bounds = QRectF(box.rect).adjusted(-2, -2, 2, 2);
    for (int i = 0; i < box.lines.size(); ++i)
        bounds |= textBounds(BoxGeometry::baseline(box.rect, i), box.lines.at(i));
    return bounds;
}

QRectF edgeBounds(const GraphEdge& edge)
{
    QRectF bounds(edge.target - QPoint(BoxGeometry::arrowLength + 1, 0),
                  QSize(BoxGeometry::arrowLength + 1, BoxGeometry::lineHeight));
    for (const QPoint& corner : edge.route)
        bounds |= QRectF(corner, QSizeF(0, 0)).adjusted(-1, -1, 1, 1);
    return bounds;
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

} // namespace

GraphPainter::GraphPainter() : font(QString::fromLatin1(GraphStyle::fontFamily))
{
    font.setPixelSize(GraphStyle::fontSize);
    // The SVG renderer lays its texts out at 100 pixels and scales them down, so its glyphs
    // are not hinted to the pixel grid: neither are these.
    font.setHintingPreference(QFont::PreferNoHinting);
    rawFont = QRawFont::fromFont(font);
    rawFont.setPixelSize(GraphStyle::fontSize);
}

void GraphPainter::paint(QPainter& painter, const GraphDrawing& drawing, const QRectF& area)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);

    const QPen line = strokePen(GraphStyle::ink, 1);
    const QBrush ink(colour(GraphStyle::ink));
    for (const GraphEdge& edge : drawing.edges) {
        if (!edgeBounds(edge).intersects(area))
            continue;
        const auto head = BoxGeometry::arrowHead(edge.target);
        const QPointF triangle[3] = {head[0], head[1], head[2]};
        painter.setPen(Qt::NoPen);
        painter.setBrush(ink);
        painter.drawPolygon(triangle, 3);
        painter.setPen(line);
        for (int k = 1; k < edge.route.size(); ++k)
            painter.drawLine(QPointF(edge.route.at(k - 1)), QPointF(edge.route.at(k)));
    }

    const QPen mark = strokePen(GraphStyle::conclusion, BoxGeometry::markStrokeWidth);
    const double markRadius = BoxGeometry::markRadius;
    if (const auto& legend = drawing.legend) {
        painter.setPen(mark);
        painter.setBrush(Qt::NoBrush);
        painter.drawRoundedRect(QRectF(legend->sample), markRadius, markRadius);
        text(painter, legend->baseline, legend->text);
    }

    const double radius = BoxGeometry::cornerRadius;
    for (const GraphBox& box : drawing.boxes) {
        if (!boxBounds(box).intersects(area))
            continue;
        // SVG draws a corner radius of at most half the side.
        const QRectF rect(box.rect);
        painter.setPen(strokePen(box.colours.stroke, 1));
        painter.setBrush(colour(box.colours.fill));
        painter.drawRoundedRect(rect, qMin(radius, rect.width() / 2),
                                qMin(radius, rect.height() / 2));
        for (int i = 0; i < box.lines.size(); ++i)
            text(painter, BoxGeometry::baseline(box.rect, i), box.lines.at(i));
        if (box.markedLine >= 0) {
            const QRectF outline(BoxGeometry::mark(box.rect, box.markedLine));
            painter.setPen(mark);
            painter.setBrush(Qt::NoBrush);
            painter.drawRoundedRect(outline, qMin(markRadius, outline.width() / 2),
                                    qMin(markRadius, outline.height() / 2));
        }
    }
    painter.restore();
}

void GraphPainter::text(QPainter& painter, const QPoint& baseline, const QString& text)
{
    // SVG collapses white space in a text unless told otherwise.
    const QString shown = text.simplified();
    if (shown.isEmpty())
        return;
    painter.setPen(colour(GraphStyle::ink));
    const QVector<quint32> glyphs = rawFont.glyphIndexesForString(shown);
    if (glyphs.contains(0)) {
        // A character the font lacks: the text engine finds a font that has it.
        painter.setFont(font);
        painter.drawText(baseline, shown);
        return;
    }
    const QVector<QPointF> advances = rawFont.advancesForGlyphIndexes(
        glyphs, QRawFont::KernedAdvances | QRawFont::UseDesignMetrics);
    QVector<QPointF> positions(glyphs.size());
    QPointF pen = baseline;
    for (int i = 0; i < glyphs.size(); ++i) {
        positions[i] = pen;
        pen += advances.at(i);
    }
    QGlyphRun run;
    run.setRawFont(rawFont);
    run.setGlyphIndexes(glyphs);
    run.setPositions(positions);
    painter.drawGlyphRun(QPointF(), run);
}

QImage GraphPainter::image(const GraphDrawing& drawing, double scale, int threads,
                           const std::atomic<bool>* cancelled)
{
    if (drawing.size.isEmpty() || !(scale > 0))
        return QImage();
    QImage picture = blankImage((QSizeF(drawing.size) * scale).toSize().expandedTo(QSize(1, 1)));
    if (picture.isNull())
        return picture;
    const int height = picture.height();
    // More bands than threads, taken in turn, so that a thread done early takes another.
    const int workers = qBound(1, threads, 8);
    const int bands = qBound(1, height / 64, workers * 4);
    uchar* bits = picture.bits();
    std::atomic<int> next{0};
    auto paintBands = [&] {
        GraphPainter painter;
        for (int band = next++; band < bands; band = next++) {
            if (cancelled && *cancelled)
                return;
            const int top = height * band / bands;
            const int bottom = height * (band + 1) / bands;
            // A view of the band's rows of the one image: the bands share no pixels.
            QImage rows(bits + qsizetype(top) * picture.bytesPerLine(), picture.width(),
                        bottom - top, picture.bytesPerLine(), picture.format());
            rows.fill(Qt::white);
            QPainter device(&rows);
            device.translate(0, -top);
            device.scale(scale, scale);
            painter.paint(device, drawing,
                          QRectF(0, top / scale, picture.width() / scale, (bottom - top) / scale)
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
    if (cancelled && *cancelled)
        return QImage();
    return picture;
}
