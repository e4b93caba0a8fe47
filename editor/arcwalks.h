#pragma once

#include "editor/arc.h"

#include <QPointF>

#include <span>
#include <vector>

// The editor's arcs walked together: each into its own lists, on every core when the walks are
// long enough to gain from it. Widget-free; the result does not depend on the threads used.

// How many threads walkArcs may use: 0 (the default) for QThread::idealThreadCount(), 1 to walk
// one arc after the other on the calling thread.
void setArcWalkThreads(int threads);
int arcWalkThreads();

// Walks arcs[i] into plane[i] (the editor's plane with the walk's angles, as walkArc gives
// them) and window[i] (the same points on the surface: x + CX and CY - y, in single
// precision), replacing what they held.
void walkArcs(std::span<const ArcParameters> arcs, const ArcFrame &frame,
              std::span<std::vector<ArcPoint>> plane, std::span<std::vector<QPointF>> window);
