// Recovery copies: the copy written before a Run survives the engine killing the process and
// comes back exactly; copies are debounced, removed with their edits, kept apart between
// instances, and an unwritable folder changes nothing but a status-bar message.

#include "codeeditor.h"
#include "crashscenario.h"
#include "dialogs.h"
#include "mainwindow.h"
#include "quorw.h"
#include "recoverycontroller.h"
#include "recoverydialog.h"

#include <QAction>
#include <QLockFile>
#include <QPushButton>
#include <QStatusBar>
#include <QSysInfo>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <QtTest>

#include <memory>

namespace {

QString folder()
{
    return RecoveryStore::defaultFolder();
}

QStringList copyFiles()
{
    return QDir(folder()).entryList({QStringLiteral("*.recovery")}, QDir::Files);
}

template <typename T> T* child(QObject* parent, const char* name = nullptr)
{
    return parent->findChild<T*>(name ? QString::fromLatin1(name) : QString());
}

void trigger(MainWindow* window, const char* action)
{
    child<QAction>(window, action)->trigger();
}

// A window whose copies follow edits after `delay` milliseconds.
std::unique_ptr<MainWindow> makeWindow(int delay = 60000)
{
    auto window = std::make_unique<MainWindow>(QStringList{QStringLiteral("quorstudio")});
    child<RecoveryController>(window.get())->setDelay(delay);
    return window;
}

} // namespace

Q_DECLARE_METATYPE(RecoveryDialog::Choice)

class TestRecovery : public QObject {
    Q_OBJECT

