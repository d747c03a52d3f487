// Settings kept between runs and the recent-file list with its menu entries.

#include "documentstest.h"

#include <QDir>
#include <QFileSystemModel>
#include <QListView>
#include <QMenu>
#include <QToolButton>

using namespace windowtest;
using namespace documentstest;

namespace {

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
            shown << entry->text() + QLatin1Char('|') + entry->data().toString();
    }
    return shown;
}

void storeRecent(const QStringList& files)
{
    QSettings settings(QStringLiteral("QuorStudio"), QStringLiteral("QuorStudio"));
    settings.setValue(QStringLiteral("recentFileList"), files);
}

} // namespace

class TestSettings : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { setUpEnvironment(settingsDir); }
    void init() { clearSettings(); }

    void recentList_data();
    void recentList();
    void everySaveAddsToRecentList();
    void recentEntryOpensItsFile_data();
    void recentEntryOpensItsFile();
    void openAllRecentFilesKeepsCurrentTab();
    void recentListSharedByAllWindows();
    void settingsRestoredAtStart();
    void settingsWrittenOnAcceptedCloseOnly();

private:
    QTemporaryDir settingsDir;
};

void TestSettings::recentList_data()
{
    // Names are opened in order; "-" closes every tab first.
    QTest::addColumn<QStringList>("opened");
    QTest::addColumn<QStringList>("expected"); // newest first
    QStringList eleven;
    for (int i = 1; i <= 11; ++i)
        eleven << QStringLiteral("f%1.quor").arg(i);
    QStringList newestTen;
    for (int i = 11; i >= 2; --i)
        newestTen << QStringLiteral("f%1.quor").arg(i);
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

void TestSettings::recentList()
{
    QFETCH(QStringList, opened);
    QFETCH(QStringList, expected);
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("sub")));
    auto window = makeWindow();
    for (const QString& name : opened) {
        if (name == QLatin1String("-")) {
            action(window.get(), "actionClose_All")->trigger();
            continue;
        }
        QVERIFY(writeBytes(dir.filePath(name), name.toUtf8()));
        QVERIFY(window->loadFile(dir.path() + QLatin1Char('/') + name) >= 0);
    }

    QStringList paths;
    QStringList shown;
    for (int i = 0; i < expected.size(); ++i) {
        paths << dir.path() + QLatin1Char('/') + expected.at(i);
        shown << QStringLiteral("&%1 %2|%3")
                     .arg(i + 1)
                     .arg(QFileInfo(expected.at(i)).fileName(), paths.last());
    }
    QCOMPARE(recentFiles(), paths);
    QCOMPARE(recentActions(window.get()).size(), int(MainWindow::MaxRecentFiles));
    QCOMPARE(shownRecent(window.get()), shown);
    // The hidden entries are the trailing ones.
    for (int i = expected.size(); i < MainWindow::MaxRecentFiles; ++i)
        QVERIFY(!recentActions(window.get()).at(i)->isVisible());
    // The tool button drops down the same menu.
    QToolButton* button = nullptr;
    for (QToolButton* candidate : window->findChildren<QToolButton*>()) {
        if (candidate->menu() == action(window.get(), "actionRecent_Files")->menu())
            button = candidate;
    }
    QVERIFY(button);
}

void TestSettings::everySaveAddsToRecentList()
{
    QTemporaryDir dir;
    const QString a = dir.filePath("a.quor");
    const QString b = dir.filePath("b.quor");
    QVERIFY(writeBytes(a, "a"));
    QVERIFY(writeBytes(b, "b"));
    DialogScript script;
    auto window = makeWindow({a, b});
    QCOMPARE(recentFiles(), (QStringList{b, a}));

    tabs(window.get())->setCurrentIndex(0);
    action(window.get(), "actionSave")->trigger(); // unmodified: written all the same
    QCOMPARE(recentFiles(), (QStringList{a, b}));

    tabs(window.get())->setCurrentIndex(1);
    script.saveNames.push_back(dir.filePath("c"));
    action(window.get(), "actionSave_As")->trigger();
    const QString c = dir.filePath("c.quor");
    QCOMPARE(recentFiles(), (QStringList{c, a, b}));

    const QString failed = dir.filePath("missing/d.quor");
    script.saveNames.push_back(failed);
    action(window.get(), "actionSave_As")->trigger();
    QCOMPARE(script.warnings.size(), 1);
    QCOMPARE(recentFiles(), (QStringList{failed, c, a, b}));
    QCOMPARE(shownRecent(window.get()).first(), QStringLiteral("&1 d.quor|") + failed);
}

void TestSettings::recentEntryOpensItsFile_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("opens");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("warnings");
    QTest::newRow("existing") << "b.quor" << true << "b" << 0;
    QTest::newRow("deleted since") << "gone.quor" << true << "" << 0;
    QTest::newRow("now a folder") << "folder.quor" << false << "" << 1;
}

