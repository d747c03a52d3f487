// Documents: creating, opening and saving, the file-name rules, modified markers and files
// that cannot be written.

#include "documentstest.h"

#include "filenames.h"

#include <QDir>
#include <QFileInfo>

#include <sys/stat.h>

using namespace windowtest;
using namespace documentstest;

class TestDocuments : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { setUpEnvironment(settingsDir); }
    void init() { clearSettings(); }

    void saveAsNameRules_data();
    void saveAsNameRules();
    void saveReplacesWholeFile();
    void modifiedMarkersAndSaveState();
    void untitledNumberingAcrossCloses();
    void openDialogOpensEveryChosenFile();
    void openingAnOpenFileReusesItsTab();
    void undoAfterOpenRemovesLoadedText();
    void failedWriteWarnsAndKeepsModified_data();
    void failedWriteWarnsAndKeepsModified();
    void commandLineBareNameOpensByAbsolutePath();

private:
    QTemporaryDir settingsDir;
};

void TestDocuments::saveAsNameRules_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("written");
    QTest::addColumn<bool>("viaSave"); // Save on an untitled document, or Save As
    QTest::newRow("no suffix") << "notes"
                               << "notes.quor" << true;
    QTest::newRow(".TXT kept") << "notes.TXT"
                               << "notes.TXT" << false;
    QTest::newRow(".Qrs kept") << "notes.Qrs"
                               << "notes.Qrs" << true;
    QTest::newRow(".quor kept") << "notes.quor"
                                << "notes.quor" << false;
    QTest::newRow(".md gets .quor") << "notes.md"
                                    << "notes.md.quor" << false;
    QTest::newRow("dotted folder") << "v1.2/notes"
                                   << "v1.2/notes.quor" << true;
}

void TestDocuments::saveAsNameRules()
{
    QFETCH(QString, typed);
    QFETCH(QString, written);
    QFETCH(bool, viaSave);
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("v1.2")));
    DialogScript script;
    auto window = makeWindow();
    action(window.get(), "actionNew")->trigger();
    typeText(window->currentEditor(), QStringLiteral("⋙ words\n"));
    script.saveNames.push_back(dir.filePath(typed));

    action(window.get(), viaSave ? "actionSave" : "actionSave_As")->trigger();

    QCOMPARE(script.saveCaptions, QStringList{QStringLiteral("Save as...")});
    QCOMPARE(script.saveFilters.first(),
             QStringLiteral("Vel Files (*.quor *.qrs *.txt);;Text Files (*.txt);;All Files (*.*)"));
    const QString path = dir.filePath(written);
    QCOMPARE(readBytes(path), QByteArray("⋙ words\n"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files).size(), written.contains('/') ? 0 : 1);
    QCOMPARE(window->currentEditor()->fileName, path);
    QCOMPARE(tabTexts(window.get()), QStringList{QFileInfo(path).fileName()});
    QVERIFY(!window->currentEditor()->document()->isModified());
    QCOMPARE(recentFiles(), QStringList{path});
    QVERIFY(script.warnings.isEmpty());
}

void TestDocuments::saveReplacesWholeFile()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("long.quor");
    QVERIFY(writeBytes(path, QByteArray(5000, 'x')));
    struct stat before {};
    QCOMPARE(::stat(QFile::encodeName(path).constData(), &before), 0);
    DialogScript script;
    auto window = makeWindow({path});
    CodeEditor* editor = window->currentEditor();
    editor->selectAll();
    editor->insertPlainText(QStringLiteral("short"));
    action(window.get(), "actionSave")->trigger();
    QCOMPARE(readBytes(path), QByteArray("short"));
    // The new text went to a new file that took the old one's place, not into the old file.
    struct stat after {};
    QCOMPARE(::stat(QFile::encodeName(path).constData(), &after), 0);
    QVERIFY(after.st_ino != before.st_ino);
    QVERIFY(script.saveCaptions.isEmpty());
    QCOMPARE(tabTexts(window.get()), QStringList{"long.quor"});
    // No temporary file is left beside the document.
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"long.quor"});
}

