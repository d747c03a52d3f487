// The window as it starts, and engine output reaching it: the Output dock, the error list and
// marks, the term tables, the graphs, the About box and the status bar's position label.

#include "testmessages.h"
#include "windowfixture.h"

#include <QtTest>

#include "errormessage.h"
#include "quorversion.h"
#include "settings.h"
#include "startup.h"

#include <QFileSystemModel>
#include <QLabel>
#include <QListView>
#include <QListWidget>
#include <QMessageBox>
#include <QStatusBar>
#include <QTextDocument>

#include <atomic>
#include <cstdlib>

using namespace fixture;

// Counts the array deletions of one watched block; every other allocation passes through.
namespace {
std::atomic<const void*> watchedBlock{nullptr};
std::atomic<int> watchedDeletes{0};
} // namespace

void operator delete[](void* pointer) noexcept
{
    if (pointer && pointer == watchedBlock.load())
        ++watchedDeletes;
    std::free(pointer);
}
void operator delete[](void* pointer, std::size_t) noexcept
{
    operator delete[](pointer);
}
void* operator new[](std::size_t size)
{
    if (void* pointer = std::malloc(size ? size : 1))
        return pointer;
    throw std::bad_alloc();
}

namespace {

ErrorListItem entry(QListWidget* list, int row)
{
    return list->item(row)->data(Qt::UserRole).value<ErrorListItem>();
}

void scrollTo(MainWindow* window, QListWidgetItem* item)
{
    QMetaObject::invokeMethod(window, "scrollToError", Q_ARG(QListWidgetItem*, item));
}

// Shows the About box and returns its text, closing it from inside its modal loop.
QString aboutText(MainWindow* window)
{
    QString shown;
    QTimer::singleShot(0, [&shown] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            shown = box->windowTitle() + '|' + box->text();
            box->accept();
        }
    });
    trigger(window, "actionAbout");
    return shown;
}

} // namespace

class TestWindow : public QObject {
    Q_OBJECT
    Environment environment;

private slots:
    void init() { clearSettings(); }

    void startUp_data()
    {
        QTest::addColumn<QVariantList>("stored"); // time, internal questions, debug; or none
        QTest::newRow("no settings") << QVariantList{};
        QTest::newRow("all off") << QVariantList{false, false, false};
        QTest::newRow("internal on") << QVariantList{true, true, false};
        QTest::newRow("debug on") << QVariantList{true, false, true};
    }
    void startUp()
    {
        QFETCH(QVariantList, stored);
        const QStringList keys{"time", "internalQuestions", "debug"};
        for (int i = 0; i < stored.size(); ++i)
            settings()->setValue(keys[i], stored[i]);
        const QList<bool> expected =
            stored.isEmpty()
                ? QList<bool>{true, false, false}
                : QList<bool>{stored[0].toBool(), stored[1].toBool(), stored[2].toBool()};
        auto window = makeWindow();
        QCOMPARE(outputLines(window.get()).first(),
                 QStringLiteral("QuorStudio version " QUOR_VERSION));
        QCOMPARE(action(window.get(), "actionTime")->isChecked(), expected[0]);
        QCOMPARE(action(window.get(), "actionInternal_Question")->isChecked(), expected[1]);
        QCOMPARE(action(window.get(), "actionDebug")->isChecked(), expected[2]);
        QCOMPARE(testengine::inputs().front().bytes, std::string("\u22d9 version"));
        QCOMPARE(sentInputs(), expected[2] ? QStringList{"\u22d9 debug on@1"} : QStringList());
        auto* view = child<QListView>(window.get(), "listView");
        QCOMPARE(qobject_cast<QFileSystemModel*>(view->model())->filePath(view->rootIndex()),
                 QDir::currentPath());
        QCOMPARE(tabs(window.get())->count(), 0);
        prepareApplication(); // as main() does: every window, dialogs too, gets the program's icon
        QVERIFY(!QApplication::windowIcon().isNull());
    }

