// The Find and Replace dock: searching with its options, stepping between matches, replacing.

#include "windowfixture.h"

#include <QtTest>

#include <QCheckBox>
#include <QDockWidget>
#include <QLineEdit>
#include <QPushButton>

using namespace fixture;

namespace {

// "alpha" at 0-5, 11-16 and 22-27; "beta" at 6-10, "Beta" at 17-21.
const QString Text = QStringLiteral("alpha beta alpha Beta alpha");

// Options as "cwb": case sensitive, whole words, backward ('-' for off).
void search(MainWindow* window, const QString& text, const QString& options = "---")
{
    child<QCheckBox>(window, "checkBox")->setChecked(options[0] == 'c');
    child<QCheckBox>(window, "checkBox_2")->setChecked(options[1] == 'w');
    child<QCheckBox>(window, "checkBox_3")->setChecked(options[2] == 'b');
    auto* edit = child<QLineEdit>(window, "lineEdit");
    edit->setText(text);
    QTest::keyClick(edit, Qt::Key_Return);
}

// Find next, Find previous, Replace, Replace All.
void click(MainWindow* window, char button)
{
    const char* names[] = {"pushButton", "pushButton_4", "pushButton_2", "pushButton_3"};
    child<QPushButton>(window, names[QByteArray("npra").indexOf(button)])->click();
}

// The highlighted ranges as "start-end", in list order; every one in the highlight colour.
QStringList highlights(CodeEditor* editor)
{
    QStringList ranges;
    for (const QTextEdit::ExtraSelection& selection : editor->extraSelections()) {
        if (selection.format.background() == QBrush(QColor(QStringLiteral("#ffef0b"))))
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

CodeEditor* showText(MainWindow* window, const QString& text, int cursor = 0)
{
    CodeEditor* editor = newDocument(window);
    editor->setPlainText(text);
    select(editor, 1, cursor + 1, 1, cursor + 1);
    return editor;
}

} // namespace

class TestFind : public QObject {
    Q_OBJECT
    Environment environment;

private slots:
    void init() { clearSettings(); }

    void search_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("searched");
        QTest::addColumn<int>("cursor");
        QTest::addColumn<QString>("options");
        QTest::addColumn<QStringList>("matches"); // list order
        QTest::addColumn<QString>("selection");
        const QStringList all{"0-5", "11-16", "22-27"}, back{"22-27", "11-16", "0-5"};
        QTest::newRow("forward") << Text << "alpha" << 7 << "---" << all << "11-16";
        QTest::newRow("backward") << Text << "alpha" << 7 << "--b" << back << "0-5";
        QTest::newRow("forward from a match's end")
            << Text << "alpha" << 16 << "---" << all << "22-27";
        QTest::newRow("behind the last: no wrap")
            << Text << "alpha" << 27 << "---" << all << "22-27";
        QTest::newRow("before the first: no wrap")
            << Text << "alpha" << 0 << "--b" << back << "0-5";
        QTest::newRow("ignoring case")
            << Text << "BETA" << 0 << "---" << QStringList{"6-10", "17-21"} << "6-10";
        QTest::newRow("case sensitive")
            << Text << "Beta" << 0 << "c--" << QStringList{"17-21"} << "17-21";
        QTest::newRow("upper case finds no lower case")
            << QString("beta") << "BETA" << 0 << "c--" << QStringList{} << "0";
        QTest::newRow("whole words") << "alphabet alpha"
                                     << "alpha" << 0 << "-w-" << QStringList{"9-14"} << "9-14";
        QTest::newRow("whole words and case") << QString("Alpha alphabet alpha") << "alpha" << 0
                                              << "cw-" << QStringList{"15-20"} << "15-20";
        QTest::newRow("nothing found") << Text << "zeta" << 7 << "---" << QStringList{} << "0";
        QTest::newRow("nothing found backward")
            << Text << "zeta" << 7 << "--b" << QStringList{} << "27";
        QTest::newRow("empty search text") << Text << "" << 7 << "---" << QStringList{} << "0";
    }
    void search()
    {
        QFETCH(QString, text);
        QFETCH(QString, searched);
        QFETCH(int, cursor);
        QFETCH(QString, options);
        auto window = makeWindow();
        CodeEditor* editor = showText(window.get(), text, cursor);
        ::search(window.get(), searched, options);
        QTEST(highlights(editor), "matches");
        QTEST(selected(editor), "selection");
        QCOMPARE(editor->toPlainText(), text);
    }

    // A step starts from the cursor: the next or previous match beyond it, wrapping around.
    void stepFromOutsideMatch_data()
    {
        QTest::addColumn<QString>("options");
        QTest::addColumn<int>("cursor");
        QTest::addColumn<char>("step");
        QTest::addColumn<QString>("selection");
        for (const QString options : {"---", "--b"}) {
            const QByteArray tag = options.toLatin1() + ", ";
            QTest::newRow(tag + "next from between") << options << 7 << 'n' << "11-16";
            QTest::newRow(tag + "previous from between") << options << 7 << 'p' << "0-5";
            QTest::newRow(tag + "next from inside the last") << options << 25 << 'n' << "0-5";
            QTest::newRow(tag + "previous from inside the last") << options << 25 << 'p' << "11-16";
            QTest::newRow(tag + "previous from inside the first") << options << 3 << 'p' << "22-27";
            QTest::newRow(tag + "next from a match's start") << options << 11 << 'n' << "11-16";
        }
    }
    void stepFromOutsideMatch()
    {
        QFETCH(QString, options);
        QFETCH(char, step);
        QFETCH(int, cursor);
        auto window = makeWindow();
        CodeEditor* editor = showText(window.get(), Text);
        ::search(window.get(), QStringLiteral("alpha"), options);
        select(editor, 1, cursor + 1, 1, cursor + 1);
        click(window.get(), step);
        QTEST(selected(editor), "selection");
        QCOMPARE(highlights(editor).size(), 3);
    }

    void replace_data()
    {
        QTest::addColumn<QString>("replacement");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("remaining");
        QTest::addColumn<QString>("afterNext");
        QTest::addColumn<int>("cursor");
        QTest::newRow("with text") << QString("omega!") << "alpha beta omega! Beta alpha"
                                   << QStringList{"0-5", "23-28"} << "23-28" << 7;
        QTest::newRow("with nothing") << QString("") << "alpha beta  Beta alpha"
                                      << QStringList{"0-5", "17-22"} << "17-22" << 7;
        QTest::newRow("the first match") << QString("omega!") << "omega! beta alpha Beta alpha"
                                         << QStringList{"12-17", "23-28"} << "12-17" << 0;
    }
    void replace()
    {
        QFETCH(QString, replacement);
        QFETCH(int, cursor);
        auto window = makeWindow();
        CodeEditor* editor = showText(window.get(), Text, cursor);
        ::search(window.get(), QStringLiteral("alpha"));
        child<QLineEdit>(window.get(), "lineEdit_2")->setText(replacement);
        click(window.get(), 'r');
        QTEST(editor->toPlainText(), "text");
        QTEST(highlights(editor), "remaining");
        // The cursor stays behind the replacement until Find next moves on.
        QCOMPARE(selected(editor), QString::number((cursor ? 11 : 0) + replacement.size()));
        click(window.get(), 'n');
        QTEST(selected(editor), "afterNext");
    }

    void replaceAll()
    {
        auto window = makeWindow();
        CodeEditor* searched = showText(window.get(), Text);
        ::search(window.get(), QStringLiteral("alpha"));
        // Replace All works on the searched document even when another tab is current.
        showText(window.get(), QStringLiteral("alpha"));
        child<QLineEdit>(window.get(), "lineEdit_2")->setText(QStringLiteral("z"));
        click(window.get(), 'a');
        QCOMPARE(searched->toPlainText(), QStringLiteral("z beta z Beta z"));
        QCOMPARE(window->currentEditor()->toPlainText(), QStringLiteral("alpha"));
        // One step undoes it all; the list is spent, so a second click changes nothing.
        click(window.get(), 'a');
        QCOMPARE(searched->toPlainText(), QStringLiteral("z beta z Beta z"));
        searched->undo();
        QCOMPARE(searched->toPlainText(), Text);
    }

    void otherDocuments()
    {
        auto window = makeWindow();
        CodeEditor* searched = showText(window.get(), Text);
        ::search(window.get(), QStringLiteral("alpha"));
        ::search(window.get(), QStringLiteral("beta")); // replaces the first search's highlights
        QCOMPARE(highlights(searched), (QStringList{"6-10", "17-21"}));
        // The step buttons act on the searched document only.
        CodeEditor* other = showText(window.get(), Text, 7);
        click(window.get(), 'n');
        click(window.get(), 'p');
        QCOMPARE(selected(other), QStringLiteral("7"));
        QCOMPARE(selected(searched), QStringLiteral("6-10"));
        // Without a document nothing happens, and a closed document's matches do not reach a
        // new one.
        trigger(window.get(), "actionClose_All");
        child<QLineEdit>(window.get(), "lineEdit_2")->setText(QStringLiteral("z"));
        ::search(window.get(), QStringLiteral("alpha"));
        for (char button : {'n', 'p', 'r', 'a'})
            click(window.get(), button);
        QCOMPARE(tabs(window.get())->count(), 0);
        CodeEditor* editor = showText(window.get(), Text, 7);
        click(window.get(), 'n');
        click(window.get(), 'a');
        QCOMPARE(selected(editor), QStringLiteral("7"));
        QCOMPARE(editor->toPlainText(), Text);
    }

    // The shortcut shows the dock with the focus in the search field; Escape there hides it.
    void shortcutFocusesSearchFieldAndEscapeHides()
    {
        auto window = shownWindow();
        auto* dock = child<QDockWidget>(window.get(), "dockWidget_7");
        QVERIFY(dock->isHidden());
        trigger(window.get(), "actionFind_and_Replace");
        QVERIFY(dock->isVisible());
        QTRY_COMPARE(QApplication::focusWidget(), child<QLineEdit>(window.get(), "lineEdit"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        QVERIFY(dock->isHidden());
    }
};

QTEST_MAIN(TestFind)
#include "tst_find.moc"
