#include "filenames.h"
#include "memorydump.h"
#include "testmessages.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

class TestMemoryDump : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void decode_data();
    void decode();
    void write_data();
    void write();
    void failure_data();
    void failure();
};

void TestMemoryDump::decode_data()
{
    QTest::addColumn<QByteArray>("message");
    QTest::addColumn<QByteArray>("dump");
    QTest::newRow("to the NUL") << QByteArray("<m\0a\nb\0rest", 11) << QByteArray("a\nb");
    QTest::newRow("to the end") << QByteArray("<m\0abc", 6) << QByteArray("abc");
    QTest::newRow("non-ASCII bytes")
        << QByteArray("<m\0\xe2\x8b\x99\xff\r\n", 9) << QByteArray("\xe2\x8b\x99\xff\r\n");
    QTest::newRow("NUL at offset 3") << QByteArray("<m\0\0x", 5) << QByteArray();
    QTest::newRow("3 bytes") << QByteArray("<m\0", 3) << QByteArray();
    QTest::newRow("2 bytes") << QByteArray("<m") << QByteArray();
}

void TestMemoryDump::decode()
{
    QFETCH(QByteArray, message);
    const HeapMessage heap(message);
    QTEST(decodeMemoryDump(heap.data.get(), heap.size), "dump");
}

void TestMemoryDump::write_data()
{
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<QString>("written");
    QTest::addColumn<QByteArray>("dump");
    QTest::newRow("suffix added") << "dump"
                                  << "dump.quor" << QByteArray("(a → b)\n");
    QTest::newRow("other suffix kept, .quor added") << "dump.log"
                                                    << "dump.log.quor" << QByteArray("x");
    QTest::newRow("upper-case .TXT kept") << "dump.TXT"
                                          << "dump.TXT" << QByteArray("x");
    QTest::newRow("mixed-case .Quor kept") << "notes.Quor"
                                           << "notes.Quor" << QByteArray("x");
    QTest::newRow("non-ASCII and invalid UTF-8 unchanged")
        << "raw.qrs"
        << "raw.qrs" << QByteArray("\xe2\x87\x92\r\n\xff\xfe\n", 8);
    QTest::newRow("empty dump, empty file") << "empty"
                                            << "empty.quor" << QByteArray();
}

void TestMemoryDump::write()
{
    QFETCH(QString, chosen);
    QFETCH(QByteArray, dump);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QFETCH(QString, written);
    // An existing file is replaced by the dump.
    QFile old(dir.filePath(written));
    QVERIFY(old.open(QIODevice::WriteOnly) && old.write("previous contents, longer") > 0);
    old.close();

    QString reason = "untouched";
    QVERIFY(writeMemoryDump(withDocumentSuffix(dir.filePath(chosen)), dump, &reason));
    QCOMPARE(reason, QStringLiteral("untouched"));
    QFile file(dir.filePath(written));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), dump);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{written});
}

void TestMemoryDump::failure_data()
{
    QTest::addColumn<QString>("path");
    QTest::newRow("missing folder") << "missing/dump.quor";
    QTest::newRow("name of a folder") << "folder.quor";
}

void TestMemoryDump::failure()
{
    QFETCH(QString, path);
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkdir("folder.quor"));
    QString reason;
    QVERIFY(!writeMemoryDump(dir.filePath(path), "dump", &reason));
    QVERIFY(!reason.isEmpty());
    QVERIFY(!writeMemoryDump(dir.filePath(path), "dump", nullptr));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList());
}

QTEST_GUILESS_MAIN(TestMemoryDump)
#include "tst_memorydump.moc"
