#include "editor/editorhistory.h"

#include <utility>

EditorStep::EditorStep(const QString &text, EditorSnapshot before, EditorSnapshot after,
                       Restore restore)
    : m_before(std::move(before)), m_after(std::move(after)), m_restore(std::move(restore))
{
    setText(text);
}

void EditorStep::undo()
{
    m_restore(m_before);
}

void EditorStep::redo()
{
    if (!std::exchange(m_pushed, true))
        return;
    m_restore(m_after);
}
