// The engine in a separate process against the engine in this one, with the stand-in engine: the
// round trip of a one-line input to its answer (the engine's time message), and a fresh host's
// start to its first answer.
#include "engineprocess.h"
#include "messages.h"
#include "quorw.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

bool isTime(const char* data, std::size_t size)
{
    return messageKind(data, size) == MessageKind::Time;
}

void waitFor(const long long& answers, long long count)
{
    while (answers < count)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

// host:0 through the worker in this process, host:1 through an engine host.
void BM_RoundTrip(benchmark::State& state)
{
    registerEngineMetaTypes();
    const bool separate = state.range(0) != 0;
    long long answers = 0;
    QObject receiver;
    std::unique_ptr<QuorW> worker;
    std::unique_ptr<EngineProcess> host;
    if (separate) {
        host = std::make_unique<EngineProcess>();
        QObject::connect(host.get(), &EngineProcess::message, &receiver,
                         [&](const QByteArray& message) {
                             answers += isTime(message.constData(), std::size_t(message.size()));
                         });
    } else {
        worker = std::make_unique<QuorW>();
        QObject::connect(worker.get(), &QuorW::output, &receiver,
                         [&](const char* block, size_t size) {
                             QuorW::takeOver(block);
                             answers += isTime(block, size);
                             delete[] block;
                         });
    }
    const auto send = [&](const QString& text) {
        const long long before = answers;
        if (separate)
            host->input(text, 1);
        else
            worker->input(text, 1);
        waitFor(answers, before + 1);
    };
    send(QStringLiteral("\u22d9 version")); // the host is running from here on
    const QString line = QStringLiteral("<robin \u2192 bird>.");
    for (auto _ : state)
        send(line);
}
BENCHMARK(BM_RoundTrip)
    ->ArgName("host")
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMicrosecond)
    ->UseRealTime()
    ->MinTime(2.0);

// From the first input, which starts the host, to the engine's first message.
void BM_HostStartToFirstAnswer(benchmark::State& state)
{
    for (auto _ : state) {
        EngineProcess host;
        long long messages = 0;
        QObject::connect(&host, &EngineProcess::message, [&] { ++messages; });
        QElapsedTimer clock;
        clock.start();
        host.input(QStringLiteral("\u22d9 version"), 1);
        waitFor(messages, 1);
        state.SetIterationTime(clock.nsecsElapsed() / 1e9);
    }
}
BENCHMARK(BM_HostStartToFirstAnswer)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(50);

} // namespace
