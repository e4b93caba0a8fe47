#pragma once

#include "common/angles.h"
#include "common/vectorstate.h"

#include <QPointF>

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

// Calls plot(x, y) with each point of the arc in the editor's plane (y upwards), in order,
// or plot(x, y, theta) with the angle in degrees too, and returns how many it plotted. The point at
// an angle whose sine is exactly 0 (the start) is skipped; the first point beyond the bounds, or
// not finite, ends the arc.
template <typename Plot> int walkArc(const ArcParameters &arc, const ArcFrame &frame, Plot &&plot)
{
    const int ValStep = 1;
    const double step = ValStep / frame.INST;
    const double P1 = frame.P1;
    const double xLimit = double(frame.CX) + 100;
    const double yLimit = frame.CY;
    // 90 * INST + 1 angles at most; a larger INST than the editor allows, or a step too small
    // to move the angle, would otherwise walk for minutes or forever.
    const long maximumSteps = static_cast<long>(90 * maximumPointsIncrement) + 2;
    int plotted = 0;
    long steps = 0;
    // Whatever ran on this thread before (a Cls, a repaint) may have left the upper halves of
    // the vector registers dirty, which on many CPUs slows every step of the walk
    // (common/vectorstate.h).
    clearUpperVectorState();
    // The angle is accumulated by repeated addition, so at a step of 0.2 the last angle is
    // 89.8 and the chord's end point itself is not plotted; at steps 1, 0.5, 0.25 it is.
    for (double theta = 0; step > 0 ? theta <= 90 : theta >= 90; theta += step) {
        if (++steps > maximumSteps)
            break;
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
            break;
        // Written so that a bound that is not a number ends the arc too.
        if (!(std::abs(x) <= xLimit) || !(std::abs(y) <= yLimit))
            break;
        if constexpr (std::is_invocable_v<Plot, double, double, double>)
            plot(x, y, theta);
        else
            plot(x, y);
        ++plotted;
    }
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
