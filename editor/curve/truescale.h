#pragma once

#include <QPageSize>
#include <QString>

#include <optional>
#include <span>

// Which side of the curve an offset line runs on, looking the way the curve runs from A to E:
// the dialog lists them in this order.
enum class OffsetSide { Left, Right, Both };

// How the curve is taken out at its true size: on paper, and in the files that cutters read.
struct TrueScale
{
    // Millimetres for one unit of the editor's plane.
    double millimetresPerUnit = 1;
    QPageSize::PageSizeId paper = QPageSize::A4;
    // How far neighbouring sheets of a tiled drawing cover each other, in millimetres.
    double overlap = 10;
    // An offset line beside the curve (a seam allowance, a cutter's kerf), this far from it in
    // millimetres; none at 0.
    double offsetMillimetres = 0;
    OffsetSide offsetSide = OffsetSide::Left;

    friend bool operator==(const TrueScale &, const TrueScale &) = default;
};

// What the scale dialog offers and a document may hold.
inline constexpr double smallestMillimetresPerUnit = 0.001;
inline constexpr double largestMillimetresPerUnit = 1000;
inline constexpr double largestOverlap = 50;
inline constexpr double largestOffset = 50;

// The widths of the curve's lines on paper and in the files, in millimetres at every scale: as
// thin as a cutter expects of a line to cut along, as thick as an eye needs to follow it.
inline constexpr double arcLineWidth = 0.35;
inline constexpr double chordLineWidth = 0.15;
inline constexpr double offsetLineWidth = 0.25;

// One millimetre a unit, 10 mm of overlap, A4 where the default locale measures in metric and
// Letter elsewhere.
TrueScale defaultTrueScale();

// The paper sizes offered, in the order the dialog lists them.
std::span<const QPageSize::PageSizeId> paperSizes();
// "A4", "Letter" ...: how a paper size is written in documents and settings.
QString paperKey(QPageSize::PageSizeId paper);
std::optional<QPageSize::PageSizeId> paperOfKey(const QString &key);
// "left", "right", "both": how a side is written in documents and settings.
QString offsetSideKey(OffsetSide side);
std::optional<OffsetSide> offsetSideOfKey(const QString &key);

// Whether every value is one the dialog could have given.
bool isValid(const TrueScale &scale);
