#ifndef LANGUAGESERVER_H
#define LANGUAGESERVER_H

#include "diagnosticrunner.h"
#include "documenttext.h"
#include "errorranges.h"
#include "jsonrpc.h"
#include "messageframing.h"

#include <QHash>
#include <QJsonObject>
#include <QObject>
#include <QStringList>

class EngineConnection;

// The language server: reads the protocol's messages from a byte stream, keeps the open
// documents, answers requests and sends diagnostics, all as bytes to write. The program wires it
// to standard input and output; tests and the fuzz target drive it directly.
//
// Lifecycle: requests other than initialize are refused until initialize has been answered, and
// all requests after shutdown; exit ends the server (status 0 after shutdown, else 1), and so
// does the end of its input.
class LanguageServer : public QObject {
    Q_OBJECT

public:
    // Without an engine (null) documents get no diagnostics and no engine tables.
    explicit LanguageServer(EngineConnection* engine, QObject* parent = nullptr);

    DiagnosticRunner* runner() { return diagnosticRunner; }

    // Bytes from the client, in pieces of any size.
    void receive(const QByteArray& bytes);
    // The client's side of the stream closed.
    void inputClosed();

    bool hasFinished() const { return exitStatus >= 0; }

signals:
    // One framed message for the client.
    void send(const QByteArray& bytes);
    // The server is done; the program ends with `status`.
    void finished(int status);

private:
    struct Document {
        DocumentText text;
        int version = 0;
        // From the last completed run.
        QVector<ErrorRange> errors;
        QStringList words;
        QStringList compounds;
        QStringList statements;
        QStringList documentWords;
        int documentWordsVersion = -1;
    };

    void handle(const QByteArray& body);
    void request(const JsonRpc::Incoming& incoming);
    void notification(const JsonRpc::Incoming& incoming);
    void reply(const QJsonValue& id, const QJsonValue& result);
    void replyError(const QJsonValue& id, int code, const QString& message);
    void notify(const QString& method, const QJsonValue& params);
    void finish(int status);

    QJsonObject initialize(const QJsonObject& params);
    void didOpen(const QJsonObject& params);
    void didChange(const QJsonObject& params);
    void didClose(const QJsonObject& params);
    // The document a request names, or null (with `error` set when the parameters are wrong).
    Document* documentFor(const QJsonObject& params, QString* error);
    // A position object ({"line", "character"}); false with `error` set when it is not one.
    static bool positionOf(const QJsonValue& value, TextPosition* position, QString* error);
    // The document's words for completion, from its current text.
    static void collectWords(Document& document);
    void runFinished(const QString& uri, const RunResult& result);
    void publish(const QString& uri, const Document& document);

    MessageFraming framing;
    DiagnosticRunner* diagnosticRunner = nullptr;
    QHash<QString, Document> documents;
    PositionEncoding encoding = PositionEncoding::Utf16;
    enum class State { Created, Running, ShutDown } state = State::Created;
    int exitStatus = -1;
};

#endif
