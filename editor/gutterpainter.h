#ifndef GUTTERPAINTER_H
#define GUTTERPAINTER_H

#include <QObject>

class QPainter;
class QRect;
class QWidget;

// Something drawn over an editor's line-number gutter after the numbers. A painter is handed to
// its editor (CodeEditor::addGutterPainter), which asks it to paint with the gutter and repaints
// the gutter when it signals a change.
class GutterPainter : public QObject {
    Q_OBJECT

public:
    using QObject::QObject;

    // `rect` is the part of the gutter being repainted, in the gutter's (and the viewport's
    // vertical) coordinates.
    virtual void paintGutter(QPainter& painter, QWidget* gutter, const QRect& rect) = 0;

signals:
    // What the painter draws has changed.
    void changed();
};

#endif
