# Shell-test helpers for the show on a test X server: start it, find its window, read its
# caption. Sourcing this brings in every shell helper (checks, process, liveness, X display,
# error boxes, keys). Source it from bash.
#
# Needs VELLAMOR_BIN (the show), DISPLAY, xdotool, xwininfo and xprop. VELLAMOR_ROOT is the
# working directory the show runs in: the repository unless the test sets another.
#
# A test that expects two boxes at start-up and then a running show:
#     source "$(dirname "$0")/../support/shell/show.sh"
#     xshow_start SDL_AUDIODRIVER=nonexistent
#     xshow_expect_boxes "first text" "second text"   # in order, then no more, show running
#     xshow_wait_window; echo "$(xshow_caption)"
#     xshow_stop TERM; [ "$XSHOW_STATUS" -eq 0 ]

[ -n "${VL_SHOW_SOURCED:-}" ] && return 0
VL_SHOW_SOURCED=1
vl_shell_support=$(dirname "${BASH_SOURCE[0]}")
source "$vl_shell_support/checks.sh"
source "$vl_shell_support/process.sh"
source "$vl_shell_support/liveness.sh"
source "$vl_shell_support/x_display.sh"
source "$vl_shell_support/error_boxes.sh"
source "$vl_shell_support/keys.sh"

XSHOW_WINDOW=""       # the show's window, once xshow_wait_window found it
: "${VELLAMOR_ROOT:=$vl_repository_root}"

# Starts the show from VELLAMOR_ROOT in the background with VAR=value settings.
xshow_start() {
    [ -x "$VELLAMOR_BIN" ] || fail "no show binary at '$VELLAMOR_BIN'"
    xshow_wait_display
    # no key or button left held by an earlier program, and the pointer out of the way: a held
    # Return or Escape, or a button let go over a box, would dismiss it
    xdotool keyup Escape Return space 2>/dev/null || true
    xdotool mousemove 1023 767 mouseup 1 2>/dev/null || true
    : >"$XSHOW_OUT"
    : >"$XSHOW_ERR"
    # SDL on X11 unless the caller says otherwise: should the X server refuse the show, SDL
    # would otherwise go on to another video driver and run without a window on this display.
    # Silent audio unless the caller says otherwise: test machines have no sound device, and
    # without one the soundtrack's error boxes would stand in every test's way.
    (cd "$VELLAMOR_ROOT" &&
        exec env SDL_VIDEODRIVER=x11 SDL_AUDIODRIVER=dummy "$@" "$VELLAMOR_BIN" >"$XSHOW_OUT" 2>"$XSHOW_ERR") &
    XSHOW_PID=$!
}

xshow_window_found() {
    xshow_running || fail "the show ended before its window appeared"
    [ "$(xshow_error_lines)" -le "$XSHOW_BOXES_TAKEN" ] ||
        fail "the show reported an error instead of opening its window"
    XSHOW_WINDOW=$(xdotool search --pid "$XSHOW_PID" --name 'Ostravelle' 2>/dev/null | head -n 1)
    [ -n "$XSHOW_WINDOW" ]
}

# Waits for the show's window (named by its caption); sets XSHOW_WINDOW.
xshow_wait_window() {
    xshow_poll "the show's window" xshow_window_found
}

# The show window's caption as the X server holds it (WM_NAME).
xshow_caption() {
    xprop -id "$XSHOW_WINDOW" WM_NAME | sed -n 's/^WM_NAME([A-Z_0-9]*) = "\(.*\)"$/\1/p'
}
