#include "draw/clip.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

namespace {

double distanceOutside(QPointF p, const QRectF &r)
{
    const double dx = std::max({r.left() - p.x(), 0.0, p.x() - r.right()});
    const double dy = std::max({r.top() - p.y(), 0.0, p.y() - r.bottom()});
    return std::max(dx, dy);
}

} // namespace

std::optional<QLineF> clipLine(const QLineF &line, const QRectF &bounds)
{
    QPointF a = line.p1();
    QPointF b = line.p2();
    if (!std::isfinite(a.x()) || !std::isfinite(a.y()) || !std::isfinite(b.x()) ||
        !std::isfinite(b.y()))
        return std::nullopt;
    const bool swapped = distanceOutside(b, bounds) < distanceOutside(a, bounds);
    if (swapped)
        std::swap(a, b);

    // Liang-Barsky from the nearer endpoint a. The direction is kept halved (exact for powers of
    // two) so that endpoints near the double range cannot overflow it.
    const double hx = b.x() / 2 - a.x() / 2;
    const double hy = b.y() / 2 - a.y() / 2;
    double enter = 0;
    double leave = 1;
    auto narrow = [&](double p, double q) {
        // Keeps the part of the line where p * t <= q / 2.
        if (p == 0)
            return q >= 0;
        const double t = (q / 2) / p;
        if (p < 0)
            enter = std::max(enter, t);
        else
            leave = std::min(leave, t);
        return enter <= leave;
    };
    if (!narrow(-hx, a.x() - bounds.left()) || !narrow(hx, bounds.right() - a.x()) ||
        !narrow(-hy, a.y() - bounds.top()) || !narrow(hy, bounds.bottom() - a.y()))
        return std::nullopt;

    auto at = [&](double t) {
        const QPointF p(a.x() + 2 * (t * hx), a.y() + 2 * (t * hy));
        // Rounding may leave a cut point a hair outside; the rectangle is closed.
        return QPointF(std::clamp(p.x(), bounds.left(), bounds.right()),
                       std::clamp(p.y(), bounds.top(), bounds.bottom()));
    };
    QLineF clipped(at(enter), at(leave));
    if (swapped)
        clipped = QLineF(clipped.p2(), clipped.p1());
    return clipped;
}
