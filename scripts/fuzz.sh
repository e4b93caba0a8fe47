#!/usr/bin/env bash
# Builds the fuzz targets in build-fuzz with clang (AddressSanitizer, UBSan, libFuzzer) and runs
# each for the given number of seconds, starting from its seeds in fuzz/corpus/<target> (fuzz_offset
# from fuzz_arc's).
# Usage: scripts/fuzz.sh [seconds per target, default 20] [target...]
# What a run learns is kept in build-fuzz/corpus/<target>; a failing input is left in
# build-fuzz/artifacts/ and can be replayed with: build-fuzz/fuzz/<target> <input file>
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-20}
[ $# -gt 0 ] && shift
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(fuzz_numbers fuzz_arc fuzz_surface fuzz_document fuzz_pages fuzz_offset)

CC=clang CXX=clang++ cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCINQUEPUNTI_WERROR=ON \
    -DCINQUEPUNTI_FUZZ=ON -DCINQUEPUNTI_SANITIZE=ON -DBUILD_TESTING=OFF >/dev/null
cmake --build build-fuzz -j2 --target "${targets[@]}" >/dev/null

export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=${ASAN_OPTIONS:-halt_on_error=1:detect_leaks=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-halt_on_error=1:print_stacktrace=1}
export LSAN_OPTIONS=${LSAN_OPTIONS:-suppressions=$PWD/scripts/lsan.supp:print_suppressions=0}

mkdir -p build-fuzz/artifacts
total=0
failed=()
for target in "${targets[@]}"; do
    mkdir -p "build-fuzz/corpus/$target"
    log=build-fuzz/$target.log
    # The offset line starts from the curves of the arc fuzzer's seeds.
    seeds=fuzz/corpus/$target
    leaks=()
    options=$ASAN_OPTIONS
    if [ "$target" = fuzz_offset ]; then
        seeds=fuzz/corpus/fuzz_arc
        # GEOS 3.11.1 (Debian 12) leaks its working structures whenever its buffer or offset
        # curve throws, which a fuzzer's curves make it do in many places; the tests under
        # AddressSanitizer keep watching the program's own GEOS objects for leaks.
        leaks=(-detect_leaks=0)
        options=$ASAN_OPTIONS:detect_leaks=0
    fi
    if ! ASAN_OPTIONS=$options "build-fuzz/fuzz/$target" -max_total_time="$seconds" -timeout=10 -print_final_stats=1 "${leaks[@]}" \
        -artifact_prefix="build-fuzz/artifacts/$target-" \
        "build-fuzz/corpus/$target" "$seeds" >"$log" 2>&1; then
        grep -v '^#' "$log" | tail -n 40
        echo "$target FAILED: the input is in build-fuzz/artifacts/, the whole log in $log"
        failed+=("$target")
        continue
    fi
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
    echo "$target: ${runs:-0} executions in $seconds s"
    total=$((total + ${runs:-0}))
done
echo "fuzzers: $total executions in total"
if [ ${#failed[@]} -gt 0 ]; then
    echo "fuzzers that failed: ${failed[*]}"
    exit 1
fi
