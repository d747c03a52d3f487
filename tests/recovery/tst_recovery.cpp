// Recovery copies: the copy written before a Run survives the engine killing the process and
// comes back exactly; copies are debounced, go with their edits, stay apart between instances,
// and an unwritable folder changes nothing but one status-bar message.

#include "crashscenario.h"
#include "recoverycontroller.h"
#include "recoverydialog.h"
#include "windowfixture.h"

#include <QLabel>
#include <QPushButton>
#include <QStatusBar>
#include <QSysInfo>
#include <QTreeWidget>
#include <QtTest>

using namespace fixture;

Q_DECLARE_METATYPE(RecoveryDialog::Choice)

namespace {

int copyCount()
{
    return QDir(RecoveryStore::defaultFolder()).entryList({"*.recovery"}, QDir::Files).size();
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
        QFETCH(int, left);
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
        QCOMPARE(copyCount(), left);
    }

    // A restored copy comes forward as the current document, and the status bar shows its
    // cursor's line and column, not those of the document that was current before.
    void restoredCursorShown_data()
    {
        QTest::addColumn<bool>("untitled");
        QTest::newRow("file") << false;
        QTest::newRow("untitled") << true;
    }
    void restoredCursorShown()
    {
        QFETCH(bool, untitled);
        const QString other = home.filePath("other.quor"), restored = home.filePath("left.quor");
        QVERIFY(writeBytes(other, "one line\n"));
        QVERIFY(writeBytes(restored, "saved\n"));
        {
            RecoveryStore dead; // an instance gone without removing its copy
            const QString text = QStringLiteral("one\ntwo\nthree");
            QVERIFY(dead.write(1, {untitled ? "new 4" : restored,
                                   QDateTime::currentDateTimeUtc(),
                                   int(text.indexOf("ree")),
                                   text,
                                   {}}));
        }
        answer = RecoveryDialog::Restore;
        auto window = makeWindow({other});
        auto* label = window->statusBar()->findChild<QLabel*>();
        QCOMPARE(label->text(), QStringLiteral(" Ln 1    Col 1 "));
        QTRY_COMPARE(offered.size(), 1);
        QCOMPARE(window->currentEditor()->fileName, untitled ? QString("new 1") : restored);
        QCOMPARE(label->text(), QStringLiteral(" Ln 3    Col 3 "));
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
