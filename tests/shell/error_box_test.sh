#!/usr/bin/env bash
# The error box is modal: MessageBoxA returns only once the box is dismissed, by Return, Escape
# or a click on OK; without a display it writes to stderr only and returns at once.
# Usage: error_box_test.sh return|escape|click|over_show_window|no_display
set -euo pipefail
source "$(dirname "$0")/../support/shell/show.sh"
PROBE=${ERROR_BOX_PROBE:?set ERROR_BOX_PROBE to the error_box_probe helper}
text="Probe text 42!"
mode=${1:-}
case "$mode" in
    return|escape|click|over_show_window|no_display) ;;
    *) echo "usage: error_box_test.sh return|escape|click|over_show_window|no_display" >&2; exit 2 ;;
esac

if [ "$mode" = no_display ]; then
    xshow_start_program env -u DISPLAY -u WAYLAND_DISPLAY "$PROBE" "$text"
    xshow_wait_exit
    [ "$XSHOW_STATUS" -eq 0 ] || fail "the probe ended with status $XSHOW_STATUS"
    [ "$(cat "$XSHOW_OUT")" = "returned 1" ] || fail "MessageBoxA did not return IDOK: $(cat "$XSHOW_OUT")"
    [ "$(xshow_error_lines)" -eq 1 ] || fail "expected one ERROR line on stderr"
    grep -qx "ERROR: $text" "$XSHOW_ERR" || fail "stderr lacks 'ERROR: $text'"
    echo "PASS: no display, stderr only"
    exit 0
fi

if [ "$mode" = over_show_window ]; then
    # the soundtrack's boxes come up over the open fullscreen window
    xshow_start_program "$PROBE" --over-show-window "$text"
else
    xshow_start_program "$PROBE" "$text"
fi
xshow_poll "the box" xshow_box_up
box=$(xshow_box_ids)
[ "$(echo "$box" | wc -l)" -eq 1 ] || fail "more than one box: $box"
grep -qx "ERROR: $text" "$XSHOW_ERR" || fail "stderr lacks 'ERROR: $text'"
geometry=$(xwininfo -id "$box")
width=$(echo "$geometry" | awk '/Width:/ {print $2}')
height=$(echo "$geometry" | awk '/Height:/ {print $2}')

# while the box is up, the call has not returned; a key the box ignores changes nothing
still_waiting() {
    xshow_running || fail "the probe ended while its box was up"
    [ ! -s "$XSHOW_OUT" ] || fail "MessageBoxA returned while its box was up: $(cat "$XSHOW_OUT")"
    xshow_box_up || fail "the box went away by itself"
}
xdotool windowfocus "$box"
xdotool key space
for _ in $(seq 1 10); do still_waiting; sleep 0.1; done
# a click outside the OK button does not dismiss it either
xdotool mousemove --window "$box" $((width / 2)) 8 click 1
for _ in $(seq 1 10); do still_waiting; sleep 0.1; done

case "$mode" in
    return|over_show_window) xdotool windowfocus "$box"; xdotool key Return ;;
    escape) xdotool windowfocus "$box"; xdotool key Escape ;;
    # the one button sits centred at the bottom of the box
    click) xdotool mousemove --window "$box" $((width / 2)) $((height - 20)) click 1 ;;
esac

xshow_wait_exit
[ "$XSHOW_STATUS" -eq 0 ] || fail "the probe ended with status $XSHOW_STATUS"
[ "$(cat "$XSHOW_OUT")" = "returned 1" ] || fail "MessageBoxA did not return IDOK: $(cat "$XSHOW_OUT")"
xshow_box_gone "$box" || fail "the box outlived the call"
echo "PASS: the box holds the call until $mode"
