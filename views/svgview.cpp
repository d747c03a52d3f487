#include "svgview.h"

#include "dialogs.h"
#include "filenames.h"
#include "svgpicture.h"
#include "svgpictureitem.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QFutureInterface>
#include <QFutureWatcher>
#include <QGraphicsScene>
#include <QGraphicsSvgItem>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QSvgRenderer>
#include <QThread>
#include <QThreadPool>
#include <QWheelEvent>

#include <cmath>

SvgView::SvgView(QWidget* parent)
    : QGraphicsView(parent), saveAsAction(nullptr), drawingItem(nullptr), renderer(nullptr)
{
    setScene(new QGraphicsScene(this));
    setTransformationAnchor(AnchorUnderMouse);
    setDragMode(ScrollHandDrag);
    setViewportUpdateMode(FullViewportUpdate);

    saveAsAction =
        new QAction(QIcon(QStringLiteral(":/resources/save-as.png")), tr("&Save As..."), this);
    saveAsAction->setShortcuts(QKeySequence::SaveAs);
    saveAsAction->setStatusTip(tr("Save current SVG file as..."));
    connect(saveAsAction, SIGNAL(triggered()), this, SLOT(saveAs()));

    fitToWindowAction = new QAction(tr("&Fit to Window"), this);
    fitToWindowAction->setStatusTip(tr("Scale the drawing to fit the view"));
    connect(fitToWindowAction, &QAction::triggered, this, &SvgView::fitToWindow);
    actualAction = new QAction(tr("&Actual Size"), this);
    actualAction->setStatusTip(tr("Show the drawing at its own size"));
    connect(actualAction, &QAction::triggered, this, &SvgView::actualSize);
    copyAction =
        new QAction(QIcon(QStringLiteral(":/resources/copy.png")), tr("&Copy as Image"), this);
    copyAction->setStatusTip(tr("Copy the drawing to the clipboard as an image"));
    connect(copyAction, &QAction::triggered, this, &SvgView::copyAsImage);
}

SvgView::~SvgView()
{
    scene()->clear();
    delete renderer;
}

void SvgView::load(QString svg)
{
    svgText = std::move(svg);
    // The old item goes with the scene's items before the renderer it may share is deleted.
    scene()->clear();
    delete renderer;
    renderer = nullptr;
    picture = SvgPicture(svgText);
    if (picture.isValid()) {
        drawingItem = new SvgPictureItem(picture);
        textBoxes = SvgTextBoxes(picture);
    } else {
        // Not a drawing of the graph builders: the SVG renderer draws it.
        renderer = new QSvgRenderer(svgText.toUtf8());
        auto* item = new QGraphicsSvgItem();
        item->setSharedRenderer(renderer);
        drawingItem = item;
        textBoxes = SvgTextBoxes(svgText);
    }
    resetTransform();
    scene()->addItem(drawingItem);
}

bool SvgView::hasDrawing() const
{
    return drawingItem && !drawingItem->boundingRect().isEmpty();
}

void SvgView::setHighQualityAntialiasing(bool highQualityAntialiasing)
{
    // Deprecated in Qt 5.15 (it maps to plain antialiasing on most paint engines) but still
    // the hint this slot is named after.
    QT_WARNING_PUSH
    QT_WARNING_DISABLE_DEPRECATED
    setRenderHint(QPainter::HighQualityAntialiasing, highQualityAntialiasing);
    QT_WARNING_POP
}

bool SvgView::saveAs()
{
    const QString name =
        Dialogs::getSaveFileName(this, tr("Save as..."), QString(), tr("SVG Files (*.svg)"));
    if (name.isEmpty())
        return false;
    // Written to a temporary file that replaces the old one only when complete, as documents and
    // memory dumps are; a failure is reported, not passed over.
    const QString fileName = withSvgSuffix(name);
    return Dialogs::writeFileOrWarn(window(), fileName, svgText.toUtf8(), true);
}

void SvgView::wheelEvent(QWheelEvent* event)
{
    const double factor = std::pow(1.2, event->angleDelta().y() / 240.0);
    scale(factor, factor);
    event->accept();
}

void SvgView::contextMenuEvent(QContextMenuEvent* event)
{
    const bool drawn = hasDrawing();
    fitToWindowAction->setEnabled(drawn);
    actualAction->setEnabled(drawn);
    copyAction->setEnabled(drawn);
    QMenu menu(this);
    menu.addAction(saveAsAction);
    menu.addAction(fitToWindowAction);
    menu.addAction(actualAction);
    menu.addAction(copyAction);
    menu.exec(event->globalPos());
}

void SvgView::fitToWindow()
{
    if (hasDrawing())
        fitInView(drawingItem, Qt::KeepAspectRatio);
}

void SvgView::actualSize()
{
    resetTransform();
}

QImage SvgView::image() const
{
    return picture.isValid() ? imageOf(picture) : renderImage(svgText.toUtf8());
}

QImage SvgView::renderImage(const QByteArray& svg)
{
    const SvgPicture drawing(svg);
    if (drawing.isValid())
        return imageOf(drawing);
    QSvgRenderer renderer(svg);
    const QSizeF size = renderer.defaultSize();
    if (!renderer.isValid() || size.isEmpty())
        return QImage();
    const double scale = imageScale(size);
    QImage image((size * scale).toSize().expandedTo(QSize(1, 1)), QImage::Format_ARGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    renderer.render(&painter, QRectF(QPointF(0, 0), size * scale));
    return image;
}

// The graph builders' drawings are painted directly, in bands on all cores.
QImage SvgView::imageOf(const SvgPicture& drawing)
{
    const QSizeF size = drawing.size();
    if (size.isEmpty())
        return QImage();
    return drawing.image(imageScale(size), QThread::idealThreadCount());
}

double SvgView::imageScale(const QSizeF& size)
{
    return qMin(1.0, MaxImageSide / qMax(size.width(), size.height()));
}

void SvgView::copyAsImage()
{
    if (!hasDrawing())
        return;
    // The watcher belongs to the view: if the view goes first, the finished image is dropped.
    QFutureInterface<QImage> promise;
    promise.reportStarted();
    auto* watcher = new QFutureWatcher<QImage>(this);
    connect(watcher, &QFutureWatcher<QImage>::finished, this, [this, watcher] {
        const QImage drawing = watcher->result();
        watcher->deleteLater();
        if (drawing.isNull())
            return;
        QApplication::clipboard()->setImage(drawing);
        emit imageCopied();
    });
    watcher->setFuture(promise.future());
    QThreadPool::globalInstance()->start(
        QRunnable::create([promise, drawing = picture,
                           svg = picture.isValid() ? QByteArray() : svgText.toUtf8()]() mutable {
            const QImage image = drawing.isValid() ? imageOf(drawing) : renderImage(svg);
            promise.reportResult(image);
            promise.reportFinished();
        }));
}

void SvgView::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton) {
        fitToWindow();
        event->accept();
        return;
    }
    QGraphicsView::mouseDoubleClickEvent(event);
}

void SvgView::mousePressEvent(QMouseEvent* event)
{
    pressedAt = event->pos();
    QGraphicsView::mousePressEvent(event);
}

// A release close to where the button went down is a click; anything longer was a drag that
// panned the view.
void SvgView::mouseReleaseEvent(QMouseEvent* event)
{
    QGraphicsView::mouseReleaseEvent(event);
    if (event->button() != Qt::LeftButton ||
        (event->pos() - pressedAt).manhattanLength() >= QApplication::startDragDistance())
        return;
    const QString text = textBoxes.textAt(mapToScene(event->pos()));
    if (!text.isEmpty())
        emit textClicked(text);
}
