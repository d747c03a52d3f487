#include "languageserver.h"

#include "appinfo.h"
#include "completions.h"
#include "hovers.h"
#include "semantictokens.h"
#include "statementtruths.h"
#include "wordcompletion.h"

#include <QJsonArray>

namespace {

QString str(const char* text)
{
    return QString::fromLatin1(text);
}

bool isCount(const QJsonValue& value)
{
    const double number = value.toDouble(-1);
    return value.isDouble() && number >= 0 && number <= 2147483647.0 && number == int(number);
}

// Documents in the notation: by file name, or by the language the client names.
bool isNotation(const QString& uri, const QString& languageId)
{
    const QString name = uri.toLower();
    return languageId == QLatin1String("quor") || name.endsWith(QLatin1String(".quor")) ||
           name.endsWith(QLatin1String(".qrs")) || name.endsWith(QLatin1String(".txt"));
}

QStringList names(const QVector<TermRecord>& records)
{
    QStringList list;
    list.reserve(records.size());
    for (const TermRecord& record : records)
        list.append(record.name);
    return list;
}

} // namespace

LanguageServer::LanguageServer(EngineConnection* engine, QObject* parent) : QObject(parent)
{
    if (!engine)
        return;
    diagnosticRunner = new DiagnosticRunner(
        engine,
        [this](const QString& uri, QString* text, int* version) {
            const auto found = documents.constFind(uri);
            if (found == documents.constEnd())
                return false;
            *text = found->text.engineText();
            *version = found->version;
            return true;
        },
        this);
    connect(diagnosticRunner, &DiagnosticRunner::finished, this, &LanguageServer::runFinished);
}

void LanguageServer::receive(const QByteArray& bytes)
{
    if (hasFinished())
        return;
    framing.feed(bytes);
    while (!hasFinished()) {
        const MessageFraming::Item item = framing.next();
        if (item.type == MessageFraming::Item::None)
            break;
        if (item.type == MessageFraming::Item::Error)
            replyError(QJsonValue::Null, JsonRpc::ParseError, item.error);
        else
            handle(item.body);
    }
}

void LanguageServer::inputClosed()
{
    if (!hasFinished())
        finish(state == State::ShutDown ? 0 : 1);
}

void LanguageServer::handle(const QByteArray& body)
{
    const JsonRpc::Incoming incoming = JsonRpc::read(body);
    switch (incoming.kind) {
    case JsonRpc::Incoming::Request:
        request(incoming);
        break;
    case JsonRpc::Incoming::Notification:
        notification(incoming);
        break;
    case JsonRpc::Incoming::Response:
        break;
    case JsonRpc::Incoming::Invalid:
        replyError(incoming.id, incoming.errorCode, incoming.errorMessage);
        // A body cut short by a Content-Length that said too much holds the next message's
        // header: read on from there.
        if (incoming.errorCode == JsonRpc::ParseError) {
            const int next = body.indexOf("Content-Length:", 1);
            if (next > 0)
                framing.unread(body.mid(next));
        }
        break;
    }
}

