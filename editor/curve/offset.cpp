#include "editor/curve/offset.h"

#include "editor/curve/joins.h"

#define GEOS_USE_ONLY_R_API
#include <geos_c.h>

#include <QLineF>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <memory>
#include <numbers>
#include <span>

namespace {

// Far beyond any curve the editor draws at any scale the dialog offers; a curve that would need
// more waves beyond any drawing.
constexpr std::size_t largestPointCount = 100000;
// Halving a piece of an arc this many times leaves a piece no double can split.
constexpr int deepestHalving = 48;

const QString tooManyPoints = QStringLiteral(
    "la linea di margine richiederebbe troppi punti: la curva è troppo estesa o troppo ondulata "
    "a questa scala");
const QString overItself = QStringLiteral(
    "la curva ripassa su se stessa troppe volte perché la sua linea di margine si possa calcolare");
const QString notFinite = QStringLiteral(
    "la curva è troppo estesa, o troppo lontana dall'origine, perché la sua linea di margine si "
    "possa calcolare con la precisione richiesta");

QPointF pointAt(const ArcParameters &arc, double t)
{
    return arcDerivatives(arc, t).point;
}

bool isFinite(QPointF p)
{
    return std::isfinite(p.x()) && std::isfinite(p.y());
}

double distanceToSegment(QPointF p, QPointF a, QPointF b)
{
    const QPointF ab = b - a, ap = p - a;
    const double squared = QPointF::dotProduct(ab, ab);
    const double along =
        squared > 0 ? std::clamp(QPointF::dotProduct(ap, ab) / squared, 0.0, 1.0) : 0.0;
    const QPointF across = ap - ab * along;
    return std::hypot(across.x(), across.y());
}

// The curve as polylines through points of its arcs' closed form.
struct Sampling
{
    std::vector<std::vector<QPointF>> runs;
    std::optional<QString> refusal;
};

// Appends the arc's points after the angle from up to the angle to, so close together that each
// piece between two of them is within the tolerance of the arc: a piece is halved until the arc
// at its quarters and its middle lies that near the piece (the middle alone misses an arc that
// crosses its piece). False with too many points or one that is no number. Written here because
// the geometry engine offsets lines, not parametric curves.
std::optional<QString> sampleArc(const ArcParameters &arc, double from, double to, double tolerance,
                                 std::vector<QPointF> &points)
{
    // An ALFA increment of n makes n / 4 waves over the quarter turn: a few pieces for each to
    // start from, so that no wave hides between two of them; a wave far smaller than the
    // tolerance needs none.
    const auto waves = [&](double displacement, double alfa) {
        return std::abs(displacement) > tolerance / 8 ? std::abs(alfa) : 0.0;
    };
    const double start =
        std::ceil(16 + 8 * (waves(arc.SPTX, arc.AVAX) + waves(arc.SPTY, arc.AVAY)));
    if (!(start + double(points.size()) <= double(largestPointCount)))
        return tooManyPoints;
    struct Piece
    {
        double from, to;
        QPointF a, b;
        int depth;
    };
    std::vector<Piece> pending;
    const int count = int(start);
    double before = from;
    QPointF previous = pointAt(arc, from);
    for (int i = 1; i <= count; ++i) {
        const double t = from + (to - from) * i / count;
        const QPointF p = pointAt(arc, t);
        pending.push_back({before, t, previous, p, 0});
        while (!pending.empty()) {
            const Piece piece = pending.back();
            pending.pop_back();
            const double length = piece.to - piece.from;
            const QPointF middle = pointAt(arc, piece.from + length / 2);
            const QPointF quarters[] = {pointAt(arc, piece.from + length / 4), middle,
                                        pointAt(arc, piece.from + length * 3 / 4)};
            if (!isFinite(piece.b) ||
                !std::ranges::all_of(quarters, [](QPointF q) { return isFinite(q); }))
                return notFinite;
            const bool near = std::ranges::all_of(quarters, [&](QPointF q) {
                return distanceToSegment(q, piece.a, piece.b) <= tolerance;
            });
            if (near || piece.depth >= deepestHalving) {
                points.push_back(piece.b);
                if (points.size() > largestPointCount)
                    return tooManyPoints;
                continue;
            }
            // The second half first, so that the first comes out first.
            const double half = piece.from + length / 2;
            pending.push_back({half, piece.to, middle, piece.b, piece.depth + 1});
            pending.push_back({piece.from, half, piece.a, middle, piece.depth + 1});
        }
        before = t;
        previous = p;
    }
    return std::nullopt;
}

// Whether an arc runs back and forth over itself so many times that the band the offset line
// bounds covers its own ground more than fifty times over: an ALFA increment of hundreds on a
// chord of nothing. The engine's buffer of such a line takes minutes; no drawn curve comes near.
bool runsOverItself(std::span<const QPointF> arc, double distance)
{
    double length = 0;
    double left = arc.front().x(), right = left, bottom = arc.front().y(), top = bottom;
    for (std::size_t i = 1; i < arc.size(); ++i) {
        length += QLineF(arc[i - 1], arc[i]).length();
        left = std::min(left, arc[i].x());
        right = std::max(right, arc[i].x());
        bottom = std::min(bottom, arc[i].y());
        top = std::max(top, arc[i].y());
    }
    const double band = (right - left + 2 * distance) * (top - bottom + 2 * distance);
    return length * 2 * distance > 50 * band;
}

// Each arc's path, from the chord's first point to its second or to where the walk stopped,
// through its closed form; arcs that meet end to end make one run.
Sampling sampleCurve(const Curve &curve, double distance, double tolerance)
{
    Sampling sampling;
    std::vector<QPointF> run;
    // A run no longer than the tolerance is a dot, whose offset no one cuts (and on which the
    // engine, in Debian 12's version, throws and leaks).
    auto endRun = [&] {
        run.erase(std::unique(run.begin(), run.end()), run.end());
        double length = 0;
        for (std::size_t i = 1; i < run.size(); ++i)
            length += QLineF(run[i - 1], run[i]).length();
        if (run.size() >= 2 && length > tolerance)
            sampling.runs.push_back(std::move(run));
        run.clear();
    };
    std::size_t count = 0;
    for (Segment segment : segments) {
        const auto index = static_cast<std::size_t>(segment);
        const ArcPath path = arcPath(curve, segment);
        if (path.empty()) {
            endRun();
            continue;
        }
        const std::vector<ArcPoint> &plotted = curve.arcs[index];
        const QPointF first = path.start ? *path.start : plotted.front().point;
        const QPointF last = path.end ? *path.end : plotted.back().point;
        // The walk's own test (arcPath): only past 90 degrees did it end because the arc did;
        // otherwise the path ends at the last angle plotted, as the walk reached it.
        const bool walkedToTheEnd = !(plotted.back().theta + 1 / curve.INST <= 90);
        const double to =
            walkedToTheEnd ? std::numbers::pi / 2 : double(degreesToRadians) * plotted.back().theta;
        if (run.empty() || run.back() != first) {
            endRun();
            run.push_back(first);
        }
        const std::size_t before = run.size();
        const ArcParameters arc = segmentArc(curve.points, segment, curve.rows[index]);
        if (std::optional<QString> refusal = sampleArc(arc, 0, to, tolerance, run)) {
            sampling.refusal = std::move(refusal);
            return sampling;
        }
        // The path's own end, bit for bit, where the next arc starts.
        if (run.size() > before)
            run.back() = last;
        else
            run.push_back(last);
        count += run.size() - before;
        if (count > largestPointCount) {
            sampling.refusal = tooManyPoints;
            return sampling;
        }
        if (runsOverItself(std::span(run).subspan(before - 1), distance)) {
            sampling.refusal = overItself;
            return sampling;
        }
    }
    endRun();
    return sampling;
}

// The geometry engine's reentrant API, with a context of our own that keeps its last error.
class Geos
{
public:
    Geos() : m_handle(GEOS_init_r())
    {
        GEOSContext_setErrorMessageHandler_r(m_handle, &Geos::onError, this);
        GEOSContext_setNoticeMessageHandler_r(m_handle, nullptr, nullptr);
    }
    ~Geos() { GEOS_finish_r(m_handle); }
    Geos(const Geos &) = delete;
    Geos &operator=(const Geos &) = delete;