void TestDocuments::modifiedMarkersAndSaveState()
{
    QTemporaryDir dir;
    DialogScript script;
    auto window = makeWindow();
    QAction* save = action(window.get(), "actionSave");
    action(window.get(), "actionNew")->trigger();
    CodeEditor* editor = window->currentEditor();
    QCOMPARE(tabTexts(window.get()), QStringList{"new 1"});
    QVERIFY(!save->isEnabled());

    typeText(editor, QStringLiteral("a"));
    QCOMPARE(tabTexts(window.get()), QStringList{"new 1*"});
    QVERIFY(save->isEnabled());

    editor->undo();
    QCOMPARE(tabTexts(window.get()), QStringList{"new 1"});
    QVERIFY(!save->isEnabled());

    typeText(editor, QStringLiteral("b"));
    script.saveNames.push_back(dir.filePath("b"));
    save->trigger();
    QCOMPARE(tabTexts(window.get()), QStringList{"b.quor"});
    QVERIFY(!save->isEnabled());

    // Each tab keeps the marker of its own document.
    action(window.get(), "actionNew")->trigger();
    typeText(window->currentEditor(), QStringLiteral("c"));
    QCOMPARE(tabTexts(window.get()), (QStringList{"b.quor", "new 2*"}));
    typeText(editor, QStringLiteral("d"));
    QCOMPARE(tabTexts(window.get()), (QStringList{"b.quor*", "new 2*"}));
}

void TestDocuments::untitledNumberingAcrossCloses()
{
    auto window = makeWindow();
    QAction* newAction = action(window.get(), "actionNew");
    newAction->trigger();
    newAction->trigger();
    QCOMPARE(tabs(window.get())->currentIndex(), 1);
    QCOMPARE(window->currentEditor()->fileName, QStringLiteral("new 2"));
    tabs(window.get())->setCurrentIndex(0);
    action(window.get(), "actionClose")->trigger();
    newAction->trigger();
    QCOMPARE(tabTexts(window.get()), (QStringList{"new 2", "new 3"}));
    action(window.get(), "actionClose_All")->trigger();
    QCOMPARE(tabs(window.get())->count(), 0);
    newAction->trigger();
    QCOMPARE(tabTexts(window.get()), QStringList{"new 4"});
}

void TestDocuments::openDialogOpensEveryChosenFile()
{
    QTemporaryDir dir;
    QVERIFY(writeBytes(dir.filePath("a.quor"), "first"));
    QVERIFY(writeBytes(dir.filePath("b.txt"), "second\nline"));
    DialogScript script;
    auto window = makeWindow();
    script.openNames.push_back({dir.filePath("a.quor"), dir.filePath("b.txt")});
    action(window.get(), "actionOpen")->trigger();
    QCOMPARE(script.openFilters, QStringList{documentFileFilter()});
    QCOMPARE(tabTexts(window.get()), (QStringList{"a.quor", "b.txt"}));
    QCOMPARE(tabs(window.get())->currentIndex(), 1);
    QCOMPARE(window->currentEditor()->toPlainText(), QStringLiteral("second\nline"));
    QCOMPARE(window->currentEditor()->textCursor().position(), 0);
    QVERIFY(!window->currentEditor()->document()->isModified());
    QCOMPARE(recentFiles(), (QStringList{dir.filePath("b.txt"), dir.filePath("a.quor")}));

    // A cancelled dialog opens nothing and leaves the current tab.
    script.openNames.push_back({});
    tabs(window.get())->setCurrentIndex(0);
    action(window.get(), "actionOpen")->trigger();
    QCOMPARE(tabs(window.get())->count(), 2);
    QCOMPARE(tabs(window.get())->currentIndex(), 0);
}

