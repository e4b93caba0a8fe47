#include "editor/curve/joins.h"

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
};

using Arcs = std::array<ArcParameters, 4>;

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

QTEST_MAIN(tst_Joins)
#include "tst_joins.moc"
