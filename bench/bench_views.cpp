// Engine result views: decoding, laying out and drawing the largest messages an engine sends
// (15,000 bytes), and refilling a term table.
#include "dispatch.h"
#include "largestmessages.h"
#include "svgview.h"
#include "termtable.h"
#include "termtablefiller.h"
#include "testmessages.h"

#include <QGraphicsScene>
#include <QTableWidget>
#include <QtEndian>

#include <benchmark/benchmark.h>

namespace {

using namespace largest;

// As many words as fit, with short distinct names: the most rows.
QByteArray wordsMessage()
{
    MessageBuilder message('w');
    message.u32(0);
    for (quint64 id = 0;; ++id) {
        QByteArray name;
        for (quint64 n = id * 7919 % 17576; name.size() < 3; n /= 26)
            name += char('a' + n % 26);
        if (message.bytes.size() + 8 + name.size() + 1 > messageSize)
            break;
        message.u64(id * 0x9e3779b97f4a7c15ull).text(name);
    }
    return message.bytes;
}

// What the window does with a graph message: decode it, lay it out and give the drawing to the
// view.
void loadIntoView(benchmark::State& state, SvgView& view, const QByteArray& message)
{
    const DecodedMessage decoded = decodeMessage(message.constData(), message.size());
    if (const auto* tree = std::get_if<QuestionTree>(&decoded))
        view.setDrawing(questionTreeDrawing(*tree));
    else
        view.setDrawing(inferenceGraphDrawing(std::get<InferenceGraph>(decoded)));
    if (view.scene()->itemsBoundingRect().isEmpty())
        state.SkipWithError("the view shows nothing");
}

void BM_QuestionTree(benchmark::State& state)
{
    const QByteArray message = questionMessage(state.range(0));
    SvgView view;
    for (auto _ : state)
        loadIntoView(state, view, message);
    state.counters["bytes"] = message.size();
    state.counters["boxes"] =
        layoutQuestionTree(decodeQuestionTree(message.constData(), message.size())).order.size();
}
BENCHMARK(BM_QuestionTree)->ArgName("labelled")->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);

void BM_InferenceGraph(benchmark::State& state)
{
    const QByteArray message = inferenceMessage();
    SvgView view;
    for (auto _ : state)
        loadIntoView(state, view, message);
    state.counters["bytes"] = message.size();
    state.counters["boxes"] =
        decodeInferenceGraph(message.constData(), message.size()).inferences.size();
}
BENCHMARK(BM_InferenceGraph)->Unit(benchmark::kMillisecond);

void BM_TermTable(benchmark::State& state)
{
    const QByteArray message = wordsMessage();
    QTableWidget table(0, 2);
    for (auto _ : state)
        fillTermTable(&table, decodeTermRecords(message.constData(), message.size()));
    state.counters["bytes"] = message.size();
    state.counters["rows"] = table.rowCount();
}
BENCHMARK(BM_TermTable)->Unit(benchmark::kMillisecond);

} // namespace
