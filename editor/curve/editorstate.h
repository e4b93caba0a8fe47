#pragma once

#include "common/basepoints.h"
#include "common/variant.h"
#include "editor/curve/arc.h"

#include <QString>

#include <cstddef>
#include <optional>

// The curve editor's numbers, free of widgets: the parameters its controls edit, the table of
// the four segments' parameters, the readout of one segment and the increment checks.

enum class Segment { AB, BC, CD, DE };
constexpr Segment segments[] = {Segment::AB, Segment::BC, Segment::CD, Segment::DE};

// "AB" ... "DE", and the segment of such a name.
QString segmentName(Segment segment);
std::optional<Segment> segmentNamed(const QString &name);

// The base points a segment's chord joins: 0 for A, up to 4 for E.
struct ChordEnds
{
    std::size_t from;
    std::size_t to;
};
constexpr ChordEnds chordEnds(Segment segment)
{
    const auto from = static_cast<std::size_t>(segment);
    return {from, from + 1};
}

// The displacement bars run from -limit to +limit: HScroll1 (horizontal), HScroll2 (vertical).
constexpr int horizontalBarLimit = 1000;
constexpr int verticalBarLimit = 500;

// The values the controls edit: the two bars' displacements and the three increments.
struct CurrentParameters
{
    Variant SPTO; // horizontal displacement, HScroll1
    Variant SPTV; // vertical displacement, HScroll2
    Variant AVX;  // horizontal ALFA increment, Text11
    Variant AVY;  // vertical ALFA increment, Text10
    Variant INST; // points increment, Text9

    friend bool operator==(const CurrentParameters &, const CurrentParameters &) = default;
};

// One segment's row of the table.
struct SegmentValues
{
    Variant SPX; // horizontal displacement
    Variant SPY; // vertical displacement
    Variant AVX; // horizontal ALFA increment
    Variant AVY; // vertical ALFA increment
};

// The parameters each segment's arc is drawn with; all sixteen start unset.
class SegmentTable
{
public:
    SegmentValues row(Segment segment) const;
    void setRow(Segment segment, const SegmentValues &values);
    // The selected segment takes the current parameters at each redraw, kinds and all: an
    // unset SPTO leaves an unset displacement, which the readout still shows as 0.
    void copyCurrent(Segment segment, const CurrentParameters &current);

    Variant SPXAB, SPYAB, AVXAB, AVYAB;
    Variant SPXBC, SPYBC, AVXBC, AVYBC;
    Variant SPXCD, SPYCD, AVXCD, AVYCD;
    Variant SPXDE, SPYDE, AVXDE, AVYDE;

    friend bool operator==(const SegmentTable &, const SegmentTable &) = default;
};

// The arc over a segment's chord with the segment's row; unset values count as 0.
ArcParameters segmentArc(const BasePoints &points, Segment segment, const SegmentValues &values);

// The four texts of a segment's readout row, in the grid's column order.
struct GridRow
{
    QString SPV;
    QString SPO;
    QString ALFV;
    QString ALFO;
};

// Displacements show as numbers, so a bar never moved reads "0"; an ALFA increment never
// assigned reads "1", the value its box starts with.
GridRow gridRow(const SegmentValues &values);

// What the check of an increment box decided: the value to store, and when the entry was
// refused or cut, the message to show and the text to put back into the box.
struct IncrementCheck
{
    Variant value;
    QString message;     // empty when the entry is accepted as typed
    QString replacement; // the box's new text when message is not empty
};

// An increment box's text: not a number or zero gives 1 with a message naming the entry;
// above maximum (when given) gives the maximum with its own message.
IncrementCheck checkIncrement(const QString &text, const QString &name,
                              std::optional<double> maximum = std::nullopt);
