#include "questiontree.h"

#include "graphrecords.h"
#include "xmltext.h"

#include <QHash>
#include <QQueue>
#include <QSet>

QuestionTree decodeQuestionTree(const char* data, std::size_t size)
{
    QuestionTree tree;
    DerivationNode root;
    root.label = QByteArrayLiteral("root");
    root.level = 0xffffffffu;
    tree.nodes.insert(0, root);

    GraphRecordReader reader(data, size);
    quint32 linkCount = 0, labelCount = 0, attributeCount = 0;
    if (!reader.readHeader(linkCount, labelCount, attributeCount))
        return tree;

    // Every successful read consumes at least one byte, so these loops end with the message
    // whatever the counts say.
    for (quint32 i = 0; i < linkCount; ++i) {
        DerivationLink link;
        if (!reader.readId(link.parent) || !reader.readId(link.child))
            return tree;
        tree.links.append(link);
    }

    const bool labelsRead =
        reader.readTextRecords(labelCount, [&](quint64 id, const QByteArray& label) {
            if (!tree.nodes.contains(id)) {
                DerivationNode node;
                node.label = label;
                tree.nodes.insert(id, node);
            }
        });
    if (!labelsRead)
        return tree;

    int genCounter = 0;
    int processCounter = 0;
    for (quint32 i = 0; i < attributeCount; ++i) {
        quint64 id = 0;
        quint64 word = 0;
        if (!reader.readId(id) || !reader.readId(word))
            return tree;
        DerivationNode& node = tree.nodes[id];
        const quint8 kind = static_cast<quint8>(word & 0xff);
        if (node.level == 0)
            node.level = static_cast<quint32>((word >> 8) & 0xffffff);
        node.threadId = static_cast<qint32>(static_cast<quint32>((word >> 16) & 0xffffffffu));
        if (kind == 2)
            node.genNumber = genCounter++;
        if (kind == 4)
            node.processNumber = processCounter++;
        node.flags |= kind;
    }
    return tree;
}

namespace {

// Breadth-first walk from the root, meeting every id at most once.
QVector<DerivationLink> walkFromRoot(const QVector<DerivationLink>& links)
{
    QHash<quint64, QVector<quint64>> children;
    for (const DerivationLink& link : links)
        children[link.parent].append(link.child);

    QVector<DerivationLink> edges;
    QSet<quint64> met{0};
    QQueue<quint64> queue;
    queue.enqueue(0);
    while (!queue.isEmpty()) {
        const quint64 parent = queue.dequeue();
        const auto found = children.constFind(parent);
        if (found == children.constEnd())
            continue;
        for (quint64 child : *found) {
            if (met.contains(child))
                continue;
            met.insert(child);
            edges.append({parent, child});
            queue.enqueue(child);
        }
    }
    return edges;
}

} // namespace

QString derivationBoxText(const DerivationNode& node)
{
    return xmlSafe(QString::fromUtf8(node.label)) + QLatin1String(" [Level: ") +
           QString::number(node.level) + QLatin1String(" ThreadId: ") +
           QString::number(node.threadId) + QLatin1String(" Gen#: ") +
           QString::number(node.genNumber) + QLatin1String(" Proccess#: ") +
           QString::number(node.processNumber) + QLatin1String(" ]");
}

namespace {

constexpr int firstColumnX = 40;
// Room between two columns; the arrow heads take its last 9 units.
constexpr int columnGap = 45;
constexpr int arrowLength = BoxGeometry::arrowLength;
// Where lines turn inside the gap after a column and inside the gap before one.
constexpr int turnOut = 18;
constexpr int turnIn = 18;
constexpr int firstRowY = 20;
constexpr int rowStep = 30;
// Between a box's row and the next one down: boxes stand on rows 30 apart and are 18 high, so
// a line 24 below a box top passes between the boxes of every column.
constexpr int corridorOffset = 24;

} // namespace

