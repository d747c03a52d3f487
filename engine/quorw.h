#ifndef QUORW_H
#define QUORW_H

#include <QObject>
#include <QString>

#include <atomic>
#include <cstddef>
#include <thread>

// Registers "size_t" as an alias of the unsigned 64-bit meta-type, so that output() can be
// queued across threads. The program calls it first thing, before any connection is made.
void registerEngineMetaTypes();

// The engine worker: owns the one engine instance of the run, feeds it input on the GUI thread
// and runs a polling thread that fetches every output message and emits it as a heap block.
class QuorW : public QObject {
    Q_OBJECT

public:
    // Capacity offered to get(); no engine message is larger.
    static constexpr std::size_t BufferSize = 15000;
    // Most blocks emitted but not yet handed to their receiver. An engine that sends faster
    // than the window takes its messages is held at this many (the poller waits before its
    // next get()), so the event queue and memory stay bounded whatever the engine does.
    static constexpr long long MaxInFlight = 4096;
    // The receiving thread acknowledges every this many blocks.
    static constexpr long long AcknowledgeEvery = 256;

    QuorW();
    ~QuorW() override;

    // A receiver of output() calls this first, with the block. It does nothing, except in a
    // build with the thread sanitizer: Qt hands the block over through its own event queue,
    // whose lock the sanitizer cannot see, so the hand-over is announced to it (the polling
    // thread releases each block before it emits it; the receiver acquires it here).
    static void takeOver(const char* block);

signals:
    // One engine message: a block of exactly size bytes allocated with new[]; the receiver owns
    // it and frees it with delete[].
    void output(const char* buffer, size_t size);

public slots:
    void input(QString string, int line);

private slots:
    // Runs on this object's thread once every AcknowledgeEvery blocks (see pollLoop).
    void acknowledge();

private:
    void pollLoop();
    void waitForReceiver();

    void* handle = nullptr;
    std::atomic<bool> stopFlag{false};
    long long emitted = 0;               // blocks emitted; the poller's own
    std::atomic<long long> delivered{0}; // blocks known to have reached the receiver
    std::thread pollThread;
};

#endif
