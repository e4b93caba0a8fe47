#!/usr/bin/python3
"""Walks the running program to a window, as a screen reader user would, and prints the
window's accessible tree as AT-SPI gives it: role, name, description, value, states.

usage: accessibletree.py [Form1|Form2|Form3|Form4]   (Form4 by default)

Run by scripts/accessibletree.sh, which starts the program on a bus and a display of its own.
"""
import sys
import time

import pyatspi

WINDOW_NAMES = {
    "Form1": "Cinquepunti – istruzioni",
    "Form2": "Cinquepunti – calibrazione dello schermo",
    "Form3": "Cinquepunti – punti base",
    "Form4": "Cinquepunti – editor della curva",
}


def application(timeout=20):
    end = time.monotonic() + timeout
    while time.monotonic() < end:
        for app in pyatspi.Registry.getDesktop(0):
            if app is not None and app.name == "cinquepunti":
                return app
        time.sleep(0.2)
    sys.exit("cinquepunti did not appear on the accessibility bus")


def window(app, form, timeout=20):
    end = time.monotonic() + timeout
    while time.monotonic() < end:
        for child in app:
            if child is not None and child.name == WINDOW_NAMES[form]:
                return child
        time.sleep(0.2)
    sys.exit(f"no window named {WINDOW_NAMES[form]!r}")


def find(node, role, name):
    if node.getRole() == role and node.name == name:
        return node
    for child in node:
        if child is not None:
            found = find(child, role, name)
            if found:
                return found
    return None


def press(node, name):
    button = find(node, pyatspi.ROLE_PUSH_BUTTON, name)
    if button is None:
        sys.exit(f"no button {name!r}")
    button.queryAction().doAction(0)


def describe(node, depth=0):
    parts = [pyatspi.Accessible.getRoleName(node), repr(node.name)]
    if node.description:
        parts.append("description=" + repr(node.description))
    try:
        value = node.queryValue()
        parts.append(f"value={value.currentValue:g} [{value.minimumValue:g}, {value.maximumValue:g}]")
    except NotImplementedError:
        pass
    try:
        text = node.queryText()
        if node.getRole() in (pyatspi.ROLE_TEXT, pyatspi.ROLE_ENTRY):
            content = text.getText(0, -1)
            parts.append("text=" + repr(content if len(content) < 60 else content[:57] + "..."))
    except NotImplementedError:
        pass
    labels = [target.name for relation in node.getRelationSet()
              if relation.getRelationType() == pyatspi.RELATION_LABELLED_BY
              for target in (relation.getTarget(i) for i in range(relation.getNTargets()))]
    if labels:
        parts.append("labelled-by=" + repr(labels))
    states = node.getState()
    if not states.contains(pyatspi.STATE_SHOWING):
        parts.append("(hidden)")
    print("  " * depth + " ".join(parts))
    for child in node:
        if child is not None:
            describe(child, depth + 1)


def main():
    form = sys.argv[1] if len(sys.argv) > 1 else "Form4"
    app = application()
    if form != "Form1":
        press(window(app, "Form1"), "AVANTI")
    if form in ("Form3", "Form4"):
        calibration = window(app, "Form2")
        bar = find(calibration, pyatspi.ROLE_SCROLL_BAR, "Barra di calibrazione")
        bar.queryValue().currentValue = 0.55
        press(calibration, "OK - continua")
    if form == "Form4":
        press(window(app, "Form3"), "AVANTI")
    time.sleep(1)
    describe(window(app, form))


if __name__ == "__main__":
    main()
