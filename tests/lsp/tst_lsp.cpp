// quorstudio-lsp as a client sees it: the program started with its standard input and output on
// pipes, spoken to in the protocol's messages, with the stand-in engine (or an engine that never
// answers) behind it.

#include "messageframing.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QtTest>

namespace {

constexpr int WaitMs = 30000; // an upper bound only

QByteArray body(QJsonObject message)
{
    message.insert("jsonrpc", "2.0");
    return QJsonDocument(message).toJson(QJsonDocument::Compact);
}

QByteArray frame(const QJsonObject& message)
{
    return MessageFraming::frame(body(message));
}

QJsonObject position(int line, int character)
{
    return {{"line", line}, {"character", character}};
}

QJsonObject at(const QString& uri, int line, int character)
{
    return {{"textDocument", QJsonObject{{"uri", uri}}}, {"position", position(line, character)}};
}

QJsonObject request(int id, const QString& method, const QJsonObject& params = {})
{
    return {{"id", id}, {"method", method}, {"params", params}};
}

QJsonObject notification(const QString& method, const QJsonObject& params = {})
{
    return {{"method", method}, {"params", params}};
}

QJsonObject didOpen(const QString& uri, const QString& text)
{
    return notification(
        "textDocument/didOpen",
        {{"textDocument",
          QJsonObject{{"uri", uri}, {"languageId", "quor"}, {"version", 1}, {"text", text}}}});
}

// "line:start-end" of a diagnostic's range.
QString rangeText(const QJsonValue& diagnostic)
{
    const QJsonObject range = diagnostic["range"].toObject();
    return QStringLiteral("%1:%2-%3")
        .arg(range["start"]["line"].toInt())
        .arg(range["start"]["character"].toInt())
        .arg(range["end"]["character"].toInt());
}

// The server as a child process.
class Server {
public:
    explicit Server(const QStringList& arguments = {}, const QProcessEnvironment& environment =
                                                           QProcessEnvironment::systemEnvironment())
    {
        process.setProcessEnvironment(environment);
        process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process.start(QStringLiteral(QUORSTUDIO_LSP), arguments);
        process.waitForStarted(WaitMs);
    }
    ~Server()
    {
        process.kill();
        process.waitForFinished(WaitMs);
    }

    void write(const QByteArray& bytes) { process.write(bytes); }
    void send(const QJsonObject& message) { write(frame(message)); }

    // The next message, or an empty object when none comes.
    const QJsonObject next()
    {
        for (;;) {
            const MessageFraming::Item item = framing.next();
            if (item.type == MessageFraming::Item::Body)
                return QJsonDocument::fromJson(item.body).object();
            if (item.type == MessageFraming::Item::Error || !process.waitForReadyRead(WaitMs))
                return {};
            framing.feed(process.readAllStandardOutput());
        }
    }
    const QJsonObject responseTo(int id)
    {
        for (QJsonObject message = next(); !message.isEmpty(); message = next()) {
            if (message["id"] == id)
                return message;
        }
        return {};
    }
    QJsonArray diagnostics()
    {
        for (QJsonObject message = next(); !message.isEmpty(); message = next()) {
            if (message["method"] == "textDocument/publishDiagnostics")
                return QJsonValue(message)["params"]["diagnostics"].toArray();
        }
        return {{"none came"}};
    }
    QString initialize(bool offerUtf8 = false)
    {
        const QJsonObject general{
            {"positionEncodings", offerUtf8 ? QJsonArray{"utf-16", "utf-8"} : QJsonArray{}}};
        send(request(1, "initialize", {{"capabilities", QJsonObject{{"general", general}}}}));
        capabilities = responseTo(1)["result"]["capabilities"];
        send(notification("initialized"));
        return capabilities["positionEncoding"].toString();
    }
    int exitCode()
    {
        process.closeWriteChannel();
        return process.waitForFinished(WaitMs) ? process.exitCode() : -1;
    }

    QProcess process;
    QJsonValue capabilities;

private:
    MessageFraming framing;
};

} // namespace

