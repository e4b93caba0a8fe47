#!/usr/bin/env bash
# Prints a window's accessible tree as a screen reader reads it through AT-SPI:
#   scripts/accessibletree.sh [Form1|Form2|Form3|Form4]
# Starts the built program (build/cinquepunti) on an X server, a session bus and settings
# folders of its own, and walks it to the window through AT-SPI alone. Needs Xvfb,
# python3-pyatspi, at-spi2-core and dbus.
set -euo pipefail
cd "$(dirname "$0")/.."
form=${1:-Form4}
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
export XDG_DATA_HOME=$home/data XDG_CONFIG_HOME=$home/config XDG_CACHE_HOME=$home/cache
export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 QT_QPA_PLATFORM=xcb
export ACCESSIBLETREE_HOME=$home
dbus-run-session -- bash -c '
    # A display number that is free: Xvfb picks it and writes it out.
    Xvfb -displayfd 3 -screen 0 1920x1080x24 -nolisten tcp 3>"$ACCESSIBLETREE_HOME/display" \
        2>/dev/null &
    xvfb=$!
    for _ in $(seq 50); do [ -s "$ACCESSIBLETREE_HOME/display" ] && break; sleep 0.1; done
    export DISPLAY=:$(cat "$ACCESSIBLETREE_HOME/display")
    build/cinquepunti 2>/dev/null &
    program=$!
    status=0
    /usr/bin/python3 scripts/accessibletree.py "$1" >&3 || status=$?
    kill $program $xvfb 2>/dev/null
    wait 2>/dev/null
    exit $status
' accessibletree "$form" 3>&1 >&2  # the tree alone on the output; the bus' own words apart
