// quorstudio-run as scripts and CI use it: command lines and what they print, write and return.

#include "dispatch.h"
#include "quor.h"
#include "quorversion.h"
#include "svgwriter.h"
#include "textfile.h"

#include <QtTest>

namespace {

const QString program = QStringLiteral(QUORSTUDIO_RUN);

// The SVG documents the window's views would show after the same inputs: the stand-in engine
// driven directly, its last 'q' and 'n' messages given to the window's builders.
QPair<QByteArray, QByteArray> windowGraphs(const QStringList& inputs)
{
    void* engine = create_object(1, 0);
    QByteArray question, inference;
    std::vector<char> buffer(15000);
    for (const QString& input : inputs) {
        process(engine, input.toUtf8().constData(), 1, 0);
        std::size_t size = buffer.size();
        while (get(engine, buffer.data(), &size, false, 0, 0)) {
            const DecodedMessage message = decodeMessage(buffer.data(), size);
            if (const auto* tree = std::get_if<QuestionTree>(&message))
                question = svgDocument(questionTreeDrawing(*tree)).toUtf8();
            else if (const auto* graph = std::get_if<InferenceGraph>(&message))
                inference = svgDocument(inferenceGraphDrawing(*graph)).toUtf8();
            size = buffer.size();
        }
    }
    destroy_object(engine);
    return {question, inference};
}

QByteArray readFile(const QString& name)
{
    QFile file(name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class TestCli : public QObject {
    Q_OBJECT
    QTemporaryDir dir;
    QMap<QString, QString> places;

    QString expand(QString text, bool forRegex) const
    {
        // A name that begins another sorts before it: going backwards replaces the longer first.
        for (auto it = places.cend(); it != places.cbegin();) {
            --it;
            text.replace(it.key(), forRegex ? QRegularExpression::escape(it.value()) : it.value());
        }
        return text;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(dir.isValid());
        auto write = [this](const QString& name, const QByteArray& bytes) {
            QFile file(dir.filePath(name));
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(bytes);
            places[QLatin1Char('$') + name.toUpper()] = file.fileName();
        };
        write(QStringLiteral("clean"), "<a \xe2\x86\x92 b>.\n<b \xe2\x86\x92 c>.\n");
        write(QStringLiteral("ask"), "<a \xe2\x86\x92 c>?\n");
        write(QStringLiteral("bad"), "<a \xe2\x86\x92 b>.\n<c \xff d>.\n");
        write(QStringLiteral("nul"), QByteArray("<a \xe2\x86\x92 b>.\n<c\0d>.\n", 16));
        // Sparse: they take no room on the disk.
        for (const auto& [name, size] : {std::pair<QString, qint64>{"large", MaxTextFileBytes + 1},
                                         {"huge", qint64(3) * 1024 * 1024 * 1024}}) {
            write(name, QByteArray());
            QVERIFY(QFile::resize(dir.filePath(name), size));
        }
        // Inputs of the test engine's script mode.
        write(QStringLiteral("abort"), "abort\n");
        write(QStringLiteral("stuck"), "silent\n");
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("folder")));
        places[QStringLiteral("$FOLDER")] = dir.filePath(QStringLiteral("folder"));
        places[QStringLiteral("$MISSING")] = dir.filePath(QStringLiteral("missing.quor"));
        places[QStringLiteral("$OUT")] = dir.filePath(QStringLiteral("out"));

        const QString tutorial =
            QFileInfo(QStringLiteral(TESTSRCDIR "/../examples/tutorial.quor")).absoluteFilePath();
        places[QStringLiteral("$TUT")] = tutorial;
        // The tutorial's one deliberate mistake.
        const QStringList lines = QString::fromUtf8(readFile(tutorial)).split(QLatin1Char('\n'));
        const int mistake = lines.indexOf(QStringLiteral("<robin \u2192 bird.")) + 1;
        QVERIFY(mistake > 0);
        places[QStringLiteral("$MISTAKE")] = QString::number(mistake);

        // A silent engine: the scriptable one answers nothing unless a test queues messages.
        const QString silent = dir.filePath(QStringLiteral("silent"));
        QVERIFY(QDir().mkpath(silent));
        QVERIFY(QFile::link(QStringLiteral(TEST_ENGINE), silent + QStringLiteral("/libquor.so.1")));
        places[QStringLiteral("$SILENT")] = silent;
        places[QStringLiteral("$HANG")] = QStringLiteral(HANG_ENGINE_DIR);
        places[QStringLiteral("$NULLENGINE")] = QStringLiteral(NULL_ENGINE_DIR);
    }

    void commandLine_data()
    {
        QTest::addColumn<QStringList>("arguments");
        // Empty, or the folder of another libquor.so.1 to put first in LD_LIBRARY_PATH, followed
        // by settings of the environment (NAME=value) separated by blanks.
        QTest::addColumn<QString>("engine");
        QTest::addColumn<int>("status");
        // Patterns that standard output must match (each line anchored with ^ and $ if given).
        QTest::addColumn<QStringList>("out");
        // The whole of standard error.
        QTest::addColumn<QString>("err");
        // "file|pattern": a file under $OUT that must exist and match the pattern.
        QTest::addColumn<QStringList>("files");

        const QString version = QStringLiteral("^QUOR library version 1\\.0\\.0$");
        const QString mistake = QStringLiteral("^$TUT:$MISTAKE:\\d+: error: [^\\n]+\\n$");
        const QString answer =
            QStringLiteral("^Answer: <robin \u2192 living_being>\\. \\{0\\.9 0\\.5905\\}$");
        const QString noAnswer =
            QStringLiteral("^quorstudio-run: the engine did not answer within 1 second\\n$");
        const auto row = [](const char* name, const QStringList& arguments, int status,
                            const QStringList& out, const QString& err,
                            const QStringList& files = {}, const QString& engine = {}) {
            QTest::newRow(name) << arguments << engine << status << out << err << files;
        };

        row("tutorial", {"$TUT"}, 1,
            {version, answer, "^No answer found for <robin \u2192 fish>\\?$"}, mistake);
        row("tutorial line by line", {"--step", "$TUT"}, 1, {version, answer}, mistake);
        row("clean file", {"$CLEAN"}, 0, {version}, "^$");
        row("files in order, one engine", {"$CLEAN", "$ASK"}, 0, {"^Answer: <a \u2192 c>\\."},
            "^$");
        row("time", {"--time", "$CLEAN"}, 0, {"^Elapsed time \\d+ \u03bcs \\(\\d+ cycles\\)$"},
            "^$");
        row("json", {"--json", "$TUT"}, 1,
            {"^\\{\"kind\":\"version\",\"version\":\"1\\.0\\.0\"\\}$",
             "^\\{\"column\":\\d+,\"file\":\"$TUT\",\"kind\":\"error\",\"line\":"
             "$MISTAKE,\"mark\":\\d+,\"severity\":\"error\",\"text\":",
             "^\\{\"kind\":\"words\",\"records\":\\[\\{\"id\":\"[0-9a-f]+\",\"name\""},
            mistake);
        row("tables", {"--tables", "$OUT/t", "$TUT"}, 1, {version}, mistake,
            {"t/words.csv|^Term Id,Word\r\n([0-9a-f]+,\\w+\r\n)+$",
             "t/words.csv|\r\n[0-9a-f]+,robin\r\n", "t/compounds.csv|^Term Id,Compound Term\r\n",
             "t/statements.csv|^Term Id,Statement\r\n[0-9a-f]+,<\\(cold \u2227 rain\\) \u21d2"});
        row("graphs", {"--graphs", "$OUT/g", "$TUT"}, 1, {version}, mistake,
            {"g/question.svg|robin", "g/inference.svg|Level: 0"});
        // Asked for by --graphs alone, even when the input asks for none.
        row("graphs of a file without any", {"--graphs", "$OUT/g2", "$CLEAN"}, 0, {version}, "^$");
        row("memory", {"--memory", "$OUT/m.quor", "$TUT"}, 1, {version}, mistake,
            {"m.quor|^// QUOR memory: \\d+ beliefs",
             "m.quor|\n<robin \u2192 bird>\\. \\{1\\.0 0\\.9\\}\n"});
        row("report", {"--report", "$OUT/r.html", "$TUT"}, 1, {version}, mistake,
            {"r.html|^<!DOCTYPE html>",
             "r.html|<tr class=\"error\"><td class=\"n\">$MISTAKE</td>"
             "<td>&lt;robin \u2192 bird\\.</td></tr>\n<tr class=\"msg\">",
             "r.html|Answer: &lt;robin \u2192 living_being&gt;",
             "r.html|<td>[0-9a-f]+</td><td>robin</td>", "r.html|(<svg width=(.|\n)*){2}",
             "r.html|QUOR library version 1\\.0\\.0", "r.html|Elapsed time \\d+"});
        // Outputs are checked before anything is sent: nothing is printed, no input replaced.
        const QStringList nothing{"\\A\\z"};
        const QStringList inputKept{"in.quor|^<a \u2192 b>\\.\n$"};
        row("report folder missing", {"--report", "$MISSING/r.html", "$CLEAN"}, 2, nothing,
            "^quorstudio-run: cannot write $MISSING/r.html: the folder $MISSING does not "
            "exist\\n$");
        row("tables folder cannot be made", {"--tables", "$CLEAN/t", "$CLEAN"}, 2, nothing,
            "^quorstudio-run: cannot create the folder $CLEAN/t\\n$");
        row("report over its input", {"--report", "$OUT/in.quor", "$OUT/in.quor"}, 2, nothing,
            "^quorstudio-run: --report $OUT/in.quor is the input file $OUT/in.quor; it would be "
            "replaced\\n$",
            inputKept);
        row("memory over its input, spelled otherwise",
            {"--memory", "$OUT/./in.quor", "$OUT/in.quor"}, 2, nothing,
            "^quorstudio-run: --memory [^\\n]+ is the input file", inputKept);
        row("report through a link to its input", {"--report", "$OUT/link.html", "$OUT/in.quor"}, 2,
            nothing, "^quorstudio-run: --report [^\\n]+ is the input file", inputKept);
        row("tables over an input", {"--tables", "$OUT", "$CLEAN", "$OUT/words.csv"}, 2, nothing,
            "^quorstudio-run: --tables $OUT/words.csv is the input file $OUT/words.csv");
        row("two outputs, one file", {"--memory", "$OUT/out", "--report", "$OUT/./out", "$CLEAN"},
            2, nothing,
            "^quorstudio-run: --memory $OUT/out and --report $OUT/\\./out are the same file; one "
            "would replace the other\\n$");
        row("memory over a table", {"--tables", "$OUT/t", "--memory", "$OUT/t/words.csv", "$CLEAN"},
            2, nothing,
            "^quorstudio-run: --tables $OUT/t/words.csv and --memory $OUT/t/words.csv are the "
            "same");
        row("NUL character", {"$CLEAN", "$NUL"}, 2, nothing, "^$NUL:2:3: error: NUL character\\n$");
        row("one byte over 256 MiB", {"$LARGE"}, 2, nothing,
            "^$LARGE: error: file larger than 256 MiB, the most quorstudio-run reads\\n$");
        row("3 GiB", {"$CLEAN", "$HUGE"}, 2, nothing, "^$HUGE: error: file larger than 256 MiB");
        row("missing file", {"$CLEAN", "$MISSING"}, 2, {},
            "^quorstudio-run: cannot read $MISSING: .+\\n$");
        row("folder", {"$FOLDER"}, 2, {}, "^quorstudio-run: cannot read $FOLDER: .+\\n$");
        row("invalid UTF-8", {"$BAD"}, 2, {},
            "^quorstudio-run: $BAD is not valid UTF-8 text; it was not sent[^\\n]*\\n$");
        row("no file", {}, 2, {}, "^quorstudio-run: no input file given\\n");
        row("bad timeout", {"--timeout", "soon", "$CLEAN"}, 2, {}, "--timeout needs");
        row("silent engine", {"--timeout", "1", "$CLEAN"}, 3, {}, noAnswer, {}, "$SILENT");
        row("output lost", {"$CLEAN", ">", "/dev/full"}, 2, {}, "cannot write the standard output");
        row("engine stuck in process()", {"--timeout", "1", "$CLEAN"}, 3, {}, noAnswer, {},
            "$HANG");
        row("no engine instance", {"$CLEAN"}, 2, {},
            "^quorstudio-run: the engine library could not create an engine\\n$", {},
            "$NULLENGINE");
        row("separate process", {"--separate-process", "$TUT"}, 1, {version, answer}, mistake);
        row("engine crash in a separate process", {"--separate-process", "$CLEAN", "$ABORT"}, 4, {},
            "^quorstudio-run: Engine ended \\(signal 6, aborted\\) while working on the input from "
            "line 1 \\(\"abort\"\\)\\n$",
            {}, "$SILENT QUOR_TEST_ENGINE=script");
        row("separate engine silent", {"--separate-process", "--timeout", "1", "$STUCK"}, 3, {},
            noAnswer, {}, "$SILENT QUOR_TEST_ENGINE=script");
        row("version", {"--version"}, 0, {"^quorstudio-run " QUOR_VERSION "$"}, "^$");
        row("help", {"--help"}, 0,
            {"^Usage: quorstudio-run \\[options\\] FILE\\.\\.\\.$", "--report <FILE>"}, "^$");
    }
    void commandLine()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, engine);
        QFETCH(int, status);
        QFETCH(QStringList, out);
        QFETCH(QString, err);
        QFETCH(QStringList, files);

