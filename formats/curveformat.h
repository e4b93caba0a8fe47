#pragma once

#include <QString>
#include <QStringList>

#include <optional>

// The formats a curve is exported in.
enum class CurveFormat { Svg, Png, Csv, Pdf, Dxf };

// The format a file name's extension names (case aside), if any.
std::optional<CurveFormat> curveFormatOf(const QString &fileName);
// The name as saved: kept when its extension names a format, else the selected format's
// extension added.
QString curveFileName(const QString &fileName, CurveFormat selected);
// The export dialog's filters, one a format in the order of CurveFormat ("Disegno SVG (*.svg)"),
// and the format a filter names (SVG for one it does not know).
QStringList curveNameFilters();
CurveFormat curveFormatOfFilter(const QString &filter);
