#!/usr/bin/env bash
# Installs what is missing, builds, and starts Cinquepunti.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/setup.sh
cinquepunti_install_packages
cinquepunti_configure build
cmake --build build -j2 --target cinquepunti
exec ./build/cinquepunti "$@"
