#include "questiontree.h"
#include "svgwriter.h"
#include "testmessages.h"

#include <QRect>
#include <QtTest>

namespace {

// A segment enters a rectangle's inside (its border excluded), by clipping the segment's
// parameter range against the four sides.
bool entersInside(QPointF a, QPointF b, const QRectF& box)
{
    double t0 = 0, t1 = 1;
    const double d[2] = {b.x() - a.x(), b.y() - a.y()};
    const double lo[2] = {box.left() + 0.5 - a.x(), box.top() + 0.5 - a.y()};
    const double hi[2] = {box.right() - 0.5 - a.x(), box.bottom() - 0.5 - a.y()};
    for (int k = 0; k < 2; ++k) {
        if (d[k] == 0) {
            if (lo[k] > 0 || hi[k] < 0)
                return false;
            continue;
        }
        double enter = lo[k] / d[k], leave = hi[k] / d[k];
        if (enter > leave)
            std::swap(enter, leave);
        t0 = qMax(t0, enter);
        t1 = qMin(t1, leave);
    }
    return t0 <= t1;
}

} // namespace

// The derivation tree's lines, checked on the layout's own numbers: each leaves its parent's
// box at the middle of its right border, ends at the base of the arrow head left of its child,
// and crosses no box on the way.
class TestQuestionLayout : public QObject {
    Q_OBJECT

private slots:
    void noEdgeCrossesABox_data()
    {
        QTest::addColumn<QString>("links");  // parent>child, in record order
        QTest::addColumn<QString>("levels"); // id:level for the nodes that have one
        const char* rows[][3] = {
            {"links only: one level for all", "0>1 0>2 1>3 1>4 3>5 2>6 0>7", ""},
            {"levels by depth", "0>1 0>2 1>3 2>4", "1:1 2:1 3:2 4:2"},
            {"a child one level down the same", "0>1 1>2 2>3", "1:4 2:4 3:4"},
            {"columns skipped", "0>1 0>2 1>3 2>4 4>5", "1:1 2:1 3:2 4:3 5:3"},
            {"levels going back", "0>1 1>2 1>3 3>4", "1:5 2:1 3:5 4:1"},
            {"root children in later columns", "0>1 1>2 0>3", "1:1 2:2 3:1"},
            {"narrow parent, wide neighbours", "0>1 0>2 0>3 2>4 3>5", "1:1 2:1 3:1 4:2 5:2"},
        };
        for (const auto& row : rows)
            QTest::newRow(row[0]) << QString(row[1]) << QString(row[2]);
        QString wide; // a full tree of three children per node, links only
        for (int i = 1; i <= 300; ++i)
            wide += QStringLiteral("%1>%2 ").arg((i - 1) / 3).arg(i);
        QTest::newRow("300 boxes") << wide << "";
    }
    void noEdgeCrossesABox()
    {
        QFETCH(QString, links);
        QFETCH(QString, levels);
        const QStringList pairs = links.split(' ', Qt::SkipEmptyParts);
        const QStringList attributes = levels.split(' ', Qt::SkipEmptyParts);
        MessageBuilder message('q');
        message.u32(8).u32(pairs.size()).u32(1).u32(attributes.size());
        for (const QString& pair : pairs)
            message.u64(pair.section('>', 0, 0).toULongLong())
                .u64(pair.section('>', 1).toULongLong());
        message.u64(2).text("a label long enough to be the widest box of its column");
        for (const QString& attribute : attributes)
            message.u64(attribute.section(':', 0, 0).toULongLong())
                .u64(attribute.section(':', 1).toULongLong() << 8);
        const QuestionTree tree =
            decodeQuestionTree(message.bytes.constData(), message.bytes.size());
        const QuestionTreeLayout layout = layoutQuestionTree(tree);
        QCOMPARE(layout.routes.size(), layout.edges.size());

        int segments = 0;
        for (int i = 0; i < layout.edges.size(); ++i) {
            const DerivationNode parent = layout.nodes.value(layout.edges.at(i).parent);
            const DerivationNode child = layout.nodes.value(layout.edges.at(i).child);
            const QVector<QPoint>& route = layout.routes.at(i);
            QCOMPARE(route.first(), QPoint(parent.x + parent.width, parent.y + 9));
            QCOMPARE(route.last(), QPoint(child.x - 9, child.y + 9));
            segments += route.size() - 1;
            for (int k = 1; k < route.size(); ++k) {
                for (quint64 id : layout.order) {
                    const DerivationNode box = layout.nodes.value(id);
                    QVERIFY2(!entersInside(route.at(k - 1), route.at(k),
                                           QRectF(box.x, box.y, box.width, box.height)),
                             qPrintable(QStringLiteral("edge %1 crosses box %2").arg(i).arg(id)));
                }
            }
        }
        // The drawing follows the layout: one line per segment.
        QCOMPARE(svgDocument(questionTreeDrawing(tree)).count(QLatin1String("<line ")), segments);
    }
};

QTEST_GUILESS_MAIN(TestQuestionLayout)
#include "tst_questionlayout.moc"
