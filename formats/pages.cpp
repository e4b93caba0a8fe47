#include "formats/pages.h"

#include "draw/clip.h"
#include "editor/curve/offset.h"

#include <QFont>
#include <QMarginsF>
#include <QPagedPaintDevice>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace {

constexpr double crossHalf = 1.5;  // half the arms of a base point's cross
constexpr double letterSize = 3.5; // the base points' letters
constexpr double labelSize = 3;    // a tiled sheet's row and column
constexpr double labelRoom = 6;    // the strip the label takes atop a tiled sheet
constexpr double markRadius = 3;   // the circle of an alignment mark; its cross is twice as long
// Around the curve, so that the crosses of the points at its edges, and their letters above and
// to the right, are on paper; and no more, so that a curve that fits a sheet with them gets one.
constexpr QMarginsF drawingPad(crossHalf + 0.5, crossHalf + letterSize + 0.5,
                               crossHalf + letterSize, crossHalf + 0.5);
constexpr double squareSide = 100;
constexpr QSizeF squareBlock(squareSide, squareSide + 13); // the square and its two lines

// The sheets' own marks and labels: not the curve's black, nor its dark red.
const QColor markInk(96, 96, 96);

bool isFinite(QPointF p)
{
    return std::isfinite(p.x()) && std::isfinite(p.y());
}

// The curve on the drawing's plane: millimetres from the top-left corner of the drawing, y down.
struct Drawing
{
    std::vector<QPolygonF> arcs;
    std::vector<QLineF> chords;
    std::vector<QPolygonF> offsets;
    std::array<QPointF, 5> points{};
    std::array<bool, 5> shown{};
    QSizeF size;
};

Drawing drawingOf(const Curve &curve, double millimetresPerUnit, std::span<const QPolygonF> offsets)
{
    const std::array<QPointF, 5> basePoints = {curve.chords[0].p1(), curve.chords[1].p1(),
                                               curve.chords[2].p1(), curve.chords[3].p1(),
                                               curve.chords[3].p2()};
    const std::optional<PlaneBounds> bounds = planeBounds(curve, offsets);
    Drawing drawing;
    if (!bounds) {
        drawing.size =
            QSizeF(drawingPad.left() + drawingPad.right(), drawingPad.top() + drawingPad.bottom());
        return drawing;
    }
    const double s = millimetresPerUnit;
    auto place = [&](QPointF p) {
        return QPointF((p.x() - bounds->left) * s + drawingPad.left(),
                       (bounds->top - p.y()) * s + drawingPad.top());
    };
    for (std::size_t i = 0; i < basePoints.size(); ++i) {
        drawing.points[i] = place(basePoints[i]);
        drawing.shown[i] = isFinite(drawing.points[i]);
    }
    // A point too far to be placed on paper at this scale is left out (the drawing is then too
    // large to lay out anyway).
    for (const QLineF &chord : curve.chords) {
        const QLineF placed(place(chord.p1()), place(chord.p2()));
        if (isFinite(placed.p1()) && isFinite(placed.p2()))
            drawing.chords.push_back(placed);
    }
    // Each arc's path placed as its chord's ends are, so that it ends where the next begins.
    for (Segment segment : segments) {
        const ArcPath path = arcPath(curve, segment);
        QPolygonF polyline;
        polyline.reserve(qsizetype(path.size()));
        path.forEach([&](QPointF p) {
            if (const QPointF placed = place(p); isFinite(placed))
                polyline << placed;
        });
        drawing.arcs.push_back(std::move(polyline));
    }
    for (const QPolygonF &line : offsets) {
        QPolygonF placed;
        placed.reserve(line.size());
        for (QPointF p : line)
            if (const QPointF at = place(p); isFinite(at))
                placed << at;
        drawing.offsets.push_back(std::move(placed));
    }
    drawing.size =
        QSizeF((bounds->right - bounds->left) * s + drawingPad.left() + drawingPad.right(),
               (bounds->top - bounds->bottom) * s + drawingPad.top() + drawingPad.bottom());
    return drawing;
}

