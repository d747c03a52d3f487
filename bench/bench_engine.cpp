// The stand-in engine on its own, through its four C functions: the tutorial, 10,000
// judgements, questions with variables on a memory of 1,000 beliefs, and every golden
// transcript of the engine tests. Each figure is the time of process() and of fetching every
// reply.
#include "quor.h"

#include <QDir>
#include <QFile>

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

namespace {

// Sends one input and fetches every reply.
void send(void* engine, const std::string& text, int line = 1)
{
    static std::vector<char> buffer(QUOR_MAX_MESSAGE);
    process(engine, text.c_str(), line, 0);
    std::size_t size = buffer.size();
    while (get(engine, buffer.data(), &size, false, 0, 0))
        size = buffer.size();
}

std::string readFile(const QString& name)
{
    QFile file(name);
    return file.open(QIODevice::ReadOnly) ? file.readAll().toStdString() : std::string();
}

const std::string arrow = "\xe2\x86\x92"; // →

void BM_EngineTutorial(benchmark::State& state)
{
    const std::string tutorial = readFile(QStringLiteral(TESTSRCDIR "/../examples/tutorial.quor"));
    if (tutorial.empty())
        state.SkipWithError("examples/tutorial.quor not found");
    void* engine = create_object(1, 0);
    for (auto _ : state)
        send(engine, tutorial); // it starts with ⋙ clear
    destroy_object(engine);
}
BENCHMARK(BM_EngineTutorial)->Unit(benchmark::kMillisecond);

// 10,000 different judgements over 5,000 words, in one input to an empty memory.
void BM_EngineJudgements(benchmark::State& state)
{
    std::string text;
    for (int i = 0; i < 10000; ++i)
        text += "<w" + std::to_string(i % 5000) + ' ' + arrow + " w" +
                std::to_string((i * 7 + 3) % 5000) + ">. {0.9 0.8}\n";
    for (auto _ : state) {
        state.PauseTiming();
        void* engine = create_object(1, 0);
        state.ResumeTiming();
        send(engine, text);
        state.PauseTiming();
        destroy_object(engine);
        state.ResumeTiming();
    }
}
BENCHMARK(BM_EngineJudgements)->Unit(benchmark::kMillisecond);

// 1,000 beliefs among 300 words, some chains through compounds, then one question with a
// variable per input: which term is under w<k>, which is above it, which compound implies it.
void BM_EngineVariableSearch(benchmark::State& state)
{
    std::string memory;
    for (int i = 0; i < 900; ++i)
        memory += "<w" + std::to_string(i % 300) + ' ' + arrow + " w" +
                  std::to_string((i * 37 + 11) % 300) + ">. {0.9 0.9}\n";
    for (int i = 0; i < 100; ++i)
        memory += "<(w" + std::to_string(i) + " \xe2\x88\xa7 w" + std::to_string(i + 100) +
                  ") \xe2\x87\x92 w" + std::to_string(i + 200) + ">. {0.8 0.9}\n";
    std::vector<std::string> questions;
    for (int k = 0; k < 30; ++k) {
        const std::string w = "w" + std::to_string(k * 10 + 7);
        questions.push_back("<#x " + arrow + ' ' + w + ">?");
        questions.push_back('<' + w + ' ' + arrow + " #y>?");
        questions.push_back("<(#x \xe2\x88\xa7 w" + std::to_string(k + 100) +
                            ") \xe2\x87\x92 #y>?");
    }
    void* engine = create_object(1, 0);
    send(engine, memory);
    std::size_t next = 0;
    for (auto _ : state) {
        send(engine, questions[next]);
        next = (next + 1) % questions.size();
    }
    destroy_object(engine);
}
BENCHMARK(BM_EngineVariableSearch)->Unit(benchmark::kMicrosecond);

// One golden transcript of tests/quor/golden as the test runner sends it: "%% send N" starts
// another input whose first line is N, "%% session" a new engine.
void runTranscript(const std::string& transcript)
{
    void* engine = create_object(1, 0);
    std::string input;
    int line = 1;
    bool pending = false;
    const auto flush = [&] {
        if (pending)
            send(engine, input, line);
        input.clear();
        pending = false;
    };
    std::size_t start = 0;
    while (start < transcript.size()) {
        std::size_t end = transcript.find('\n', start);
        if (end == std::string::npos)
            end = transcript.size();
        const std::string text = transcript.substr(start, end - start);
        start = end + 1;
        if (text.rfind("%% ", 0) != 0) {
            input += (pending ? "\n" : "") + text;
            pending = true;
            continue;
        }
        flush();
        if (text == "%% session") {
            destroy_object(engine);
            engine = create_object(1, 0);
        } else {
            line = text.size() > 8 ? std::stoi(text.substr(8)) : 1;
        }
    }
    flush();
    destroy_object(engine);
}

void BM_EngineGolden(benchmark::State& state, const std::string& transcript)
{
    for (auto _ : state)
        runTranscript(transcript);
}

const bool goldenRegistered = [] {
    const QDir dir(QStringLiteral(TESTSRCDIR "/quor/golden"));
    for (const QString& file : dir.entryList({QStringLiteral("*.quor")})) {
        const std::string transcript = readFile(dir.filePath(file));
        benchmark::RegisterBenchmark(("BM_EngineGolden/" + file.chopped(5)).toStdString().c_str(),
                                     BM_EngineGolden, transcript)
            ->Unit(benchmark::kMicrosecond);
    }
    return true;
}();

} // namespace
