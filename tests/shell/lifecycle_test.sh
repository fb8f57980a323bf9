#!/usr/bin/env bash
# main runs each step once, in order (taking the stop signals first), whether or not the window opened, ends with SDL_Quit at
# exit after the textures are gone, and exits with status 0.
# Usage: lifecycle_test.sh window_opens|window_fails
set -euo pipefail
source "$(dirname "$0")/../support/shell/checks.sh"
probe=${LIFECYCLE_PROBE:?set LIFECYCLE_PROBE to the shell_lifecycle_probe program}
case "${1:-}" in
    window_opens) fails=0 ;;
    window_fails) fails=1 ;;
    *) echo "usage: lifecycle_test.sh window_opens|window_fails" >&2; exit 2 ;;
esac

expected="watch_stop_signals
init_display 1024 768
init_gl_state
load_textures
start_music Data/$vl_soundtrack_file
run_main_loop
stop_music
free_textures
SDL_Quit"

status=0
actual=$(LIFECYCLE_DISPLAY_FAILS=$fails "$probe") || status=$?
[ "$status" -eq 0 ] || fail "$1: exit status $status, not 0"
if [ "$actual" != "$expected" ]; then
    diff <(echo "$expected") <(echo "$actual") >&2 || true
    fail "$1: steps differ"
fi
echo "PASS: $1"
