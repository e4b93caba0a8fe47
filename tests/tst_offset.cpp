#include "draw/clip.h"
#include "editor/curve/offset.h"
#include "formats/dxf.h"
#include "formats/pages.h"
#include "formats/svg.h"
#include "testcurves.h"

#include <QTemporaryDir>
#include <QTest>

Q_DECLARE_METATYPE(Curve)
Q_DECLARE_METATYPE(OffsetSide)

// The offset line, written into the DXF and the SVG and read back by ezdxf and Shapely: at its
// distance, on its side, simple, wherever the curve turns tight or back on itself.
class tst_Offset : public QObject
{
    Q_OBJECT

private slots:
    void readBack_data();
    void readBack();
    void refusedWhenBeyondAnyDrawing();
    void tilingCountsTheOffset();
};

void tst_Offset::readBack_data()
{
    QTest::addColumn<Curve>("curve");
    QTest::addColumn<double>("millimetresPerUnit");
    QTest::addColumn<double>("distance");
    QTest::addColumn<OffsetSide>("side");
    const Curve plain = walkedCurve(defaultPoints); // a cusp at D
    // Tight bends, arcs that cross themselves and each other.
    const Curve looped = walkedCurve(defaultPoints, {Bend{120, -45, 1.5, 3}, Bend{-400, 300, 3, 2},
                                                     Bend{0, 300, 0, 2.5}, Bend{500, -250, 2, 1}});
    const Curve closed =
        walkedCurve({{{0, 0}, {80, 0}, {80, 60}, {0, 60}, {0, 0}}},
                    {Bend{0, -30, 0, 1}, Bend{40, 0, 1, 0}, Bend{}, Bend{-20, 0, 2, 0}});
    QTest::newRow("cusp, left, 5 mm") << plain << 1.0 << 5.0 << OffsetSide::Left;
    QTest::newRow("cusp, right, 5 mm") << plain << 1.0 << 5.0 << OffsetSide::Right;
    QTest::newRow("cusp, both, 12 mm at 2.5") << plain << 2.5 << 12.0 << OffsetSide::Both;
    QTest::newRow("kerf, 0.15 mm at 0.3") << plain << 0.3 << 0.15 << OffsetSide::Right;
    QTest::newRow("loops, left, 20 mm") << looped << 1.0 << 20.0 << OffsetSide::Left;
    QTest::newRow("loops, both, 50 mm") << looped << 0.5 << 50.0 << OffsetSide::Both;
    QTest::newRow("closed, both, 7 mm") << closed << 1.0 << 7.0 << OffsetSide::Both;
    // AB waves out of the drawing's bounds, its path cut there, across BC to DE: two runs,
    // whose offset lines stop short of each other where the runs cross.
    const Curve cut = walkedCurve({{{15, 15}, {60, 70}, {80, 20}, {120, 20}, {160, 20}}},
                                  {Bend{5000, 0, 3, -1}, Bend{}, Bend{}, Bend{}});
    QTest::newRow("cut, crossing, 0.5 mm") << cut << 1.0 << 0.5 << OffsetSide::Left;
}

void tst_Offset::readBack()
{
    QFETCH(Curve, curve);
    QFETCH(double, millimetresPerUnit);
    QFETCH(double, distance);
    QFETCH(OffsetSide, side);
    const QString python = QStringLiteral(CINQUEPUNTI_PYTHON_SHAPELY);
    if (python.isEmpty())
        QSKIP("/usr/bin/python3 with ezdxf and shapely, which read the offset back, was not "
              "found: install python3-ezdxf and python3-shapely and configure the build again");
    const TrueScale scale{.millimetresPerUnit = millimetresPerUnit,
                          .offsetMillimetres = distance,
                          .offsetSide = side};
    const OffsetLines offset = trueScaleOffset(curve, scale);
    const QString *refusal = std::get_if<QString>(&offset);
    QVERIFY2(!refusal, qPrintable(refusal ? *refusal : QString()));
    const auto &lines = std::get<std::vector<QPolygonF>>(offset);
    QTemporaryDir dir;
    const std::pair<QString, std::variant<QByteArray, QString>> files[] = {
        {"curva.dxf", curveDxf(curve, millimetresPerUnit, lines)},
        {"curva.svg", curveSvg(curve, millimetresPerUnit, lines)}};
    for (const auto &[name, bytes] : files) {
        QFile file(dir.filePath(name));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(std::get<QByteArray>(bytes));
        file.close();
        const QString answer =
            runPython(python, {CINQUEPUNTI_SOURCE_DIR "/offsetcheck.py", file.fileName(),
                               QString::number(distance), offsetSideKey(side)});
        QVERIFY2(answer.startsWith("ok"), qPrintable(name + ": " + answer));
        // Its own colour: teal, the DXF's nearest index to it.
        QVERIFY2(answer.endsWith(name.endsWith("dxf") ? "colour 134" : "colour #008080"),
                 qPrintable(answer));
        qInfo().noquote() << name << answer;
    }
}

void tst_Offset::refusedWhenBeyondAnyDrawing()
{
    // An ALFA increment that waves a hundred thousand times over the quarter turn.
    const Curve waving = walkedCurve(defaultPoints, {Bend{500, 0, 400000, 0}});
    const OffsetLines offset = trueScaleOffset(waving, {.offsetMillimetres = 1});
    QVERIFY(std::get<QString>(offset).contains("troppi punti"));
    // A chord of nothing waved back and forth over itself four hundred times, which the engine
    // would take minutes over.
    const Curve retracing =
        walkedCurve({{{0, 0}, {0, 0}, {80, 20}, {120, 20}, {160, 20}}}, {Bend{2, 0, 425, 0}});
    QVERIFY(std::get<QString>(trueScaleOffset(retracing, {.offsetMillimetres = 0.01}))
                .contains("ripassa su se stessa"));
    // None asked, none made.
    QVERIFY(std::get<std::vector<QPolygonF>>(trueScaleOffset(waving, {})).empty());
}

void tst_Offset::tilingCountsTheOffset()
{
    // The default curve at 4 mm a unit, 700 by 300 mm, with 50 mm on its right: a sheet at the
    // drawing's edge holds nothing but a stretch of the offset line, and is kept.
    const Curve curve = walkedCurve(defaultPoints);
    const TrueScale scale{
        .millimetresPerUnit = 4, .offsetMillimetres = 50, .offsetSide = OffsetSide::Right};
    const CurvePages pages =
        std::get<CurvePages>(layOutPages(curve, scale, QPageSize(QPageSize::A4)));
    auto reaches = [](const QRectF &window, const std::vector<QPolygonF> &lines) {
        return std::ranges::any_of(lines, [&](const QPolygonF &line) {
            for (qsizetype i = 1; i < line.size(); ++i)
                if (clipLine(QLineF(line[i - 1], line[i]), window))
                    return true;
            return false;
        });
    };
    std::vector<QPolygonF> ink = pages.arcs;
    for (const QLineF &chord : pages.chords)
        ink.push_back(QPolygonF{chord.p1(), chord.p2()});
    const auto offsetOnly = std::ranges::count_if(pages.sheets, [&](const Sheet &sheet) {
        return reaches(sheet.window, pages.offsets) && !reaches(sheet.window, ink);
    });
    QCOMPARE(offsetOnly, 1);
    const TrueScale without{.millimetresPerUnit = 4};
    QVERIFY(
        std::get<CurvePages>(layOutPages(curve, without, QPageSize(QPageSize::A4))).sheets.size() <
        pages.sheets.size());
}

QTEST_APPLESS_MAIN(tst_Offset)
#include "tst_offset.moc"
