// The Find and Replace dock: searching with its options, stepping between matches, replacing.

#include "documentstest.h"

#include <QCheckBox>
#include <QDockWidget>
#include <QLineEdit>
#include <QPushButton>

using namespace windowtest;
using namespace documentstest;

namespace {

// "alpha" at 0-5, 11-16 and 22-27; "beta" at 6-10, "Beta" at 17-21.
const QString Text = QStringLiteral("alpha beta alpha Beta alpha");

struct Options {
    bool caseSensitive = false;
    bool wholeWords = false;
    bool backward = false;
};

void setOptions(MainWindow* window, const Options& options)
{
    child<QCheckBox>(window, "checkBox")->setChecked(options.caseSensitive);
    child<QCheckBox>(window, "checkBox_2")->setChecked(options.wholeWords);
    child<QCheckBox>(window, "checkBox_3")->setChecked(options.backward);
}

void runSearch(MainWindow* window, const QString& text)
{
    auto* edit = child<QLineEdit>(window, "lineEdit");
    edit->setText(text);
    QTest::keyClick(edit, Qt::Key_Return);
}

void click(MainWindow* window, const char* button)
{
    child<QPushButton>(window, button)->click();
}

// The highlighted ranges as "start-end", in list order; every one in the highlight colour.
QStringList highlights(CodeEditor* editor)
{
    QStringList ranges;
    for (const QTextEdit::ExtraSelection& selection : editor->extraSelections()) {
        if (selection.format.background().color() != QColor(QStringLiteral("#ffef0b")) ||
            selection.format.background().style() != Qt::SolidPattern)
            continue;
        ranges << QStringLiteral("%1-%2")
                      .arg(selection.cursor.selectionStart())
                      .arg(selection.cursor.selectionEnd());
    }
    return ranges;
}

// The editor's selection as "start-end" (or the bare position without one).
QString selected(CodeEditor* editor)
{
    const QTextCursor cursor = editor->textCursor();
    if (!cursor.hasSelection())
        return QString::number(cursor.position());
    return QStringLiteral("%1-%2").arg(cursor.selectionStart()).arg(cursor.selectionEnd());
}

void placeCursor(CodeEditor* editor, int position)
{
    QTextCursor cursor(editor->document());
    cursor.setPosition(position);
    editor->setTextCursor(cursor);
}

std::unique_ptr<MainWindow> windowWithText(const QString& text)
{
    auto window = makeWindow();
    action(window.get(), "actionNew")->trigger();
    window->currentEditor()->setPlainText(text);
    return window;
}

} // namespace

class TestFind : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { setUpEnvironment(settingsDir); }
    void init() { clearSettings(); }

    void search_data();
    void search();
    void stepWrapsAround_data();
    void stepWrapsAround();
    void stepFromOutsideMatch_data();
    void stepFromOutsideMatch();
    void replace_data();
    void replace();
    void replaceAll();
    void secondSearchReplacesHighlights();
    void findButtonsIgnoreOtherDocument();
    void nothingHappensWithoutDocument();
    void shortcutFocusesSearchField();

private:
    QTemporaryDir settingsDir;
};

void TestFind::search_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("searched");
    QTest::addColumn<int>("cursor");
    QTest::addColumn<bool>("caseSensitive");
    QTest::addColumn<bool>("wholeWords");
    QTest::addColumn<bool>("backward");
    QTest::addColumn<QStringList>("matches"); // list order
    QTest::addColumn<QString>("selection");
    const QStringList all{"0-5", "11-16", "22-27"};
    const QStringList allBack{"22-27", "11-16", "0-5"};
    QTest::newRow("forward between first and second")
        << Text << "alpha" << 7 << false << false << false << all << "11-16";
    QTest::newRow("backward between first and second")
        << Text << "alpha" << 7 << false << false << true << allBack << "0-5";
    QTest::newRow("forward from a match's end")
        << Text << "alpha" << 16 << false << false << false << all << "22-27";
    QTest::newRow("forward behind the last: no wrap")
        << Text << "alpha" << 27 << false << false << false << all << "22-27";
    QTest::newRow("backward before the first: no wrap")
        << Text << "alpha" << 0 << false << false << true << allBack << "0-5";
    QTest::newRow("ignoring case")
        << Text << "BETA" << 0 << false << false << false << QStringList{"6-10", "17-21"} << "6-10";
    QTest::newRow("case sensitive")
        << Text << "Beta" << 0 << true << false << false << QStringList{"17-21"} << "17-21";
    QTest::newRow("upper case finds no lower case")
        << "beta"
        << "BETA" << 0 << true << false << false << QStringList{} << "0";
    QTest::newRow("whole words") << "alphabet alpha"
                                 << "alpha" << 0 << false << true << false << QStringList{"9-14"}
                                 << "9-14";
    QTest::newRow("whole words and case")
        << "Alpha alphabet alpha"
        << "alpha" << 0 << true << true << false << QStringList{"15-20"} << "15-20";
    QTest::newRow("nothing found")
        << Text << "zeta" << 7 << false << false << false << QStringList{} << "0";
    QTest::newRow("nothing found backward")
        << Text << "zeta" << 7 << false << false << true << QStringList{} << "27";
    QTest::newRow("empty search text")
        << Text << "" << 7 << false << false << false << QStringList{} << "0";
}