    GEOSContextHandle_t handle() const { return m_handle; }
    QString failure() const
    {
        return QStringLiteral("il calcolo della linea di margine non è riuscito (%1)")
            .arg(m_error.isEmpty() ? QStringLiteral("errore sconosciuto") : m_error);
    }

private:
    static void onError(const char *message, void *geos)
    {
        static_cast<Geos *>(geos)->m_error = QString::fromUtf8(message);
    }

    GEOSContextHandle_t m_handle;
    QString m_error;
};

// The engine checks for interruption as it works, through one callback for the whole process:
// a computation of this thread past its deadline is stopped there, and refused, so that no
// curve, however it turns back over itself, holds the editor for long.
using Clock = std::chrono::steady_clock;
thread_local Clock::time_point deadline = Clock::time_point::max();
constexpr auto longestComputation = std::chrono::seconds(2);

void stopPastTheDeadline()
{
    if (Clock::now() > deadline)
        GEOS_interruptRequest();
}

class Deadline
{
public:
    Deadline()
    {
        static GEOSInterruptCallback *const previous =
            GEOS_interruptRegisterCallback(&stopPastTheDeadline);
        Q_UNUSED(previous);
        GEOS_interruptCancel();
        deadline = Clock::now() + longestComputation;
    }
    ~Deadline()
    {
        deadline = Clock::time_point::max();
        GEOS_interruptCancel();
    }
    Deadline(const Deadline &) = delete;
    Deadline &operator=(const Deadline &) = delete;
};

struct GeometryDeleter
{
    GEOSContextHandle_t handle;
    void operator()(GEOSGeometry *geometry) const { GEOSGeom_destroy_r(handle, geometry); }
};
using Geometry = std::unique_ptr<GEOSGeometry, GeometryDeleter>;

Geometry own(const Geos &geos, GEOSGeometry *geometry)
{
    return Geometry(geometry, GeometryDeleter{geos.handle()});
}

Geometry lineString(const Geos &geos, const std::vector<QPointF> &points)
{
    std::vector<double> xy;
    xy.reserve(2 * points.size());
    for (QPointF p : points) {
        xy.push_back(p.x());
        xy.push_back(p.y());
    }
    GEOSCoordSequence *sequence =
        GEOSCoordSeq_copyFromBuffer_r(geos.handle(), xy.data(), points.size(), 0, 0);
    if (!sequence)
        return own(geos, nullptr);
    // The line owns the sequence from here, whether it is made or not.
    return own(geos, GEOSGeom_createLineString_r(geos.handle(), sequence));
}

// Appends every line of the geometry (a line or a collection of them) with two points or more.
bool appendLines(const Geos &geos, const GEOSGeometry *geometry, std::vector<QPolygonF> &lines)
{
    const GEOSContextHandle_t h = geos.handle();
    const int count = GEOSGetNumGeometries_r(h, geometry);
    if (count < 0)
        return false;
    for (int i = 0; i < count; ++i) {
        const GEOSGeometry *part = GEOSGetGeometryN_r(h, geometry, i);
        if (!part)
            return false;
        const int type = GEOSGeomTypeId_r(h, part);
        if (type != GEOS_LINESTRING && type != GEOS_LINEARRING)
            continue;
        const GEOSCoordSequence *sequence = GEOSGeom_getCoordSeq_r(h, part);
        unsigned int size = 0;
        if (!sequence || !GEOSCoordSeq_getSize_r(h, sequence, &size))
            return false;
        if (size < 2)
            continue;
        std::vector<double> xy(2 * std::size_t(size));
        if (!GEOSCoordSeq_copyToBuffer_r(h, sequence, xy.data(), 0, 0))
            return false;
        QPolygonF line;
        line.reserve(qsizetype(size));
        for (std::size_t j = 0; j < xy.size(); j += 2)
            line << QPointF(xy[j], xy[j + 1]);
        lines.push_back(std::move(line));
    }
    return true;
}

} // namespace