    // A settings file as the program has always written it reads back through the table of
    // settings, every key with its type; and the window writes the same keys on a close.
    void storedSettingsFile()
    {
        settings()->sync();
        const QString folder = QFileInfo(settings()->fileName()).absolutePath();
        QVERIFY(QDir().mkpath(folder));
        QFile::remove(folder + "/QuorStudio.conf");
        QVERIFY(QFile::copy(TESTSRCDIR "/data/settings-0.5.conf", folder + "/QuorStudio.conf"));
        const SettingsStore store;
        QCOMPARE(store.value(Settings::CurrentPath), QString("/home/ada/knowledge"));
        QCOMPARE(store.value(Settings::Time), false);
        QCOMPARE(store.value(Settings::InternalQuestions), true);
        QCOMPARE(store.value(Settings::Debug), true);
        QCOMPARE(
            store.value(Settings::RecentFileList),
            QStringList({"/home/ada/knowledge/birds.quor", "/home/ada/knowledge/tutorial.quor"}));
        QCOMPARE(store.value(Settings::EditorZoom), 3);
        QCOMPARE(store.value(Settings::WindowGeometry), QByteArray("geometry"));
        QCOMPARE(store.value(Settings::WindowState), QByteArray("state"));
        QCOMPARE(store.value(Settings::QueueInputsWhileBusy), true);
        QCOMPARE(store.value(Settings::Recovery), false);
        QCOMPARE(store.value(Settings::OutputScrollbackLines), 100000);
        QFile::remove(folder + "/QuorStudio.conf");
        auto window = makeWindow();
        action(window.get(), "actionInternal_Question")->setChecked(true);
        window->close();
        for (const char* key : {"currentPath", "time", "internalQuestions", "debug"})
            QVERIFY2(settings()->contains(key), key);
        QCOMPARE(settings()->value("internalQuestions").toBool(), true);
        QCOMPARE(settings()->value("currentPath").toString(), QDir::currentPath());
    }

    // Each message's block is freed exactly once, whatever becomes of it.
    void outputDock_data()
    {
        QTest::addColumn<QByteArray>("message");
        QTest::addColumn<bool>("time");
        QTest::addColumn<bool>("internal");
        QTest::addColumn<QStringList>("added");
        const QByteArray time = MessageBuilder('t').u32(15).u32(30).bytes;
        const auto framed = [](char kind, const char* text) {
            return MessageBuilder(kind).raw(text).bytes;
        };
        QTest::newRow("plain") << QByteArray("hello\0", 6) << true << false << QStringList{"hello"};
        QTest::newRow("empty") << QByteArray() << true << false << QStringList{""};
        QTest::newRow("two lines")
            << QByteArray("one\ntwo") << true << false << QStringList{"one", "two"};
        QTest::newRow("time on") << time << true << false
                                 << QStringList{"Elapsed time 15 \u03bcs (30 cycles)"};
        QTest::newRow("time off") << time << false << false << QStringList{};
        QTest::newRow("internal on") << framed('i', "why?") << false << true << QStringList{"why?"};
        QTest::newRow("internal off") << framed('i', "why?") << true << false << QStringList{};
        QTest::newRow("version") << framed('v', " 1.2.3 ") << false << false
                                 << QStringList{"QUOR library version 1.2.3"};
        QTest::newRow("memory") << QByteArray("<m") << true << true << QStringList{};
        QTest::newRow("short error") << QByteArray("<e") << true << true << QStringList{};
        QTest::newRow("empty words") << framed('w', "\0\0\0") << true << true << QStringList{};
    }
    void outputDock()
    {
        QFETCH(QByteArray, message);
        QFETCH(bool, time);
        QFETCH(bool, internal);
        QFETCH(QStringList, added);
        DialogScript dialogs;
        auto window = makeWindow();
        action(window.get(), "actionTime")->setChecked(time);
        action(window.get(), "actionInternal_Question")->setChecked(internal);
        const QStringList before = outputLines(window.get());
        char* block = new char[std::size_t(message.size())];
        std::memcpy(block, message.constData(), std::size_t(message.size()));
        watchedBlock = block;
        watchedDeletes = 0;
        QMetaObject::invokeMethod(window.get(), "output", Qt::DirectConnection,
                                  Q_ARG(const char*, block), Q_ARG(size_t, size_t(message.size())));
        watchedBlock = nullptr;
        QCOMPARE(watchedDeletes.load(), 1);
        QCOMPARE(outputLines(window.get()), before + added);
    }

