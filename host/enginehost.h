#ifndef ENGINEHOST_H
#define ENGINEHOST_H

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <mutex>
#include <string>
#include <utility>

// quorstudio-engine-host: one engine instance in a process of its own, spoken to through frames
// (hostframes.h) on two file descriptors, normally standard input and output.
//
// Three threads. The engine thread (the one that calls run()) makes every create_object,
// process and destroy_object call, one input at a time in the order they came. The polling
// thread is the only caller of get and writes each message as a frame. The reading thread reads
// the client's frames, queues whole inputs for the engine thread and counts acknowledgements;
// it keeps reading while process() runs, so the host notices at once when its input closes.
//
// The host ends when its input closes (the client stopped it, or is gone) or when the client
// sends garbage: an idle engine is destroyed properly (destroy_object releases the poller's
// waiting get, the poller is joined); an engine inside process() cannot be asked to stop, so
// the process ends there and then.
class EngineHost {
public:
    enum Status {
        Ended = 0,          // input closed, or output gone
        ClientGarbage = 65, // the client sent something that is not a frame it may send
    };

    EngineHost(int in, int out);
    EngineHost(const EngineHost&) = delete;
    EngineHost& operator=(const EngineHost&) = delete;

    // Runs until the conversation ends; returns the process's exit status. May instead end the
    // process itself (see above).
    int run();

private:
    void readLoop();
    void pollLoop();
    bool writeFrame(unsigned char kind, const char* payload, std::size_t size);
    void end(Status status);

    const int in;
    const int out;
    void* handle = nullptr;

    std::mutex mutex; // guards everything below up to `changed`
    std::deque<std::pair<std::string, int>> inputs;
    bool ending = false;
    Status status = Ended;
    bool processing = false;
    std::uint64_t sent = 0;  // messages written
    std::uint64_t taken = 0; // messages the client has acknowledged
    std::condition_variable changed;

    std::atomic<bool> stopFlag{false};
    std::mutex writeMutex; // one frame at a time on the output; guards `frame`
    std::string frame;
};

#endif
