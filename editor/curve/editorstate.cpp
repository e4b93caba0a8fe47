#include "editor/curve/editorstate.h"

#include "common/numbers.h"

#include <array>
#include <type_traits>

namespace {

// The four cells of a segment's row among the table's named values, in the order of
// SegmentValues; const for a const table.
template <typename Table> auto rowCells(Table &table, Segment segment)
{
    using Cell = std::conditional_t<std::is_const_v<Table>, const Variant, Variant>;
    switch (segment) {
    case Segment::AB:
        return std::array<Cell *, 4>{&table.SPXAB, &table.SPYAB, &table.AVXAB, &table.AVYAB};
    case Segment::BC:
        return std::array<Cell *, 4>{&table.SPXBC, &table.SPYBC, &table.AVXBC, &table.AVYBC};
    case Segment::CD:
        return std::array<Cell *, 4>{&table.SPXCD, &table.SPYCD, &table.AVXCD, &table.AVYCD};
    case Segment::DE:
        break;
    }
    return std::array<Cell *, 4>{&table.SPXDE, &table.SPYDE, &table.AVXDE, &table.AVYDE};
}

} // namespace

SegmentValues SegmentTable::row(Segment segment) const
{
    const auto cells = rowCells(*this, segment);
    return {*cells[0], *cells[1], *cells[2], *cells[3]};
}

void SegmentTable::setRow(Segment segment, const SegmentValues &values)
{
    const auto cells = rowCells(*this, segment);
    *cells[0] = values.SPX;
    *cells[1] = values.SPY;
    *cells[2] = values.AVX;
    *cells[3] = values.AVY;
}

void SegmentTable::copyCurrent(Segment segment, const CurrentParameters &current)
{
    setRow(segment, {current.SPTO, current.SPTV, current.AVX, current.AVY});
}

QString segmentName(Segment segment)
{
    static const char *const names[] = {"AB", "BC", "CD", "DE"};
    return QString::fromLatin1(names[static_cast<std::size_t>(segment)]);
}

std::optional<Segment> segmentNamed(const QString &name)
{
    for (Segment segment : segments)
        if (name == segmentName(segment))
            return segment;
    return std::nullopt;
}

ArcParameters segmentArc(const BasePoints &points, Segment segment, const SegmentValues &values)
{
    const auto [from, to] = chordEnds(segment);
    const Variant &XP = points.X[from];
    const Variant &YP = points.Y[from];
    const Variant &XQ = points.X[to];
    const Variant &YQ = points.Y[to];
    ArcParameters arc;
    arc.ASQ = XQ.toDouble() - XP.toDouble();
    arc.ASM = YQ.toDouble() - YP.toDouble();
    arc.SPTX = values.SPX.toDouble();
    arc.SPTY = values.SPY.toDouble();
    arc.X9 = XP.toDouble();
    arc.Y9 = YP.toDouble();
    arc.AVAX = values.AVX.toDouble();
    arc.AVAY = values.AVY.toDouble();
    return arc;
}

GridRow gridRow(const SegmentValues &values)
{
    auto alfa = [](const Variant &value) {
        return value.isUnset() ? QStringLiteral("1") : value.toText();
    };
    return {formatNumber(values.SPY.toDouble()), formatNumber(values.SPX.toDouble()),
            alfa(values.AVY), alfa(values.AVX)};
}

IncrementCheck checkIncrement(const QString &text, const QString &name,
                              std::optional<double> maximum)
{
    const std::optional<double> number = parseNumber(text);
    if (!number)
        return {Variant::integer(1), name + QStringLiteral(" non è un numero"),
                QStringLiteral("1")};
    if (*number == 0)
        return {Variant::integer(1), QStringLiteral("Non è ammesso 0 "), QStringLiteral("1")};
    // Beyond the maximum a redraw would take minutes, or never end once the step no longer
    // moves the angle.
    if (maximum && *number > *maximum)
        return {Variant::real(*maximum),
                QStringLiteral("Il massimo ammesso è ") + formatNumber(*maximum),
                formatNumber(*maximum)};
    return {Variant::real(*number), {}, {}};
}