void TestDocuments::openingAnOpenFileReusesItsTab()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("a.quor");
    const QString other = dir.filePath("b.quor");
    QVERIFY(writeBytes(path, "old"));
    QVERIFY(writeBytes(other, "b"));
    DialogScript script;
    auto window = makeWindow({path, other});
    QVERIFY(writeBytes(path, "changed on disk"));
    script.openNames.push_back({path});
    action(window.get(), "actionOpen")->trigger();
    QCOMPARE(tabs(window.get())->count(), 2);
    QCOMPARE(tabs(window.get())->currentIndex(), 0);
    QCOMPARE(window->currentEditor()->toPlainText(), QStringLiteral("old"));
    QCOMPARE(recentFiles(), (QStringList{other, path}));

    // The same file under a differently spelled path is another document.
    const QString spelled = dir.path() + QStringLiteral("/./a.quor");
    script.openNames.push_back({spelled});
    action(window.get(), "actionOpen")->trigger();
    QCOMPARE(tabs(window.get())->count(), 3);
    QCOMPARE(window->currentEditor()->toPlainText(), QStringLiteral("changed on disk"));
}

void TestDocuments::undoAfterOpenRemovesLoadedText()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("a.quor");
    QVERIFY(writeBytes(path, "text"));
    auto window = makeWindow({path});
    QVERIFY(action(window.get(), "actionUndo")->isEnabled());
    action(window.get(), "actionUndo")->trigger();
    QCOMPARE(window->currentEditor()->toPlainText(), QString());
    QCOMPARE(tabTexts(window.get()), QStringList{"a.quor*"});
}

void TestDocuments::failedWriteWarnsAndKeepsModified_data()
{
    QTest::addColumn<QString>("target"); // relative to a temporary folder
    QTest::addColumn<QString>("written");
    QTest::newRow("missing folder") << "missing/doc.quor"
                                    << "missing/doc.quor";
    QTest::newRow("name of a folder") << "folder.quor"
                                      << "folder.quor";
}

void TestDocuments::failedWriteWarnsAndKeepsModified()
{
    QFETCH(QString, target);
    QFETCH(QString, written);
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("folder.quor")));
    DialogScript script;
    auto window = makeWindow();
    action(window.get(), "actionNew")->trigger();
    typeText(window->currentEditor(), QStringLiteral("keep me"));
    script.saveNames.push_back(dir.filePath(target));

    action(window.get(), "actionSave_As")->trigger();

    const QString path = dir.filePath(written);
    QCOMPARE(script.warnings.size(), 1);
    QCOMPARE(script.warnings.first().title, QStringLiteral("Application"));
    QVERIFY2(script.warnings.first().text.contains(QDir::toNativeSeparators(path)),
             qPrintable(script.warnings.first().text));
    QVERIFY(window->currentEditor()->document()->isModified());
    QVERIFY(action(window.get(), "actionSave")->isEnabled());
    QCOMPARE(window->currentEditor()->toPlainText(), QStringLiteral("keep me"));
    // The failed name is taken and listed all the same.
    QCOMPARE(tabTexts(window.get()), QStringList{QFileInfo(path).fileName() + "*"});
    QCOMPARE(recentFiles(), QStringList{path});
    QVERIFY(!QFileInfo(path).isFile());
}

void TestDocuments::commandLineBareNameOpensByAbsolutePath()
{
    QTemporaryDir dir;
    QVERIFY(writeBytes(dir.filePath("bare.quor"), "x"));
    const QString previous = QDir::currentPath();
    QVERIFY(QDir::setCurrent(dir.path()));
    DialogScript script;
    auto window = makeWindow({QStringLiteral("bare.quor")});
    QVERIFY(QDir::setCurrent(previous));

    const QString absolute = QFileInfo(dir.filePath("bare.quor")).absoluteFilePath();
    QCOMPARE(tabs(window.get())->count(), 1);
    QCOMPARE(window->currentEditor()->fileName, absolute);
    QCOMPARE(recentFiles(), QStringList{absolute});
    // Titled: Save writes back to the file without asking, from another working folder.
    typeText(window->currentEditor(), QStringLiteral("y"));
    action(window.get(), "actionSave")->trigger();
    QVERIFY(script.saveCaptions.isEmpty());
    QCOMPARE(readBytes(absolute), QByteArray("xy"));
}

QTEST_MAIN(TestDocuments)
#include "tst_documents.moc"
