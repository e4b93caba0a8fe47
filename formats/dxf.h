#pragma once

#include "editor/curve/curve.h"

#include <QByteArray>
#include <QString>

#include <variant>

// An ASCII DXF R12 drawing of the curve in millimetres: each arc one POLYLINE along its path on
// the layer "CURVA", each chord one LINE on "CORDE", every coordinate the curve's own number
// times the millimetres per unit. Refused, with the reason in Italian, when the millimetres of a
// far base point overflow.
std::variant<QByteArray, QString> curveDxf(const Curve &curve, double millimetresPerUnit);
