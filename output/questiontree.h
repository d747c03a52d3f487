#ifndef QUESTIONTREE_H
#define QUESTIONTREE_H

#include "graphdrawing.h"

#include <QByteArray>
#include <QMap>
#include <QPoint>
#include <QString>
#include <QVector>
#include <QtGlobal>

#include <cstddef>

// The question derivation tree of a 'q' message: a root with id 0, parent-to-child links, a
// label and attributes per node, laid out left to right in columns of equal level.

struct DerivationNode {
    QByteArray label;
    // Box geometry, filled in by the layout.
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    quint32 level = 0;
    qint32 threadId = -1;
    quint8 flags = 0;
    qint32 genNumber = -1;
    qint32 processNumber = -1;
};

struct DerivationLink {
    quint64 parent = 0;
    quint64 child = 0;
};

inline bool operator==(const DerivationLink& a, const DerivationLink& b)
{
    return a.parent == b.parent && a.child == b.child;
}

struct QuestionTree {
    QVector<DerivationLink> links;       // in record order
    QMap<quint64, DerivationNode> nodes; // always holds the root, id 0
};

// Decodes a 'q' message. Decoding stops at the first record that the message is too short to
// hold; what was read before stays.
QuestionTree decodeQuestionTree(const char* data, std::size_t size);

struct QuestionTreeLayout {
    // The links met by the walk from the root, in walk order. Every id is met at most once and
    // the root is never a child, so cycles and shared children cannot repeat a node.
    QVector<DerivationLink> edges;
    // The children in the order their boxes are drawn (walk order).
    QVector<quint64> order;
    // The node records with their box geometry; the root is the zero-width anchor just left of
    // the first box, from which the lines to its children start.
    QMap<quint64, DerivationNode> nodes;
    // The box texts as shown, in `order`.
    QVector<QString> texts;
    // For each edge, the corners of its line: from the middle of the parent's right border to
    // the base of the arrow head at the child's left border. A child always stands in a column
    // right of its parent's; the line runs along the parent's row to the gap after its column
    // and, when columns lie between, through the gaps between columns and between rows, so
    // that it never crosses a box.
    QVector<QVector<QPoint>> routes;
    int width = 0;
    int height = 0;
};

QuestionTreeLayout layoutQuestionTree(const QuestionTree& tree);

// The label of a node followed by its level, thread and numbers in brackets, as shown:
// characters XML cannot hold are replaced (xmltext.h), nothing is escaped.
QString derivationBoxText(const DerivationNode& node);

// The tree laid out as a drawing: edges first, boxes on top.
GraphDrawing questionTreeDrawing(const QuestionTree& tree);

#endif