void TestFind::search()
{
    QFETCH(QString, text);
    QFETCH(QString, searched);
    QFETCH(int, cursor);
    QFETCH(bool, caseSensitive);
    QFETCH(bool, wholeWords);
    QFETCH(bool, backward);
    QFETCH(QStringList, matches);
    QFETCH(QString, selection);
    auto window = windowWithText(text);
    CodeEditor* editor = window->currentEditor();
    placeCursor(editor, cursor);
    setOptions(window.get(), {caseSensitive, wholeWords, backward});
    runSearch(window.get(), searched);
    QCOMPARE(highlights(editor), matches);
    QCOMPARE(selected(editor), selection);
    QCOMPARE(editor->toPlainText(), text);
}

void TestFind::stepWrapsAround_data()
{
    QTest::addColumn<bool>("backward");
    QTest::addColumn<int>("from"); // cursor before the search
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QStringList>("visited");
    const QStringList next3{"next", "next", "next"};
    const QStringList previous3{"previous", "previous", "previous"};
    QTest::newRow("next") << false << 0 << next3 << QStringList{"11-16", "22-27", "0-5"};
    QTest::newRow("previous") << false << 0 << previous3 << QStringList{"22-27", "11-16", "0-5"};
    // From the end of the last match a backward search selects the one before it.
    QTest::newRow("backward search, next")
        << true << 27 << next3 << QStringList{"22-27", "0-5", "11-16"};
    QTest::newRow("backward search, previous")
        << true << 27 << previous3 << QStringList{"0-5", "22-27", "11-16"};
}

void TestFind::stepWrapsAround()
{
    QFETCH(bool, backward);
    QFETCH(int, from);
    QFETCH(QStringList, steps);
    QFETCH(QStringList, visited);
    auto window = windowWithText(Text);
    CodeEditor* editor = window->currentEditor();
    placeCursor(editor, from);
    setOptions(window.get(), {false, false, backward});
    runSearch(window.get(), QStringLiteral("alpha"));
    // The first match beyond the cursor in the search direction is selected.
    QCOMPARE(selected(editor), backward ? QStringLiteral("11-16") : QStringLiteral("0-5"));
    QStringList seen;
    for (const QString& step : steps) {
        click(window.get(), step == QLatin1String("next") ? "pushButton" : "pushButton_4");
        seen << selected(editor);
        QCOMPARE(highlights(editor).size(), 3);
    }
    QCOMPARE(seen, visited);
}

void TestFind::stepFromOutsideMatch_data()
{
    QTest::addColumn<bool>("backward");
    QTest::addColumn<int>("cursor");
    QTest::addColumn<bool>("next");
    QTest::addColumn<QString>("selection");
    for (const bool backward : {false, true}) {
        const QByteArray tag = backward ? "backward search, " : "";
        QTest::newRow(tag + "next from between matches") << backward << 7 << true << "11-16";
        QTest::newRow(tag + "previous from between matches") << backward << 7 << false << "0-5";
        QTest::newRow(tag + "next from inside the last wraps") << backward << 25 << true << "0-5";
        QTest::newRow(tag + "previous from inside the last") << backward << 25 << false << "11-16";
        QTest::newRow(tag + "previous from inside the first wraps")
            << backward << 3 << false << "22-27";
        QTest::newRow(tag + "next from a match's start") << backward << 11 << true << "11-16";
    }
}

void TestFind::stepFromOutsideMatch()
{
    QFETCH(bool, backward);
    QFETCH(int, cursor);
    QFETCH(bool, next);
    QFETCH(QString, selection);
    auto window = windowWithText(Text);
    CodeEditor* editor = window->currentEditor();
    setOptions(window.get(), {false, false, backward});
    runSearch(window.get(), QStringLiteral("alpha"));
    placeCursor(editor, cursor);
    click(window.get(), next ? "pushButton" : "pushButton_4");
    QCOMPARE(selected(editor), selection);
    QCOMPARE(highlights(editor).size(), 3);
}

void TestFind::replace_data()
{
    QTest::addColumn<QString>("replacement");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("remaining");
    QTest::addColumn<QString>("afterNext");
    QTest::newRow("with text") << "omega!"
                               << "alpha beta omega! Beta alpha" << QStringList{"0-5", "23-28"}
                               << "23-28";
    QTest::newRow("with nothing") << ""
                                  << "alpha beta  Beta alpha" << QStringList{"0-5", "17-22"}
                                  << "17-22";
}