        QDir(expand("$OUT", false)).removeRecursively();
        QVERIFY(QDir().mkpath(expand("$OUT", false)));
        // Inputs that a row's outputs might replace.
        for (const char* name : {"in.quor", "words.csv"}) {
            QFile input(expand("$OUT/", false) + QLatin1String(name));
            QVERIFY(input.open(QIODevice::WriteOnly) && input.write("<a \xe2\x86\x92 b>.\n") > 0);
        }
        QVERIFY(QFile::link(expand("$OUT/in.quor", false), expand("$OUT/link.html", false)));
        for (QString& argument : arguments)
            argument = expand(argument, false);
        QProcess run;
        if (!engine.isEmpty()) {
            QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
            const QStringList settings = engine.split(' ');
            environment.insert("LD_LIBRARY_PATH", expand(settings.first(), false));
            for (const QString& setting : settings.mid(1))
                environment.insert(setting.section('=', 0, 0), setting.section('=', 1));
            run.setProcessEnvironment(environment);
        }
        // "> FILE" at the end sends standard output there, as a shell would.
        const int redirect = arguments.indexOf(">");
        if (redirect >= 0) {
            run.setStandardOutputFile(arguments.at(redirect + 1));
            arguments = arguments.mid(0, redirect);
        }
        QElapsedTimer timer;
        timer.start();
        run.start(program, arguments);
        QVERIFY(run.waitForFinished(30000));
        const QString stdOut = QString::fromUtf8(run.readAllStandardOutput());
        const QString stdErr = QString::fromUtf8(run.readAllStandardError());
        QCOMPARE(run.exitStatus(), QProcess::NormalExit);
        QVERIFY2(run.exitCode() == status, qPrintable(stdErr));

