#!/usr/bin/env bash
# Renders the editor's controls into the four pictures of the instructions page, and the same
# at twice the size for screens at scale 2.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/setup.sh
cinquepunti_build build
QT_QPA_PLATFORM=offscreen ./build/cinquepunti_pictures resources
QT_QPA_PLATFORM=offscreen QT_SCALE_FACTOR=2 ./build/cinquepunti_pictures resources
