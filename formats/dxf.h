#pragma once

#include "editor/curve/curve.h"

#include <QByteArray>
#include <QPolygonF>
#include <QString>

#include <span>
#include <variant>

// An ASCII DXF R12 drawing of the curve in millimetres: each arc one POLYLINE along its path on
// the layer "CURVA", each chord one LINE on "CORDE", every coordinate the curve's own number
// times the millimetres per unit. Refused, with the reason in Italian, when the millimetres of a
// far base point overflow. The offset lines, in the plane as the curve, are POLYLINEs on a layer
// "MARGINE" of their own colour.
std::variant<QByteArray, QString> curveDxf(const Curve &curve, double millimetresPerUnit,
                                           std::span<const QPolygonF> offsets = {});
