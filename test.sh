#!/usr/bin/env bash
# Sets up what is missing, builds, and runs every test:  ./test.sh
set -euo pipefail
cd "$(dirname "$0")"
source scripts/setup.sh
vestrel_install_missing
vestrel_build
cd build
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j"$(nproc)"
