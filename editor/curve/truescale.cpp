#include "editor/curve/truescale.h"

#include <QLocale>

#include <algorithm>
#include <cmath>

namespace {

constexpr QPageSize::PageSizeId offered[] = {QPageSize::A4, QPageSize::A3, QPageSize::A5,
                                             QPageSize::Letter, QPageSize::Legal};

} // namespace

TrueScale defaultTrueScale()
{
    TrueScale scale;
    if (QLocale().measurementSystem() != QLocale::MetricSystem)
        scale.paper = QPageSize::Letter;
    return scale;
}

std::span<const QPageSize::PageSizeId> paperSizes()
{
    return offered;
}

QString paperKey(QPageSize::PageSizeId paper)
{
    return QPageSize::key(paper);
}

std::optional<QPageSize::PageSizeId> paperOfKey(const QString &key)
{
    for (QPageSize::PageSizeId paper : offered)
        if (QPageSize::key(paper) == key)
            return paper;
    return std::nullopt;
}

QString offsetSideKey(OffsetSide side)
{
    switch (side) {
    case OffsetSide::Left:
        return QStringLiteral("left");
    case OffsetSide::Right:
        return QStringLiteral("right");
    case OffsetSide::Both:
        break;
    }
    return QStringLiteral("both");
}

std::optional<OffsetSide> offsetSideOfKey(const QString &key)
{
    for (OffsetSide side : {OffsetSide::Left, OffsetSide::Right, OffsetSide::Both})
        if (offsetSideKey(side) == key)
            return side;
    return std::nullopt;
}

bool isValid(const TrueScale &scale)
{
    return scale.millimetresPerUnit >= smallestMillimetresPerUnit &&
           scale.millimetresPerUnit <= largestMillimetresPerUnit && scale.overlap >= 0 &&
           scale.overlap <= largestOverlap && std::ranges::count(offered, scale.paper) == 1 &&
           scale.offsetMillimetres >= 0 && scale.offsetMillimetres <= largestOffset &&
           (scale.offsetSide == OffsetSide::Left || scale.offsetSide == OffsetSide::Right ||
            scale.offsetSide == OffsetSide::Both);
}
