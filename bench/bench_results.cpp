// Result views that answer back: what the engine busy indicator costs while the engine is idle
// and while it is busy (CPU of the whole program over a stretch of wall time), and how long
// Fit to Window and Copy as Image take on the largest question tree an engine can send.
#include "engineactivity.h"
#include "largestmessages.h"
#include "outputappender.h"
#include "questiontree.h"
#include "quorw.h"
#include "svgview.h"
#include "testmessages.h"

#include <QEventLoop>
#include <QMainWindow>
#include <QPainter>
#include <QPlainTextEdit>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <ctime>

namespace {

double processCpuSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return double(now.tv_sec) + double(now.tv_nsec) / 1e9;
}

void runEventLoop(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

// The scriptable test engine never answers unless told to, so one input keeps it busy.
void BM_BusyIndicatorCpu(benchmark::State& state)
{
    registerEngineMetaTypes();
    const bool busy = state.range(0) != 0;
    QuorW engine;
    QMainWindow window;
    auto* output = new QPlainTextEdit(&window);
    auto* appender = new OutputAppender(output);
    EngineActivity activity(&engine, &window, nullptr, appender, output);
    window.show();
    if (busy)
        engine.input(QStringLiteral("\u22d9 version"), 1);
    runEventLoop(300); // settle after showing
    const int stretchMs = 2000;
    double cpu = 0;
    for (auto _ : state) {
        const double before = processCpuSeconds();
        runEventLoop(stretchMs);
        cpu = processCpuSeconds() - before;
    }
    state.counters["cpu_percent_of_core"] = 100.0 * cpu / (stretchMs / 1000.0);
    state.counters["ticking"] = activity.ticking() ? 1 : 0;
}
BENCHMARK(BM_BusyIndicatorCpu)
    ->ArgName("busy")
    ->Arg(0)
    ->Arg(1)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

// 0: Fit to Window and the paint that follows; 1: what Copy as Image costs the GUI thread;
// 2: Copy as Image until the drawing is on the clipboard.
void BM_LargestQuestionTree(benchmark::State& state)
{
    const QByteArray message = largest::questionMessage(false);
    SvgView view;
    view.resize(800, 600);
    view.show();
    view.setDrawing(questionTreeDrawing(decodeQuestionTree(message.constData(), message.size())));
    QImage shown(view.viewport()->size(), QImage::Format_ARGB32_Premultiplied);
    const int what = int(state.range(0));
    const double cpuBefore = processCpuSeconds();
    for (auto _ : state) {
        if (what == 0) {
            view.actualSize();
            view.fitToWindow();
            QPainter painter(&shown);
            view.render(&painter);
        } else if (what == 1) {
            view.copyAsImage();
            state.PauseTiming();
            QEventLoop loop;
            QObject::connect(&view, &SvgView::imageCopied, &loop, &QEventLoop::quit);
            loop.exec();
            state.ResumeTiming();
        } else {
            QEventLoop loop;
            QObject::connect(&view, &SvgView::imageCopied, &loop, &QEventLoop::quit);
            view.copyAsImage();
            loop.exec();
        }
    }
    // All threads' processor time, which the load of other processes inflates less than the
    // wall time.
    state.counters["process_cpu_ms"] =
        1000 * (processCpuSeconds() - cpuBefore) / double(state.iterations());
    const QSizeF size = view.scene()->itemsBoundingRect().size();
    state.counters["drawing_width"] = size.width();
    state.counters["drawing_height"] = size.height();
}
BENCHMARK(BM_LargestQuestionTree)
    ->ArgName("fit_copycall_copied")
    ->Arg(0)
    ->Arg(1)
    ->Arg(2)
    // A fixed count: the wait for the image in case 1 is not timed, so the framework's own
    // stopping rule would run it for a very long time.
    ->Iterations(5)
    ->Unit(benchmark::kMillisecond);

} // namespace
