// Bad input files: empty, very large, one very long line, binary, and names with blanks and
// characters outside ASCII. Each is opened, edited and saved through the window's own actions:
// no crash, and nothing of the file is lost.

#include "documents/documentstest.h"

#include <QElapsedTimer>

using namespace documentstest;
using windowtest::setUpEnvironment;

namespace {

// Text lines of the notation, `bytes` long in all.
QByteArray largeText(int bytes)
{
    const QByteArray line = "<bird \xe2\x86\x92 animal>. {0.9 0.8} // a line of the notation\n";
    QByteArray text;
    text.reserve(bytes + line.size());
    while (text.size() + line.size() <= bytes)
        text += line;
    text += QByteArray(bytes - text.size(), 'x');
    return text;
}

QByteArray everyByte()
{
    QByteArray bytes;
    for (int round = 0; round < 4; ++round) {
        for (int b = 0; b < 256; ++b)
            bytes += char(b);
    }
    return bytes;
}

} // namespace

class TestBadInput : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { setUpEnvironment(settingsDir); }
    void init() { windowtest::clearSettings(); }

    void openEditSave_data();
    void openEditSave();
    void binaryFileIsNeverOverwrittenUnasked_data();
    void binaryFileIsNeverOverwrittenUnasked();

private:
    QTemporaryDir settingsDir;
};

void TestBadInput::openEditSave_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("content");

    QTest::newRow("empty file") << "empty.quor" << QByteArray();
    QTest::newRow("50 MB") << "large.quor" << largeText(50 * 1000 * 1000);
    QTest::newRow("one line of 1,000,000 characters")
        << "long line.quor" << QByteArray(1000000, 'a') + "\xe2\x86\x92" + QByteArray(99, 'b');
    QTest::newRow("control characters and NUL")
        << "control.txt" << QByteArray("\0\1\2\3\a\b\t\v\f\x1b\x7f end\n\0", 17);
    QTest::newRow("name with blanks") << "my notes v2 .quor" << QByteArray("<a \xe2\x86\x92 b>.\n");
    QTest::newRow("name outside ASCII")
        << "\xc3\xa9t\xc3\xa9 \xe2\x87\x92 \xe6\x97\xa5\xe6\x9c\xac.quor" // été ⇒ 日本
        << QByteArray("<caf\xc3\xa9 \xe2\x86\x92 drink>.\n");
}

void TestBadInput::openEditSave()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, content);
    QTemporaryDir dir;
    const QString path = dir.filePath(name);
    QVERIFY(writeBytes(path, content));
    DialogScript dialogs;
    auto window = windowtest::makeWindow();

    QElapsedTimer clock;
    clock.start();
    dialogs.openNames.push_back({path});
    action(window.get(), "actionOpen")->trigger();
    QCOMPARE(tabTexts(window.get()), QStringList{QFileInfo(path).fileName()});
    CodeEditor* editor = window->currentEditor();
    QVERIFY(editor);
    const qint64 openMs = clock.restart();

    // Edit: text typed at the end, as a person would.
    const QString typed = QStringLiteral("\n<new \u2192 line>.");
    typeText(editor, typed);
    QVERIFY(editor->document()->isModified());
    action(window.get(), "actionSave")->trigger();
    const qint64 saveMs = clock.elapsed();
    qInfo("%s: %d bytes, opened in %lld ms, saved in %lld ms", QTest::currentDataTag(),
          int(content.size()), openMs, saveMs);

    QVERIFY2(dialogs.warnings.isEmpty(), qPrintable(dialogs.warnings.value(0).text));
    QVERIFY(!editor->document()->isModified());
    QCOMPARE(tabTexts(window.get()), QStringList{QFileInfo(path).fileName()});
    // Every byte of the file is still there, followed by what was typed.
    const QByteArray saved = readBytes(path);
    QCOMPARE(saved.size(), content.size() + typed.toUtf8().size());
    QVERIFY(saved == content + typed.toUtf8());
    QVERIFY(recentFiles().contains(path));
}

void TestBadInput::binaryFileIsNeverOverwrittenUnasked_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::newRow("every byte value") << everyByte();
    QTest::newRow("compressed data") << qCompress(largeText(200000), 9);
    QTest::newRow("UTF-16 with byte order mark")
        << QByteArray("\xff\xfe<\0a\0 \0\x92\x21 \0b\0>\0.\0", 18);
}

void TestBadInput::binaryFileIsNeverOverwrittenUnasked()
{
    // A binary file cannot be shown as text without replacing its bytes: the window says so on
    // opening, edits are possible, and saving over the file asks first. Declined, the file keeps
    // every byte; saved under another name, the original is untouched.
    QFETCH(QByteArray, content);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("data.bin"));
    QVERIFY(writeBytes(path, content));
    DialogScript dialogs;
    auto window = windowtest::makeWindow();
    dialogs.openNames.push_back({path});
    action(window.get(), "actionOpen")->trigger();
    QCOMPARE(dialogs.warnings.size(), 1);
    QVERIFY(dialogs.warnings.first().text.contains(QStringLiteral("not valid UTF-8")));
    CodeEditor* editor = window->currentEditor();
    QVERIFY(editor);
    typeText(editor, QStringLiteral("edit"));

    dialogs.answers.push_back(QMessageBox::Cancel);
    action(window.get(), "actionSave")->trigger();
    QCOMPARE(dialogs.warnings.size(), 2);
    QVERIFY(readBytes(path) == content);
    QVERIFY(editor->document()->isModified());

    const QString copy = dir.filePath(QStringLiteral("copy.txt"));
    dialogs.saveNames.push_back(copy);
    action(window.get(), "actionSave_As")->trigger();
    QVERIFY(QFile::exists(copy));
    QVERIFY(readBytes(path) == content);
    QVERIFY(!editor->document()->isModified());
    QVERIFY(dialogs.unanswered.isEmpty());
}

QTEST_MAIN(TestBadInput)
#include "tst_badinput.moc"
