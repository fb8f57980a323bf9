#!/usr/bin/env bash
# Installs, builds and runs every test under a virtual X server (Mesa's llvmpipe renders), then
# a short run of every fuzz target.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh"
"$root/scripts/build.sh"
cd "$root/build"
# one 1024x768 screen, as the show's fullscreen mode wants; tests share it, so they run one at a time.
# -noreset: by default the server resets when its last client leaves, and a test starting during
# that reset cannot connect (SDL then says "x11 not available"), which fails tests at random
xvfb-run -a -s "-screen 0 1024x768x24 -noreset" ctest --output-on-failure --timeout 600 "$@"
# then every fuzz target for a bounded minute each, from its seeds and what earlier runs kept
"$root/scripts/fuzz.sh" --seconds 60
