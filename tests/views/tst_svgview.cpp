// SvgView: loading, zooming and saving.

#include "dialogs.h"
#include "svgview.h"

#include <QGraphicsScene>
#include <QGraphicsSvgItem>
#include <QTemporaryDir>
#include <QWheelEvent>
#include <QtTest>

namespace {

QString document(int width, int height, const QString& body = QString())
{
    return QStringLiteral("<svg width=\"%1\" height=\"%2\" xmlns=\"http://www.w3.org/2000/svg\" "
                          "version=\"1.1\">\n%3</svg>")
        .arg(width)
        .arg(height)
        .arg(body);
}

void wheel(SvgView& view, int delta)
{
    const QPointF centre = view.viewport()->rect().center();
    QWheelEvent event(centre, view.viewport()->mapToGlobal(centre.toPoint()), QPoint(),
                      QPoint(0, delta), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(view.viewport(), &event);
}

} // namespace

class TestSvgView : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void cleanup()
    {
        Dialogs::setSaveFileNameResponder({});
        Dialogs::setWarningResponder({});
    }

    void loadReplacesDrawingAndResetsZoom();
    void wheelZoomsByPowersOf12();
    void saveAsNames_data();
    void saveAsNames();
    void saveAsWritesExactTextAsUtf8();
    void saveAsBeforeLoadWritesEmptyFile();
    void saveAsCancelledOrUnwritable();
};

void TestSvgView::loadReplacesDrawingAndResetsZoom()
{
    SvgView view;
    view.resize(300, 200);
    view.load(document(100, 50));
    QCOMPARE(view.scene()->items().size(), 1);
    auto* first = qgraphicsitem_cast<QGraphicsSvgItem*>(view.scene()->items().first());
    QVERIFY(first);
    QCOMPARE(first->boundingRect().size(), QSizeF(100, 50));

    wheel(view, 240);
    QVERIFY(!view.transform().isIdentity());

    const QString second =
        document(220, 80, QStringLiteral("<rect width=\"10\" height=\"10\"/>\n"));
    view.load(second);
    QCOMPARE(view.scene()->items().size(), 1);
    auto* item = qgraphicsitem_cast<QGraphicsSvgItem*>(view.scene()->items().first());
    QVERIFY(item);
    QCOMPARE(item->boundingRect().size(), QSizeF(220, 80));
    QCOMPARE(item->pos(), QPointF(0, 0));
    QVERIFY(view.transform().isIdentity());
    QCOMPARE(view.text(), second);

    // Text the renderer cannot read leaves an empty drawing and no complaint.
    view.load(QStringLiteral("not svg"));
    QCOMPARE(view.scene()->items().size(), 1);
    QCOMPARE(view.text(), QStringLiteral("not svg"));
}

void TestSvgView::wheelZoomsByPowersOf12()
{
    SvgView view;
    view.resize(300, 200);
    view.load(document(100, 50));
    wheel(view, 120);
    QVERIFY(qAbs(view.transform().m11() - std::sqrt(1.2)) < 1e-9);
    QVERIFY(qAbs(view.transform().m22() - std::sqrt(1.2)) < 1e-9);
    wheel(view, -120);
    QVERIFY(qAbs(view.transform().m11() - 1.0) < 1e-9);
    wheel(view, 240);
    QVERIFY(qAbs(view.transform().m11() - 1.2) < 1e-9);
}

void TestSvgView::saveAsNames_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("written");
    QTest::newRow("no suffix") << "graph"
                               << "graph.svg";
    QTest::newRow("svg.txt") << "graph.svg.txt"
                             << "graph.svg.txt.svg";
    QTest::newRow("upper case") << "graph.SVG"
                                << "graph.SVG";
    QTest::newRow("mixed case") << "graph.Svg"
                                << "graph.Svg";
    QTest::newRow("already .svg") << "graph.svg"
                                  << "graph.svg";
}

void TestSvgView::saveAsNames()
{
    QFETCH(QString, typed);
    QFETCH(QString, written);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QString caption;
    QString filter;
    Dialogs::setSaveFileNameResponder([&](const QString& c, const QString& f) {
        caption = c;
        filter = f;
        return dir.filePath(typed);
    });
    SvgView view;
    view.load(document(10, 10));
    QVERIFY(view.saveAs());
    QCOMPARE(caption, QStringLiteral("Save as..."));
    QCOMPARE(filter, QStringLiteral("SVG Files (*.svg)"));
    QVERIFY(QFileInfo::exists(dir.filePath(written)));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{written});
}

void TestSvgView::saveAsWritesExactTextAsUtf8()
{
    QTemporaryDir dir;
    const QString text =
        document(10, 10, QStringLiteral("<text>bird \u2192 animal &amp; \u22d9</text>\n"));
    Dialogs::setSaveFileNameResponder(
        [&](const QString&, const QString&) { return dir.filePath(QStringLiteral("g")); });
    SvgView view;
    view.load(text);
    QVERIFY(view.saveAs());
    QFile file(dir.filePath(QStringLiteral("g.svg")));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), text.toUtf8());
}

void TestSvgView::saveAsBeforeLoadWritesEmptyFile()
{
    QTemporaryDir dir;
    Dialogs::setSaveFileNameResponder(
        [&](const QString&, const QString&) { return dir.filePath(QStringLiteral("e.svg")); });
    SvgView view;
    QVERIFY(view.saveAs());
    QFileInfo info(dir.filePath(QStringLiteral("e.svg")));
    QVERIFY(info.exists());
    QCOMPARE(info.size(), qint64(0));
}

void TestSvgView::saveAsCancelledOrUnwritable()
{
    QTemporaryDir dir;
    SvgView view;
    view.load(document(10, 10));
    Dialogs::setSaveFileNameResponder([](const QString&, const QString&) { return QString(); });
    QVERIFY(!view.saveAs());
    QVERIFY(QDir(dir.path()).entryList(QDir::Files).isEmpty());
    Dialogs::setSaveFileNameResponder([&](const QString&, const QString&) {
        return dir.filePath(QStringLiteral("missing/folder/g.svg"));
    });
    QString warning;
    Dialogs::setWarningResponder([&](const QString&, const QString& text, auto) {
        warning = text;
        return QMessageBox::Ok;
    });
    QVERIFY(!view.saveAs());
    QVERIFY(warning.startsWith(QStringLiteral("Cannot write file ") +
                               QDir::toNativeSeparators(dir.filePath("missing/folder/g.svg"))));
}

QTEST_MAIN(TestSvgView)
#include "tst_svgview.moc"
