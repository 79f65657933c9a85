#!/usr/bin/env bash
# Builds the libFuzzer targets (clang, ASan + UBSan) into build-fuzz/ and runs each one for
# SECONDS (default 60) from its seeds in fuzz/seeds/ and with its dictionary. Prints the
# executions and coverage of each; fails when any target finds a crash, leaving the input
# in build-fuzz/crashes/ (copy it to fuzz/regressions/<target>/ once it is fixed).
#   bash scripts/fuzz.sh [SECONDS]      KOBALTUNE_FUZZ_TARGETS="ini_store cue_sheet" to pick
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-60}
build=${KOBALTUNE_FUZZ_BUILD_DIR:-$root/build-fuzz}
targets=(${KOBALTUNE_FUZZ_TARGETS:-ini_store midi_file cue_sheet disc_image media_open mci_command wav_pcm})

if [ ! -f "$build/CMakeCache.txt" ]; then
  # -O1 and line tables only: quick to build, fast enough to fuzz, stacks still name lines.
  CC=clang CXX=clang++ cmake -S "$root" -B "$build" -G Ninja -DKOBALTUNE_FUZZ=ON -DKOBALTUNE_BENCH=OFF \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_FLAGS_RELEASE="-O1 -gline-tables-only" \
    -DCMAKE_C_FLAGS_RELEASE="-O1 -gline-tables-only" >/dev/null
fi
cmake --build "$build" -j"$(nproc)" --target "${targets[@]/#/fuzz_}" >/dev/null

mkdir -p "$build/crashes" "$build/logs"
export QT_QPA_PLATFORM=offscreen KOBALTUNE_AUDIO=null
export LSAN_OPTIONS="suppressions=$root/tests/lsan-suppressions.txt:print_suppressions=0"
failed=0
for t in "${targets[@]}"; do
  corpus="$build/corpus/$t"
  mkdir -p "$corpus"
  args=(-max_total_time="$seconds" -timeout=20 -rss_limit_mb=2048 -print_final_stats=1
        -artifact_prefix="$build/crashes/$t-")
  [ -f "$root/fuzz/dict/$t.dict" ] && args+=(-dict="$root/fuzz/dict/$t.dict")
  # Qt, FFmpeg and FluidSynth keep process-wide allocations of their own: no leak checks there.
  case "$t" in mci_command|media_open) args+=(-detect_leaks=0) ;; esac
  log="$build/logs/$t.log"
  if ! "$build/fuzz/fuzz_$t" "${args[@]}" "$corpus" "$root/fuzz/seeds/$t" >"$log" 2>&1; then
    failed=1
    echo "fuzz_$t: CRASH (see $log and $build/crashes/)" >&2
    grep -m3 -E "ERROR|SUMMARY|Test unit written" "$log" >&2 || true
  fi
  execs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$' || echo "?")
  cov=$(grep -oE 'cov: [0-9]+ ft: [0-9]+' "$log" | tail -1 || true)
  printf 'fuzz_%-12s %12s executions  %s  corpus %s\n' "$t" "$execs" "${cov:-cov: ?}" "$(ls "$corpus" | wc -l)"
done
exit $failed
