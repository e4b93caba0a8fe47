#!/usr/bin/env bash
# Renders the editor's controls into the four pictures of the instructions page.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/setup.sh
cinquepunti_build build
QT_QPA_PLATFORM=offscreen ./build/cinquepunti_pictures resources
