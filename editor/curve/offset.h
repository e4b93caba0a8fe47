#pragma once

#include "editor/curve/curve.h"
#include "editor/curve/truescale.h"

#include <QColor>
#include <QPolygonF>
#include <QString>

#include <optional>
#include <span>
#include <variant>
#include <vector>

// The offset line of the curve: the line that keeps an exact distance from it on one side (a
// seam allowance, a cutter's kerf), or a line on each side. Widget-free; the geometry engine
// behind it (GEOS) stays in offset.cpp.

// The colour of the offset line on the screen, on paper and in files: QBColor(3), RGB(0, 128, 128).
QColor offsetColour();

// The curve as the files draw it, the whole of each arc's path (arcPath), sampled from the arcs'
// closed form so finely that no point of the curve is farther than the tolerance from the lines,
// and the offset of those lines: round at every bend, never a mitre; trimmed where the curve
// turns back on itself, so that no point of an offset line comes nearer the curve than the
// distance (less the tolerance), and simple (no loops, no crossings). Distance and tolerance are
// in the plane's units; each line is a polyline in the plane (y upwards). An arc with no path
// has no offset; arcs that do not meet (one ended at the drawing's bounds) are offset apart.
// Refused, with the reason in Italian, when the curve would need too many points for the
// tolerance or its numbers are not finite.
using OffsetLines = std::variant<std::vector<QPolygonF>, QString>;
OffsetLines offsetLines(const Curve &curve, double distance, OffsetSide side, double tolerance);

// The tolerance of the offset on paper and in files, in millimetres at every scale: well within
// a hundredth of a millimetre with the rounding of the bends added.
inline constexpr double offsetTolerance = 0.002;

// The scale's offset line, at its millimetres and tolerance; none when its distance is 0.
OffsetLines trueScaleOffset(const Curve &curve, const TrueScale &scale);

// The extent of the curve and its offset lines together.
std::optional<PlaneBounds> planeBounds(const Curve &curve, std::span<const QPolygonF> offsets);
