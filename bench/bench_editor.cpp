// Editor benchmarks: opening and highlighting a large document, typing into it, cursor moves
// with many error marks, and bracket matching from an unmatched bracket.
#include "codeeditor.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

// Lines in the engine's notation; each one is balanced in every bracket pair.
const char* const templates[] = {
    "<(robin%1 ∩ bird) → animal>. %1.0;0.9% #tag%1 0.75",
    "<{tweety%1} → [yellow]>? // which colour (x)",
    "<(bird%1 ∧ flyer) ⇒ (animal ∨ ¬plant)>! 1 0 10",
    "⋙ step %1 and some words after the mark",
    "/* note %1 (spanning) */ <a%1 ↔ b>. ∘→ →∘ #w",
    "<(x%1 × y) ⊖ z> ⇔ <z ∪ w>. ∧/ ⇑ ⊥ ⊤ ◊ - 1.0",
    "/* a comment opened here, %1, runs on",
    "   and closed here */ <c%1 → d>. <e ∩ f>?",
};

// A document of the given number of lines, some 54 bytes of UTF-8 each.
QString makeDocument(int lines, bool unmatchedFirst)
{
    QString text;
    text.reserve(lines * 52);
    if (unmatchedFirst)
        text += QLatin1Char('(');
    const int count = int(sizeof templates / sizeof *templates);
    for (int i = 0; i < lines; ++i) {
        text += QString::fromUtf8(templates[i % count]).arg(i);
        if (i + 1 < lines)
            text += QLatin1Char('\n');
    }
    return text;
}

std::unique_ptr<CodeEditor> makeEditor()
{
    auto editor = std::make_unique<CodeEditor>();
    editor->resize(800, 600);
    editor->show();
    QApplication::processEvents();
    return editor;
}

bool fullyHighlighted(const QTextDocument* doc)
{
    const QTextBlock last = doc->lastBlock();
    return last.userData() != nullptr && !last.layout()->formats().isEmpty();
}

void BM_OpenLargeDocument(benchmark::State& state)
{
    const QString text = makeDocument(100000, false);
    state.counters["MB"] = text.toUtf8().size() / 1e6;
    for (auto _ : state) {
        auto editor = makeEditor();
        QElapsedTimer timer;
        timer.start();
        editor->setPlainText(text);
        // Large documents are coloured in idle slices.
        while (!fullyHighlighted(editor->document()))
            QApplication::processEvents();
        state.SetIterationTime(timer.nsecsElapsed() / 1e9);
    }
}
BENCHMARK(BM_OpenLargeDocument)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_CloseLargeDocument(benchmark::State& state)
{
    const QString text = makeDocument(100000, false);
    for (auto _ : state) {
        auto editor = makeEditor();
        editor->setPlainText(text);
        QApplication::processEvents();
        QElapsedTimer timer;
        timer.start();
        editor.reset();
        state.SetIterationTime(timer.nsecsElapsed() / 1e9);
    }
}
BENCHMARK(BM_CloseLargeDocument)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_TypeInLargeDocument(benchmark::State& state)
{
    auto editor = makeEditor();
    editor->setPlainText(makeDocument(100000, false));
    editor->goToPosition(10, 50000);
    while (!fullyHighlighted(editor->document()))
        QApplication::processEvents();
    for (auto _ : state) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_X, Qt::NoModifier, QStringLiteral("x"));
        QApplication::sendEvent(editor.get(), &press);
        QApplication::processEvents();
    }
    if (!editor->textCursor().block().text().contains(QLatin1Char('x')))
        state.SkipWithError("typing had no effect");
}
BENCHMARK(BM_TypeInLargeDocument)->Unit(benchmark::kMillisecond);

// An editor on a 20,000-line document carrying 2,000 error marks of every kind, a few of them
// beyond the last line, with the cursor inside a word away from brackets.
std::unique_ptr<CodeEditor> makeMarkedEditor()
{
    auto editor = makeEditor();
    editor->setPlainText(makeDocument(20000, false));
    for (int i = 0; i < 2000; ++i)
        editor->addErrorMark(1 + i % 30, 1 + i * 10 + (i % 50 == 49 ? 100000 : 0), uchar(i % 16));
    editor->goToPosition(4, 10000);
    QApplication::processEvents();
    return editor;
}

// The move itself: the editor's handling of the cursor change, without painting.
void BM_CursorMoveWithErrorMarks(benchmark::State& state)
{
    auto editor = makeMarkedEditor();
    bool down = true;
    for (auto _ : state) {
        editor->moveCursor(down ? QTextCursor::Down : QTextCursor::Up);
        down = !down;
    }
    // Only the marks around the view are installed.
    const int shown = editor->extraSelections().size();
    if (shown < 3 || shown >= 1 + 2 * 2000)
        state.SkipWithError("marks not shown");
}
BENCHMARK(BM_CursorMoveWithErrorMarks)->Unit(benchmark::kMillisecond);

// The move and the repaint of the lines it changed.
void BM_CursorMoveWithErrorMarksAndRepaint(benchmark::State& state)
{
    auto editor = makeMarkedEditor();
    bool down = true;
    for (auto _ : state) {
        editor->moveCursor(down ? QTextCursor::Down : QTextCursor::Up);
        down = !down;
        QApplication::processEvents();
    }
    const int shown = editor->extraSelections().size();
    if (shown < 3 || shown >= 1 + 2 * 2000)
        state.SkipWithError("marks not shown");
}
BENCHMARK(BM_CursorMoveWithErrorMarksAndRepaint)->Unit(benchmark::kMillisecond);

void BM_MatchUnmatchedBracket(benchmark::State& state)
{
    auto editor = makeEditor();
    editor->setPlainText(makeDocument(100000, true));
    QApplication::processEvents();
    QTextCursor before(editor->document());
    QTextCursor after(editor->document());
    after.setPosition(1);
    for (auto _ : state) {
        editor->setTextCursor(after);
        QElapsedTimer timer;
        timer.start();
        editor->setTextCursor(before);
        QApplication::processEvents();
        state.SetIterationTime(timer.nsecsElapsed() / 1e9);
    }
    // Unmatched: only the current-line highlight is left.
    if (editor->extraSelections().size() != 1)
        state.SkipWithError("unexpected bracket highlight");
}
BENCHMARK(BM_MatchUnmatchedBracket)->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace
