#!/usr/bin/env bash
# Installs what is missing, builds, and starts the player. On a machine without a CD drive
# the demo disc is put into virtual drive D: first, so that the player has a disc to play.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${KOBALTUNE_BUILD_DIR:-$root/build}
bash "$root/scripts/install-deps.sh"
bash "$root/scripts/build.sh"
exec "$build/bin/kobaltune" "$@"
