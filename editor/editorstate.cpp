#include "editor/editorstate.h"

#include "common/numbers.h"

SegmentValues SegmentTable::row(Segment segment) const
{
    switch (segment) {
    case Segment::AB:
        return {SPXAB, SPYAB, AVXAB, AVYAB};
    case Segment::BC:
        return {SPXBC, SPYBC, AVXBC, AVYBC};
    case Segment::CD:
        return {SPXCD, SPYCD, AVXCD, AVYCD};
    case Segment::DE:
        break;
    }
    return {SPXDE, SPYDE, AVXDE, AVYDE};
}

void SegmentTable::copyCurrent(Segment segment, const CurrentParameters &current)
{
    auto copy = [&current](Variant &SPX, Variant &SPY, Variant &AVX, Variant &AVY) {
        SPX = current.SPTO;
        SPY = current.SPTV;
        AVX = current.AVX;
        AVY = current.AVY;
    };
    switch (segment) {
    case Segment::AB:
        copy(SPXAB, SPYAB, AVXAB, AVYAB);
        break;
    case Segment::BC:
        copy(SPXBC, SPYBC, AVXBC, AVYBC);
        break;
    case Segment::CD:
        copy(SPXCD, SPYCD, AVXCD, AVYCD);
        break;
    case Segment::DE:
        copy(SPXDE, SPYDE, AVXDE, AVYDE);
        break;
    }
}

ArcParameters segmentArc(const Variant &XP, const Variant &YP, const Variant &XQ, const Variant &YQ,
                         const SegmentValues &values)
{
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
