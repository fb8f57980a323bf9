#!/usr/bin/env bash
# When the screen cannot be opened the show says so in exactly one error box, then starts up on
# to the frame loop all the same.
# Usage: no_screen_test.sh no_video_driver|no_opengl_window|dummy_driver
set -euo pipefail
source "$(dirname "$0")/../support/shell/show.sh"
settings=()

case "${1:-}" in
    no_video_driver)
        # SDL_Init fails: SDL knows no such video driver
        driver=nonexistent
        expected="Unable to initialize SDL!"
        ;;
    no_opengl_window)
        # SDL_Init works on X11, but the OpenGL library cannot be loaded, so no GL window
        driver=x11
        settings=(SDL_OPENGL_LIBRARY=/nonexistent/libGL.so.1)
        expected="Unable to open screen!"
        ;;
    dummy_driver)
        # SDL_Init works, but the dummy driver has no OpenGL. SDL2's X11 box cannot be shown
        # while another video driver is current (its child process crashes), so only the
        # stderr line is checked here.
        driver=dummy
        expected="Unable to open screen!"
        ;;
    *)
        echo "usage: no_screen_test.sh no_video_driver|no_opengl_window|dummy_driver" >&2
        exit 2
        ;;
esac

settings=("${settings[@]}" SDL_VIDEODRIVER="$driver")
xshow_start "${settings[@]}"
if [ "$driver" = dummy ]; then
    error_line_written() { [ "$(xshow_error_lines)" -ge 1 ]; }
    xshow_poll "the ERROR line" error_line_written
    grep -qx "ERROR: $expected" "$XSHOW_ERR" || fail "stderr lacks 'ERROR: $expected'"
    # the frame loop is running: the show uses CPU of its own
    xshow_wait_busy 20
    [ "$(xshow_error_lines)" -eq 1 ] || fail "stderr holds $(xshow_error_lines) ERROR lines, not 1"
else
    # one box, then the frame loop
    xshow_expect_boxes "$expected"
fi
[ -z "$(xdotool search --pid "$XSHOW_PID" 2>/dev/null)" ] || fail "a window appeared after all"

# with or without SDL, SIGTERM reaches the loop, which ends the show through its shutdown
xshow_stop TERM
[ "$XSHOW_STATUS" -eq 0 ] || fail "SIGTERM ended the show with status $XSHOW_STATUS"
echo "PASS: '$expected' once, then the frame loop"
