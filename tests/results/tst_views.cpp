// What the result views answer back: the Error dock's count and raise, the SVG views' context
// menu and clicks, and the term tables' Copy and Export CSV.

#include "windowfixture.h"

#include "testmessages.h"
#include <QtTest>

#include "dispatch.h"
#include "statementlocator.h"
#include "svgview.h"
#include "tablecontextmenu.h"

#include <QApplication>
#include <QClipboard>
#include <QDockWidget>
#include <QListWidget>
#include <QMenu>
#include <QPainter>
#include <QSvgRenderer>
#include <QTableWidget>

using namespace fixture;

namespace {

const char* const drawing =
    "<svg width=\"800\" height=\"600\" xmlns=\"http://www.w3.org/2000/svg\" "
    "version=\"1.1\">\n<rect x=\"0\" y=\"0\" width=\"800\" height=\"300\" "
    "fill=\"#DEECD2\"></rect>\n</svg>";

GraphDrawing graphDrawing(const QByteArray& message)
{
    const DecodedMessage decoded = decodeMessage(message.constData(), message.size());
    if (const auto* tree = std::get_if<QuestionTree>(&decoded))
        return questionTreeDrawing(*tree);
    return inferenceGraphDrawing(std::get<InferenceGraph>(decoded));
}

// The largest difference of grey between the two images, compared at a quarter of their size
// so that only where things are placed, not how each glyph is rasterised, may differ.
int difference(const QImage& expected, const QImage& drawn)
{
    const QSize small = expected.size() / 4;
    const QImage a = expected.scaled(small, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    const QImage b = drawn.scaled(small, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    int worst = 0;
    for (int y = 0; y < small.height(); ++y)
        for (int x = 0; x < small.width(); ++x)
            worst = qMax(worst, qAbs(qGray(a.pixel(x, y)) - qGray(b.pixel(x, y))));
    return worst;
}

} // namespace

class TestViews : public QObject {
    Q_OBJECT
    Environment environment;

private slots:
    void init() { clearSettings(); }

    void errorDock_data()
    {
        QTest::addColumn<bool>("closed");
        QTest::addColumn<bool>("run");
        QTest::addColumn<bool>("raised");
        QTest::newRow("behind another tab, after Run") << false << true << true;
        QTest::newRow("closed by the user") << true << true << false;
        QTest::newRow("errors without a Run or Step") << false << false << false;
    }
    void errorDock()
    {
        QFETCH(bool, closed);
        QFETCH(bool, run);
        QFETCH(bool, raised);
        auto window = shownWindow();
        auto* dock = child<QDockWidget>(window.get(), "dockWidget_5");
        // The Output tab is in front: the Error dock is there, but none of it shows.
        QVERIFY(dock->visibleRegion().isEmpty());
        if (closed)
            dock->close();
        trigger(window.get(), "actionNew");
        QCOMPARE(QApplication::focusWidget(), window->currentEditor()); // typing goes there
        const QString document = window->currentEditor()->fileName;
        if (run)
            trigger(window.get(), "actionRun");
        for (quint32 line : {4u, 9u})
            deliver(window.get(), errorMessage(line, 7, 1, "bad term"));
        QTRY_COMPARE(dock->windowTitle(), QStringLiteral("Error (2)")); // once the loop runs
        QTRY_COMPARE(!dock->visibleRegion().isEmpty(), raised);
        auto* list = child<QListWidget>(window.get(), "listWidget");
        QCOMPARE(list->item(1)->toolTip(), QStringLiteral("%1, line 9, column 7").arg(document));
        // The next Run starts the count again; Clear Output empties it too.
        trigger(window.get(), "actionRun");
        QCOMPARE(dock->windowTitle(), QStringLiteral("Error"));
        deliver(window.get(), errorMessage(1, 1, 1, "x"));
        QTRY_COMPARE(dock->windowTitle(), QStringLiteral("Error (1)"));
        trigger(window.get(), "actionClear_Output");
        QTRY_COMPARE(dock->windowTitle(), QStringLiteral("Error"));
    }

    // The view's context menu and what its entries do; a double click fits the drawing too.
    void svgActions_data()
    {
        QTest::addColumn<QString>("how"); // the entry chosen, or "double-click"
        QTest::addColumn<bool>("fits");   // the whole drawing is in view, smaller than its own size
        QTest::newRow("Fit to Window") << "Fit to Window" << true;
        QTest::newRow("double-click") << "double-click" << true;
        QTest::newRow("Actual Size") << "Actual Size" << false;
        QTest::newRow("Copy as Image") << "Copy as Image" << false;
    }
    void svgActions()
    {
        QFETCH(QString, how);
        SvgView view;
        view.resize(300, 200);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        view.load(QString::fromLatin1(drawing));
        view.scale(1.5, 1.5);
        QApplication::clipboard()->clear();
        QSignalSpy copied(&view, &SvgView::imageCopied);
        if (how == QLatin1String("double-click")) {
            QTest::mouseDClick(view.viewport(), Qt::LeftButton, {}, QPoint(50, 50));
        } else {
            QStringList entries;
            QTimer::singleShot(0, [&] {
                auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
                for (QAction* action : menu ? menu->actions() : QList<QAction*>()) {
                    entries << action->text();
                    if (action->text().remove('&') == how)
                        action->trigger();
                }
                if (menu)
                    menu->close();
            });
            QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(10, 10),
                                    view.mapToGlobal(QPoint(10, 10)));
            QApplication::sendEvent(view.viewport(), &event);
            QCOMPARE(entries, QStringList({"&Save As...", "&Fit to Window", "&Actual Size",
                                           "&Copy as Image"}));
        }
        QCoreApplication::processEvents(); // the scroll bars follow the new scale
        const QRect shown = view.mapFromScene(QRectF(0, 0, 800, 600)).boundingRect();
        QTEST(view.viewport()->rect().adjusted(-1, -1, 1, 1).contains(shown), "fits");
        if (how == QLatin1String("Actual Size"))
            QCOMPARE(view.transform().m11(), 1.0);
        if (how == QLatin1String("Copy as Image")) {
            // The copy may already have arrived with the events processed above.
            QTRY_COMPARE_WITH_TIMEOUT(copied.count(), 1, 10000);
            const QImage image = QApplication::clipboard()->image();
            QCOMPARE(image.size(), QSize(800, 600));
            QCOMPARE(QColor(image.pixel(400, 150)), QColor(QStringLiteral("#DEECD2")));
            QCOMPARE(QColor(image.pixel(400, 450)), QColor(Qt::white));
            QCOMPARE(view.transform().m11(), 1.5); // copying leaves the view alone
        }
        view.load(QString::fromLatin1(drawing)); // a new drawing starts at scale 1
        QVERIFY(view.transform().isIdentity());
    }

    void drawingAsSaved_data()
    {
        QTest::addColumn<QString>("name");
        for (const QString& path : graphGoldenFiles())
            QTest::newRow(qPrintable(QFileInfo(path).fileName())) << path;
    }
    // The view paints a graph from its layout; Qt's SVG renderer draws the document Save As
    // writes. Both take the font the drawing names, so they look alike whichever fonts the
    // machine has. Checked on what the view shows and on what Copy as Image renders.
    void drawingAsSaved()
    {
        QFETCH(QString, name);
        SvgView view;
        view.setDrawing(graphDrawing(hexMessage(name + ".hex")));
        QSvgRenderer renderer(view.text().toUtf8());
        QImage expected(renderer.defaultSize(), QImage::Format_ARGB32_Premultiplied);
        expected.fill(Qt::white);
        QPainter painter(&expected);
        renderer.render(&painter);
        painter.end();

        QImage shown(expected.size(), QImage::Format_ARGB32_Premultiplied);
        shown.fill(Qt::white);
        painter.begin(&shown);
        painter.setRenderHint(QPainter::Antialiasing);
        view.scene()->render(&painter, QRectF(), view.sceneRect());
        painter.end();
        const QImage copied = view.image();
        QCOMPARE(copied.size(), expected.size());
        // Measured: 11 to 17 with DejaVu Sans, 8 to 15 where Liberation stands in for it, 21 to
        // 28 where Nimbus Sans does; a missing text gives about 80, a text 2 units too low 45.
        for (const QImage& image : {shown, copied}) {
            const int worst = difference(expected, image);
            QVERIFY2(worst <= 36, qPrintable(QString::number(worst)));
        }
    }

    // Copy as Image: the latest request wins. Renders asked for while one runs do not pile up,
    // and the older drawing never reaches the clipboard, however long each render takes.
    void copyLatestWins()
    {
        GraphDrawing older, newer;
        older.size = QSize(900, 700);
        newer.size = QSize(300, 200);
        for (GraphDrawing* drawing : {&older, &newer}) {
            GraphBox box;
            box.rect = QRect(20, 50, 200, 36);
            box.lines = QStringList{"Level: 0 Op: 0x1: a b", "J:    <a \u2192 b>."};
            drawing->boxes.append(box);
        }
        SvgView view;
        QSignalSpy copied(&view, &SvgView::imageCopied);
        view.setDrawing(older);
        view.copyAsImage();
        view.setDrawing(newer);
        view.copyAsImage();
        view.copyAsImage();
        QVERIFY(view.isCopying());
        QVERIFY(copied.wait());
        QVERIFY(!view.isCopying()); // nothing else is on its way
        QCOMPARE(copied.count(), 1);
        QCOMPARE(QApplication::clipboard()->image().size(), newer.size);
    }

    void statementOf_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("statement");
        const char* rows[][3] = {
            {"conclusion with truth", "J1: <robin \u2192 animal>. %1.00;0.81%",
             "<robin \u2192 animal>"},
            {"first item", "J:    <robin \u2192 bird>.", "<robin \u2192 bird>"},
            {"truth in braces", "J2: <a \u2192 b>. {0.9 0.729}", "<a \u2192 b>"},
            {"derivation node", "<a \u2192 b> [Level: 0 ThreadId: 0 Gen#: 0 Proccess#: -1 ]",
             "<a \u2192 b>"},
            {"operation line", "Level: 0 Op: 0x1: deduction d", ""},
            {"empty node", " [Level: 0 ThreadId: -1 Gen#: -1 Proccess#: -1 ]", ""},
        };
        for (const auto& row : rows)
            QTest::newRow(row[0]) << QString(row[1]) << QString(row[2]);
    }
    void statementOf()
    {
        QFETCH(QString, line);
        QTEST(StatementLocator::statementOf(line), "statement");
    }