void LanguageServer::request(const JsonRpc::Incoming& incoming)
{
    const QString& method = incoming.method;
    const QJsonObject params = incoming.params.toObject();
    if (state == State::Created && method != QLatin1String("initialize"))
        return replyError(incoming.id, JsonRpc::ServerNotInitialized,
                          str("the server has not been initialized"));
    if (state == State::ShutDown)
        return replyError(incoming.id, JsonRpc::InvalidRequest,
                          str("the server has been shut down"));
    if (method == QLatin1String("initialize")) {
        if (state != State::Created)
            return replyError(incoming.id, JsonRpc::InvalidRequest,
                              str("the server has been initialized already"));
        state = State::Running;
        return reply(incoming.id, initialize(params));
    }
    if (method == QLatin1String("shutdown")) {
        state = State::ShutDown;
        return reply(incoming.id, QJsonValue::Null);
    }

    const bool completion = method == QLatin1String("textDocument/completion");
    const bool hover = method == QLatin1String("textDocument/hover");
    const bool tokens = method == QLatin1String("textDocument/semanticTokens/full");
    if (!completion && !hover && !tokens)
        return replyError(incoming.id, JsonRpc::MethodNotFound, str("unknown method: ") + method);
    QString error;
    TextPosition position;
    Document* document = documentFor(params, &error);
    if (error.isEmpty() && !tokens)
        positionOf(params.value(str("position")), &position, &error);
    if (!error.isEmpty())
        return replyError(incoming.id, JsonRpc::InvalidParams, error);

    if (tokens) {
        const QJsonArray data = document ? semanticTokens(document->text, encoding) : QJsonArray();
        return reply(incoming.id, QJsonObject{{str("data"), data}});
    }
    if (hover) {
        return reply(incoming.id, document ? hoverAt(document->text, position, encoding,
                                                     document->errors, document->statements)
                                           : QJsonValue::Null);
    }
    if (!document)
        return reply(incoming.id,
                     QJsonObject{{str("isIncomplete"), false}, {str("items"), QJsonArray()}});
    if (!diagnosticRunner && document->documentWordsVersion != document->version)
        collectWords(*document);
    reply(incoming.id,
          completionsAt(document->text, position, encoding,
                        {&document->words, &document->compounds, &document->documentWords}));
}

void LanguageServer::notification(const JsonRpc::Incoming& incoming)
{
    const QString& method = incoming.method;
    if (method == QLatin1String("exit"))
        return finish(state == State::ShutDown ? 0 : 1);
    if (state != State::Running)
        return;
    const QJsonObject params = incoming.params.toObject();
    if (method == QLatin1String("textDocument/didOpen")) {
        didOpen(params);
    } else if (method == QLatin1String("textDocument/didChange")) {
        didChange(params);
    } else if (method == QLatin1String("textDocument/didClose")) {
        didClose(params);
    } else if (method == QLatin1String("textDocument/didSave")) {
        const QString uri =
            params.value(str("textDocument")).toObject().value(str("uri")).toString();
        if (diagnosticRunner && documents.contains(uri))
            diagnosticRunner->runSoon(uri);
    }
}

QJsonObject LanguageServer::initialize(const QJsonObject& params)
{
    const QJsonArray offered = params.value(str("capabilities"))
                                   .toObject()
                                   .value(str("general"))
                                   .toObject()
                                   .value(str("positionEncodings"))
                                   .toArray();
    encoding = offered.contains(str("utf-8")) ? PositionEncoding::Utf8 : PositionEncoding::Utf16;

    const QJsonObject capabilities{
        {str("positionEncoding"),
         encoding == PositionEncoding::Utf8 ? str("utf-8") : str("utf-16")},
        {str("textDocumentSync"),
         QJsonObject{{str("openClose"), true},
                     {str("change"), 2},
                     {str("save"), QJsonObject{{str("includeText"), false}}}}},
        {str("completionProvider"), QJsonObject{{str("triggerCharacters"), QJsonArray{str("\\")}},
                                                {str("resolveProvider"), false}}},
        {str("hoverProvider"), true},
        {str("semanticTokensProvider"), QJsonObject{{str("legend"), semanticTokensLegend()},
                                                    {str("full"), true},
                                                    {str("range"), false}}},
    };
    return {{str("capabilities"), capabilities},
            {str("serverInfo"), QJsonObject{{str("name"), str("quorstudio-lsp")},
                                            {str("version"), str(QUOR_VERSION)}}}};
}

void LanguageServer::didOpen(const QJsonObject& params)
{
    const QJsonObject item = params.value(str("textDocument")).toObject();
    const QString uri = item.value(str("uri")).toString();
    const QJsonValue text = item.value(str("text"));
    if (uri.isEmpty() || !text.isString() ||
        !isNotation(uri, item.value(str("languageId")).toString()))
        return;
    Document& document = documents[uri];
    document = Document();
    document.text.setText(text.toString());
    document.version = item.value(str("version")).toInt();
    collectWords(document);
    if (diagnosticRunner)
        diagnosticRunner->runSoon(uri);
}

