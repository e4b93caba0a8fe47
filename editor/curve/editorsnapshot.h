#pragma once

#include "editor/curve/editorstate.h"
#include "editor/curve/truescale.h"

#include <QString>

#include <array>
#include <optional>

// What the curve editor shows and holds: every box's text, the bars, the chosen segment and the
// values its drawing was made from. Values and texts only, no picture: the drawing is made again
// from them.
struct EditorSnapshot
{
    SegmentTable table;
    CurrentParameters current;
    int horizontalBar = 0; // HScroll1
    int verticalBar = 0;   // HScroll2
    QString Text6;
    QString Text7;
    QString Text9;
    QString Text10;
    QString Text11;
    std::array<std::array<QString, 4>, 4> grid{}; // by segment: SP.V, SP.O, ALF.V, ALF.O
    std::optional<Segment> selected{};            // none until the user picks a segment
    TrueScale trueScale;                          // how the curve goes on paper and to cutters

    friend bool operator==(const EditorSnapshot &, const EditorSnapshot &) = default;
};

// Whether the two states look the same to the user: the same texts, bars and segment, and a
// drawing made from the same numbers. A value's kind is not seen: a bar moved away and back
// leaves an integer 0 where the displacement was unset, and the same picture.
bool looksTheSame(const EditorSnapshot &a, const EditorSnapshot &b);
