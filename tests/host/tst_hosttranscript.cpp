// One transcript, the tutorial and the engine commands, given to the stand-in engine both ways:
// in this process through the worker, and in an engine host. The same messages come back in the
// same order with the same bytes (the elapsed microseconds of time messages aside). The tutorial
// run in the window fills every dock as the tutorial says it will, and the Output dock reads the
// same in both modes.

#include "windowfixture.h"

#include <QtTest>

#include "engineprocess.h"
#include "errormessage.h"
#include "messages.h"
#include "settings.h"
#include "svgview.h"

#include <QListWidget>
#include <QTableWidget>

using namespace fixture;

namespace {

const QString tutorialPath = QStringLiteral(TESTSRCDIR "/../examples/tutorial.quor");

QList<QPair<QString, int>> transcript()
{
    QList<QPair<QString, int>> inputs{{QStringLiteral("\u22d9 version"), 1},
                                      {QString::fromUtf8(readBytes(tutorialPath)), 1}};
    for (const char* command : {"words", "compounds", "statements", "question", "inference"})
        inputs.append({QStringLiteral("\u22d9 ") + QLatin1String(command), 1});
    inputs.append({QStringLiteral("<robin \u2192 bird>."), 7});
    return inputs;
}

bool isTime(const QByteArray& message)
{
    return messageKind(message.constData(), std::size_t(message.size())) == MessageKind::Time;
}

// The elapsed microseconds differ from run to run.
QByteArray steady(QByteArray message)
{
    if (isTime(message) && message.size() >= 7)
        message.replace(3, 4, QByteArray(4, '\0'));
    return message;
}

// Sends the transcript and waits for its answers: the engine ends each with a time message.
template <typename Send> bool answered(Send send, const QList<QByteArray>& messages)
{
    const auto inputs = transcript();
    for (const auto& input : inputs)
        send(input.first, input.second);
    return QTest::qWaitFor(
        [&] { return std::count_if(messages.cbegin(), messages.cend(), isTime) == inputs.size(); },
        30000);
}

} // namespace

class TestHostTranscript : public QObject {
    Q_OBJECT
    Environment environment;

private slots:
    void sameMessagesBothWays()
    {
        QList<QByteArray> fromWorker;
        QuorW worker;
        connect(&worker, &QuorW::output, this, [&](const char* block, size_t size) {
            QuorW::takeOver(block);
            fromWorker.append(QByteArray(block, int(size)));
            delete[] block;
        });
        QVERIFY(
            answered([&](const QString& text, int line) { worker.input(text, line); }, fromWorker));

        QList<QByteArray> fromHost;
        EngineProcess host;
        connect(&host, &EngineProcess::message, this,
                [&](const QByteArray& message) { fromHost.append(message); });
        QVERIFY(answered([&](const QString& text, int line) { host.input(text, line); }, fromHost));

        QVERIFY(fromWorker.size() > 20);
        QCOMPARE(fromHost.size(), fromWorker.size());
        for (int i = 0; i < fromWorker.size(); ++i)
            QCOMPARE(steady(fromHost.at(i)), steady(fromWorker.at(i)));
    }

    void tutorialInTheWindowBothWays()
    {
        QStringList outputs[2];
        for (const bool separate : {false, true}) {
            clearSettings();
            SettingsStore().setValue(Settings::EngineInSeparateProcess, separate);
            // The tutorial ends by saving the memory: the dialog is answered with a file here.
            QTemporaryDir saved;
            DialogScript dialogs;
            dialogs.saveNames.push_back(saved.filePath(QStringLiteral("memory")));
            auto window = makeWindow({tutorialPath});
            trigger(window.get(), "actionRun");
            const QRegularExpression elapsed("^Elapsed time \\d+");
            QTRY_COMPARE_WITH_TIMEOUT(outputLines(window.get()).filter(elapsed).size(), 2, 30000);
            const QStringList lines = outputLines(window.get());
            QVERIFY(lines.contains(QStringLiteral("QUOR library version 1.0.0")));
            QCOMPARE(lines.filter(QStringLiteral("Answer: <robin \u2192 living_being>")).size(), 1);
            QVERIFY(!lines.filter(QStringLiteral("No answer")).isEmpty());
            // The deliberate mistake: listed, and marked in the editor on its own line.
            CodeEditor* editor = window->currentEditor();
            const QStringList source = editor->toPlainText().split('\n');
            const int mistake = source.indexOf(QStringLiteral("<robin \u2192 bird.")) + 1;
            QVERIFY(mistake > 0);
            auto* errors = child<QListWidget>(window.get(), "listWidget");
            QCOMPARE(errors->count(), 1);
            const auto location = errors->item(0)->data(Qt::UserRole).value<ErrorListItem>();
            QCOMPARE(location.line, mistake);
            QCOMPARE(location.fileName, editor->fileName);
            QVERIFY(location.column >= 1 && location.column <= source.at(mistake - 1).size() + 1);
            QCOMPARE(editor->marks().size(), 1);
            QCOMPARE(editor->marks().first().line, mistake);
            // The three tables, sorted by name; both graphs; the memory dump in the chosen file
            // with the suffix added.
            for (const char* name : {"tableWidget_1", "tableWidget_2", "tableWidget_3"}) {
                auto* table = child<QTableWidget>(window.get(), name);
                QVERIFY2(table->rowCount() > 0, name);
                for (int row = 1; row < table->rowCount(); ++row)
                    QVERIFY(table->item(row - 1, 1)->text() <= table->item(row, 1)->text());
            }
            QCOMPARE(child<QTableWidget>(window.get(), "tableWidget_1")
                         ->findItems(QStringLiteral("robin"), Qt::MatchExactly)
                         .size(),
                     1);
            QVERIFY(child<SvgView>(window.get(), "graphicsView1")->text().contains("robin"));
            QVERIFY(
                child<SvgView>(window.get(), "graphicsView2")->text().contains("Level: 0 Op: 0x"));
            QCOMPARE(dialogs.saveCaptions.size(), 1);
            QTRY_VERIFY(readBytes(saved.filePath("memory.quor")).contains("robin"));
            outputs[separate] =
                outputLines(window.get()).replaceInStrings(elapsed, "Elapsed time N");
        }
        QVERIFY(outputs[0].size() > 10);
        QCOMPARE(outputs[1], outputs[0]);
    }
};

QTEST_MAIN(TestHostTranscript)
#include "tst_hosttranscript.moc"
