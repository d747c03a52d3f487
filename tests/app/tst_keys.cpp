// Keys as the user presses them, through the window's own shortcut handling: the Edit keys act
// on the widget that has the keyboard focus, Alt with a letter opens a menu while Alt with a
// symbol key still types the symbol, the keypad's 0 resets the zoom with Num Lock on or off,
// and a document opened from the command line, the recent files or the browser has the focus.

#include "documenttabs.h"
#include "quorversion.h"
#include "recentfiles.h"
#include "testmessages.h"
#include "windowfixture.h"

#include <QClipboard>
#include <QDockWidget>
#include <QFileSystemModel>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QMenuBar>
#include <QTableWidget>
#include <QToolBar>
#include <QtTest>

using namespace fixture;

namespace {

const QString Text = QStringLiteral("<a \u2192 b>.");

QWidget* focusOn(QWidget* widget)
{
    for (QWidget* w = widget; w; w = w->parentWidget()) {
        if (auto* dock = qobject_cast<QDockWidget*>(w))
            dock->raise(); // a dock covered by another tab
    }
    widget->activateWindow();
    widget->setFocus();
    if (!QTest::qWaitFor([widget] { return QApplication::focusWidget() == widget; }))
        qFatal("no focus on %s", qPrintable(widget->objectName()));
    return widget;
}

void clickToolButton(MainWindow* window, const char* toolBar, const char* actionName)
{
    QWidget* button = child<QToolBar>(window, toolBar)->widgetForAction(action(window, actionName));
    QTest::mouseClick(button, Qt::LeftButton);
}

} // namespace

class TestKeys : public QObject {
    Q_OBJECT
    Environment environment;
    QTemporaryDir dir;

private slots:
    void init() { clearSettings(); }

    // Keys pressed where the focus is; the clipboard and the document afterwards. The toolbar's
    // Select All and Copy then still take the current document, whatever has the focus.
    void editKeysFollowFocus_data()
    {
        QTest::addColumn<QString>("focus");
        QTest::addColumn<QStringList>("keys");
        QTest::addColumn<QString>("clipboard");
        QTest::addColumn<QString>("document");
        const QStringList all{"Ctrl+A", "Ctrl+C", "Ctrl+X", "Ctrl+V", "Ctrl+Z", "Del"};
        QTest::newRow("Output dock")
            << "plainTextEdit" << all << "QuorStudio version " QUOR_VERSION << Text;
        QTest::newRow("Find field") << "lineEdit" << all << "needle" << Text;
        QTest::newRow("Words table") << "tableWidget_1" << all << "1\tbird\n2\trobin\n" << Text;
        QTest::newRow("document") << "document" << QStringList{"Ctrl+A", "Ctrl+X", "Ctrl+V",
                                                               "Ctrl+V", "Ctrl+A", "Ctrl+C"}
                                  << Text + Text << Text + Text;
    }
    void editKeysFollowFocus()
    {
        QFETCH(QString, focus);
        QFETCH(QStringList, keys);
        QFETCH(QString, clipboard);
        QFETCH(QString, document);
        auto window = shownWindow();
        CodeEditor* editor = newDocument(window.get(), Text);
        deliver(window.get(), termTable('w', {{1, "bird"}, {2, "robin"}}));
        outputLines(window.get());
        child<QLineEdit>(window.get(), "lineEdit")->setText("needle");
        QApplication::clipboard()->clear();
        if (focus == "lineEdit")
            trigger(window.get(), "actionFind_and_Replace"); // a floating window of its own
        if (focus.startsWith("table")) {
            // The context menu, shown with no row selected, leaves Ctrl+C working after it.
            QTimer::singleShot(0, [] { QApplication::activePopupWidget()->close(); });
            emit child<QTableWidget>(window.get(), qPrintable(focus))
                ->customContextMenuRequested(QPoint(1, 1));
        }
        QWidget* target =
            focusOn(focus == "document" ? editor : child<QWidget>(window.get(), qPrintable(focus)));
        for (const QString& key : keys)
            QTest::keySequence(target, QKeySequence(key));
        QCOMPARE(QApplication::clipboard()->text(), clipboard);
        QCOMPARE(editor->toPlainText(), document);
        QCOMPARE(QApplication::focusWidget(), target);
        clickToolButton(window.get(), "editToolBar", "actionSelect_All");
        clickToolButton(window.get(), "editToolBar", "actionCopy");
        QCOMPARE(QApplication::clipboard()->text(), document);
    }

