// quorstudio-run: the tutorial run as a process, a 5 MB input against the engine's own time for
// it, and writing the graph files of the largest messages an engine sends (15,000 bytes).
#include "batchrun.h"
#include "largestmessages.h"
#include "quor.h"
#include "testmessages.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <vector>

namespace {

using namespace largest;

const QString runner = QStringLiteral(QUORSTUDIO_RUN);
const QString tutorial = QStringLiteral(TESTSRCDIR "/../examples/tutorial.quor");

// The engine alone in a fresh process, as the runner has it: this program started again with
// QUOR_BENCH_ENGINE_ONLY naming the input feeds it to the engine and fetches every message.
const bool engineOnlyChild = [] {
    const char* input = std::getenv("QUOR_BENCH_ENGINE_ONLY");
    if (!input)
        return false;
    std::ifstream file(input, std::ios::binary);
    const std::string text{std::istreambuf_iterator<char>(file), {}};
    void* engine = create_object(1, 0);
    process(engine, "\xe2\x8b\x99 version", 1, 0);
    process(engine, text.c_str(), 1, 0);
    std::vector<char> buffer(messageSize);
    std::size_t size = buffer.size();
    while (get(engine, buffer.data(), &size, false, 0, 0))
        size = buffer.size();
    destroy_object(engine);
    std::_Exit(0);
}();

double childCpuMs()
{
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    auto ms = [](const timeval& t) { return t.tv_sec * 1e3 + t.tv_usec / 1e3; };
    return ms(usage.ru_utime) + ms(usage.ru_stime);
}

// Runs a program to its end; the CPU time it used (all its threads) adds up in `cpuMs`.
void runProcess(benchmark::State& state, const QString& program, const QStringList& arguments,
                double& cpuMs, const QString& engineOnly = QString())
{
    QProcess process;
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    if (!engineOnly.isEmpty()) {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("QUOR_BENCH_ENGINE_ONLY"), engineOnly);
        process.setProcessEnvironment(environment);
    }
    const double before = childCpuMs();
    process.start(program, arguments);
    if (!process.waitForFinished(600000) || process.exitStatus() != QProcess::NormalExit ||
        process.exitCode() > 1)
        state.SkipWithError("the program failed");
    cpuMs += childCpuMs() - before;
}

void BM_TutorialRun(benchmark::State& state)
{
    double cpuMs = 0;
    for (auto _ : state)
        runProcess(state, runner, {tutorial}, cpuMs);
    state.counters["process_cpu_ms"] = cpuMs / state.iterations();
}
BENCHMARK(BM_TutorialRun)->Unit(benchmark::kMillisecond)->UseRealTime();

// About 5 MB of judgements and questions over a few thousand words: the tutorial's kind of
// input, large.
const QString& largeInput()
{
    static QTemporaryDir dir;
    static QString name;
    if (!name.isEmpty())
        return name;
    QByteArray text;
    for (int i = 0; text.size() < 5 * 1024 * 1024; ++i) {
        const QByteArray a = "w" + QByteArray::number(i % 4000);
        const QByteArray b = "w" + QByteArray::number((i * 7 + 1) % 4000);
        text += "<" + a + " \xe2\x86\x92 " + b + ">. {0.9 0.9}\n";
        if (i % 50 == 0)
            text += "<" + b + " \xe2\x86\x92 " + a + ">?\n";
    }
    name = dir.filePath(QStringLiteral("large.quor"));
    QFile file(name);
    if (file.open(QIODevice::WriteOnly))
        file.write(text);
    return name;
}

// The engine alone on the same text, in a fresh process.
void BM_LargeInputEngine(benchmark::State& state)
{
    double cpuMs = 0;
    for (auto _ : state)
        runProcess(state, QCoreApplication::applicationFilePath(), {}, cpuMs, largeInput());
    state.counters["process_cpu_ms"] = cpuMs / state.iterations();
}
BENCHMARK(BM_LargeInputEngine)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

void BM_LargeInputRun(benchmark::State& state)
{
    double cpuMs = 0;
    for (auto _ : state)
        runProcess(state, runner, {largeInput()}, cpuMs);
    state.counters["process_cpu_ms"] = cpuMs / state.iterations();
    state.counters["bytes"] = QFileInfo(largeInput()).size();
}
BENCHMARK(BM_LargeInputRun)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

// What --graphs does with the messages: decode, lay out, write the SVG text to its file.
void BM_GraphFiles(benchmark::State& state)
{
    QTemporaryDir dir;
    const QByteArray question = state.range(0) < 2 ? questionMessage(state.range(0)) : QByteArray();
    const QByteArray inference = state.range(0) == 2 ? inferenceMessage() : QByteArray();
    QString error;
    for (auto _ : state) {
        RunRecord record(0);
        for (const QByteArray& message : {question, inference})
            if (!message.isEmpty())
                record.add(decodeMessage(message.constData(), message.size()), QString(), {});
        if (!BatchRun::writeGraphs(dir.path(), record, &error))
            state.SkipWithError(qPrintable(error));
    }
    state.counters["bytes"] = question.size() + inference.size();
}
// 0: question tree, links only; 1: question tree, labelled; 2: inference graph.
BENCHMARK(BM_GraphFiles)->ArgName("graph")->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

} // namespace
