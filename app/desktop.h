#pragma once

class QWidget;

// How the windows' controls meet a keyboard user and the drawings beneath them.
namespace app {

// Fits a window's controls for the keyboard: a horizontal scroll bar steps up for Right and
// PageDown and down for Left and PageUp, Home and End take it to its ends; Enter or Return on
// a push button clicks it; Tab leaves a multi-line box; every control shows its focus, from the
// window's opening; a scroll bar, picture or multi-line box in a frame around itself. Applied once
// to every window, after its controls exist.
void fitForKeyboard(QWidget *window);

// Makes a drawing window's labels and frames opaque in the window's back colour, so that no
// figure shows through a control; the drawing itself stays whole beneath them.
void coverDrawing(QWidget *window);

// Puts a window's own actions before its controls' keys. A shortcut of one of its enabled actions
// fires wherever the focus is in the window, also in a box that would take the key for its
// editing (Ctrl+E is the end of the line there under X11); only the undo and redo keys (the
// platform's, Ctrl+Z, Ctrl+Y and Ctrl+Shift+Z) stay with a box while it has typing of its own to
// undo or redo. The menu asked for from the keyboard (the Menu key, Shift+F10) is the window's
// own, at the focused control; a right click on a control still opens the control's. Applied
// once, after the window's controls exist.
void putWindowActionsFirst(QWidget *window);

} // namespace app
