// Run to Cursor and Step Back as the engine sees them, the sent region they leave, and the
// window's remembered layout and title.

#include "completioncontroller.h"
#include "sentregion.h"
#include "testmessages.h"
#include "windowfixture.h"

#include <QAction>
#include <QDockWidget>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QTextBlock>
#include <QtTest>

using namespace fixture;

namespace {

// What the engine received after start-up, as "text@line".
QStringList engineInputs()
{
    QStringList result;
    for (const auto& input : testengine::inputs())
        result.append(QString::fromStdString(input.bytes) + QLatin1Char('@') +
                      QString::number(input.line));
    result.removeAll(QStringLiteral("\u22d9 version@1"));
    return result;
}

QString joined(const QVector<int>& lines)
{
    QStringList parts;
    for (int line : lines)
        parts.append(QString::number(line));
    return parts.join(QLatin1Char(','));
}

} // namespace

class TestStepping : public QObject {
    Q_OBJECT

private slots:
    void init() { fixture::clearSettings(); }
    void stepping_data();
    void stepping();
    void completionFromEngineTables();
    void layoutRoundTrip();
    void title();
    void escapeClosesFind();

private:
    fixture::Environment environment;
};

void TestStepping::stepping_data()
{
    // A four-line document; the cursor starts on `line`; each letter of `actions` triggers an
    // action: c Run to Cursor, b Step Back, f Step Forward, r Run, m Clear Memory.
    QTest::addColumn<int>("line");
    QTest::addColumn<QString>("actions");
    QTest::addColumn<QStringList>("inputs");
    QTest::addColumn<QString>("sent");
    QTest::addColumn<int>("cursorLine");
    QTest::newRow("run to cursor") << 3 << "c" << QStringList{"a.@1", "b.@2", "@3"} << "1,2,3" << 4;
    QTest::newRow("only lines not sent")
        << 2 << "fc" << QStringList{"b.@2", "a.@1", "@3"} << "2,1,3" << 4;
    QTest::newRow("nothing left to send")
        << 1 << "fcc" << QStringList{"a.@1", "b.@2", "@3"} << "1,2,3" << 4;
    QTest::newRow("step back") << 3 << "cb" << QStringList{"a.@1",           "b.@2", "@3",
                                                           "\u22d9 clear@1", "a.@1", "b.@2"}
                               << "1,2" << 3;
    QTest::newRow("step back twice")
        << 2 << "cbb" << QStringList{"a.@1", "b.@2", "\u22d9 clear@1", "a.@1", "\u22d9 clear@1"}
        << "" << 1;
    QTest::newRow("step back after Run")
        << 1 << "rb" << QStringList{"a.\nb.\n\nd.@1", "\u22d9 clear@1", "a.@1", "b.@2", "@3"}
        << "1,2,3" << 4;
    QTest::newRow("step back with nothing sent") << 1 << "b" << QStringList{} << "" << 1;
    QTest::newRow("clear memory") << 4 << "cm"
                                  << QStringList{"a.@1", "b.@2", "@3", "d.@4", "\u22d9 clear@1"}
                                  << "" << 4;
    QTest::newRow("step forward on the last line")
        << 4 << "ff" << QStringList{"d.@4", "d.@4"} << "4" << 4;
}

void TestStepping::stepping()
{
    QFETCH(int, line);
    QFETCH(QString, actions);
    QFETCH(QStringList, inputs);
    QFETCH(QString, sent);
    QFETCH(int, cursorLine);
    auto window = makeWindow();
    child<QAction>(window.get(), "actionNew")->trigger();
    auto* editor =
        qobject_cast<CodeEditor*>(child<QTabWidget>(window.get(), "tabWidget_3")->currentWidget());
    QVERIFY(editor);
    editor->setPlainText(QStringLiteral("a.\nb.\n\nd."));
    editor->setTextCursor(QTextCursor(editor->document()->findBlockByNumber(line - 1)));
    const QHash<QChar, const char*> names{{'c', "actionRunToCursor"},
                                          {'b', "actionStepBack"},
                                          {'f', "actionStepForward"},
                                          {'r', "actionRun"},
                                          {'m', "actionClear_Memory"}};
    for (const QChar action : actions)
        child<QAction>(window.get(), names.value(action))->trigger();
    QCOMPARE(engineInputs(), inputs);
    QCOMPARE(joined(SentRegion::of(editor)->lines()), sent);
    QCOMPARE(editor->textCursor().blockNumber() + 1, cursorLine);
    if (actions.endsWith(QLatin1Char('b')) && !inputs.isEmpty()) {
        QCoreApplication::processEvents();
        QVERIFY(child<QPlainTextEdit>(window.get(), "plainTextEdit")
                    ->toPlainText()
                    .contains(QLatin1String("Memory rebuilt")));
    }
}

