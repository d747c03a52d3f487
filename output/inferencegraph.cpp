#include "inferencegraph.h"

#include "graphrecords.h"
#include "xmltext.h"

#include <QStringList>

#include <climits>

namespace {

bool readInference(MessageReader& reader, Inference& inference)
{
    quint32 count = 0;
    if (!reader.readU32(count))
        return false;
    // The items and the operation code must all be present; checking first keeps a huge count
    // from allocating anything.
    if (reader.remaining() < 4 || count > (reader.remaining() - 4) / 8 || count > INT_MAX / 8)
        return false;
    inference.items.resize(static_cast<int>(count));
    for (quint64& item : inference.items)
        reader.readU64(item);
    return reader.readU32(inference.operation);
}

} // namespace

InferenceGraph decodeInferenceGraph(const char* data, std::size_t size)
{
    InferenceGraph graph;
    GraphRecordReader reader(data, size);
    quint32 recordsEnd = 0, textCount = 0, operationCount = 0;
    if (!reader.readHeader(recordsEnd, textCount, operationCount))
        return graph;

    while (reader.position() < recordsEnd) {
        Inference inference;
        if (!readInference(reader, inference))
            return graph;
        graph.inferences.append(inference);
    }

    const bool textsRead =
        reader.readTextRecords(textCount, [&](quint64 id, const QByteArray& text) {
            if (!graph.texts.contains(id))
                graph.texts.insert(id, QString::fromUtf8(text));
        });
    if (!textsRead)
        return graph;

    // Each successful read consumes at least one byte, so the loop ends with the message
    // whatever the count says.
    for (quint32 i = 0; i < operationCount; ++i) {
        quint32 code = 0;
        QByteArray name, description;
        if (!reader.readU32(code) || !reader.readCString(name) || !reader.readCString(description))
            return graph;
        if (!graph.operations.contains(code))
            graph.operations.insert(
                code, InferenceOperation{QString::fromUtf8(name), QString::fromUtf8(description)});
    }
    return graph;
}

QStringList inferenceLines(const InferenceGraph& graph, int index)
{
    const Inference& inference = graph.inferences.at(index);
    const InferenceOperation operation = graph.operations.value(inference.operation);
    // One substitution pass, so a name or description holding "%1" and the like stays as it is.
    QStringList lines{
        xmlSafe(QStringLiteral("Level: %1 Op: 0x%2: %3 %4")
                    .arg(QString::number(index), QString::number(inference.operation, 16),
                         operation.name, operation.description))};

    int written = 0;
    for (quint64 item : inference.items) {
        const QString text = graph.texts.value(item);
        if (text.isEmpty())
            continue;
        const QString prefix =
            written == 0 ? QStringLiteral("J:    ") : QStringLiteral("J%1: ").arg(written);
        lines.append(prefix + xmlSafe(text));
        ++written;
    }
    return lines;
}

int conclusionLine(const QStringList& lines)
{
    return lines.size() >= 2 ? lines.size() - 1 : -1;
}

GraphDrawing inferenceGraphDrawing(const InferenceGraph& graph)
{
    GraphDrawing drawing;
    int x = 20;
    int y = 50;
    int widest = 0;
    int lastHeight = 0;
    drawing.boxes.reserve(graph.inferences.size());
    for (int index = 0; index < graph.inferences.size(); ++index) {
        GraphBox box;
        box.lines = inferenceLines(graph, index);
        box.markedLine = conclusionLine(box.lines);
        const int width = BoxGeometry::boxWidth(box.lines);
        const int height = BoxGeometry::lineHeight * box.lines.size();
        box.rect = QRect(x, y, width, height);
        drawing.boxes.append(box);
        widest = qMax(widest, width);
        lastHeight = height;
        y += 20 + height;
        x += 30;
    }
    drawing.size = QSize(x + 40 + widest, y + 40 + lastHeight);
    if (graph.inferences.isEmpty())
        return drawing;
    // The legend, top left above the first box: a sample of the outline and its meaning.
    GraphLegend legend{QRect(20, 18, 24, 14), QPoint(52, 29),
                       QStringLiteral("Conclusion of each inference")};
    drawing.size.rwidth() = qMax(
        drawing.size.width(), legend.baseline.x() + BoxGeometry::boxWidth(legend.text.size()) + 20);
    drawing.legend = legend;
    return drawing;
}
