#!/usr/bin/env bash
# Writes the fuzz targets' seed corpora into fuzz/seeds/ (they are kept in the repository;
# run this again when a reader learns a new kind of input).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${KOBALTUNE_FUZZ_BUILD_DIR:-$root/build-fuzz}
if [ ! -f "$build/CMakeCache.txt" ]; then
  # -O1 and line tables only: quick to build, fast enough to fuzz, stacks still name lines.
  CC=clang CXX=clang++ cmake -S "$root" -B "$build" -G Ninja -DKOBALTUNE_FUZZ=ON -DKOBALTUNE_BENCH=OFF \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_FLAGS_RELEASE="-O1 -gline-tables-only" \
    -DCMAKE_C_FLAGS_RELEASE="-O1 -gline-tables-only" >/dev/null
fi
cmake --build "$build" --target kobaltune-fuzz-seeds >/dev/null
ASAN_OPTIONS=detect_leaks=0 "$build/fuzz/kobaltune-fuzz-seeds" "$root/fuzz/seeds"
