#pragma once

#include "editor/curve/editorsnapshot.h"

#include <QString>
#include <QUndoCommand>

#include <functional>

// One step of the editor in its history: the states right before and right after it.
class EditorStep : public QUndoCommand
{
public:
    using Capture = std::function<EditorSnapshot()>;
    using Restore = std::function<void(const EditorSnapshot &)>;

    // capture tells what the editor shows at the moment of an undo; restore brings a state back.
    EditorStep(const QString &text, EditorSnapshot before, EditorSnapshot after, Capture capture,
               Restore restore);

    void undo() override;
    void redo() override;

private:
    EditorSnapshot m_before;
    EditorSnapshot m_after;
    Capture m_capture;
    Restore m_restore;
    // A step is recorded after its own redraw: the redo that pushing it runs has nothing to do.
    bool m_pushed = false;
};
