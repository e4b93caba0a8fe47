#!/usr/bin/env bash
# Installs what is missing, builds, and starts Cinquepunti.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/setup.sh
cinquepunti_install_packages
cinquepunti_build build
exec ./build/cinquepunti "$@"
