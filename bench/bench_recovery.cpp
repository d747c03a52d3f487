// Recovery copies: writing the copy of a 5 MB document, as a Run does before it hands the text
// to the engine, and the same call when no document has unsaved edits.
#include "codeeditor.h"
#include "recoverycontroller.h"

#include <QTemporaryDir>
#include <QTextCursor>

#include <benchmark/benchmark.h>

namespace {

// Some 5 MB of UTF-8 in lines of the engine's notation.
QString fiveMegabytes()
{
    const QString line =
        QStringLiteral("<(robin%1 \u2229 bird) \u2192 animal>. // \u2227 \u21d2\n");
    QString text;
    for (int i = 0; text.toUtf8().size() < 5 * 1000 * 1000; ++i) {
        QString block;
        for (int j = 0; j < 1000; ++j)
            block += line.arg(i * 1000 + j);
        text += block;
    }
    return text;
}

struct Setup {
    QTemporaryDir data;
    std::unique_ptr<RecoveryController> recovery;
    CodeEditor editor;

    explicit Setup(bool modified)
    {
        qputenv("XDG_DATA_HOME", QFile::encodeName(data.path()));
        recovery = std::make_unique<RecoveryController>(nullptr, nullptr);
        editor.fileName = QStringLiteral("/tmp/large.quor");
        QTextCursor(editor.document()).insertText(fiveMegabytes());
        editor.document()->setModified(false);
        recovery->watch(&editor);
        if (modified)
            editor.insertPlainText(QStringLiteral("x"));
    }
};

void BM_CopyBeforeRun(benchmark::State& state)
{
    Setup setup(true);
    QTextCursor cursor(setup.editor.document());
    for (auto _ : state) {
        state.PauseTiming();
        cursor.insertText(QStringLiteral("\u2227")); // an edit since the last copy
        state.ResumeTiming();
        setup.recovery->flush();
    }
    state.SetBytesProcessed(state.iterations() * 5 * 1000 * 1000);
}
BENCHMARK(BM_CopyBeforeRun)->Unit(benchmark::kMillisecond)->MinTime(2.0);

void BM_RunWithoutEdits(benchmark::State& state)
{
    Setup setup(false);
    for (auto _ : state)
        setup.recovery->flush();
}
BENCHMARK(BM_RunWithoutEdits);

} // namespace