    void clickLeadsToStatement_data()
    {
        QTest::addColumn<int>("boxLine");
        QTest::addColumn<int>("tab"); // -1: nothing selected
        QTest::addColumn<QString>("selected");
        QTest::newRow("premise, first document") << 1 << 0 << "<robin \u2192 bird>.";
        QTest::newRow("conclusion, blanks differ") << 2 << 1 << "<robin\u2192animal>.";
        QTest::newRow("operation line") << 0 << -1 << "";
    }
    void clickLeadsToStatement()
    {
        QFETCH(int, boxLine);
        QFETCH(int, tab);
        auto window = shownWindow();
        for (const char* text :
             {"x.\n<robin \u2192 bird>.\n", "<robin\u2192animal>.\n<robin \u2192 bird>."}) {
            trigger(window.get(), "actionNew");
            window->currentEditor()->setPlainText(QString::fromUtf8(text));
        }
        auto* documents = child<QTabWidget>(window.get(), "tabWidget_3");
        documents->setCurrentIndex(-1 == tab ? 1 : 1 - tab);
        deliver(window.get(), inferenceGraph({1, 2}, 1,
                                             {{1, "<robin \xe2\x86\x92 bird>. %1.00;0.90%"},
                                              {2, "<robin \xe2\x86\x92 animal>. {1.0 0.81}"}},
                                             "deduction", "d"));
        auto* view = child<SvgView>(window.get(), "graphicsView2");
        qobject_cast<QDockWidget*>(view->parentWidget()->parentWidget())->raise();
        QTRY_VERIFY(view->isVisible());
        const int before = documents->currentIndex();
        // The box is at (20, 50); each of its lines is 18 high.
        const QPoint at = view->mapFromScene(QPointF(40, 50 + 18 * boxLine + 9));
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, at);
        if (tab < 0) {
            QCOMPARE(documents->currentIndex(), before);
            QVERIFY(!window->currentEditor()->textCursor().hasSelection());
            return;
        }
        QCOMPARE(documents->currentIndex(), tab);
        QTEST(window->currentEditor()->textCursor().selectedText(), "selected");
    }

    void tables_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<QByteArray>("expected"); // file or clipboard contents; empty: a warning
        QTest::newRow("Export CSV, quoting as RFC 4180 says")
            << "csv"
            << QByteArray("Term Id,Word\r\n2,\"a,b\"\r\n1,\"say \"\"hi\"\"\"\r\n3,\xce\xb2\r\n");
        QTest::newRow("Export CSV, unwritable") << "fail" << QByteArray();
        QTest::newRow("Copy selected rows") << "copy" << QByteArray("2\ta,b\n3\t\xce\xb2\n");
    }
    void tables()
    {
        QFETCH(QString, how);
        QFETCH(QByteArray, expected);
        auto window = makeWindow();
        deliver(window.get(), termTable('w', {{1, "say \"hi\""}, {2, "a,b"}, {3, "\xce\xb2"}}));
        auto* table = child<QTableWidget>(window.get(), "tableWidget_1");
        auto* menu = table->findChild<TableContextMenu*>();
        QVERIFY(menu);
        QTemporaryDir dir;
        const QString name = dir.filePath(how == QLatin1String("fail") ? "missing/words" : "words");
        DialogScript script;
        script.saveNames.push_back(name);
        if (how == QLatin1String("copy")) {
            table->setRangeSelected(QTableWidgetSelectionRange(0, 0, 0, 1), true);
            table->setRangeSelected(QTableWidgetSelectionRange(2, 0, 2, 1), true);
            menu->copyAction()->trigger();
            QCOMPARE(QApplication::clipboard()->text().toUtf8(), expected);
            return;
        }
        menu->exportAction()->trigger();
        if (expected.isEmpty()) {
            QCOMPARE(script.warnings.size(), 1);
            QVERIFY(script.warnings[0].text.startsWith(QStringLiteral("Cannot write file")));
            QVERIFY(!QFile::exists(name + QStringLiteral(".csv")));
            return;
        }
        QVERIFY(script.warnings.isEmpty());
        QCOMPARE(readBytes(name + QStringLiteral(".csv")), expected);
    }
};

QTEST_MAIN(TestViews)
#include "tst_views.moc"