void TestSettings::recentEntryOpensItsFile()
{
    QFETCH(QString, name);
    QFETCH(bool, opens);
    QFETCH(QString, text);
    QFETCH(int, warnings);
    QTemporaryDir dir;
    QVERIFY(writeBytes(dir.filePath("a.quor"), "a"));
    QVERIFY(writeBytes(dir.filePath("b.quor"), "b"));
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("folder.quor")));
    const QString path = dir.filePath(name);
    storeRecent({dir.filePath("a.quor"), path});
    DialogScript script;
    auto window = makeWindow();
    action(window.get(), "actionNew")->trigger();

    recentActions(window.get()).at(1)->trigger();

    QCOMPARE(script.warnings.size(), warnings);
    QCOMPARE(tabs(window.get())->count(), opens ? 2 : 1);
    QCOMPARE(tabs(window.get())->currentIndex(), opens ? 1 : 0);
    if (opens) {
        QCOMPARE(window->currentEditor()->fileName, path);
        QCOMPARE(window->currentEditor()->toPlainText(), text);
        QCOMPARE(recentFiles(), (QStringList{path, dir.filePath("a.quor")}));
    } else {
        QCOMPARE(recentFiles(), (QStringList{dir.filePath("a.quor"), path}));
    }
}

void TestSettings::openAllRecentFilesKeepsCurrentTab()
{
    QTemporaryDir dir;
    QStringList files;
    for (const char* name : {"a.quor", "b.quor", "c.quor"}) {
        files << dir.filePath(QLatin1String(name));
        QVERIFY(writeBytes(files.last(), name));
    }
    storeRecent(files);
    auto window = makeWindow();
    action(window.get(), "actionNew")->trigger();
    QVERIFY(QMetaObject::invokeMethod(window.get(), "openAllRecentFiles"));
    QCOMPARE(tabTexts(window.get()), (QStringList{"new 1", "a.quor", "b.quor", "c.quor"}));
    QCOMPARE(tabs(window.get())->currentIndex(), 0);
}

void TestSettings::recentListSharedByAllWindows()
{
    QTemporaryDir dir;
    QVERIFY(writeBytes(dir.filePath("a.quor"), "a"));
    auto first = makeWindow();
    auto second = std::make_unique<MainWindow>(QStringList{QStringLiteral("quorstudio")});
    QVERIFY(shownRecent(second.get()).isEmpty());
    first->loadFile(dir.filePath("a.quor"));
    QCOMPARE(shownRecent(second.get()), QStringList{"&1 a.quor|" + dir.filePath("a.quor")});
}

void TestSettings::settingsRestoredAtStart()
{
    QTemporaryDir dir;
    QVERIFY(writeBytes(dir.filePath("r.quor"), "r"));
    {
        QSettings settings(QStringLiteral("QuorStudio"), QStringLiteral("QuorStudio"));
        settings.setValue(QStringLiteral("currentPath"), dir.path());
        settings.setValue(QStringLiteral("recentFileList"), QStringList{dir.filePath("r.quor")});
        settings.setValue(QStringLiteral("time"), false);
    }
    auto window = makeWindow();
    auto* view = child<QListView>(window.get(), "listView");
    auto* model = qobject_cast<QFileSystemModel*>(view->model());
    QCOMPARE(model->rootPath(), dir.path());
    QCOMPARE(model->filePath(view->rootIndex()), dir.path());
    QCOMPARE(shownRecent(window.get()), QStringList{"&1 r.quor|" + dir.filePath("r.quor")});
    QVERIFY(!action(window.get(), "actionTime")->isChecked());
    // No document of an earlier run is reopened.
    QCOMPARE(tabs(window.get())->count(), 0);
}

void TestSettings::settingsWrittenOnAcceptedCloseOnly()
{
    QTemporaryDir dir;
    DialogScript script;
    auto window = makeWindow();
    action(window.get(), "actionTime")->trigger();
    action(window.get(), "actionInternal_Question")->trigger();
    action(window.get(), "actionDebug")->trigger();
    action(window.get(), "actionNew")->trigger();
    typeText(window->currentEditor(), QStringLiteral("x"));
    const QStringList keys{"currentPath", "time", "internalQuestions", "debug"};
    {
        QSettings settings(QStringLiteral("QuorStudio"), QStringLiteral("QuorStudio"));
        QCOMPARE(settings.allKeys(), QStringList()); // options reach the store only at close
    }

    script.answers.push_back(QMessageBox::Cancel);
    QVERIFY(!window->close());
    {
        QSettings settings(QStringLiteral("QuorStudio"), QStringLiteral("QuorStudio"));
        QCOMPARE(settings.allKeys(), QStringList());
    }

    script.answers.push_back(QMessageBox::Discard);
    QVERIFY(window->close());
    {
        QSettings settings(QStringLiteral("QuorStudio"), QStringLiteral("QuorStudio"));
        QCOMPARE(settings.value("currentPath").toString(), QDir::currentPath());
        QCOMPARE(settings.value("time").toBool(), false);
        QCOMPARE(settings.value("internalQuestions").toBool(), true);
        QCOMPARE(settings.value("debug").toBool(), true);
    }
    window.reset();

    auto next = makeWindow();
    QVERIFY(!action(next.get(), "actionTime")->isChecked());
    QVERIFY(action(next.get(), "actionInternal_Question")->isChecked());
    QVERIFY(action(next.get(), "actionDebug")->isChecked());
}

QTEST_MAIN(TestSettings)
#include "tst_settings.moc"
