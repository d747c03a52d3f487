// The language server: completion among 10,000 engine words, semantic tokens of a 5 MB
// document, and the diagnostics of the tutorial and of a 5 MB document from the moment their
// text has settled to the diagnostics sent, with the stand-in engine in its host behind the
// server.
#include "documenttext.h"
#include "engineconnection.h"
#include "hostengine.h"
#include "languageserver.h"
#include "messageframing.h"
#include "privateenvironment.h"
#include "semantictokens.h"
#include "testmessages.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <benchmark/benchmark.h>

namespace {

const PrivateEnvironment environment;

const QString tutorialPath = QStringLiteral(TESTSRCDIR "/../examples/tutorial.quor");

QString tutorial()
{
    QFile file(tutorialPath);
    file.open(QIODevice::ReadOnly);
    return QString::fromUtf8(file.readAll());
}

// About `bytes` of judgements, questions and now and then a line with an error, 45 bytes a
// line.
QString largeDocument(int bytes)
{
    QString text;
    for (int i = 0; text.size() < bytes; ++i) {
        text += QString::fromUtf8("<w%1 → bird>. {0.9 0.9}\n<<w%1 → b> ⇒ <w%1 → c>>.\n").arg(i);
        if (i % 1000 == 0)
            text += QString::fromUtf8("<oops → x.\n");
    }
    return text;
}

QByteArray message(const QJsonObject& object)
{
    QJsonObject full = object;
    full.insert(QStringLiteral("jsonrpc"), QStringLiteral("2.0"));
    return MessageFraming::frame(QJsonDocument(full).toJson(QJsonDocument::Compact));
}

QJsonObject didOpen(const QString& text)
{
    return {{"method", "textDocument/didOpen"},
            {"params", QJsonObject{{"textDocument", QJsonObject{{"uri", "file:///b.quor"},
                                                                {"languageId", "quor"},
                                                                {"version", 1},
                                                                {"text", text}}}}}};
}

// An engine whose word table holds `words` words beginning with the same two letters, and
// which ends every run at once.
class WordyEngine : public EngineConnection {
public:
    explicit WordyEngine(int words)
    {
        MessageBuilder table('w');
        table.raw(QByteArray(4, 0));
        for (int i = 0; i < words; ++i)
            table.u64(quint64(i)).text(QByteArray("robin") + QByteArray::number(i));
        wordTable = table.bytes;
    }
    void input(const QString& text, int line) override
    {
        if (text.endsWith(QLatin1String("words")))
            emit message(wordTable);
        else if (line > 1 && text.endsWith(QLatin1String("end_of_run")))
            emit message(MessageBuilder('e').u32(quint32(line)).u32(1).u8(2).text("end").bytes);
    }
    void stop() override {}

private:
    QByteArray wordTable;
};

void BM_Completion10000Words(benchmark::State& state)
{
    WordyEngine engine(10000);
    LanguageServer server(&engine);
    QByteArray reply;
    QObject::connect(&server, &LanguageServer::send,
                     [&](const QByteArray& bytes) { reply = bytes; });
    server.receive(message({{"id", 1}, {"method", "initialize"}, {"params", QJsonObject()}}));
    server.receive(message(didOpen(tutorial().trimmed() + QStringLiteral("\nro"))));
    const QByteArray request = message(
        {{"id", 2},
         {"method", "textDocument/completion"},
         {"params", QJsonObject{{"textDocument", QJsonObject{{"uri", "file:///b.quor"}}},
                                {"position", QJsonObject{{"line", 58}, {"character", 2}}}}}});
    for (auto _ : state) {
        server.receive(request);
        benchmark::DoNotOptimize(reply);
    }
    state.counters["reply bytes"] = reply.size();
}
BENCHMARK(BM_Completion10000Words)->Unit(benchmark::kMillisecond);

void BM_SemanticTokens5MB(benchmark::State& state)
{
    const DocumentText text(largeDocument(5000000));
    for (auto _ : state)
        benchmark::DoNotOptimize(semanticTokens(text, PositionEncoding::Utf16));
}
BENCHMARK(BM_SemanticTokens5MB)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_SemanticTokensRequest5MB(benchmark::State& state)
{
    LanguageServer server(nullptr);
    QByteArray reply;
    QObject::connect(&server, &LanguageServer::send,
                     [&](const QByteArray& bytes) { reply = bytes; });
    server.receive(message({{"id", 1}, {"method", "initialize"}, {"params", QJsonObject()}}));
    server.receive(message(didOpen(largeDocument(5000000))));
    const QByteArray request = message(
        {{"id", 2},
         {"method", "textDocument/semanticTokens/full"},
         {"params", QJsonObject{{"textDocument", QJsonObject{{"uri", "file:///b.quor"}}}}}});
    for (auto _ : state)
        server.receive(request);
    state.counters["reply MB"] = reply.size() / 1e6;
}
BENCHMARK(BM_SemanticTokensRequest5MB)->Unit(benchmark::kMillisecond)->Iterations(3);

// From a change whose text has settled to its diagnostics sent: the engine runs the text in
// its host from a cleared memory. The host is started by a first run before the timing.
void diagnostics(benchmark::State& state, const QString& text)
{
    HostEngine engine;
    LanguageServer server(&engine);
    server.runner()->setSettleTime(0);
    server.runner()->setTimeLimit(60000);
    int published = 0;
    QByteArray last;
    QObject::connect(&server, &LanguageServer::send, [&](const QByteArray& bytes) {
        if (bytes.contains("publishDiagnostics")) {
            ++published;
            last = bytes;
        }
    });
    server.receive(message({{"id", 1}, {"method", "initialize"}, {"params", QJsonObject()}}));
    server.receive(message(didOpen(text)));
    while (published == 0)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    int version = 1;
    for (auto _ : state) {
        const QByteArray change = message(
            {{"method", "textDocument/didChange"},
             {"params", QJsonObject{{"textDocument", QJsonObject{{"uri", "file:///b.quor"},
                                                                 {"version", ++version}}},
                                    {"contentChanges", QJsonArray{QJsonObject{{"text", text}}}}}}});
        const int before = published;
        server.receive(change);
        QElapsedTimer clock;
        clock.start();
        while (published == before)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        state.SetIterationTime(clock.nsecsElapsed() / 1e9);
    }
    state.counters["diagnostics"] = last.count("\"range\"");
    state.counters["MB"] = text.toUtf8().size() / 1e6;
}

void BM_DiagnosticsTutorial(benchmark::State& state)
{
    diagnostics(state, tutorial());
}
BENCHMARK(BM_DiagnosticsTutorial)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);

void BM_Diagnostics5MB(benchmark::State& state)
{
    diagnostics(state, largeDocument(5000000));
}
BENCHMARK(BM_Diagnostics5MB)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

} // namespace