class TestLsp : public QObject {
    Q_OBJECT

private slots:
    void session_data()
    {
        QTest::addColumn<bool>("offerUtf8");
        QTest::addColumn<QString>("encoding");
        QTest::addColumn<QString>("errorRange");
        QTest::addColumn<int>("completionAt");      // the character after the backslash
        QTest::addColumn<QJsonArray>("firstToken"); // the arrow of the first line
        QTest::newRow("utf-16 by default") << false << "utf-16"
                                           << "1:8-9" << 7 << QJsonArray{0, 7, 1, 1, 0};
        QTest::newRow("utf-8 when offered") << true << "utf-8"
                                            << "1:14-15" << 9 << QJsonArray{0, 7, 3, 1, 0};
    }
    void session()
    {
        QFETCH(bool, offerUtf8);
        QFETCH(QString, errorRange);
        QFETCH(int, completionAt);
        Server server;
        QTEST(server.initialize(offerUtf8), "encoding");
        QCOMPARE(server.capabilities["textDocumentSync"]["change"].toInt(), 2); // incremental
        QCOMPARE(server.capabilities["completionProvider"]["triggerCharacters"].toArray(),
                 QJsonArray{"\\"});
        QVERIFY(server.capabilities["hoverProvider"].toBool());
        QVERIFY(server.capabilities["semanticTokensProvider"]["full"].toBool());

        const QString uri = "file:///tmp/session.quor";
        server.send(didOpen(uri, QString::fromUtf8("<robin → bird>.\n<𐐀鳥 → b%>.\n// 𐐀 \\\n")));
        QJsonArray diagnostics = server.diagnostics();
        QCOMPARE(diagnostics.size(), 1);
        QCOMPARE(rangeText(diagnostics.at(0)), errorRange);

        server.send(request(2, "textDocument/completion", at(uri, 2, completionAt)));
        const QJsonArray items = server.responseTo(2)["result"]["items"].toArray();
        QVERIFY(!items.isEmpty());
        const QJsonObject edit = items.at(0)["textEdit"].toObject();
        QCOMPARE(edit["range"].toObject(), QJsonObject({{"start", position(2, completionAt - 1)},
                                                        {"end", position(2, completionAt)}}));
        QCOMPARE(edit["newText"].toString(), QString::fromUtf8("→"));

        server.send(request(3, "textDocument/hover", at(uri, 0, 3)));
        QCOMPARE(server.responseTo(3)["result"]["contents"]["value"].toString(),
                 QString::fromUtf8("<robin → bird>  {1.0 0.9}"));

        server.send(request(4, "textDocument/semanticTokens/full", at(uri, 0, 0)));
        const QVariantList tokens =
            server.responseTo(4)["result"]["data"].toArray().toVariantList();
        QTEST(QJsonArray::fromVariantList(tokens.mid(0, 5)), "firstToken");

        // The '%' taken out: the error goes.
        const int start = errorRange.section(':', 1).section('-', 0, 0).toInt();
        const QJsonObject change{
            {"range", QJsonObject{{"start", position(1, start)}, {"end", position(1, start + 1)}}},
            {"text", ""}};
        server.send(notification("textDocument/didChange",
                                 {{"textDocument", QJsonObject{{"uri", uri}, {"version", 2}}},
                                  {"contentChanges", QJsonArray{change}}}));
        QCOMPARE(server.diagnostics(), QJsonArray());

        server.send(request(5, "shutdown"));
        QCOMPARE(server.responseTo(5)["result"], QJsonValue(QJsonValue::Null));
        server.send(notification("exit"));
        QCOMPARE(server.exitCode(), 0);
    }

