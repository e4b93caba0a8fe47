#pragma once

#include "editor/curve/curve.h"

#include <QByteArray>

// A header, then one line per plotted point: segment, angle in degrees, x, y. Comma-separated,
// point as decimal mark and every digit a double holds, whatever the locale.
QByteArray curveCsv(const Curve &curve);
