#!/usr/bin/env bash
# Builds the benchmarks in build-bench (Release) and runs them; extra arguments go to Google
# Benchmark (for example --benchmark_filter=PSet). Repetitions give the medians.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/setup.sh
cinquepunti_install_packages libbenchmark-dev
cmake -S . -B build-bench -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF >/dev/null
cmake --build build-bench -j2 --target cinquepunti_bench cinquepunti_livebending
# Every figure goes with the CPU it was measured on.
lscpu | grep -m1 'Model name' || true
echo "load average before: $(cut -d' ' -f1-3 /proc/loadavg)"
QT_QPA_PLATFORM=offscreen ./build-bench/bench/cinquepunti_bench --benchmark_repetitions=5 \
    --benchmark_report_aggregates_only=true "$@"
# The ratios to the floors hold only while the second core is free for the redraw's walks.
echo "load average after: $(cut -d' ' -f1-3 /proc/loadavg)"
# The start to the first window beside a bare Qt window, and live bending at INST 1000, when
# an X server can be had.
if command -v Xvfb >/dev/null && command -v openbox >/dev/null && command -v xdotool >/dev/null; then
    scripts/startup.sh
    scripts/livebending.py
    scripts/livebending.py --show joins,comb,offset
else
    echo "Xvfb, openbox or xdotool missing: start-up and live bending not timed"
    echo "(scripts/startup.sh, scripts/livebending.py)"
fi
