#!/bin/sh
# Screenshots of the real player under Xvfb in CD, WAVE and VIDEO mode.
#   tools/screenshots/take-screenshots.sh <build dir> [<output dir>]
# The player is copied into a scratch folder with a prepared Kobaltune.ini beside it, so
# each run starts in the wanted mode and never touches the build's own settings file.
# CD mode uses the first CD drive the platform finds (a disc image drive if one is set up).
set -eu
build=${1:?build dir}
out=${2:-$build/screenshots/program}
mkdir -p "$out"
player="$build/bin/kobaltune"
[ -x "$player" ] || { echo "no $player" >&2; exit 1; }

display=:$((90 + $$ % 9))
Xvfb "$display" -screen 0 800x600x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null || true' EXIT
sleep 1

shoot() { # mode name width height
    work=$(mktemp -d)
    cp "$player" "$work/"
    printf '[Option]\r\nTemae=0\r\nTimeType=SINGLE TIME\r\nRepeat=ALL\r\nMedia=%s\r\nAutoRun=0\r\n[View]\r\nTop=300\r\nLeft=300\r\n' "$1" >"$work/Kobaltune.ini"
    if [ -n "${KOBALTUNE_SCREENSHOT_TITLES:-}" ]; then cat "$KOBALTUNE_SCREENSHOT_TITLES" >>"$work/Kobaltune.ini"; fi
    DISPLAY=$display KOBALTUNE_AUDIO=null XDG_CONFIG_HOME="$work/config" "$work/kobaltune" &
    pid=$!
    sleep 4
    import -display "$display" -window root -crop "$3x$4+20+20" +repage "$out/$2.png"
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
    rm -rf "$work"
}

shoot CD cd 267 192
shoot WAVE wave 530 192
shoot VIDEO video 530 455
echo "screenshots in $out"
