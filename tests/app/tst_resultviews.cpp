// Engine results reaching the window: error list and marks, term tables, memory save and the
// two graph views.

#include "codeeditor.h"
#include "dialogs.h"
#include "errormessage.h"
#include "svgview.h"
#include "testmessages.h"
#include "windowtest.h"

#include <QListWidget>
#include <QTabWidget>
#include <QTableWidget>

using namespace windowtest;

namespace {

QByteArray errorMessage(quint32 line, quint32 column, quint8 kind, const QByteArray& text)
{
    return MessageBuilder('e').u32(line).u32(column).u8(kind).text(text).bytes;
}

QByteArray termMessage(char kind, const QList<QPair<quint64, QByteArray>>& records)
{
    MessageBuilder message(kind);
    message.raw(QByteArray(4, '\0'));
    for (const auto& record : records)
        message.u64(record.first).text(record.second);
    return message.bytes;
}

CodeEditor* openDocument(MainWindow* window, const QString& path, const QString& text)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return nullptr;
    file.write(text.toUtf8());
    file.close();
    const int index = window->loadFile(path);
    child<QTabWidget>(window, "tabWidget_3")->setCurrentIndex(index);
    return window->editorAt(index);
}

} // namespace

class TestResultViews : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { setUpEnvironment(settingsDir); }
    void init() { clearSettings(); }
    void cleanup()
    {
        Dialogs::setSaveFileNameResponder({});
        Dialogs::setWarningResponder({});
    }

    void errorAddsEntryAndMark();
    void errorsAccumulateAndSurviveRun();
    void errorWithoutDocument();
    void doubleClickBringsDocumentForward();
    void termTablesRefill_data();
    void termTablesRefill();
    void memorySave_data();
    void memorySave();
    void memorySaveFailureIsReported();
    void graphsAreDrawn();

private:
    QTemporaryDir settingsDir;
    QTemporaryDir files;
};

void TestResultViews::errorAddsEntryAndMark()
{
    auto window = makeWindow();
    CodeEditor* editor =
        openDocument(window.get(), files.filePath("e.quor"), QStringLiteral("a\nb\nc\nd\n"));
    QVERIFY(editor);
    deliver(window.get(), errorMessage(4, 2, 1, "  unexpected token  "));
    auto* list = child<QListWidget>(window.get(), "listWidget");
    QCOMPARE(list->count(), 1);
    QCOMPARE(list->item(0)->text(), QStringLiteral("unexpected token"));
    QCOMPARE(list->item(0)->type(), 0);
    const QVariant data = list->item(0)->data(Qt::UserRole);
    QCOMPARE(data.userType(), qMetaTypeId<ErrorListItem>());
    const auto location = data.value<ErrorListItem>();
    QCOMPARE(location.line, 4);
    QCOMPARE(location.column, 2);
    QCOMPARE(location.fileName, files.filePath("e.quor"));
    QCOMPARE(editor->marks().size(), 1);
    QCOMPARE(editor->marks().first().line, 4);
    QCOMPARE(editor->marks().first().column, 2);
    QCOMPARE(int(editor->marks().first().kind), 1);
    // Nothing goes to the Output dock.
    QCOMPARE(outputLines(window.get()).size(), 1);
}

void TestResultViews::errorsAccumulateAndSurviveRun()
{
    auto window = makeWindow();
    CodeEditor* editor =
        openDocument(window.get(), files.filePath("r.quor"), QStringLiteral("x\ny\n"));
    deliver(window.get(), errorMessage(2, 1, 2, "first"));
    deliver(window.get(), errorMessage(2, 1, 4, "second"));
    auto* list = child<QListWidget>(window.get(), "listWidget");
    QCOMPARE(list->count(), 2);
    QCOMPARE(editor->marks().size(), 2);
    child<QAction>(window.get(), "actionRun")->trigger();
    QCOMPARE(editor->marks().size(), 0);
    QCOMPARE(list->count(), 2);
    // An old entry still moves the cursor.
    editor->moveCursor(QTextCursor::Start);
    QMetaObject::invokeMethod(window.get(), "scrollToError",
                              Q_ARG(QListWidgetItem*, list->item(1)));
    QCOMPARE(editor->textCursor().blockNumber(), 1);
}

