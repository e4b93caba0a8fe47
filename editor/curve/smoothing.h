#pragma once

#include "common/basepoints.h"
#include "editor/curve/editorstate.h"

#include <optional>

// Making the curve one smooth line: new displacements and ALFA increments for the segments
// allowed to change, so that every join they touch turns by less than smoothTurnDegrees.
// Widget-free.

// The largest turn, in degrees, that counts as smooth once the joins are made so.
constexpr double smoothTurnDegrees = 0.05;
// The displacements the solution may take, whole and within the scale captions' ends.
constexpr int smoothHorizontalLimit = 850;
constexpr int smoothVerticalLimit = 500;
// No arc comes to a standstill: its speed |dP/dt| stays at least this part of its chord along
// the whole arc. A join whose arc nearly stops there looks smooth by its numbers and is a cusp
// to the eye.
constexpr double smoothSlowestSpeed = 0.2;

// The table with the rows of the segments that may change (all four, or only the one given)
// made so that the joins they touch are smooth, changing the curve as little as it can; the
// other rows as they were. Already smooth joins give the table as it is. Nothing when no whole
// displacements within the limits and no increments make them smooth without a standstill.
std::optional<SegmentTable> smoothedTable(const BasePoints &points, const SegmentTable &table,
                                          std::optional<Segment> only = std::nullopt);

// Whether a segment's arc keeps its speed above smoothSlowestSpeed of its chord everywhere.
bool keepsMoving(const ArcParameters &arc);
