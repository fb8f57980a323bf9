#!/usr/bin/env bash
# Installs every Debian package the show, its tools and its tests need (idempotent). With --blender,
# Blender too, for the slides' scene scripts (tools/pictures/blender/) and their tests.
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
  # the capture tool: EGL to draw with no display, ffmpeg for its videos
  libegl1 libegl-mesa0 ffmpeg
  # tests and benchmarks
  libgtest-dev libbenchmark-dev xvfb xauth xdotool x11-utils ffmpeg hyperfine valgrind
  # a window manager, for the fullscreen test under one
  openbox
  # the package's test: dpkg-shlibdeps for cpack's dependencies, and the menu entry's checker
  dpkg-dev desktop-file-utils
  # the sanitizer run and the fuzz targets (clang with libFuzzer and its sanitizer runtimes)
  clang libclang-rt-14-dev libfuzzer-14-dev
  # the error box draws with a core X font; without one SDL2 shows no box at all
  xfonts-base
  # the shell tests' window-close helper talks to the X server, the same-id box helper through XCB
  libx11-dev libxcb1-dev
  # scripts/format.sh, and scripts/naming-check.sh
  clang-format clang-tidy
)
if [ "${1:-}" = "--help" ] || [ "${1:-}" = "-h" ]; then
  echo "usage: install-deps.sh [--blender]"
  echo "Installs the Debian packages the show, its tools and its tests need (apt-get, as root or through sudo)."
  echo "  --blender   Blender as well, for the slides' scene scripts and their tests"
  exit 0
elif [ "${1:-}" = "--blender" ]; then
  # Blender renders the slides and the sphere map; its scene scripts build terrain with numpy
  packages+=(blender python3-numpy)
elif [ $# -gt 0 ]; then
  echo "install-deps.sh: unknown option '$1' (the one option is --blender)" >&2
  exit 2
fi

"$(dirname "$0")/install-packages.sh" "${packages[@]}"
