#pragma once

#include <QLineF>
#include <QRectF>

#include <optional>

#include <algorithm>
#include <cmath>
#include <limits>

// Saturates a coordinate to the single-precision range and rounds it to single precision, as
// every coordinate handed to the drawing operations is; NaN and infinities pass unchanged.
inline double toSingleSaturated(double value)
{
    if (!std::isfinite(value))
        return value;
    constexpr double largest = std::numeric_limits<float>::max();
    return static_cast<float>(std::clamp(value, -largest, largest));
}

// The part of the line inside the closed rectangle, in double precision; nothing when the line
// misses it or holds a non-finite coordinate. Each cut point is computed from the endpoint
// nearer the rectangle, so that a far endpoint (1e30) does not cancel the near one away.
std::optional<QLineF> clipLine(const QLineF &line, const QRectF &bounds);