void TestResultViews::errorWithoutDocument()
{
    auto window = makeWindow();
    deliver(window.get(), errorMessage(1, 1, 1, "no document"));
    auto* list = child<QListWidget>(window.get(), "listWidget");
    QCOMPARE(list->count(), 1);
    QCOMPARE(list->item(0)->data(Qt::UserRole).value<ErrorListItem>().fileName, QString());
    // Double-clicking it opens nothing.
    QMetaObject::invokeMethod(window.get(), "scrollToError",
                              Q_ARG(QListWidgetItem*, list->item(0)));
    QCOMPARE(child<QTabWidget>(window.get(), "tabWidget_3")->count(), 0);
    // A message shorter than its fixed fields adds nothing.
    deliver(window.get(), QByteArray("<e\0\1\0\0\0", 7));
    QCOMPARE(list->count(), 1);
}

void TestResultViews::doubleClickBringsDocumentForward()
{
    auto window = makeWindow();
    auto* tabs = child<QTabWidget>(window.get(), "tabWidget_3");
    CodeEditor* first = openDocument(window.get(), files.filePath("one.quor"),
                                     QStringLiteral("line one\nline two\nline three\n"));
    deliver(window.get(), errorMessage(3, 6, 1, "in one"));
    CodeEditor* second =
        openDocument(window.get(), files.filePath("two.quor"), QStringLiteral("other\n"));
    QCOMPARE(tabs->currentWidget(), second);
    // Arriving now, the error is recorded against the current tab.
    deliver(window.get(), errorMessage(1, 2, 1, "in two"));
    auto* list = child<QListWidget>(window.get(), "listWidget");
    QCOMPARE(list->item(1)->data(Qt::UserRole).value<ErrorListItem>().fileName,
             files.filePath("two.quor"));
    QCOMPARE(second->marks().size(), 1);
    QCOMPARE(first->marks().size(), 1);

    QMetaObject::invokeMethod(window.get(), "scrollToError",
                              Q_ARG(QListWidgetItem*, list->item(0)));
    QCOMPARE(tabs->currentWidget(), first);
    QCOMPARE(tabs->count(), 2);
    QCOMPARE(first->textCursor().blockNumber(), 2);
    // The cursor moves column characters into the line.
    QCOMPARE(first->textCursor().positionInBlock(), 6);

    QMetaObject::invokeMethod(window.get(), "scrollToError",
                              Q_ARG(QListWidgetItem*, list->item(1)));
    QCOMPARE(tabs->currentWidget(), second);
    QCOMPARE(second->textCursor().positionInBlock(), 2);
}

void TestResultViews::termTablesRefill_data()
{
    QTest::addColumn<char>("kind");
    QTest::addColumn<QString>("table");
    QTest::newRow("words") << 'w' << "tableWidget_1";
    QTest::newRow("compounds") << 'c' << "tableWidget_2";
    QTest::newRow("statements") << 's' << "tableWidget_3";
}

