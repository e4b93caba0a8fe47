#!/usr/bin/env bash
# Times the start to the first visible window, of the program (Form1) and of a bare Qt window
# with a label and a button (the floor), alternately, under Xvfb with openbox, and prints the
# medians in milliseconds with their quartiles, the ratio of the medians, the spread of the
# ratio of each pair of launches, and the load average. Usage: scripts/startup.sh [runs]
# (default 41). DISPLAY_NUMBER picks
# the display (default 99). Needs Xvfb, openbox and xdotool.
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${1:-41}
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

# The first quartile, the median and the third of the numbers on standard input, divided by
# a thousand (microseconds to milliseconds, per mille to a ratio), with the given decimals.
quartiles() {
    sort -n | awk -v d="${1:-1}" '{ a[NR] = $1 }
        function at(q,  i) { i = 1 + q * (NR - 1); return (a[int(i)] + (i - int(i)) * (a[int(i) + 1] - a[int(i)])) }
        END { f = "%." d "f"; printf f " " f " " f, at(0.25) / 1000, at(0.5) / 1000, at(0.75) / 1000 }'
}

program=() floor=() ratios=()
# One untimed launch each first: the files both read come into the cache alike.
time_start build-bench/cinquepunti Form1 >/dev/null
time_start build-bench/bench/cinquepunti_startup_floor Floor >/dev/null
for run in $(seq "$runs"); do
    # Alternated, and in turn first, so a slow spell of the machine falls on both.
    if ((run % 2)); then
        p=$(time_start build-bench/cinquepunti Form1)
        f=$(time_start build-bench/bench/cinquepunti_startup_floor Floor)
    else
        f=$(time_start build-bench/bench/cinquepunti_startup_floor Floor)
        p=$(time_start build-bench/cinquepunti Form1)
    fi
    program+=("$p") floor+=("$f") ratios+=("$((p * 1000 / f))")
done
read -r pq1 pm pq3 <<<"$(printf '%s\n' "${program[@]}" | quartiles)"
read -r fq1 fm fq3 <<<"$(printf '%s\n' "${floor[@]}" | quartiles)"
read -r rq1 rm rq3 <<<"$(printf '%s\n' "${ratios[@]}" | quartiles 2)"
echo "start to first window, $runs launches each (ms, median [quartiles]):"
echo "  program $pm [$pq1 .. $pq3], bare window $fm [$fq1 .. $fq3]"
echo "  ratio of the medians $(awk "BEGIN { printf \"%.2f\", $pm / $fm }") (target: at most 1.15);" \
    "ratio of each pair, median $rm [$rq1 .. $rq3]"
echo "  load average: $(cut -d' ' -f1-3 /proc/loadavg)"
