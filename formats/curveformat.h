#pragma once

#include <QString>

#include <optional>

// The three formats a curve is saved in.
enum class CurveFormat { Svg, Png, Csv };

// The format a file name's extension names (case aside), if any.
std::optional<CurveFormat> curveFormatOf(const QString &fileName);
// The name as saved: kept when its extension names a format, else the selected format's
// extension added.
QString curveFileName(const QString &fileName, CurveFormat selected);
