#ifndef SVGVIEW_H
#define SVGVIEW_H

#include "graphdrawing.h"

#include <QGraphicsView>
#include <QImage>
#include <QPoint>
#include <QString>

#include <atomic>
#include <memory>
#include <optional>

class QAction;
class QGraphicsItem;
class QSvgRenderer;

// Shows a graph drawing, or any SVG document given as text: wheel zoom, hand-drag panning and a
// context menu that saves the drawing as an SVG file, fits it to the window (also on
// double-click), shows it at actual size or copies it to the clipboard as an image. A click on a
// line of a graph's box (not a drag) reports that line's text.
class SvgView : public QGraphicsView {
    Q_OBJECT

public:
    explicit SvgView(QWidget* parent = nullptr);
    ~SvgView() override;

    // Replaces the drawing by an SVG document, drawn by Qt's SVG renderer, and resets the zoom.
    // Save As writes the exact text.
    void load(QString svg);
    // Replaces the drawing by a graph, painted from its layout, and resets the zoom. Save As
    // writes its SVG document (svgwriter.h).
    void setDrawing(const GraphDrawing& drawing);

    // The SVG text that Save As writes.
    QString text() const;

    // The drawing at scale 1, or scaled down to fit MaxImageSide on its longer side.
    QImage image() const;
    static constexpr int MaxImageSide = 8192;

    // Whether a Copy as Image is being rendered.
    bool isCopying() const { return copying; }

    QAction* fitAction() const { return fitToWindowAction; }
    QAction* actualSizeAction() const { return actualAction; }
    QAction* copyImageAction() const { return copyAction; }

signals:
    // The user clicked the line `text` of a box of the graph.
    void textClicked(const QString& text);
    // Copy as Image has put the drawing on the clipboard.
    void imageCopied();

public slots:
    void setHighQualityAntialiasing(bool highQualityAntialiasing);
    bool saveAs();
    void fitToWindow();
    void actualSize();
    // Renders the drawing on other threads and puts it on the clipboard when it is ready; the
    // view stays responsive meanwhile. The latest request wins: a render still running is
    // cancelled, and one render for the newest request follows it.
    void copyAsImage();

protected:
    void wheelEvent(QWheelEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void replaceItem(QGraphicsItem* item);
    bool hasDrawing() const;
    void startCopy();
    static QImage imageOf(const GraphDrawing& drawing, const std::atomic<bool>* cancelled);
    static QImage imageOf(const QByteArray& svg);
    static double imageScale(const QSizeF& size);

    QAction* saveAsAction;
    QGraphicsItem* drawingItem = nullptr;
    QSvgRenderer* renderer = nullptr; // for a document given as text
    QString svgText;
    std::optional<GraphDrawing> graph;
    QAction* fitToWindowAction;
    QAction* actualAction;
    QAction* copyAction;
    QPoint pressedAt;

    bool copying = false;
    bool copyAgain = false; // asked for while a render ran
    std::shared_ptr<std::atomic<bool>> copyCancelled;
};

#endif