// Where a base point's cross and letter lie.
QRectF pointBox(QPointF p)
{
    return QRectF(p.x() - crossHalf, p.y() - crossHalf - letterSize - 1,
                  2 * crossHalf + letterSize + 1, 2 * crossHalf + letterSize + 1);
}

// Calls line(a, b) with every piece of ink of the curve, its chords and its offset lines; a
// one-point arc is a line from the point to itself. Stops when line returns false.
template <typename Line> void forEachLine(const Drawing &drawing, Line &&line)
{
    for (const QLineF &chord : drawing.chords)
        if (!line(chord.p1(), chord.p2()))
            return;
    for (const auto *polylines : {&drawing.arcs, &drawing.offsets})
        for (const QPolygonF &arc : *polylines) {
            if (arc.size() == 1 && !line(arc.front(), arc.front()))
                return;
            for (qsizetype i = 1; i < arc.size(); ++i)
                if (!line(arc[i - 1], arc[i]))
                    return;
        }
}

// The tiling along one side: how many sheets, and how far the first starts before the drawing,
// so that a tiled drawing lies in the middle of the sheets.
struct Along
{
    double count = 1;
    double lead = 0;
    double room = 0;
    double step = 0; // from one sheet's start to the next's
};

Along along(double extent, double room, double overlap)
{
    Along a{1, 0, room, sheetStep(room, overlap)};
    if (extent > room) {
        a.count = std::ceil((extent - overlap) / a.step);
        a.lead = (a.count * room - (a.count - 1) * overlap - extent) / 2;
    }
    return a;
}

// The range of sheets along one side whose window meets [low, high].
std::pair<int, int> sheetsMeeting(const Along &a, double low, double high)
{
    const double first = std::ceil((low + a.lead - a.room) / a.step);
    const double last = std::floor((high + a.lead) / a.step);
    // Clamped before the conversion: a range far off the grid is empty, not undefined.
    return {int(std::clamp(first, 0.0, a.count)), int(std::clamp(last, -1.0, a.count - 1))};
}

struct Tiling
{
    QPageLayout::Orientation orientation;
    QSizeF sheetSize;
    Along across, down;
    std::vector<Sheet> sheets;
};

// The sheets the curve and its chords touch on paper of this size, or nothing when there are
// more than largestSheetCount.
std::optional<Tiling> tile(const Drawing &drawing, QSizeF sheetSize,
                           QPageLayout::Orientation orientation, double overlap)
{
    const QSizeF room = sheetSize - QSizeF(2 * paperMargin, 2 * paperMargin);
    Tiling tiling{orientation,
                  sheetSize,
                  along(drawing.size.width(), room.width(), overlap),
                  along(drawing.size.height(), room.height(), overlap),
                  {}};
    const Along &across = tiling.across, &down = tiling.down;
    // Beyond this the drawing needs more sheets than can be kept, whatever it touches.
    if (across.count > largestSheetCount || down.count > largestSheetCount)
        return std::nullopt;
    const int columns = int(across.count);
    std::vector<bool> touched(std::size_t(columns) * std::size_t(down.count));
    int count = 0;
    // For each column whose strip the line crosses, the rows its piece in the strip reaches: a
    // straight piece passes every height between its ends.
    forEachLine(drawing, [&](QPointF a, QPointF b) {
        const auto [firstColumn, lastColumn] =
            sheetsMeeting(across, std::min(a.x(), b.x()), std::max(a.x(), b.x()));
        for (int column = firstColumn; column <= lastColumn; ++column) {
            const QRectF strip(column * across.step - across.lead, std::min(a.y(), b.y()),
                               across.room, std::abs(b.y() - a.y()));
            const std::optional<QLineF> piece = clipLine(QLineF(a, b), strip);
            if (!piece)
                continue;
            const auto [firstRow, lastRow] = sheetsMeeting(down, std::min(piece->y1(), piece->y2()),
                                                           std::max(piece->y1(), piece->y2()));
            for (int row = firstRow; row <= lastRow; ++row) {
                auto cell = touched[std::size_t(row) * std::size_t(columns) + std::size_t(column)];
                if (!cell) {
                    cell = true;
                    if (++count > largestSheetCount)
                        return false;
                }
            }
        }
        return true;
    });
    if (count > largestSheetCount)
        return std::nullopt;
    for (int row = 0; row < int(down.count); ++row)
        for (int column = 0; column < columns; ++column)
            if (touched[std::size_t(row) * std::size_t(columns) + std::size_t(column)])
                tiling.sheets.push_back(
                    {row, column,
                     QRectF(column * across.step - across.lead, row * down.step - down.lead,
                            across.room, down.room)});
    return tiling;
}

