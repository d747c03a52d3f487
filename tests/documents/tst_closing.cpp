// Closing documents and the window: the unsaved-changes question, Close, Close All and the
// close event.

#include "documentstest.h"

#include <QCloseEvent>
#include <QDir>

using namespace windowtest;
using namespace documentstest;

namespace {

const QString Question =
    QStringLiteral("The document '%1' has been modified.\nDo you want to save your changes?");
const QMessageBox::StandardButtons QuestionButtons =
    QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel;

} // namespace

class TestClosing : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { setUpEnvironment(settingsDir); }
    void init() { clearSettings(); }

    void tabCloseButton_data();
    void tabCloseButton();
    void closingWindowAsksAboutEachModifiedDocument_data();
    void closingWindowAsksAboutEachModifiedDocument();
    void closeSavesModifiedDocumentAndKeepsTab();
    void closeAllStopsAtUnsavedDocument_data();
    void closeAllStopsAtUnsavedDocument();

private:
    QTemporaryDir settingsDir;
};

void TestClosing::tabCloseButton_data()
{
    QTest::addColumn<bool>("titled");
    QTest::addColumn<bool>("modified");
    QTest::addColumn<int>("answer");       // QMessageBox::NoButton: no question expected
    QTest::addColumn<QString>("saveName"); // answer to the Save As dialog, if asked
    QTest::addColumn<bool>("writable");    // whether the document's folder still exists
    QTest::addColumn<bool>("closed");
    QTest::addColumn<QByteArray>("onDisk"); // the titled file's bytes afterwards

    const int none = QMessageBox::NoButton;
    QTest::newRow("unmodified") << true << false << none << "" << true << true << QByteArray("a");
    QTest::newRow("discard") << true << true << int(QMessageBox::Discard) << "" << true << true
                             << QByteArray("a");
    QTest::newRow("cancel") << true << true << int(QMessageBox::Cancel) << "" << true << false
                            << QByteArray("a");
    QTest::newRow("save") << true << true << int(QMessageBox::Save) << "" << true << true
                          << QByteArray("a+");
    QTest::newRow("save fails") << true << true << int(QMessageBox::Save) << "" << false << false
                                << QByteArray();
    QTest::newRow("untitled, name cancelled")
        << false << true << int(QMessageBox::Save) << "" << true << false << QByteArray();
    QTest::newRow("untitled, saved")
        << false << true << int(QMessageBox::Save) << "named" << true << true << QByteArray();
}

void TestClosing::tabCloseButton()
{
    QFETCH(bool, titled);
    QFETCH(bool, modified);
    QFETCH(int, answer);
    QFETCH(QString, saveName);
    QFETCH(bool, writable);
    QFETCH(bool, closed);
    QFETCH(QByteArray, onDisk);
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("sub")));
    const QString path = dir.filePath("sub/doc.quor");
    QVERIFY(writeBytes(path, "a"));
    DialogScript script;
    auto window = makeWindow();
    action(window.get(), "actionNew")->trigger(); // a neighbour that must stay
    if (titled)
        tabs(window.get())->setCurrentIndex(window->loadFile(path));
    else
        action(window.get(), "actionNew")->trigger();
    CodeEditor* editor = window->editorAt(1);
    const QString name = titled ? QStringLiteral("doc.quor") : QStringLiteral("new 2");
    if (modified)
        typeText(editor, QStringLiteral("+"));
    if (!writable)
        QVERIFY(QDir(dir.filePath("sub")).removeRecursively());
    if (answer != QMessageBox::NoButton)
        script.answers.push_back(QMessageBox::StandardButton(answer));
    if (!saveName.isEmpty())
        script.saveNames.push_back(dir.filePath(saveName));

    clickTabClose(window.get(), 1);

    if (answer == QMessageBox::NoButton) {
        QVERIFY(script.warnings.isEmpty());
    } else {
        QVERIFY(!script.warnings.isEmpty());
        QCOMPARE(script.warnings.first().title, QStringLiteral("Application"));
        QCOMPARE(script.warnings.first().text, Question.arg(name));
        QCOMPARE(script.warnings.first().buttons, QuestionButtons);
    }
    // A failed write adds its own warning naming the file.
    QCOMPARE(script.warnings.size(), answer == QMessageBox::NoButton ? 0 : writable ? 1 : 2);
    QCOMPARE(tabs(window.get())->count(), closed ? 1 : 2);
    QCOMPARE(window->editorAt(0)->fileName, QStringLiteral("new 1"));
    if (!closed) {
        QCOMPARE(window->editorAt(1), editor);
        QVERIFY(editor->document()->isModified());
        QCOMPARE(tabs(window.get())->tabText(1), name + QLatin1Char('*'));
    }
    if (titled)
        QCOMPARE(readBytes(path), onDisk.isEmpty() ? QByteArray("<unreadable>") : onDisk);
    if (!saveName.isEmpty())
        QCOMPARE(readBytes(dir.filePath(saveName + ".quor")), QByteArray("+"));
}

