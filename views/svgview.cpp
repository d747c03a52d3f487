#include "svgview.h"

#include "dialogs.h"
#include "filenames.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QGraphicsScene>
#include <QGraphicsSvgItem>
#include <QMenu>
#include <QSaveFile>
#include <QSvgRenderer>
#include <QWheelEvent>

#include <cmath>

SvgView::SvgView(QWidget* parent)
    : QGraphicsView(parent), saveAsAction(nullptr), svgItem(nullptr), renderer(nullptr)
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
}

SvgView::~SvgView()
{
    scene()->clear();
    delete renderer;
}

void SvgView::load(QString svg)
{
    svgText = std::move(svg);
    const QByteArray bytes = svgText.toUtf8();
    // The old item goes with the scene's items before the renderer it shares is deleted.
    scene()->clear();
    delete renderer;
    renderer = new QSvgRenderer(bytes);
    svgItem = new QGraphicsSvgItem();
    svgItem->setSharedRenderer(renderer);
    resetTransform();
    scene()->addItem(svgItem);
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
    QSaveFile file(fileName);
    const QByteArray bytes = svgText.toUtf8();
    if (file.open(QIODevice::WriteOnly | QIODevice::Text) && file.write(bytes) == bytes.size() &&
        file.commit())
        return true;
    Dialogs::warnCannotWrite(window(), fileName, file.errorString());
    return false;
}

void SvgView::wheelEvent(QWheelEvent* event)
{
    const double factor = std::pow(1.2, event->angleDelta().y() / 240.0);
    scale(factor, factor);
    event->accept();
}

void SvgView::contextMenuEvent(QContextMenuEvent* event)
{
    QMenu menu(this);
    menu.addAction(saveAsAction);
    menu.exec(event->globalPos());
}