    // Alt with a letter opens the menu of that mnemonic; Alt with a digit, minus or asterisk
    // still types its symbol.
    void altKeys_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("menu");
        QTest::addColumn<QString>("typed");
        const struct {
            int key;
            const char* menu;
            const char* typed;
        } rows[] = {
            {Qt::Key_F, "menuFile", ""},      {Qt::Key_E, "menuEdit", ""},
            {Qt::Key_D, "menuDebug", ""},     {Qt::Key_N, "menuEngine", ""},
            {Qt::Key_H, "menuHelp", ""},      {Qt::Key_0, "", "\u2218"},
            {Qt::Key_1, "", "\u2192"},        {Qt::Key_5, "", "\u22a5"},
            {Qt::Key_8, "", "\u22d9"},        {Qt::Key_Minus, "", "\u2296"},
            {Qt::Key_Asterisk, "", "\u00d7"},
        };
        for (const auto& row : rows)
            QTest::addRow("Alt+%s", qPrintable(QKeySequence(row.key).toString()))
                << row.key << row.menu << QString::fromUtf8(row.typed);
    }
    void altKeys()
    {
        QFETCH(int, key);
        QFETCH(QString, menu);
        auto window = shownWindow();
        CodeEditor* editor = newDocument(window.get());
        focusOn(editor);
        QTest::keyClick(editor, Qt::Key(key), Qt::AltModifier);
        QTEST(editor->toPlainText(), "typed");
        for (QAction* title : window->menuBar()->actions())
            QCOMPARE(title->menu()->isVisible(), title->menu()->objectName() == menu);
        if (QWidget* popup = QApplication::activePopupWidget())
            popup->close();
    }

    // The toolbars' context menu names them in words.
    void toolBarTitles()
    {
        auto window = makeWindow();
        QStringList titles;
        for (auto* bar : window->findChildren<QToolBar*>())
            titles << bar->windowTitle();
        QCOMPARE(titles, (QStringList{"File", "Edit", "Debug"}));
    }

    // Ctrl with the keypad's 0, Num Lock on (Key_0) or off (Key_Insert), resets the zoom
    // wherever the focus is, and types nothing; no other keypad key does. The Edit menu ends
    // with the three zoom entries.
    void zoomResetKeys_data()
    {
        QTest::addColumn<bool>("inDocument");
        QTest::addColumn<int>("key");
        QTest::newRow("document, Num Lock on") << true << int(Qt::Key_0);
        QTest::newRow("document, Num Lock off") << true << int(Qt::Key_Insert);
        QTest::newRow("Output dock, Num Lock on") << false << int(Qt::Key_0);
        QTest::newRow("Output dock, Num Lock off") << false << int(Qt::Key_Insert);
        QTest::newRow("Output dock, another keypad key") << false << int(Qt::Key_5);
    }
    void zoomResetKeys()
    {
        QFETCH(bool, inDocument);
        QFETCH(int, key);
        auto window = shownWindow();
        CodeEditor* editor = newDocument(window.get(), Text);
        QWidget* target = focusOn(inDocument ? static_cast<QWidget*>(editor)
                                             : child<QWidget>(window.get(), "plainTextEdit"));
        QTest::keyClick(target, Qt::Key_Equal, Qt::ControlModifier);
        QTest::keyClick(target, Qt::Key_Equal, Qt::ControlModifier);
        QCOMPARE(editor->font().pointSize(), 11);
        QApplication::clipboard()->clear();
        QTest::keyClick(target, Qt::Key(key), Qt::ControlModifier | Qt::KeypadModifier);
        QCOMPARE(editor->font().pointSize(), key == Qt::Key_5 ? 11 : 9);
        QCOMPARE(editor->toPlainText(), Text);
        QCOMPARE(QApplication::clipboard()->text(), QString());
        const QList<QAction*> edit = child<QMenu>(window.get(), "menuEdit")->actions();
        QCOMPARE(edit.mid(edit.size() - 3),
                 (QList<QAction*>{action(window.get(), "actionZoomIn"),
                                  action(window.get(), "actionZoomOut"),
                                  action(window.get(), "actionZoomReset")}));
    }

    // The document just opened has the keyboard focus.
    void openedDocumentHasFocus_data()
    {
        QTest::addColumn<QString>("from");
        QTest::newRow("command line") << "command line";
        QTest::newRow("recent files") << "recent files";
        QTest::newRow("browser") << "browser";
    }
    void openedDocumentHasFocus()
    {
        QFETCH(QString, from);
        const QString path = dir.filePath("opened.quor");
        QVERIFY(writeBytes(path, Text.toUtf8()));
        settings()->setValue("recentFileList", QStringList{path});
        settings()->setValue("currentPath", dir.path());
        auto window = shownWindow(from == "command line" ? QStringList{path} : QStringList{});
        if (from == "recent files") {
            focusOn(child<QWidget>(window.get(), "plainTextEdit"));
            window->documentTabs()->recentFiles()->actions().first()->trigger();
        } else if (from == "browser") {
            auto* view = child<QListView>(window.get(), "listView");
            auto* model = qobject_cast<QFileSystemModel*>(view->model());
            const auto at = [&] { return view->visualRect(model->index(path)).center(); };
            QTRY_VERIFY(model->index(path).isValid() && view->indexAt(at()) == model->index(path));
            // A double click as the window system delivers it: the second press comes as a
            // press and a double click.
            QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, at());
            QTest::mousePress(view->viewport(), Qt::LeftButton, {}, at());
            QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, at());
            QTest::mouseRelease(view->viewport(), Qt::LeftButton, {}, at());
        }
        QVERIFY(window->currentEditor());
        QCOMPARE(window->currentEditor()->fileName, path);
        QTRY_COMPARE(QApplication::focusWidget(), window->currentEditor());
    }
};

QTEST_MAIN(TestKeys)
#include "tst_keys.moc"
