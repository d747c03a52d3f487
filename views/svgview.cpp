#include "svgview.h"

#include "dialogs.h"
#include "filenames.h"
#include "graphitem.h"
#include "graphpainter.h"
#include "svgwriter.h"

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

SvgView::SvgView(QWidget* parent) : QGraphicsView(parent), saveAsAction(nullptr)
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
    if (copyCancelled)
        *copyCancelled = true;
    scene()->clear();
    delete renderer;
}

void SvgView::load(QString svg)
{
    svgText = std::move(svg);
    graph.reset();
    // The old item goes with the scene's items before the renderer it may share is deleted.
    scene()->clear();
    delete renderer;
    renderer = new QSvgRenderer(svgText.toUtf8());
    auto* item = new QGraphicsSvgItem();
    item->setSharedRenderer(renderer);
    replaceItem(item);
}

void SvgView::setDrawing(const GraphDrawing& drawing)
{
    svgText.clear();
    graph = drawing;
    scene()->clear();
    delete renderer;
    renderer = nullptr;
    replaceItem(new GraphItem(drawing));
}

void SvgView::replaceItem(QGraphicsItem* item)
{
    drawingItem = item;
    resetTransform();
    scene()->addItem(drawingItem);
}

QString SvgView::text() const
{
    return graph ? svgDocument(*graph) : svgText;
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
    return Dialogs::writeFileOrWarn(window(), fileName, text().toUtf8(), true);
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
    return graph ? imageOf(*graph, nullptr) : imageOf(svgText.toUtf8());
}

// A graph is painted from its layout, in bands on all cores.
QImage SvgView::imageOf(const GraphDrawing& drawing, const std::atomic<bool>* cancelled)
{
    const QSizeF size(drawing.size);
    if (size.isEmpty())
        return QImage();
    return GraphPainter::image(drawing, imageScale(size), QThread::idealThreadCount(), cancelled);
}

QImage SvgView::imageOf(const QByteArray& svg)
{
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

double SvgView::imageScale(const QSizeF& size)
{
    return qMin(1.0, MaxImageSide / qMax(size.width(), size.height()));
}

void SvgView::copyAsImage()
{
    if (!hasDrawing())
        return;
    if (copying) {
        // The render under way stops early; when it has, one render of what the view shows
        // then follows, however many requests came meanwhile.
        *copyCancelled = true;
        copyAgain = true;
        return;
    }
    startCopy();
}

void SvgView::startCopy()
{
    copying = true;
    copyAgain = false;
    copyCancelled = std::make_shared<std::atomic<bool>>(false);
    // The watcher belongs to the view: if the view goes first, the finished image is dropped.
    QFutureInterface<QImage> promise;
    promise.reportStarted();
    auto* watcher = new QFutureWatcher<QImage>(this);
    connect(watcher, &QFutureWatcher<QImage>::finished, this, [this, watcher] {
        const QImage drawing = watcher->result();
        watcher->deleteLater();
        copying = false;
        if (copyAgain) {
            if (hasDrawing())
                startCopy();
            return;
        }
        if (drawing.isNull())
            return;
        QApplication::clipboard()->setImage(drawing);
        emit imageCopied();
    });
    watcher->setFuture(promise.future());
    QThreadPool::globalInstance()->start(
        QRunnable::create([promise, drawing = graph, svg = graph ? QByteArray() : svgText.toUtf8(),
                           cancelled = copyCancelled]() mutable {
            promise.reportResult(drawing ? imageOf(*drawing, cancelled.get()) : imageOf(svg));
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
    if (!graph)
        return;
    const QString text = graph->lineAt(mapToScene(event->pos()));
    if (!text.isEmpty())
        emit textClicked(text);
}
