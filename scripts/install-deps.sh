#!/usr/bin/env bash
# Installs every Debian package the show, its tools and its tests need (idempotent).
set -euo pipefail

packages=(
  # build
  build-essential cmake pkg-config
  # the show: window, GL, images, audio
  libsdl1.2-compat-dev libsdl2-2.0-0 libgl-dev libglu1-mesa-dev libgl1-mesa-dri
  libdevil-dev libmpg123-dev libkissfft-dev
  # asset generators and the mesh baker
  libmp3lame-dev libcairo2-dev fonts-dejavu-core fonts-bebas-neue fonts-comfortaa libpng-dev libjpeg-dev
  libassimp-dev libmeshoptimizer-dev
  # tests and benchmarks
  libgtest-dev libbenchmark-dev xvfb xauth xdotool x11-utils ffmpeg hyperfine valgrind
  # the error box draws with a core X font; without one SDL2 shows no box at all
  xfonts-base
  # the shell tests' window-close helper talks to the X server, the same-id box helper through XCB
  libx11-dev libxcb1-dev
  # fuzz targets: clang's libFuzzer with its sanitizers (scripts/fuzz.sh)
  clang libfuzzer-14-dev
)

sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then sudo_cmd=(sudo); fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

if [ ${#missing[@]} -gt 0 ]; then
  export DEBIAN_FRONTEND=noninteractive
  "${sudo_cmd[@]}" apt-get update -qq
  "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
