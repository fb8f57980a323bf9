#!/usr/bin/env bash
# Installs what the capture tool needs, builds it and renders the whole show to an MP4 with its
# soundtrack; needs no display and no sound device. Usage: render.sh [FILE.mp4] [capture options]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out=vellamor.mp4
if [ $# -gt 0 ] && [ "${1#-}" = "$1" ]; then out=$1; shift; fi
case "$out" in /*) ;; *) out="$PWD/$out" ;; esac
"$root/scripts/install-deps.sh"
cmake -S "$root" -B "$root/build" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$root/build" -j"$(nproc)" --target vellamor-capture
cd "$root"
exec "$root/build/vellamor-capture" --video "$out" "$@"
