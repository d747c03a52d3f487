#include "questiontree.h"

#include "graphrecords.h"
#include "svgbuilder.h"

#include <QHash>
#include <QQueue>
#include <QSet>

#include <algorithm>

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
    return QString::fromUtf8(node.label).toHtmlEscaped() + QLatin1String(" [Level: ") +
           QString::number(node.level) + QLatin1String(" ThreadId: ") +
           QString::number(node.threadId) + QLatin1String(" Gen#: ") +
           QString::number(node.genNumber) + QLatin1String(" Proccess#: ") +
           QString::number(node.processNumber) + QLatin1String(" ]");
}

QuestionTreeLayout layoutQuestionTree(const QuestionTree& tree)
{
    QuestionTreeLayout layout;
    layout.nodes = tree.nodes;
    layout.edges = walkFromRoot(tree.links);

    // Rows, from the last child met to the first: a run of equal levels steps down by 30, a
    // change of level starts again at the top. The first run starts one step down.
    int y = 20;
    quint32 rowLevel = 0;
    if (!layout.edges.isEmpty())
        rowLevel = layout.nodes[layout.edges.constLast().child].level;
    layout.order.reserve(layout.edges.size());
    for (int i = layout.edges.size() - 1; i >= 0; --i) {
        const quint64 child = layout.edges.at(i).child;
        layout.order.append(child);
        DerivationNode& node = layout.nodes[child];
        if (node.level == rowLevel) {
            y += 30;
        } else {
            y = 20;
            rowLevel = node.level;
        }
        node.y = y;
    }
    // Every child occurs once in the walk, so the order needs no removal of repeats.
    std::reverse(layout.order.begin(), layout.order.end());

    // Columns: a change of level starts a new column 45 right of the widest box of the last.
    int x = 40;
    quint32 columnLevel = 0;
    int columnWidth = 0;
    int largestY = 0;
    bool first = true;
    for (quint64 id : qAsConst(layout.order)) {
        DerivationNode& node = layout.nodes[id];
        if (node.level != columnLevel) {
            x += 45 + columnWidth;
            columnWidth = 0;
            columnLevel = node.level;
        }
        largestY = qMax(largestY, node.y);
        node.x = x;
        node.width = boxWidth(derivationBoxText(node).size());
        node.height = boxLineHeight;
        if (first) {
            first = false;
            DerivationNode anchor = node;
            anchor.x = x - 30;
            anchor.width = 0;
            layout.nodes[0] = anchor;
        }
        columnWidth = qMax(columnWidth, node.width);
    }
    layout.width = x + 40 + columnWidth;
    layout.height = largestY + 40;
    return layout;
}

QString questionTreeSvg(const QuestionTree& tree)
{
    const QuestionTreeLayout layout = layoutQuestionTree(tree);
    QString edges;
    for (const DerivationLink& edge : layout.edges) {
        const DerivationNode parent = layout.nodes.value(edge.parent);
        const DerivationNode child = layout.nodes.value(edge.child);
        edges += arrowHead(child.x, child.y);
        edges += edgeLine(qMax(0, parent.x + parent.width), parent.y + parent.height / 2,
                          qMax(0, child.x - 9), child.y + parent.height / 2);
    }
    QString boxes;
    for (quint64 id : layout.order) {
        const DerivationNode node = layout.nodes.value(id);
        const BoxColours& colours = boxColoursForFlags(node.flags);
        int width = 0;
        int height = 0;
        boxes += singleLineBox(derivationBoxText(node), node.x, node.y, width, height,
                               colours.stroke, colours.fill);
    }
    return svgDocumentStart(layout.width, layout.height) + edges + boxes + svgDocumentEnd();
}
