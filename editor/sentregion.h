#ifndef SENTREGION_H
#define SENTREGION_H

#include "gutterpainter.h"

#include <QColor>
#include <QSet>
#include <QVector>

class CodeEditor;

// The lines of a document that the engine has received (by Step Forward, Run, Run to Cursor),
// in the order they were last sent, shown as a stripe in the gutter: green for a sent line,
// red for a sent line with an error mark. An edit at or above the last sent line changes what
// the engine has seen and clears the region; lines added below it keep it. Made as a child of
// its editor, whose gutter it paints from then on.
class SentRegion : public GutterPainter {
    Q_OBJECT

public:
    explicit SentRegion(CodeEditor* editor);

    static QColor sentColour() { return QColor(0x73, 0xd2, 0x16); }
    static QColor errorColour() { return QColor(0xef, 0x29, 0x29); }

    // 1-based lines; a line sent again moves to the end of the order.
    void markSent(int first, int last);
    void markSent(int line) { markSent(line, line); }
    void clear();
    bool isEmpty() const { return order.isEmpty(); }
    bool isSent(int line) const { return sent.contains(line); }
    const QVector<int>& lines() const { return order; }
    int highestLine() const { return highest; }

    void paintGutter(QPainter& painter, QWidget* gutter, const QRect& rect) override;

private:
    void contentsChange(int position, int removed, int added);
    bool hasError(int line) const;

    CodeEditor* editor;
    QVector<int> order;
    QSet<int> sent;
    int highest = 0;
    int revision;
};

#endif
