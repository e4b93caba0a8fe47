#include "editor/curve/curve.h"

#include "common/numbers.h"

#include <QLocale>

#include <algorithm>
#include <cmath>

Curve makeCurve(const BasePoints &points, const SegmentTable &table,
                std::array<std::vector<ArcPoint>, 4> arcs, const ArcFrame &frame, double Incr,
                double pixelWidth, double pixelHeight)
{
    Curve curve;
    curve.points = points;
    curve.Incr = Incr;
    curve.INST = frame.INST;
    curve.origin = QPointF(frame.CX, frame.CY);
    curve.pixelWidth = pixelWidth;
    curve.pixelHeight = pixelHeight;
    curve.arcs = std::move(arcs);
    for (Segment segment : segments) {
        const auto index = static_cast<std::size_t>(segment);
        const auto [from, to] = chordEnds(segment);
        curve.rows[index] = table.row(segment);
        curve.chords[index] = QLineF(points.X[from].toDouble(), points.Y[from].toDouble(),
                                     points.X[to].toDouble(), points.Y[to].toDouble());
    }
    return curve;
}

std::optional<PlaneBounds> planeBounds(const Curve &curve)
{
    PlaneBounds b{INFINITY, -INFINITY, INFINITY, -INFINITY};
    auto take = [&b](QPointF p) {
        if (!std::isfinite(p.x()) || !std::isfinite(p.y()))
            return;
        b.left = std::min(b.left, p.x());
        b.right = std::max(b.right, p.x());
        b.bottom = std::min(b.bottom, p.y());
        b.top = std::max(b.top, p.y());
    };
    for (const QLineF &chord : curve.chords) {
        take(chord.p1());
        take(chord.p2());
    }
    for (const auto &arc : curve.arcs)
        for (const ArcPoint &p : arc)
            take(p.point);
    if (b.left > b.right)
        return std::nullopt;
    return b;
}

namespace {

// Equal to the bit, where QPointF's own comparison is fuzzy.
bool identical(QPointF a, QPointF b)
{
    return a.x() == b.x() && a.y() == b.y();
}

bool isFinite(QPointF p)
{
    return std::isfinite(p.x()) && std::isfinite(p.y());
}

} // namespace

ArcPath arcPath(const Curve &curve, Segment segment)
{
    const auto index = static_cast<std::size_t>(segment);
    const std::vector<ArcPoint> &arc = curve.arcs[index];
    ArcPath path;
    path.plotted = arc;
    if (arc.empty())
        return path;
    const QLineF &chord = curve.chords[index];
    // A chord's end that is not a number has no place on the path (the plotted points always do).
    if (isFinite(chord.p1()) && !identical(chord.p1(), arc.front().point))
        path.start = chord.p1();
    // The walk's own next angle, by the same addition (arc.h): only past 90 degrees did the walk
    // end because the arc did.
    const double step = 1 / curve.INST;
    const bool walkedToTheEnd = !(arc.back().theta + step <= 90);
    if (walkedToTheEnd && isFinite(chord.p2()) && !identical(chord.p2(), arc.back().point))
        path.end = chord.p2();
    return path;
}

QString parametersText(const Curve &curve)
{
    const QChar tab = u'\t';
    QString text;
    for (std::size_t i = 0; i < curve.points.X.size(); ++i)
        text += QString(QChar(static_cast<char16_t>(u'A' + i))) + tab +
                formatNumber(curve.points.X[i].toDouble()) + tab +
                formatNumber(curve.points.Y[i].toDouble()) + u'\n';
    text += QStringLiteral("Incr") + tab + formatNumber(curve.Incr) + u'\n';
    text += QStringLiteral("INST") + tab + formatNumber(curve.INST) + u'\n';
    text += QStringLiteral("Segmento\tSP.V\tSP.O\tALF.V\tALF.O\n");
    for (Segment segment : segments) {
        const GridRow row = gridRow(curve.rows[static_cast<std::size_t>(segment)]);
        text += segmentName(segment) + tab + row.SPV + tab + row.SPO + tab + row.ALFV + tab +
                row.ALFO + u'\n';
    }
    return text;
}
