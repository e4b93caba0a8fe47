#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test headless.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/setup.sh
cinquepunti_install_packages
cinquepunti_build build
cd build
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j2
