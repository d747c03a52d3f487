// Reading documents: files that cannot be read, files that do not exist, text that must come
// back unchanged from a save, and files that are not valid UTF-8.

#include "documentstest.h"

#include <QDir>
#include <QFileInfo>

#include <sys/stat.h>

using namespace windowtest;
using namespace documentstest;

class TestReading : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { setUpEnvironment(settingsDir); }
    void init() { clearSettings(); }

    void unreadableFileWarnsAndOpensNoTab_data();
    void unreadableFileWarnsAndOpensNoTab();
    void missingFileOpensEmptyTabNamedByPath();
    void roundTripKeepsEveryCharacter_data();
    void roundTripKeepsEveryCharacter();
    void invalidUtf8WarnsAndAsksBeforeSaving_data();
    void invalidUtf8WarnsAndAsksBeforeSaving();
    void invalidUtf8FileStillGuardedAfterSavingElsewhere();

private:
    QTemporaryDir settingsDir;
};

void TestReading::unreadableFileWarnsAndOpensNoTab_data()
{
    QTest::addColumn<QString>("path"); // "@" stands for a temporary folder
    QTest::newRow("folder") << "@/folder.quor";
    QTest::newRow("read error") << "/proc/self/mem";
    QTest::newRow("pipe") << "@/pipe.quor"; // reading it would block the window for good
}

void TestReading::unreadableFileWarnsAndOpensNoTab()
{
    QFETCH(QString, path);
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("folder.quor")));
    QCOMPARE(::mkfifo(QFile::encodeName(dir.filePath("pipe.quor")).constData(), 0600), 0);
    path.replace(QLatin1Char('@'), dir.path());
    QVERIFY(QFileInfo::exists(path));
    DialogScript script;
    auto window = makeWindow();
    action(window.get(), "actionNew")->trigger();
    script.openNames.push_back({path});

    action(window.get(), "actionOpen")->trigger();

    QCOMPARE(script.warnings.size(), 1);
    QVERIFY2(script.warnings.first().text.contains(QDir::toNativeSeparators(path)),
             qPrintable(script.warnings.first().text));
    QCOMPARE(tabTexts(window.get()), QStringList{"new 1"});
    QCOMPARE(tabs(window.get())->currentIndex(), 0);
    QVERIFY(recentFiles().isEmpty());
    QCOMPARE(window->loadFile(path), -1);
}

void TestReading::missingFileOpensEmptyTabNamedByPath()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("gone.quor");
    DialogScript script;
    auto window = makeWindow();
    const int index = window->loadFile(path);
    QCOMPARE(index, 0);
    QCOMPARE(window->editorAt(index)->fileName, path);
    QCOMPARE(window->editorAt(index)->toPlainText(), QString());
    QCOMPARE(tabTexts(window.get()), QStringList{"gone.quor"});
    QCOMPARE(recentFiles(), QStringList{path});
    QVERIFY(script.warnings.isEmpty());
    // Saving creates the file under that path without asking for a name.
    typeText(window->editorAt(index), QStringLiteral("new"));
    action(window.get(), "actionSave")->trigger();
    QCOMPARE(readBytes(path), QByteArray("new"));
    QVERIFY(script.saveCaptions.isEmpty());
}

void TestReading::roundTripKeepsEveryCharacter_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("notation") << QByteArray("⋙ debug on\n(a → b) ∧ c ⇒ d\n");
    QTest::newRow("no final line end") << QByteArray("a\n\nb");
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("no-break space") << QByteArray("a\xc2\xa0"
                                                  "b\n");
    QTest::newRow("line separator") << QByteArray("a\xe2\x80\xa8"
                                                  "b\n");
    QTest::newRow("tab and NUL") << QByteArray("a\tb\0c", 5);
}

void TestReading::roundTripKeepsEveryCharacter()
{
    QFETCH(QByteArray, bytes);
    QTemporaryDir dir;
    const QString path = dir.filePath("doc.quor");
    QVERIFY(writeBytes(path, bytes));
    DialogScript script;
    auto window = makeWindow({path});
    QVERIFY(script.warnings.isEmpty());
    action(window.get(), "actionSave")->trigger();
    QCOMPARE(readBytes(path), bytes);
    QVERIFY(script.warnings.isEmpty());
}

void TestReading::invalidUtf8WarnsAndAsksBeforeSaving_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("Latin-1 byte") << QByteArray("caf\xe9 ok\n");
    QTest::newRow("stray continuation") << QByteArray("a\x80z");
    QTest::newRow("sequence cut at the end") << QByteArray("ab\xe2\x8b");
}

void TestReading::invalidUtf8WarnsAndAsksBeforeSaving()
{
    QFETCH(QByteArray, bytes);
    QTemporaryDir dir;
    const QString path = dir.filePath("latin.txt");
    QVERIFY(writeBytes(path, bytes));
    DialogScript script;
    auto window = makeWindow({path});
    QCOMPARE(tabs(window.get())->count(), 1);
    QCOMPARE(script.warnings.size(), 1);
    QVERIFY(script.warnings.first().text.contains(QDir::toNativeSeparators(path)));
    QVERIFY(script.warnings.first().text.contains(QLatin1String("UTF-8")));

    typeText(window->currentEditor(), QStringLiteral("!"));
    script.answers.push_back(QMessageBox::Cancel);
    action(window.get(), "actionSave")->trigger();
    QCOMPARE(script.warnings.size(), 2);
    QCOMPARE(script.warnings.last().buttons, QMessageBox::Save | QMessageBox::Cancel);
    QCOMPARE(readBytes(path), bytes);
    QCOMPARE(tabTexts(window.get()), QStringList{"latin.txt*"});

    // Save All asks too; agreeing writes the text as shown.
    script.answers.push_back(QMessageBox::Save);
    action(window.get(), "actionSave_All")->trigger();
    QCOMPARE(script.warnings.size(), 3);
    QCOMPARE(readBytes(path), window->currentEditor()->toPlainText().toUtf8());
    QCOMPARE(tabTexts(window.get()), QStringList{"latin.txt"});

    // Once replaced, the file holds valid text and later saves do not ask.
    typeText(window->currentEditor(), QStringLiteral("?"));
    action(window.get(), "actionSave")->trigger();
    QCOMPARE(script.warnings.size(), 3);
    QVERIFY(script.unanswered.isEmpty());
}

void TestReading::invalidUtf8FileStillGuardedAfterSavingElsewhere()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("latin.txt");
    const QByteArray bytes("caf\xe9\n");
    QVERIFY(writeBytes(path, bytes));
    DialogScript script;
    auto window = makeWindow({path});
    QCOMPARE(script.warnings.size(), 1);
    script.saveNames.push_back(dir.filePath("copy.txt"));
    action(window.get(), "actionSave_As")->trigger();
    QCOMPARE(script.warnings.size(), 1);
    QVERIFY(QFileInfo(dir.filePath("copy.txt")).isFile());

    // The original still holds the undecodable bytes: saving back over it asks again.
    script.saveNames.push_back(path);
    script.answers.push_back(QMessageBox::Cancel);
    action(window.get(), "actionSave_As")->trigger();
    QCOMPARE(script.warnings.size(), 2);
    QCOMPARE(readBytes(path), bytes);
}

QTEST_MAIN(TestReading)
#include "tst_reading.moc"
