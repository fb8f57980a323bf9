#!/usr/bin/env bash
# SIGTERM and SIGINT end the show through its ordinary shutdown, with status 0, in every state:
# without a display (SDL then delivers no events), without a display or a sound device, and
# while an error box holds start-up. Without a display and with no video driver named, the show
# says it has no screen rather than play to an off-screen buffer.
# Usage: stop_signal_test.sh no_display|no_display_x11|no_display_no_audio|box_up
set -euo pipefail
source "$(dirname "$0")/../support/shell/show.sh"

# The show with no display at all: DISPLAY unset, and no way to a box either.
start_without_display() {
    xshow_start_program env -C "$VELLAMOR_ROOT" -u DISPLAY -u WAYLAND_DISPLAY "$@" "$VELLAMOR_BIN"
}

# Waits for the show's ERROR lines, checks them in order, then sees the frame loop run on.
expect_lines_then_loop() {
    local n=$#
    enough_lines() { [ "$(xshow_error_lines)" -ge "$n" ]; }
    xshow_poll "$n ERROR lines" enough_lines
    diff <(printf 'ERROR: %s\n' "$@") <(grep '^ERROR: ' "$XSHOW_ERR") >&2 ||
        fail "the ERROR lines differ from the expected ones"
    # the frame loop spins on its own CPU time, with no window to wait on
    xshow_wait_busy 20
    [ "$(xshow_error_lines)" -eq "$n" ] || fail "more ERROR lines came after the expected $n"
}

no_screen="Unable to initialize SDL!"
case "${1:-}" in
    no_display)
        # SDL, left to choose, would fall back on its off-screen driver and show nothing
        start_without_display SDL_AUDIODRIVER=dummy
        expect_lines_then_loop "$no_screen"
        signal=TERM
        ;;
    no_display_x11)
        start_without_display SDL_VIDEODRIVER=x11 SDL_AUDIODRIVER=dummy
        expect_lines_then_loop "$no_screen"
        signal=TERM
        ;;
    no_display_no_audio)
        start_without_display SDL_VIDEODRIVER=x11 SDL_AUDIODRIVER=nonexistent
        expect_lines_then_loop "$no_screen" "Bass init failed! Remembered the bass.dll file?" \
            "Bass file loading failed!" "Music failed to play!" "Failed to start song at the start"
        signal=INT
        ;;
    box_up)
        # the first of the four boxes of a run without a sound device holds start-up
        xshow_start SDL_AUDIODRIVER=nonexistent
        xshow_poll "the first error box" xshow_box_up
        box=$(xshow_box_ids)
        signal=TERM
        ;;
    *)
        echo "usage: stop_signal_test.sh no_display|no_display_x11|no_display_no_audio|box_up" >&2
        exit 2
        ;;
esac

xshow_stop "$signal"
[ "$XSHOW_STATUS" -eq 0 ] || fail "SIG$signal ended the show with status $XSHOW_STATUS, not 0"
if [ "$1" = box_up ]; then
    xshow_box_gone "$box" || fail "the box outlived the show"
    [ -z "$(xshow_box_ids)" ] || fail "a later box came up after all"
    # start-up went on to its end without boxes: every request still said what failed
    [ "$(xshow_error_lines)" -eq 4 ] || fail "$(xshow_error_lines) ERROR lines, not the 4 of start-up"
fi
echo "PASS: $1: SIG$signal ends the show with status 0"
