#include "jsonrpc.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>

#include <cmath>

namespace JsonRpc {

namespace {

Incoming invalid(const QJsonValue& id, int code, const QString& message)
{
    Incoming incoming;
    incoming.id = id;
    incoming.errorCode = code;
    incoming.errorMessage = message;
    return incoming;
}

// Ids are integers or strings.
bool isValidId(const QJsonValue& id)
{
    if (id.isString())
        return true;
    if (!id.isDouble())
        return false;
    const double value = id.toDouble();
    return std::floor(value) == value && std::fabs(value) <= 9007199254740991.0;
}

QByteArray write(const QJsonObject& object)
{
    return QJsonDocument(object).toJson(QJsonDocument::Compact);
}

} // namespace

Incoming read(const QByteArray& body)
{
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(body, &parseError);
    if (parseError.error != QJsonParseError::NoError)
        return invalid(QJsonValue::Null, ParseError,
                       QStringLiteral("invalid JSON at byte %1: %2")
                           .arg(parseError.offset)
                           .arg(parseError.errorString()));
    if (!document.isObject())
        return invalid(QJsonValue::Null, InvalidRequest,
                       QStringLiteral("a message must be a JSON object"));

    const QJsonObject object = document.object();
    const bool hasId = object.contains(QLatin1String("id"));
    const QJsonValue id = object.value(QLatin1String("id"));
    const QJsonValue idOrNull = hasId && isValidId(id) ? id : QJsonValue(QJsonValue::Null);
    if (object.value(QLatin1String("jsonrpc")).toString() != QLatin1String("2.0"))
        return invalid(idOrNull, InvalidRequest, QStringLiteral("\"jsonrpc\" must be \"2.0\""));

    const QJsonValue method = object.value(QLatin1String("method"));
    if (!object.contains(QLatin1String("method"))) {
        if (hasId &&
            (object.contains(QLatin1String("result")) || object.contains(QLatin1String("error")))) {
            Incoming incoming;
            incoming.kind = Incoming::Response;
            incoming.id = id;
            return incoming;
        }
        return invalid(idOrNull, InvalidRequest, QStringLiteral("no \"method\""));
    }
    if (!method.isString())
        return invalid(idOrNull, InvalidRequest, QStringLiteral("\"method\" must be a string"));
    if (hasId && !isValidId(id))
        return invalid(QJsonValue::Null, InvalidRequest,
                       QStringLiteral("\"id\" must be an integer or a string"));
    const QJsonValue params = object.value(QLatin1String("params"));
    if (!params.isUndefined() && !params.isObject() && !params.isArray())
        return invalid(idOrNull, InvalidRequest,
                       QStringLiteral("\"params\" must be an object or an array"));

    Incoming incoming;
    incoming.kind = hasId ? Incoming::Request : Incoming::Notification;
    incoming.id = id;
    incoming.method = method.toString();
    incoming.params = params;
    return incoming;
}

QByteArray response(const QJsonValue& id, const QJsonValue& result)
{
    return write({{QStringLiteral("jsonrpc"), QStringLiteral("2.0")},
                  {QStringLiteral("id"), id},
                  {QStringLiteral("result"), result.isUndefined() ? QJsonValue() : result}});
}

QByteArray error(const QJsonValue& id, int code, const QString& message)
{
    return write({{QStringLiteral("jsonrpc"), QStringLiteral("2.0")},
                  {QStringLiteral("id"), id},
                  {QStringLiteral("error"), QJsonObject{{QStringLiteral("code"), code},
                                                        {QStringLiteral("message"), message}}}});
}

QByteArray notification(const QString& method, const QJsonValue& params)
{
    return write({{QStringLiteral("jsonrpc"), QStringLiteral("2.0")},
                  {QStringLiteral("method"), method},
                  {QStringLiteral("params"), params}});
}

} // namespace JsonRpc
