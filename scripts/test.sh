#!/usr/bin/env bash
# Builds Stadix and runs every test (windows headless). Ends with ctest's summary.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/build.sh
export QT_QPA_PLATFORM=offscreen
cd build
ctest --output-on-failure -j2 --timeout 600
