#include "svgbuilder.h"

#include <QtTest>

class TestSvgBuilder : public QObject {
    Q_OBJECT

private slots:
    void singleLineBox_data();
    void singleLineBox();
    void multiLineBox_data();
    void multiLineBox();
    void fragments();
};

static const QString rectEnd = QStringLiteral("  rx=\"6\" ry=\"6\" stroke=\"");
static const QString textStart =
    QStringLiteral(" font-family=\"DejaVu Sans\" font-size=\"11\" fill=\"#435059\">");

void TestSvgBuilder::singleLineBox_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("x");
    QTest::addColumn<int>("y");
    QTest::addColumn<int>("flags");
    QTest::addColumn<int>("width");
    QTest::addColumn<QString>("fragment");

    const QString fifty(50, QLatin1Char('x'));
    const QString fiftyOne(51, QLatin1Char('y'));
    QTest::newRow("50 chars, flags 12: green")
        << fifty << 0 << 0 << 12 << 400
        << "<g>\n\t<rect x=\"0\" y=\"0\" width=\"400\" height=\"18\"" + rectEnd +
               "#9BC577\" fill=\"#DEECD2\"></rect>\n\t<text x=\"5\" y=\"12\"" + textStart + fifty +
               "</text>\n</g>\n";
    QTest::newRow("51 chars, flags 4: yellow, negative x")
        << fiftyOne << -5 << 7 << 4 << 331
        << "<g>\n\t<rect x=\"-5\" y=\"7\" width=\"331\" height=\"18\"" + rectEnd +
               "#FFE579\" fill=\"#FFF6D3\"></rect>\n\t<text x=\"0\" y=\"19\"" + textStart +
               fiftyOne + "</text>\n</g>\n";
    // "<" arrives escaped and counts as its four-character entity.
    QTest::newRow("escaped <, flags 2: grey")
        << "a&lt;b" << 100 << 20 << 2 << 48
        << "<g>\n\t<rect x=\"100\" y=\"20\" width=\"48\" height=\"18\"" + rectEnd +
               "#8F969C\" fill=\"#DADDDE\"></rect>\n\t<text x=\"105\" y=\"32\"" + textStart +
               "a&lt;b</text>\n</g>\n";
    QTest::newRow("empty") << QString() << 1 << 2 << 0 << 0
                           << "<g>\n\t<rect x=\"1\" y=\"2\" width=\"0\" height=\"18\"" + rectEnd +
                                  "#8F969C\" fill=\"#DADDDE\"></rect>\n\t<text x=\"6\" y=\"14\"" +
                                  textStart + "</text>\n</g>\n";
}

void TestSvgBuilder::singleLineBox()
{
    QFETCH(QString, text);
    QFETCH(int, x);
    QFETCH(int, y);
    QFETCH(int, flags);
    const BoxColours& colours = boxColoursForFlags(static_cast<quint8>(flags));
    int width = -1;
    int height = -1;
    QTEST(::singleLineBox(text, x, y, width, height, colours.stroke, colours.fill), "fragment");
    QTEST(width, "width");
    QCOMPARE(height, 18);
}

void TestSvgBuilder::multiLineBox_data()
{
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::addColumn<QString>("fragment");

    const QString rect =
        QStringLiteral("<g>\n\t<rect x=\"20\" y=\"50\" width=\"%1\" height=\"%2\"") + rectEnd +
        QStringLiteral("#787878\" fill=\"#FFFFD7\"></rect>\n");
    // The longest line decides the width, the escaped ampersand counting five.
    QTest::newRow("three lines") << QStringList{"Level: 0", "J:    a&amp;b", "z"} << 104 << 54
                                 << rect.arg(104).arg(54) + "<text x=\"25\" y=\"62\"" + textStart +
                                        "Level: 0</text>\n" + "<text x=\"25\" y=\"80\"" +
                                        textStart + "J:    a&amp;b</text>\n" +
                                        "<text x=\"25\" y=\"98\"" + textStart + "z</text>\n</g>\n";
    QTest::newRow("51 chars") << QStringList{QString(51, 'q')} << 331 << 18
                              << rect.arg(331).arg(18) + "<text x=\"25\" y=\"62\"" + textStart +
                                     QString(51, 'q') + "</text>\n</g>\n";
    QTest::newRow("no lines") << QStringList() << 0 << 0 << rect.arg(0).arg(0) + "</g>\n";
}

void TestSvgBuilder::multiLineBox()
{
    QFETCH(QStringList, lines);
    int width = -1;
    int height = -1;
    QTEST(::multiLineBox(lines, 20, 50, width, height), "fragment");
    QTEST(width, "width");
    QTEST(height, "height");
}

void TestSvgBuilder::fragments()
{
    QCOMPARE(arrowHead(100, 20), "<path d=\"M91, 25 L91, 34 L99, 29 L91, 25\" fill=\"#435059\" />");
    QCOMPARE(arrowHead(0, -10), "<path d=\"M-9, -5 L-9, 4 L-1, -1 L-9, -5\" fill=\"#435059\" />");
    QCOMPARE(
        edgeLine(55, 89, 76, 59),
        "<line x1=\"55\" y1=\"89\" x2=\"76\" y2=\"59\" stroke=\"#435059\" stroke-width=\"1\" />\n");
    QCOMPARE(svgDocumentStart(80, 40) + svgDocumentEnd(),
             "<svg width=\"80\" height=\"40\" xmlns=\"http://www.w3.org/2000/svg\" "
             "version=\"1.1\">\n</svg>");
}

QTEST_GUILESS_MAIN(TestSvgBuilder)
#include "tst_svgbuilder.moc"
