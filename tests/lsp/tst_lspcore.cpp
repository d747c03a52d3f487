// The language server's pieces without a process: message framing, positions in both
// encodings, incremental changes, where engine errors lie, semantic tokens, completion, hover and
// the runs of documents through an engine scripted by the test.

#include "completions.h"
#include "diagnosticrunner.h"
#include "documenttext.h"
#include "engineconnection.h"
#include "errorranges.h"
#include "hovers.h"
#include "languageserver.h"
#include "messageframing.h"
#include "privateenvironment.h"
#include "semantictokens.h"
#include "testmessages.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QSignalSpy>
#include <QtTest>

Q_DECLARE_METATYPE(PositionEncoding)
Q_DECLARE_METATYPE(RunResult)

namespace {

constexpr auto Utf16 = PositionEncoding::Utf16;
constexpr auto Utf8 = PositionEncoding::Utf8;

// An engine that records its inputs and sends what the test tells it to.
class ScriptedEngine : public EngineConnection {
public:
    struct Input {
        QString text;
        int line;
    };
    void input(const QString& text, int line) override { inputs.append({text, line}); }
    void stop() override { ++stops; }
    void send(const QByteArray& bytes) { emit message(bytes); }
    QVector<Input> inputs;
    int stops = 0;
};

} // namespace

class TestLspCore : public QObject {
    Q_OBJECT

    PrivateEnvironment environment;

private slots:
    void initTestCase() { qRegisterMetaType<RunResult>(); }

    void framing_data()
    {
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<int>("piece"); // bytes fed at a time; 0: all at once
        QTest::addColumn<QString>("items");
        const QByteArray two = "Content-Length: 2\r\n\r\n{}Content-Length: 3\r\n\r\n[1]";
        QTest::newRow("two at once") << two << 0 << "B:{}|B:[1]";
        QTest::newRow("byte by byte") << two << 1 << "B:{}|B:[1]";
        QTest::newRow("other fields, any case, LF only")
            << QByteArray("content-type: x\ncontent-length: 2\n\n{}") << 0 << "B:{}";
        QTest::newRow("blank lines between messages")
            << QByteArray("\r\n\r\nContent-Length: 2\r\n\r\n{}") << 0 << "B:{}";
        QTest::newRow("length not a number, then the next message")
            << QByteArray("Content-Length: 2x\r\n\r\nContent-Length: 2\r\n\r\n{}") << 0 << "E|B:{}";
        QTest::newRow("no length") << QByteArray("Content-Type: a\r\n\r\n") << 0 << "E";
        QTest::newRow("two lengths")
            << QByteArray("Content-Length: 2\r\nContent-Length: 3\r\n\r\n{}") << 0 << "E";
        QTest::newRow("garbage line before a header, resumed at its length field")
            << QByteArray("garbage\r\nContent-Length: 2\r\n\r\n{}") << 0 << "E|B:{}";
        QTest::newRow("body above the limit, dropped piece by piece")
            << QByteArray("Content-Length: 99999999999\r\n\r\n") + QByteArray(5000, 'x') << 1000
            << "E";
        QTest::newRow("endless garbage, then a header") // reported when too long, and when it ends
            << QByteArray(MessageFraming::MaxHeader + 5000, 'h') + "Content-Length: 2\r\n\r\n{}"
            << 4096 << "E|E|B:{}";
    }
    void framing()
    {
        QFETCH(QByteArray, input);
        QFETCH(int, piece);
        MessageFraming framing;
        QStringList items; // B:<body> or E for an error
        const int step = piece ? piece : input.size();
        for (int i = 0; i < input.size(); i += step) {
            framing.feed(input.mid(i, step));
            for (auto item = framing.next(); item.type != MessageFraming::Item::None;
                 item = framing.next())
                items << (item.type == MessageFraming::Item::Body
                              ? "B:" + QString::fromUtf8(item.body)
                              : QStringLiteral("E"));
        }
        QTEST(items.join('|'), "items");
        QVERIFY(framing.buffered() < 64);
    }

