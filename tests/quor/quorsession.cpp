#include "quorsession.h"

#include "messagereader.h"
#include "quor.h"

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
    for (const QByteArray& message : ofKind(messages, 0))
        texts << QString::fromUtf8(
            MessageReader::textField(message.constData(), message.size(), 0));
    return texts;
}

QString payloadText(const QByteArray& message)
{
    return QString::fromUtf8(MessageReader::textField(message.constData(), message.size(), 3));
}

QVector<ErrorReply> errors(const QList<QByteArray>& messages)
{
    QVector<ErrorReply> result;
    for (const QByteArray& message : ofKind(messages, 'e')) {
        MessageReader reader(message.constData(), message.size(), 3);
        ErrorReply error;
        if (reader.readU32(error.line) && reader.readU32(error.column) && reader.readU8(error.mark))
            error.text = QString::fromUtf8(reader.readTextField());
        result.append(error);
    }
    return result;
}

QVector<TableRow> tableRows(const QByteArray& message, bool* complete)
{
    QVector<TableRow> rows;
    MessageReader reader(message.constData(), message.size(), 7);
    TableRow row;
    QByteArray name;
    while (!reader.atEnd() && reader.readU64(row.id) && reader.readCString(name)) {
        row.name = QString::fromUtf8(name);
        rows.append(row);
    }
    if (complete)
        *complete = reader.atEnd() && message.size() >= 7;
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
    MessageReader reader(message.constData(), message.size(), 3);
    return kindOf(message) == 't' && reader.readU32(time.microseconds) &&
           reader.readU32(time.cycles) && reader.atEnd();
}

TreeReply decodeTree(const QByteArray& message)
{
    TreeReply tree;
    MessageReader reader(message.constData(), message.size(), 3);
    quint32 width = 0, links = 0, labels = 0, attributes = 0;
    if (!reader.readU32(width) || !reader.readU32(links) || !reader.readU32(labels) ||
        !reader.readU32(attributes))
        return tree;
    tree.nodes[0].label = QStringLiteral("root");
    for (quint32 i = 0; i < links; ++i) {
        quint64 parent = 0, child = 0;
        if (!reader.readId(width, parent) || !reader.readId(width, child))
            return tree;
        tree.nodes[parent].children.append(child);
        tree.nodes[child];
    }
    for (quint32 i = 0; i < labels; ++i) {
        quint64 id = 0;
        QByteArray label;
        if (!reader.readId(width, id) || !reader.readCString(label))
            return tree;
        if (id != 0)
            tree.nodes[id].label = QString::fromUtf8(label);
    }
    int generated = 0;
    for (quint32 i = 0; i < attributes; ++i) {
        quint64 id = 0, word = 0;
        if (!reader.readId(width, id) || !reader.readId(width, word))
            return tree;
        TreeNode& node = tree.nodes[id];
        if (node.level == 0)
            node.level = static_cast<quint32>((word >> 8) & 0xFFFFFF);
        node.thread = static_cast<qint32>(static_cast<quint32>(word >> 16));
        const quint8 kind = static_cast<quint8>(word & 0xFF);
        if (kind == 2)
            node.genNumber = generated++;
        node.flags |= kind;
    }
    tree.complete = reader.atEnd();
    return tree;
}

InferenceReply decodeInferences(const QByteArray& message)
{
    InferenceReply graph;
    MessageReader reader(message.constData(), message.size(), 3);
    quint32 width = 0, end = 0, texts = 0, operations = 0;
    if (!reader.readU32(width) || !reader.readU32(end) || !reader.readU32(texts) ||
        !reader.readU32(operations))
        return graph;
    while (reader.position() < end) {
        quint32 count = 0, operation = 0;
        if (!reader.readU32(count) || count > reader.remaining() / 8)
            return graph;
        QVector<quint64> items(static_cast<int>(count));
        for (quint64& item : items)
            if (!reader.readU64(item))
                return graph;
        if (!reader.readU32(operation))
            return graph;
        graph.items.append(items);
        graph.operations.append(operation);
    }
    if (reader.position() != end)
        return graph;
    for (quint32 i = 0; i < texts; ++i) {
        quint64 id = 0;
        QByteArray text;
        if (!reader.readId(width, id) || !reader.readCString(text))
            return graph;
        if (!graph.texts.contains(id))
            graph.texts.insert(id, QString::fromUtf8(text));
    }
    for (quint32 i = 0; i < operations; ++i) {
        quint32 code = 0;
        QByteArray name, description;
        if (!reader.readU32(code) || !reader.readCString(name) || !reader.readCString(description))
            return graph;
        graph.operationNames.insert(code, QString::fromUtf8(name));
    }
    graph.complete = reader.atEnd();
    return graph;
}