// Whether the rectangle of the drawing's plane is clear of the curve, its chords and points.
bool isClear(const Drawing &drawing, const QRectF &area)
{
    for (std::size_t i = 0; i < drawing.points.size(); ++i)
        if (drawing.shown[i] && pointBox(drawing.points[i]).intersects(area))
            return false;
    bool clear = true;
    forEachLine(drawing, [&](QPointF a, QPointF b) {
        clear = !clipLine(QLineF(a, b), area);
        return clear;
    });
    return clear;
}

// Where the alignment marks of the tiling lie on the drawing's plane: in the middle of every
// strip two neighbouring sheets share, at a quarter and three quarters of the sheets' length.
std::vector<QPointF> alignmentMarks(const CurvePages &pages)
{
    const QSizeF room = pages.printable.size();
    const QSizeF step = pages.step();
    std::vector<QPointF> marks;
    for (int row = 0; row < pages.rows; ++row)
        for (int column = 0; column < pages.columns; ++column) {
            const QPointF corner =
                pages.tilingOrigin + QPointF(column * step.width(), row * step.height());
            if (column + 1 < pages.columns)
                for (double at : {0.25, 0.75})
                    marks.push_back(corner +
                                    QPointF(room.width() - pages.overlap / 2, at * room.height()));
            if (row + 1 < pages.rows)
                for (double at : {0.25, 0.75})
                    marks.push_back(corner +
                                    QPointF(at * room.width(), room.height() - pages.overlap / 2));
        }
    return marks;
}

// The strips of a tiled sheet that neighbouring sheets cover too, with their marks, from the
// sheet's top-left corner.
std::vector<QRectF> sharedStrips(const CurvePages &pages, const Sheet &sheet)
{
    const QRectF p = pages.printable;
    const double reach = pages.overlap + 2 * markRadius;
    std::vector<QRectF> strips;
    if (sheet.column > 0)
        strips.emplace_back(p.left(), p.top(), reach, p.height());
    if (sheet.column + 1 < pages.columns)
        strips.emplace_back(p.right() - reach, p.top(), reach, p.height());
    if (sheet.row > 0)
        strips.emplace_back(p.left(), p.top(), p.width(), reach);
    if (sheet.row + 1 < pages.rows)
        strips.emplace_back(p.left(), p.bottom() - reach, p.width(), reach);
    return strips;
}

// Where on the first sheet the test square's block has room, if anywhere: a corner of the
// printable area (the bottom ones first) that nothing of the curve, the label or the shared
// strips reaches.
std::optional<QPointF> roomForTestSquare(const CurvePages &pages, const Drawing &drawing)
{
    const Sheet &sheet = pages.sheets.front();
    const QRectF p = pages.printable;
    const double top = p.top() + (pages.tiled() ? labelRoom : 0);
    if (squareBlock.width() > p.width() || squareBlock.height() > p.bottom() - top)
        return std::nullopt;
    const double right = p.right() - squareBlock.width();
    const double bottom = p.bottom() - squareBlock.height();
    const std::vector<QRectF> strips =
        pages.tiled() ? sharedStrips(pages, sheet) : std::vector<QRectF>{};
    for (QPointF corner : {QPointF(p.left(), bottom), QPointF(right, bottom), QPointF(right, top),
                           QPointF(p.left(), top)}) {
        const QRectF block(corner, squareBlock);
        const QRectF around = block.adjusted(-3, -3, 3, 3);
        if (std::ranges::any_of(strips, [&](const QRectF &s) { return s.intersects(around); }))
            continue;
        if (isClear(drawing, around.translated(sheet.window.topLeft() - p.topLeft())))
            return corner;
    }
    return std::nullopt;
}

