#ifndef SVGVIEW_H
#define SVGVIEW_H

#include "svgpicture.h"
#include "svgtextboxes.h"

#include <QGraphicsView>
#include <QImage>
#include <QPoint>
#include <QString>

class QAction;
class QGraphicsItem;
class QSvgRenderer;

// Shows one SVG document given as text: wheel zoom, hand-drag panning and a context menu that
// saves the exact text to a file, fits the drawing to the window (also on double-click), shows
// it at actual size or copies it to the clipboard as an image. A click on a line of text (not a
// drag) reports that text.
class SvgView : public QGraphicsView {
    Q_OBJECT

public:
    explicit SvgView(QWidget* parent = nullptr);
    ~SvgView() override;

    // Replaces the drawing and resets the zoom.
    void load(QString svg);

    // The text last given to load().
    const QString& text() const { return svgText; }

    // The drawing at scale 1, or scaled down to fit MaxImageSide on its longer side.
    QImage image() const;
    static constexpr int MaxImageSide = 8192;
    // The same for any document given as UTF-8; safe on any thread.
    static QImage renderImage(const QByteArray& svg);

    QAction* fitAction() const { return fitToWindowAction; }
    QAction* actualSizeAction() const { return actualAction; }
    QAction* copyImageAction() const { return copyAction; }

signals:
    // The user clicked the line of text `text` (unescaped) of the drawing.
    void textClicked(const QString& text);
    // Copy as Image has put the drawing on the clipboard.
    void imageCopied();

public slots:
    void setHighQualityAntialiasing(bool highQualityAntialiasing);
    bool saveAs();
    void fitToWindow();
    void actualSize();
    // Renders the drawing on other threads and puts it on the clipboard when it is ready; the
    // view stays responsive meanwhile.
    void copyAsImage();

protected:
    void wheelEvent(QWheelEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    bool hasDrawing() const;
    static QImage imageOf(const SvgPicture& drawing);
    static double imageScale(const QSizeF& size);

    QAction* saveAsAction;
    QGraphicsItem* drawingItem;
    QSvgRenderer* renderer; // only for documents that SvgPicture does not read
    SvgPicture picture;
    QString svgText;
    QAction* fitToWindowAction;
    QAction* actualAction;
    QAction* copyAction;
    SvgTextBoxes textBoxes;
    QPoint pressedAt;
};

#endif
