#!/usr/bin/env bash
# Screenshots of the real player under Xvfb in CD mode and in each file mode with a listed
# folder, and of its album editor, about box and help window.
#   tools/screenshots/take-screenshots.sh [<build dir> [<output dir>]]
# Build dir defaults to <repository>/build, output dir to <build dir>/screenshots/program
# (cd.png, wave.png, midi.png, mp3.png, video.png, editor.png, about.png, help.png, each
# cropped to its window).
#
# Everything is made here: the needed programs are built (configuring the build dir when it
# has never been configured), a 12-track disc image is written and put into virtual drive D:
# of a private configuration folder, and its titles are stored under the disc's identity key
# (asked of the cdaudio device through mcish). The player runs from a scratch copy with a
# prepared Kobaltune.ini beside it, so the build's own settings file is never touched; in
# CD mode Enter starts the disc so the read-out is lit and the title strip scrolls. In the
# file modes the open button's dialog is given a file of a folder of made-up media (typed
# into the real dialog), the folder is listed and Enter plays its first file.
# The about box and the help are reached through the tray menu, so trayer gives the display a
# notification area. Needs Xvfb, trayer, xdotool, xwininfo and ImageMagick (import, convert).
# KOBALTUNE_JOBS sets the build's parallelism (default 2); KOBALTUNE_SCREENSHOT_NO_BUILD=1
# uses the binaries as they are;
# KEEP=1 leaves the scratch folder (player logs, CD frames) in place for a look.
set -euo pipefail

root=$(cd "$(dirname "$0")/../.." && pwd)
build=$(mkdir -p "${1:-$root/build}" && cd "${1:-$root/build}" && pwd)
out=${2:-$build/screenshots/program}
bin=$build/bin

die() { echo "take-screenshots: $*" >&2; exit 1; }
step() { echo "take-screenshots: $*" >&2; }

for tool in Xvfb trayer xdotool xwininfo import convert cmake; do
    command -v "$tool" >/dev/null || die "$tool is not installed"
done

scratch=
xvfb=
tray=
player=
stop_pid() { # pid: TERM, then KILL if it lingers
    local pid=$1 i
    kill "$pid" 2>/dev/null || return 0
    for i in $(seq 1 30); do
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.1
    done
    kill -KILL "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
}
cleanup() {
    local rc=$?
    trap - EXIT INT TERM
    [ -n "$player" ] && stop_pid "$player"
    [ -n "$tray" ] && stop_pid "$tray"
    [ -n "$xvfb" ] && stop_pid "$xvfb"
    [ -n "$scratch" ] && [ -z "${KEEP:-}" ] && rm -rf "$scratch"
    exit "$rc"
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

# --- Programs ------------------------------------------------------------------------------
if [ "${KOBALTUNE_SCREENSHOT_NO_BUILD:-0}" != 1 ]; then
    step "building in $build"
    if [ -f "$build/CMakeCache.txt" ]; then
        # Picks up tool folders added since the last configure.
        cmake "$build" >/dev/null || die "cmake configure failed"
    else
        cmake -S "$root" -B "$build" -G Ninja >/dev/null || die "cmake configure failed"
    fi
    cmake --build "$build" -j"${KOBALTUNE_JOBS:-2}" \
        --target kobaltune kobaltune_manual kobaltune-drive mcish kobaltune-shotdisc kobaltune-shotmedia >/dev/null \
        || die "build failed (run: cmake --build $build --target kobaltune kobaltune_manual kobaltune-drive mcish kobaltune-shotdisc kobaltune-shotmedia)"
fi
for p in kobaltune kobaltune-drive mcish kobaltune-shotdisc kobaltune-shotmedia; do
    [ -x "$bin/$p" ] || die "missing $bin/$p"
done

scratch=$(mktemp -d "${TMPDIR:-/tmp}/kobaltune-shots.XXXXXX")
mkdir -p "$out" "$scratch/config" "$scratch/runtime"
chmod 700 "$scratch/runtime"
# Private configuration (virtual drives) and runtime folder (single-instance lock), so a
# player the user has running neither blocks nor sees these runs.
export XDG_CONFIG_HOME=$scratch/config
export XDG_RUNTIME_DIR=$scratch/runtime
export KOBALTUNE_AUDIO=null
unset QT_QPA_PLATFORM WAYLAND_DISPLAY

# --- Disc in drive D: and its titles -------------------------------------------------------
step "writing the disc image"
"$bin/kobaltune-shotdisc" "$scratch/disc/disc.cue" 12 15 >/dev/null || die "cannot write the disc image"
"$bin/kobaltune-drive" insert D: "$scratch/disc/disc.cue" || die "cannot put the image into drive D:"

ident=$(printf 'open D: type cdaudio alias 2\ninfo 2 identity\nclose 2\n' \
    | QT_QPA_PLATFORM=offscreen timeout 30 "$bin/mcish" 2>/dev/null | sed -n 2p) \
    || die "mcish failed"
case $ident in
    "0 "*) ident=${ident#0 } ;;
    *) die "info identity failed: '$ident'" ;;
