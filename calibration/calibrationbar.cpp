#include "calibration/calibrationbar.h"

#include <algorithm>
#include <cmath>

double barRatio(int position)
{
    return position * barStep + 0.51;
}

BarRange barRangeFor(double roundRatio)
{
    BarRange range;
    if (!std::isfinite(roundRatio) || roundRatio <= 0)
        return range;
    // Kept to ratios above 0 (position -25 gives 0.01) and a screen at most twenty times taller
    // than wide, so that a window squeezed to a sliver asks for no absurd bar.
    const double position = std::clamp((roundRatio - 0.51) / barStep, -25.0, 1000.0);
    // A ratio that is itself a step (0.45 is position -3) stays that step: the division leaves
    // a rounding error of a few units in the last place, which must not reach one step further.
    constexpr double tolerance = 1e-9;
    // Widened below 1 only for a round ratio below 0.51 (a 21:9 screen): between 0.51 and 0.53,
    // as on a 16:9 desktop with a panel (1366 x 709), position 0 would be 0.51, which "OK -
    // continua" refuses, so there the left arrow at 1 stays where it is.
    if (position < -tolerance)
        range.minimum = static_cast<int>(std::floor(position + tolerance));
    range.maximum = std::max(range.maximum, static_cast<int>(std::ceil(position - tolerance)));
    return range;
}
