#pragma once

#include "common/basepoints.h"
#include "draw/canvas.h"
#include "editor/curve/arc.h"
#include "editor/curve/editorstate.h"

#include <QByteArray>
#include <QColor>
#include <QLineF>
#include <QString>

#include <array>
#include <optional>
#include <span>
#include <vector>

// The colour of the arcs, on the screen, on paper and in files: QBColor(4), RGB(128, 0, 0).
inline QColor arcColour()
{
    return Canvas::QBColor(4);
}

// The curve of the editor's last redraw as a value, and its parameters as text for a
// spreadsheet. Widget-free; the files it is written to are in formats/.
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

// The extent of the curve in the editor's plane (y upwards): every chord end and plotted point
// that is finite.
struct PlaneBounds
{
    double left = 0;
    double right = 0;
    double bottom = 0;
    double top = 0;
};

// Nothing when the curve has no finite point at all.
std::optional<PlaneBounds> planeBounds(const Curve &curve);

// An arc as the files and the paper draw it, in the editor's plane: from its chord's first point
// through the points the redraw plotted to the chord's second point. The arc's closed form gives
// the chord's ends exactly at 0 and 90 degrees, but the walk skips the first and its
// single-precision angle never reaches the second; so the path takes the base points themselves,
// the chords' own ends, and consecutive arcs share their end vertex bit for bit (provided each
// format maps the path's points as it maps the chords' ends). An arc with no plotted point has
// no path, as it has no dot on the screen; one whose walk stopped before its last angle (a point
// beyond the drawing's bounds) ends at its last plotted point, not in a straight jump to the
// chord's end.
struct ArcPath
{
    // Each is left out where it is the plotted point beside it.
    std::optional<QPointF> start;
    std::span<const ArcPoint> plotted;
    std::optional<QPointF> end;

    std::size_t size() const { return plotted.size() + start.has_value() + end.has_value(); }
    bool empty() const { return size() == 0; }

    // Calls vertex(QPointF) with every point of the path, in order.
    template <typename Vertex> void forEach(Vertex &&vertex) const
    {
        if (start)
            vertex(*start);
        for (const ArcPoint &p : plotted)
            vertex(p.point);
        if (end)
            vertex(*end);
    }
};

// The path of the segment's arc; it refers to the curve's points, which must outlive it.
ArcPath arcPath(const Curve &curve, Segment segment);

// Tab-separated lines, one number a field, in the default locale without digit grouping: the
// base points, Incr, INST, the grid's headings, then each segment's grid row as shown.
QString parametersText(const Curve &curve);
