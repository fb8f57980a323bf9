#!/usr/bin/env bash
# Every way of stopping the running show ends it through the normal shutdown with status 0.
# Usage: quit_test.sh escape_held|window_closed|terminated|interrupted
set -euo pipefail
source "$(dirname "$0")/../support/shell/show.sh"
CLOSE_WINDOW=${CLOSE_WINDOW:?set CLOSE_WINDOW to the close_window helper}

xshow_start
xshow_wait_window
# a few passes in, so the stop happens inside the running loop
xshow_wait_busy 10

case "${1:-}" in
    escape_held)
        # XTEST keys go to the window under the pointer: put it on the fullscreen window
        xdotool mousemove --window "$XSHOW_WINDOW" 512 384
        xshow_key_down Escape
        xshow_wait_exit
        xshow_key_up Escape
        ;;
    window_closed)
        "$CLOSE_WINDOW" "$XSHOW_WINDOW" || fail "could not ask the window to close"
        xshow_wait_exit
        ;;
    terminated)
        # the show takes SIGTERM as the system asking it to quit, as SDL_QUIT is
        xshow_stop TERM
        ;;
    interrupted)
        xshow_stop INT
        ;;
    *)
        echo "usage: quit_test.sh escape_held|window_closed|terminated|interrupted" >&2
        exit 2
        ;;
esac

[ "$XSHOW_STATUS" -eq 0 ] || fail "$1: the show ended with status $XSHOW_STATUS, not 0"
[ ! -s "$XSHOW_ERR" ] || fail "$1: the show wrote to stderr on an ordinary stop"
[ -z "$(xdotool search --pid "$XSHOW_PID" 2>/dev/null)" ] || fail "$1: the window outlived the show"
echo "PASS: $1 ends the show with status 0"
