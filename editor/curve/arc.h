#pragma once

#include "common/angles.h"
#include "common/vectorstate.h"

#include <QPointF>

#include <algorithm>
#include <cmath>
#include <type_traits>
#include <vector>

// One arc over a chord, walked angle by angle from 0 to 90 degrees. Widget-free: the editor
// plots each point as it comes, tests and benchmarks collect them.

struct ArcParameters
{
    double ASQ = 0;  // x extent of the chord
    double ASM = 0;  // y extent of the chord
    double SPTX = 0; // horizontal displacement
    double SPTY = 0; // vertical displacement
    double X9 = 0;   // start point
    double Y9 = 0;
    double AVAX = 0; // horizontal ALFA increment
    double AVAY = 0; // vertical ALFA increment
};

struct ArcFrame
{
    float P1 = degreesToRadians;
    float CX = 430;              // drawing origin on the surface
    float CY = 425;
    double INST = 5; // points increment: one point every 1/INST degree
};

// The largest points increment the editor accepts; the walk never takes more steps than it
// allows, whatever it is given.
constexpr double maximumPointsIncrement = 1000;

// The most angles one walk visits: 90 * INST + 1 at the largest INST, and one more for rounding.
// A larger INST than the editor allows, or a step too small to move the angle, would otherwise
// walk for minutes or forever.
constexpr long maximumArcSteps = static_cast<long>(90 * maximumPointsIncrement) + 2;

// The steps of the walk from the first to the one before the last (counted from 0 at the angle
// 0), so that threads can share one arc by ranges of angles: each range reaches its first
// angle by the very additions the whole walk makes, and computes the same points. Calls
// plot(x, y, theta) with each point of the range, in order, and returns whether the arc ended
// before the range's last step (past 90 degrees, beyond the bounds, not finite, or at
// maximumArcSteps), so that no later range belongs to the arc.
template <typename Plot>
bool walkArcSteps(const ArcParameters &arc, const ArcFrame &frame, long first, long last,
                  Plot &&plot)
{
    const int ValStep = 1;
    const double step = ValStep / frame.INST;
    const double P1 = frame.P1;
    const double xLimit = double(frame.CX) + 100;
    const double yLimit = frame.CY;
    const auto going = [step](double theta) { return step > 0 ? theta <= 90 : theta >= 90; };
    last = std::min(last, maximumArcSteps);
    // The angle is accumulated by repeated addition, so at a step of 0.2 the last angle is
    // 89.8 and the chord's end point itself is not plotted; at steps 1, 0.5, 0.25 it is. A range
    // that starts later adds up the earlier steps first: a sum, not a product, or its angles
    // would differ in the last bits from those of the whole walk.
    double theta = 0;
    for (long i = 0; i < first; ++i) {
        if (!going(theta))
            return true;
        theta += step;
    }
    // Whatever ran on this thread before (a Cls, a repaint) may have left the upper halves of
    // the vector registers dirty, which on many CPUs slows every step of the walk
    // (common/vectorstate.h).
    clearUpperVectorState();
    for (long i = first; i < last; ++i, theta += step) {
        if (!going(theta))
            return true;
        const double c = std::cos(P1 * theta);
        const double s = std::sin(P1 * theta);
        if (s == 0)
            continue;
        // The sines of the ALFA angles, without a call where the value is known: the sine of
        // theta itself (an increment of 1), of a zero angle (an increment never set) and of
        // the other ALFA angle when both are equal. The same values, bit for bit; the sines
        // are nearly all of the walk's cost.
        const auto sine = [&](double angle) {
            if (angle == theta)
                return s;
            if (angle == 0)
                return P1 * angle; // sin(+0) is +0, sin(-0) is -0
            return std::sin(P1 * angle);
        };
        const double angleX = theta * arc.AVAX;
        const double angleY = theta * arc.AVAY;
        const double sx = sine(angleX);
        const double sy = angleY == angleX ? sx : sine(angleY);
        const double x = (arc.ASQ * s * s + arc.SPTX * c * sx) + arc.X9;
        const double y = ((arc.ASM * s * c + arc.SPTY * c * sy) + arc.ASM * s) + arc.Y9;
        if (!std::isfinite(x) || !std::isfinite(y))
            return true;
        // Written so that a bound that is not a number ends the arc too.
        if (!(std::abs(x) <= xLimit) || !(std::abs(y) <= yLimit))
            return true;
        plot(x, y, theta);
    }
    return last >= maximumArcSteps;
}

// Calls plot(x, y) with each point of the arc in the editor's plane (y upwards), in order,
// or plot(x, y, theta) with the angle in degrees too, and returns how many it plotted. The point at
// an angle whose sine is exactly 0 (the start) is skipped; the first point beyond the bounds, or
// not finite, ends the arc.
template <typename Plot> int walkArc(const ArcParameters &arc, const ArcFrame &frame, Plot &&plot)
{
    int plotted = 0;
    walkArcSteps(arc, frame, 0, maximumArcSteps, [&](double x, double y, double theta) {
        if constexpr (std::is_invocable_v<Plot, double, double, double>)
            plot(x, y, theta);
        else
            plot(x, y);
        ++plotted;
    });
    return plotted;
}

// A point of the arc with the angle the walk reached it at, in degrees.
struct ArcPoint
{
    double theta = 0;
    QPointF point;

    friend bool operator==(const ArcPoint &, const ArcPoint &) = default;
};

// The points of the arc with their angles, in the order walkArc gives them.
inline std::vector<ArcPoint> arcPointsWithAngles(const ArcParameters &arc, const ArcFrame &frame)
{
    std::vector<ArcPoint> points;
    walkArc(arc, frame, [&points](double x, double y, double theta) {
        points.push_back({theta, QPointF(x, y)});
    });
    return points;
}
