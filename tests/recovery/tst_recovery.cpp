// Recovery copies: the copy written before a Run survives the engine killing the process and
// comes back exactly; copies are debounced, go with their edits, stay apart between instances,
// and an unwritable folder changes nothing but one status-bar message. Every restored text ends
// in a document, unreadable copies are moved aside, queued inputs get their copy too, and
// nobody but the owner can read the copies.

#include "crashscenario.h"
#include "recoverycontroller.h"
#include "recoverydialog.h"
#include "testmessages.h"
#include "windowfixture.h"

#include <QLabel>
#include <QPushButton>
#include <QStatusBar>
#include <QSysInfo>
#include <QTreeWidget>
#include <QtTest>

#include <sys/stat.h>

using namespace fixture;

Q_DECLARE_METATYPE(RecoveryDialog::Choice)

namespace {

int copyCount()
{
    return QDir(RecoveryStore::defaultFolder()).entryList({"*.recovery"}, QDir::Files).size();
}

// The texts of the readable copies in the folder, sorted.
QStringList copyTexts()
{
    const QDir folder(RecoveryStore::defaultFolder());
    QStringList texts;
    for (const QString& name : folder.entryList({"*.recovery"}, QDir::Files)) {
        const auto copy = decodeRecoveryCopy(readBytes(folder.filePath(name)));
        texts << (copy ? copy->text : "<unreadable " + name + '>');
    }
    texts.sort();
    return texts;
}

// A copy left by an instance that is gone, its cursor at the end: written, then its store
// destroyed.
void leaveCopy(const QString& fileName, const QString& text, int secondsAgo)
{
    RecoveryStore store;
    QVERIFY(store.write(1, {fileName,
                            QDateTime::currentDateTimeUtc().addSecs(-secondsAgo),
                            int(text.size()),
                            text,
                            {}}));
}

int mode(const QString& path)
{
    struct stat info {};
    return ::stat(QFile::encodeName(path).constData(), &info) == 0 ? int(info.st_mode & 0777) : -1;
}

std::unique_ptr<MainWindow> recoveringWindow(int delay = 60000)
{
    auto window = makeWindow();
    window->findChild<RecoveryController*>()->setDelay(delay);
    return window;
}

} // namespace

class TestRecovery : public QObject {
    Q_OBJECT