QColor offsetColour()
{
    return Canvas::QBColor(3);
}

OffsetLines offsetLines(const Curve &curve, double distance, OffsetSide side, double tolerance)
{
    if (!(distance > 0) || !(tolerance > 0) || !std::isfinite(distance) ||
        !std::isfinite(tolerance))
        return std::vector<QPolygonF>{};
    Sampling sampling = sampleCurve(curve, distance, tolerance);
    if (sampling.refusal)
        return *sampling.refusal;
    if (sampling.runs.empty())
        return std::vector<QPolygonF>{};
    // Beyond a double's precision at the curve's distance from the origin, the engine's
    // intersections are noise.
    double farthest = distance;
    for (const auto &run : sampling.runs)
        for (QPointF p : run)
            farthest = std::max({farthest, std::abs(p.x()), std::abs(p.y())});
    if (!(tolerance >= farthest * 1e-10))
        return notFinite;

    const Deadline bounded;
    const Geos geos;
    const GEOSContextHandle_t h = geos.handle();
    // The bends are rounded with as many segments to a quarter circle as keep each segment's
    // middle within the tolerance of the circle: a segment spanning twice the angle whose cosine
    // is 1 - tolerance / distance.
    const double half = std::acos(std::clamp(1 - tolerance / distance, -1.0, 1.0));
    const int quadrantSegments =
        int(std::clamp(std::ceil(std::numbers::pi / 4 / std::max(half, 1e-9)), 2.0, 512.0));
    constexpr double mitreLimit = 5; // unused with round joins
    // Each run's line and its offset curves.
    std::vector<Geometry> lines;
    std::vector<std::vector<Geometry>> raw;
    for (const auto &run : sampling.runs) {
        lines.push_back(lineString(geos, run));
        if (!lines.back())
            return geos.failure();
        raw.emplace_back();
        // A positive distance is the left side, looking along the line.
        for (double sign : {1.0, -1.0}) {
            if ((sign > 0 && side == OffsetSide::Right) || (sign < 0 && side == OffsetSide::Left))
                continue;
            raw.back().push_back(
                own(geos, GEOSOffsetCurve_r(h, lines.back().get(), sign * distance,
                                            quadrantSegments, GEOSBUF_JOIN_ROUND, mitreLimit)));
            if (!raw.back().back())
                return geos.failure();
        }
    }
    // The curve grown by a distance: what an offset line may not enter.
    auto grown = [&](auto &&included, double by) -> std::optional<Geometry> {
        if (!(by > 0))
            return Geometry(nullptr, GeometryDeleter{h});
        std::vector<Geometry> clones;
        for (std::size_t i = 0; i < lines.size(); ++i)
            if (included(i)) {
                clones.push_back(own(geos, GEOSGeom_clone_r(h, lines[i].get())));
                if (!clones.back())
                    return std::nullopt;
            }
        if (clones.empty())
            return Geometry(nullptr, GeometryDeleter{h});
        std::vector<GEOSGeometry *> parts;
        for (Geometry &clone : clones)
            parts.push_back(clone.release());
        // The collection owns the clones from here, whether it is made or not.
        const Geometry collection =
            own(geos, GEOSGeom_createCollection_r(h, GEOS_MULTILINESTRING, parts.data(),
                                                  unsigned(parts.size())));
        if (!collection)
            return std::nullopt;
        Geometry buffer =
            own(geos, GEOSBufferWithStyle_r(h, collection.get(), by, quadrantSegments,
                                            GEOSBUF_CAP_ROUND, GEOSBUF_JOIN_ROUND, mitreLimit));
        if (!buffer)
            return std::nullopt;
        return buffer;
    };
    std::vector<Geometry> pieces;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        // Its own run, grown by the distance less twice the tolerance: the offset curve of one
        // line is already trimmed where the line turns back, but its ends may reach in round a
        // cusp. The other runs (where an arc ended at the drawing's bounds), grown by the
        // distance and the tolerance: where two runs cross, their offset lines stop short of
        // each other instead of crossing by a hair.
        const std::optional<Geometry> keepOut[] = {
            grown([&](std::size_t j) { return j == i; }, distance - 2 * tolerance),
            grown([&](std::size_t j) { return j != i; }, distance + tolerance)};
        for (const Geometry &offset : raw[i]) {
            Geometry trimmed = own(geos, GEOSGeom_clone_r(h, offset.get()));
            for (const std::optional<Geometry> &area : keepOut) {
                if (!area || !trimmed)
                    return geos.failure();
                if (*area)
                    trimmed = own(geos, GEOSDifference_r(h, trimmed.get(), area->get()));
            }
            if (!trimmed)
                return geos.failure();
            // The trimming leaves pieces end to end where it cut nothing: one line again.
            pieces.push_back(own(geos, GEOSLineMergeDirected_r(h, trimmed.get())));
            if (!pieces.back())
                return geos.failure();
        }
    }
    // Where the curve runs back along itself (a straight arc back over a straight chord), the
    // line on one side lies on the line on the other: both sides are one line there.
    if (side == OffsetSide::Both && pieces.size() > 1) {
        std::vector<GEOSGeometry *> parts;
        for (Geometry &piece : pieces)
            parts.push_back(piece.release());
        pieces.clear();
        // The collection owns the pieces from here, whether it is made or not.
        const Geometry all =
            own(geos, GEOSGeom_createCollection_r(h, GEOS_GEOMETRYCOLLECTION, parts.data(),
                                                  unsigned(parts.size())));
        const Geometry joined = own(geos, all ? GEOSUnaryUnion_r(h, all.get()) : nullptr);
        pieces.push_back(own(geos, joined ? GEOSLineMerge_r(h, joined.get()) : nullptr));
        if (!pieces.back())
            return geos.failure();
    }
    std::vector<QPolygonF> result;
    for (const Geometry &piece : pieces)
        if (!appendLines(geos, piece.get(), result))
            return geos.failure();
    for (const QPolygonF &line : result)
        if (!std::ranges::all_of(line, isFinite))
            return notFinite;
    return result;
}

OffsetLines trueScaleOffset(const Curve &curve, const TrueScale &scale)
{
    if (!(scale.offsetMillimetres > 0))
        return std::vector<QPolygonF>{};
    return offsetLines(curve, scale.offsetMillimetres / scale.millimetresPerUnit, scale.offsetSide,
                       offsetTolerance / scale.millimetresPerUnit);
}

std::optional<PlaneBounds> planeBounds(const Curve &curve, std::span<const QPolygonF> offsets)
{
    std::optional<PlaneBounds> bounds = planeBounds(curve);
    for (const QPolygonF &line : offsets)
        for (QPointF p : line) {
            if (!isFinite(p))
                continue;
            if (!bounds)
                bounds = PlaneBounds{p.x(), p.x(), p.y(), p.y()};
            bounds->left = std::min(bounds->left, p.x());
            bounds->right = std::max(bounds->right, p.x());
            bounds->bottom = std::min(bounds->bottom, p.y());
            bounds->top = std::max(bounds->top, p.y());
        }
    return bounds;
}
