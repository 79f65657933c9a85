#!/usr/bin/env bash
# Installs every Debian package Kobaltune needs to build, test and run.
# This is the only place packages are listed. Safe to run again: it does
# nothing when all packages are already present.
set -euo pipefail

PACKAGES=(
  build-essential cmake pkg-config ninja-build
  clang libclang-rt-14-dev
  qt6-base-dev qt6-base-dev-tools qt6-svg-dev qt6-image-formats-plugins
  libgl-dev libxkbcommon-dev
  libavformat-dev libavcodec-dev libavutil-dev libswresample-dev libswscale-dev
  libfluidsynth-dev timgm6mb-soundfont
  libcdio-dev libcdio-cdda-dev libcdio-paranoia-dev
  libsdl2-dev
  libudev-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  xvfb xauth x11-utils xdotool imagemagick trayer ccache
  ffmpeg time
  fonts-dseg fonts-ipafont-gothic fonts-liberation2
  shared-mime-info hicolor-icon-theme adwaita-icon-theme
  dbus libglib2.0-bin desktop-file-utils appstream dpkg-dev file fakeroot
)

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
echo "Installing: ${missing[*]}" >&2
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
