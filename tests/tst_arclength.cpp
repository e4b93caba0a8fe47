#include "common/numbers.h"
#include "editor/curve/arclength.h"
#include "testcurves.h"

#include <QTest>

#include <cmath>
#include <numbers>

Q_DECLARE_METATYPE(ArcParameters)

// The arcs' lengths from their closed form, against a quadrature of the test's own.
class tst_ArcLength : public QObject
{
    Q_OBJECT

private slots:
    void init() { QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy)); }
    void cleanup() { QLocale::setDefault(QLocale::c()); }
    void lengthOfTheClosedForm_data();
    void lengthOfTheClosedForm();
    void curveLengthsAndTheirText();
};

namespace {

// The length of a polyline through a million points of the arc, written from its formula: its
// shortfall, some 1e-13 of the length for these arcs, is far below what is asked.
double polylineLength(const ArcParameters &a)
{
    constexpr int count = 1 << 20;
    auto at = [&](double t) {
        const double s = std::sin(t), c = std::cos(t);
        return QPointF(a.X9 + a.ASQ * s * s + a.SPTX * c * std::sin(a.AVAX * t),
                       a.Y9 + a.ASM * s * (1 + c) + a.SPTY * c * std::sin(a.AVAY * t));
    };
    double length = 0;
    QPointF previous = at(0);
    for (int i = 1; i <= count; ++i) {
        const QPointF p = at(std::numbers::pi / 2 * i / count);
        length += std::hypot(p.x() - previous.x(), p.y() - previous.y());
        previous = p;
    }
    return length;
}

} // namespace

void tst_ArcLength::lengthOfTheClosedForm_data()
{
    QTest::addColumn<ArcParameters>("arc");
    auto row = [](const char *name, ArcParameters arc) { QTest::newRow(name) << arc; };
    row("default AB", {45, 55, 0, 0, 15, 15, 0, 0});
    row("bent", {45, 55, 100, 50, 15, 15, 1, 1});
    row("waving, mirrored", {45, 55, 300, -200, 15, 15, 3, -2.5});
    row("standing still at its end", {80, 0, 0, 0, 0, 0, 0, 0});
    row("a loop", {10, 5, -400, 350, 0, 0, 2, 1.7});
    row("far from the origin", {45, 55, 100, 50, 1e6, -1e6, 1, 2});
    row("a chord of nothing", {0, 0, 0, 0, 15, 15, 1, 1});
}

void tst_ArcLength::lengthOfTheClosedForm()
{
    QFETCH(ArcParameters, arc);
    const double expected = polylineLength(arc);
    const double length = arcLength(arc);
    // A hundredth of a millimetre at 1000 mm a unit, the largest scale, is 1e-5 units.
    QVERIFY2(
        std::abs(length - expected) <= 1e-9 * std::max(expected, 1.0),
        qPrintable(QStringLiteral("%1, not %2").arg(length, 0, 'g', 17).arg(expected, 0, 'g', 17)));
}

void tst_ArcLength::curveLengthsAndTheirText()
{
    const Curve curve = walkedCurve(defaultPoints, {Bend{}, Bend{150, -80, 1, 2}});
    const CurveLengths lengths = curveLengths(curve);
    double sum = 0;
    for (Segment segment : segments) {
        const std::size_t i = std::size_t(segment);
        QCOMPARE(lengths.arcs[i], arcLength(segmentArc(curve.points, segment, curve.rows[i])));
        sum += lengths.arcs[i];
    }
    QCOMPARE(lengths.total, sum);

    // The dots the redraw plotted miss the arcs' ends: at INST 5 their polyline is shorter.
    double dots = 0;
    for (const auto &arc : curve.arcs)
        for (std::size_t i = 1; i < arc.size(); ++i)
            dots += QLineF(arc[i - 1].point, arc[i].point).length();
    QVERIFY2(lengths.total - dots > 1, qPrintable(QString::number(lengths.total - dots)));

    // In the parameters' text, in millimetres at the scale, to the hundredth, in the user's
    // locale like the rest of it.
    const QStringList lines = lengthsText(curve, 2.5).split(u'\n', Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 6);
    QCOMPARE(lines[0], QStringLiteral("Segmento\tLunghezza (mm)"));
    const auto field = [&](qsizetype line, const QString &name) {
        const QStringList fields = lines[line].split(u'\t');
        return fields.size() == 2 && fields[0] == name ? parseNumber(fields[1]) : std::nullopt;
    };
    QVERIFY(std::abs(field(2, "BC").value_or(0) - lengths.arcs[1] * 2.5) <= 0.005);
    QVERIFY(std::abs(field(5, "Totale").value_or(0) - lengths.total * 2.5) <= 0.005);
    QCOMPARE(millimetresText(312.449), QStringLiteral("312,4"));
    QCOMPARE(millimetresText(80.96), QStringLiteral("81"));
}

QTEST_APPLESS_MAIN(tst_ArcLength)
#include "tst_arclength.moc"
