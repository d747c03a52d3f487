#ifndef LINENUMBERAREA_H
#define LINENUMBERAREA_H

#include <QList>
#include <QPointer>
#include <QWidget>

class CodeEditor;
class GutterPainter;

// The line-number gutter of a CodeEditor; the editor computes its width and paints it, then the
// gutter painters handed to it paint over it in the order they came.
class LineNumberArea : public QWidget {
public:
    explicit LineNumberArea(CodeEditor* editor);

    QSize sizeHint() const override;
    void addPainter(GutterPainter* painter);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    CodeEditor* codeEditor;
    QList<QPointer<GutterPainter>> painters;
};

#endif
