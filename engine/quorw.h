#ifndef QUORW_H
#define QUORW_H

#include <QObject>
#include <QString>

#include <atomic>
#include <cstddef>
#include <deque>
#include <functional>
#include <thread>
#include <utility>

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

    // False when the engine library refused to create an instance.
    bool hasEngine() const { return handle != nullptr; }

    // A receiver of output() calls this first, with the block. It does nothing, except in a
    // build with the thread sanitizer: Qt hands the block over through its own event queue,
    // whose lock the sanitizer cannot see, so the hand-over is announced to it (the polling
    // thread releases each block before it emits it; the receiver acquires it here).
    static void takeOver(const char* block);

    // True from the hand-over of an input until the engine's next message, whichever input
    // that message answers. Any thread may ask.
    bool isBusy() const { return awaiting.load(); }

    // While on, an input given while the engine is busy (or while earlier ones wait) waits in
    // the worker and is handed over, in order, once the engine has answered the one before.
    // Off by default: every input is handed over at once. GUI thread only, like the three below.
    void setQueueWhileBusy(bool on);
    bool queuesWhileBusy() const { return queueWhileBusy; }
    int queuedInputs() const { return static_cast<int>(queued.size()); }
    // Forgets the inputs that wait; returns how many there were.
    int dropQueuedInputs();
    // Called on the worker's thread each time the engine becomes busy or idle (see isBusy). A
    // plain callback rather than a signal, so the worker's signals and slots stay as they are.
    void setBusyObserver(std::function<void(bool busy)> observer);
    // Called on the worker's thread just before each input is handed to the engine, whether it
    // goes at once or has waited in the queue: the last moment before the engine can take the
    // process down with it.
    void setHandOverHook(std::function<void()> hook);

signals:
    // One engine message: a block of exactly size bytes allocated with new[]; the receiver owns
    // it and frees it with delete[].
    void output(const char* buffer, size_t size);

public slots:
    void input(QString string, int line);

private slots:
    // Runs on this object's thread once every AcknowledgeEvery blocks (see pollLoop).
    void acknowledge();
    // Posted by the poller after a message that answered a handed-over input.
    void answered();

private:
    void pollLoop();
    void waitForReceiver();
    void handOver(const QString& string, int line);
    void setBusyShown(bool busy);

    void* handle = nullptr;
    std::atomic<bool> stopFlag{false};
    long long emitted = 0;               // blocks emitted; the poller's own
    std::atomic<long long> delivered{0}; // blocks known to have reached the receiver
    std::thread pollThread;
    // Set by handOver() before process() and cleared by the poller at the next message.
    std::atomic<bool> awaiting{false};
    // Owned by the worker's thread (the GUI thread): never touched by the poller.
    std::deque<std::pair<QString, int>> queued;
    bool queueWhileBusy = false;
    bool busyShown = false;
    std::function<void(bool)> busyObserver;
    std::function<void()> handOverHook;
};

#endif