    void errors()
    {
        QTemporaryDir dir;
        QVERIFY(writeBytes(dir.filePath("one.quor"), "line one\nline two\nline three\n"));
        QVERIFY(writeBytes(dir.filePath("two.quor"), "other\n"));
        auto window = makeWindow();
        auto* list = child<QListWidget>(window.get(), "listWidget");
        deliver(window.get(), errorMessage(1, 1, 1, "no document"));
        QCOMPARE(entry(list, 0).fileName, QString());
        scrollTo(window.get(), list->item(0)); // opens nothing
        QCOMPARE(tabs(window.get())->count(), 0);
        tabs(window.get())->setCurrentIndex(window->loadFile(dir.filePath("one.quor")));
        CodeEditor* first = window->currentEditor();
        deliver(window.get(), errorMessage(3, 6, 1, "  in one  "));
        tabs(window.get())->setCurrentIndex(window->loadFile(dir.filePath("two.quor")));
        CodeEditor* second = window->currentEditor();
        deliver(window.get(), errorMessage(1, 2, 4, "in two")); // recorded against the current tab
        deliver(window.get(), QByteArray("<e\0\1\0\0\0", 7));   // shorter than its fields
        QCOMPARE(list->count(), 3);
        QCOMPARE(list->item(1)->text(), QStringLiteral("in one"));
        QCOMPARE(list->item(1)->type(), 0);
        QCOMPARE(entry(list, 1).line, 3);
        QCOMPARE(entry(list, 1).column, 6);
        QCOMPARE(entry(list, 1).fileName, dir.filePath("one.quor"));
        QCOMPARE(entry(list, 2).fileName, dir.filePath("two.quor"));
        QCOMPARE(first->marks().size(), 1);
        QCOMPARE(first->marks().first().line, 3);
        QCOMPARE(first->marks().first().column, 6);
        QCOMPARE(int(second->marks().first().kind), 4);
        QCOMPARE(outputLines(window.get()).size(), 1); // nothing in the Output dock
        // Run clears the marks but not the list; an old entry still brings its document forward
        // and moves the cursor column characters into the line.
        trigger(window.get(), "actionRun");
        QVERIFY(second->marks().isEmpty());
        scrollTo(window.get(), list->item(1));
        QCOMPARE(window->currentEditor(), first);
        QCOMPARE(first->textCursor().blockNumber(), 2);
        QCOMPARE(first->textCursor().positionInBlock(), 6);
        scrollTo(window.get(), list->item(2));
        QCOMPARE(window->currentEditor(), second);
        QCOMPARE(second->textCursor().positionInBlock(), 2);
        // Clear Output empties the Output and Error docks, sends nothing and keeps the marks.
        deliver(window.get(), errorMessage(1, 1, 1, "again"));
        trigger(window.get(), "actionClear_Output");
        QCOMPARE(outputLines(window.get()), QStringList{""});
        QCOMPARE(list->count(), 0);
        QCOMPARE(second->marks().size(), 1);
        QCOMPARE(sentInputs().size(), 1); // the Run
    }

