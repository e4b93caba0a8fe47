#include "editor/curve/editorhistory.h"

#include "editor/curve/editorstep.h"

#include <utility>

EditorHistory::EditorHistory(Capture capture, Restore restore)
    : m_capture(std::move(capture)), m_restore(std::move(restore))
{
    m_stack.setUndoLimit(1000);
}

void EditorHistory::change(const QString &name, const std::function<void()> &redraw, bool held)
{
    // The bar's move inside "Azzera" belongs to the reset's step.
    if (m_inChange) {
        redraw();
        return;
    }
    m_inChange = true;
    redraw();
    m_inChange = false;
    if (held)
        m_heldStep = name;
    else
        record(name);
}

void EditorHistory::waitForRelease(const QString &name)
{
    m_redrawAtRelease = true;
    m_heldStep = name;
}

void EditorHistory::released(int value, const std::function<void()> &redraw)
{
    if (m_heldStep.isEmpty())
        return;
    if (std::exchange(m_redrawAtRelease, false)) {
        // Back where it was pressed: the drawing that waited is still the right one, and a
        // refused box has nothing to answer for.
        if (value == m_valueAtPress) {
            m_heldStep.clear();
            return;
        }
        // Now the one change to the released value, with its checks and their messages, is
        // the drag's step.
        change(std::exchange(m_heldStep, {}), redraw);
        return;
    }
    // Taken out first: the name is the drag's, and the drag ends here.
    record(std::exchange(m_heldStep, {}));
}

void EditorHistory::record(const QString &name)
{
    m_heldStep.clear();
    EditorSnapshot after = m_capture();
    // A step that changes nothing the user sees would only make Ctrl+Z seem to do nothing.
    if (!looksTheSame(after, m_saved))
        m_stack.push(new EditorStep(name, m_saved, after, m_capture, m_restore));
    m_saved = std::move(after);
}

void EditorHistory::drawn()
{
    if (!m_inChange && m_heldStep.isEmpty())
        m_saved = m_capture();
}

void EditorHistory::drawRestored(const EditorSnapshot &state, const std::function<void()> &draw)
{
    whileRestoring(draw);
    m_saved = state;
}

void EditorHistory::whileRestoring(const std::function<void()> &what)
{
    m_restoring = true;
    what();
    m_restoring = false;
}

void EditorHistory::startFrom(const EditorSnapshot &state)
{
    m_stack.clear();
    m_saved = state;
}