// A font whose em is the given millimetres on a painter that draws in millimetres.
QFont fontOf(double millimetres, const QPaintDevice &device)
{
    QFont font(QStringLiteral("Liberation Sans"));
    font.setStyleHint(QFont::SansSerif);
    // Points are converted by the device's resolution before the painter's scale applies.
    font.setPointSizeF(millimetres * 72 / device.logicalDpiY());
    return font;
}

void paintTestSquare(QPainter &painter, QPointF at, const QPaintDevice &device)
{
    painter.save();
    const double stroke = 0.5;
    QPen pen(Qt::black, stroke);
    pen.setJoinStyle(Qt::MiterJoin);
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    // The stroke inside the side: the square measures 100 mm to its outer edges.
    const QRectF square(at, QSizeF(squareSide, squareSide));
    painter.drawRect(square.adjusted(stroke / 2, stroke / 2, -stroke / 2, -stroke / 2));
    painter.setFont(fontOf(10, device));
    painter.drawText(square, Qt::AlignCenter, QStringLiteral("10 cm"));
    painter.setFont(fontOf(3.5, device));
    painter.drawText(QRectF(at.x(), at.y() + squareSide + 1, squareSide, 12),
                     Qt::AlignLeft | Qt::AlignTop,
                     QStringLiteral("Stampare a «dimensioni effettive» (100 %):\n"
                                    "il lato del quadrato deve misurare 10 cm."));
    painter.restore();
}

// Where the neighbouring sheets' printed areas begin: the dashed lines to lay them against.
void paintGuides(QPainter &painter, const CurvePages &pages, const Sheet &sheet)
{
    const QRectF &window = sheet.window;
    painter.setPen(QPen(markInk, 0.1, Qt::DashLine));
    const double stepAcross = pages.step().width(), stepDown = pages.step().height();
    if (sheet.column + 1 < pages.columns)
        painter.drawLine(QLineF(window.left() + stepAcross, window.top(),
                                window.left() + stepAcross, window.bottom()));
    if (sheet.column > 0)
        painter.drawLine(QLineF(window.right() - stepAcross, window.top(),
                                window.right() - stepAcross, window.bottom()));
    if (sheet.row + 1 < pages.rows)
        painter.drawLine(QLineF(window.left(), window.top() + stepDown, window.right(),
                                window.top() + stepDown));
    if (sheet.row > 0)
        painter.drawLine(QLineF(window.left(), window.bottom() - stepDown, window.right(),
                                window.bottom() - stepDown));
}

// The alignment marks that reach the window: a circle with a cross through it.
void paintMarks(QPainter &painter, const std::vector<QPointF> &marks, const QRectF &reach)
{
    painter.setPen(QPen(markInk, 0.2));
    const QRectF reachOfMarks =
        reach.adjusted(-markRadius * 2, -markRadius * 2, markRadius * 2, markRadius * 2);
    for (QPointF mark : marks) {
        if (!reachOfMarks.contains(mark))
            continue;
        painter.drawEllipse(mark, markRadius, markRadius);
        painter.drawLine(mark - QPointF(2 * markRadius, 0), mark + QPointF(2 * markRadius, 0));
        painter.drawLine(mark - QPointF(0, 2 * markRadius), mark + QPointF(0, 2 * markRadius));
    }
}

// Each polyline only where it reaches the window.
void paintPolylines(QPainter &painter, const std::vector<QPolygonF> &polylines, const QRectF &reach)
{
    for (const QPolygonF &arc : polylines) {
        if (arc.size() == 1 && reach.contains(arc.front()))
            painter.drawPoint(arc.front());
        // Each run of pieces that reach the window, as one polyline.
        qsizetype start = -1;
        for (qsizetype i = 1; i <= arc.size(); ++i) {
            const bool reaches = i < arc.size() && QRectF(arc[i - 1], arc[i])
                                                       .normalized()
                                                       .adjusted(-0.01, -0.01, 0.01, 0.01)
                                                       .intersects(reach);
            if (reaches && start < 0)
                start = i - 1;
            if (!reaches && start >= 0) {
                painter.drawPolyline(arc.constData() + start, int(i - start));
                start = -1;
            }
        }
    }
}

