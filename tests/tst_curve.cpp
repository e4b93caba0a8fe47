#include "common/numbers.h"
#include "editor/curve/curve.h"
#include "editor/curve/truescale.h"
#include "formats/csv.h"
#include "formats/curveformat.h"
#include "formats/pages.h"
#include "formats/svg.h"

#include <QTest>
#include <QXmlStreamReader>

// The curve of a redraw as a value and the texts it leaves the program as.
class tst_Curve : public QObject
{
    Q_OBJECT

private slots:
    void init() { QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy)); }
    void cleanup() { QLocale::setDefault(QLocale::c()); }
    void csvHoldsEveryPlottedPoint();
    void arcPathRunsFromChordToChord_data();
    void arcPathRunsFromChordToChord();
    void arcPathDoesNotRepeatAPlottedEnd();
    void svgHoldsTheChordsAndTheArcs();
    void svgLinesKeepTheirWidthInMillimetres();
    void parametersReadBack_data();
    void parametersReadBack();
};

namespace {

const ArcFrame frame{3.1415927f / 180, 430, 425, 5};

// The default base points with A..E's x changed as given, under a table whose arcs are walked
// as the editor walks them.
Curve curveOf(const SegmentTable &table, double cx = 140, double INST = 5)
{
    BasePoints points;
    const double xs[] = {15, 60, cx, 188, 150}, ys[] = {15, 70, 20, 40, 90};
    for (std::size_t i = 0; i < 5; ++i) {
        points.X[i] = Variant::real(xs[i]);
        points.Y[i] = Variant::real(ys[i]);
    }
    ArcFrame walk = frame;
    walk.INST = INST;
    std::array<std::vector<ArcPoint>, 4> arcs;
    for (Segment segment : segments)
        arcs[std::size_t(segment)] =
            arcPointsWithAngles(segmentArc(points, segment, table.row(segment)), walk);
    return makeCurve(points, table, std::move(arcs), walk, 1.0625, 0.52, 0.55);
}

// Equal to the bit (QCOMPARE of points and doubles is fuzzy).
bool same(QPointF a, QPointF b)
{
    return a.x() == b.x() && a.y() == b.y();
}

QByteArray svgOf(const Curve &curve, double millimetresPerUnit = 1)
{
    return std::get<QByteArray>(curveSvg(curve, millimetresPerUnit));
}

// AB bent both ways with a fractional ALFA, BC bent up, the rest untouched.
Curve sampleCurve()
{
    SegmentTable table;
    table.SPXAB = Variant::integer(120);
    table.SPYAB = Variant::integer(-45);
    table.AVXAB = Variant::real(1.5);
    table.AVYAB = Variant::real(2);
    table.SPYBC = Variant::integer(300);
    return curveOf(table);
}

double number(QStringView text)
{
    bool ok = false;
    const double value = text.toDouble(&ok);
    if (!ok)
        qFatal("not a C number: %s", qPrintable(text.toString()));
    return value;
}

} // namespace

void tst_Curve::csvHoldsEveryPlottedPoint()
{
    const Curve curve = sampleCurve();
    const QList<QByteArray> lines = curveCsv(curve).split('\n');
    QCOMPARE(lines.last(), QByteArray()); // the last line is ended too
    int line = 1;                         // after the header
    double theta = 0;
    for (Segment segment : segments)
        for (const ArcPoint &p : curve.arcs[std::size_t(segment)]) {
            // Read back bit for bit, with a point whatever the locale.
            const QStringList f = QString::fromLatin1(lines[line++]).split(u',');
            QCOMPARE(f.size(), 4);
            QCOMPARE(f[0], segmentName(segment));
            QCOMPARE(QPointF(number(f[2]), number(f[3])), p.point);
            QCOMPARE(number(f[1]), p.theta);
            // The start (sine 0) is skipped; angles rise by the step, up to 90 at most.
            const double previous = &p == &curve.arcs[std::size_t(segment)].front() ? 0 : theta;
            QVERIFY(qAbs(p.theta - previous - 0.2) < 1e-9 && p.theta <= 90);
            theta = p.theta;
        }
    QCOMPARE(line, lines.size() - 1);
}

