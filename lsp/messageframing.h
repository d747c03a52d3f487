#ifndef MESSAGEFRAMING_H
#define MESSAGEFRAMING_H

#include <QByteArray>
#include <QString>

// The base protocol of the language server: each message is a header ("Content-Length: N",
// other fields allowed, lines ended by CR LF) and an empty line, then N bytes of body.
//
// Bytes go in as they arrive, in pieces of any size; whole bodies and framing errors come out in
// order. A broken header is reported and skipped: parsing resumes at the next "Content-Length"
// field, so one bad message does not take the following ones with it. A body above MaxBody bytes
// is reported and skipped without being kept.
class MessageFraming {
public:
    static constexpr qint64 MaxBody = 64 * 1024 * 1024;
    static constexpr int MaxHeader = 8 * 1024;

    struct Item {
        enum Type { None, Body, Error } type = None;
        QByteArray body;
        QString error;
    };

    void feed(const QByteArray& bytes);
    // Puts bytes back in front of what has not been read yet (a body that turned out to hold
    // the start of the next message).
    void unread(const QByteArray& bytes);
    // The next complete item; type None when more bytes are needed.
    Item next();

    // Bytes waiting (for tests and limits).
    qint64 buffered() const { return pending.size() - pos; }

    static QByteArray frame(const QByteArray& body);

private:
    Item parseHeader(int end, int terminatorLength);
    void compact();

    QByteArray pending;
    int pos = 0;
    qint64 bodyLength = -1; // while a body is awaited
    qint64 skipping = 0;    // bytes of an oversized body still to drop
};

#endif
