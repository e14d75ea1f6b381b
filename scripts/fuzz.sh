#!/usr/bin/env bash
# Builds the fuzz targets with clang under the sanitizers and runs each for a bounded
# time (FUZZ_SECONDS, default 60) from a fixed seed, so that a run repeats the inputs of
# an earlier one. Each target starts from its committed seeds (fuzz/corpus/<name>/,
# written by fuzz/make_corpus.py), copied into a working corpus under build-fuzz/ that
# keeps what the runs find; a target's fuzz/<name>.dict, when there is one, gives it the
# words of its input. Fails on the first finding, showing its report.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${FUZZ_SECONDS:-60}
bash scripts/setup-debian.sh
CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DSTADIX_FUZZ=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build-fuzz
shopt -s nullglob
for target in build-fuzz/fuzz/*_fuzz; do
  name=$(basename "$target")
  corpus="build-fuzz/corpus/$name"
  log="build-fuzz/$name.log"
  mkdir -p "$corpus"
  seeds=(fuzz/corpus/"$name"/*)
  [ ${#seeds[@]} -gt 0 ] && cp "${seeds[@]}" "$corpus"/
  dict=()
  [ -f "fuzz/$name.dict" ] && dict=(-dict="../fuzz/$name.dict")
  echo "fuzzing $name for ${seconds}s"
  if ! (cd build-fuzz && "../$target" -seed=1 -max_total_time="$seconds" -print_final_stats=1 "${dict[@]}" "../$corpus") >"$log" 2>&1; then
    tail -n 60 "$log"
    echo "fuzzing $name found a fault"
    exit 1
  fi
  grep -E 'stat::number_of_executed_units' "$log" || true
done
