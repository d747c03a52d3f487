// The engine host and its client on their own: garbage from either side ends the conversation,
// the host holds a flood back until it is acknowledged, and no host, zombie or descriptor is left
// behind, even when the client is killed.

#include "engineprocess.h"
#include "hostchecks.h"
#include "hostframes.h"

#include <QtTest>

#include <csignal>
#include <memory>
#include <string>

using namespace hostchecks;

namespace {

QByteArray frame(hostframes::Kind kind, const QByteArray& payload)
{
    std::string bytes;
    hostframes::appendFrame(bytes, kind, payload.constData(), std::size_t(payload.size()));
    return QByteArray(bytes.data(), int(bytes.size()));
}

QByteArray le32(quint32 value)
{
    QByteArray bytes(4, '\0');
    qToLittleEndian(value, bytes.data());
    return bytes;
}

const QByteArray hello = frame(hostframes::HelloKind, hostframes::Hello);

// A shell script in `dir` that plays the host; empty: no such program.
QString fakeHost(const QTemporaryDir& dir, const QString& script)
{
    const QString host = dir.filePath(QStringLiteral("fake-host"));
    QFile file(host);
    if (!script.isEmpty() && file.open(QIODevice::WriteOnly)) {
        file.write("#!/bin/sh\n" + script.toUtf8() + '\n');
        file.close();
        file.setPermissions(QFile::ReadOwner | QFile::ExeOwner);
    }
    return host;
}

// A host started by hand, the test being its client.
struct RawHost {
    QProcess process;
    QByteArray buffer;
    RawHost()
    {
        process.setProgram(QStringLiteral(ENGINE_HOST));
        process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process.start();
    }
    // Reads until at least `count` message frames have come or `limitMs` have passed; returns
    // how many came.
    int readMessages(int count, int limitMs = 10000)
    {
        int seen = 0;
        QElapsedTimer clock;
        clock.start();
        while (seen < count && clock.elapsed() < limitMs) {
            process.waitForReadyRead(50);
            buffer += process.readAllStandardOutput();
            hostframes::Parse next;
            while ((next = hostframes::parse(buffer.constData(), std::size_t(buffer.size()),
                                             hostframes::Reader::Client))
                       .state == hostframes::Parse::Complete) {
                seen += next.frame.kind == hostframes::Message;
                buffer.remove(0, int(next.length));
            }
        }
        return seen;
    }
};

} // namespace

