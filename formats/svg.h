#pragma once

#include "editor/curve.h"

#include <QByteArray>

// An SVG 1.1 document of the chords (black) and the arcs (dark red) in the editor's user
// units, framed by its viewBox with a small margin.
QByteArray curveSvg(const Curve &curve);
