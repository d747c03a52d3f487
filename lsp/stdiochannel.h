#ifndef STDIOCHANNEL_H
#define STDIOCHANNEL_H

#include <QByteArray>
#include <QObject>

#include <thread>

// The server's standard input and output. A thread waits on the input and hands each piece it
// reads to the event loop (signal `received`, then `closed` at its end), so the program uses no
// CPU while the client is silent and the event loop stays free while it waits. Writes go out at
// once, whole.
class StdioChannel : public QObject {
    Q_OBJECT

public:
    explicit StdioChannel(QObject* parent = nullptr);
    // Wakes the reading thread and waits for it to end.
    ~StdioChannel() override;

    // Starts reading; call once the receivers are connected.
    void start();
    // False when the output is gone.
    bool write(const QByteArray& bytes);

signals:
    void received(const QByteArray& bytes);
    void closed();

private:
    void read();

    std::thread reader;
    int wake[2] = {-1, -1}; // written to when the channel goes away
};

#endif