class TestEngineProcess : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { useScriptEngine(); }

    void hostEndsOnGarbage_data()
    {
        QTest::addColumn<QByteArray>("sent");
        QTest::addColumn<int>("status");
        QTest::newRow("input closed") << QByteArray() << 0;
        QTest::newRow("frame over 15000 bytes") << le32(15001) + 'T' << 65;
        QTest::newRow("kind a host never takes") << frame(hostframes::Message, "x") << 65;
        QTest::newRow("input without its line") << frame(hostframes::InputEnd, "ab") << 65;
        QTest::newRow("acknowledges what was never sent")
            << frame(hostframes::Acknowledge, le32(1)) << 65;
        QTest::newRow("acknowledges nothing") << frame(hostframes::Acknowledge, le32(0)) << 65;
        QTest::newRow("acknowledgement cut short") << frame(hostframes::Acknowledge, "ab") << 65;
    }
    void hostEndsOnGarbage()
    {
        QFETCH(QByteArray, sent);
        RawHost host;
        host.process.write(sent);
        host.process.closeWriteChannel();
        QVERIFY(host.process.waitForFinished(10000));
        QCOMPARE(host.process.exitStatus(), QProcess::NormalExit);
        QTEST(host.process.exitCode(), "status");
        QVERIFY(host.process.readAllStandardOutput().startsWith(hello));
    }

    // An engine that floods gets MaxInFlight messages out, then waits for the client. Nothing
    // arriving can only be seen by waiting a while; a host that does not wait fails here on any
    // machine, one that waits never does.
    void floodWaitsForAcknowledgements()
    {
        RawHost host;
        std::string flood;
        hostframes::appendInput(flood, "flood", 5, 1);
        host.process.write(flood.data(), qint64(flood.size()));
        QCOMPARE(host.readMessages(hostframes::MaxInFlight), int(hostframes::MaxInFlight));
        QCOMPARE(host.readMessages(1, 300), 0);
        host.process.write(frame(hostframes::Acknowledge, le32(hostframes::AcknowledgeEvery)));
        QCOMPARE(host.readMessages(hostframes::AcknowledgeEvery),
                 int(hostframes::AcknowledgeEvery));
        host.process.closeWriteChannel();
        QVERIFY(host.process.waitForFinished(10000));
    }

    void clientEndsGarbageHost_data()
    {
        // The fake hosts are shell scripts: printf takes octal escapes.
        QTest::addColumn<QString>("script");
        QTest::addColumn<QString>("report");
        const QString greet =
            QStringLiteral("printf '\\030\\000\\000\\000Hquorstudio-engine-host 1'; ");
        const QString working =
            QStringLiteral("Engine ended (%1) while working on the input from line 4 (\"first\")");
        QTest::newRow("frame over 15000 bytes")
            << greet + "printf '\\040\\116\\000\\000M'; exec sleep 60"
            << working.arg("the engine host sent a frame of 20000 bytes");
        QTest::newRow("not a frame")
            << greet + "printf '\\000\\000\\000\\000Z'; exec sleep 60"
            << working.arg("the engine host sent bytes that are not a frame");
        QTest::newRow("no greeting") << "printf '\\001\\000\\000\\000Mx'; exec sleep 60"
                                     << working.arg("the engine host did not greet as it should");
        QTest::newRow("done twice")
            << greet + "printf '\\000\\000\\000\\000D\\000\\000\\000\\000D'; exec sleep 60"
            << "Engine ended (the engine host finished an input it was not given) while idle";
        QTest::newRow("exits") << greet + "exit 7" << working.arg("exit status 7");
        QTest::newRow("missing") << QString()
                                 << working.arg("the engine host $HOST could not be started");
    }
    void clientEndsGarbageHost()
    {
        QFETCH(QString, script);
        QFETCH(QString, report);
        QTemporaryDir dir;
        const QString host = fakeHost(dir, script);
        EngineProcess engine;
        engine.setProgram(host);
        QSignalSpy endings(&engine, &EngineProcess::ended);
        QSignalSpy messages(&engine, &EngineProcess::message);
        engine.input(QStringLiteral("\n  first\nsecond"), 4);
        const qint64 pid = engine.processId();
        QTRY_COMPARE_WITH_TIMEOUT(endings.size(), 1, 10000);
        QCOMPARE(endings.at(0).at(0).toString(), report.replace(QStringLiteral("$HOST"), host));
        QVERIFY(messages.isEmpty());
        QVERIFY(!engine.isBusy());
        QTRY_VERIFY_WITH_TIMEOUT(ended(pid), 5000);
    }

    // Stop asks first: an idle host and one whose engine is busy end when their input closes,
    // long before the grace is over; one that does not listen is killed when it is.
    void stopAsksFirst_data()
    {
        QTest::addColumn<QString>("script"); // empty: the engine host
        QTest::addColumn<QString>("input");
        QTest::addColumn<int>("graceMs");
        QTest::newRow("idle") << QString() << "hello" << 60000;
        QTest::newRow("busy") << QString() << "silent" << 60000;
        QTest::newRow("deaf") << "exec sleep 60"
                              << "hello" << 100;
    }
    void stopAsksFirst()
    {
        QFETCH(QString, script);
        QFETCH(QString, input);
        QFETCH(int, graceMs);
        QTemporaryDir dir;
        EngineProcess engine;
        engine.setProgram(script.isEmpty() ? QStringLiteral(ENGINE_HOST) : fakeHost(dir, script));
        engine.setStopGrace(graceMs);
        QSignalSpy messages(&engine, &EngineProcess::message);
        engine.input(input, 1);
        if (input == "hello" && script.isEmpty())
            QTRY_VERIFY_WITH_TIMEOUT(!messages.isEmpty(), 10000);
        const qint64 host = engine.processId();
        QTRY_VERIFY(!statFields(host).isEmpty());
        engine.stop();
        QTRY_VERIFY_WITH_TIMEOUT(ended(host), 10000);
    }

    // Hosts stopped, crashed and destroyed while busy: each is reaped and its pipes closed, and
    // the destruction of a busy one does not wait for the engine.
    void nothingLeftBehind()
    {
        auto engine = std::make_unique<EngineProcess>();
        engine->setProgram(QStringLiteral(ENGINE_HOST));
        QSignalSpy messages(engine.get(), &EngineProcess::message);
        QSignalSpy endings(engine.get(), &EngineProcess::ended);
        const auto answered = [&] {
            messages.clear();
            engine->input(QStringLiteral("hello"), 1);
            return QTest::qWaitFor([&] { return !messages.isEmpty(); }, 10000);
        };
        QVERIFY(answered()); // whatever the first host makes Qt open for good is open now
        engine->stop();
        QTRY_VERIFY(childrenOf(getpid()).isEmpty());
        const int descriptors = openDescriptors();
        for (int round = 1; round <= 3; ++round) {
            QVERIFY(answered());
            engine->stop();
            engine->input(QStringLiteral("segfault"), 1);
            QTRY_COMPARE_WITH_TIMEOUT(endings.size(), round, 10000);
        }
        engine->input(QStringLiteral("silent"), 1);
        const qint64 busy = engine->processId();
        QTRY_VERIFY(childrenOf(getpid()).contains(busy));
        QVERIFY(engine->isBusy());
        QElapsedTimer clock;
        clock.start();
        engine.reset();
        QVERIFY2(clock.elapsed() < 2000, qPrintable(QString::number(clock.elapsed())));
        QVERIFY(ended(busy));
        QVERIFY(childrenOf(getpid()).isEmpty());
        QCOMPARE(openDescriptors(), descriptors);
    }

    // quorstudio-run killed while its engine works: the host sees its input close and ends.
    void killedClientLeavesNoHost()
    {
        QTemporaryDir dir;
        QFile file(dir.filePath(QStringLiteral("silent.quor")));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("silent\n");
        file.close();
        QProcess run;
        run.setProgram(QStringLiteral(QUORSTUDIO_RUN));
        run.setArguments({QStringLiteral("--separate-process"), file.fileName()});
        run.start();
        QVERIFY(run.waitForStarted());
        QList<qint64> hosts;
        QTRY_VERIFY_WITH_TIMEOUT(!(hosts = childrenOf(run.processId())).isEmpty(), 10000);
        QCOMPARE(hosts.size(), 1);
        ::kill(pid_t(run.processId()), SIGKILL);
        QVERIFY(run.waitForFinished(5000));
        QTRY_VERIFY_WITH_TIMEOUT(ended(hosts.first()), 5000);
    }
};

QTEST_MAIN(TestEngineProcess)
#include "tst_engineprocess.moc"
