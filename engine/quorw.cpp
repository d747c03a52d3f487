#include "quorw.h"

#include "quor.h"

#include <QByteArray>
#include <QMetaMethod>

#include <chrono>
#include <cstring>

#if defined(__SANITIZE_THREAD__)
#define QUOR_TSAN 1
#elif defined(__has_feature)
#if __has_feature(thread_sanitizer)
#define QUOR_TSAN 1
#endif
#endif

#ifdef QUOR_TSAN
extern "C" void __tsan_acquire(void* address);
extern "C" void __tsan_release(void* address);
#endif

void QuorW::takeOver(const char* block)
{
#ifdef QUOR_TSAN
    __tsan_acquire(const_cast<char*>(block));
#else
    Q_UNUSED(block);
#endif
}

void registerEngineMetaTypes()
{
    qRegisterMetaType<qulonglong>("size_t");
}

QuorW::QuorW() : QObject(nullptr)
{
    handle = create_object(1, 0);
    pollThread = std::thread(&QuorW::pollLoop, this);
}

// Shutdown. The flag is set before destroy_object(), so the poller leaves at the top of its next
// pass. A poller that read the flag just before it was set may still call get() after
// destroy_object() has returned; the engine contract covers that window: a waiting get() is
// released by destroy_object(), and a get() on a destroyed handle returns false at once without
// touching the freed instance (the stand-in engine looks handles up in a registry of live
// instances and never reuses one). Either way get() returns false, the poller sees the flag and
// returns, and join() completes.
QuorW::~QuorW()
{
    stopFlag.store(true);
    destroy_object(handle);
    if (pollThread.joinable())
        pollThread.join();
}

void QuorW::input(QString string, int line)
{
    if (queueWhileBusy && (awaiting.load() || !queued.empty())) {
        queued.emplace_back(std::move(string), line);
        return;
    }
    handOver(string, line);
}

// Busy is set before process() runs: a message the engine sends while process() is still under
// way already counts as its answer.
void QuorW::handOver(const QString& string, int line)
{
    if (handOverHook)
        handOverHook();
    const QByteArray bytes = string.toUtf8();
    awaiting.store(true);
    setBusyShown(true);
    process(handle, bytes.constData(), line, 0);
}

void QuorW::setBusyShown(bool busy)
{
    if (busy == busyShown)
        return;
    busyShown = busy;
    if (busyObserver)
        busyObserver(busy);
}

void QuorW::setBusyObserver(std::function<void(bool)> observer)
{
    busyObserver = std::move(observer);
}

// Runs on the worker's thread after the window has had the answering message (both are posted
// events of that thread, handled in order). An input handed over since then keeps the engine
// busy.
void QuorW::answered()
{
    if (awaiting.load())
        return;
    if (!queued.empty()) {
        const auto next = std::move(queued.front());
        queued.pop_front();
        handOver(next.first, next.second);
        return;
    }
    setBusyShown(false);
}

void QuorW::setHandOverHook(std::function<void()> hook)
{
    handOverHook = std::move(hook);
}

void QuorW::setQueueWhileBusy(bool on)
{
    queueWhileBusy = on;
    // Inputs that wait are not lost when queueing is switched off: they go on in order, one per
    // answer, as before.
}

int QuorW::dropQueuedInputs()
{
    const int dropped = static_cast<int>(queued.size());
    queued.clear();
    return dropped;
}

// Flow control. Every AcknowledgeEvery-th block is followed by a queued call of acknowledge() on
// this object's thread, the thread the window's queued output() calls go to; posted events are
// handled in order, so when it runs, the blocks before it have been handed over. While MaxInFlight
// blocks are unacknowledged the poller sleeps, and stays ready to leave when the worker is
// destroyed.
void QuorW::waitForReceiver()
{
    while (emitted - delivered.load(std::memory_order_acquire) >= MaxInFlight && !stopFlag.load())
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

void QuorW::acknowledge()
{
    delivered.fetch_add(AcknowledgeEvery, std::memory_order_release);
}

void QuorW::pollLoop()
{
    static const QMetaMethod outputSignal = QMetaMethod::fromSignal(&QuorW::output);
    // Invoked through the meta-object, not with a functor: Qt then makes the queued call in its
    // own code, and the thread sanitizer sees no unannounced hand-over of our data.
    static const QMetaMethod acknowledgeMethod =
        staticMetaObject.method(staticMetaObject.indexOfSlot("acknowledge()"));
    static const QMetaMethod answeredMethod =
        staticMetaObject.method(staticMetaObject.indexOfSlot("answered()"));
    char buffer[BufferSize];
    std::size_t size = 0;
    while (!stopFlag.load()) {
        waitForReceiver();
        if (stopFlag.load())
            break;
        size = BufferSize;
        buffer[0] = 0;
        if (!get(handle, buffer, &size, true, 0xFFFFFFFFu, 0))
            continue;
        // An engine that claims more than it was offered has broken the contract; what lies
        // past the buffer is not ours to read, so the message is dropped.
        if (size > BufferSize)
            continue;
        // Nobody would free a block that no receiver gets: don't make one.
        if (!isSignalConnected(outputSignal))
            continue;
        char* block = new char[size];
        std::memcpy(block, buffer, size);
#ifdef QUOR_TSAN
        __tsan_release(block);
#endif
        emit output(block, size);
        if (++emitted % AcknowledgeEvery == 0)
            acknowledgeMethod.invoke(this, Qt::QueuedConnection);
        if (awaiting.load() && awaiting.exchange(false))
            answeredMethod.invoke(this, Qt::QueuedConnection);
    }
}
