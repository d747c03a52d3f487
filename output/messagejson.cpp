#include "messagejson.h"

#include "compilerdiagnostic.h"
#include "overloaded.h"

#include <QJsonArray>
#include <QJsonDocument>

namespace {

QString idText(quint64 id)
{
    return QString::number(id, 16);
}

QJsonObject text(const TextMessage& message)
{
    switch (message.kind) {
    case MessageKind::Unassigned:
        return QJsonObject{{"kind", "unassigned"},
                           {"code", QString::fromLatin1(&message.code, 1)},
                           {"text", message.text}};
    case MessageKind::InternalQuestion:
        return QJsonObject{{"kind", "internalQuestion"}, {"text", message.text}};
    default:
        return QJsonObject{{"kind", "plain"}, {"text", message.text}};
    }
}

QJsonObject time(const TimeMessage& message)
{
    QJsonObject object{{"kind", "time"}};
    if (message.time) {
        object["microseconds"] = qint64(message.time->microseconds);
        object["cycles"] = qint64(message.time->cycles);
    }
    return object;
}

QJsonObject error(const InputErrorMessage& message)
{
    QJsonObject object{{"kind", "error"}};
    if (const auto& error = message.error) {
        object["line"] = qint64(error->line);
        object["column"] = qint64(error->column);
        object["mark"] = error->kind;
        object["severity"] = severityName(diagnosticSeverity(error->kind));
        object["text"] = error->text;
    }
    return object;
}

QJsonObject termTable(const TermTableContents& table)
{
    QJsonArray records;
    for (const TermRecord& record : table.records)
        records.append(QJsonObject{{"id", idText(record.id)}, {"name", record.name}});
    const char* kind = table.kind == MessageKind::Words       ? "words"
                       : table.kind == MessageKind::Compounds ? "compounds"
                                                              : "statements";
    return QJsonObject{{"kind", kind}, {"records", records}};
}

QJsonObject questionTree(const QuestionTree& tree)
{
    QJsonArray links;
    for (const DerivationLink& link : tree.links)
        links.append(QJsonArray{idText(link.parent), idText(link.child)});
    QJsonArray nodes;
    for (auto it = tree.nodes.cbegin(); it != tree.nodes.cend(); ++it) {
        const DerivationNode& node = it.value();
        nodes.append(QJsonObject{{"id", idText(it.key())},
                                 {"label", QString::fromUtf8(node.label)},
                                 {"level", qint64(node.level)},
                                 {"threadId", node.threadId},
                                 {"flags", node.flags},
                                 {"gen", node.genNumber},
                                 {"process", node.processNumber}});
    }
    return QJsonObject{{"kind", "question"}, {"links", links}, {"nodes", nodes}};
}

QJsonObject inferenceGraph(const InferenceGraph& graph)
{
    QJsonArray inferences;
    for (const Inference& inference : graph.inferences) {
        QJsonArray items;
        for (quint64 item : inference.items)
            items.append(idText(item));
        inferences.append(
            QJsonObject{{"operation", qint64(inference.operation)}, {"items", items}});
    }
    QJsonObject texts;
    for (auto it = graph.texts.cbegin(); it != graph.texts.cend(); ++it)
        texts[idText(it.key())] = it.value();
    QJsonObject operations;
    for (auto it = graph.operations.cbegin(); it != graph.operations.cend(); ++it)
        operations[QString::number(it.key())] =
            QJsonObject{{"name", it->name}, {"description", it->description}};
    return QJsonObject{{"kind", "inference"},
                       {"inferences", inferences},
                       {"texts", texts},
                       {"operations", operations}};
}

} // namespace

QJsonObject messageJson(const DecodedMessage& message)
{
    return std::visit(
        Overloaded{
            [](const TextMessage& m) { return text(m); },
            [](const TimeMessage& m) { return time(m); },
            [](const LibraryVersion& m) {
                return QJsonObject{{"kind", "version"}, {"version", m.version}};
            },
            [](const InputErrorMessage& m) { return error(m); },
            [](const TermTableContents& m) { return termTable(m); },
            [](const MemoryDumpContents& m) {
                return QJsonObject{{"kind", "memory"}, {"dump", QString::fromUtf8(m.dump)}};
            },
            [](const QuestionTree& m) { return questionTree(m); },
            [](const InferenceGraph& m) { return inferenceGraph(m); },
        },
        message);
}

QByteArray messageJsonLine(const DecodedMessage& message)
{
    return QJsonDocument(messageJson(message)).toJson(QJsonDocument::Compact);
}
