// The Current Folder dock: the listed entries, moving between folders and opening files.

#include "documentstest.h"

#include <QDir>
#include <QFileSystemModel>
#include <QListView>

using namespace windowtest;
using namespace documentstest;

namespace {

QListView* view(MainWindow* window)
{
    return child<QListView>(window, "listView");
}

QFileSystemModel* model(MainWindow* window)
{
    return qobject_cast<QFileSystemModel*>(view(window)->model());
}

QStringList listed(MainWindow* window)
{
    QStringList names;
    const QModelIndex root = view(window)->rootIndex();
    for (int row = 0; row < model(window)->rowCount(root); ++row)
        names << model(window)->fileName(model(window)->index(row, 0, root));
    names.sort();
    return names;
}

QModelIndex entry(MainWindow* window, const QString& name)
{
    const QModelIndex root = view(window)->rootIndex();
    for (int row = 0; row < model(window)->rowCount(root); ++row) {
        const QModelIndex index = model(window)->index(row, 0, root);
        if (model(window)->fileName(index) == name)
            return index;
    }
    return QModelIndex();
}

// Double-clicks an entry once the model has listed it.
bool doubleClick(MainWindow* window, const QString& name)
{
    if (!QTest::qWaitFor([&] { return entry(window, name).isValid(); }))
        return false;
    emit view(window)->doubleClicked(entry(window, name));
    return true;
}

QString shownFolder(MainWindow* window)
{
    return model(window)->filePath(view(window)->rootIndex());
}

} // namespace

class TestBrowser : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { setUpEnvironment(settingsDir); }
    void init();

    void listsEntriesWithParentButNotSelfOrHidden();
    void doubleClickShowsFolder_data();
    void doubleClickShowsFolder();
    void doubleClickOpensFileOnce();
    void shownFolderRememberedOnClose();

private:
    QTemporaryDir settingsDir;
    std::unique_ptr<QTemporaryDir> tree;
    QString top; // canonical path of the tree's top folder
};

void TestBrowser::init()
{
    clearSettings();
    tree = std::make_unique<QTemporaryDir>();
    top = QFileInfo(tree->path()).canonicalFilePath();
    QDir dir(top);
    QVERIFY(dir.mkpath(QStringLiteral("sub/deeper")));
    QVERIFY(writeBytes(top + QStringLiteral("/a.quor"), "top file"));
    QVERIFY(writeBytes(top + QStringLiteral("/sub/inner.quor"), "inner"));
    QVERIFY(writeBytes(top + QStringLiteral("/sub/.hidden.quor"), "hidden"));
    QSettings settings(QStringLiteral("QuorStudio"), QStringLiteral("QuorStudio"));
    settings.setValue(QStringLiteral("currentPath"), top + QStringLiteral("/sub"));
}

void TestBrowser::listsEntriesWithParentButNotSelfOrHidden()
{
    auto window = makeWindow();
    QTRY_COMPARE(listed(window.get()), (QStringList{"..", "deeper", "inner.quor"}));
}

void TestBrowser::doubleClickShowsFolder_data()
{
    QTest::addColumn<QStringList>("clicks");
    QTest::addColumn<QString>("shown"); // relative to the tree's top; "^" for its parent
    QTest::addColumn<QStringList>("entries");
    QTest::newRow("parent") << QStringList{".."} << "" << QStringList{"..", "a.quor", "sub"};
    QTest::newRow("child") << QStringList{"deeper"} << "sub/deeper" << QStringList{".."};
    QTest::newRow("parent of parent") << QStringList{"..", ".."} << "^" << QStringList{};
    QTest::newRow("up and down again") << QStringList{"..", "sub", "deeper", ".."} << "sub"
                                       << QStringList{"..", "deeper", "inner.quor"};
}

void TestBrowser::doubleClickShowsFolder()
{
    QFETCH(QStringList, clicks);
    QFETCH(QString, shown);
    QFETCH(QStringList, entries);
    auto window = makeWindow();
    for (const QString& name : clicks)
        QVERIFY2(doubleClick(window.get(), name), qPrintable(name));
    const QString expected = shown == QLatin1String("^")
                                 ? QFileInfo(top).dir().canonicalPath()
                                 : QDir(top).filePath(shown).remove(QRegExp(QStringLiteral("/$")));
    QCOMPARE(model(window.get())->rootPath(), expected);
    QCOMPARE(shownFolder(window.get()), expected);
    if (!entries.isEmpty())
        QTRY_COMPARE(listed(window.get()), entries);
    else
        QTRY_VERIFY(listed(window.get()).contains(QFileInfo(top).fileName()));
    QCOMPARE(tabs(window.get())->count(), 0);
}

void TestBrowser::doubleClickOpensFileOnce()
{
    DialogScript script;
    auto window = makeWindow();
    action(window.get(), "actionNew")->trigger();
    QVERIFY(doubleClick(window.get(), QStringLiteral("inner.quor")));
    const QString path = top + QStringLiteral("/sub/inner.quor");
    QCOMPARE(tabs(window.get())->count(), 2);
    QCOMPARE(tabs(window.get())->currentIndex(), 1);
    QCOMPARE(window->currentEditor()->fileName, path);
    QCOMPARE(window->currentEditor()->toPlainText(), QStringLiteral("inner"));
    QCOMPARE(shownFolder(window.get()), top + QStringLiteral("/sub"));

    // Already open: its tab comes forward, the file is not read again.
    QVERIFY(writeBytes(path, "changed"));
    tabs(window.get())->setCurrentIndex(0);
    QVERIFY(doubleClick(window.get(), QStringLiteral("inner.quor")));
    QCOMPARE(tabs(window.get())->count(), 2);
    QCOMPARE(tabs(window.get())->currentIndex(), 1);
    QCOMPARE(window->currentEditor()->toPlainText(), QStringLiteral("inner"));
    QVERIFY(script.warnings.isEmpty());
}

void TestBrowser::shownFolderRememberedOnClose()
{
    {
        auto window = makeWindow();
        QVERIFY(doubleClick(window.get(), QStringLiteral("..")));
        QVERIFY(window->close());
    }
    auto next = makeWindow();
    QCOMPARE(shownFolder(next.get()), top);
    QTRY_COMPARE(listed(next.get()), (QStringList{"..", "a.quor", "sub"}));
}

QTEST_MAIN(TestBrowser)
#include "tst_browser.moc"