esac
[[ $ident =~ ^-?[0-9]+$ ]] || die "identity is not a number: '$ident'"
key=$(printf '%X' $((ident & 0xFFFFFFFF)))
step "disc identity $ident, title section [$key]"

titles() {
    local t=(
        "夜明けの駅" "Blue Harbor" "風のワルツ" "Paper Moon" "坂の上の雲" "Midnight Tram"
        "雨あがり" "Silver Line" "灯台守の歌" "Northern Lights" "帰り道" "Coda"
    )
    printf '[%s]\nAlbumTitle=コバルトの夜\nNameOfArtist=Kobalt Quartet\n' "$key"
    local i
    for i in "${!t[@]}"; do printf 'TitleOfTrack%d=%s\n' $((i + 1)) "${t[$i]}"; done
    printf 'FontSize=9\nFontName=Times New Roman\nFontExt=1000\n'
}

step "writing the media folders"
"$bin/kobaltune-shotmedia" "$scratch/media" || die "cannot write the media folders"

# --- X server ------------------------------------------------------------------------------
# Xvfb picks a free display number and writes it to fd 3.
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$scratch/display" >/dev/null 2>&1 &
xvfb=$!
for _ in $(seq 1 100); do
    [ -s "$scratch/display" ] && break
    kill -0 "$xvfb" 2>/dev/null || die "Xvfb did not start"
    sleep 0.1
done
[ -s "$scratch/display" ] || die "Xvfb gave no display number"
export DISPLAY=:$(tr -dc 0-9 <"$scratch/display")
step "Xvfb on $DISPLAY"
# A notification area along the bottom left; the player's tray icon is its first icon.
trayer --edge bottom --align left --widthtype pixel --width 60 --heighttype pixel --height 24 >/dev/null 2>&1 &
tray=$!
tray_icon="12 756"

# --- Shots ---------------------------------------------------------------------------------
# The main window is the visible "Kobaltune" window at the INI's Left/Top (no window manager
# moves it); the splash and message boxes share its title but sit in the middle of the screen.
left_px=20
top_px=20
window_of() { # pid: the player's main window id, waiting up to 20 s
    local id at
    for _ in $(seq 1 200); do
        kill -0 "$1" 2>/dev/null || return 1
        for id in $(xdotool search --onlyvisible --pid "$1" --name '^Kobaltune$' 2>/dev/null); do
            at=$(xwininfo -id "$id" 2>/dev/null \
                | awk '/Absolute upper-left X:/ {x=$4} /Absolute upper-left Y:/ {y=$4} END {print x "," y}')
            if [ "$at" = "$left_px,$top_px" ]; then
                echo "$id"
                return 0
            fi
        done
        sleep 0.1
    done
    return 1
}

# Inside the CD panel (267x192): the title strip and the running time read-out.
strip_area=160x18+52+18
time_area=60x24+152+46

# Share of the pixels in an area (default: the whole title strip) that are not the strip's
# cyan background: 0 where the strip is empty.
strip_ink() { # png [area]
    convert "$1" -crop "${2:-$strip_area}" +repage -fill black +opaque '#00FFFF' \
        -fill white -opaque '#00FFFF' -negate -format '%[fx:mean]' info:
}

# Starts the disc with Enter and takes a frame every half second or so for about ten
# seconds. The strip scrolls and rotates between artist, album and track title, so a frame
# taken at a fixed moment may catch it empty or a title cut at its edge; the last frame
# whose text lies wholly inside the strip is kept (late frames show a track title).
# Fails when the read-out does not move (not playing) or no frame shows a whole text.
shoot_playing_cd() { # window work-dir output
    local wid=$1 work=$2 png=$3 i ink edges found=
    local left_edge=4x18+52+18 right_edge=4x18+208+18
    xdotool windowfocus --sync "$wid" 2>/dev/null || true
    xdotool key --window "$wid" Return || die "CD: cannot send Enter"
    sleep 3
    for i in $(seq 10 25); do
        kill -0 "$player" 2>/dev/null || { cat "$work/log" >&2; die "CD: the player quit"; }
        import -window "$wid" +repage "$work/frame$i.png" || die "CD: import failed"
        ink=$(strip_ink "$work/frame$i.png") || die "CD: convert failed"
        edges=$(strip_ink "$work/frame$i.png" "$left_edge")$(strip_ink "$work/frame$i.png" "$right_edge")
        if [ "$edges" = 00 ] && awk -v a="$ink" 'BEGIN { exit !(a > 0.02) }'; then
            cp "$work/frame$i.png" "$png"
            found=1
        fi
        sleep 0.3
    done
    [ "$(convert "$work/frame10.png" -crop "$time_area" +repage -format '%#' info:)" \
        != "$(convert "$work/frame25.png" -crop "$time_area" +repage -format '%#' info:)" ] \
        || die "CD: the time read-out does not advance (did Enter start the disc?)"
    [ -n "$found" ] || die "CD: no frame shows a whole text on the title strip"
}

