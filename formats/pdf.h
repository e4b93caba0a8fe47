#pragma once

#include "editor/curve/curve.h"
#include "editor/curve/truescale.h"

#include <QByteArray>
#include <QString>

#include <variant>

// The curve's pages at its true size as a PDF document, or why there is none.
std::variant<QByteArray, QString> curvePdf(const Curve &curve, const TrueScale &scale);
