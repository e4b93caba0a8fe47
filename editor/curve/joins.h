#pragma once

#include "editor/curve/arc.h"

#include <QPointF>

#include <array>
#include <optional>

// How the arcs meet, from their closed form rather than from the plotted dots. With the angle t
// in radians from 0 to pi/2 an arc is
//   x(t) = X9 + ASQ sin^2 t + SPTX cos t sin(AVAX t),
//   y(t) = Y9 + ASM sin t cos t + SPTY cos t sin(AVAY t) + ASM sin t,
// so its derivatives have exact closed forms too: at t = 0 the arc leaves along
// (SPTX AVAX, 2 ASM + SPTY AVAY), at t = pi/2 it arrives along
// (-SPTX sin(AVAX pi/2), -ASM - SPTY sin(AVAY pi/2)). Widget-free.

// The point, first and second derivatives of the arc at t.
struct ArcDerivatives
{
    QPointF point;
    QPointF first;
    QPointF second;
};
ArcDerivatives arcDerivatives(const ArcParameters &arc, double t);

// The signed curvature at t (positive where the arc turns left), or nothing where the first
// derivative is zero.
std::optional<double> arcCurvature(const ArcParameters &arc, double t);

// A join between the arc that arrives at it (at t = pi/2) and the one that leaves it (t = 0).
struct Join
{
    // The angle between the two directions, 0 (smooth) to 180 degrees (a cusp); nothing when
    // either arc stands still there, its derivative zero.
    std::optional<double> turn;
    bool arrivingStill = false; // the arriving arc's derivative is zero at the join
    bool leavingStill = false;
    // The curvature on each side, where the direction exists.
    std::optional<double> arrivingCurvature;
    std::optional<double> leavingCurvature;
};

// The joins B, C and D of the four arcs AB ... DE.
std::array<Join, 3> joinsOf(const std::array<ArcParameters, 4> &arcs);