# The first visible window whose title matches, waiting up to 10 s.
visible_window() { # title-pattern
    local id
    for _ in $(seq 1 100); do
        id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | tail -1)
        [ -n "$id" ] && { echo "$id"; return 0; }
        sleep 0.1
    done
    return 1
}

# The album editor (a click on the title strip), then the about box and the help window from
# the tray menu.
shoot_dialogs() { # main-window
    local wid=$1 id
    xdotool mousemove --window "$wid" 60 26 click 1
    id=$(visible_window 'ｱﾙﾊﾞﾑ編集') || die "the album editor did not open"
    sleep 0.5
    import -window "$id" +repage "$out/editor.png" || die "editor: import failed"
    xdotool windowfocus --sync "$id" key Escape
    step "editor: $out/editor.png"

    shoot_tray_item v 'ﾊﾞｰｼﾞｮﾝ情報' about
    xdotool windowfocus --sync "$id" key Return
    shoot_tray_item h 'Kobaltune ヘルプ' help
}

# Picks an item of the tray menu by its access key and shoots the window it opens; leaves
# that window's id in $id.
shoot_tray_item() { # key title-pattern name
    xdotool mousemove $tray_icon click 3
    sleep 0.8
    xdotool key "$1"
    id=$(visible_window "$2") || die "$3: no window from the tray menu"
    sleep 0.8
    import -window "$id" +repage "$out/$3.png" || die "$3: import failed"
    step "$3: $out/$3.png"
}

# Clicks the open button, types `file` into the open dialog and waits for the listing, then
# plays the first file with Enter and lets it run for a moment.
list_folder() { # window media file
    local wid=$1 media=$2 file=$3 dialog=
    xdotool mousemove --window "$wid" 484 15 click 1 || die "$media: cannot click the open button"
    for _ in $(seq 1 100); do
        dialog=$(xdotool search --onlyvisible --name "${media}ﾌｧｲﾙの参照" 2>/dev/null | tail -1) && [ -n "$dialog" ] && break
        sleep 0.1
    done
    [ -n "$dialog" ] || die "$media: the open dialog did not show"
    xdotool windowfocus --sync "$dialog" && xdotool type --delay 5 "$file" && xdotool key Return \
        || die "$media: cannot type into the open dialog"
    sleep 1.5
    xdotool windowfocus --sync "$wid" 2>/dev/null || true
    xdotool key --window "$wid" Return || die "$media: cannot send Enter"
    sleep 3
}

shoot() { # media name
    local media=$1 name=$2 work=$scratch/$2 wid geometry
    mkdir -p "$work"
    cp "$bin/kobaltune" "$bin/KOBALTUNE.HLP" "$work/"
    cp -r "$bin/help" "$work/"
    {
        printf '[Option]\nTemae=0\nTimeType=SINGLE TIME\nRepeat=ALL\nMedia=%s\nAutoRun=0\nCurCdDrive=D:\n' "$media"
        printf '[View]\nTop=%d\nLeft=%d\n' $((top_px * 15)) $((left_px * 15))
        [ "$media" = CD ] && titles
    } >"$work/Kobaltune.ini"

    step "$media: starting the player"
    "$work/kobaltune" >"$work/log" 2>&1 &
    player=$!
    wid=$(window_of "$player") || {
        import -window root "$out/$name-failed.png" 2>/dev/null || true
        cat "$work/log" >&2
        die "$media: no player window at $left_px,$top_px (screen: $out/$name-failed.png)"
    }
    sleep 2 # splash gone, first poll done
    kill -0 "$player" 2>/dev/null || { cat "$work/log" >&2; die "$media: the player quit"; }
    geometry=$(xwininfo -id "$wid" | awk '/Width:/ {w=$2} /Height:/ {h=$2} END {print w "x" h}')
    if [ "$media" = CD ]; then
        shoot_playing_cd "$wid" "$work" "$out/$name.png"
        shoot_dialogs "$wid"
    else
        list_folder "$wid" "$media" "$(ls "$scratch/media/$name/"* | sed -n 2p)"
        kill -0 "$player" 2>/dev/null || { cat "$work/log" >&2; die "$media: the player quit"; }
        import -window "$wid" +repage "$out/$name.png" || die "$media: import failed"
    fi
    step "$media: $out/$name.png ($geometry)"
    stop_pid "$player"
    player=
}

shoot CD cd
shoot WAVE wave
shoot MIDI midi
shoot MP3 mp3
shoot VIDEO video
echo "screenshots in $out"