void TestStepping::completionFromEngineTables()
{
    auto window = makeWindow();
    const auto deliver = [&window](char kind, const QList<QByteArray>& names) {
        MessageBuilder message(kind);
        message.u32(0); // the records start at offset 7
        for (int i = 0; i < names.size(); ++i)
            message.u64(quint64(i + 1)).text(names.at(i));
        char* block = new char[size_t(message.bytes.size())];
        std::memcpy(block, message.bytes.constData(), size_t(message.bytes.size()));
        QMetaObject::invokeMethod(window.get(), "output", Qt::DirectConnection,
                                  Q_ARG(const char*, block),
                                  Q_ARG(size_t, size_t(message.bytes.size())));
    };
    deliver('w', {"bird", "bison", "cat"});
    deliver('c', {"(bird \xe2\x88\xa9 animal)"});
    child<QAction>(window.get(), "actionNew")->trigger();
    auto* editor =
        qobject_cast<CodeEditor*>(child<QTabWidget>(window.get(), "tabWidget_3")->currentWidget());
    QTest::keyClicks(editor, QStringLiteral("bi"));
    auto* completion = editor->findChild<CompletionController*>();
    QVERIFY(completion);
    QCOMPARE(completion->entries(),
             (QStringList{"bird", "bison", QStringLiteral("(bird \u2229 animal)")}));
}

void TestStepping::layoutRoundTrip()
{
    QRect size;
    {
        auto window = makeWindow();
        auto* browser = child<QDockWidget>(window.get(), "dockWidget_9");
        QCOMPARE(window->dockWidgetArea(browser), Qt::RightDockWidgetArea); // first start
        window->resize(700, 450);
        window->addDockWidget(Qt::LeftDockWidgetArea, browser);
        child<QDockWidget>(window.get(), "dockWidget_7")->show();
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        size = window->geometry();
        QVERIFY(window->close());
    }
    auto window = makeWindow();
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    QCOMPARE(window->size(), size.size());
    QCOMPARE(window->dockWidgetArea(child<QDockWidget>(window.get(), "dockWidget_9")),
             Qt::LeftDockWidgetArea);
    QVERIFY(child<QDockWidget>(window.get(), "dockWidget_7")->isHidden());
}

void TestStepping::title()
{
    auto window = makeWindow();
    QCOMPARE(window->windowTitle(), QStringLiteral("QuorStudio"));
    child<QAction>(window.get(), "actionNew")->trigger();
    QCOMPARE(window->windowTitle(), QStringLiteral("QuorStudio - new 1[*]"));
    QVERIFY(!window->isWindowModified());
    auto* editor =
        qobject_cast<CodeEditor*>(child<QTabWidget>(window.get(), "tabWidget_3")->currentWidget());
    editor->insertPlainText(QStringLiteral("x"));
    QVERIFY(window->isWindowModified());
}

void TestStepping::escapeClosesFind()
{
    auto window = makeWindow();
    window->show();
    auto* find = child<QDockWidget>(window.get(), "dockWidget_7");
    child<QAction>(window.get(), "actionFind_and_Replace")->trigger();
    QVERIFY(find->isVisible());
    QApplication::setActiveWindow(find);
    auto* edit = child<QLineEdit>(window.get(), "lineEdit");
    edit->setFocus();
    QTRY_VERIFY(edit->hasFocus());
    QTest::keyClick(edit, Qt::Key_Escape);
    QVERIFY(!find->isVisible());
}

QTEST_MAIN(TestStepping)
#include "tst_stepping.moc"
