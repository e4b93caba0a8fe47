#pragma once

#include "draw/canvas.h"
#include "editor/curve/arc.h"

#include <QPoint>

#include <span>
#include <vector>

// The editor's arcs walked together: each into its own lists, on every core when the walks are
// long enough to gain from it. Widget-free; the result does not depend on the threads used.

// How many threads walkArcs may use: 0 (the default) for QThread::idealThreadCount(), 1 to walk
// one arc after the other on the calling thread.
void setArcWalkThreads(int threads);
int arcWalkThreads();

// The dots of one walked arc on the surface: the corners of the points' dots (x + CX and
// CY - y, placed by the surface's mapping), leaving out the points that paint nothing, and
// the rectangle from the smallest corner to the largest.
struct ArcDots
{
    std::vector<QPoint> corners;
    QRect bounds;
};

// Walks arcs[i] into plane[i] (the editor's plane with the walk's angles, as walkArc gives
// them) and dots[i], replacing what they held.
void walkArcs(std::span<const ArcParameters> arcs, const ArcFrame &frame, const DotMapping &mapping,
              std::span<std::vector<ArcPoint>> plane, std::span<ArcDots> dots);
