#include "editor/curve/arc.h"

#include <QPointF>
#include <QTest>

#include <limits>
#include <vector>

Q_DECLARE_METATYPE(ArcParameters)

namespace {

// The default chord AB, from A (15, 15) to B (60, 70).
ArcParameters chordAB(double SPTX = 0, double SPTY = 0, double AVAX = 0, double AVAY = 0)
{
    return {45, 55, SPTX, SPTY, 15, 15, AVAX, AVAY};
}

std::vector<QPointF> walk(const ArcParameters &arc, double INST)
{
    ArcFrame frame; // CX 430, CY 425: bounds |x| <= 530, |y| <= 425
    frame.INST = INST;
    std::vector<QPointF> points;
    const int plotted = walkArc(arc, frame, [&](double x, double y) { points.emplace_back(x, y); });
    if (plotted != int(points.size()))
        qFatal("walkArc counted %d points, plotted %zu", plotted, points.size());
    return points;
}

} // namespace

class tst_Arc : public QObject
{
    Q_OBJECT

private slots:
    void workedValues_data();
    void workedValues();
    void pointCount_data();
    void pointCount();
    void zeroLengthChord();
    void bounds_data();
    void bounds();
    void hugeIncrementStillEnds();
};

void tst_Arc::workedValues_data()
{
    QTest::addColumn<ArcParameters>("arc");
    QTest::addColumn<int>("theta");
    QTest::addColumn<QPointF>("point");

    QTest::newRow("straight, 45") << chordAB() << 45 << QPointF(37.5, 81.3909);
    QTest::newRow("straight, 60: y above the end") << chordAB() << 60 << QPointF(48.75, 86.4471);
    QTest::newRow("straight, 90: the end") << chordAB() << 90 << QPointF(60, 70);
    QTest::newRow("ALFA 1, 45") << chordAB(100, 50, 1, 1) << 45 << QPointF(87.5, 106.3909);
    QTest::newRow("ALFA 2, 45") << chordAB(100, 50, 2, 2) << 45 << QPointF(108.2107, 116.7462);
    QTest::newRow("bent, 90: the end") << chordAB(100, 50, 2, 2) << 90 << QPointF(60, 70);
    QTest::newRow("ALFA -1 mirrors") << chordAB(100, 50, -1, -1) << 45 << QPointF(-12.5, 56.3909);
}

void tst_Arc::workedValues()
{
    QFETCH(ArcParameters, arc);
    QFETCH(int, theta);
    QFETCH(QPointF, point);

    // At INST 1 the angles are 0, 1, ..., 90, and angle 0 is not plotted.
    const QPointF p = walk(arc, 1).at(std::size_t(theta - 1));
    QVERIFY(std::abs(p.x() - point.x()) < 1e-4);
    QVERIFY(std::abs(p.y() - point.y()) < 1e-4);
}

void tst_Arc::pointCount_data()
{
    QTest::addColumn<double>("INST");
    QTest::addColumn<int>("plotted");
    QTest::addColumn<bool>("endsOnB");

    QTest::newRow("1") << 1.0 << 90 << true;
    QTest::newRow("4: step 0.25 adds up to 90") << 4.0 << 360 << true;
    QTest::newRow("5: the sum stops at 89.8") << 5.0 << 449 << false;
    QTest::newRow("0.01: only angle 0") << 0.01 << 0 << false;
    QTest::newRow("negative") << -5.0 << 0 << false;
}

void tst_Arc::pointCount()
{
    QFETCH(double, INST);
    QFETCH(int, plotted);
    QFETCH(bool, endsOnB);

    const std::vector<QPointF> points = walk(chordAB(), INST);
    QCOMPARE(int(points.size()), plotted);
    if (plotted)
        QCOMPARE((points.back() - QPointF(60, 70)).manhattanLength() < 1e-5, endsOnB);
}

void tst_Arc::zeroLengthChord()
{
    const std::vector<QPointF> points = walk({0, 0, 0, 0, 20, -30, 1, 1}, 5);
    QCOMPARE(points.size(), std::size_t(449));
    for (const QPointF &p : points)
        QCOMPARE(p, QPointF(20, -30));
}

void tst_Arc::bounds_data()
{
    QTest::addColumn<ArcParameters>("arc");
    QTest::addColumn<int>("plotted"); // at INST 1

    // A chord of zero length puts all 90 points on its start: the tests are strict.
    const auto at = [](double x, double y) { return ArcParameters{0, 0, 0, 0, x, y, 0, 0}; };
    QTest::newRow("x at +530") << at(530, 0) << 90;
    QTest::newRow("x at -530") << at(-530, 0) << 90;
    QTest::newRow("x beyond +530") << at(530.001, 0) << 0;
    QTest::newRow("y at +CY") << at(0, 425) << 90;
    QTest::newRow("y at -CY") << at(0, -425) << 90;
    QTest::newRow("y beyond -CY") << at(0, -425.001) << 0;
    // y = 15 + 55 sin θ (1 + cos θ) + 1000 sin 2θ leaves after 11 degrees and is back inside
    // by 85; the rest of the arc stays missing.
    QTest::newRow("cut above") << chordAB(0, 2000, 0, 1) << 11;
    // x = 15 + 45 sin² θ - 1200 sin 2θ passes -530 after 13 degrees.
    QTest::newRow("cut left") << chordAB(-2400, 0, 1, 0) << 13;
    constexpr double inf = std::numeric_limits<double>::infinity();
    // inf - inf is NaN, which no bound catches.
    QTest::newRow("not a number") << ArcParameters{inf, 0, -inf, 0, 0, 0, 1, 0} << 0;
    // θ × ALFA overflows at 2 degrees: the sine is NaN though nothing displaces the arc.
    QTest::newRow("ALFA overflows") << ArcParameters{0, 0, 0, 0, 0, 0, 1e308, 0} << 1;
}

void tst_Arc::bounds()
{
    QFETCH(ArcParameters, arc);
    QFETCH(int, plotted);

    QCOMPARE(int(walk(arc, 1).size()), plotted);
}

void tst_Arc::hugeIncrementStillEnds()
{
    // One step fewer when the sum falls short of 90, but never cut below the densest arc
    // the editor accepts; far beyond it the step would not even move the angle.
    const int densest = int(90 * maximumPointsIncrement);
    for (double INST : {maximumPointsIncrement, 1e9, 1e300}) {
        const int plotted = int(walk(chordAB(), INST).size());
        QVERIFY2(plotted >= densest - 1 && plotted <= densest + 1,
                 qPrintable(QString::number(INST)));
    }
}

QTEST_MAIN(tst_Arc)
#include "tst_arc.moc"
