#ifndef LARGESTMESSAGES_H
#define LARGESTMESSAGES_H

// The largest messages an engine sends (15,000 bytes), shared by the benchmarks.

#include "testmessages.h"

#include <QByteArray>

namespace largest {

inline constexpr int messageSize = 15000;

inline QByteArray label(int i)
{
    return "term_" + QByteArray::number(i) + " \xe2\x86\x92 (a \xe2\x88\xa7 b<c)";
}

// A tree in which every node has three children, with a label and an attribute per node.
// With `labelled` false the message holds links only, as many as fit: the most boxes.
inline QByteArray questionMessage(bool labelled)
{
    const int perNode = labelled ? 16 + 8 + label(100).size() + 1 + 16 : 16;
    const int nodes = (messageSize - 19) / perNode;
    MessageBuilder links('q');
    links.u32(8).u32(nodes).u32(labelled ? nodes : 0).u32(labelled ? nodes : 0);
    MessageBuilder labels('q'), attributes('q');
    for (int i = 1; i <= nodes; ++i) {
        const int parent = (i - 1) / 3;
        int depth = 1;
        for (int p = parent; p > 0; p = (p - 1) / 3)
            ++depth;
        links.u64(parent).u64(i);
        labels.u64(i).text(label(i));
        const quint64 kinds[] = {0, 2, 4, 8};
        attributes.u64(i).u64(quint64(depth) << 8 | quint64(i) << 32 | kinds[i % 4]);
    }
    if (!labelled)
        return links.bytes;
    return links.bytes + labels.bytes.mid(3) + attributes.bytes.mid(3);
}

// Inferences of three items each over a shared set of texts and a few operations.
inline QByteArray inferenceMessage()
{
    const int operations = 8;
    const int texts = 150;
    const int inferences = 295;
    MessageBuilder records('n'), textRecords('n'), operationRecords('n');
    for (int i = 0; i < inferences; ++i)
        records.u32(3)
            .u64(i % texts)
            .u64((i * 7) % texts)
            .u64((i * 13) % texts)
            .u32(i % operations);
    for (int i = 0; i < texts; ++i)
        textRecords.u64(i).text(label(i));
    for (int i = 0; i < operations; ++i)
        operationRecords.u32(i).text("op" + QByteArray::number(i)).text("rule & description");
    MessageBuilder header('n');
    header.u32(8).u32(19 + records.bytes.size() - 3).u32(texts).u32(operations);
    return header.bytes + records.bytes.mid(3) + textRecords.bytes.mid(3) +
           operationRecords.bytes.mid(3);
}

} // namespace largest

#endif