void TestResultViews::termTablesRefill()
{
    QFETCH(char, kind);
    QFETCH(QString, table);
    auto window = makeWindow();
    auto* widget = window->findChild<QTableWidget*>(table);
    deliver(window.get(),
            termMessage(kind, {{255, "zebra"}, {0, "apple"}, {~quint64(0), "\xE2\x86\x92"}}));
    QCOMPARE(widget->rowCount(), 3);
    QCOMPARE(widget->item(0, 1)->text(), QStringLiteral("apple"));
    QCOMPARE(widget->item(0, 0)->text(), QStringLiteral("0"));
    QCOMPARE(widget->item(1, 1)->text(), QStringLiteral("zebra"));
    QCOMPARE(widget->item(1, 0)->text(), QStringLiteral("ff"));
    QCOMPARE(widget->item(2, 1)->text(), QStringLiteral("\u2192"));
    QCOMPARE(widget->item(2, 0)->text(), QStringLiteral("ffffffffffffffff"));
    QVERIFY(widget->isSortingEnabled());
    // The next message replaces every row; other tables stay untouched.
    deliver(window.get(), termMessage(kind, {{7, "only"}}));
    QCOMPARE(widget->rowCount(), 1);
    for (const char* other : {"tableWidget_1", "tableWidget_2", "tableWidget_3"}) {
        if (table != QLatin1String(other))
            QCOMPARE(child<QTableWidget>(window.get(), other)->rowCount(), 0);
    }
}

void TestResultViews::memorySave_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("written");
    QTest::newRow("no suffix") << "dump"
                               << "dump.quor";
    QTest::newRow("upper-case txt") << "dump.TXT"
                                    << "dump.TXT";
    QTest::newRow("mixed-case quor") << "notes.Quor"
                                     << "notes.Quor";
    QTest::newRow("other suffix") << "dump.log"
                                  << "dump.log.quor";
    QTest::newRow("cancelled") << ""
                               << "";
}

void TestResultViews::memorySave()
{
    QFETCH(QString, typed);
    QFETCH(QString, written);
    QTemporaryDir dir;
    QString caption;
    Dialogs::setSaveFileNameResponder([&](const QString& c, const QString&) {
        caption = c;
        return typed.isEmpty() ? QString() : dir.filePath(typed);
    });
    auto window = makeWindow();
    const QByteArray dump("<a \xE2\x86\x92 b>.\n\xff raw");
    deliver(window.get(), QByteArray("<m\0", 3) + dump + '\0' + "ignored");
    QCOMPARE(caption, QStringLiteral("Save as..."));
    const QStringList entries = QDir(dir.path()).entryList(QDir::Files);
    if (written.isEmpty()) {
        QVERIFY(entries.isEmpty());
        return;
    }
    QCOMPARE(entries, QStringList{written});
    QFile file(dir.filePath(written));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), dump);
}

void TestResultViews::memorySaveFailureIsReported()
{
    QTemporaryDir dir;
    Dialogs::setSaveFileNameResponder(
        [&](const QString&, const QString&) { return dir.filePath("no/such/folder/dump"); });
    QString warning;
    Dialogs::setWarningResponder(
        [&](const QString&, const QString& text, QMessageBox::StandardButtons) {
            warning = text;
            return QMessageBox::Ok;
        });
    auto window = makeWindow();
    deliver(window.get(), QByteArray("<m\0dump\0", 8));
    QVERIFY2(warning.contains(QStringLiteral("dump.quor")), qPrintable(warning));
}

void TestResultViews::graphsAreDrawn()
{
    auto window = makeWindow();
    // A root with one child, and one inference without items.
    const QByteArray tree =
        MessageBuilder('q').u32(8).u32(1).u32(1).u32(0).u64(0).u64(5).u64(5).text("child").bytes;
    deliver(window.get(), tree);
    auto* questions = child<SvgView>(window.get(), "graphicsView1");
    QVERIFY(questions->text().startsWith(QStringLiteral("<svg")));
    QVERIFY(questions->text().contains(QStringLiteral("child [Level: 0")));
    QCOMPARE(questions->scene()->items().size(), 1);

    const QByteArray inference = MessageBuilder('n').u32(8).u32(19).u32(0).u32(0).bytes;
    deliver(window.get(), inference);
    auto* inferences = child<SvgView>(window.get(), "graphicsView2");
    QVERIFY(inferences->text().contains(QStringLiteral("width=\"60\" height=\"90\"")));
    QVERIFY(inferences->text().endsWith(QStringLiteral("</svg>")));
}

QTEST_MAIN(TestResultViews)
#include "tst_resultviews.moc"
