#include "quorsession.h"

#include "errormessage.h"
#include "inferencegraph.h"
#include "memorydump.h"
#include "messagereader.h"
#include "messages.h"
#include "questiontree.h"
#include "quor.h"
#include "termtable.h"

#include <vector>

QuorSession::QuorSession() : instance(create_object(1, 0)) {}

QuorSession::~QuorSession()
{
    destroy_object(instance);
}

QList<QByteArray> QuorSession::send(const QString& text, int line)
{
    return sendBytes(text.toUtf8(), line);
}

QList<QByteArray> QuorSession::sendBytes(const QByteArray& bytes, int line)
{
    process(instance, bytes.constData(), line, 0);
    QList<QByteArray> messages;
    std::vector<char> buffer(QUOR_MAX_MESSAGE);
    for (;;) {
        size_t size = buffer.size();
        if (!get(instance, buffer.data(), &size, false, 0, 0))
            break;
        messages.append(QByteArray(buffer.data(), static_cast<int>(size)));
    }
    return messages;
}

char kindOf(const QByteArray& message)
{
    return message.size() >= 2 && message[0] == '<' ? message[1] : 0;
}

QList<QByteArray> ofKind(const QList<QByteArray>& messages, char kind)
{
    QList<QByteArray> result;
    for (const QByteArray& message : messages)
        if (kindOf(message) == kind)
            result.append(message);
    return result;
}

QStringList plainTexts(const QList<QByteArray>& messages)
{
    QStringList texts;
    for (const QByteArray& message : messages)
        if (messageKind(message.constData(), message.size()) == MessageKind::Plain)
            texts << messageText(message.constData(), message.size(), 0);
    return texts;
}

QString payloadText(const QByteArray& message)
{
    if (kindOf(message) == 'm')
        return QString::fromUtf8(decodeMemoryDump(message.constData(), message.size()));
    return messageText(message.constData(), message.size(), 3);
}

QVector<ErrorReply> errors(const QList<QByteArray>& messages)
{
    QVector<ErrorReply> result;
    for (const QByteArray& message : ofKind(messages, 'e')) {
        ErrorReply error;
        if (const auto decoded = decodeErrorMessage(message.constData(), message.size())) {
            error.line = decoded->line;
            error.column = decoded->column;
            error.mark = decoded->kind;
            error.text = decoded->text;
        }
        result.append(error);
    }
    return result;
}

QVector<TableRow> tableRows(const QByteArray& message, bool* complete)
{
    QVector<TableRow> rows;
    int size = 7;
    for (const TermRecord& record : decodeTermRecords(message.constData(), message.size())) {
        rows.append(TableRow{record.id, record.name});
        size += 8 + record.name.toUtf8().size() + 1;
    }
    if (complete)
        *complete = message.size() >= 7 && size == message.size();
    return rows;
}

QStringList tableNames(const QByteArray& message)
{
    QStringList names;
    for (const TableRow& row : tableRows(message))
        names << row.name;
    return names;
}

bool decodeTime(const QByteArray& message, TimeReply& time)
{
    const auto decoded = decodeElapsedTime(message.constData(), message.size());
    if (kindOf(message) != 't' || !decoded)
        return false;
    time.microseconds = decoded->microseconds;
    time.cycles = decoded->cycles;
    return message.size() == 11;
}

TreeReply decodeTree(const QByteArray& message)
{
    TreeReply reply;
    const QuestionTree tree = decodeQuestionTree(message.constData(), message.size());
    for (auto it = tree.nodes.cbegin(); it != tree.nodes.cend(); ++it) {
        TreeNode& node = reply.nodes[it.key()];
        node.label = QString::fromUtf8(it->label);
        node.level = it->level;
        node.thread = it->threadId;
        node.flags = it->flags;
        node.genNumber = it->genNumber;
    }
    for (const DerivationLink& link : tree.links)
        reply.nodes[link.parent].children.append(link.child);

    // The engine sends one label per node and two attribute words per node: the message is
    // whole when those records, as decoded, add up to its size exactly.
    MessageReader reader(message.constData(), message.size(), 3);
    quint32 width = 0, links = 0, labels = 0, attributes = 0;
    if (!reader.readU32(width) || !reader.readU32(links) || !reader.readU32(labels) ||
        !reader.readU32(attributes))
        return reply;
    int size = 19 + 16 * tree.links.size() + 16 * int(attributes);
    for (auto it = tree.nodes.cbegin(); it != tree.nodes.cend(); ++it)
        if (it.key() != 0)
            size += 8 + it->label.size() + 1;
    reply.complete = width == 8 && int(links) == tree.links.size() &&
                     int(labels) == tree.nodes.size() - 1 && size == message.size();
    return reply;
}

InferenceReply decodeInferences(const QByteArray& message)
{
    InferenceReply reply;
    const InferenceGraph graph = decodeInferenceGraph(message.constData(), message.size());
    int size = 19;
    for (const Inference& inference : graph.inferences) {
        reply.items.append(inference.items);
        reply.operations.append(inference.operation);
        size += 8 * inference.items.size() + 8;
    }
    for (auto it = graph.texts.cbegin(); it != graph.texts.cend(); ++it) {
        reply.texts.insert(it.key(), it.value());
        size += 8 + it.value().toUtf8().size() + 1;
    }
    for (auto it = graph.operations.cbegin(); it != graph.operations.cend(); ++it) {
        reply.operationNames.insert(it.key(), it->name);
        size += 4 + it->name.toUtf8().size() + 1 + it->description.toUtf8().size() + 1;
    }
    reply.complete = size == message.size();
    return reply;
}
