#ifndef GUTTERPAINTER_H
#define GUTTERPAINTER_H

#include <QObject>

class QPainter;
class QRect;
class QWidget;

// Something drawn over an editor's line-number gutter after the numbers. Painters are direct
// children of the editor; the gutter asks each of them to paint.
class GutterPainter : public QObject {
    Q_OBJECT

public:
    using QObject::QObject;

    // `rect` is the part of the gutter being repainted, in the gutter's (and the viewport's
    // vertical) coordinates.
    virtual void paintGutter(QPainter& painter, QWidget* gutter, const QRect& rect) = 0;

    static void paintAll(QWidget* editor, QWidget* gutter, const QRect& rect);
};

#endif
