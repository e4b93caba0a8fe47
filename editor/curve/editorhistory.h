#pragma once

#include "editor/curve/editorsnapshot.h"

#include <QString>
#include <QUndoStack>

#include <functional>

// The editor's undo history, and the one place that decides what becomes a step of it. A change
// of the user's (a click, a bar's move, a typed value taken) is a step named after it, unless
// the editor then looks as it did before; a change inside another one belongs to that one; a
// drag is one step, recorded when the thumb is released; while a box holds what a check would
// refuse, a drag's drawing waits for the release, and a thumb released where it was pressed
// changes nothing. Redraws that are not the user's (an activation, an undo's restore) are no
// step: what they drew is what the next step starts from. Widget-free: the editor tells it what
// happens and gives it the two ways to its state.
class EditorHistory
{
public:
    // What the editor shows and holds right now; bringing a state back.
    using Capture = std::function<EditorSnapshot()>;
    using Restore = std::function<void(const EditorSnapshot &)>;

    EditorHistory(Capture capture, Restore restore);

    QUndoStack &stack() { return m_stack; }

    // A change of the user's, drawn by redraw. With held (the thumb is still down), its step
    // waits for released().
    void change(const QString &name, const std::function<void()> &redraw, bool held = false);
    // A held change whose drawing waits for the release; whether one already does.
    void waitForRelease(const QString &name);
    bool waitsForRelease() const { return m_redrawAtRelease; }
    // The thumb of a bar pressed, and released at a value: a waiting drawing is then made with
    // redraw, and the drag recorded as one step.
    void pressed(int value) { m_valueAtPress = value; }
    void released(int value, const std::function<void()> &redraw);

    // After a redraw that is not a change (an activation): outside a change or a drag, what it
    // drew is the state the next step starts from.
    void drawn();
    // Draws a state brought back (an undo, an opened work): draw runs with isRestoring() true,
    // so that the editor draws it without checks or copying; the state is then where the next
    // step starts.
    void drawRestored(const EditorSnapshot &state, const std::function<void()> &draw);
    bool isRestoring() const { return m_restoring; }
    // Runs what with isRestoring() true (showing the editor with an opened work).
    void whileRestoring(const std::function<void()> &what);
    // A new work: no step to undo, and its state is where the next step starts.
    void startFrom(const EditorSnapshot &state);

private:
    void record(const QString &name);

    Capture m_capture;
    Restore m_restore;
    QUndoStack m_stack;
    EditorSnapshot m_saved; // the state after the last redraw: the "before" of the next step
    bool m_inChange = false;
    QString m_heldStep;     // the name of a drag's step, while its redraws are not recorded
    int m_valueAtPress = 0; // the held bar's value when its thumb was pressed
    bool m_redrawAtRelease = false;
    bool m_restoring = false;
};
