// Where users feel the editor: a Run's worth of error messages marked and painted, and a large
// document opened (first paint with the visible part coloured, then the rest in idle slices).
#include "codeeditor.h"
#include "mainwindow.h"
#include "quorw.h"
#include "stallmeter.h"
#include "testengine.h"
#include "testmessages.h"
#include "windowfixture.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QListWidget>
#include <QSettings>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextLayout>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

// Lines in the engine's notation, 50 bytes or so each, with a comment over two lines now and
// then.
QString document(int lines)
{
    const char* const templates[] = {
        "<(robin%1 ∩ bird) → animal>. %1.0;0.9% #tag%1 0.75",
        "<{tweety%1} → [yellow]>? // which colour (x)",
        "/* a comment opened here, %1, runs on",
        "   and closed here */ <c%1 → d>. <e ∩ f>?",
    };
    QStringList text;
    for (int i = 0; i < lines; ++i)
        text << QString::fromUtf8(templates[i % 4]).arg(i);
    return text.join(QLatin1Char('\n'));
}

bool coloured(const QTextBlock& block)
{
    return !block.layout()->formats().isEmpty();
}

// Notes when its widget has been painted.
class PaintWatch : public QObject {
public:
    bool painted = false;
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            painted = true;
        return false;
    }
};

// 2,000 error messages, one every 10 lines of a 20,000-line document, from the engine at once,
// until all are listed and marked and the editor has painted: the whole way from the test
// engine's get() through the worker's queued hand-over, decoding, the Error dock and the marks.
// The counter is the time until the last entry was listed.
void BM_ErrorMessagesMarked(benchmark::State& state)
{
    const fixture::Environment environment;
    const int count = 2000;
    std::vector<std::string> messages;
    for (int i = 0; i < count; ++i) {
        MessageBuilder error('e');
        error.u32(10 * i + 1).u32(3).u8(quint8(i % 16)).text("error " + QByteArray::number(i));
        messages.emplace_back(error.bytes.constData(), error.bytes.size());
    }
    double listedMs = 0;
    for (auto _ : state) {
        state.PauseTiming();
        testengine::reset();
        auto window = std::make_unique<MainWindow>(QStringList{QStringLiteral("quorstudio")});
        window->show();
        QMetaObject::invokeMethod(window.get(), "newFile");
        CodeEditor* editor = window->currentEditor();
        editor->setPlainText(document(20000));
        auto* list = fixture::child<QListWidget>(window.get(), "listWidget");
        while (editor->document()->lastBlock().isValid() &&
               !coloured(editor->document()->lastBlock()))
            QCoreApplication::processEvents();
        PaintWatch watch;
        editor->viewport()->installEventFilter(&watch);
        state.ResumeTiming();

        QElapsedTimer clock;
        clock.start();
        testengine::queueMany(messages);
        while (list->count() < count)
            QCoreApplication::processEvents();
        listedMs += clock.nsecsElapsed() / 1e6;
        watch.painted = false;
        editor->viewport()->update();
        while (!watch.painted)
            QCoreApplication::processEvents();

        state.PauseTiming();
        if (editor->marks().size() != count)
            state.SkipWithError("marks missing");
        editor->document()->setModified(false);
        window->close();
        window.reset();
        state.ResumeTiming();
    }
    state.counters["listed_ms"] = listedMs / double(state.iterations());
}
BENCHMARK(BM_ErrorMessagesMarked)->Unit(benchmark::kMillisecond)->Iterations(5);

std::unique_ptr<CodeEditor> shownEditor()
{
    auto editor = std::make_unique<CodeEditor>();
    editor->resize(800, 600);
    editor->show();
    QApplication::processEvents();
    return editor;
}

// A shown editor given `text`, timed from setting the text to the end of its first paint.
std::unique_ptr<CodeEditor> firstPaint(benchmark::State& state, const QString& text)
{
    state.PauseTiming();
    auto editor = shownEditor();
    PaintWatch watch;
    editor->viewport()->installEventFilter(&watch);
    state.ResumeTiming();
    editor->setPlainText(text);
    while (!watch.painted)
        QApplication::processEvents();
    editor->viewport()->removeEventFilter(&watch);
    return editor;
}

// 5 MB, 100,000 lines: from setting the text to the end of the first paint, which must show
// the visible lines coloured.
void BM_LargeDocumentFirstPaint(benchmark::State& state)
{
    const QString text = document(100000);
    for (auto _ : state) {
        auto editor = firstPaint(state, text);
        state.PauseTiming();
        if (!coloured(editor->cursorForPosition(QPoint(0, 0)).block()))
            state.SkipWithError("visible part not coloured");
        editor.reset();
        state.ResumeTiming();
    }
    state.counters["MB"] = text.toUtf8().size() / 1e6;
}
BENCHMARK(BM_LargeDocumentFirstPaint)->Unit(benchmark::kMillisecond)->Iterations(5);

// The same document until every line is coloured, the event loop running meanwhile; the
// counter is the longest the window went without answering after the first paint.
void BM_LargeDocumentFullyHighlighted(benchmark::State& state)
{
    const QString text = document(100000);
    double worstGapMs = 0;
    for (auto _ : state) {
        auto editor = firstPaint(state, text);
        const StallMeter meter;
        while (!coloured(editor->document()->lastBlock()))
            QApplication::processEvents();
        state.PauseTiming();
        worstGapMs = std::max(worstGapMs, meter.longestGapMs() - StallMeter::IntervalMs);
        editor.reset();
        state.ResumeTiming();
    }
    state.counters["worst_stall_ms"] = worstGapMs;
}
BENCHMARK(BM_LargeDocumentFullyHighlighted)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace
