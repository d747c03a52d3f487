// Documents through the user's actions: new, open, close, the modified markers, the question
// about unsaved changes, the recent-file list and the settings kept between runs.

#include "windowfixture.h"

#include <QtTest>

#include "filenames.h"
#include "textfile.h"

#include <QCloseEvent>
#include <QFileSystemModel>
#include <QListView>
#include <QMenu>

#include <sys/stat.h>

using namespace fixture;

namespace {

const QString Question =
    QStringLiteral("The document '%1' has been modified.\nDo you want to save your changes?");

QList<QAction*> recentActions(MainWindow* window)
{
    return action(window, "actionRecent_Files")->menu()->actions();
}

// The visible recent entries as "text|path".
QStringList shownRecent(MainWindow* window)
{
    QStringList shown;
    for (QAction* entry : recentActions(window)) {
        if (entry->isVisible())
            shown << entry->text() + '|' + entry->data().toString();
    }
    return shown;
}

} // namespace

class TestDocuments : public QObject {
    Q_OBJECT
    Environment environment;

private slots:
    void init() { clearSettings(); }

    void markersAndNumbering()
    {
        QTemporaryDir dir;
        DialogScript script;
        auto window = makeWindow();
        QAction* save = action(window.get(), "actionSave");
        CodeEditor* editor = newDocument(window.get());
        typeText(editor, QStringLiteral("a"));
        QCOMPARE(tabTexts(window.get()), QStringList{"new 1*"});
        QVERIFY(save->isEnabled());
        editor->undo();
        QCOMPARE(tabTexts(window.get()), QStringList{"new 1"});
        QVERIFY(!save->isEnabled());
        typeText(editor, QStringLiteral("b"));
        script.saveNames.push_back(dir.filePath("b"));
        save->trigger();
        QCOMPARE(script.saveCaptions, QStringList{"Save as..."});
        QCOMPARE(script.saveFilters, QStringList{documentFileFilter()});
        QCOMPARE(tabTexts(window.get()), QStringList{"b.quor"});
        QVERIFY(!save->isEnabled());
        // Copy follows the selection of the current document, a new one has none.
        editor->selectAll();
        QVERIFY(action(window.get(), "actionCopy")->isEnabled());
        newDocument(window.get(), "c");
        QVERIFY(!action(window.get(), "actionCopy")->isEnabled());
        // Each tab keeps the marker of its own document; untitled numbers are never reused.
        newDocument(window.get());
        typeText(editor, QStringLiteral("d"));
        QCOMPARE(tabState(window.get()), QStringLiteral("b.quor* new 2* [new 3]"));
        window->editorAt(1)->document()->setModified(false);
        tabs(window.get())->setCurrentIndex(1);
        trigger(window.get(), "actionClose");
        newDocument(window.get());
        QCOMPARE(tabTexts(window.get()), (QStringList{"b.quor*", "new 3", "new 4"}));
        editor->document()->setModified(false);
        trigger(window.get(), "actionClose_All");
        QCOMPARE(tabs(window.get())->count(), 0);
        newDocument(window.get());
        QCOMPARE(tabTexts(window.get()), QStringList{"new 5"});
    }

    void opening()
    {
        QTemporaryDir dir;
        const QString a = dir.filePath("a.quor"), b = dir.filePath("b.txt");
        QVERIFY(writeBytes(a, "old") && writeBytes(b, "second\nline"));
        DialogScript script;
        auto window = makeWindow();
        script.openNames.push_back({a, b});
        trigger(window.get(), "actionOpen");
        QCOMPARE(script.openFilters, QStringList{documentFileFilter()});
        QCOMPARE(tabState(window.get()), QStringLiteral("a.quor [b.txt]"));
        QCOMPARE(window->currentEditor()->toPlainText(), QStringLiteral("second\nline"));
        QCOMPARE(window->currentEditor()->textCursor().position(), 0);
        QVERIFY(!window->currentEditor()->document()->isModified());
        QCOMPARE(recentFiles(), (QStringList{b, a}));
        // A cancelled dialog opens nothing and leaves the current tab.
        script.openNames.push_back({});
        tabs(window.get())->setCurrentIndex(0);
        trigger(window.get(), "actionOpen");
        QCOMPARE(tabState(window.get()), QStringLiteral("[a.quor] b.txt"));
        // An open file's tab comes forward and the file is not read again; the same file under
        // a differently spelled path is another document.
        QVERIFY(writeBytes(a, "changed on disk"));
        tabs(window.get())->setCurrentIndex(1);
        script.openNames.push_back({a});
        script.openNames.push_back({dir.path() + "/./a.quor"});
        trigger(window.get(), "actionOpen");
        QCOMPARE(tabs(window.get())->currentIndex(), 0);
        QCOMPARE(window->currentEditor()->toPlainText(), QStringLiteral("old"));
        QCOMPARE(recentFiles(), (QStringList{b, a}));
        trigger(window.get(), "actionOpen");
        QCOMPARE(tabs(window.get())->count(), 3);
        QCOMPARE(window->currentEditor()->toPlainText(), QStringLiteral("changed on disk"));
        // Undo after opening removes the loaded text.
        QVERIFY(action(window.get(), "actionUndo")->isEnabled());
        trigger(window.get(), "actionUndo");
        QCOMPARE(window->currentEditor()->toPlainText(), QString());
        QCOMPARE(tabTexts(window.get()).last(), QStringLiteral("a.quor*"));
    }