void LanguageServer::didChange(const QJsonObject& params)
{
    const QJsonObject item = params.value(str("textDocument")).toObject();
    const QString uri = item.value(str("uri")).toString();
    const auto found = documents.find(uri);
    if (found == documents.end())
        return;
    Document& document = *found;
    for (const QJsonValue& change : params.value(str("contentChanges")).toArray()) {
        const QJsonObject object = change.toObject();
        const QJsonValue text = object.value(str("text"));
        if (!text.isString())
            continue;
        if (!object.contains(str("range"))) {
            document.text.setText(text.toString());
            continue;
        }
        const QJsonObject range = object.value(str("range")).toObject();
        TextPosition start, end;
        QString error;
        if (!positionOf(range.value(str("start")), &start, &error) ||
            !positionOf(range.value(str("end")), &end, &error))
            continue;
        document.text.replace(document.text.offsetAt(start, encoding),
                              document.text.offsetAt(end, encoding), text.toString());
    }
    const QJsonValue version = item.value(str("version"));
    document.version = version.isDouble() ? version.toInt() : document.version + 1;
    if (diagnosticRunner)
        diagnosticRunner->changed(uri);
}

void LanguageServer::didClose(const QJsonObject& params)
{
    const QString uri = params.value(str("textDocument")).toObject().value(str("uri")).toString();
    if (!documents.remove(uri))
        return;
    if (diagnosticRunner)
        diagnosticRunner->forget(uri);
    notify(str("textDocument/publishDiagnostics"),
           QJsonObject{{str("uri"), uri}, {str("diagnostics"), QJsonArray()}});
}

LanguageServer::Document* LanguageServer::documentFor(const QJsonObject& params, QString* error)
{
    const QJsonValue uri = params.value(str("textDocument")).toObject().value(str("uri"));
    if (!uri.isString()) {
        *error = str("textDocument.uri must be a string");
        return nullptr;
    }
    const auto found = documents.find(uri.toString());
    return found == documents.end() ? nullptr : &*found;
}

bool LanguageServer::positionOf(const QJsonValue& value, TextPosition* position, QString* error)
{
    const QJsonObject object = value.toObject();
    const QJsonValue line = object.value(str("line"));
    const QJsonValue character = object.value(str("character"));
    if (!isCount(line) || !isCount(character)) {
        *error = str("a position needs a line and a character, whole numbers from 0");
        return false;
    }
    *position = {line.toInt(), character.toInt()};
    return true;
}

void LanguageServer::runFinished(const QString& uri, const RunResult& result)
{
    const auto found = documents.find(uri);
    if (found == documents.end() || state != State::Running)
        return;
    Document& document = *found;
    document.words = StatementTruths::termsOf(result.words);
    document.compounds = StatementTruths::termsOf(result.compounds);
    document.statements = names(result.statements);
    // A run of an older text is followed by one of the current text; its places are stale.
    if (result.version != document.version)
        return;
    document.errors = result.failure.isEmpty()
                          ? errorRanges(result.errors, document.text)
                          : QVector<ErrorRange>{failureRange(result.failure, document.text)};
    publish(uri, document);
    // The text has rested: a good moment to collect its words for completion.
    collectWords(document);
}

void LanguageServer::collectWords(Document& document)
{
    document.documentWords = WordCompletion::wordsOf(document.text.text());
    document.documentWordsVersion = document.version;
}

void LanguageServer::publish(const QString& uri, const Document& document)
{
    notify(
        str("textDocument/publishDiagnostics"),
        QJsonObject{{str("uri"), uri},
                    {str("version"), document.version},
                    {str("diagnostics"), diagnostics(document.errors, document.text, encoding)}});
}

void LanguageServer::reply(const QJsonValue& id, const QJsonValue& result)
{
    emit send(MessageFraming::frame(JsonRpc::response(id, result)));
}

void LanguageServer::replyError(const QJsonValue& id, int code, const QString& message)
{
    emit send(MessageFraming::frame(JsonRpc::error(id, code, message)));
}

void LanguageServer::notify(const QString& method, const QJsonValue& params)
{
    emit send(MessageFraming::frame(JsonRpc::notification(method, params)));
}

void LanguageServer::finish(int status)
{
    exitStatus = status;
    emit finished(status);
}