// The chords, then the arcs, then the offset lines, each only where it reaches the window.
void paintLines(QPainter &painter, const CurvePages &pages, const QRectF &reach)
{
    painter.setPen(QPen(Qt::black, chordLineWidth));
    for (const QLineF &chord : pages.chords)
        if (const std::optional<QLineF> piece = clipLine(chord, reach))
            painter.drawLine(*piece);

    QPen arcPen(arcColour(), arcLineWidth);
    arcPen.setCapStyle(Qt::RoundCap);
    arcPen.setJoinStyle(Qt::RoundJoin);
    painter.setPen(arcPen);
    paintPolylines(painter, pages.arcs, reach);

    // Dashed, so that the line to cut along is never taken for the margin beside it: dashes of
    // 2 mm, gaps of 1 mm.
    QPen offsetPen(offsetColour(), offsetLineWidth);
    offsetPen.setDashPattern({2 / offsetLineWidth, 1 / offsetLineWidth});
    offsetPen.setJoinStyle(Qt::RoundJoin);
    painter.setPen(offsetPen);
    paintPolylines(painter, pages.offsets, reach);
}

// The base points' crosses and letters that reach the window.
void paintPoints(QPainter &painter, const CurvePages &pages, const QRectF &reach,
                 const QPaintDevice &device)
{
    painter.setPen(QPen(Qt::black, 0.2));
    painter.setFont(fontOf(letterSize, device));
    for (std::size_t i = 0; i < pages.points.size(); ++i) {
        const QPointF point = pages.points[i];
        if (!pages.pointShown[i] || !pointBox(point).intersects(reach))
            continue;
        painter.drawLine(point - QPointF(crossHalf, 0), point + QPointF(crossHalf, 0));
        painter.drawLine(point - QPointF(0, crossHalf), point + QPointF(0, crossHalf));
        painter.drawText(point + QPointF(crossHalf + 0.3, -crossHalf - 0.3),
                         QString(QChar(char16_t(u'A' + i))));
    }
}

// A tiled sheet's place, in the middle of its top: the guides run near the sides, the marks at
// the quarters.
void paintLabel(QPainter &painter, const CurvePages &pages, const Sheet &sheet, int number,
                const QPaintDevice &device)
{
    const QRectF p = pages.printable;
    painter.setPen(markInk);
    painter.setFont(fontOf(labelSize, device));
    painter.drawText(QRectF(p.left(), p.top(), p.width(), labelRoom),
                     Qt::AlignHCenter | Qt::AlignTop,
                     QStringLiteral("riga %1, colonna %2 (foglio %3 di %4)")
                         .arg(sheet.row + 1)
                         .arg(sheet.column + 1)
                         .arg(number)
                         .arg(pages.sheets.size()));
}

void paintSheet(QPainter &painter, const CurvePages &pages, const Sheet &sheet,
                const std::vector<QPointF> &marks, int number, const QPaintDevice &device)
{
    const QRectF &window = sheet.window;
    const QRectF p = pages.printable;
    painter.save();
    painter.setClipRect(p);
    painter.translate(p.topLeft() - window.topLeft());
    // Only what reaches the window goes into the page: a large curve on many sheets would
    // otherwise repeat every point on each.
    const QRectF reach = window.adjusted(-1, -1, 1, 1);
    if (pages.tiled()) {
        paintGuides(painter, pages, sheet);
        paintMarks(painter, marks, reach);
    }
    paintLines(painter, pages, reach);
    paintPoints(painter, pages, reach, device);
    painter.restore();
    if (pages.tiled()) {
        painter.save();
        paintLabel(painter, pages, sheet, number, device);
        painter.restore();
    }
}

} // namespace

