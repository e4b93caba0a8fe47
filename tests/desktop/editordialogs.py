#!/usr/bin/env python3
"""Runs the real program under openbox and checks what only a window manager shows of the
editor's dialogs and messages:

    editordialogs.py PROGRAM

- after "Esporta..." over an existing file and "Sì" to the replace question, the editor is the
  active window again, so that Ctrl+Z undoes its last step (tried three times: openbox gives the
  keyboard to another window only sometimes);
- a drag of the vertical bar's thumb while an ALFA box holds "x" opens no message while the
  button is held, the check's message once at the release, and Ctrl+Z undoes the whole drag;
- Qt's print dialog (Ctrl+P) closed with Escape gives the keyboard back to the editor;
- from a box, Ctrl+E (under X11 a box's end of the line) opens the export dialog;
- the Menu key in a box and Shift+F10 on the bar open one menu, the drawing's: its first entry
  "Annulla" undoes the editor's last step;
- Ctrl+Z and Ctrl+Y in a box undo and redo its typing while the editor has a step to redo
  (Qt's X11 keys give a box no Ctrl+Y).
"""

import os
import signal
import sys
import tempfile

from firstdrawing import Desktop, Failure, to_editor, twips, wait_for

# Frame4 on the editor, and in it the bar HScroll2 and its box Text7, in client pixels.
FRAME4 = (twips(240), twips(2760))
BAR = (FRAME4[0] + twips(120), FRAME4[1] + twips(480), twips(5295), twips(255))
TEXT7 = (FRAME4[0] + twips(5520), FRAME4[1] + twips(360), twips(615), twips(375))
TEXT10 = (twips(480) + twips(1560) + 8, twips(5160) + twips(240) + 8)  # in Frame5
TEXT9_BOX = (twips(4920), twips(5400), twips(375), twips(375))
TEXT9 = (TEXT9_BOX[0] + 12, TEXT9_BOX[1] + 12)
ARROW = (BAR[0] + BAR[2] - 6, BAR[1] + BAR[3] // 2)  # the bar's right arrow


def region(image, rect):
    width, _, pixels = image
    left, top, w, h = rect
    return b"".join(pixels[(y * width + left) * 3:(y * width + left + w) * 3]
                    for y in range(top, top + h))


def active(desktop):
    return desktop.run(["xdotool", "getactivewindow", "getwindowname"], check=False).strip()


def messages(desktop, title="Cinquepunti"):
    return desktop.run(["xdotool", "search", "--onlyvisible", "--name", f"^{title}$"],
                       check=False).split()


def key(desktop, *keys):
    desktop.run(["xdotool", "key", "--clearmodifiers", *keys])


def steadily(what, probe, polls=5):
    """Waits, bounded, until probe() has held for `polls` polls in a row: a window manager may
    give the editor the keyboard and then choose another window, and a second message would
    open only once the answer to the first has been handled."""
    held = [0]

    def check():
        held[0] = held[0] + 1 if probe() else 0
        return held[0] >= polls
    wait_for(what, check)


def editor_keeps_the_keyboard(desktop, after):
    try:
        steadily(f"the editor to be active after {after}", lambda: active(desktop) == "Form4")
    except Failure:
        raise Failure(f"after {after} the active window is {active(desktop)!r}") from None


def expect_bar(desktop, form4, shown, what):
    """Waits until the bar's box shows its value as in `shown` again (the bar itself may show
    the focus or the pointer hovering)."""
    wait_for(what, lambda: region(desktop.capture(form4), TEXT7) == region(shown, TEXT7),
             timeout=3)


def export_over(desktop, form4, folder):
    existing = os.path.join(folder, "curva.svg")
    with open(existing, "w") as file:
        file.write("vecchio")
    shown = desktop.steady_capture(form4, "the editor")
    desktop.click(form4, (BAR[0] + BAR[2] - 6, BAR[1] + BAR[3] // 2))  # the right arrow: a step
    key(desktop, "ctrl+e")
    desktop.window("Esporta la curva")
    desktop.run(["xdotool", "type", "--delay", "5", existing])
    key(desktop, "Return")
    # Qt's question box takes the title of the dialog that asks.
    wait_for("the replace question", lambda: len(messages(desktop, "Esporta la curva")) == 2)
    key(desktop, "alt+s")  # "Sì"
    wait_for("the saved curve", lambda: open(existing).read() != "vecchio")
    editor_keeps_the_keyboard(desktop, "the replace question")
    key(desktop, "ctrl+z")
    expect_bar(desktop, form4, shown, "Ctrl+Z to undo the bar's step")


def drag_with_refused_box(desktop, form4):
    desktop.click(form4, TEXT10)
    key(desktop, "ctrl+a", "x")
    shown = desktop.steady_capture(form4, "the editor")
    thumb = (BAR[0] + BAR[2] // 2, BAR[1] + BAR[3] // 2)
    desktop.run(["xdotool", "mousemove", "--window", form4, str(thumb[0]), str(thumb[1]),
                 "mousedown", "1"])
    # Each move once the program has drawn the thumb where the last one took it: the program
    # has seen every position, and no message has waited for a move still in the queue.
    bar = region(desktop.steady_capture(form4, "the thumb held"), BAR)
    for step in range(1, 16):
        desktop.run(["xdotool", "mousemove", "--window", form4, str(thumb[0] + 6 * step),
                     str(thumb[1])])

        def thumb_moved(before=bar):
            now = region(desktop.capture(form4), BAR)
            return now if now != before else None
        bar = wait_for(f"the thumb to follow move {step}", thumb_moved)
    # No message while the thumb is held: looked for once the program has handled the last
    # move and painted all it had to (two captures alike), a bounded wait on the program
    # itself rather than on the clock.
    desktop.steady_capture(form4, "the editor after the drag")
    if messages(desktop):
        raise Failure("a message opened while the thumb was held")
    desktop.run(["xdotool", "mouseup", "1"])
    wait_for("the check's message at the release", lambda: messages(desktop) or None)
    key(desktop, "Return")
    wait_for("the message to close", lambda: not messages(desktop))
    try:
        steadily("no more messages and the editor active",
                 lambda: not messages(desktop) and active(desktop) == "Form4")
    except Failure:
        raise Failure(f"after the message: {len(messages(desktop))} more, active "
                      f"{active(desktop)!r}") from None
    key(desktop, "ctrl+z")
    expect_bar(desktop, form4, shown, "one Ctrl+Z to undo the whole drag")


def print_cancelled(desktop, form4):
    shown = desktop.steady_capture(form4, "the editor")
    desktop.click(form4, (BAR[0] + BAR[2] - 6, BAR[1] + BAR[3] // 2))  # the right arrow: a step
    key(desktop, "ctrl+p")
    desktop.window("Stampa")
    key(desktop, "Escape")
    wait_for("the print dialog to close", lambda: not messages(desktop, "Stampa"))
    editor_keeps_the_keyboard(desktop, "the print dialog")
    key(desktop, "ctrl+z")
    expect_bar(desktop, form4, shown, "Ctrl+Z after printing to undo the bar's step")


def menus(desktop):
    """The program's open menus: windows that the window manager leaves alone, as it does menus
    and tool tips, taller than a tool tip."""
    return [window for window in desktop.run(
        ["xdotool", "search", "--onlyvisible", "--class", "^cinquepunti$"], check=False).split()
        if "Override Redirect State: yes" in desktop.run(["xwininfo", "-id", window], check=False)
        and desktop.client_size(window)[1] > 60]


def export_from_a_box(desktop, form4):
    desktop.click(form4, TEXT9)
    key(desktop, "ctrl+e")
    desktop.window("Esporta la curva")
    key(desktop, "Escape")
    wait_for("the export dialog to close", lambda: not messages(desktop, "Esporta la curva"))


def menu_from_the_keyboard(desktop, form4, keys, focus=None):
    """A step by the bar's arrow, which gives the bar the focus, then a click at focus if given;
    the keys open the drawing's menu, whose first entry undoes the step."""
    shown = desktop.steady_capture(form4, "the editor")
    desktop.click(form4, ARROW)
    if focus:
        desktop.click(form4, focus)
    key(desktop, keys)
    opened = wait_for(f"a menu after {keys}", lambda: menus(desktop))
    key(desktop, "Down", "Return")
    expect_bar(desktop, form4, shown, f"the menu of {keys} to undo the bar's step")
    if len(opened) != 1 or menus(desktop):
        raise Failure(f"{keys} opened more than one menu")


def typing_undone_and_redone(desktop, form4):
    def shows(image, what, boxes):
        wait_for(what, lambda: all(region(desktop.capture(form4), box) == region(image, box)
                                   for box in boxes), timeout=3)

    # Each time the focus leaves the box after the keys: no text cursor blinks in the captures.
    before = desktop.steady_capture(form4, "the editor")
    desktop.click(form4, TEXT9)
    key(desktop, "End", "7", "Tab")
    typed = desktop.steady_capture(form4, "the typing")
    desktop.click(form4, TEXT9)
    key(desktop, "ctrl+z", "Tab")
    shows(before, "Ctrl+Z to undo the typing", [TEXT9_BOX])
    desktop.click(form4, TEXT9)
    key(desktop, "ctrl+y", "Tab")
    shows(typed, "Ctrl+Y to redo the typing, not the editor's step", [TEXT9_BOX, TEXT7])


def main():
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(1))
    try:
        with Desktop(sys.argv[1], "openbox") as desktop, tempfile.TemporaryDirectory() as folder:
            form4 = to_editor(desktop)
            for _ in range(3):
                export_over(desktop, form4, folder)
            drag_with_refused_box(desktop, form4)
            print_cancelled(desktop, form4)
            export_from_a_box(desktop, form4)
            menu_from_the_keyboard(desktop, form4, "Menu", TEXT9)
            menu_from_the_keyboard(desktop, form4, "shift+F10")
            typing_undone_and_redone(desktop, form4)
            desktop.program_running()
    except (Failure, OSError) as failure:
        print(f"FAIL: {failure}")
        return 1
    print("PASS")
    return 0


if __name__ == "__main__":
    sys.exit(main())