    QTemporaryDir home;
    QList<RecoveryCopy> offered;
    RecoveryDialog::Choice answer = RecoveryDialog::Later;

private slots:
    void initTestCase()
    {
        qputenv("XDG_DATA_HOME", QFile::encodeName(home.filePath("data")));
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(home.filePath("config")));
        registerEngineMetaTypes();
        RecoveryDialog::setResponder([this](const QList<RecoveryCopy>& copies) {
            offered = copies;
            return answer;
        });
        Dialogs::setWarningResponder([](auto&&...) { return QMessageBox::Discard; });
    }
    void init()
    {
        QDir(home.filePath("data")).removeRecursively();
        clearSettings();
        offered.clear();
    }

    // The engine kills the process inside a Run; the next start offers the copy.
    void crash_data()
    {
        QTest::addColumn<bool>("untitled");
        QTest::addColumn<RecoveryDialog::Choice>("choice");
        QTest::newRow("file, restore") << false << RecoveryDialog::Restore;
        QTest::newRow("untitled, restore") << true << RecoveryDialog::Restore;
        QTest::newRow("discard") << false << RecoveryDialog::Discard;
        QTest::newRow("later") << true << RecoveryDialog::Later;
    }
    void crash()
    {
        QFETCH(bool, untitled);
        QFETCH(RecoveryDialog::Choice, choice);
        const QString path = home.filePath("doc \u2192.quor");
        QVERIFY(writeBytes(path, crash::fileText().toUtf8()));
        QProcess helper;
        helper.start(CRASH_HELPER, untitled ? QStringList() : QStringList{path});
        QVERIFY(helper.waitForFinished(60000));
        QCOMPARE(helper.exitStatus(), QProcess::CrashExit);

        answer = choice;
        auto window = recoveringWindow();
        QTRY_COMPARE(offered.size(), 1);
        const QString text = untitled ? crash::typed() : crash::fileText() + crash::typed();
        QCOMPARE(offered[0].text, text);
        QCOMPARE(tabs(window.get())->count(), choice == RecoveryDialog::Restore ? 1 : 0);
        // Restored copies become this instance's; discarded ones are gone; later ones stay.
        QCOMPARE(copyCount(), choice == RecoveryDialog::Discard ? 0 : 1);
        if (choice == RecoveryDialog::Later) {
            offered.clear();
            auto second = recoveringWindow();
            QTRY_COMPARE(offered.size(), 1);
        }
        if (choice != RecoveryDialog::Restore)
            return;
        CodeEditor* editor = window->currentEditor();
        QCOMPARE(editor->fileName, untitled ? QString("new 1") : path);
        QCOMPARE(editor->document()->toRawText().replace(QChar::ParagraphSeparator, '\n'), text);
        QCOMPARE(editor->textCursor().position(), text.size() - crash::CursorFromEnd);
        QVERIFY(tabTexts(window.get()).first().endsWith('*'));
        if (!untitled) { // Save writes the original file and removes the copy
            trigger(window.get(), "actionSave");
            QCOMPARE(readBytes(path), text.toUtf8());
            QCOMPARE(copyCount(), 0);
        }
    }

    // Copies written after a pause in the edits (300 ms here) or before a Run, and removed
    // with the unsaved edits.
    void copies_data()
    {
        QTest::addColumn<bool>("enabled");
        QTest::addColumn<int>("edits");
        QTest::addColumn<QString>("then");
        QTest::addColumn<int>("least");
        QTest::addColumn<int>("most");
        QTest::addColumn<int>("left");
        QTest::newRow("100 edits, pause") << true << 100 << "pause" << 1 << 2 << 1;
        QTest::newRow("100 edits, Run") << true << 100 << "" << 1 << 2 << 1;
        QTest::newRow("one edit") << true << 1 << "" << 1 << 1 << 1;
        QTest::newRow("no edit") << true << 0 << "" << 0 << 0 << 0;
        QTest::newRow("recovery off") << false << 5 << "" << 0 << 0 << 0;
        for (const char* then : {"actionSave", "actionUndo", "close button", "exit"})
            QTest::newRow(then) << true << 1 << QString(then) << 1 << 1 << 0;
    }
    void copies()
    {
        QFETCH(bool, enabled);
        QFETCH(int, edits);
        QFETCH(QString, then);
        QFETCH(int, least);
        QFETCH(int, most);
        settings()->setValue("recovery", enabled);
        QFile::remove(home.filePath("doc.quor"));
        auto window = recoveringWindow(300);
        QSignalSpy written(window->findChild<RecoveryController*>(),
                           &RecoveryController::copyWritten);
        window->loadFile(home.filePath("doc.quor"));
        for (int i = 0; i < edits; ++i) {
            window->currentEditor()->insertPlainText("\u2227");
            QCoreApplication::processEvents();
        }
        if (then == "pause")
            QTRY_VERIFY(written.size() >= least);
        else // writes at once what the timer has not written yet
            trigger(window.get(), "actionRun");
        QVERIFY2(written.size() >= least && written.size() <= most,
                 qPrintable(QString::number(written.size())));
        if (then == "close button")
            emit tabs(window.get())->tabCloseRequested(0);
        else if (then == "exit")
            window.reset();
        else if (then.startsWith("action"))
            trigger(window.get(), qPrintable(then));
        QTest::qWait(300);
        QVERIFY(written.size() <= most);
        QTEST(copyCount(), "left");
    }

    // Copies of a running instance are never offered; those of a dead one are, to one instance.
    void ownership_data()
    {
        QTest::addColumn<QString>("owner");
        QTest::addColumn<int>("offered");
        QTest::newRow("running") << "running" << 0;
        QTest::newRow("stale lock") << "stale lock" << 1;
        QTest::newRow("no lock") << "no lock" << 1;
    }
    void ownership()
    {
        QFETCH(QString, owner);
        QFETCH(int, offered);
        const QDateTime time = QDateTime::currentDateTimeUtc();
        auto first = std::make_unique<RecoveryStore>();
        QVERIFY(first->write(1, {"new 1", time, 0, "first", {}}));
        const QString lock = first->folder() + '/' + first->identity() + ".lock";
        if (owner != "running")
            first.reset();
        if (owner == "stale lock") // left by a process that is gone
            QVERIFY(writeBytes(lock, "999999999\nquorstudio\n" +
                                         QSysInfo::machineHostName().toUtf8() + '\n'));
        RecoveryStore second;
        QVERIFY(second.write(1, {"new 1", time, 0, "second", {}}));
        const QList<RecoveryCopy> left = second.adoptLeftCopies();
        QCOMPARE(left.size(), offered);
        QCOMPARE(copyCount(), 2);
        if (offered)
            QCOMPARE(left[0].text, QString("first"));
        QCOMPARE(RecoveryStore().adoptLeftCopies().size(), 0);
    }

    // A folder that cannot be written is reported once; the document and the Run go on.
    void unwritableFolder()
    {
        QVERIFY(QDir().mkpath(home.filePath("data/QuorStudio")));
        // A file where the folder should be.
        QVERIFY(writeBytes(RecoveryStore::defaultFolder(), QByteArray()));
        auto window = recoveringWindow();
        QSignalSpy messages(window->statusBar(), &QStatusBar::messageChanged);
        trigger(window.get(), "actionNew");
        for (const char* text : {"<a \u2192 b>.", " <c>."}) {
            window->currentEditor()->insertPlainText(text);
            trigger(window.get(), "actionRun");
            if (messages.size() == 1) {
                QVERIFY(window->statusBar()->currentMessage().startsWith("Recovery copies"));
                window->statusBar()->clearMessage(); // another message took its place
            }
        }
        QCOMPARE(messages.size(), 2);
        QCOMPARE(window->currentEditor()->toPlainText(), QString("<a \u2192 b>. <c>."));
        QVERIFY(window->currentEditor()->document()->isModified());
    }

    // Two instances that crashed in turn left two copies of one file: each text comes back in a
    // document of its own, the newest in the file's tab, and is kept as this instance's copy.
    // The last one restored comes forward, and the status bar shows its cursor's line and column,
    // not those of the document that was current before.
    void restoreEveryText_data()
    {
        QTest::addColumn<QStringList>("left"); // "name|text", oldest first; "@" a file's folder
        QTest::addColumn<bool>("typedFirst");  // a.quor is open with unsaved edits already
        QTest::addColumn<QStringList>(
            "documents"); // "tab text|text", in tab order, the current in []
        QTest::newRow("two copies of one file")
            << QStringList{"@/a.quor|first", "@/a.quor|second"} << false
            << QStringList{"new 1*|first", "[a.quor*]|second"};
        QTest::newRow("copies of two files")
            << QStringList{"@/a.quor|A\nA", "@/b.quor|B\nbB"} << false
            << QStringList{"a.quor*|A\nA", "[b.quor*]|B\nbB"};
        QTest::newRow("two untitled of one name") << QStringList{"new 3|x", "new 3|y\nyy"} << false
                                                  << QStringList{"new 1*|x", "[new 2*]|y\nyy"};
        QTest::newRow("file already edited here")
            << QStringList{"@/a.quor|left"} << true
            << QStringList{"a.quor*|on disk typed", "[new 1*]|left"};
        QTest::newRow("a file, another document open")
            << QStringList{"@/b.quor|B\nbB"} << true
            << QStringList{"a.quor*|on disk typed", "[b.quor*]|B\nbB"};
    }
    void restoreEveryText()
    {
        QFETCH(QStringList, left);
        QFETCH(bool, typedFirst);
        QVERIFY(writeBytes(home.filePath("a.quor"), "on disk"));
        QVERIFY(writeBytes(home.filePath("b.quor"), "b on disk"));
        for (int i = 0; i < left.size(); ++i) {
            const QString name = left[i].section('|', 0, 0).replace('@', home.path());
            leaveCopy(name, left[i].section('|', 1), left.size() - i);
        }
        answer = RecoveryDialog::Restore;
        auto window = makeWindow(typedFirst ? QStringList{home.filePath("a.quor")} : QStringList{});
        window->findChild<RecoveryController*>()->setDelay(60000);
        if (typedFirst) // before the event loop runs, and with it the offer
            typeText(window->currentEditor(), " typed");
        QTRY_COMPARE(offered.size(), left.size());
        QStringList shown, restoredTexts;
        for (int i = 0; i < tabTexts(window.get()).size(); ++i) {
            const QString text = window->editorAt(i)->toPlainText();
            const QString tab = tabTexts(window.get())[i];
            shown << (i == tabs(window.get())->currentIndex() ? '[' + tab + ']' : tab) + '|' + text;
            if (!typedFirst || i > 0)
                restoredTexts << text;
        }
        QTEST(shown, "documents");
        const QTextCursor cursor = window->currentEditor()->textCursor();
        QCOMPARE(cursor.position(), window->currentEditor()->toPlainText().size());
        QCOMPARE(window->statusBar()->findChild<QLabel*>()->text(),
                 QStringLiteral(" Ln %1    Col %2 ")
                     .arg(cursor.blockNumber() + 1)
                     .arg(cursor.positionInBlock() + 1));
        // The copies left behind went only once their texts had copies of this instance.
        restoredTexts.sort();
        QCOMPARE(copyTexts(), restoredTexts);
        for (const RecoveryCopy& copy : qAsConst(offered))
            QVERIFY(!QFile::exists(copy.path));
    }

    // A left copy that cannot be read whole is not offered, moved aside unchanged (said once in
    // the status bar), and not read again at the next start; a readable one beside it is
    // offered as usual.
    void unreadableCopies_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("readable");
        const QByteArray copy = encodeRecoveryCopy(
            {"/w/doc.quor", QDateTime::currentDateTimeUtc(), 0, "<a \u2192 b>.", {}});
        QTest::newRow("not a copy") << QByteArray("\x7f"
                                                  "ELF\0\1")
                                    << false;
        QTest::newRow("empty") << QByteArray() << false;
        QTest::newRow("header cut short") << copy.left(40) << false;
        QTest::newRow("text cut short") << copy.chopped(2) << false;
        QTest::newRow("text grown") << copy + "x" << false;
        QTest::newRow("complete") << copy << true;
        QByteArray withoutSize = copy;
        withoutSize.remove(withoutSize.indexOf("size "),
                           withoutSize.indexOf("\n\n") - withoutSize.indexOf("size ") + 1);
        QTest::newRow("written before sizes were kept") << withoutSize << true;
    }
    void unreadableCopies()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, readable);
        leaveCopy("new 1", "good", 10);
        const QString folder = RecoveryStore::defaultFolder();
        QVERIFY(writeBytes(folder + "/123-dead.7.recovery", bytes));
        answer = RecoveryDialog::Later;
        for (int start = 0; start < 2; ++start) {
            offered.clear();
            auto window = recoveringWindow();
            QTRY_VERIFY(!offered.isEmpty());
            QCOMPARE(offered.size(), readable ? 2 : 1);
            const QString message = window->statusBar()->currentMessage();
            // Said at the start that moved it, not at the next one.
            QCOMPARE(message.contains(RecoveryStore(folder).unreadableFolder()),
                     !readable && start == 0);
        }
        const QString aside = RecoveryStore(folder).unreadableFolder() + "/123-dead.7.recovery";
        QCOMPARE(QFile::exists(aside), !readable);
        QCOMPARE(QFile::exists(folder + "/123-dead.7.recovery"), readable);
        if (!readable) {
            QCOMPARE(readBytes(aside), bytes);
            QCOMPARE(mode(QFileInfo(aside).path()), 0700);
        }
    }

    // Whatever the umask, the folder is the owner's alone, and so are the copies and the lock.
    void privateFiles_data()
    {
        QTest::addColumn<QString>("before");
        QTest::newRow("new folder") << "";
        QTest::newRow("folder left open by an older version") << "0755 folder";
        QTest::newRow("copy left readable by an older version") << "0644 copy";
    }
    void privateFiles()
    {
        QFETCH(QString, before);
        const mode_t savedMask = ::umask(022);
        RecoveryStore store;
        const QDateTime time = QDateTime::currentDateTimeUtc();
        if (before == "0755 folder")
            QVERIFY(QDir().mkpath(store.folder()) &&
                    ::chmod(qPrintable(store.folder()), 0755) == 0);
        const QString copy = store.folder() + '/' + store.identity() + ".1.recovery";
        const bool written = store.write(1, {"new 1", time, 0, "secret", {}});
        if (before == "0644 copy")
            QVERIFY(::chmod(qPrintable(copy), 0644) == 0 &&
                    store.write(1, {"new 1", time, 0, "secret 2", {}}));
        ::umask(savedMask);
        QVERIFY(written);
        QCOMPARE(mode(store.folder()), 0700);
        QCOMPARE(mode(copy), 0600);
        QCOMPARE(mode(store.folder() + '/' + store.identity() + ".lock"), 0600);
    }

    // With Queue Inputs While Busy, an input that waited is handed over only after the edits
    // made meanwhile have their copy.
    void queuedInputHasCopy()
    {
        settings()->setValue("queueInputsWhileBusy", true);
        auto window = recoveringWindow();
        CodeEditor* editor = newDocument(window.get(), "<a>.");
        // The start-up version request has no answer yet: the Run waits.
        trigger(window.get(), "actionRun");
        QCOMPARE(testengine::inputs().size(), size_t(1));
        typeText(editor, " <b>.");
        testengine::queue(MessageBuilder('t').u32(1).u32(1).bytes.toStdString());
        QTRY_COMPARE(testengine::inputs().size(), size_t(2));
        QCOMPARE(copyTexts(), QStringList{"<a>. <b>."});
    }

    // With the engine in a process of its own, an input handed to its host has a copy too.
    void separateProcessInputHasCopy()
    {
        settings()->setValue("engineInSeparateProcess", true);
        auto window = recoveringWindow();
        newDocument(window.get(), "<a>.");
        trigger(window.get(), "actionRun");
        QCOMPARE(copyTexts(), QStringList{"<a>."});
    }

    void dialog()
    {
        const QDateTime time = QDateTime::currentDateTimeUtc();
        RecoveryDialog dialog(
            {{"/w/a.quor", time, 0, "\n  <a>.\nb", {}}, {"new 2", time, 0, {}, {}}});
        QTreeWidget* list = dialog.list();
        QCOMPARE(list->topLevelItemCount(), 2);
        QCOMPARE(list->topLevelItem(0)->text(0) + list->topLevelItem(0)->text(2), "a.quor<a>.");
        QCOMPARE(list->topLevelItem(1)->text(0), QString("new 2"));
        for (QPushButton* button : dialog.findChildren<QPushButton*>()) {
            if (button->text() == "Discard")
                button->click();
        }
        QCOMPARE(dialog.choice(), RecoveryDialog::Discard);
    }
};

QTEST_MAIN(TestRecovery)
#include "tst_recovery.moc"
