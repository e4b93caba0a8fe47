#pragma once

#include "editor/curve/arc.h"

#include <QPointF>

#include <vector>

// The points of one editor redraw with the default base points: the four arcs AB, BC, CD, DE
// at the given points increment, already mapped to the editor's surface (x + CX, CY - y).
std::vector<QPointF> defaultRedrawPoints(double pointsIncrement);

// The editor's frame for a calibration ratio of 0.75: a surface of 1000 x 750 units.
constexpr double benchScaleWidth = 1000;
constexpr double benchScaleHeight = 750;
ArcFrame benchFrame(double pointsIncrement);
