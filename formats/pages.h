#pragma once

#include "editor/curve/curve.h"
#include "editor/curve/truescale.h"

#include <QLineF>
#include <QPageLayout>
#include <QPolygonF>

#include <array>
#include <limits>
#include <optional>
#include <variant>
#include <vector>

class QPagedPaintDevice;

// The curve on paper at its true size: the sheets it needs and what each one shows. Every length
// is in millimetres, y downwards. The whole drawing (the curve, its chords, the crosses and
// letters of the base points) lies on a plane of its own from (0, 0); a sheet shows a window of
// that plane inside its margins.
struct Sheet
{
    int row = 0; // from 0, top to bottom
    int column = 0;
    QRectF window;
};

// From one sheet's window to the next one's, along one side: the room inside the margins, less
// the overlap.
inline double sheetStep(double room, double overlap)
{
    return room - overlap;
}

struct CurvePages
{
    QPageSize paper;
    QPageLayout::Orientation orientation = QPageLayout::Portrait;
    QSizeF sheetSize; // the paper as it lies
    QRectF printable; // inside the margins, from the sheet's top-left corner
    int rows = 1;
    int columns = 1;
    double overlap = 0;
    QPointF tilingOrigin; // the top-left corner of the window of row 0, column 0
    // The sheets the curve or a chord touches, row by row; those nothing touches are left out.
    std::vector<Sheet> sheets;
    // Where the test square's block starts on the first sheet (from its top-left corner), or
    // nothing when there is no room: then the square has a page of its own, before the curve.
    std::optional<QPointF> testSquare;

    // The drawing on its plane.
    std::vector<QPolygonF> arcs;     // AB to DE, each along its path (arcPath)
    std::vector<QLineF> chords;      // AB to DE
    std::vector<QPolygonF> offsets;  // the scale's offset lines (trueScaleOffset)
    std::array<QPointF, 5> points{}; // A to E
    std::array<bool, 5> pointShown{};

    bool tiled() const { return rows * columns > 1; }
    // From one sheet's window to the next one's, across and down.
    QSizeF step() const
    {
        return {sheetStep(printable.width(), overlap), sheetStep(printable.height(), overlap)};
    }
};

inline constexpr double paperMargin = 10;
inline constexpr int largestSheetCount = 500;

// The pages of the curve and its offset line on the scale's paper, in the orientation that needs
// fewer sheets (portrait on a tie), or in the one given. Refused, with the reason in Italian, when
// the curve would need more than largestSheetCount sheets, or its offset line cannot be made.
std::variant<CurvePages, QString>
layOutPages(const Curve &curve, const TrueScale &scale, const QPageSize &paper,
            std::optional<QPageLayout::Orientation> orientation = std::nullopt);

// The page layout the pages are painted on: the paper as it lies, painted from its corner.
QPageLayout pageLayoutOf(const CurvePages &pages);

// How many pages the sheets take: one more when the test square has a sheet of its own.
int pageCount(const CurvePages &pages);

// Paints the pages onto the device (a PDF writer or a printer), the test square first: sets the
// device's page layout and starts a page for each sheet, from firstPage to lastPage (counted
// from 1) only. False when the device refuses either.
bool paintPages(QPagedPaintDevice &device, const CurvePages &pages, int firstPage = 1,
                int lastPage = std::numeric_limits<int>::max());
