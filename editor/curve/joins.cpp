#include "editor/curve/joins.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

constexpr double quarterTurn = std::numbers::pi / 2;

// A first derivative this small beside the arc's own size is zero: sin(2 pi/2) is 1.2e-16, not 0.
bool isStill(const ArcParameters &arc, QPointF derivative)
{
    const double size = std::max(
        {std::abs(arc.ASQ), std::abs(arc.ASM), std::abs(arc.SPTX), std::abs(arc.SPTY), 1.0});
    return std::hypot(derivative.x(), derivative.y()) <= 1e-12 * size;
}

} // namespace

ArcDerivatives arcDerivatives(const ArcParameters &arc, double t)
{
    const double s = std::sin(t), c = std::cos(t);
    const double ax = arc.AVAX * t, ay = arc.AVAY * t;
    const double sx = std::sin(ax), cx = std::cos(ax), sy = std::sin(ay), cy = std::cos(ay);
    ArcDerivatives d;
    d.point = QPointF(arc.X9 + arc.ASQ * s * s + arc.SPTX * c * sx,
                      arc.Y9 + arc.ASM * s * c + arc.SPTY * c * sy + arc.ASM * s);
    d.first =
        QPointF(2 * arc.ASQ * s * c + arc.SPTX * (arc.AVAX * c * cx - s * sx),
                arc.ASM * (c * c - s * s) + arc.SPTY * (arc.AVAY * c * cy - s * sy) + arc.ASM * c);
    d.second = QPointF(2 * arc.ASQ * (c * c - s * s) -
                           arc.SPTX * ((1 + arc.AVAX * arc.AVAX) * c * sx + 2 * arc.AVAX * s * cx),
                       -4 * arc.ASM * s * c -
                           arc.SPTY * ((1 + arc.AVAY * arc.AVAY) * c * sy + 2 * arc.AVAY * s * cy) -
                           arc.ASM * s);
    return d;
}

std::optional<double> arcCurvature(const ArcParameters &arc, double t)
{
    const ArcDerivatives d = arcDerivatives(arc, t);
    if (isStill(arc, d.first))
        return std::nullopt;
    const double speed = std::hypot(d.first.x(), d.first.y());
    return (d.first.x() * d.second.y() - d.first.y() * d.second.x()) / (speed * speed * speed);
}

std::array<Join, 3> joinsOf(const std::array<ArcParameters, 4> &arcs)
{
    std::array<Join, 3> joins;
    for (std::size_t i = 0; i < joins.size(); ++i) {
        const ArcParameters &arriving = arcs[i], &leaving = arcs[i + 1];
        // Exactly the closed forms at the ends, rather than the general one at pi/2, whose
        // cos(pi/2) is 6e-17.
        const QPointF in(-arriving.SPTX * std::sin(arriving.AVAX * quarterTurn),
                         -arriving.ASM - arriving.SPTY * std::sin(arriving.AVAY * quarterTurn));
        const QPointF out(leaving.SPTX * leaving.AVAX,
                          2 * leaving.ASM + leaving.SPTY * leaving.AVAY);
        Join &join = joins[i];
        join.arrivingStill = isStill(arriving, in);
        join.leavingStill = isStill(leaving, out);
        if (!join.arrivingStill)
            join.arrivingCurvature = arcCurvature(arriving, quarterTurn);
        if (!join.leavingStill)
            join.leavingCurvature = arcCurvature(leaving, 0);
        if (join.arrivingStill || join.leavingStill)
            continue;
        // atan2 of the cross and dot products: accurate at 0 and at 180 degrees alike.
        const double cross = in.x() * out.y() - in.y() * out.x();
        const double dot = in.x() * out.x() + in.y() * out.y();
        join.turn = std::atan2(std::abs(cross), dot) * 180 / std::numbers::pi;
    }
    return joins;
}
