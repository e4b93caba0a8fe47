#pragma once

#include "editor/curve.h"

#include <QByteArray>

// An SVG 1.1 document of the chords (black) and the arcs (dark red, each along its path) in
// the editor's user units, framed by its viewBox with a small margin; its width and height are in
// millimetres, so that one unit measures millimetresPerUnit.
QByteArray curveSvg(const Curve &curve, double millimetresPerUnit);
