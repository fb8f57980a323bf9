#!/usr/bin/env bash
# Installs, builds (the show, and the page for the browser) and runs every test under a virtual X
# server (Mesa's llvmpipe renders; the page's tests use headless Chromium); then,
# unless ctest was given arguments (a filtered run), the sanitizer run of the whole show and a
# bounded run of every fuzz target.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
# Blender as well: the scene scripts of the slides are rendered small in the tests
"$root/scripts/install-deps.sh" --blender
"$root/scripts/build.sh"
# the page, which the web tests drive in headless Chromium
"$root/scripts/web.sh"
cd "$root/build"
# one 1024x768 screen, as the show's fullscreen mode wants; tests share it, so they run one at a time.
# -noreset: by default the server resets when its last client leaves, and a test starting during
# that reset cannot connect (SDL then says "x11 not available"), which fails tests at random
log="$root/build/Testing/test-sh.log"
mkdir -p "$(dirname "$log")"
xvfb-run -a -s "-screen 0 1024x768x24 -noreset" ctest --output-on-failure --timeout 600 "$@" 2>&1 | tee "$log"
if [ $# -eq 0 ]; then
    "$root/scripts/sanitize.sh"
    "$root/scripts/fuzz.sh" --seconds 60
fi
# ctest's count again as the last line, after the sanitizer and fuzz output
summary=$(grep -E "tests passed, [0-9]+ tests failed out of [0-9]+" "$log" | tail -n 1)
if [ -n "$summary" ]; then
    failed=$(echo "$summary" | sed -E 's/.* ([0-9]+) tests failed out of ([0-9]+).*/\1/')
    total=$(echo "$summary" | sed -E 's/.* tests failed out of ([0-9]+).*/\1/')
    echo "ctest: $((total - failed)) passed, $failed failed"
fi
