#pragma once

#include "editor/curve/curve.h"

#include <QByteArray>
#include <QPolygonF>
#include <QString>

#include <span>
#include <variant>

// An SVG 1.1 document of the chords (black) and the arcs (dark red, each along its path) in the
// editor's user units, framed by its viewBox with a small margin; its width and height are in
// millimetres, so that one unit measures millimetresPerUnit, and its lines are as wide in
// millimetres at every scale. Refused, with the reason in Italian, when a number of it would
// not be finite, in the file or in a reader's pixels (a curve too large for its millimetres).
// The offset lines, in the plane as the curve, go into a group "margine" of their own colour.
std::variant<QByteArray, QString> curveSvg(const Curve &curve, double millimetresPerUnit,
                                           std::span<const QPolygonF> offsets = {});
