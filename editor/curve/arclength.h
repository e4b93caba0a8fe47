#pragma once

#include "editor/curve/arc.h"
#include "editor/curve/curve.h"

#include <QString>

#include <array>

// How long the arcs are: the integral of |dP/dt| over each arc's closed form from chord end to
// chord end (t from 0 to pi/2), not the plotted dots, which miss the arcs' ends. Widget-free.

// The arc's length in the plane's units, to within a millionth of a unit or better.
double arcLength(const ArcParameters &arc);

struct CurveLengths
{
    std::array<double, 4> arcs{}; // AB to DE
    double total = 0;
};

// The lengths of the curve's four arcs, with the values of its grid rows, in the plane's units.
CurveLengths curveLengths(const Curve &curve);

// A length in millimetres as the editor shows it: the general number format with at most one
// decimal ("312,4").
QString millimetresText(double millimetres);

// Lines to append to the parameters' text, tab-separated as it is: a heading, then each arc's
// length and the total in millimetres at the scale, to the hundredth.
QString lengthsText(const Curve &curve, double millimetresPerUnit);
