#include "common/numbers.h"
#include "editor/curve.h"

#include <QTest>
#include <QXmlStreamReader>

// The curve of a redraw as a value and the texts it leaves the program as.
class tst_Curve : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { QLocale::setDefault(QLocale::c()); }
    void anglesComeFromTheWalk();
    void csvHoldsEveryPlottedPoint();
    void svgHoldsTheChordsAndTheArcs();
    void parametersReadBack_data();
    void parametersReadBack();
};

namespace {

BasePoints defaultPoints()
{
    BasePoints points;
    const double xs[] = {15, 60, 140, 188, 150}, ys[] = {15, 70, 20, 40, 90};
    for (std::size_t i = 0; i < 5; ++i) {
        points.X[i] = Variant::real(xs[i]);
        points.Y[i] = Variant::real(ys[i]);
    }
    return points;
}

// The curve of a redraw with the table, its arcs walked as the editor walks them.
Curve curveOf(const BasePoints &points, const SegmentTable &table, const ArcFrame &frame,
              double Incr, double pixelWidth, double pixelHeight)
{
    std::array<std::vector<ArcPoint>, 4> arcs;
    for (Segment segment : segments)
        arcs[static_cast<std::size_t>(segment)] =
            arcPointsWithAngles(segmentArc(points, segment, table.row(segment)), frame);
    return makeCurve(points, table, std::move(arcs), frame, Incr, pixelWidth, pixelHeight);
}

// AB bent both ways with a fractional ALFA, BC with an increment of 0.2 degree, the rest
// untouched.
Curve sampleCurve()
{
    SegmentTable table;
    table.SPXAB = Variant::integer(120);
    table.SPYAB = Variant::integer(-45);
    table.AVXAB = Variant::real(1.5);
    table.AVYAB = Variant::real(2);
    table.SPYBC = Variant::integer(300);
    return curveOf(defaultPoints(), table, ArcFrame{3.1415927f / 180, 430, 425, 5}, 1.0625, 0.52,
                   0.55);
}

std::size_t pointCount(const Curve &curve)
{
    std::size_t count = 0;
    for (const auto &arc : curve.arcs)
        count += arc.size();
    return count;
}

} // namespace

void tst_Curve::anglesComeFromTheWalk()
{
    const ArcParameters arc{45, 55, 120, -45, 15, 15, 1.5, 2};
    const ArcFrame frame{3.1415927f / 180, 430, 425, 5};
    const std::vector<QPointF> plotted = arcPoints(arc, frame);
    const std::vector<ArcPoint> walked = arcPointsWithAngles(arc, frame);
    QCOMPARE(walked.size(), plotted.size());
    QVERIFY(!walked.empty());
    // The start (sine 0) is skipped; angles rise by the step up to 90 at most.
    QCOMPARE(walked.front().theta, 0.2);
    for (std::size_t i = 0; i < walked.size(); ++i) {
        QCOMPARE(walked[i].point, plotted[i]);
        if (i > 0)
            QVERIFY(qAbs(walked[i].theta - walked[i - 1].theta - 0.2) < 1e-9);
    }
    QVERIFY(walked.back().theta <= 90);
}

void tst_Curve::csvHoldsEveryPlottedPoint()
{
    // A decimal comma in the user's locale must not reach the file.
    QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy));
    const Curve curve = sampleCurve();
    const QList<QByteArray> lines = curveCsv(curve).split('\n');
    QCOMPARE(lines.first(), QByteArray("segmento,angolo,x,y"));
    QCOMPARE(lines.last(), QByteArray()); // the last line is ended too
    QCOMPARE(std::size_t(lines.size() - 2), pointCount(curve));

    int line = 1;
    for (Segment segment : segments) {
        for (const ArcPoint &p : curve.arcs[static_cast<std::size_t>(segment)]) {
            const QList<QByteArray> fields = lines[line++].split(',');
            QCOMPARE(fields.size(), 4);
            QCOMPARE(QString::fromLatin1(fields[0]), segmentName(segment));
            bool ok[3];
            // Read back bit for bit: every digit a double holds is written.
            QCOMPARE(fields[1].toDouble(&ok[0]), p.theta);
            QCOMPARE(fields[2].toDouble(&ok[1]), p.point.x());
            QCOMPARE(fields[3].toDouble(&ok[2]), p.point.y());
            QVERIFY(ok[0] && ok[1] && ok[2]);
        }
    }
}