    // Existing files named on the command line open in order, a bare name by its absolute path;
    // nothing is sent to the engine.
    void commandLine()
    {
        QTemporaryDir dir;
        const QString b = dir.filePath("b.quor");
        QVERIFY(writeBytes(dir.filePath("bare.quor"), "x") && writeBytes(b, "b"));
        const QString previous = QDir::currentPath();
        QVERIFY(QDir::setCurrent(dir.path()));
        DialogScript script;
        auto window = makeWindow({QStringLiteral("bare.quor"), dir.filePath("missing.quor"), b});
        QVERIFY(QDir::setCurrent(previous));
        QCOMPARE(tabState(window.get()), QStringLiteral("[bare.quor] b.quor"));
        QVERIFY(sentToEngine().isEmpty());
        const QString absolute = QFileInfo(dir.filePath("bare.quor")).absoluteFilePath();
        QCOMPARE(window->currentEditor()->fileName, absolute);
        QCOMPARE(recentFiles(), (QStringList{b, absolute}));
        typeText(window->currentEditor(), QStringLiteral("y"));
        trigger(window.get(), "actionSave"); // titled: no question, from another folder
        QVERIFY(script.saveCaptions.isEmpty());
        QCOMPARE(readBytes(absolute), QByteArray("xy"));
    }

