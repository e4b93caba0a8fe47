#!/usr/bin/env bash
# Times the start to the first visible window, of the program (Form1) and of a bare Qt window
# with a label and a button (the floor), alternately, under Xvfb with openbox, and prints the
# medians in milliseconds. Usage: scripts/startup.sh [runs] (default 21). DISPLAY_NUMBER picks
# the display (default 99). Needs Xvfb, openbox and xdotool.
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${1:-21}
display=:${DISPLAY_NUMBER:-99}
cmake -S . -B build-bench -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF >/dev/null
cmake --build build-bench -j2 --target cinquepunti cinquepunti_startup_floor >/dev/null

Xvfb "$display" -screen 0 1920x1080x24 -nolisten tcp 2>/dev/null &
xvfb=$!
sleep 1
DISPLAY=$display openbox 2>/dev/null &
openbox=$!
trap 'kill $openbox $xvfb 2>/dev/null' EXIT
sleep 1
export DISPLAY=$display

# Milliseconds from the launch until a window of that title is mapped; xdotool is polled in a
# loop, which both programs pay alike (about a millisecond a poll).
time_start() {
    local program=$1 title=$2 start end pid
    start=$(date +%s%N)
    "$program" >/dev/null 2>&1 &
    pid=$!
    until xdotool search --onlyvisible --name "^$title\$" >/dev/null 2>&1; do :; done
    end=$(date +%s%N)
    kill "$pid"
    wait "$pid" 2>/dev/null || true
    echo $(((end - start) / 1000))
}

median() { sort -n | awk '{ a[NR] = $1 } END { print (NR % 2 ? a[(NR + 1) / 2] : (a[NR / 2] + a[NR / 2 + 1]) / 2) / 1000 }'; }

program=() floor=()
for _ in $(seq "$runs"); do
    program+=("$(time_start build-bench/cinquepunti Form1)")
    floor+=("$(time_start build-bench/bench/cinquepunti_startup_floor Floor)")
done
p=$(printf '%s\n' "${program[@]}" | median)
f=$(printf '%s\n' "${floor[@]}" | median)
echo "start to first window, median of $runs (ms): program $p, bare window $f, ratio $(awk "BEGIN { printf \"%.2f\", $p / $f }") (target: at most 1.15)"
