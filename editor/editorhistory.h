#pragma once

#include "editor/editorstate.h"

#include <QString>
#include <QUndoCommand>

#include <array>
#include <functional>
#include <optional>

// Everything a redraw of the curve editor reads or writes, as it stood right after one: what an
// undo brings back. Values and texts only, no picture: the drawing is made again from them.
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

    friend bool operator==(const EditorSnapshot &, const EditorSnapshot &) = default;
};

// One step of the editor in its history: the states right before and right after it.
class EditorStep : public QUndoCommand
{
public:
    using Restore = std::function<void(const EditorSnapshot &)>;

    EditorStep(const QString &text, EditorSnapshot before, EditorSnapshot after, Restore restore);

    void undo() override;
    void redo() override;

private:
    EditorSnapshot m_before;
    EditorSnapshot m_after;
    Restore m_restore;
    // A step is recorded after its own redraw: the redo that pushing it runs has nothing to do.
    bool m_pushed = false;
};