    // A pipe once hung Open for good: reading it would block the window. A file of 2 GiB or more
    // once opened as an empty document that Save then wrote over the file, and a smaller large
    // one aborted the program: files over the limit are refused before they are read (sparse
    // files here, which take no room on the disk).
    void unusualPaths_data()
    {
        QTest::addColumn<QString>("path"); // "@" stands for a temporary folder
        QTest::addColumn<qint64>("size");  // of a sparse file made at the path; -1: none
        QTest::addColumn<bool>("opens");
        QTest::newRow("folder") << "@/folder.quor" << qint64(-1) << false;
        QTest::newRow("read error") << "/proc/self/mem" << qint64(-1) << false;
        QTest::newRow("pipe") << "@/pipe.quor" << qint64(-1) << false;
        QTest::newRow("missing: an empty tab named by the path")
            << "@/gone.quor" << qint64(-1) << true;
        QTest::newRow("one byte over 256 MiB") << "@/large.quor" << MaxTextFileBytes + 1 << false;
        QTest::newRow("3 GiB") << "@/huge.quor" << qint64(3) * 1024 * 1024 * 1024 << false;
    }
    void unusualPaths()
    {
        QFETCH(QString, path);
        QFETCH(qint64, size);
        QFETCH(bool, opens);
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("folder.quor")));
        QCOMPARE(::mkfifo(QFile::encodeName(dir.filePath("pipe.quor")).constData(), 0600), 0);
        path.replace('@', dir.path());
        if (size >= 0) {
            QFile sparse(path);
            QVERIFY(sparse.open(QIODevice::WriteOnly) && sparse.resize(size));
        }
        DialogScript script;
        auto window = makeWindow();
        newDocument(window.get());
        script.openNames.push_back({path});
        trigger(window.get(), "actionOpen");
        QCOMPARE(script.warnings.size(), opens ? 0 : 1);
        if (!opens) {
            QVERIFY(script.warnings.first().text.contains(QDir::toNativeSeparators(path)));
            QCOMPARE(script.warnings.first().text.contains("larger than 256 MiB"), size >= 0);
            QCOMPARE(tabState(window.get()), QStringLiteral("[new 1]"));
            QVERIFY(recentFiles().isEmpty());
            QCOMPARE(window->loadFile(path), -1);
            return;
        }
        QCOMPARE(tabState(window.get()), QStringLiteral("new 1 [gone.quor]"));
        QCOMPARE(window->currentEditor()->fileName + window->currentEditor()->toPlainText(), path);
        QCOMPARE(recentFiles(), QStringList{path});
        typeText(window->currentEditor(), QStringLiteral("new"));
        trigger(window.get(), "actionSave"); // creates the file without asking for a name
        QCOMPARE(readBytes(path), QByteArray("new"));
        QVERIFY(script.saveCaptions.isEmpty());
    }

    // The tab's close button and Close ask about unsaved changes as closing the window does.
    void closeOneDocument_data()
    {
        QTest::addColumn<QString>("via"); // "button" or "Close"
        QTest::addColumn<bool>("titled");
        QTest::addColumn<bool>("modified");
        QTest::addColumn<int>("answer");       // QMessageBox::NoButton: no question expected
        QTest::addColumn<QString>("saveName"); // answer to the Save As dialog, if asked
        QTest::addColumn<bool>("writable");    // whether the document's folder still exists
        QTest::addColumn<bool>("closed");
        QTest::addColumn<QByteArray>("onDisk"); // the titled file's bytes afterwards
        const int none = QMessageBox::NoButton, save = QMessageBox::Save;
        for (const char* via : {"button", "Close"}) {
            const auto row = [via](const char* name) {
                return &(QTest::addRow("%s, %s", via, name) << QString(via));
            };
            *row("unmodified") << true << false << none << "" << true << true << QByteArray("a");
            *row("discard") << true << true << int(QMessageBox::Discard) << "" << true << true
                            << QByteArray("a");
            *row("cancel") << true << true << int(QMessageBox::Cancel) << "" << true << false
                           << QByteArray("a");
            *row("save") << true << true << save << "" << true << true << QByteArray("a+");
            *row("save fails") << true << true << save << "" << false << false
                               << QByteArray("<unreadable>");
            *row("untitled, name cancelled")
                << false << true << save << "" << true << false << QByteArray();
            *row("untitled, saved")
                << false << true << save << "named" << true << true << QByteArray();
        }
    }
    void closeOneDocument()
    {
        QFETCH(QString, via);
        QFETCH(bool, titled);
        QFETCH(int, answer);
        QFETCH(QString, saveName);
        QFETCH(bool, writable);
        QFETCH(bool, closed);
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("sub")));
        const QString path = dir.filePath("sub/doc.quor");
        QVERIFY(writeBytes(path, "a"));
        DialogScript script;
        auto window = makeWindow();
        newDocument(window.get()); // a neighbour that must stay
        if (titled)
            tabs(window.get())->setCurrentIndex(window->loadFile(path));
        else
            newDocument(window.get());
        CodeEditor* editor = window->editorAt(1);
        const QString name = titled ? QStringLiteral("doc.quor") : QStringLiteral("new 2");
        QFETCH(bool, modified);
        if (modified)
            typeText(editor, QStringLiteral("+"));
        if (!writable)
            QVERIFY(QDir(dir.filePath("sub")).removeRecursively());
        if (answer != QMessageBox::NoButton)
            script.answers.push_back(QMessageBox::StandardButton(answer));
        if (!saveName.isEmpty())
            script.saveNames.push_back(dir.filePath(saveName));
        if (via == "button")
            clickTabClose(window.get(), 1);
        else
            trigger(window.get(), "actionClose");
        // A failed write adds its own warning naming the file.
        QCOMPARE(script.warnings.size(), answer == QMessageBox::NoButton ? 0 : writable ? 1 : 2);
        if (answer != QMessageBox::NoButton) {
            QCOMPARE(script.warnings.first().title, QStringLiteral("Application"));
            QCOMPARE(script.warnings.first().text, Question.arg(name));
            QCOMPARE(script.warnings.first().buttons,
                     QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel);
        }
        QCOMPARE(tabTexts(window.get()).join(' '), closed ? "new 1" : "new 1 " + name + '*');
        if (titled)
            QTEST(readBytes(path), "onDisk");
        if (!saveName.isEmpty())
            QCOMPARE(readBytes(dir.filePath(saveName + ".quor")), QByteArray("+"));
    }

    // Close All asks about every modified document in tab order, as closing the window does,
    // and closes all of them only when no answer cancels and every save succeeds.
    void closeAll_data()
    {
        QTest::addColumn<QList<int>>("answers");
        QTest::addColumn<QString>("saveName"); // for the untitled document; empty: cancelled
        QTest::addColumn<QStringList>("remaining");
        QTest::addColumn<QByteArray>("onDisk"); // c.quor afterwards
        const int save = QMessageBox::Save, discard = QMessageBox::Discard;
        const int cancel = QMessageBox::Cancel;
        const QStringList all{"new 1", "new 2*", "c.quor*"};
        QTest::newRow("discard both")
            << QList<int>{discard, discard} << "" << QStringList{} << QByteArray("c");
        QTest::newRow("save both")
            << QList<int>{save, save} << "x" << QStringList{} << QByteArray("c+");
        QTest::newRow("cancel at the first") << QList<int>{cancel} << "" << all << QByteArray("c");
        QTest::newRow("save, then cancel")
            << QList<int>{save, cancel} << "x" << QStringList{"new 1", "x.quor", "c.quor*"}
            << QByteArray("c");
        QTest::newRow("name cancelled") << QList<int>{save} << "" << all << QByteArray("c");
        QTest::newRow("write fails") << QList<int>{discard, save} << "" << all << QByteArray();
    }
    void closeAll()
    {
        QFETCH(QList<int>, answers);
        QFETCH(QString, saveName);
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkdir("sub"));
        const QString c = dir.filePath("sub/c.quor");
        QVERIFY(writeBytes(c, "c"));
        DialogScript script;
        auto window = makeWindow();
        newDocument(window.get());
        newDocument(window.get(), "unsaved");
        typeText(window->editorAt(window->loadFile(c)), "+");
        tabs(window.get())->setCurrentIndex(0);
        for (int answer : answers)
            script.answers.push_back(QMessageBox::StandardButton(answer));
        script.saveNames.push_back(saveName.isEmpty() ? QString() : dir.filePath(saveName));
        if (QTest::currentDataTag() == QLatin1String("write fails"))
            QVERIFY(QDir(dir.filePath("sub")).removeRecursively());
        trigger(window.get(), "actionClose_All");
        QVERIFY2(script.unanswered.isEmpty(), qPrintable(script.unanswered.join('|')));
        QStringList asked;
        for (const Warning& warning : qAsConst(script.warnings)) {
            if (warning.text.startsWith("The document"))
                asked << warning.text;
        }
        QCOMPARE(asked, (QStringList{Question.arg("new 2"), Question.arg("c.quor")}.mid(
                            0, answers.size())));
        QTEST(tabTexts(window.get()), "remaining");
        QTEST(readBytes(c).replace("<unreadable>", ""), "onDisk");
        if (!saveName.isEmpty())
            QCOMPARE(readBytes(dir.filePath(saveName + ".quor")), QByteArray("unsaved"));
    }

    void closingWindowAsksAboutEachModifiedDocument_data()
    {
        QTest::addColumn<QList<int>>("answers");
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<QByteArray>("first");
        QTest::addColumn<QByteArray>("second");
        const int save = QMessageBox::Save, discard = QMessageBox::Discard;
        const int cancel = QMessageBox::Cancel;
        QTest::newRow("discard then save")
            << QList<int>{discard, save} << true << QByteArray("1") << QByteArray("2+");
        QTest::newRow("save both")
            << QList<int>{save, save} << true << QByteArray("1+") << QByteArray("2+");
        QTest::newRow("cancel first")
            << QList<int>{cancel} << false << QByteArray("1") << QByteArray("2");
        QTest::newRow("save then cancel")
            << QList<int>{save, cancel} << false << QByteArray("1+") << QByteArray("2");
    }
    void closingWindowAsksAboutEachModifiedDocument()
    {
        QFETCH(QList<int>, answers);
        QFETCH(bool, accepted);
        QTemporaryDir dir;
        const QString one = dir.filePath("one.quor"), two = dir.filePath("two.quor");
        const QString clean = dir.filePath("clean.quor");
        QVERIFY(writeBytes(one, "1") && writeBytes(two, "2") && writeBytes(clean, "c"));
        DialogScript script;
        auto window = makeWindow({one, clean, two});
        typeText(window->editorAt(0), QStringLiteral("+"));
        typeText(window->editorAt(2), QStringLiteral("+"));
        action(window.get(), "actionTime")->trigger();
        for (int answer : answers)
            script.answers.push_back(QMessageBox::StandardButton(answer));
        QCloseEvent event;
        QApplication::sendEvent(window.get(), &event);
        QCOMPARE(event.isAccepted(), accepted);
        QCOMPARE(script.warnings.size(), answers.size());
        QCOMPARE(script.warnings.first().text, Question.arg("one.quor"));
        if (answers.size() > 1)
            QCOMPARE(script.warnings.at(1).text, Question.arg("two.quor"));
        QTEST(readBytes(one), "first");
        QTEST(readBytes(two), "second");
        QCOMPARE(readBytes(clean), QByteArray("c"));
        QCOMPARE(tabs(window.get())->count(), 3);
        // Settings reach the store only when the window may close.
        for (const char* key : {"currentPath", "time", "internalQuestions", "debug"})
            QCOMPARE(settings()->contains(QLatin1String(key)), accepted);
        QCOMPARE(settings()->value("time", true).toBool(), !accepted);
    }

    void recentList_data()
    {
        // Names are opened in order; "-" closes every tab first.
        QTest::addColumn<QStringList>("opened");
        QTest::addColumn<QStringList>("expected"); // newest first
        QStringList eleven, newestTen;
        for (int i = 1; i <= 11; ++i) {
            eleven << QStringLiteral("f%1.quor").arg(i);
            newestTen.prepend(QStringLiteral("f%1.quor").arg(i));
        }
        newestTen.removeLast();
        QTest::newRow("eleven files") << eleven << newestTen;
        QTest::newRow("reopened file moves up")
            << QStringList{"a.quor", "b.quor", "-", "a.quor"} << QStringList{"a.quor", "b.quor"};
        QTest::newRow("open tab leaves list alone")
            << QStringList{"a.quor", "b.quor", "a.quor"} << QStringList{"b.quor", "a.quor"};
        QTest::newRow("letter case and doubled separator differ")
            << QStringList{"a.quor", "A.quor", "sub//a.quor", "sub/a.quor"}
            << QStringList{"sub/a.quor", "sub//a.quor", "A.quor", "a.quor"};
        QTest::newRow("none") << QStringList{} << QStringList{};
    }
    void recentList()
    {
        QFETCH(QStringList, opened);
        QFETCH(QStringList, expected);
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("sub")));
        auto window = makeWindow();
        auto second = std::make_unique<MainWindow>(QStringList{QStringLiteral("quorstudio")});
        for (const QString& name : opened) {
            if (name == QLatin1String("-")) {
                trigger(window.get(), "actionClose_All");
                continue;
            }
            QVERIFY(writeBytes(dir.filePath(name), name.toUtf8()));
            QVERIFY(window->loadFile(dir.path() + '/' + name) >= 0);
        }
        QStringList paths, shown;
        for (int i = 0; i < expected.size(); ++i) {
            paths << dir.path() + '/' + expected.at(i);
            shown << QStringLiteral("&%1 %2|%3")
                         .arg(i + 1)
                         .arg(QFileInfo(expected.at(i)).fileName(), paths.last());
        }
        QCOMPARE(recentFiles(), paths);
        QCOMPARE(recentActions(window.get()).size(), int(MainWindow::MaxRecentFiles));
        QCOMPARE(shownRecent(window.get()), shown);
        QCOMPARE(shownRecent(second.get()), shown); // every window shows the same list
    }

    void recentEntryOpensItsFile_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("opens");
        QTest::addColumn<QString>("text");
        QTest::newRow("existing") << "b.quor" << true << "b";
        QTest::newRow("deleted since") << "gone.quor" << true << "";
        QTest::newRow("now a folder") << "folder.quor" << false << "";
    }
    void recentEntryOpensItsFile()
    {
        QFETCH(QString, name);
        QFETCH(bool, opens);
        QTemporaryDir dir;
        QVERIFY(writeBytes(dir.filePath("a.quor"), "a") && writeBytes(dir.filePath("b.quor"), "b"));
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("folder.quor")));
        const QString a = dir.filePath("a.quor"), path = dir.filePath(name);
        settings()->setValue("recentFileList", QStringList{a, path});
        DialogScript script;
        auto window = makeWindow();
        newDocument(window.get());
        recentActions(window.get()).at(1)->trigger();
        QCOMPARE(script.warnings.size(), opens ? 0 : 1);
        QCOMPARE(tabs(window.get())->currentIndex(), opens ? 1 : 0);
        QCOMPARE(recentFiles(), opens ? (QStringList{path, a}) : (QStringList{a, path}));
        if (opens) {
            QCOMPARE(window->currentEditor()->fileName, path);
            QTEST(window->currentEditor()->toPlainText(), "text");
        }
    }
};

QTEST_MAIN(TestDocuments)
#include "tst_documents.moc"
