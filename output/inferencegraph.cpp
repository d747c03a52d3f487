#include "inferencegraph.h"

#include "graphrecords.h"
#include "svgbuilder.h"

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
    QStringList lines{QStringLiteral("Level: %1 Op: 0x%2: %3 %4")
                          .arg(QString::number(index), QString::number(inference.operation, 16),
                               operation.name, operation.description.toHtmlEscaped())};

    int written = 0;
    for (quint64 item : inference.items) {
        const QString text = graph.texts.value(item);
        if (text.isEmpty())
            continue;
        const QString prefix =
            written == 0 ? QStringLiteral("J:    ") : QStringLiteral("J%1: ").arg(written);
        lines.append(prefix + text.toHtmlEscaped());
        ++written;
    }
    return lines;
}

int conclusionLine(const QStringList& lines)
{
    return lines.size() >= 2 ? lines.size() - 1 : -1;
}

namespace {

// An outline round line `line` of the multi-line box at (x, y), drawn over the box.
QString conclusionMark(int x, int y, int width, int line)
{
    return QStringLiteral("<rect x=\"%1\" y=\"%2\" width=\"%3\" height=\"%4\" rx=\"4\" ry=\"4\" "
                          "stroke=\"%5\" stroke-width=\"2\" fill=\"none\"></rect>\n")
        .arg(x + 2)
        .arg(y + boxLineHeight * line + 2)
        .arg(qMax(0, width - 4))
        .arg(boxLineHeight - 4)
        .arg(QLatin1String(conclusionColour));
}

const QString& legendText()
{
    static const QString text = QStringLiteral("Conclusion of each inference");
    return text;
}

// The legend line: a sample of the outline and its meaning, top left above the first box.
QString conclusionLegend()
{
    return QStringLiteral("<g>\n\t<rect x=\"20\" y=\"18\" width=\"24\" height=\"14\" rx=\"4\" "
                          "ry=\"4\" stroke=\"%1\" stroke-width=\"2\" fill=\"none\"></rect>\n\t"
                          "<text x=\"52\" y=\"29\" font-family=\"DejaVu Sans\" font-size=\"11\" "
                          "fill=\"%2\">%3</text>\n</g>\n")
        .arg(QLatin1String(conclusionColour), QLatin1String(svgInkColour), legendText());
}

} // namespace

QString inferenceGraphSvg(const InferenceGraph& graph)
{
    int x = 20;
    int y = 50;
    int widest = 0;
    int lastHeight = 0;
    QString boxes;
    for (int index = 0; index < graph.inferences.size(); ++index) {
        int width = 0;
        int height = 0;
        const QStringList lines = inferenceLines(graph, index);
        boxes += multiLineBox(lines, x, y, width, height);
        const int conclusion = conclusionLine(lines);
        if (conclusion >= 0)
            boxes += conclusionMark(x, y, width, conclusion);
        widest = qMax(widest, width);
        lastHeight = height;
        y += 20 + height;
        x += 30;
    }
    if (graph.inferences.isEmpty())
        return svgDocumentStart(x + 40 + widest, y + 40 + lastHeight) + svgDocumentEnd();
    const int width = qMax(x + 40 + widest, 52 + boxWidth(legendText().size()) + 20);
    return svgDocumentStart(width, y + 40 + lastHeight) + conclusionLegend() + boxes +
           svgDocumentEnd();
}