void tst_Curve::arcPathRunsFromChordToChord_data()
{
    QTest::addColumn<double>("INST");
    QTest::addColumn<int>("bendBC"); // BC's vertical displacement, with an ALFA of 1
    QTest::addColumn<bool>("plotted");

    QTest::newRow("INST 5, the last angle 89.8") << 5.0 << 0 << true;
    QTest::newRow("INST 1, the last angle 90") << 1.0 << 0 << true;
    // BC's walk leaves the drawing's bounds (|y| <= 425) and stops there: no jump to C.
    QTest::newRow("BC beyond the bounds") << 5.0 << 900 << true;
    // Nothing on the screen, nothing in the files.
    QTest::newRow("negative INST") << -5.0 << 0 << false;
    QTest::newRow("tiny INST") << 0.001 << 0 << false;
}

void tst_Curve::arcPathRunsFromChordToChord()
{
    QFETCH(double, INST);
    QFETCH(int, bendBC);
    QFETCH(bool, plotted);
    SegmentTable table;
    table.SPYBC = Variant::integer(std::int16_t(bendBC));
    table.AVYBC = Variant::real(1);
    const Curve curve = curveOf(table, 140, INST);
    const auto pages = std::get<CurvePages>(layOutPages(curve, TrueScale{}, QPageSize::A4));

    for (Segment segment : segments) {
        const auto &arc = curve.arcs[std::size_t(segment)];
        const QLineF &chord = curve.chords[std::size_t(segment)];
        const bool whole = bendBC < 500 || segment != Segment::BC;
        // The chord's ends themselves around the plotted points: as the chords share their ends,
        // each arc ends on the vertex the next one starts on.
        std::vector<QPointF> expected;
        if (plotted) {
            expected.push_back(chord.p1());
            for (const ArcPoint &p : arc)
                expected.push_back(p.point);
            if (whole)
                expected.push_back(chord.p2());
        }
        std::vector<QPointF> path;
        arcPath(curve, segment).forEach([&path](QPointF p) { path.push_back(p); });
        QVERIFY(std::ranges::equal(path, expected, same));
        // On paper too, placed as the chords' ends are.
        const QPolygonF &placed = pages.arcs[std::size_t(segment)];
        const QLineF &placedChord = pages.chords[std::size_t(segment)];
        QVERIFY(placed.empty() == !plotted && (!plotted || same(placed.front(), placedChord.p1())));
        QVERIFY(!plotted || same(placed.back(), placedChord.p2()) == whole);
    }
}

void tst_Curve::arcPathDoesNotRepeatAPlottedEnd()
{
    Curve curve;
    curve.INST = 1;
    curve.chords[0] = QLineF(15, 15, 60, 70);
    curve.arcs[0] = {{1, QPointF(15, 15)}, {45, QPointF(30, 50)}, {90, QPointF(60, 70)}};
    QCOMPARE(arcPath(curve, Segment::AB).size(), std::size_t(3));
    // Nearly the chord's ends is not them.
    curve.arcs[0].back().point.ry() = std::nextafter(70.0, 71.0);
    QCOMPARE(arcPath(curve, Segment::AB).size(), std::size_t(4));
}

