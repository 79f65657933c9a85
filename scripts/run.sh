#!/usr/bin/env bash
# Installs what is missing, builds, and starts the player. On a machine without a CD drive
# the demo disc is put into virtual drive D: first, so that the player has a disc to play.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${KOBALTUNE_BUILD_DIR:-$root/build}
bash "$root/scripts/install-deps.sh"
bash "$root/scripts/build.sh"
# No physical drive and no disc in any virtual drive: put the demo disc into D:.
if ! "$build/bin/kobaltune-drive" list | awk '$2 != "-" { found = 1 } END { exit !found }'; then
  demo="$build/demodisc/kobaltune-demo.cue"
  [ -f "$demo" ] || "$build/bin/kobaltune-demodisc" "$demo" >/dev/null
  "$build/bin/kobaltune-drive" insert D: "$demo"
fi
exec "$build/bin/kobaltune" "$@"
