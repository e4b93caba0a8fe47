#include "fuzzscale.h"

#include "draw/clip.h"
#include "formats/pages.h"

#include <QBuffer>
#include <QGuiApplication>
#include <QPdfWriter>

#include <algorithm>
#include <cmath>

// The layout of the curve's pages on any curve and scale: the sheets kept are exactly those
// that some of the curve or a chord reaches (checked against clipping every line with every
// sheet), there are at most largestSheetCount, and a small layout paints into a PDF.

namespace {

bool reached(const CurvePages &pages, const QRectF &window)
{
    auto meets = [&](QPointF a, QPointF b) { return bool(clipLine(QLineF(a, b), window)); };
    for (const QLineF &chord : pages.chords)
        if (meets(chord.p1(), chord.p2()))
            return true;
    for (const QPolygonF &arc : pages.arcs)
        for (qsizetype i = 0; i < arc.size(); ++i)
            if (meets(arc[i > 0 ? i - 1 : 0], arc[i]))
                return true;
    return false;
}

// The window of every place of the grid, grown or shrunk by a hair for rounding.
QRectF windowOf(const CurvePages &pages, int row, int column, double hair)
{
    const QSizeF room = pages.printable.size();
    const QPointF corner = pages.tilingOrigin + QPointF(column * (room.width() - pages.overlap),
                                                        row * (room.height() - pages.overlap));
    const double e = hair * (1 + std::abs(corner.x()) + std::abs(corner.y()) + room.width());
    return QRectF(corner, room).adjusted(-e, -e, e, e);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    new QGuiApplication(*argc, *argv); // fonts, for the letters and labels
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    FuzzInput input(data, size);
    Curve curve;
    for (QLineF &chord : curve.chords)
        chord = QLineF(input.number(0), input.number(0), input.number(10), input.number(10));
    for (auto &arc : curve.arcs) {
        const int count = input.byte() % 40;
        for (int i = 0; i < count; ++i)
            arc.push_back({0, QPointF(input.number(0), input.number(0))});
    }
    TrueScale scale;
    scale.millimetresPerUnit = fuzzedMillimetresPerUnit(input);
    scale.overlap = input.byte() % 51;
    scale.paper = paperSizes()[input.byte() % paperSizes().size()];

    const auto laid = layOutPages(curve, scale, QPageSize(scale.paper));
    if (const QString *reason = std::get_if<QString>(&laid)) {
        if (reason->isEmpty())
            fuzzFailure("a refusal without a reason");
        return 0;
    }
    const CurvePages &pages = std::get<CurvePages>(laid);
    const auto count = pages.sheets.size();
    if (count < 1 || count > std::size_t(largestSheetCount))
        fuzzFailure("a number of sheets out of range");
    const bool inked =
        !pages.chords.empty() ||
        std::ranges::any_of(pages.arcs, [](const QPolygonF &a) { return !a.empty(); });
    std::vector<bool> kept(std::size_t(pages.rows) * std::size_t(pages.columns));
    for (const Sheet &sheet : pages.sheets) {
        if (sheet.row < 0 || sheet.row >= pages.rows || sheet.column < 0 ||
            sheet.column >= pages.columns)
            fuzzFailure("a sheet outside the grid");
        kept[std::size_t(sheet.row) * std::size_t(pages.columns) + std::size_t(sheet.column)] =
            true;
        if (inked && !reached(pages, windowOf(pages, sheet.row, sheet.column, 1e-9)))
            fuzzFailure("a sheet that nothing reaches");
    }
    if (kept.size() <= 64)
        for (int row = 0; row < pages.rows; ++row)
            for (int column = 0; column < pages.columns; ++column)
                if (!kept[std::size_t(row) * std::size_t(pages.columns) + std::size_t(column)] &&
                    reached(pages, windowOf(pages, row, column, -1e-9)))
                    fuzzFailure("a sheet left out that the curve reaches");
    if (pages.testSquare && !pages.printable.contains(QRectF(*pages.testSquare, QSizeF(100, 100))))
        fuzzFailure("the test square off the printable area");

    if (count <= 2) {
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        QPdfWriter writer(&buffer);
        if (!paintPages(writer, pages))
            fuzzFailure("the pages could not be painted");
    }
    return 0;
}