        for (const QString& pattern : out) {
            const QRegularExpression re(expand(pattern, true), QRegularExpression::MultilineOption);
            QVERIFY2(re.match(stdOut).hasMatch(), qPrintable(pattern + "\n" + stdOut));
        }
        QVERIFY2(QRegularExpression(expand(err, true)).match(stdErr).hasMatch(),
                 qPrintable(stdErr));
        if (arguments.contains("--json"))
            for (const QString& line : stdOut.split('\n', Qt::SkipEmptyParts))
                QVERIFY2(QJsonDocument::fromJson(line.toUtf8()).isObject(), qPrintable(line));

        for (const QString& check : files) {
            const QString name = expand("$OUT/", false) + check.section('|', 0, 0);
            const QString text = QString::fromUtf8(readFile(name));
            QVERIFY2(QRegularExpression(expand(check.section('|', 1), true)).match(text).hasMatch(),
                     qPrintable(check + "\n" + text));
        }
        if (const int at = arguments.indexOf("--graphs"); at >= 0) {
            // Byte for byte what the window shows for the same messages.
            const auto graphs = windowGraphs(
                {"\u22d9 version", QString::fromUtf8(readFile(expand(arguments.last(), false))),
                 "\u22d9 question", "\u22d9 inference"});
            const QString dir = expand(arguments.at(at + 1), false);
            QCOMPARE(readFile(dir + "/question.svg"), graphs.first);
            QCOMPARE(readFile(dir + "/inference.svg"), graphs.second);
        }
        if (!engine.isEmpty())
            QVERIFY(timer.elapsed() < 10000);
    }
};

QTEST_GUILESS_MAIN(TestCli)
#include "tst_cli.moc"
