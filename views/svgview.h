#ifndef SVGVIEW_H
#define SVGVIEW_H

#include <QGraphicsView>
#include <QString>

class QAction;
class QGraphicsSvgItem;
class QSvgRenderer;

// Shows one SVG document given as text: wheel zoom, hand-drag panning and a context menu that
// saves the exact text to a file.
class SvgView : public QGraphicsView {
    Q_OBJECT

public:
    explicit SvgView(QWidget* parent = nullptr);
    ~SvgView() override;

    // Replaces the drawing and resets the zoom.
    void load(QString svg);

    // The text last given to load().
    const QString& text() const { return svgText; }

public slots:
    void setHighQualityAntialiasing(bool highQualityAntialiasing);
    bool saveAs();

protected:
    void wheelEvent(QWheelEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    QAction* saveAsAction;
    QGraphicsSvgItem* svgItem;
    QSvgRenderer* renderer;
    QString svgText;
};

#endif