QuestionTreeLayout layoutQuestionTree(const QuestionTree& tree)
{
    QuestionTreeLayout layout;
    layout.nodes = tree.nodes;
    layout.edges = walkFromRoot(tree.links);
    const int count = layout.edges.size();

    // Columns, in walk order: a change of level starts a new column, and so does a child whose
    // parent stands in the current column, so that every child stands right of its parent.
    // Node records do not move while the map grows, so the pointers stay valid.
    QVector<DerivationNode*> records(count);
    QVector<int> columns(count);
    QHash<quint64, int> indexOf; // position in the walk order; the root has none
    indexOf.reserve(count);
    int column = 0;
    quint32 columnLevel = 0;
    layout.order.reserve(count);
    for (int i = 0; i < count; ++i) {
        const DerivationLink& edge = layout.edges.at(i);
        layout.order.append(edge.child);
        records[i] = &layout.nodes[edge.child];
        const int parent = indexOf.value(edge.parent, -1);
        if (records[i]->level != columnLevel || (parent >= 0 && columns.at(parent) == column)) {
            ++column;
            columnLevel = records[i]->level;
        }
        columns[i] = column;
        indexOf.insert(edge.child, i);
    }

    // Rows, from the last child met to the first: each column fills from the top down with the
    // children met last; the first column walked starts one step down.
    int y = firstRowY;
    int rowColumn = count > 0 ? columns.constLast() : 0;
    for (int i = count - 1; i >= 0; --i) {
        if (columns.at(i) == rowColumn) {
            y += rowStep;
        } else {
            y = firstRowY;
            rowColumn = columns.at(i);
        }
        records[i]->y = y;
    }

    // Boxes: each column stands 45 right of the widest box of the one before.
    QVector<int> columnX{firstColumnX};
    QVector<int> columnWidth{0};
    int largestY = 0;
    layout.texts.reserve(count);
    for (int i = 0; i < count; ++i) {
        DerivationNode& node = *records[i];
        const int c = columns.at(i);
        while (columnX.size() <= c) {
            columnX.append(columnX.constLast() + columnGap + columnWidth.constLast());
            columnWidth.append(0);
        }
        largestY = qMax(largestY, node.y);
        layout.texts.append(derivationBoxText(node));
        node.x = columnX.at(c);
        node.width = BoxGeometry::boxWidth(xmlEscapedLength(layout.texts.constLast()));
        node.height = BoxGeometry::lineHeight;
        columnWidth[c] = qMax(columnWidth.at(c), node.width);
    }
    layout.width = columnX.constLast() + 40 + columnWidth.constLast();
    layout.height = largestY + 40;
    if (count == 0)
        return layout;

    // The root: a zero-width anchor 30 left of the first box, on its row.
    DerivationNode anchor = *records[0];
    anchor.x -= 30;
    anchor.width = 0;
    layout.nodes[0] = anchor;

    layout.routes.reserve(count);
    for (int i = 0; i < count; ++i) {
        const int p = indexOf.value(layout.edges.at(i).parent, -1);
        const DerivationNode& parent = p >= 0 ? *records[p] : anchor;
        const DerivationNode& child = *records[i];
        const int from = parent.y + parent.height / 2;
        const int to = child.y + parent.height / 2;
        QVector<QPoint> route{QPoint(qMax(0, parent.x + parent.width), from)};
        // Along the parent's row to the right edge of its column (the anchor stands alone).
        const int right =
            p >= 0 ? columnX.at(columns.at(p)) + columnWidth.at(columns.at(p)) : route.first().x();
        if (route.constLast().x() < right)
            route.append(QPoint(right, from));
        const bool adjacent = columns.at(i) == (p >= 0 ? columns.at(p) + 1 : columns.at(0));
        if (!adjacent) {
            // Down the gap after the parent's column, along the corridor below the parent's
            // row, and up or down the gap before the child's column.
            const int out = p >= 0 ? right + turnOut : right;
            const int in = columnX.at(columns.at(i)) - turnIn;
            const int corridor = parent.y + corridorOffset;
            if (route.constLast().x() < out)
                route.append(QPoint(out, from));
            route << QPoint(out, corridor) << QPoint(in, corridor) << QPoint(in, to);
        }
        route.append(QPoint(qMax(0, child.x - arrowLength), to));
        layout.routes.append(route);
    }
    return layout;
}

GraphDrawing questionTreeDrawing(const QuestionTree& tree)
{
    const QuestionTreeLayout layout = layoutQuestionTree(tree);
    GraphDrawing drawing;
    drawing.size = QSize(layout.width, layout.height);
    drawing.edges.reserve(layout.edges.size());
    for (int i = 0; i < layout.edges.size(); ++i) {
        const DerivationNode& child = layout.nodes.find(layout.edges.at(i).child).value();
        drawing.edges.append(GraphEdge{layout.routes.at(i), QPoint(child.x, child.y)});
    }
    drawing.boxes.reserve(layout.order.size());
    for (int i = 0; i < layout.order.size(); ++i) {
        const DerivationNode& node = layout.nodes.find(layout.order.at(i)).value();
        GraphBox box;
        box.kind = GraphBox::SingleLine;
        box.rect = QRect(node.x, node.y, node.width, node.height);
        box.colours = GraphStyle::derivationColoursForFlags(node.flags);
        box.lines = QStringList{layout.texts.at(i)};
        drawing.boxes.append(box);
    }
    return drawing;
}
