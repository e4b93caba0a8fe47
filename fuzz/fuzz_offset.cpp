#include "fuzzscale.h"

#include "editor/curve/offset.h"

#define GEOS_USE_ONLY_R_API
#include <geos_c.h>

#include <algorithm>
#include <cmath>

// The offset line of any curve, from the arc fuzzer's inputs: the first arc's parameters and the
// frame as fuzz_arc reads them, then the other arcs' bends, the scale and the offset. It ends,
// and gives either a refusal with a reason or lines that are finite and, together, simple.

namespace {

// Whether the lines together are simple, as the geometry engine judges it.
bool simple(const std::vector<QPolygonF> &lines)
{
    GEOSContextHandle_t h = GEOS_init_r();
    std::vector<GEOSGeometry *> parts;
    for (const QPolygonF &line : lines) {
        GEOSCoordSequence *sequence = GEOSCoordSeq_create_r(h, unsigned(line.size()), 2);
        for (qsizetype i = 0; i < line.size(); ++i)
            GEOSCoordSeq_setXY_r(h, sequence, unsigned(i), line[i].x(), line[i].y());
        parts.push_back(GEOSGeom_createLineString_r(h, sequence));
    }
    GEOSGeometry *all =
        GEOSGeom_createCollection_r(h, GEOS_MULTILINESTRING, parts.data(), unsigned(parts.size()));
    const char isSimple = GEOSisSimple_r(h, all);
    GEOSGeom_destroy_r(h, all);
    GEOS_finish_r(h);
    return isSimple == 1;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    FuzzInput input(data, size);
    ArcParameters first;
    for (double *field : {&first.ASQ, &first.ASM, &first.SPTX, &first.SPTY, &first.X9, &first.Y9,
                          &first.AVAX, &first.AVAY})
        *field = input.number(0);
    ArcFrame frame;
    frame.INST = input.number(frame.INST);
    frame.P1 = input.single(frame.P1);
    frame.CX = input.single(frame.CX);
    frame.CY = input.single(frame.CY);
    // Where the walk's bounds and angles are not the editor's, the curve is not one it draws.
    frame.P1 = degreesToRadians;
    frame.INST =
        std::isfinite(frame.INST) ? std::clamp(frame.INST, -1.0, maximumPointsIncrement) : 5;

    // A and B from the first arc, C to E after them; the bends of every segment.
    BasePoints points;
    points.X[0] = Variant::real(first.X9);
    points.Y[0] = Variant::real(first.Y9);
    points.X[1] = Variant::real(first.X9 + first.ASQ);
    points.Y[1] = Variant::real(first.Y9 + first.ASM);
    for (std::size_t i = 2; i < 5; ++i) {
        points.X[i] = Variant::real(input.number(40.0 * double(i)));
        points.Y[i] = Variant::real(input.number(20));
    }
    SegmentTable table;
    table.setRow(Segment::AB, {Variant::real(first.SPTX), Variant::real(first.SPTY),
                               Variant::real(first.AVAX), Variant::real(first.AVAY)});
    for (Segment segment : {Segment::BC, Segment::CD, Segment::DE})
        table.setRow(segment, {Variant::real(input.number(0)), Variant::real(input.number(0)),
                               Variant::real(input.number(1)), Variant::real(input.number(1))});
    std::array<std::vector<ArcPoint>, 4> arcs;
    for (Segment segment : segments)
        arcs[std::size_t(segment)] =
            arcPointsWithAngles(segmentArc(points, segment, table.row(segment)), frame);
    const Curve curve = makeCurve(points, table, std::move(arcs), frame, 1, 1, 1);

    TrueScale scale;
    scale.millimetresPerUnit = fuzzedMillimetresPerUnit(input);
    scale.offsetMillimetres = 0.01 + input.byte(50) % 50;
    scale.offsetSide = OffsetSide(input.byte() % 3);

    const OffsetLines offset = trueScaleOffset(curve, scale);
    if (const QString *reason = std::get_if<QString>(&offset)) {
        if (reason->isEmpty())
            fuzzFailure("a refusal without a reason");
        return 0;
    }
    const auto &lines = std::get<std::vector<QPolygonF>>(offset);
    std::size_t count = 0;
    for (const QPolygonF &line : lines) {
        if (line.size() < 2)
            fuzzFailure("a line of fewer than two points");
        for (QPointF p : line)
            if (!std::isfinite(p.x()) || !std::isfinite(p.y()))
                fuzzFailure("a point that is not finite");
        count += std::size_t(line.size());
    }
    // The engine's own test of simplicity, where it is quick.
    if (!lines.empty() && count <= 20000 && !simple(lines))
        fuzzFailure("offset lines that are not simple");
    return 0;
}