void TestFind::replace()
{
    QFETCH(QString, replacement);
    QFETCH(QString, text);
    QFETCH(QStringList, remaining);
    QFETCH(QString, afterNext);
    auto window = windowWithText(Text);
    CodeEditor* editor = window->currentEditor();
    placeCursor(editor, 7);
    runSearch(window.get(), QStringLiteral("alpha"));
    QCOMPARE(selected(editor), QStringLiteral("11-16"));
    child<QLineEdit>(window.get(), "lineEdit_2")->setText(replacement);
    click(window.get(), "pushButton_2");
    QCOMPARE(editor->toPlainText(), text);
    QCOMPARE(highlights(editor), remaining);
    // The cursor stays behind the replacement until Find next moves on.
    QCOMPARE(selected(editor), QString::number(11 + replacement.size()));
    click(window.get(), "pushButton");
    QCOMPARE(selected(editor), afterNext);
}

void TestFind::replaceAll()
{
    auto window = windowWithText(Text);
    CodeEditor* searched = window->currentEditor();
    runSearch(window.get(), QStringLiteral("alpha"));
    // Replace All works on the searched document even when another tab is current.
    action(window.get(), "actionNew")->trigger();
    window->currentEditor()->setPlainText(QStringLiteral("alpha"));
    child<QLineEdit>(window.get(), "lineEdit_2")->setText(QStringLiteral("z"));
    click(window.get(), "pushButton_3");
    QCOMPARE(searched->toPlainText(), QStringLiteral("z beta z Beta z"));
    QCOMPARE(window->currentEditor()->toPlainText(), QStringLiteral("alpha"));
    // One step undoes it all; the list is spent, so a second click changes nothing.
    click(window.get(), "pushButton_3");
    QCOMPARE(searched->toPlainText(), QStringLiteral("z beta z Beta z"));
    searched->undo();
    QCOMPARE(searched->toPlainText(), Text);
}

void TestFind::secondSearchReplacesHighlights()
{
    auto window = windowWithText(Text);
    CodeEditor* editor = window->currentEditor();
    runSearch(window.get(), QStringLiteral("alpha"));
    QCOMPARE(highlights(editor).size(), 3);
    runSearch(window.get(), QStringLiteral("beta"));
    QCOMPARE(highlights(editor), (QStringList{"6-10", "17-21"}));
    click(window.get(), "pushButton");
    QCOMPARE(selected(editor), QStringLiteral("17-21"));
}

void TestFind::findButtonsIgnoreOtherDocument()
{
    auto window = windowWithText(Text);
    CodeEditor* searched = window->currentEditor();
    runSearch(window.get(), QStringLiteral("alpha"));
    action(window.get(), "actionNew")->trigger();
    CodeEditor* other = window->currentEditor();
    other->setPlainText(Text);
    placeCursor(other, 7);
    click(window.get(), "pushButton");
    click(window.get(), "pushButton_4");
    QCOMPARE(selected(other), QStringLiteral("7"));
    QCOMPARE(selected(searched), QStringLiteral("0-5"));
}

void TestFind::nothingHappensWithoutDocument()
{
    auto window = windowWithText(Text);
    runSearch(window.get(), QStringLiteral("alpha"));
    action(window.get(), "actionClose")->trigger();
    QCOMPARE(tabs(window.get())->count(), 0);
    child<QLineEdit>(window.get(), "lineEdit_2")->setText(QStringLiteral("z"));
    runSearch(window.get(), QStringLiteral("alpha"));
    for (const char* button : {"pushButton", "pushButton_4", "pushButton_2", "pushButton_3"})
        click(window.get(), button);
    QCOMPARE(tabs(window.get())->count(), 0);

    // The closed document's matches do not reach a new one.
    action(window.get(), "actionNew")->trigger();
    CodeEditor* editor = window->currentEditor();
    editor->setPlainText(Text);
    placeCursor(editor, 7);
    click(window.get(), "pushButton");
    click(window.get(), "pushButton_3");
    QCOMPARE(selected(editor), QStringLiteral("7"));
    QCOMPARE(editor->toPlainText(), Text);
}

void TestFind::shortcutFocusesSearchField()
{
    auto window = makeWindow();
    window->show();
    QVERIFY(QTest::qWaitForWindowActive(window.get()));
    auto* dock = child<QDockWidget>(window.get(), "dockWidget_7");
    QVERIFY(dock->isHidden());
    action(window.get(), "actionFind_and_Replace")->trigger();
    QVERIFY(dock->isVisible());
    QVERIFY(dock->isFloating());
    QTRY_COMPARE(QApplication::focusWidget(), child<QLineEdit>(window.get(), "lineEdit"));
}

QTEST_MAIN(TestFind)
#include "tst_find.moc"