void TestClosing::closingWindowAsksAboutEachModifiedDocument_data()
{
    QTest::addColumn<QList<int>>("answers");
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<QByteArray>("first");
    QTest::addColumn<QByteArray>("second");
    const auto save = int(QMessageBox::Save);
    const auto discard = int(QMessageBox::Discard);
    const auto cancel = int(QMessageBox::Cancel);
    QTest::newRow("discard then save")
        << QList<int>{discard, save} << true << QByteArray("1") << QByteArray("2+");
    QTest::newRow("save both") << QList<int>{save, save} << true << QByteArray("1+")
                               << QByteArray("2+");
    QTest::newRow("cancel first") << QList<int>{cancel} << false << QByteArray("1")
                                  << QByteArray("2");
    QTest::newRow("save then cancel")
        << QList<int>{save, cancel} << false << QByteArray("1+") << QByteArray("2");
}

void TestClosing::closingWindowAsksAboutEachModifiedDocument()
{
    QFETCH(QList<int>, answers);
    QFETCH(bool, accepted);
    QFETCH(QByteArray, first);
    QFETCH(QByteArray, second);
    QTemporaryDir dir;
    const QString one = dir.filePath("one.quor");
    const QString two = dir.filePath("two.quor");
    const QString clean = dir.filePath("clean.quor");
    QVERIFY(writeBytes(one, "1"));
    QVERIFY(writeBytes(two, "2"));
    QVERIFY(writeBytes(clean, "c"));
    DialogScript script;
    auto window = makeWindow({one, clean, two});
    typeText(window->editorAt(0), QStringLiteral("+"));
    typeText(window->editorAt(2), QStringLiteral("+"));
    for (int answer : answers)
        script.answers.push_back(QMessageBox::StandardButton(answer));

    QCloseEvent event;
    QApplication::sendEvent(window.get(), &event);

    QCOMPARE(event.isAccepted(), accepted);
    QCOMPARE(script.warnings.size(), answers.size());
    QCOMPARE(script.warnings.first().text, Question.arg("one.quor"));
    if (answers.size() > 1)
        QCOMPARE(script.warnings.at(1).text, Question.arg("two.quor"));
    QCOMPARE(readBytes(one), first);
    QCOMPARE(readBytes(two), second);
    QCOMPARE(readBytes(clean), QByteArray("c"));
    QCOMPARE(tabs(window.get())->count(), 3);
    // Settings are stored only when the window may close.
    QSettings settings(QStringLiteral("QuorStudio"), QStringLiteral("QuorStudio"));
    for (const char* key : {"currentPath", "time", "internalQuestions", "debug"})
        QCOMPARE(settings.contains(QLatin1String(key)), accepted);
}

void TestClosing::closeSavesModifiedDocumentAndKeepsTab()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("doc.quor");
    QVERIFY(writeBytes(path, "a"));
    DialogScript script;
    auto window = makeWindow({path});
    QAction* close = action(window.get(), "actionClose");
    typeText(window->currentEditor(), QStringLiteral("b"));
    close->trigger();
    QCOMPARE(readBytes(path), QByteArray("ab"));
    QCOMPARE(tabTexts(window.get()), QStringList{"doc.quor"});
    close->trigger();
    QCOMPARE(tabs(window.get())->count(), 0);

    // An untitled document whose name is not given stays open and modified.
    action(window.get(), "actionNew")->trigger();
    typeText(window->currentEditor(), QStringLiteral("c"));
    close->trigger();
    QCOMPARE(script.saveCaptions.size(), 1);
    QCOMPARE(tabTexts(window.get()), QStringList{"new 1*"});
    QVERIFY(script.warnings.isEmpty());
}

void TestClosing::closeAllStopsAtUnsavedDocument_data()
{
    QTest::addColumn<QString>("saveName"); // empty: the Save As dialog is cancelled
    QTest::addColumn<bool>("writable");
    QTest::addColumn<QStringList>("remaining");
    QTest::newRow("name cancelled") << "" << true << QStringList{"new 2*", "c.quor"};
    QTest::newRow("write fails") << "missing/x" << false << QStringList{"x.quor*", "c.quor"};
    QTest::newRow("saved") << "x" << true << QStringList{};
}

void TestClosing::closeAllStopsAtUnsavedDocument()
{
    QFETCH(QString, saveName);
    QFETCH(bool, writable);
    QFETCH(QStringList, remaining);
    QTemporaryDir dir;
    const QString clean = dir.filePath("c.quor");
    QVERIFY(writeBytes(clean, "c"));
    DialogScript script;
    auto window = makeWindow();
    action(window.get(), "actionNew")->trigger();
    action(window.get(), "actionNew")->trigger();
    typeText(window->currentEditor(), QStringLiteral("unsaved"));
    window->loadFile(clean);
    tabs(window.get())->setCurrentIndex(0);
    if (!saveName.isEmpty())
        script.saveNames.push_back(dir.filePath(saveName));

    action(window.get(), "actionClose_All")->trigger();

    // One question only: the loop does not ask again for the same document.
    QCOMPARE(script.saveCaptions.size(), 1);
    QCOMPARE(script.warnings.size(), writable ? 0 : 1);
    QCOMPARE(tabTexts(window.get()), remaining);
    if (!remaining.isEmpty())
        QCOMPARE(window->editorAt(0)->toPlainText(), QStringLiteral("unsaved"));
    else
        QCOMPARE(readBytes(dir.filePath(saveName + ".quor")), QByteArray("unsaved"));
}

QTEST_MAIN(TestClosing)
#include "tst_closing.moc"
