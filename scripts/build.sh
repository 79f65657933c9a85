#!/usr/bin/env bash
# Configures and builds Kobaltune into build/ (or $KOBALTUNE_BUILD_DIR). Extra arguments go
# to CMake's configure step, e.g. -DKOBALTUNE_ASAN=ON.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${KOBALTUNE_BUILD_DIR:-$root/build}
if [ ! -f "$build/CMakeCache.txt" ] || [ $# -gt 0 ]; then
  cmake -S "$root" -B "$build" -G Ninja "$@" >/dev/null
fi
cmake --build "$build" -j"$(nproc)"
