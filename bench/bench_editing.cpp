// Writing aids and stepping: a keystroke that ends an abbreviation and one that opens the
// completion list in a 100,000-line document, collecting completion words from a Words table,
// and Step Back replaying 1,000 lines through the stand-in engine.
#include "abbreviationexpander.h"
#include "codeeditor.h"
#include "completioncontroller.h"
#include "mainwindow.h"
#include "quorw.h"
#include "statementtruths.h"
#include "termtable.h"
#include "termtablefiller.h"
#include "termwords.h"
#include "windowfixture.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QTabWidget>
#include <QTableWidget>
#include <QTextBlock>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

constexpr int DocumentLines = 100000;

QString makeDocument(int lines)
{
    QString text;
    text.reserve(lines * 40);
    for (int i = 0; i < lines; ++i)
        text +=
            QStringLiteral("<(robin%1 \u2229 bird) \u2192 animal%2>. // w%1\n").arg(i).arg(i % 97);
    return text;
}

QStringList makeWords(int count)
{
    QStringList words;
    words.reserve(count);
    for (int i = 0; i < count; ++i)
        words.append(QStringLiteral("word%1").arg(i * 7919 % count));
    return words;
}

struct Editing {
    std::unique_ptr<CodeEditor> editor = std::make_unique<CodeEditor>();
    QStringList words = makeWords(100000);
    CompletionController* completion = nullptr;

    Editing()
    {
        editor->resize(800, 600);
        editor->setPlainText(makeDocument(DocumentLines));
        new AbbreviationExpander(editor.get());
        completion = new CompletionController(
            editor.get(), [this] { return QVector<const QStringList*>{&words}; });
        editor->show();
        editor->moveCursor(QTextCursor::End);
        QApplication::processEvents();
    }
    void key(int code, const QString& text)
    {
        QKeyEvent press(QEvent::KeyPress, code, Qt::NoModifier, text);
        QApplication::sendEvent(editor.get(), &press);
        QApplication::processEvents();
    }
};

void perKey(benchmark::State& state, int keysPerIteration)
{
    // Seconds of processor time per keystroke.
    state.counters["s_per_key"] =
        benchmark::Counter(double(keysPerIteration), benchmark::Counter::kIsIterationInvariantRate |
                                                         benchmark::Counter::kInvert);
}

void BM_AbbreviationKeystrokes(benchmark::State& state)
{
    Editing editing;
    for (auto _ : state) {
        // "\and " ends with the blank that turns the sequence into ∧; then a new line.
        editing.key(Qt::Key_Backslash, QStringLiteral("\\"));
        editing.key(Qt::Key_A, QStringLiteral("a"));
        editing.key(Qt::Key_N, QStringLiteral("n"));
        editing.key(Qt::Key_D, QStringLiteral("d"));
        editing.key(Qt::Key_Space, QStringLiteral(" "));
        editing.key(Qt::Key_Return, QStringLiteral("\r"));
    }
    if (!editing.editor->document()->lastBlock().previous().text().startsWith(QChar(0x2227)))
        state.SkipWithError("the sequence was not replaced");
    perKey(state, 6);
}
BENCHMARK(BM_AbbreviationKeystrokes)->Unit(benchmark::kMillisecond)->MinTime(2);

void BM_CompletionKeystrokes(benchmark::State& state)
{
    Editing editing;
    bool shown = true;
    for (auto _ : state) {
        // "rob" opens the list after "ro" and filters it; "wor" against the 100,000 words.
        editing.key(Qt::Key_R, QStringLiteral("r"));
        editing.key(Qt::Key_O, QStringLiteral("o"));
        editing.key(Qt::Key_B, QStringLiteral("b"));
        shown = shown && editing.completion->isVisible();
        editing.key(Qt::Key_Space, QStringLiteral(" "));
        editing.key(Qt::Key_W, QStringLiteral("w"));
        editing.key(Qt::Key_O, QStringLiteral("o"));
        editing.key(Qt::Key_R, QStringLiteral("r"));
        shown = shown && editing.completion->isVisible();
        editing.key(Qt::Key_Escape, QString());
        editing.key(Qt::Key_Return, QStringLiteral("\r"));
    }
    if (!shown)
        state.SkipWithError("the completion list did not open");
    perKey(state, 9);
}
BENCHMARK(BM_CompletionKeystrokes)->Unit(benchmark::kMillisecond)->MinTime(2);

void BM_CollectWords(benchmark::State& state)
{
    // As the window hands them over: the decoded records of the table just filled.
    QVector<TermRecord> records;
    const QStringList words = makeWords(int(state.range(0)));
    for (int i = 0; i < words.size(); ++i)
        records.append({quint64(i), words.at(i)});
    for (auto _ : state) {
        const QStringList collected = StatementTruths::termsOf(records);
        benchmark::DoNotOptimize(collected.size());
    }
}
// The stand-in engine's largest Words message holds some 1,400 words; its memory 100,000 terms.
BENCHMARK(BM_CollectWords)->Arg(1400)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_CollectWordsFromTable(benchmark::State& state)
{
    // After the user edited the table: its text column read again.
    QTableWidget table(0, 2);
    QVector<TermRecord> records;
    const QStringList words = makeWords(int(state.range(0)));
    for (int i = 0; i < words.size(); ++i)
        records.append({quint64(i), words.at(i)});
    fillTermTable(&table, records);
    for (auto _ : state) {
        const QStringList collected = TermWords::collect(&table);
        benchmark::DoNotOptimize(collected.size());
    }
}
BENCHMARK(BM_CollectWordsFromTable)->Arg(1400)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_StepBack1000Lines(benchmark::State& state)
{
    registerEngineMetaTypes();
    MainWindow window({QStringLiteral("bench")});
    fixture::trigger(&window, "actionNew");
    CodeEditor* editor = window.currentEditor();
    QString text;
    for (int i = 0; i < 1001; ++i)
        text += QStringLiteral("<a%1 \u2192 b%1>. // line %1\n").arg(i);
    editor->setPlainText(text);
    editor->setTextCursor(QTextCursor(editor->document()->findBlockByNumber(1000)));
    QAction* runToCursor = fixture::action(&window, "actionRunToCursor");
    QAction* stepBack = fixture::action(&window, "actionStepBack");
    runToCursor->trigger(); // lines 1 to 1001 sent
    QApplication::processEvents();
    for (auto _ : state) {
        stepBack->trigger(); // clears, sends lines 1 to 1000 again
        state.PauseTiming();
        runToCursor->trigger(); // line 1001 again, for the next round
        QApplication::processEvents();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_StepBack1000Lines)->Unit(benchmark::kMillisecond)->MinTime(3);

} // namespace