    // Found by the random-bytes engine: a mark's start, the line's position plus a column near
    // the largest int, overflowed.
    void errorMarkOverflow_data()
    {
        QTest::addColumn<QByteArray>("message");
        QTest::addColumn<int>("line"); // where double-clicking the entry puts the cursor
        QTest::addColumn<int>("column");
        QTest::newRow("largest column on a later line")
            << errorMessage(2, 0xffffffffu, 0x01, "far right") << 2 << 9;
        QTest::newRow("largest line and column")
            << errorMessage(0xffffffffu, 0xffffffffu, 0x02, "far away") << 3 << 6;
        QTest::newRow("largest column, whole-line mark")
            << errorMessage(3, 0x80000000u, 0x02, "beyond") << 3 << 6;
    }
    void errorMarkOverflow()
    {
        QFETCH(QByteArray, message);
        auto window = makeWindow();
        window->show();
        CodeEditor* editor = newDocument(window.get(), "<a \u2192 b>.\n<b \u2192 c>.\nlast.");
        deliver(window.get(), message);
        QCoreApplication::processEvents(); // the marks are drawn
        auto* list = child<QListWidget>(window.get(), "listWidget");
        QCOMPARE(list->count(), 1);
        scrollTo(window.get(), list->item(0));
        QTEST(editor->textCursor().blockNumber() + 1, "line");
        QTEST(editor->textCursor().positionInBlock() + 1, "column");
    }

    // The engine's version is shown as the plain text it is: no link, image or markup of the
    // engine's comes alive in the box.
    void aboutShowsVersions_data()
    {
        // The version is the text from its first '>' on, when it has one.
        QTest::addColumn<QString>("version");
        QTest::newRow("plain") << "3.1";
        QTest::newRow("angle bracket") << ">3.1";
        QTest::newRow("link") << "><a href=\"http://example.invalid/\">update</a>";
        QTest::newRow("image") << "><img src=\"file:///etc/hostname\">";
        QTest::newRow("entity and markup") << ">&amp; <b>1.0</b>";
    }
    void aboutShowsVersions()
    {
        QFETCH(QString, version);
        auto window = makeWindow();
        QVERIFY(aboutText(window.get())
                    .startsWith("About QuorStudio|<h3>QuorStudio</h3>\n<p>Version " QUOR_VERSION
                                "<br />\n\t"
                                "QUOR library version <br /><br />\n\t"));
        deliver(window.get(), MessageBuilder('v').text(version.toUtf8()).bytes);
        QCOMPARE(outputLines(window.get()).last(), "QUOR library version " + version);
        const QString text = aboutText(window.get()).section('|', 1);
        QTextDocument shown;
        shown.setHtml(text);
        QVERIFY2(shown.toPlainText().contains("QUOR library version " + version),
                 qPrintable(shown.toPlainText()));
        QCOMPARE(text.count("<a "), 1); // the project's own link
        QVERIFY(!text.contains("<img"));
    }

    void positionLabelFollowsCursorAndTabs()
    {
        auto window = makeWindow();
        const auto labels = child<QStatusBar>(window.get(), "statusBar")->findChildren<QLabel*>();
        QCOMPARE(labels.size(), 1);
        QCOMPARE(labels[0]->text(), QString());
        CodeEditor* first = newDocument(window.get());
        QCOMPARE(labels[0]->text(), QStringLiteral(" Ln 1    Col 1 "));
        first->setPlainText(QStringLiteral("one\ntwo\nthree"));
        select(first, 3, 4, 3, 4);
        QCOMPARE(labels[0]->text(), QStringLiteral(" Ln 3    Col 4 "));
        CodeEditor* second = newDocument(window.get(), QString(12, 'x'));
        QCOMPARE(labels[0]->text(), QStringLiteral(" Ln 1    Col 13 "));
        tabs(window.get())->setCurrentIndex(0);
        QCOMPARE(labels[0]->text(), QStringLiteral(" Ln 3    Col 4 "));
        second->document()->setModified(false);
        tabs(window.get())->setCurrentIndex(1);
        // Closing every tab leaves the last position shown: the first tab's, which came
        // forward when the current second one was closed.
        first->document()->setModified(false);
        trigger(window.get(), "actionClose_All");
        QCOMPARE(tabs(window.get())->count(), 0);
        QCOMPARE(labels[0]->text(), QStringLiteral(" Ln 3    Col 4 "));
    }
};

QTEST_MAIN(TestWindow)
#include "tst_window.moc"
