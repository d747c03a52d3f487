#include "messagejson.h"

#include "compilerdiagnostic.h"
#include "errormessage.h"
#include "inferencegraph.h"
#include "memorydump.h"
#include "messages.h"
#include "questiontree.h"
#include "termtable.h"

#include <QJsonArray>
#include <QJsonDocument>

namespace {

QString idText(quint64 id)
{
    return QString::number(id, 16);
}

QJsonArray termRecords(const char* data, std::size_t size)
{
    QJsonArray records;
    for (const TermRecord& record : decodeTermRecords(data, size))
        records.append(QJsonObject{{"id", idText(record.id)}, {"name", record.name}});
    return records;
}

void addQuestionTree(QJsonObject& object, const char* data, std::size_t size)
{
    const QuestionTree tree = decodeQuestionTree(data, size);
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
    object["links"] = links;
    object["nodes"] = nodes;
}

void addInferenceGraph(QJsonObject& object, const char* data, std::size_t size)
{
    const InferenceGraph graph = decodeInferenceGraph(data, size);
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
    object["inferences"] = inferences;
    object["texts"] = texts;
    object["operations"] = operations;
}

} // namespace

QJsonObject messageJson(const char* data, std::size_t size)
{
    QJsonObject object;
    switch (messageKind(data, size)) {
    case MessageKind::Plain:
        object["kind"] = "plain";
        object["text"] = messageText(data, size, 0);
        break;
    case MessageKind::Unassigned:
        object["kind"] = "unassigned";
        object["code"] = QString::fromLatin1(data + 1, 1);
        object["text"] = messageText(data, size, 3);
        break;
    case MessageKind::InternalQuestion:
        object["kind"] = "internalQuestion";
        object["text"] = messageText(data, size, 3);
        break;
    case MessageKind::Error:
        object["kind"] = "error";
        if (const auto error = decodeErrorMessage(data, size)) {
            object["line"] = qint64(error->line);
            object["column"] = qint64(error->column);
            object["mark"] = error->kind;
            object["severity"] = severityName(diagnosticSeverity(error->kind));
            object["text"] = error->text;
        }
        break;
    case MessageKind::Time:
        object["kind"] = "time";
        if (const auto time = decodeElapsedTime(data, size)) {
            object["microseconds"] = qint64(time->microseconds);
            object["cycles"] = qint64(time->cycles);
        }
        break;
    case MessageKind::Version:
        object["kind"] = "version";
        object["version"] = decodeLibraryVersion(data, size);
        break;
    case MessageKind::Memory:
        object["kind"] = "memory";
        object["dump"] = QString::fromUtf8(decodeMemoryDump(data, size));
        break;
    case MessageKind::Words:
        object["kind"] = "words";
        object["records"] = termRecords(data, size);
        break;
    case MessageKind::Compounds:
        object["kind"] = "compounds";
        object["records"] = termRecords(data, size);
        break;
    case MessageKind::Statements:
        object["kind"] = "statements";
        object["records"] = termRecords(data, size);
        break;
    case MessageKind::Question:
        object["kind"] = "question";
        addQuestionTree(object, data, size);
        break;
    case MessageKind::Inference:
        object["kind"] = "inference";
        addInferenceGraph(object, data, size);
        break;
    }
    return object;
}

QByteArray messageJsonLine(const char* data, std::size_t size)
{
    return QJsonDocument(messageJson(data, size)).toJson(QJsonDocument::Compact);
}
