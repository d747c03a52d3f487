// Documents through the user's actions: new, open, close, the modified markers, the question
// about unsaved changes, the recent-file list and the settings kept between runs.

#include "windowfixture.h"

#include <QtTest>

#include "filenames.h"
#include "textfile.h"

#include <QCloseEvent>
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
        QCOMPARE(window->windowTitle(), QStringLiteral("QuorStudio"));
        QAction* save = action(window.get(), "actionSave");
        CodeEditor* editor = newDocument(window.get());
        QCOMPARE(window->windowTitle(), QStringLiteral("QuorStudio - new 1[*]"));
        QVERIFY(!window->isWindowModified());
        typeText(editor, QStringLiteral("a"));
        QCOMPARE(tabTexts(window.get()), QStringList{"new 1*"});
        QVERIFY(save->isEnabled() && window->isWindowModified());
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
        QVERIFY(sentInputs().isEmpty());
        const QString absolute = QFileInfo(dir.filePath("bare.quor")).absoluteFilePath();
        QCOMPARE(window->currentEditor()->fileName, absolute);
        QCOMPARE(recentFiles(), (QStringList{b, absolute}));
        typeText(window->currentEditor(), QStringLiteral("y"));
        trigger(window.get(), "actionSave"); // titled: no question, from another folder
        QVERIFY(script.saveCaptions.isEmpty());
        QCOMPARE(readBytes(absolute), QByteArray("xy"));
    }

    // Opened with Open or from the second Recent Files entry. A pipe once hung Open for good:
    // reading it would block the window. A file of 2 GiB or more once opened as an empty document
    // that Save then wrote over the file, and a smaller large one aborted the program: files over
    // the limit are refused before they are read (sparse files here, which take no room on disk).
    void unusualPaths_data()
    {
        QTest::addColumn<bool>("recent");
        QTest::addColumn<QString>("path"); // "@" stands for a temporary folder
        QTest::addColumn<qint64>("size");  // of a sparse file made at the path; -1: none
        QTest::addColumn<bool>("opens");
        QTest::addColumn<QString>("text"); // of the opened document
        const qint64 none = -1;
        QTest::newRow("folder") << false << "@/folder.quor" << none << false << "";
        QTest::newRow("read error") << false << "/proc/self/mem" << none << false << "";
        QTest::newRow("pipe") << false << "@/pipe.quor" << none << false << "";
        QTest::newRow("missing: an empty tab named by the path")
            << false << "@/gone.quor" << none << true << "";
        QTest::newRow("one byte over 256 MiB")
            << false << "@/large.quor" << MaxTextFileBytes + 1 << false << "";
        QTest::newRow("3 GiB") << false << "@/huge.quor" << qint64(3) * 1024 * 1024 * 1024 << false
                               << "";
        QTest::newRow("recent, existing") << true << "@/b.quor" << none << true << "b";
        QTest::newRow("recent, deleted since") << true << "@/gone.quor" << none << true << "";
        QTest::newRow("recent, now a folder") << true << "@/folder.quor" << none << false << "";
    }
    void unusualPaths()
    {
        QFETCH(bool, recent);
        QFETCH(QString, path);
        QFETCH(qint64, size);
        QFETCH(bool, opens);
        QFETCH(QString, text);
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("folder.quor")));
        QCOMPARE(::mkfifo(QFile::encodeName(dir.filePath("pipe.quor")).constData(), 0600), 0);
        QVERIFY(writeBytes(dir.filePath("b.quor"), "b"));
        path.replace('@', dir.path());
        if (size >= 0) {
            QFile sparse(path);
            QVERIFY(sparse.open(QIODevice::WriteOnly) && sparse.resize(size));
        }
        const QStringList before =
            recent ? QStringList{dir.filePath("a.quor"), path} : QStringList();
        settings()->setValue("recentFileList", before);
        DialogScript script;
        auto window = makeWindow();
        newDocument(window.get());
        script.openNames.push_back({path});
        if (recent)
            recentActions(window.get()).at(1)->trigger();
        else
            trigger(window.get(), "actionOpen");
        QCOMPARE(script.warnings.size(), opens ? 0 : 1);
        if (!opens) {
            QVERIFY(script.warnings.first().text.contains(QDir::toNativeSeparators(path)));
            QCOMPARE(script.warnings.first().text.contains("larger than 256 MiB"), size >= 0);
            QCOMPARE(tabState(window.get()), QStringLiteral("[new 1]"));
            QCOMPARE(recentFiles(), before);
            QCOMPARE(window->loadFile(path), -1);
            return;
        }
        QCOMPARE(tabState(window.get()), "new 1 [" + QFileInfo(path).fileName() + ']');
        QCOMPARE(window->currentEditor()->fileName, path);
        QCOMPARE(window->currentEditor()->toPlainText(), text);
        QCOMPARE(recentFiles(), QStringList{path} + before.mid(0, 1));
        typeText(window->currentEditor(), QStringLiteral("new"));
        trigger(window.get(), "actionSave"); // writes the file without asking for a name
        QCOMPARE(readBytes(path), text.toUtf8() + "new");
        QVERIFY(script.saveCaptions.isEmpty());
    }

    // Closing a tab (its close button or Close), every tab (Close All) or the window asks about
    // each modified document in tab order, as closing the window always did: Save, Discard or
    // Cancel. Tabs close only when no answer cancels and every save succeeds.
    void askBeforeClosing_data()
    {
        QTest::addColumn<QString>("via"); // "button" or "Close" and the tab; "Close All"; "window"
        QTest::addColumn<QString>("answers");  // s: Save, d: Discard, c: Cancel
        QTest::addColumn<QString>("saveName"); // answer to the untitled one's Save As; "": cancel
        QTest::addColumn<bool>("writable");    // whether c.quor's folder still exists
        QTest::addColumn<QString>("remaining");
        QTest::addColumn<QByteArray>("onDisk"); // c.quor afterwards
        const char* all = "a.quor|new 1*|c.quor*";
        const char* rows[][7] = {
            // name, tab, answers, save name, writable ("-": no), tabs left, c.quor afterwards
            {"unmodified", "0", "", "", "", "new 1*|c.quor*", "c"},
            {"discard", "2", "d", "", "", "a.quor|new 1*", "c"},
            {"cancel", "2", "c", "", "", all, "c"},
            {"save", "2", "s", "", "", "a.quor|new 1*", "c+"},
            {"save fails", "2", "s", "", "-", all, ""},
            {"untitled, name cancelled", "1", "s", "", "", all, "c"},
            {"untitled, saved", "1", "s", "x", "", "a.quor|c.quor*", "c"},
            {"discard both", "Close All", "dd", "", "", "", "c"},
            {"save both", "Close All", "ss", "x", "", "", "c+"},
            {"cancel at the first", "Close All", "c", "", "", all, "c"},
            {"save, then cancel", "Close All", "sc", "x", "", "a.quor|x.quor|c.quor*", "c"},
            {"name cancelled", "Close All", "s", "", "", all, "c"},
            {"write fails", "Close All", "ds", "", "-", all, ""},
            {"discard, then save", "window", "ds", "", "", "a.quor|new 1*|c.quor", "c+"},
            {"save both", "window", "ss", "x", "", "a.quor|x.quor|c.quor", "c+"},
            {"cancel at the first", "window", "c", "", "", all, "c"},
            {"save, then cancel", "window", "sc", "x", "", "a.quor|x.quor|c.quor*", "c"},
        };
        for (const auto& row : rows) {
            const bool oneTab = QByteArray(row[1]).size() == 1;
            for (const QString& via : oneTab ? QStringList{"button ", "Close "} : QStringList{""})
                QTest::addRow("%s, %s", qPrintable(via + row[1]), row[0])
                    << via + row[1] << row[2] << row[3] << !*row[4] << row[5] << QByteArray(row[6]);
        }
    }
    void askBeforeClosing()
    {
        QFETCH(QString, via);
        QFETCH(QString, answers);
        QFETCH(QString, saveName);
        QFETCH(bool, writable);
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkdir("sub"));
        const QString a = dir.filePath("a.quor"), c = dir.filePath("sub/c.quor");
        QVERIFY(writeBytes(a, "a") && writeBytes(c, "c"));
        DialogScript script;
        auto window = makeWindow({a});
        newDocument(window.get(), "unsaved");
        typeText(window->editorAt(window->loadFile(c)), "+");
        action(window.get(), "actionTime")->trigger();
        const int tab = via.section(' ', 1).toInt();
        tabs(window.get())->setCurrentIndex(tab);
        const QHash<QChar, QMessageBox::StandardButton> buttons{
            {'s', QMessageBox::Save}, {'d', QMessageBox::Discard}, {'c', QMessageBox::Cancel}};
        for (const QChar answer : answers)
            script.answers.push_back(buttons[answer]);
        script.saveNames.push_back(saveName.isEmpty() ? QString() : dir.filePath(saveName));
        if (!writable)
            QVERIFY(QDir(dir.filePath("sub")).removeRecursively());
        QCloseEvent event;
        if (via.startsWith("button"))
            clickTabClose(window.get(), tab);
        else if (via == "window")
            QApplication::sendEvent(window.get(), &event);
        else
            trigger(window.get(), via == "Close All" ? "actionClose_All" : "actionClose");
        QVERIFY2(script.unanswered.isEmpty(), qPrintable(script.unanswered.join('|')));
        // The questions, then a warning naming the file that could not be written.
        QStringList documents{"new 1", "c.quor"};
        if (via.contains(' ') && via != "Close All")
            documents = documents.mid(qMax(tab - 1, 0), 1);
        QStringList asked;
        for (const QString& name : documents)
            asked << Question.arg(name);
        QCOMPARE(script.warnings.size(), answers.size() + (writable ? 0 : 1));
        for (int i = 0; i < answers.size(); ++i) {
            QCOMPARE(script.warnings[i].title, QStringLiteral("Application"));
            QCOMPARE(script.warnings[i].text, asked[i]);
            QCOMPARE(script.warnings[i].buttons,
                     QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel);
        }
        QTEST(tabTexts(window.get()).join('|'), "remaining");
        QTEST(readBytes(c).replace("<unreadable>", ""), "onDisk");
        QCOMPARE(readBytes(a), QByteArray("a"));
        if (!saveName.isEmpty())
            QCOMPARE(readBytes(dir.filePath(saveName + ".quor")), QByteArray("unsaved"));
        // Settings reach the store only when the window may close.
        const bool accepted = via == "window" && !answers.contains('c');
        QCOMPARE(event.isAccepted(), accepted || via != "window");
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
};

QTEST_MAIN(TestDocuments)
#include "tst_documents.moc"
