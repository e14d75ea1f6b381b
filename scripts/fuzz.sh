#!/usr/bin/env bash
# Builds the fuzz targets with clang under the sanitizers and runs each for a bounded
# time (FUZZ_SECONDS, default 60).
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${FUZZ_SECONDS:-60}
CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DSTADIX_FUZZ=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build-fuzz
shopt -s nullglob
for target in build-fuzz/fuzz/*_fuzz; do
  corpus="build-fuzz/corpus/$(basename "$target")"
  mkdir -p "$corpus"
  echo "fuzzing $(basename "$target") for ${seconds}s"
  "$target" -max_total_time="$seconds" -print_final_stats=1 "$corpus" 2>&1 | tail -n 3
done