void tst_Curve::svgHoldsTheChordsAndTheArcs()
{
    QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy));
    const Curve curve = sampleCurve();
    QXmlStreamReader xml(curveSvg(curve));
    QRectF view;
    int lines = 0;
    int arcs = 0;
    int flips = 0;
    auto number = [](QStringView text) {
        bool ok = false;
        const double value = text.toDouble(&ok);
        if (!ok)
            qFatal("not a C number: %s", qPrintable(text.toString()));
        return value;
    };
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        const QXmlStreamAttributes a = xml.attributes();
        if (xml.name() == u"svg") {
            QCOMPARE(xml.namespaceUri(), QStringLiteral("http://www.w3.org/2000/svg"));
            QCOMPARE(a.value("version"), QStringLiteral("1.1"));
            const QStringList box = a.value("viewBox").toString().split(u' ');
            QCOMPARE(box.size(), 4);
            view = QRectF(number(box[0]), number(box[1]), number(box[2]), number(box[3]));
        } else if (xml.name() == u"g" && a.value("transform") == u"scale(1,-1)") {
            ++flips;
        } else if (xml.name() == u"line") {
            const QLineF &chord = curve.chords[std::size_t(lines++)];
            QCOMPARE(QLineF(number(a.value("x1")), number(a.value("y1")), number(a.value("x2")),
                            number(a.value("y2"))),
                     chord);
        } else if (xml.name() == u"polyline") {
            const auto &arc = curve.arcs[std::size_t(arcs++)];
            const QStringList points = a.value("points").toString().split(u' ', Qt::SkipEmptyParts);
            QCOMPARE(std::size_t(points.size()), arc.size());
            for (std::size_t i = 0; i < arc.size(); ++i) {
                const QStringList xy = points[qsizetype(i)].split(u',');
                const QPointF p(number(xy[0]), number(xy[1]));
                QCOMPARE(p, arc[i].point);
                // The view frames each point, with y flipped by the group.
                QVERIFY(view.contains(p.x(), -p.y()));
            }
        }
    }
    QVERIFY2(!xml.hasError(), qPrintable(xml.errorString()));
    QCOMPARE(flips, 1);
    QCOMPARE(lines, 4);
    QCOMPARE(arcs, 4);
    for (const QLineF &chord : curve.chords)
        QVERIFY(view.contains(chord.x1(), -chord.y1()) && view.contains(chord.x2(), -chord.y2()));
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
    BasePoints points = defaultPoints();
    points.X[2] = Variant::real(1234.5); // grouped digits would split or change it
    SegmentTable table;
    table.SPXAB = Variant::integer(-850);
    table.AVXCD = Variant::real(2.25);
    const Curve curve =
        curveOf(points, table, ArcFrame{3.1415927f / 180, 430, 425, 0.25}, 1.0625, 0.5, 0.5);

    QStringList lines = parametersText(curve).split(u'\n');
    QCOMPARE(lines.size(), 5 + 2 + 1 + 4 + 1);
    QCOMPARE(lines.takeLast(), QString());
    auto fields = [&](int line) { return lines[line].split(u'\t'); };
    auto value = [](const QString &text) {
        const std::optional<double> number = parseNumber(text);
        if (!number)
            qFatal("not a number in the locale: %s", qPrintable(text));
        return *number;
    };
    for (int i = 0; i < 5; ++i) {
        const QStringList f = fields(i);
        QCOMPARE(f.size(), 3);
        QCOMPARE(f[0], QString(QChar(u'A' + i)));
        QCOMPARE(value(f[1]), points.X[std::size_t(i)].toDouble());
        QCOMPARE(value(f[2]), points.Y[std::size_t(i)].toDouble());
    }
    QCOMPARE(fields(5).first(), QStringLiteral("Incr"));
    QCOMPARE(value(fields(5)[1]), 1.0625);
    QCOMPARE(fields(6), (QStringList{"INST", formatNumber(0.25)}));
    QCOMPARE(value(fields(6)[1]), 0.25);
    QCOMPARE(fields(7).mid(1), (QStringList{"SP.V", "SP.O", "ALF.V", "ALF.O"}));
    // The segments' rows read as the grid shows them, an ALFA never set as 1.
    const double grid[4][4] = {{0, -850, 1, 1}, {0, 0, 1, 1}, {0, 0, 1, 2.25}, {0, 0, 1, 1}};
    for (int row = 0; row < 4; ++row) {
        const QStringList f = fields(8 + row);
        QCOMPARE(f.size(), 5);
        QCOMPARE(f[0], segmentName(segments[row]));
        for (int column = 0; column < 4; ++column)
            QCOMPARE(value(f[column + 1]), grid[row][column]);
    }
}

QTEST_GUILESS_MAIN(tst_Curve)
#include "tst_curve.moc"