std::variant<CurvePages, QString> layOutPages(const Curve &curve, const TrueScale &scale,
                                              const QPageSize &paper,
                                              std::optional<QPageLayout::Orientation> orientation)
{
    const OffsetLines offsets = trueScaleOffset(curve, scale);
    if (const QString *reason = std::get_if<QString>(&offsets))
        return *reason;
    Drawing drawing =
        drawingOf(curve, scale.millimetresPerUnit, std::get<std::vector<QPolygonF>>(offsets));
    const QSizeF portrait = paper.size(QPageSize::Millimeter);
    std::optional<Tiling> best;
    for (auto candidate : {QPageLayout::Portrait, QPageLayout::Landscape}) {
        if (orientation && *orientation != candidate)
            continue;
        const QSizeF size = candidate == QPageLayout::Portrait ? portrait : portrait.transposed();
        std::optional<Tiling> tiling = tile(drawing, size, candidate, scale.overlap);
        if (tiling && (!best || tiling->sheets.size() < best->sheets.size()))
            best = std::move(tiling);
    }
    if (!best)
        return QStringLiteral("a questa scala la curva occuperebbe più di %1 fogli: ridurre i "
                              "millimetri per unità")
            .arg(largestSheetCount);

    CurvePages pages;
    pages.paper = paper;
    pages.orientation = best->orientation;
    pages.sheetSize = best->sheetSize;
    pages.printable = QRectF(QPointF(paperMargin, paperMargin),
                             best->sheetSize - QSizeF(2 * paperMargin, 2 * paperMargin));
    pages.rows = int(best->down.count);
    pages.columns = int(best->across.count);
    pages.overlap = scale.overlap;
    pages.tilingOrigin = QPointF(-best->across.lead, -best->down.lead);
    pages.sheets = std::move(best->sheets);
    if (pages.sheets.empty()) // nothing finite to draw: the drawing's first sheet, blank
        pages.sheets.push_back({0, 0, QRectF(QPointF(), pages.printable.size())});
    pages.testSquare = roomForTestSquare(pages, drawing);
    // The drawing's points go to the pages, without a copy of the 360,000 of INST 1000.
    pages.arcs = std::move(drawing.arcs);
    pages.chords = std::move(drawing.chords);
    pages.offsets = std::move(drawing.offsets);
    pages.points = drawing.points;
    pages.pointShown = drawing.shown;
    return pages;
}

QPageLayout pageLayoutOf(const CurvePages &pages)
{
    QPageLayout layout(pages.paper, pages.orientation,
                       QMarginsF(paperMargin, paperMargin, paperMargin, paperMargin),
                       QPageLayout::Millimeter);
    // Painted from the paper's corner: the margins are the drawing's own.
    layout.setMode(QPageLayout::FullPageMode);
    return layout;
}

int pageCount(const CurvePages &pages)
{
    return int(pages.sheets.size()) + (pages.testSquare ? 0 : 1);
}

bool paintPages(QPagedPaintDevice &device, const CurvePages &pages, int firstPage, int lastPage)
{
    if (!device.setPageLayout(pageLayoutOf(pages)))
        return false;
    QPainter painter;
    if (!painter.begin(&device))
        return false;
    painter.scale(device.logicalDpiX() / 25.4, device.logicalDpiY() / 25.4);
    bool ok = true;
    int number = 0;
    // Whether the next page is one to paint; if so, it is started (the first one is by begin).
    auto nextPage = [&] {
        ++number;
        if (!ok || number < firstPage || number > lastPage)
            return false;
        if (number > std::max(firstPage, 1))
            ok = device.newPage();
        return ok;
    };
    if (!pages.testSquare && nextPage())
        paintTestSquare(painter, pages.printable.topLeft(), device);
    const std::vector<QPointF> marks =
        pages.tiled() ? alignmentMarks(pages) : std::vector<QPointF>{};
    for (std::size_t i = 0; i < pages.sheets.size(); ++i) {
        if (!nextPage())
            continue;
        paintSheet(painter, pages, pages.sheets[i], marks, int(i + 1), device);
        if (i == 0 && pages.testSquare)
            paintTestSquare(painter, *pages.testSquare, device);
    }
    return painter.end() && ok;
}
