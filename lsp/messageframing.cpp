#include "messageframing.h"

#include <QList>

#include <algorithm>

namespace {

const QByteArray LengthField = QByteArrayLiteral("content-length");

// Where the next length field starts in `block`, after its first byte; -1 when none does.
int nextLengthField(const QByteArray& block)
{
    return block.toLower().indexOf(LengthField, 1);
}

} // namespace

void MessageFraming::feed(const QByteArray& bytes)
{
    pending.append(bytes);
}

void MessageFraming::unread(const QByteArray& bytes)
{
    pending = bytes + pending.mid(pos);
    pos = 0;
}

void MessageFraming::compact()
{
    // Drops what has been read once it is most of the buffer, so the copies stay linear.
    if (pos > 0 && pos >= pending.size() / 2) {
        pending.remove(0, pos);
        pos = 0;
    }
}

QByteArray MessageFraming::frame(const QByteArray& body)
{
    return QByteArrayLiteral("Content-Length: ") + QByteArray::number(body.size()) +
           QByteArrayLiteral("\r\n\r\n") + body;
}

MessageFraming::Item MessageFraming::next()
{
    if (skipping > 0) {
        const qint64 dropped = std::min(skipping, buffered());
        pos += int(dropped);
        skipping -= dropped;
        compact();
        if (skipping > 0)
            return {};
    }
    if (bodyLength >= 0) {
        if (buffered() < bodyLength)
            return {};
        Item item{Item::Body, pending.mid(pos, int(bodyLength)), QString()};
        pos += int(bodyLength);
        bodyLength = -1;
        compact();
        return item;
    }

    // Line ends between messages are tolerated.
    while (pos < pending.size() && (pending.at(pos) == '\r' || pending.at(pos) == '\n'))
        ++pos;
    const int crlf = pending.indexOf("\r\n\r\n", pos);
    const int lf = pending.indexOf("\n\n", pos);
    int end = crlf;
    int terminator = 4;
    if (lf >= 0 && (crlf < 0 || lf < crlf)) {
        end = lf;
        terminator = 2;
    }
    if (end < 0) {
        if (buffered() <= MaxHeader) {
            compact();
            return {};
        }
        // No header ends in sight: resume at the next length field, or keep only what could be
        // the start of one.
        const int resume = nextLengthField(pending.mid(pos));
        pos = resume > 0 ? pos + resume : std::max(pos, pending.size() - LengthField.size());
        compact();
        return {Item::Error, QByteArray(),
                QStringLiteral("header longer than %1 bytes").arg(MaxHeader)};
    }
    return parseHeader(end, terminator);
}

MessageFraming::Item MessageFraming::parseHeader(int end, int terminatorLength)
{
    const QByteArray block = pending.mid(pos, end - pos);
    qint64 length = -1;
    QString error;
    for (const QByteArray& rawLine : block.split('\n')) {
        const QByteArray line = rawLine.endsWith('\r') ? rawLine.chopped(1) : rawLine;
        const int colon = line.indexOf(':');
        if (colon <= 0) {
            error = QStringLiteral("header line without a field name and ':'");
            break;
        }
        if (line.left(colon).trimmed().toLower() != LengthField)
            continue;
        const QByteArray value = line.mid(colon + 1).trimmed();
        bool ok =
            !value.isEmpty() && value.size() <= 18 &&
            std::all_of(value.begin(), value.end(), [](char c) { return c >= '0' && c <= '9'; });
        const qint64 parsed = ok ? value.toLongLong(&ok) : -1;
        if (!ok) {
            error = QStringLiteral("Content-Length is not a number of bytes");
            break;
        }
        if (length >= 0 && parsed != length) {
            error = QStringLiteral("two different Content-Length fields");
            break;
        }
        length = parsed;
    }
    if (error.isEmpty() && length < 0)
        error = QStringLiteral("header without Content-Length");

    if (!error.isEmpty()) {
        const int resume = nextLengthField(block);
        pos = resume > 0 ? pos + resume : end + terminatorLength;
        compact();
        return {Item::Error, QByteArray(), error};
    }
    pos = end + terminatorLength;
    if (length > MaxBody) {
        skipping = length;
        Item item{Item::Error, QByteArray(),
                  QStringLiteral("message of %1 bytes is larger than the limit of %2 bytes")
                      .arg(length)
                      .arg(MaxBody)};
        return item;
    }
    bodyLength = length;
    Item item = next();
    return item.type == Item::None ? Item() : item;
}
