#include "enginehost.h"

#include "hostframes.h"
#include "quor.h"

#include <cerrno>
#include <thread>
#include <unistd.h>

using namespace hostframes;

namespace {

bool writeAll(int fd, const char* data, std::size_t size)
{
    while (size > 0) {
        const ssize_t written = ::write(fd, data, size);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        data += written;
        size -= std::size_t(written);
    }
    return true;
}

} // namespace

EngineHost::EngineHost(int in, int out) : in(in), out(out) {}

int EngineHost::run()
{
    handle = create_object(1, 0);
    if (!writeFrame(HelloKind, Hello, sizeof Hello - 1))
        end(Ended);
    std::thread poller(&EngineHost::pollLoop, this);
    // The reader may be blocked in read() when the conversation ends from the other side; the
    // process ends with it still there (see main).
    std::thread(&EngineHost::readLoop, this).detach();

    std::unique_lock<std::mutex> lock(mutex);
    for (;;) {
        changed.wait(lock, [this] { return ending || !inputs.empty(); });
        if (ending)
            break;
        const std::pair<std::string, int> input = std::move(inputs.front());
        inputs.pop_front();
        processing = true;
        lock.unlock();
        process(handle, input.first.c_str(), input.second, 0);
        lock.lock();
        processing = false;
        lock.unlock();
        if (!writeFrame(Done, nullptr, 0))
            end(Ended);
        lock.lock();
    }
    lock.unlock();

    // As the window's worker ends its engine: the flag first, so that the poller leaves at the
    // top of its next pass; destroy_object releases a get() that waits; then the join.
    stopFlag.store(true);
    destroy_object(handle);
    {
        const std::lock_guard<std::mutex> wake(mutex);
    }
    changed.notify_all();
    poller.join();
    const std::lock_guard<std::mutex> done(mutex);
    return status;
}

void EngineHost::end(Status why)
{
    const std::lock_guard<std::mutex> lock(mutex);
    if (ending)
        return;
    ending = true;
    status = why;
    // process() has no way to be interrupted, and destroy_object may not be called while it
    // runs: the whole process ends instead.
    if (processing)
        ::_exit(why);
    changed.notify_all();
}

void EngineHost::readLoop()
{
    std::string buffer;
    InputAssembler assembler;
    char chunk[64 * 1024];
    for (;;) {
        const ssize_t got = ::read(in, chunk, sizeof chunk);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return end(Ended);
        buffer.append(chunk, std::size_t(got));
        std::size_t offset = 0;
        for (;;) {
            const Parse next = parse(buffer.data() + offset, buffer.size() - offset, Reader::Host);
            if (next.state == Parse::Incomplete)
                break;
            if (next.state == Parse::Broken)
                return end(ClientGarbage);
            offset += next.length;
            if (next.frame.kind == Acknowledge) {
                const std::uint32_t count = acknowledged(next.frame);
                std::unique_lock<std::mutex> lock(mutex);
                if (count > sent - taken) {
                    lock.unlock();
                    return end(ClientGarbage);
                }
                taken += count;
                lock.unlock();
                changed.notify_all();
                continue;
            }
            if (!assembler.take(next.frame))
                return end(ClientGarbage);
            if (assembler.whole()) {
                {
                    const std::lock_guard<std::mutex> lock(mutex);
                    inputs.emplace_back(assembler.takeText(), assembler.line());
                }
                changed.notify_all();
            }
        }
        buffer.erase(0, offset);
    }
}

void EngineHost::pollLoop()
{
    char buffer[MaxPayload];
    while (!stopFlag.load()) {
        {
            // A client that has not taken MaxInFlight messages holds the engine's output back.
            std::unique_lock<std::mutex> lock(mutex);
            changed.wait(lock, [this] { return stopFlag.load() || sent - taken < MaxInFlight; });
        }
        if (stopFlag.load())
            break;
        std::size_t size = MaxPayload;
        buffer[0] = 0;
        if (!get(handle, buffer, &size, true, 0xFFFFFFFFu, 0))
            continue;
        // More than offered breaks the engine's contract: what lies past the buffer is not
        // ours to read, so the message is dropped, as the window's own worker drops it.
        if (size > MaxPayload)
            continue;
        {
            // Counted before it is written: the client may acknowledge it as soon as it is.
            const std::lock_guard<std::mutex> lock(mutex);
            ++sent;
        }
        if (!writeFrame(Message, buffer, size)) {
            end(Ended);
            return;
        }
    }
}

bool EngineHost::writeFrame(unsigned char kind, const char* payload, std::size_t size)
{
    const std::lock_guard<std::mutex> lock(writeMutex);
    frame.clear();
    appendFrame(frame, Kind(kind), payload, size);
    return writeAll(out, frame.data(), frame.size());
}
