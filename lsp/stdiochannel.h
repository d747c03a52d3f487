#ifndef STDIOCHANNEL_H
#define STDIOCHANNEL_H

#include <QByteArray>
#include <QObject>

// The server's standard input and output. A thread waits on the input and hands each piece it
// reads to the event loop (signal `received`, then `closed` at its end), so the program uses no
// CPU while the client is silent and the event loop stays free while it waits. Writes go out at
// once, whole.
class StdioChannel : public QObject {
    Q_OBJECT

public:
    explicit StdioChannel(QObject* parent = nullptr);

    // Starts reading; call once the receivers are connected.
    void start();
    // False when the output is gone.
    bool write(const QByteArray& bytes);

signals:
    void received(const QByteArray& bytes);
    void closed();
};

#endif
