#ifndef INFERENCEGRAPH_H
#define INFERENCEGRAPH_H

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

// The text lines of inference number `index`: the operation line, then one line per item that
// has a non-empty text. An operation code without a record shows an empty name and description.
QStringList inferenceLines(const InferenceGraph& graph, int index);

// Outline colour of the line that holds an inference's conclusion (the last of its items: the
// items used come first, then the item produced) and of the legend's sample.
inline constexpr const char* conclusionColour = "#3A7D1E";

// The line of inferenceLines() that holds the conclusion, or -1 when the inference shows no
// item.
int conclusionLine(const QStringList& lines);

// The whole SVG document of the graph. Above the boxes a legend line explains the outline that
// marks each conclusion.
QString inferenceGraphSvg(const InferenceGraph& graph);

#endif