void tst_Curve::svgHoldsTheChordsAndTheArcs()
{
    const Curve curve = sampleCurve();
    QXmlStreamReader xml(svgOf(curve));
    QRectF view;
    int lines = 0, arcs = 0, flips = 0;
    // The view frames every point, with y flipped by the group.
    auto framed = [&](QPointF p) { return view.contains(p.x(), -p.y()); };
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        const QXmlStreamAttributes a = xml.attributes();
        if (xml.name() == u"svg") {
            QCOMPARE(xml.namespaceUri(), QStringLiteral("http://www.w3.org/2000/svg"));
            const QStringList box = a.value("viewBox").toString().split(u' ');
            view = QRectF(number(box[0]), number(box[1]), number(box[2]), number(box[3]));
        } else if (xml.name() == u"g" && a.value("transform") == u"scale(1,-1)") {
            ++flips;
        } else if (xml.name() == u"line") {
            const QLineF chord(number(a.value("x1")), number(a.value("y1")), number(a.value("x2")),
                               number(a.value("y2")));
            QCOMPARE(chord, curve.chords[std::size_t(lines++)]);
            QVERIFY(framed(chord.p1()) && framed(chord.p2()));
        } else if (xml.name() == u"polyline") {
            const auto &arc = curve.arcs[std::size_t(arcs)];
            const QLineF &chord = curve.chords[std::size_t(arcs++)];
            const QStringList points = a.value("points").toString().split(u' ', Qt::SkipEmptyParts);
            // From the chord's first point through every plotted point to its second, exactly.
            QCOMPARE(std::size_t(points.size()), arc.size() + 2);
            for (qsizetype i = 0; i < points.size(); ++i) {
                const QStringList xy = points[i].split(u',');
                const QPointF p(number(xy[0]), number(xy[1]));
                QVERIFY(same(p, i == 0                   ? chord.p1()
                                : i + 1 == points.size() ? chord.p2()
                                                         : arc[std::size_t(i - 1)].point));
                QVERIFY(framed(p));
            }
        }
    }
    QVERIFY2(!xml.hasError(), qPrintable(xml.errorString()));
    QCOMPARE(flips, 1);
    QCOMPARE(lines, 4);
    QCOMPARE(arcs, 4);
}

void tst_Curve::svgLinesKeepTheirWidthInMillimetres()
{
    // The groups' stroke widths in millimetres: user units times the millimetres of one.
    auto widths = [](double millimetresPerUnit) {
        QXmlStreamReader xml(svgOf(sampleCurve(), millimetresPerUnit));
        std::vector<double> found;
        while (!xml.atEnd())
            if (xml.readNext() == QXmlStreamReader::StartElement &&
                xml.attributes().hasAttribute("stroke-width"))
                found.push_back(number(xml.attributes().value("stroke-width")) *
                                millimetresPerUnit);
        return found;
    };
    const std::vector<double> atOne = widths(1), atFour = widths(4); // chords, arcs
    QCOMPARE(atOne.size(), std::size_t(2));
    QVERIFY(atOne[0] < atOne[1] && atOne[1] > 0.25 && atOne[1] < 0.5); // a cutter's line
    for (std::size_t i = 0; i < 2; ++i)
        QVERIFY(std::abs(atFour[i] - atOne[i]) < 1e-12);
}

void tst_Curve::parametersReadBack_data()
{
    QTest::addColumn<QLocale>("locale");
    QTest::newRow("italiano") << QLocale(QLocale::Italian, QLocale::Italy);
    QTest::newRow("English") << QLocale(QLocale::English, QLocale::UnitedStates);
}

void tst_Curve::parametersReadBack()
{
    QFETCH(QLocale, locale);
    QLocale::setDefault(locale);
    SegmentTable table;
    table.SPXAB = Variant::integer(-850);
    table.AVXCD = Variant::real(2.25);
    // C's x of 1234.5: grouped digits would split or change it.
    const Curve curve = curveOf(table, 1234.5, 0.25);

    // Every number as the locale reads it: base points, Incr, INST, then (after the headings)
    // the grid's rows, an ALFA never set as 1.
    // clang-format off
    const std::vector<double> expected = {15, 15, 60, 70, 1234.5, 20, 188, 40, 150, 90, 1.0625, 0.25,
                                          0, -850, 1, 1,   0, 0, 1, 1,   0, 0, 1, 2.25,   0, 0, 1, 1};
    // clang-format on
    std::vector<double> read;
    const QStringList lines = parametersText(curve).split(u'\n');
    QCOMPARE(lines.size(), 5 + 2 + 1 + 4 + 1);
    for (qsizetype line = 0; line < lines.size(); ++line)
        for (const QString &field : lines[line].split(u'\t').mid(1))
            if (line != 7) {
                const std::optional<double> value = parseNumber(field);
                QVERIFY2(value && !field.contains(QLocale().groupSeparator()), qPrintable(field));
                read.push_back(*value);
            }
    QCOMPARE(read, expected);
}

QTEST_GUILESS_MAIN(tst_Curve)
#include "tst_curve.moc"