    QTemporaryDir home;
    QList<RecoveryCopy> offered;
    RecoveryDialog::Choice answer = RecoveryDialog::Later;

private slots:
    void initTestCase()
    {
        QVERIFY(home.isValid());
        qputenv("XDG_DATA_HOME", QFile::encodeName(home.filePath(QStringLiteral("data"))));
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(home.filePath(QStringLiteral("config"))));
        registerEngineMetaTypes();
        RecoveryDialog::setResponder([this](const QList<RecoveryCopy>& copies) {
            offered = copies;
            return answer;
        });
        Dialogs::setWarningResponder(
            [](const QString&, const QString&, QMessageBox::StandardButtons) {
                return QMessageBox::Discard;
            });
    }
    void init()
    {
        QDir(home.filePath(QStringLiteral("data"))).removeRecursively();
        QSettings(QStringLiteral("QuorStudio"), QStringLiteral("QuorStudio")).clear();
        offered.clear();
    }

    void format_data()
    {
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("cursor");
        QTest::newRow("unicode") << QStringLiteral("/tmp/d\u00e9j\u00e0 vu/a\nb%20.quor")
                                 << crash::typed() << 12;
        QTest::newRow("untitled, empty") << QStringLiteral("new 3") << QString() << 0;
        QTest::newRow("blank lines")
            << QStringLiteral("/x.qrs") << QStringLiteral("\n\n  \nz\n") << 5;
    }
    void format()
    {
        QFETCH(QString, fileName);
        QFETCH(QString, text);
        QFETCH(int, cursor);
        const RecoveryCopy copy{fileName, QDateTime::currentDateTimeUtc(), cursor, text, {}};
        const QByteArray bytes = encodeRecoveryCopy(copy);
        const auto decoded = decodeRecoveryCopy(bytes);
        QVERIFY(decoded && *decoded == copy);
        // Cut anywhere inside its header, a copy is not read.
        QVERIFY(!decodeRecoveryCopy(bytes.left(bytes.indexOf("\n\n") + 1)));
        QVERIFY(!decodeRecoveryCopy(bytes.mid(1)));
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
        const QString path = home.filePath(QStringLiteral("doc \u2192.quor"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(crash::fileText().toUtf8());
        file.close();

        QProcess helper;
        helper.setProcessChannelMode(QProcess::ForwardedChannels);
        helper.start(QStringLiteral(CRASH_HELPER), untitled ? QStringList() : QStringList{path});
        QVERIFY(helper.waitForFinished(60000));
        QCOMPARE(helper.exitStatus(), QProcess::CrashExit);
        QCOMPARE(copyFiles().size(), 1);

        answer = choice;
        auto window = makeWindow();
        QTRY_COMPARE(offered.size(), 1);
        const QString text = untitled ? crash::typed() : crash::fileText() + crash::typed();
        QCOMPARE(offered[0].text, text);
        auto* tabs = child<QTabWidget>(window.get(), "tabWidget_3");
        QCOMPARE(tabs->count(), choice == RecoveryDialog::Restore ? 1 : 0);
        // Restored copies become this instance's; discarded ones are gone; later ones stay.
        QCOMPARE(copyFiles().size(), choice == RecoveryDialog::Discard ? 0 : 1);
        if (choice == RecoveryDialog::Later) {
            offered.clear();
            auto second = makeWindow();
            QTRY_COMPARE(offered.size(), 1);
            return;
        }
        if (choice != RecoveryDialog::Restore)
            return;
        CodeEditor* editor = window->currentEditor();
        QCOMPARE(editor->fileName, untitled ? QStringLiteral("new 1") : path);
        QString restored = editor->document()->toRawText();
        QCOMPARE(restored.replace(QChar::ParagraphSeparator, QLatin1Char('\n')), text);
        QCOMPARE(editor->textCursor().position(), text.size() - crash::CursorFromEnd);
        QVERIFY(editor->document()->isModified());
        QCOMPARE(tabs->tabText(0).right(1), QStringLiteral("*"));
        // Save writes the original file and removes the copy.
        if (!untitled) {
            trigger(window.get(), "actionSave");
            QVERIFY(file.open(QIODevice::ReadOnly));
            QCOMPARE(QString::fromUtf8(file.readAll()), text);
            QCOMPARE(copyFiles().size(), 0);
        }
    }

    // Copies written for edits and for input sent to the engine.
    void writes_data()
    {
        QTest::addColumn<bool>("enabled");
        QTest::addColumn<int>("edits");
        QTest::addColumn<bool>("run");
        QTest::addColumn<int>("least");
        QTest::addColumn<int>("most");
        QTest::newRow("burst of 100 edits") << true << 100 << false << 1 << 2;
        QTest::newRow("edit, then Run at once") << true << 1 << true << 1 << 1;
        QTest::newRow("Run without edits") << true << 0 << true << 0 << 0;
        QTest::newRow("recovery turned off") << false << 5 << true << 0 << 0;
    }
    void writes()
    {
        QFETCH(bool, enabled);
        QFETCH(int, edits);
        QFETCH(bool, run);
        QFETCH(int, least);
        QFETCH(int, most);
        QSettings(QStringLiteral("QuorStudio"), QStringLiteral("QuorStudio"))
            .setValue(QStringLiteral("recovery"), enabled);
        auto window = makeWindow(100);
        QSignalSpy written(child<RecoveryController>(window.get()),
                           &RecoveryController::copyWritten);
        trigger(window.get(), "actionNew");
        for (int i = 0; i < edits; ++i) {
            window->currentEditor()->insertPlainText(QStringLiteral("\u2227"));
            QTest::qWait(3);
        }
        if (run) {
            trigger(window.get(), "actionRun");
            QCOMPARE(written.size(), least);
        }
        QTest::qWait(400);
        QVERIFY2(written.size() >= least && written.size() <= most,
                 qPrintable(QString::number(written.size())));
        QCOMPARE(copyFiles().size(), least > 0 ? 1 : 0);
        QCOMPARE(QDir(folder()).exists(), least > 0);
    }

    // A copy goes with its unsaved edits.
    void removal_data()
    {
        QTest::addColumn<QString>("how");
        for (const char* how : {"actionSave", "actionUndo", "close button", "exit"})
            QTest::newRow(how) << QString::fromLatin1(how);
    }
    void removal()
    {
        QFETCH(QString, how);
        const QString path = home.filePath(QStringLiteral("removal.quor"));
        QFile::remove(path);
        auto window = makeWindow();
        window->loadFile(path);
        window->currentEditor()->insertPlainText(QStringLiteral("<a \u2192 b>."));
        trigger(window.get(), "actionRun");
        QCOMPARE(copyFiles().size(), 1);
        if (how == QLatin1String("close button"))
            emit child<QTabWidget>(window.get(), "tabWidget_3")->tabCloseRequested(0);
        else if (how == QLatin1String("exit"))
            window.reset();
        else
            trigger(window.get(), how.toLatin1().constData());
        QCOMPARE(copyFiles().size(), 0);
    }

    // Copies of a running instance are never offered; those of a dead one are, once.
    void ownership_data()
    {
        QTest::addColumn<QString>("owner");
        QTest::addColumn<int>("offered");
        QTest::newRow("running") << QStringLiteral("running") << 0;
        QTest::newRow("stale lock") << QStringLiteral("stale lock") << 1;
        QTest::newRow("no lock") << QStringLiteral("no lock") << 1;
    }
    void ownership()
    {
        QFETCH(QString, owner);
        QFETCH(int, offered);
        auto first = std::make_unique<RecoveryStore>();
        const RecoveryCopy copy{QStringLiteral("new 1"),
                                QDateTime::currentDateTimeUtc(),
                                0,
                                QStringLiteral("first"),
                                {}};
        QVERIFY(first->write(1, copy));
        const QString lockPath = folder() + QLatin1Char('/') + first->identity() + ".lock";
        if (owner != QLatin1String("running"))
            first.reset();
        if (owner == QLatin1String("stale lock")) {
            QFile lock(lockPath);
            QVERIFY(lock.open(QIODevice::WriteOnly));
            lock.write("999999999\nquorstudio\n" + QSysInfo::machineHostName().toUtf8() + '\n');
        }
        RecoveryStore second;
        QVERIFY(
            second.write(1, {QStringLiteral("new 1"), copy.time, 0, QStringLiteral("second"), {}}));
        const QList<RecoveryCopy> left = second.adoptLeftCopies();
        QCOMPARE(left.size(), offered);
        QCOMPARE(copyFiles().size(), 2);
        if (offered)
            QCOMPARE(left[0].text, QStringLiteral("first"));
        // While one instance holds them, a third one is not offered the same copies.
        QCOMPARE(RecoveryStore().adoptLeftCopies().size(), 0);
    }

    // A folder that cannot be written is reported once; the document and the Run go on.
    void unwritableFolder()
    {
        QVERIFY(QDir().mkpath(QFileInfo(folder()).path()));
        QFile blocker(folder()); // a file where the folder should be
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        auto window = makeWindow();
        QSignalSpy messages(window->statusBar(), &QStatusBar::messageChanged);
        trigger(window.get(), "actionNew");
        for (const char* text : {"<a \u2192 b>.", " <c \u2192 d>."}) {
            window->currentEditor()->insertPlainText(QString::fromUtf8(text));
            trigger(window.get(), "actionRun");
            if (messages.size() == 1) {
                QVERIFY(window->statusBar()->currentMessage().startsWith("Recovery copies"));
                window->statusBar()->clearMessage(); // another message took its place
            }
        }
        QCOMPARE(messages.size(), 2);
        QCOMPARE(window->currentEditor()->toPlainText(), QString::fromUtf8("<a → b>. <c → d>."));
        QVERIFY(window->currentEditor()->document()->isModified());
        QVERIFY(QFileInfo(folder()).isFile());
    }

    void dialog_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<RecoveryDialog::Choice>("choice");
        QTest::newRow("Restore") << QStringLiteral("Restore") << RecoveryDialog::Restore;
        QTest::newRow("Discard") << QStringLiteral("Discard") << RecoveryDialog::Discard;
        QTest::newRow("Later") << QStringLiteral("Later") << RecoveryDialog::Later;
    }
    void dialog()
    {
        QFETCH(QString, button);
        QFETCH(RecoveryDialog::Choice, choice);
        const QDateTime time = QDateTime::currentDateTimeUtc();
        RecoveryDialog dialog({{QStringLiteral("/w/a.quor"), time, 0, "\n  <a>.\nb", {}},
                               {QStringLiteral("new 2"), time, 0, QString(), {}}});
        QCOMPARE(dialog.list()->topLevelItemCount(), 2);
        QCOMPARE(dialog.list()->topLevelItem(0)->text(0), QStringLiteral("a.quor"));
        QCOMPARE(dialog.list()->topLevelItem(0)->text(2), QStringLiteral("<a>."));
        QCOMPARE(dialog.list()->topLevelItem(1)->text(0), QStringLiteral("new 2"));
        for (QPushButton* b : dialog.findChildren<QPushButton*>()) {
            if (b->text() == button)
                b->click();
        }
        QCOMPARE(dialog.choice(), choice);
    }
};

QTEST_MAIN(TestRecovery)
#include "tst_recovery.moc"
