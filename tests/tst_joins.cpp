#include "common/numbers.h"
#include "editor/curve/joins.h"
#include "editor/curve/smoothing.h"

#include <QRandomGenerator>
#include <QTest>

#include <cmath>
#include <numbers>

// The arcs' derivatives and the turns at the joins, from the closed forms, against numbers
// taken from the arcs' own points.
class tst_Joins : public QObject
{
    Q_OBJECT

private slots:
    void derivativesMatchTheArcsPoints();
    void turnsAtTheJoins_data();
    void turnsAtTheJoins();
    void smoothing_data();
    void smoothing();
};

using Arcs = std::array<ArcParameters, 4>;
using Points = std::array<double, 10>; // A to E, x then y
Q_DECLARE_METATYPE(std::optional<Segment>)

namespace {

ArcParameters randomArc(QRandomGenerator &random)
{
    auto between = [&](double low, double high) {
        return low + random.generateDouble() * (high - low);
    };
    return {.ASQ = between(-300, 300),
            .ASM = between(-300, 300),
            .SPTX = std::round(between(-850, 850)),
            .SPTY = std::round(between(-500, 500)),
            .X9 = between(-100, 100),
            .Y9 = between(-100, 100),
            .AVAX = between(-4, 4),
            .AVAY = between(-4, 4)};
}

double distance(QPointF a, QPointF b)
{
    return std::hypot(a.x() - b.x(), a.y() - b.y());
}

} // namespace

void tst_Joins::derivativesMatchTheArcsPoints()
{
    QRandomGenerator random(20261209);
    const double h = 1e-5;
    for (int i = 0; i < 200; ++i) {
        const ArcParameters arc = randomArc(random);
        const double t = random.generateDouble() * std::numbers::pi / 2;
        const ArcDerivatives d = arcDerivatives(arc, t), before = arcDerivatives(arc, t - h),
                             after = arcDerivatives(arc, t + h);
        const QPointF first = (after.point - before.point) / (2 * h);
        const QPointF second = (after.point - 2 * d.point + before.point) / (h * h);
        const double size =
            1 + std::abs(arc.SPTX) + std::abs(arc.SPTY) + std::abs(arc.ASQ) + std::abs(arc.ASM);
        QVERIFY2(distance(d.first, first) < 1e-6 * size * 20 &&
                     distance(d.second, second) < 1e-2 * size,
                 qPrintable(QString::number(i)));
    }
}

void tst_Joins::turnsAtTheJoins_data()
{
    QTest::addColumn<Arcs>("arcs");
    QTest::addColumn<QList<double>>("turns"); // -1 where the direction does not exist
    // The default points (15,15) (60,70) (140,20) (188,40) (150,90): unbent arcs start and end
    // vertical, arriving against their chord's rise and leaving along twice it, so B and C are
    // smooth and D a cusp.
    const double X[] = {15, 60, 140, 188, 150}, Y[] = {15, 70, 20, 40, 90};
    Arcs unbent;
    for (std::size_t i = 0; i < 4; ++i)
        unbent[i] = {.ASQ = X[i + 1] - X[i], .ASM = Y[i + 1] - Y[i], .X9 = X[i], .Y9 = Y[i]};
    QTest::newRow("unbent") << unbent << QList<double>{0, 0, 180};
    // A level chord with an arc whose vertical ALFA is 2 stops dead at its end; it leaves B
    // upwards, against AB's arrival.
    Arcs still = unbent;
    still[1].ASM = 0;
    still[1].SPTY = 40;
    still[1].AVAY = 2;
    QTest::newRow("standstill at C") << still << QList<double>{180, -1, 180};
}

void tst_Joins::turnsAtTheJoins()
{
    QFETCH(const Arcs, arcs);
    QFETCH(const QList<double>, turns);
    const std::array<Join, 3> joins = joinsOf(arcs);
    for (std::size_t i = 0; i < joins.size(); ++i) {
        if (turns[qsizetype(i)] < 0) {
            QVERIFY(!joins[i].turn && joins[i].arrivingStill);
            continue;
        }
        QVERIFY(joins[i].turn);
        QVERIFY2(std::abs(*joins[i].turn - turns[qsizetype(i)]) < 1e-9,
                 qPrintable(QString::number(*joins[i].turn)));
    }

    // Bent at random, each turn agrees with the directions of the arcs' points next to the join.
    QRandomGenerator random(7);
    for (int n = 0; n < 100; ++n) {
        std::array<ArcParameters, 4> bent;
        for (ArcParameters &arc : bent)
            arc = randomArc(random);
        const std::array<Join, 3> found = joinsOf(bent);
        for (std::size_t i = 0; i < found.size(); ++i) {
            const double e = 1e-7;
            const QPointF in = arcDerivatives(bent[i], std::numbers::pi / 2).point -
                               arcDerivatives(bent[i], std::numbers::pi / 2 - e).point;
            const QPointF out =
                arcDerivatives(bent[i + 1], e).point - arcDerivatives(bent[i + 1], 0).point;
            const double expected = std::atan2(std::abs(in.x() * out.y() - in.y() * out.x()),
                                               in.x() * out.x() + in.y() * out.y()) *
                                    180 / std::numbers::pi;
            QVERIFY(found[i].turn);
            QVERIFY2(std::abs(*found[i].turn - expected) < 1e-3,
                     qPrintable(QStringLiteral("%1 against %2").arg(*found[i].turn).arg(expected)));
        }
    }
}