    void badInput_data()
    {
        QTest::addColumn<bool>("initialized");
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<QString>("replies"); // id:code of each error, id:ok of each result
        const QByteArray hover = body(request(5, "textDocument/hover", at("file:///a.quor", 0, 0)));
        QTest::newRow("request before initialize")
            << false << frame(request(5, "textDocument/hover")) << "5:-32002|99:ok";
        QTest::newRow("invalid JSON")
            << true << MessageFraming::frame("{\"id\":") << "null:-32700|99:ok";
        QTest::newRow("not an object")
            << true << MessageFraming::frame("[1]") << "null:-32600|99:ok";
        QTest::newRow("neither method nor result")
            << true << MessageFraming::frame("{\"jsonrpc\":\"2.0\",\"id\":3}") << "3:-32600|99:ok";
        QTest::newRow("not JSON-RPC 2.0")
            << true << MessageFraming::frame("{\"id\":3,\"method\":\"x\"}") << "3:-32600|99:ok";
        QTest::newRow("id neither number nor string")
            << true << frame({{"id", QJsonObject()}, {"method", "x"}}) << "null:-32600|99:ok";
        QTest::newRow("unknown method")
            << true << frame(request(4, "textDocument/rename")) << "4:-32601|99:ok";
        QTest::newRow("unknown notification") << true << frame(notification("x/y")) << "99:ok";
        QTest::newRow("params neither object nor array")
            << true << frame({{"id", 6}, {"method", "textDocument/hover"}, {"params", 7}})
            << "6:-32600|99:ok";
        QJsonObject negative = at("file:///a.quor", -1, 0);
        QTest::newRow("negative line")
            << true << frame(request(7, "textDocument/hover", negative)) << "7:-32602|99:ok";
        QTest::newRow("line outside the document")
            << true
            << frame(didOpen("file:///a.quor", "x")) +
                   frame(request(8, "textDocument/hover", at("file:///a.quor", 9999, 5)))
            << "8:ok|99:ok";
        QTest::newRow("malformed header")
            << true << "Content-Length: twelve\r\n\r\n" + frame(request(9, "shutdown"))
            << "null:-32700|9:ok|99:-32600";
        QTest::newRow("Content-Length too short")
            << true << "Content-Length: 10\r\n\r\n" + hover << "null:-32700|null:-32700|99:ok";
        QTest::newRow("Content-Length too long")
            << true
            << "Content-Length: " + QByteArray::number(hover.size() + 30) + "\r\n\r\n" + hover
            << "null:-32700|99:ok";
        QTest::newRow("second initialize")
            << true << frame(request(10, "initialize")) << "10:-32600|99:ok";
    }
    void badInput()
    {
        QFETCH(bool, initialized);
        QFETCH(QByteArray, input);
        Server server;
        if (initialized)
            server.initialize();
        server.write(input);
        // A request that every state answers, to see that the server is still there.
        server.send(initialized ? request(99, "textDocument/hover", at("file:///none.quor", 0, 0))
                                : request(99, "initialize"));
        QStringList replies;
        for (QJsonObject message = server.next(); !message.isEmpty(); message = server.next()) {
            if (!message.contains("id"))
                continue;
            const QString id =
                message["id"].isNull() ? "null" : QString::number(message["id"].toInt());
            replies << id + ':' +
                           (message.contains("error")
                                ? QString::number(QJsonValue(message)["error"]["code"].toInt())
                                : "ok");
            if (id == "99")
                break;
        }
        QTEST(replies.join('|'), "replies");
    }

    void misbehavingEngine_data()
    {
        QTest::addColumn<QString>("text"); // what the scripted engine does with it
        QTest::addColumn<QString>("message");
        QTest::newRow("hung: stopped at the time limit")
            << "silent"
            << "The engine did not finish within 1 s and was stopped.";
        QTest::newRow("crashed") << "segfault"
                                 << "signal 11";
    }
    void misbehavingEngine()
    {
        QFETCH(QString, text);
        QFETCH(QString, message);
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("LD_LIBRARY_PATH", QStringLiteral(TEST_ENGINE_DIR));
        environment.insert("QUOR_TEST_ENGINE", "script");
        // A crash stays a plain signal in sanitizer builds too.
        environment.insert("ASAN_OPTIONS", "handle_segv=0:handle_abort=0:detect_leaks=0");
        environment.insert("TSAN_OPTIONS", "handle_segv=0:handle_abort=0");
        Server server({"--timeout", "1"}, environment);
        server.initialize();
        server.send(didOpen("file:///tmp/hang.quor", text));
        const QJsonArray diagnostics = server.diagnostics();
        QCOMPARE(diagnostics.size(), 1);
        QCOMPARE(rangeText(diagnostics.at(0)), QString("0:0-%1").arg(text.size()));
        QVERIFY2(diagnostics.at(0)["message"].toString().contains(message),
                 qPrintable(diagnostics.at(0)["message"].toString()));
        // Still there.
        server.send(request(2, "shutdown"));
        QCOMPARE(server.responseTo(2)["result"], QJsonValue(QJsonValue::Null));
    }

