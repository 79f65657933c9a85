#!/usr/bin/env bash
# Measures what Kobaltune costs on this machine, in one run:
#  - CPU seconds and peak RSS per minute of real-time playback through mcish (null sound
#    output) for WAV, MP3, MIDI, MPEG-1 320x240 video and a CD image, next to the CPU that
#    FFmpeg itself needs to decode the same media (the floor);
#  - the whole player playing the CD image under Xvfb (player and X server CPU, RSS);
#  - start to the main window mapped, warm (and cold when the page cache can be dropped),
#    against a bare Qt 6 window, and the shared libraries loaded at that moment.
# The media are made here with ffmpeg. Not part of the test run.
#
# usage: scripts/perf.sh [--build DIR] [--seconds N] [--runs N] [--short] [--warm-only]
#   --build DIR   the build to measure (default: build/); an older build works too
#   --seconds N   length of each playback (default 60)
#   --runs N      start-up runs per figure, the median is shown (default 7)
#   --short       a quick check: 10 s of playback, 3 start-up runs
#   --warm-only   leave the page cache alone (no cold start-up figures)
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=$root/build
seconds=60
runs=7
cold_wanted=1
while [ $# -gt 0 ]; do
  case "$1" in
    --build) build=$(cd "$2" && pwd); shift 2 ;;
    --seconds) seconds=$2; shift 2 ;;
    --runs) runs=$2; shift 2 ;;
    --short) seconds=10; runs=3; shift ;;
    --warm-only) cold_wanted=0; shift ;;
    -h|--help) sed -n '2,17p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
    *) echo "perf.sh: unknown argument $1" >&2; exit 2 ;;
  esac
done

bin=$build/bin
for tool in "$bin/mcish" "$bin/kobaltune" "$bin/kobaltune-drive"; do
  [ -x "$tool" ] || { echo "perf.sh: $tool is missing; build first" >&2; exit 1; }
done
for tool in ffmpeg Xvfb xdotool xdpyinfo cmake /usr/bin/time; do
  command -v "$tool" >/dev/null || { echo "perf.sh: $tool is missing (scripts/install-deps.sh)" >&2; exit 1; }
done

