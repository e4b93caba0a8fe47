#include "editor/curve/arclength.h"

#include "common/numbers.h"
#include "editor/curve/joins.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

namespace {

double speed(const ArcParameters &arc, double t)
{
    const QPointF d = arcDerivatives(arc, t).first;
    return std::hypot(d.x(), d.y());
}

// Gauss-Kronrod 7-15 nodes and weights on [-1, 1], the Kronrod ones first (the ones of odd index
// are the Gauss nodes too).
constexpr double kronrodNodes[8] = {
    0.991455371120812639206854697526329, 0.949107912342758524526189684047851,
    0.864864423359769072789712788640926, 0.741531185599394439863864773280788,
    0.586087235467691130294144845693013, 0.405845151377397166906606412076961,
    0.207784955007898467600689403773245, 0.000000000000000000000000000000000};
constexpr double kronrodWeights[8] = {
    0.022935322010529224963732008058970, 0.063092092629978553290700663189204,
    0.104790010322250183839876322541518, 0.140653259715525918745189590510238,
    0.169004726639267902826583426598550, 0.190350578064785409913256402421014,
    0.204432940075298892414161999234649, 0.209482141084727828012999174891714};
constexpr double gaussWeights[4] = {
    0.129484966168869693270611432679082, 0.279705391489276667901467771423780,
    0.381830050505118944950369775488975, 0.417959183673469387755102040816327};

struct Piece
{
    double from, to;
    double integral; // the Kronrod estimate
    double error;    // its difference from the Gauss one
};

Piece integrate(const ArcParameters &arc, double from, double to)
{
    const double middle = (from + to) / 2, half = (to - from) / 2;
    const double centre = speed(arc, middle);
    double kronrod = centre * kronrodWeights[7];
    double gauss = centre * gaussWeights[3];
    for (int i = 0; i < 7; ++i) {
        const double both = speed(arc, middle - half * kronrodNodes[i]) +
                            speed(arc, middle + half * kronrodNodes[i]);
        kronrod += kronrodWeights[i] * both;
        if (i % 2 == 1)
            gauss += gaussWeights[i / 2] * both;
    }
    return {from, to, kronrod * half, std::abs((kronrod - gauss) * half)};
}

} // namespace

// The standard library and Qt have no quadrature, and a library for these few lines would be a
// build dependency more. Adaptive Gauss-Kronrod: the piece with the largest error is halved
// until the errors add up to far less than the hundredth of a millimetre asked for at any scale
// the dialog offers; |dP/dt| has a kink where the arc stands still (a cusp), which halving
// isolates.
double arcLength(const ArcParameters &arc)
{
    constexpr double quarterTurn = std::numbers::pi / 2;
    // An ALFA increment of n makes n / 4 waves over the quarter turn: a piece for each to start.
    const double waves = std::abs(arc.AVAX) + std::abs(arc.AVAY);
    const int start = int(std::clamp(std::ceil(waves), 4.0, 256.0));
    std::vector<Piece> pieces;
    double total = 0, error = 0;
    for (int i = 0; i < start; ++i) {
        pieces.push_back(integrate(arc, quarterTurn * i / start, quarterTurn * (i + 1) / start));
        total += pieces.back().integral;
        error += pieces.back().error;
    }
    auto larger = [](const Piece &a, const Piece &b) { return a.error < b.error; };
    std::ranges::make_heap(pieces, larger);
    // Relative to the arc's own size, so that a far or a huge arc is as exact; the count bounds
    // the work on an arc whose numbers make it wave beyond any drawing.
    constexpr double relativeTolerance = 1e-12;
    constexpr std::size_t largestCount = 20000;
    while (std::isfinite(total) && error > relativeTolerance * std::max(total, 1e-300) &&
           pieces.size() < largestCount) {
        std::ranges::pop_heap(pieces, larger);
        const Piece worst = pieces.back();
        pieces.pop_back();
        const double middle = (worst.from + worst.to) / 2;
        const Piece halves[2] = {integrate(arc, worst.from, middle),
                                 integrate(arc, middle, worst.to)};
        total -= worst.integral;
        error -= worst.error;
        for (const Piece &half : halves) {
            total += half.integral;
            error += half.error;
            pieces.push_back(half);
            std::ranges::push_heap(pieces, larger);
        }
    }
    // The running sums drift by rounding; the pieces themselves are summed once more.
    total = 0;
    for (const Piece &piece : pieces)
        total += piece.integral;
    return total;
}

CurveLengths curveLengths(const Curve &curve)
{
    CurveLengths lengths;
    for (Segment segment : segments) {
        const auto i = static_cast<std::size_t>(segment);
        lengths.arcs[i] = arcLength(segmentArc(curve.points, segment, curve.rows[i]));
        lengths.total += lengths.arcs[i];
    }
    return lengths;
}

QString millimetresText(double millimetres)
{
    return formatNumber(std::round(millimetres * 10) / 10);
}

QString lengthsText(const Curve &curve, double millimetresPerUnit)
{
    const CurveLengths lengths = curveLengths(curve);
    auto hundredths = [&](double units) {
        return formatNumber(std::round(units * millimetresPerUnit * 100) / 100);
    };
    QString text = QStringLiteral("Segmento\tLunghezza (mm)\n");
    for (Segment segment : segments)
        text += segmentName(segment) + u'\t' +
                hundredths(lengths.arcs[static_cast<std::size_t>(segment)]) + u'\n';
    text += QStringLiteral("Totale\t") + hundredths(lengths.total) + u'\n';
    return text;
}
