#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: CTest's summary, then one line per
# fuzz target.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${KOBALTUNE_BUILD_DIR:-$root/build}
bash "$root/scripts/install-deps.sh"
bash "$root/scripts/build.sh" "$@"
export XDG_RUNTIME_DIR=${XDG_RUNTIME_DIR:-$(mktemp -d)}
chmod 700 "$XDG_RUNTIME_DIR"
ctest --test-dir "$build" --output-on-failure -j"$(nproc)"
# Each fuzz target briefly, from its seeds (about a minute in all).
fuzz_seconds=${KOBALTUNE_FUZZ_SECONDS:-10}
if [ "$fuzz_seconds" -gt 0 ]; then
  bash "$root/scripts/fuzz.sh" "$fuzz_seconds"
fi
