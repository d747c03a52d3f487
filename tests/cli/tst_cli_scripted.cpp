// A quorstudio-run run against the scriptable engine, for answers the stand-in engine never
// gives: term names that CSV must quote, or keep a spreadsheet from running as formulas.

#include "batchrun.h"
#include "testmessages.h"
#include "windowfixture.h"

#include <QtTest>

using fixture::readBytes;

namespace {

const std::string Time = MessageBuilder('t').u32(1).u32(1).bytes.toStdString();

// A run of one judgement, in `dir`, against an engine that gives its version 9.9, then
// `answers`: queued once the run waits for its first answer, as the engine answers only what it
// was sent. Each answer ends with a time message. What the run printed goes to `printed`.
int runOne(const QTemporaryDir& dir, const RunOptions& options,
           const std::vector<std::string>& answers, QByteArray* printed = nullptr)
{
    const QString source = dir.filePath("input.quor");
    QVector<InputFile> files(1);
    QString error;
    if (!fixture::writeBytes(source, "<a \xe2\x86\x92 b>.\n") || !files[0].read(source, &error))
        return -1;
    std::vector<std::string> queued{MessageBuilder('v').text("9.9").bytes.toStdString(), Time};
    queued.insert(queued.end(), answers.begin(), answers.end());
    testengine::reset();
    QTimer::singleShot(0, [&] { testengine::queueMany(queued); });
    std::FILE* sink = std::tmpfile();
    const int status = BatchRun(options, sink, sink).run(files);
    std::rewind(sink);
    char said[200] = {};
    const std::size_t length = std::fread(said, 1, sizeof said, sink);
    std::fclose(sink);
    if (printed)
        *printed = QByteArray(said, int(length));
    return status;
}

} // namespace

class TestCliScripted : public QObject {
    Q_OBJECT

private slots:
    void csvQuoting_data()
    {
        QTest::addColumn<QByteArray>("name");
        QTest::addColumn<QByteArray>("field");
        QTest::newRow("plain") << QByteArray("robin") << QByteArray("robin");
        QTest::newRow("comma") << QByteArray("a, b") << QByteArray("\"a, b\"");
        QTest::newRow("quote") << QByteArray("say \"hi\"") << QByteArray("\"say \"\"hi\"\"\"");
        QTest::newRow("line end") << QByteArray("two\nlines") << QByteArray("\"two\nlines\"");
        QTest::newRow("UTF-8") << QByteArray("V\xc3\xb6gel") << QByteArray("V\xc3\xb6gel");
        // A cell that a spreadsheet would run as a formula gets an apostrophe in front.
        QTest::newRow("=") << QByteArray("=1+2") << QByteArray("'=1+2");
        QTest::newRow("= with quotes") << QByteArray("=HYPERLINK(\"http://x\",\"y\")")
                                       << QByteArray("\"'=HYPERLINK(\"\"http://x\"\",\"\"y\"\")\"");
        QTest::newRow("+") << QByteArray("+1") << QByteArray("'+1");
        QTest::newRow("-") << QByteArray("-1") << QByteArray("'-1");
        QTest::newRow("@") << QByteArray("@SUM(A1)") << QByteArray("'@SUM(A1)");
        QTest::newRow("tab") << QByteArray("\tx") << QByteArray("'\tx");
        QTest::newRow("carriage return") << QByteArray("\rx") << QByteArray("\"'\rx\"");
        QTest::newRow("formula characters later on") << QByteArray("a=b-c") << QByteArray("a=b-c");
        QTest::newRow("blank first") << QByteArray(" =x") << QByteArray(" =x");
    }
    void csvQuoting()
    {
        QFETCH(QByteArray, name);
        QFETCH(QByteArray, field);
        QTemporaryDir dir;
        RunOptions options;
        options.tablesDir = dir.filePath("tables");
        options.timeoutSeconds = 10;
        QCOMPARE(runOne(dir, options,
                        {Time, termTable('w', {{255, name}}).toStdString(), Time, Time, Time}),
                 int(BatchRun::Clean));

        // The file went whole with line 1, as Run sends it, then the table requests.
        QStringList sent;
        for (const testengine::Input& input : testengine::inputs())
            sent << QString::fromStdString(input.bytes) + '@' + QString::number(input.line);
        QCOMPARE(sent, QStringList({"\u22d9 version@1", "<a \u2192 b>.\n@1", "\u22d9 words@1",
                                    "\u22d9 compounds@1", "\u22d9 statements@1"}));
        QCOMPARE(readBytes(dir.filePath("tables/words.csv")),
                 "Term Id,Word\r\nff," + field + "\r\n");
        QCOMPARE(readBytes(dir.filePath("tables/statements.csv")),
                 QByteArray("Term Id,Statement\r\n"));
    }

    // An engine that answers the memory command without a dump: the run fails and says why,
    // and writes no file.
    void noMemoryDump()
    {
        QTemporaryDir dir;
        RunOptions options;
        options.memoryFile = dir.filePath("m.quor");
        options.timeoutSeconds = 10;
        QByteArray printed;
        QCOMPARE(runOne(dir, options, {Time, Time}, &printed), int(BatchRun::Failed));
        QCOMPARE(printed, QByteArray("QUOR library version 9.9\n"
                                     "quorstudio-run: the engine sent no memory dump\n"));
        QVERIFY(!QFileInfo::exists(options.memoryFile));
    }
};

QTEST_GUILESS_MAIN(TestCliScripted)
#include "tst_cli_scripted.moc"
