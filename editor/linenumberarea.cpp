#include "linenumberarea.h"

#include "codeeditor.h"
#include "gutterpainter.h"

#include <QPainter>

LineNumberArea::LineNumberArea(CodeEditor* editor) : QWidget(editor), codeEditor(editor) {}

QSize LineNumberArea::sizeHint() const
{
    return QSize(codeEditor->lineNumberAreaWidth(), 0);
}

void LineNumberArea::addPainter(GutterPainter* painter)
{
    painters.append(painter);
    connect(painter, &GutterPainter::changed, this, [this] { update(); });
}

void LineNumberArea::paintEvent(QPaintEvent* event)
{
    codeEditor->lineNumberAreaPaintEvent(event);
    for (GutterPainter* painter : qAsConst(painters)) {
        if (painter) {
            QPainter on(this);
            painter->paintGutter(on, this, event->rect());
        }
    }
}