namespace {

BasePoints basePoints(const Points &xy)
{
    BasePoints points;
    for (std::size_t i = 0; i < 5; ++i) {
        points.X[i] = Variant::real(xy[2 * i]);
        points.Y[i] = Variant::real(xy[2 * i + 1]);
    }
    return points;
}

const Points defaultPoints = {15, 15, 60, 70, 140, 20, 188, 40, 150, 90};

// Why a smoothed table breaks the rules, or nothing: each join the free rows touch turns by
// less than 0.05 degrees; a free row that changed has whole displacements within the captions'
// ranges, as a bar holds them, and increments that the checks take and that their boxes give
// back exactly; no free arc comes down to a fifth of its chord in speed; the other rows are as
// they were.
QString faultOf(const BasePoints &points, const SegmentTable &before, const SegmentTable &after,
                std::optional<Segment> only)
{
    Arcs arcs;
    for (Segment segment : segments) {
        const auto i = static_cast<std::size_t>(segment);
        const SegmentValues row = after.row(segment), was = before.row(segment);
        arcs[i] = segmentArc(points, segment, row);
        const bool kept =
            row.SPX == was.SPX && row.SPY == was.SPY && row.AVX == was.AVX && row.AVY == was.AVY;
        if (only && *only != segment) {
            if (!kept)
                return segmentName(segment) + " changed";
            continue;
        }
        for (const auto &[value, limit] : {std::pair(row.SPX, 850), std::pair(row.SPY, 500)})
            if (!kept &&
                (value.kind() != Variant::Kind::Integer || std::abs(value.toDouble()) > limit))
                return segmentName(segment) + " displacement " + value.toText();
        for (const Variant &increment : {row.AVX, row.AVY}) {
            const QString shown = increment.toText();
            if (!kept && (!checkIncrement(shown, "AVX").message.isEmpty() ||
                          parseNumber(shown) != increment.toDouble()))
                return segmentName(segment) + " increment " + shown;
        }
        const double slowest = std::hypot(arcs[i].ASQ, arcs[i].ASM) / 5;
        for (int k = 0; k <= 4096; ++k) {
            const QPointF v = arcDerivatives(arcs[i], std::numbers::pi / 2 * k / 4096).first;
            if (std::hypot(v.x(), v.y()) < slowest * (1 - 1e-9))
                return segmentName(segment) + " stands still";
        }
    }
    const std::array<Join, 3> joins = joinsOf(arcs);
    for (std::size_t j = 0; j < joins.size(); ++j) {
        const bool touched = !only || static_cast<std::size_t>(*only) == j ||
                             static_cast<std::size_t>(*only) == j + 1;
        if (touched && !(joins[j].turn && *joins[j].turn < 0.05))
            return QStringLiteral("join %1 turns %2").arg(j).arg(joins[j].turn.value_or(-1));
    }
    return {};
}

} // namespace

void tst_Joins::smoothing_data()
{
    QTest::addColumn<Points>("points");
    QTest::addColumn<std::optional<Segment>>("only");
    QTest::addColumn<bool>("possible");
    QTest::newRow("default curve") << defaultPoints << std::optional<Segment>() << true;
    QTest::newRow("default curve, CD alone") << defaultPoints << std::optional(Segment::CD) << true;
    QTest::newRow("default curve, DE alone") << defaultPoints << std::optional(Segment::DE) << true;
    // BC rises by 5000: within the bars it can only leave B upwards, and AB arrives going down.
    QTest::newRow("BC too long to turn")
        << Points{0, 0, 10, 100, 20, 5100, 188, 40, 150, 90} << std::optional(Segment::BC) << false;
}

void tst_Joins::smoothing()
{
    QFETCH(const Points, points);
    QFETCH(const std::optional<Segment>, only);
    QFETCH(const bool, possible);
    const BasePoints base = basePoints(points);
    const std::optional<SegmentTable> smoothed = smoothedTable(base, SegmentTable(), only);
    QCOMPARE(smoothed.has_value(), possible);
    if (!smoothed)
        return;
    const QString fault = faultOf(base, SegmentTable(), *smoothed, only);
    QVERIFY2(fault.isEmpty(), qPrintable(fault));
    if (!only) {
        // The cusp at D is undone where it is cheapest: CD's vertical displacement reverses
        // its arrival, and the other rows hardly move.
        QVERIFY(smoothed->SPYCD.toDouble() < -20);
        for (const Variant &other : {smoothed->SPXAB, smoothed->SPYAB, smoothed->SPXBC,
                                     smoothed->SPYBC, smoothed->SPXDE, smoothed->SPYDE})
            QVERIFY(std::abs(other.toDouble()) <= 5);
    }

    // The same rules on a seeded table of bent curves. The solver finds values for nearly all
    // when every row may change; one row alone must often meet two joins it cannot reach.
    QRandomGenerator random(20261209 + int(only.value_or(Segment::AB)) + (only ? 1 : 0));
    int found = 0;
    const int curves = 16;
    for (int n = 0; n < curves; ++n) {
        Points xy;
        for (double &value : xy)
            value = random.bounded(200);
        SegmentTable table;
        for (Segment segment : segments)
            table.setRow(segment, {Variant::integer(std::int16_t(random.bounded(-300, 300))),
                                   Variant::integer(std::int16_t(random.bounded(-300, 300))),
                                   Variant::real(random.bounded(1, 4)),
                                   Variant::real(random.bounded(1, 4))});
        const std::optional<SegmentTable> result = smoothedTable(basePoints(xy), table, only);
        if (!result)
            continue;
        ++found;
        const QString fault = faultOf(basePoints(xy), table, *result, only);
        QVERIFY2(fault.isEmpty(), qPrintable(QStringLiteral("curve %1: ").arg(n) + fault));
    }
    QVERIFY2(found >= (only ? curves / 4 : curves * 3 / 4), qPrintable(QString::number(found)));
}

QTEST_MAIN(tst_Joins)
#include "tst_joins.moc"
