// The window under load: a flood of engine messages, and Find and Replace in a large document.
#include "stallmeter.h"
#include "windowfixture.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSettings>
#include <QTabWidget>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

// The tests' window fixture: private settings, the test engine reset.
std::unique_ptr<MainWindow> makeWindow(const fixture::Environment&)
{
    auto window = fixture::makeWindow();
    window->show();
    QCoreApplication::processEvents();
    return window;
}

// 100,000 plain 80-byte messages queued by the engine at once, until the last one is shown.
// A StallMeter runs meanwhile; its worst lateness is the longest stall of the GUI thread.
void BM_EngineFlood(benchmark::State& state)
{
    const fixture::Environment settings;
    const int count = 100000;
    double worstStallMs = 0;
    for (auto _ : state) {
        auto window = makeWindow(settings);
        auto* output = fixture::child<QPlainTextEdit>(window.get(), "plainTextEdit");
        const int before = output->blockCount();
        const std::vector<std::string> flood(count, std::string(79, 'x') + '\0');

        QElapsedTimer clock;
        clock.start();
        const StallMeter meter;
        testengine::queueMany(flood);
        while (output->blockCount() < before + count)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        state.SetIterationTime(clock.nsecsElapsed() / 1e9);
        worstStallMs = std::max(worstStallMs, meter.worstDelayMs());
        state.PauseTiming();
        window->close();
        window.reset();
        state.ResumeTiming();
    }
    state.counters["worst_timer_delay_ms"] = worstStallMs;
}
BENCHMARK(BM_EngineFlood)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);

// The same flood from an engine in a separate process: the test engine, loaded by the engine host
// in script mode, queues the 100,000 messages when it is sent "flood 100000".
void BM_EngineFloodSeparate(benchmark::State& state)
{
    const fixture::Environment settings;
    qputenv("LD_LIBRARY_PATH", TEST_ENGINE_DIR);
    qputenv("QUOR_TEST_ENGINE", "script");
    const int count = 100000;
    double worstStallMs = 0;
    for (auto _ : state) {
        fixture::settings()->setValue(QStringLiteral("engineInSeparateProcess"), true);
        auto window = makeWindow(settings);
        auto* output = window->findChild<QPlainTextEdit*>(QStringLiteral("plainTextEdit"));
        // The start-up's version request is answered with an echo and a time line.
        while (!output->toPlainText().contains(QStringLiteral("Elapsed time")))
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        fixture::newDocument(window.get(), QStringLiteral("flood %1").arg(count));
        const int before = output->blockCount();

        QElapsedTimer clock;
        clock.start();
        const StallMeter meter;
        fixture::trigger(window.get(), "actionRun");
        while (output->blockCount() < before + count)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        state.SetIterationTime(clock.nsecsElapsed() / 1e9);
        worstStallMs = std::max(worstStallMs, meter.worstDelayMs());
        state.PauseTiming();
        window->currentEditor()->document()->setModified(false);
        window->close();
        window.reset();
        fixture::settings()->setValue(QStringLiteral("engineInSeparateProcess"), false);
        state.ResumeTiming();
    }
    state.counters["worst_timer_delay_ms"] = worstStallMs;
}
BENCHMARK(BM_EngineFloodSeparate)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);

// A 5 MB document holding 50,000 matches of the search text.
QString findDocument()
{
    QString text;
    text.reserve(5 * 1024 * 1024);
    const QString filler = QStringLiteral("<bird \u2192 animal>. {0.9 0.8} // a comment line ");
    int line = 0;
    while (text.size() < 5 * 1000 * 1000) {
        text += filler;
        if (line < 50000)
            text += QStringLiteral("needle");
        text += QStringLiteral(" (x)\n");
        ++line;
    }
    return text;
}

void BM_FindAndReplace(benchmark::State& state)
{
    const fixture::Environment settings;
    const QString text = findDocument();
    const bool replaceAll = state.range(0) != 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto window = makeWindow(settings);
        QMetaObject::invokeMethod(window.get(), "newFile");
        CodeEditor* editor = window->currentEditor();
        editor->setPlainText(text);
        fixture::child<QLineEdit>(window.get(), "lineEdit")->setText(QStringLiteral("needle"));
        fixture::child<QLineEdit>(window.get(), "lineEdit_2")->setText(QStringLiteral("pin"));
        QCoreApplication::processEvents();
        if (!replaceAll)
            state.ResumeTiming();
        QMetaObject::invokeMethod(window.get(), "searchAndReplace");
        QCoreApplication::processEvents();
        if (replaceAll) {
            state.ResumeTiming();
            QMetaObject::invokeMethod(window.get(), "replaceAll");
            QCoreApplication::processEvents();
        }
        state.PauseTiming();
        if (replaceAll && editor->toPlainText().contains(QStringLiteral("needle")))
            state.SkipWithError("Replace All left a match");
        editor->document()->setModified(false);
        window->close();
        window.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_FindAndReplace)
    ->ArgName("replace_all")
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

} // namespace
