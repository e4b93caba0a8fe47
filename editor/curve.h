#pragma once

#include "common/basepoints.h"
#include "editor/arc.h"
#include "editor/editorstate.h"

#include <QByteArray>
#include <QLineF>
#include <QString>

#include <array>
#include <optional>
#include <vector>

// The curve of the editor's last redraw as a value, and the texts it leaves the program as:
// the parameters for a spreadsheet, the points as CSV, the figure as SVG. Widget-free.
struct Curve
{
    BasePoints points;
    double Incr = 1; // the calibration ratio the redraw used
    double INST = 5;
    // The segments' rows as the grid showed them after the redraw, AB to DE.
    std::array<SegmentValues, 4> rows;
    // AB to DE, in the editor's plane (y upwards).
    std::array<QLineF, 4> chords;
    // Each segment's plotted points, in order, with the walk's angles.
    std::array<std::vector<ArcPoint>, 4> arcs;
    // Where the editor's plane has its origin on the drawing (CX, CY), in user units from the
    // drawing's top-left corner, y downwards.
    QPointF origin;
    // The size of one pixel of the drawing in user units, across and down, for line widths.
    double pixelWidth = 1;
    double pixelHeight = 1;
};

// The curve of a redraw with these values: the chords of the base points, and the points the
// redraw walked and plotted for each segment's arc, taken over without a copy.
Curve makeCurve(const BasePoints &points, const SegmentTable &table,
                std::array<std::vector<ArcPoint>, 4> arcs, const ArcFrame &frame, double Incr,
                double pixelWidth, double pixelHeight);

// "AB" ... "DE".
QString segmentName(Segment segment);

// Tab-separated lines, one number a field, in the default locale without digit grouping: the
// base points, Incr, INST, the grid's headings, then each segment's grid row as shown.
QString parametersText(const Curve &curve);

// A header, then one line per plotted point: segment, angle in degrees, x, y. Comma-separated,
// point as decimal mark and every digit a double holds, whatever the locale.
QByteArray curveCsv(const Curve &curve);

// An SVG 1.1 document of the chords (black) and the arcs (dark red) in the editor's user
// units, framed by its viewBox with a small margin.
QByteArray curveSvg(const Curve &curve);

// The three formats a curve is saved in.
enum class CurveFormat { Svg, Png, Csv };

// The format a file name's extension names (case aside), if any.
std::optional<CurveFormat> curveFormatOf(const QString &fileName);
// The name as saved: kept when its extension names a format, else the selected format's
// extension added.
QString curveFileName(const QString &fileName, CurveFormat selected);
