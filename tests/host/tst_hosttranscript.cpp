// One transcript, the tutorial and the engine commands, given to the stand-in engine both ways:
// in this process through the worker, and in an engine host. The same messages come back in the
// same order with the same bytes (the elapsed microseconds of time messages aside), and the
// window's Output dock reads the same in both modes.

#include "windowfixture.h"

#include <QtTest>

#include "dispatch.h"
#include "engineprocess.h"
#include "messagejson.h"
#include "messages.h"
#include "settings.h"

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

int elapsedLines(MainWindow* window)
{
    return outputLines(window).filter(QRegularExpression(QStringLiteral("^Elapsed time "))).size();
}

QStringList steadyOutput(MainWindow* window)
{
    return outputLines(window).replaceInStrings(QRegularExpression("Elapsed time \\d+"),
                                                QStringLiteral("Elapsed time N"));
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
        for (int i = 0; i < fromWorker.size(); ++i) {
            const QByteArray expected = steady(fromWorker.at(i));
            const QByteArray got = steady(fromHost.at(i));
            QCOMPARE(
                messageJsonLine(decodeMessage(got.constData(), std::size_t(got.size()))),
                messageJsonLine(decodeMessage(expected.constData(), std::size_t(expected.size()))));
            QCOMPARE(got, expected);
        }
    }

    void sameOutputDockBothWays()
    {
        QStringList outputs[2];
        for (const bool separate : {false, true}) {
            clearSettings();
            SettingsStore().setValue(Settings::EngineInSeparateProcess, separate);
            DialogScript dialogs; // the tutorial's memory dump: cancelled
            auto window = makeWindow({tutorialPath});
            trigger(window.get(), "actionRun");
            QTRY_COMPARE_WITH_TIMEOUT(elapsedLines(window.get()), 2, 30000);
            QCOMPARE(dialogs.saveCaptions.size(), 1);
            outputs[separate] = steadyOutput(window.get());
        }
        QVERIFY(outputs[0].size() > 10);
        QCOMPARE(outputs[1], outputs[0]);
    }
};

QTEST_MAIN(TestHostTranscript)
#include "tst_hosttranscript.moc"
