#pragma once

#include "editor/curve/curve.h"

#include <QString>

// The arcs' equations as other programs take them, pasted as they are: one line per arc, AB to
// DE, in the plane's units with every number written in, then the five base points. Numbers are
// written with a decimal point whatever the user's locale (it is the program's syntax), with
// every digit of the double that the arc is drawn with (the shortest text that reads back as the
// same double), and never in exponent notation, which neither program reads as a number.

// For GeoGebra: "Curve(x(t), y(t), t, 0, pi/2)" with GeoGebra's own sin, cos, ^ and pi (its
// English command names, which it accepts in every language), then "A = (15, 15)" ...
QString geoGebraText(const Curve &curve);

// For Desmos: each arc as the ordered pair of its parametric equations in Desmos's own notation,
// written for its default range of the parameter, 0 to 1 (the angle is pi/2 t), then
// "A=\left(15,15\right)" ...
QString desmosText(const Curve &curve);

// The shortest decimal text without an exponent that reads back as the same double ("0.1",
// "-45", "100000000000000000000"); "0" for both zeros.
QString plainNumber(double value);