    void positions_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<PositionEncoding>("encoding");
        QTest::addColumn<int>("line");
        QTest::addColumn<int>("character");
        QTest::addColumn<int>("offset");
        QTest::addColumn<int>("back"); // character of positionAt(offset)
        const QString wide = QString::fromUtf8("a鳥𐐀b\nc");
        QTest::newRow("utf-16 after a pair") << wide << Utf16 << 0 << 4 << 4 << 4;
        QTest::newRow("utf-8 after a pair") << wide << Utf8 << 0 << 8 << 4 << 8;
        QTest::newRow("utf-16 inside a pair") << wide << Utf16 << 0 << 3 << 2 << 2;
        QTest::newRow("utf-8 inside a pair") << wide << Utf8 << 0 << 6 << 2 << 4;
        QTest::newRow("utf-8 inside a BMP character") << wide << Utf8 << 0 << 2 << 1 << 1;
        QTest::newRow("beyond the line end") << wide << Utf8 << 0 << 99 << 5 << 9;
        QTest::newRow("second line") << wide << Utf16 << 1 << 1 << 7 << 1;
        QTest::newRow("beyond the last line") << wide << Utf16 << 5 << 0 << 7 << 1;
        QTest::newRow("CR LF is one line end") << "ab\r\ncd" << Utf16 << 1 << 1 << 5 << 1;
        QTest::newRow("CR alone ends a line") << "ab\rcd\ne" << Utf16 << 2 << 0 << 6 << 0;
    }
    void positions()
    {
        QFETCH(QString, text);
        QFETCH(PositionEncoding, encoding);
        QFETCH(int, line);
        QFETCH(int, character);
        QFETCH(int, offset);
        const DocumentText document(text);
        QCOMPARE(document.offsetAt({line, character}, encoding), offset);
        QTEST(document.positionAt(offset, encoding).character, "back");
    }

    void changes_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QList<int>>("edit"); // start line, character, end line, character
        QTest::addColumn<QString>("insert");
        QTest::addColumn<QString>("result");
        QTest::addColumn<int>("lines");
        QTest::newRow("join lines") << "ab\r\ncd" << QList<int>{0, 1, 1, 1} << "X"
                                    << "aXd" << 1;
        QTest::newRow("split a CR LF") << "ab\r\ncd" << QList<int>{0, 2, 0, 2} << "\n"
                                       << "ab\n\r\ncd" << 3;
        QTest::newRow("reversed range") << "abcd" << QList<int>{0, 3, 0, 1} << ""
                                        << "ad" << 1;
        QTest::newRow("end beyond the text") << "ab\ncd" << QList<int>{1, 0, 9, 0} << "x\ny"
                                             << "ab\nx\ny" << 3;
    }
    void changes()
    {
        QFETCH(QString, text);
        QFETCH(QList<int>, edit);
        QFETCH(QString, insert);
        DocumentText document(text);
        document.replace(document.offsetAt({edit[0], edit[1]}, Utf16),
                         document.offsetAt({edit[2], edit[3]}, Utf16), insert);
        QTEST(document.text(), "result");
        QTEST(document.lineCount(), "lines");
    }

    void engineText()
    {
        QCOMPARE(DocumentText(QString("a\r\nb\rc\n") + QChar(0) + "d").engineText(),
                 QString("a\nb\nc\n") + QChar(0xFFFD) + "d");
    }

    void errorPlaces_data()
    {
        QTest::addColumn<quint32>("line");
        QTest::addColumn<quint32>("column");
        QTest::addColumn<int>("kind");
        QTest::addColumn<PositionEncoding>("encoding");
        QTest::addColumn<QString>("range"); // line:start-end severity
        QTest::newRow("bad character, utf-16") << 2u << 3u << 1 << Utf16 << "1:2-4 1";
        QTest::newRow("bad character, utf-8") << 2u << 3u << 1 << Utf8 << "1:4-8 1";
        QTest::newRow("rest of the line") << 2u << 2u << 2 << Utf8 << "1:1-9 1";
        QTest::newRow("both bits: the first one counts") << 2u << 2u << 3 << Utf16 << "1:1-2 1";
        QTest::newRow("warning") << 1u << 1u << 4 << Utf16 << "0:0-3 2";
        QTest::newRow("note") << 1u << 2u << 8 << Utf16 << "0:1-3 3";
        QTest::newRow("rest of line wins over warning") << 1u << 2u << 6 << Utf16 << "0:1-3 1";
        QTest::newRow("no bit") << 1u << 1u << 0x80 << Utf16 << "0:0-3 1";
        QTest::newRow("line 0 and column 0") << 0u << 0u << 1 << Utf16 << "0:0-1 1";
        QTest::newRow("beyond the text") << 9u << 99u << 1 << Utf16 << "2:0-0 1";
    }
    void errorPlaces()
    {
        QFETCH(quint32, line);
        QFETCH(quint32, column);
        QFETCH(int, kind);
        QFETCH(PositionEncoding, encoding);
        const DocumentText text(QString::fromUtf8("abc\nx鳥𐐀y\n"));
        const ErrorMessage message{line, column, quint8(kind), "text"};
        const QJsonObject diagnostic =
            diagnostics(errorRanges({message}, text), text, encoding).at(0).toObject();
        const QJsonObject range = diagnostic["range"].toObject();
        QTEST(QStringLiteral("%1:%2-%3 %4")
                  .arg(range["start"]["line"].toInt())
                  .arg(range["start"]["character"].toInt())
                  .arg(range["end"]["character"].toInt())
                  .arg(diagnostic["severity"].toInt()),
              "range");
        QCOMPARE(diagnostic["message"].toString(), QStringLiteral("text"));
    }

    void semanticTokenData()
    {
        // Tokens per line, a comment across lines in pieces, starts and lengths in units.
        const DocumentText text(QString::fromUtf8("<𐐀 → b>. /* c\nd */ #x 0.5"));
        QCOMPARE(semanticTokens(text, Utf16),
                 (QJsonArray{0, 4, 1, 1, 0, 0, 4, 1, 0, 0, 0, 2, 4, 7, 0,
                             1, 0, 4, 7, 0, 0, 5, 2, 5, 0, 0, 3, 3, 4, 0}));
        QCOMPARE(semanticTokens(text, Utf8),
                 (QJsonArray{0, 6, 3, 1, 0, 0, 6, 1, 0, 0, 0, 2, 4, 7, 0,
                             1, 0, 4, 7, 0, 0, 5, 2, 5, 0, 0, 3, 3, 4, 0}));
    }

    void completion_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<int>("character");    // utf-8
        QTest::addColumn<QString>("expected"); // label start-end newText, ...
        const QString wide = QString::fromUtf8("𐐀 \\an");
        QTest::newRow("after a backslash") << "a \\" << 3 << "\\-> 2-3 →,\\=> 2-3 ⇒";
        QTest::newRow("the sequence typed exactly comes chosen")
            << "\\-" << 2 << "\\-> 0-2 →,\\-* 0-2 ⊖";
        QTest::newRow("abbreviation after a wide character") << wide << 8 << "\\and 5-8 ∧";
        QTest::newRow("word from the lists")
            << "<ro" << 3 << "robin 1-3 robin,(rose ∩ red) 1-3 (rose ∩ red)";
        QTest::newRow("word from the line itself")
            << "roof ro" << 7 << "robin 5-7 robin,(rose ∩ red) 5-7 (rose ∩ red),roof 5-7 roof";
        QTest::newRow("one letter") << "r" << 1 << "";
        QTest::newRow("inside a word") << "robin" << 2 << "";
        QTest::newRow("beyond the text")
            << "ro" << 99 << "robin 0-2 robin,(rose ∩ red) 0-2 (rose ∩ red)";
    }
    void completion()
    {
        QFETCH(QString, line);
        QFETCH(int, character);
        const QStringList words{"robin", "red"};
        const QStringList compounds{"(rose ∩ red)"};
        const QJsonObject list =
            completionsAt(DocumentText(line), {0, character}, Utf8, {&words, &compounds});
        QStringList found;
        for (const QJsonValue& item : list["items"].toArray()) {
            const QJsonObject edit = item["textEdit"].toObject();
            found << QStringLiteral("%1 %2-%3 %4")
                         .arg(item["label"].toString() + (item["preselect"].toBool() ? "*" : ""))
                         .arg(edit["range"]["start"]["character"].toInt())
                         .arg(edit["range"]["end"]["character"].toInt())
                         .arg(edit["newText"].toString());
        }
        QFETCH(QString, expected);
        if (expected.startsWith("\\->"))
            found = found.mid(0, 2); // every abbreviation, the table's first two checked
        QCOMPARE(found.join(','), expected);
    }

    void manyWordsMarkTheListIncomplete()
    {
        QStringList words;
        for (int i = 0; i < MaxCompletions + 5; ++i)
            words << QStringLiteral("ab%1").arg(i);
        const QJsonObject list = completionsAt(DocumentText("ab"), {0, 2}, Utf16, {&words});
        QCOMPARE(list["items"].toArray().size(), MaxCompletions);
        QVERIFY(list["isIncomplete"].toBool());
    }

    void hover_data()
    {
        QTest::addColumn<int>("character");
        QTest::addColumn<QString>("value");
        QTest::addColumn<int>("end"); // of the hover's range, -1 for none
        QTest::newRow("statement") << 2 << "<robin → bird>  {1.0 0.9}" << 14;
        QTest::newRow("error and statement") << 16 << "bad\n\n<bird → animal>  {0.8 0.9}" << 31;
        QTest::newRow("word") << 35 << "<robin → bird>  {1.0 0.9}" << 38;
        QTest::newRow("nothing") << 41 << "" << -1;
    }
    void hover()
    {
        const DocumentText text(QString::fromUtf8("<robin → bird>. <bird → animal>. robin x"));
        const QStringList statements{QString::fromUtf8("<robin → bird>. {1.0 0.9}"),
                                     QString::fromUtf8("<bird → animal>. {0.8 0.9}")};
        const ErrorRange error{0, 16, 31, ErrorRange::Error, "bad"};
        QFETCH(int, character);
        const QJsonValue hover = hoverAt(text, {0, character}, Utf16, {error}, statements);
        QTEST(hover["contents"]["value"].toString(), "value");
        QTEST(hover["range"]["end"]["character"].toInt(-1), "end");
    }

    void runs()
    {
        ScriptedEngine engine;
        QHash<QString, int> versions{{"a", 1}, {"b", 7}, {"c", 2}};
        DiagnosticRunner runner(&engine, [&](const QString& uri, QString* text, int* version) {
            *text = "text of " + uri;
            *version = versions.value(uri);
            return versions.contains(uri);
        });
        QSignalSpy finished(&runner, &DiagnosticRunner::finished);
        runner.runSoon("a");
        runner.runSoon("b"); // these wait for the engine
        runner.runSoon("c");
        runner.forget("b");
        const int marker = DiagnosticRunner::markerLine(1);
        QCOMPARE(engine.inputs.size(), 7);
        QCOMPARE(engine.inputs.at(2).text, "text of a");
        QCOMPARE(engine.inputs.at(2).line, 1);
        QCOMPARE(engine.inputs.last().line, marker);
        for (int i : {0, 1, 3, 4, 5})
            QCOMPARE(engine.inputs.at(i).line, marker - 1);

        engine.send(errorMessage(3, 2, 1, "in the text"));
        engine.send(errorMessage(marker - 1, 1, 2, "about a command of the run"));
        engine.send(
            errorMessage(DiagnosticRunner::markerLine(0), 1, 2, "marker of an earlier run"));
        engine.send(MessageBuilder('w').raw(QByteArray(4, 0)).u64(1).text("robin").bytes);
        engine.send(
            MessageBuilder('s').raw(QByteArray(4, 0)).u64(2).text("<a → b>. {1 0.9}").bytes);
        QCOMPARE(finished.size(), 0);
        engine.send(errorMessage(marker, 1, 2, "unknown command"));
        QCOMPARE(finished.size(), 1);
        const RunResult result = finished.at(0).at(1).value<RunResult>();
        QCOMPARE(finished.at(0).at(0).toString(), "a");
        QCOMPARE(result.version, 1);
        QCOMPARE(result.errors.size(), 1);
        QCOMPARE(result.errors.at(0).text, "in the text");
        QCOMPARE(result.words.size(), 1);
        QCOMPARE(result.statements.size(), 1);
        QVERIFY(result.failure.isEmpty());

        // The next document still open went in as the first one finished; closing it drops its
        // result.
        QCOMPARE(engine.inputs.size(), 14);
        QCOMPARE(engine.inputs.at(9).text, "text of c");
        runner.forget("c");
        engine.send(errorMessage(DiagnosticRunner::markerLine(2), 1, 2, "unknown command"));
        QCOMPARE(finished.size(), 1);
        QVERIFY(!runner.isRunning());
        QCOMPARE(runner.activeTimers(), 0);

        // Two changes within the settle time make one run, stopped at the time limit.
        runner.setSettleTime(10);
        runner.setTimeLimit(50);
        runner.changed("a");
        runner.changed("a");
        QCOMPARE(engine.inputs.size(), 14);
        QTRY_COMPARE_WITH_TIMEOUT(finished.size(), 2, 30000);
        QCOMPARE(engine.inputs.size(), 21);
        QCOMPARE(engine.stops, 1);
        QVERIFY(finished.at(1).at(1).value<RunResult>().failure.contains("0.05 s"));
        QCOMPARE(runner.activeTimers(), 0);
    }

    void staleRunIsNotReported()
    {
        // A change while the engine runs the text: that run's errors are not sent, the next
        // run's are, with the new version.
        ScriptedEngine engine;
        LanguageServer server(&engine);
        server.runner()->setSettleTime(0);
        QStringList sent;
        connect(&server, &LanguageServer::send, [&](const QByteArray& bytes) {
            if (bytes.contains("publishDiagnostics"))
                sent << QString::fromUtf8(bytes.mid(bytes.indexOf("\r\n\r\n") + 4));
        });
        const auto message = [](const char* json) {
            return MessageFraming::frame(QByteArray(json).replace('\'', '"'));
        };
        server.receive(message("{'jsonrpc':'2.0','id':1,'method':'initialize','params':{}}"));
        server.receive(message("{'jsonrpc':'2.0','method':'textDocument/didOpen','params':{"
                               "'textDocument':{'uri':'file:///a.quor','version':1,'text':'x'}}}"));
        QCOMPARE(engine.inputs.size(), 7);
        server.receive(message("{'jsonrpc':'2.0','method':'textDocument/didChange','params':{"
                               "'textDocument':{'uri':'file:///a.quor','version':2},"
                               "'contentChanges':[{'text':'y'}]}}"));
        engine.send(errorMessage(1, 1, 1, "old"));
        engine.send(errorMessage(DiagnosticRunner::markerLine(1), 1, 2, "end"));
        QVERIFY(sent.isEmpty());
        QTRY_COMPARE_WITH_TIMEOUT(engine.inputs.size(), 14, 30000);
        QCOMPARE(engine.inputs.at(9).text, "y");
        engine.send(errorMessage(DiagnosticRunner::markerLine(2), 1, 2, "end"));
        QCOMPARE(sent, QStringList(QString("{'jsonrpc':'2.0','method':'textDocument/"
                                           "publishDiagnostics','params':{'diagnostics':[],"
                                           "'uri':'file:///a.quor','version':2}}")
                                       .replace('\'', '"')));
    }
};

QTEST_GUILESS_MAIN(TestLspCore)
#include "tst_lspcore.moc"
