#ifndef JSONRPC_H
#define JSONRPC_H

#include <QByteArray>
#include <QJsonValue>
#include <QString>

// JSON-RPC 2.0 as the language server protocol uses it: requests, notifications and responses,
// one object per message body.
namespace JsonRpc {

enum ErrorCode {
    ParseError = -32700,
    InvalidRequest = -32600,
    MethodNotFound = -32601,
    InvalidParams = -32602,
    InternalError = -32603,
    ServerNotInitialized = -32002,
};

// A message body read.
struct Incoming {
    enum Kind {
        Request,      // method and id
        Notification, // method, no id
        Response,     // an answer to a request of ours: ignored
        Invalid,      // errorCode and errorMessage say why; id is null when it could not be read
    } kind = Invalid;
    QJsonValue id;
    QString method;
    QJsonValue params;
    int errorCode = 0;
    QString errorMessage;
};

Incoming read(const QByteArray& body);

QByteArray response(const QJsonValue& id, const QJsonValue& result);
QByteArray error(const QJsonValue& id, int code, const QString& message);
QByteArray notification(const QString& method, const QJsonValue& params);

} // namespace JsonRpc

#endif