    void hugeDocument()
    {
        // 50 MB in one didOpen: the server answers while the engine works on it, and a later
        // text is diagnosed as usual, whether the huge one finished within the time limit or not.
        Server server({"--timeout", "1"});
        server.initialize();
        const QString uri = "file:///tmp/huge.quor";
        QString huge = QString::fromUtf8("<robin → bird>. {1 0.9}\n");
        while (huge.size() < 50 * 1000 * 1000)
            huge += huge;
        server.send(didOpen(uri, huge));
        huge.clear();
        server.send(request(2, "textDocument/hover", at(uri, 3, 2)));
        QVERIFY(server.responseTo(2).contains("result"));
        QCOMPARE(server.diagnostics().size(), 1); // the time limit, or the confidence of 1
        server.send(notification(
            "textDocument/didChange",
            {{"textDocument", QJsonObject{{"uri", uri}, {"version", 2}}},
             {"contentChanges",
              QJsonArray{QJsonObject{{"text", QString::fromUtf8("<robin → bird.")}}}}}));
        const QJsonArray diagnostics = server.diagnostics();
        QCOMPARE(diagnostics.size(), 1);
        QCOMPARE(rangeText(diagnostics.at(0)), "0:13-14");
    }

    // How the program ends: refused command lines, and a session ended by the client.
    void exitStatus_data()
    {
        QTest::addColumn<QStringList>("arguments"); // none: a session, initialized first
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("output"); // of a command line, on standard output
        const QStringList session;
        QTest::newRow("version") << QStringList{"--version"} << QByteArray() << 0
                                 << "quorstudio-lsp 0.5.1\n";
        QTest::newRow("no time limit") << QStringList{"--timeout", "0"} << QByteArray() << 2 << "";
        QTest::newRow("time limit not a number")
            << QStringList{"--timeout", "x"} << QByteArray() << 2 << "";
        QTest::newRow("negative settle time")
            << QStringList{"--settle", "-1"} << QByteArray() << 2 << "";
        QTest::newRow("exit without shutdown") << session << frame(notification("exit")) << 1 << "";
        QTest::newRow("input closed without shutdown") << session << QByteArray() << 1 << "";
        QTest::newRow("input closed after shutdown")
            << session << frame(request(2, "shutdown")) << 0 << "";
    }
    void exitStatus()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QByteArray, input);
        Server server(arguments);
        if (arguments.isEmpty())
            server.initialize();
        server.write(input);
        QTEST(server.exitCode(), "status");
        if (!arguments.isEmpty())
            QTEST(QString::fromUtf8(server.process.readAllStandardOutput()), "output");
    }

    void outputGone()
    {
        // The client stops reading: the server ends at its first reply, before the shutdown
        // that would have let it end with status 0.
        QProcess shell;
        shell.start("bash",
                    {"-c", R"("$0" | { exec <&-; echo gone >&2; }; echo "${PIPESTATUS[0]}")",
                     QStringLiteral(QUORSTUDIO_LSP)});
        shell.setReadChannel(QProcess::StandardError);
        while (!shell.readAll().contains("gone"))
            QVERIFY(shell.waitForReadyRead(WaitMs));
        shell.write(frame(request(1, "initialize")) + frame(request(2, "shutdown")));
        shell.closeWriteChannel();
        QVERIFY(shell.waitForFinished(WaitMs));
        QCOMPARE(shell.readAllStandardOutput(), QByteArray("1\n"));
    }
};

QTEST_GUILESS_MAIN(TestLsp)
#include "tst_lsp.moc"
