#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test headless; then runs the same
# tests built with clang under AddressSanitizer and UBSan, after each fuzzer for a few seconds.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/setup.sh
cinquepunti_install_packages "${CINQUEPUNTI_CHECK_PACKAGES[@]}"
cinquepunti_build build -DCINQUEPUNTI_WERROR=ON
(cd build && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j2)

# Any sanitizer report, leaks included, ends its test with a failure.
export ASAN_OPTIONS=halt_on_error=1:detect_leaks=1
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
export LSAN_OPTIONS=suppressions=$PWD/scripts/lsan.supp:print_suppressions=0
scripts/fuzz.sh 10
CC=clang CXX=clang++ cinquepunti_build build-asan -DCINQUEPUNTI_SANITIZE=ON -DCINQUEPUNTI_WERROR=ON
cd build-asan
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j2
