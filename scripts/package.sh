#!/usr/bin/env bash
# Builds the Debian package of Kobaltune (cpack -G DEB) from build/ (or $KOBALTUNE_BUILD_DIR)
# into OUT_DIR (default: <build>/package) and prints the package's path. The Depends line
# comes from dpkg-shlibdeps, plus the SoundFont and the fonts the player finds at run time.
#   bash scripts/package.sh [OUT_DIR]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${KOBALTUNE_BUILD_DIR:-$root/build}
out=${1:-$build/package}
if [ ! -f "$build/CMakeCache.txt" ]; then
  bash "$root/scripts/build.sh"
fi
cmake --build "$build" --target kobaltune kobaltune-drive mcish kobaltune-titles kobaltune_manual >/dev/null
mkdir -p "$out"
out=$(cd "$out" && pwd)
log="$out/cpack.log"
if ! (cd "$build" && cpack -G DEB -B "$out" >"$log" 2>&1); then
  cat "$log" >&2
  exit 1
fi
deb=$(ls -t "$out"/*.deb | head -n 1)
echo "$deb"
