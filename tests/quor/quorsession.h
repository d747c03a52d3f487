#ifndef QUORSESSION_H
#define QUORSESSION_H

// Drives the engine library through its four C functions and decodes its replies with the
// program's own decoders.

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>
#include <QVector>
#include <QtGlobal>

// One engine instance for the length of a test.
class QuorSession {
public:
    QuorSession();
    ~QuorSession();
    QuorSession(const QuorSession&) = delete;
    QuorSession& operator=(const QuorSession&) = delete;

    // process() with the text as UTF-8, then every message queued, in order.
    QList<QByteArray> send(const QString& text, int line = 1);
    // The same with raw bytes, which need not be valid UTF-8.
    QList<QByteArray> sendBytes(const QByteArray& bytes, int line = 1);

    void* handle() const { return instance; }

private:
    void* instance;
};

// The kind letter of a framed message, or 0 for a plain one.
char kindOf(const QByteArray& message);
QList<QByteArray> ofKind(const QList<QByteArray>& messages, char kind);
// The texts of the plain messages.
QStringList plainTexts(const QList<QByteArray>& messages);
// The text field at offset 3 of a framed message.
QString payloadText(const QByteArray& message);

struct ErrorReply {
    quint32 line = 0;
    quint32 column = 0;
    quint8 mark = 0;
    QString text;
};
QVector<ErrorReply> errors(const QList<QByteArray>& messages);

struct TableRow {
    quint64 id = 0;
    QString name;
};
// The records of a 'w', 'c' or 's' message; `complete` is cleared when the records do not end
// exactly at the end of the message.
QVector<TableRow> tableRows(const QByteArray& message, bool* complete = nullptr);
QStringList tableNames(const QByteArray& message);

struct TimeReply {
    quint32 microseconds = 0;
    quint32 cycles = 0;
};
bool decodeTime(const QByteArray& message, TimeReply& time);

struct TreeNode {
    QString label;
    quint32 level = 0;
    qint32 thread = -1;
    quint8 flags = 0;
    int genNumber = -1;
    QVector<quint64> children;
};
// A 'q' message as the program decodes it; node 0 is the root.
struct TreeReply {
    bool complete = false; // every counted record was read and nothing follows
    QMap<quint64, TreeNode> nodes;
};
TreeReply decodeTree(const QByteArray& message);

struct InferenceReply {
    bool complete = false;
    QVector<QVector<quint64>> items;
    QVector<quint32> operations;
    QMap<quint64, QString> texts;
    QMap<quint32, QString> operationNames;
};
InferenceReply decodeInferences(const QByteArray& message);

#endif