work=$(mktemp -d)
xvfb_pid=""
cleanup() {
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

aids=$work/aids
cmake -S "$root/scripts/perf" -B "$aids" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$aids" >/dev/null

# ---- media ------------------------------------------------------------------------------
media=$work/media
mkdir -p "$media"
ff() { ffmpeg -nostdin -v error -y "$@"; }
tone="sine=frequency=440:sample_rate=44100:duration=$seconds"
ff -f lavfi -i "$tone" -ac 2 -c:a pcm_s16le "$media/tone.wav"
ff -f lavfi -i "$tone" -ac 2 -c:a libmp3lame -b:a 192k "$media/tone.mp3"
ff -f lavfi -i "testsrc=size=320x240:rate=25:duration=$seconds" -f lavfi -i "$tone" \
   -c:v mpeg1video -b:v 1M -c:a mp2 -ac 2 -b:a 192k -f mpeg "$media/clip.mpg"
ff -f lavfi -i "$tone" -ac 2 -f s16le "$media/disc.bin"
printf 'FILE "disc.bin" BINARY\r\n  TRACK 01 AUDIO\r\n    INDEX 01 00:00:00\r\n' >"$media/disc.cue"

# A type-0 MIDI song at 120 beats a minute: a three-note chord held for every beat.
be32() { printf '%b' "$(printf '\\x%02x' $(($1 >> 24 & 255)) $(($1 >> 16 & 255)) $(($1 >> 8 & 255)) $(($1 & 255)))"; }
beats=$((seconds * 2))
{
  printf 'MThd'; be32 6; printf '\x00\x00\x00\x01\x01\xe0'
  printf 'MTrk'; be32 $((beats * 25 + 4))
  for ((b = 0; b < beats; ++b)); do
    printf '\x00\x90\x3c\x64\x00\x90\x40\x64\x00\x90\x43\x64'
    printf '\x83\x60\x80\x3c\x40\x00\x80\x40\x40\x00\x80\x43\x40'
  done
  printf '\x00\xff\x2f\x00'
} >"$media/song.mid"

# A virtual drive D: holding the CD image, for mcish and the player alike.
export XDG_CONFIG_HOME=$work/config XDG_RUNTIME_DIR=$work/runtime
mkdir -p "$XDG_CONFIG_HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
"$bin/kobaltune-drive" insert D: "$media/disc.cue" >/dev/null

# ---- helpers ----------------------------------------------------------------------------
median() { sort -n | awk '{v[NR] = $1} END {if (NR == 0) print "-"; else if (NR % 2) print v[(NR + 1) / 2]; else printf "%.1f\n", (v[NR / 2] + v[NR / 2 + 1]) / 2}'; }
per_minute() { awk -v c="$1" -v s="$seconds" 'BEGIN {printf "%.2f", c * 60 / s}'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN {if (b + 0 > 0) printf "%.2f", a / b; else print "-"}'; }
# Seconds of CPU (user + system) a command takes; its peak RSS in KiB goes to $work/rss.
cpu_of() {
  /usr/bin/time -f "%U %S %M" -o "$work/time" "$@" >/dev/null 2>"$work/stderr" || true
  awk '{printf "%.3f", $1 + $2}' "$work/time"
  awk '{print $3}' "$work/time" >"$work/rss"
}
proc_cpu() { awk '{printf "%.3f", ($14 + $15) / 100}' "/proc/$1/stat"; }
hwm_mib() { awk '/VmHWM/ {printf "%.0f", $2 / 1024}' "/proc/$1/status"; }
count_libs() { awk '{f = $6} f ~ /\.so/ {seen[f] = 1} END {print length(seen)}' "/proc/$1/maps"; }

# ---- mcish playback ---------------------------------------------------------------------
echo "Kobaltune performance, $(date -u '+%Y-%m-%d %H:%M UTC'), build $build, $seconds s of playback"
echo "$(nproc) CPUs; $(awk -F': ' '/model name/ {print $2; exit}' /proc/cpuinfo)"
echo
printf '%-26s %10s %9s %14s %9s\n' "mcish, per minute" "CPU s" "peak MiB" "FFmpeg floor s" "ratio"
play_row() {
  local name=$1 floor=$2; shift 2
  local cpu rss
  cpu=$(cpu_of "$bin/mcish" --audio=null "$@")
  rss=$(awk '{printf "%.0f", $1 / 1024}' "$work/rss")
  if grep -q '^[1-9]' "$work/stderr" 2>/dev/null; then echo "  ($name: $(head -1 "$work/stderr"))"; fi
  local cpu_min floor_min
  cpu_min=$(per_minute "$cpu")
  floor_min=$([ "$floor" = "-" ] && echo "-" || per_minute "$floor")
  printf '%-26s %10s %9s %14s %9s\n' "$name" "$cpu_min" "$rss" "$floor_min" "$(ratio "$cpu_min" "$floor_min")"
}
decode_floor() { cpu_of ffmpeg -nostdin -v error "$@" -f null -; }

play_row "WAV" "$(decode_floor -i "$media/tone.wav")" \
  "open \"$media/tone.wav\" alias a" "play a wait" "close a"
play_row "MP3" "$(decode_floor -i "$media/tone.mp3")" \
  "open \"$media/tone.mp3\" alias a" "play a wait" "close a"
play_row "MIDI" "-" \
  "open \"$media/song.mid\" alias a" "play a wait" "close a"
play_row "MPEG-1 320x240, wait" "$(decode_floor -i "$media/clip.mpg")" \
  "open \"$media/clip.mpg\" alias a" "play a wait" "close a"
play_row "CD image" "$(decode_floor -f s16le -ar 44100 -ac 2 -i "$media/disc.bin")" \
  "open cdaudio alias c" "set c time format tmsf" "play c wait" "close c"

# ---- X server ---------------------------------------------------------------------------
display=""
for n in $(seq 91 120); do
  if [ ! -e "/tmp/.X11-unix/X$n" ] && [ ! -e "/tmp/.X$n-lock" ]; then display=:$n; break; fi
done
[ -n "$display" ] || { echo "perf.sh: no free X display" >&2; exit 1; }
Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
export DISPLAY=$display
unset QT_QPA_PLATFORM
for _ in $(seq 100); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done

# The player runs from a copy in its own folder, so that its settings file is ours.
player=$work/player
mkdir -p "$player"
cp "$bin/kobaltune" "$player/kobaltune"
printf '[Option]\r\nMedia=CD\r\nRepeat=ALL\r\nAutoRun=1\r\nCurCdDrive=D:\r\n[View]\r\nTop=1500\r\nLeft=1500\r\n' \
  >"$player/Kobaltune.ini"
# The installed and build-tree layouts find the driver modules beside bin/; the copy does not.
[ -d "$build/lib/kobaltune" ] && export KOBALTUNE_DRIVER_DIR=$build/lib/kobaltune

# ---- whole player playing the CD image --------------------------------------------------
echo
KOBALTUNE_AUDIO=null KOBALTUNE_INSPECT=$work/panel.json "$player/kobaltune" >/dev/null 2>&1 &
player_pid=$!
# Keys only once the window has finished its first activation and has the focus.
for _ in $(seq 300); do grep -q '"ready": *true' "$work/panel.json" 2>/dev/null && break; sleep 0.1; done
ready_libs=$(count_libs "$player_pid")
for _ in $(seq 50); do grep -q '"trackCount": *"[1-9]' "$work/panel.json" 2>/dev/null && break; sleep 0.1; done
win=$(xdotool search --onlyvisible --name '^Kobaltune$' 2>/dev/null | tail -1 || true)
[ -n "$win" ] && xdotool windowfocus --sync "$win" >/dev/null 2>&1
xdotool key Return >/dev/null 2>&1 || true
for _ in $(seq 50); do grep -q '"trackNo": *"01' "$work/panel.json" 2>/dev/null && break; sleep 0.1; done
p0=$(proc_cpu "$player_pid"); x0=$(proc_cpu "$xvfb_pid")
sleep "$seconds"
p1=$(proc_cpu "$player_pid"); x1=$(proc_cpu "$xvfb_pid")
playing=$(grep -o '"play": *[a-z]*' "$work/panel.json" 2>/dev/null | head -1 || true)
player_rss=$(hwm_mib "$player_pid"); x_rss=$(hwm_mib "$xvfb_pid")
kill "$player_pid" 2>/dev/null; wait "$player_pid" 2>/dev/null || true
pc=$(per_minute "$(awk -v a="$p0" -v b="$p1" 'BEGIN {print b - a}')")
xc=$(per_minute "$(awk -v a="$x0" -v b="$x1" 'BEGIN {print b - a}')")
printf '%-26s %10s %9s\n' "player on CD image, /min" "CPU s" "peak MiB"
printf '%-26s %10s %9s\n' "  player" "$pc" "$player_rss"
printf '%-26s %10s %9s\n' "  X server" "$xc" "$x_rss"
printf '%-26s %10s\n' "  together" "$(awk -v a="$pc" -v b="$xc" 'BEGIN {printf "%.2f", a + b}')"
[ "${playing// /}" = '"play":false' ] || echo "  (the panel did not show the CD playing: $playing)"

# ---- start to the main window mapped ----------------------------------------------------
startup() { # TITLE PROGRAM: prints "first-map-ms window-ms libraries first-window-maps" per run
  local title=$1 program=$2
  "$aids/mapwatch" "$title" 20000 "$program" || echo "- - - -"
}
series() { # COLD(0/1) TITLE PROGRAM
  local cold=$1 i
  startup "$2" "$3" >/dev/null
  for ((i = 0; i < runs; ++i)); do
    if [ "$cold" = 1 ]; then sync; echo 3 >/proc/sys/vm/drop_caches; fi
    startup "$2" "$3"
  done
}
can_drop=0
if [ "$cold_wanted" = 1 ] && (echo 3 >/proc/sys/vm/drop_caches) 2>/dev/null; then can_drop=1; fi

echo
printf '%-26s %10s %9s %9s %9s\n' "start to window mapped" "ms" "bare Qt" "ratio" "splash"
KOBALTUNE_AUDIO=null series 0 Kobaltune "$player/kobaltune" >"$work/warm"
series 0 perf-bare "$aids/bare-window" >"$work/bare"
warm=$(awk '{print $2}' "$work/warm" | median); bare=$(awk '{print $2}' "$work/bare" | median)
printf '%-26s %10s %9s %9s %9s\n' "  warm" "$warm" "$bare" "$(ratio "$warm" "$bare")" "$(awk '{print $1}' "$work/warm" | median)"
echo "  (the splash is mapped $(awk '{print $4}' "$work/warm" | median) time(s) before the main window)"
if [ "$can_drop" = 1 ]; then
  KOBALTUNE_AUDIO=null series 1 Kobaltune "$player/kobaltune" >"$work/cold"
  series 1 perf-bare "$aids/bare-window" >"$work/barecold"
  cold=$(awk '{print $2}' "$work/cold" | median); barecold=$(awk '{print $2}' "$work/barecold" | median)
  printf '%-26s %10s %9s %9s %9s\n' "  cold" "$cold" "$barecold" "$(ratio "$cold" "$barecold")" "$(awk '{print $1}' "$work/cold" | median)"
else
  echo "  cold: not measured (--warm-only, or the page cache cannot be dropped here)"
fi

# ---- shared libraries at start ----------------------------------------------------------
mkfifo "$work/mcish.in"
exec 3<>"$work/mcish.in"
"$bin/mcish" --audio=null <"$work/mcish.in" >"$work/mcish.out" 2>/dev/null 3>&- &
mcish_pid=$!
echo "status nothing mode" >&3
for _ in $(seq 200); do [ -s "$work/mcish.out" ] && break; sleep 0.05; done
mcish_libs=$(count_libs "$mcish_pid")
exec 3>&-
wait "$mcish_pid" 2>/dev/null || true
echo
printf '%-26s %10s %9s %9s\n' "shared libraries at start" "count" "bare Qt" "ratio"
player_libs=$(awk '{print $3}' "$work/warm" | median)
bare_libs=$(awk '{print $3}' "$work/bare" | median)
printf '%-26s %10s %9s %9s\n' "  player" "$player_libs" "$bare_libs" "$(ratio "$player_libs" "$bare_libs")"
printf '%-26s %10s %9s %9s\n' "  player, first activation" "$ready_libs" "$bare_libs" "$(ratio "$ready_libs" "$bare_libs")"
printf '%-26s %10s %9s %9s\n' "  mcish" "$mcish_libs" "$bare_libs" "$(ratio "$mcish_libs" "$bare_libs")"
