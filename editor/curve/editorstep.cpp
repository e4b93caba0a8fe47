#include "editor/curve/editorstep.h"

#include <utility>

EditorStep::EditorStep(const QString &text, EditorSnapshot before, EditorSnapshot after,
                       Capture capture, Restore restore)
    : m_before(std::move(before)), m_after(std::move(after)), m_capture(std::move(capture)),
      m_restore(std::move(restore))
{
    setText(text);
}

void EditorStep::undo()
{
    // A redo right after this undo brings back what the user sees now, with whatever changed
    // since the step: a segment chosen, text typed, an activation's redraw.
    m_after = m_capture();
    m_restore(m_before);
}

void EditorStep::redo()
{
    if (!std::exchange(m_pushed, true))
        return;
    m_restore(m_after);
}
