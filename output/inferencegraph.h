#ifndef INFERENCEGRAPH_H
#define INFERENCEGRAPH_H

#include "graphdrawing.h"

#include <QMap>
#include <QString>
#include <QVector>
#include <QtGlobal>

#include <cstddef>

// The inference graph of an 'n' message: one multi-line box per inference, each stepped down
// and to the right of the one before.

// One inference: the items it involved, in order, and the code of the operation that made it.
struct Inference {
    QVector<quint64> items;
    quint32 operation = 0;
};

struct InferenceOperation {
    QString name;
    QString description;
};

struct InferenceGraph {
    QVector<Inference> inferences;
    // Item texts by id and operations by code; the first record of an id or code is kept.
    QMap<quint64, QString> texts;
    QMap<quint32, InferenceOperation> operations;
};

// Decodes an 'n' message. Decoding stops at the first record that the message is too short to
// hold (or whose counts do not fit in it); what was read before stays.
InferenceGraph decodeInferenceGraph(const char* data, std::size_t size);

// The text lines of inference number `index` as shown: the operation line, then one line per
// item that has a non-empty text. An operation code without a record shows an empty name and
// description. Characters XML cannot hold are replaced (xmltext.h); nothing is escaped.
QStringList inferenceLines(const InferenceGraph& graph, int index);

// The line of inferenceLines() that holds the conclusion (the last of the items: the items used
// come first, then the item produced), or -1 when the inference shows no item.
int conclusionLine(const QStringList& lines);

// The graph laid out: one box per inference, each 30 right of and 20 below the one before, its
// conclusion outlined; above the boxes a legend explains the outline.
GraphDrawing inferenceGraphDrawing(const InferenceGraph& graph);

#endif
