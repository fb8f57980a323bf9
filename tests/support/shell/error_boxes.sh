# Shell-test error boxes: find the boxes the started process shows on the X server, take them one
# after another by a key, and check their texts against its "ERROR: " lines on stderr.
#
#     xshow_expect_boxes "first text" "second text"   # in order, then no more, and it runs on

[ -n "${VL_ERROR_BOXES_SOURCED:-}" ] && return 0
VL_ERROR_BOXES_SOURCED=1
source "$(dirname "${BASH_SOURCE[0]}")/liveness.sh"

XSHOW_BOX_TEXT=""     # the text of the box xshow_take_box dismissed
XSHOW_BOXES_TAKEN=0   # how many boxes the test expected and dismissed so far

# Prints the ids of the error boxes on the X server, one a line, in stacking order. SDL2 shows
# them from a child process without _NET_WM_PID, so they are found in the tree by their title.
xshow_box_ids() {
    xwininfo -root -tree | awk '$2 == "\"ERROR\":" { print $1 }'
}

xshow_box_up() {
    [ -n "$(xshow_box_ids)" ]
}

# True once box $1 is gone. With $2, the number of ERROR lines on stderr when the box was taken,
# it is also gone once a later ERROR line shows that its call returned: the X server hands a new
# client the id range of one that left, so the next box can come up under the very same id.
# The tree is read before stderr, since a call writes its ERROR line before showing its box.
xshow_box_gone() {
    ! xwininfo -root -tree | grep -q "^ *$1 " && return 0
    [ -n "${2:-}" ] && [ "$(xshow_error_lines)" -gt "$2" ]
}

# Waits for the next error box, checks that it is the only one and that its text is the last
# "ERROR: " line on stderr, dismisses it with a key (Return unless given) and waits until it is
# gone. Sets XSHOW_BOX_TEXT to the box's text.
xshow_take_box() {
    local key=${1:-Return}
    xshow_poll "an error box" xshow_box_up
    local ids
    ids=$(xshow_box_ids)
    [ "$(echo "$ids" | wc -l)" -eq 1 ] || fail "more than one error box at once: $ids"
    XSHOW_BOX_TEXT=$(grep '^ERROR: ' "$XSHOW_ERR" | tail -n 1 | sed 's/^ERROR: //')
    [ -n "$XSHOW_BOX_TEXT" ] || fail "an error box is up with no ERROR line on stderr"
    xshow_dismiss_box "$ids" "$key" "$(xshow_error_lines)"
}

# Focuses a box by id, sends it a key and waits until it is gone; $3 is the number of ERROR
# lines on stderr while it is up (see xshow_box_gone). A box can be in the window tree a moment
# before it takes input, so a key that found it not ready is sent again, but only while that
# very box holds the focus: a key must never fall through to the next box, even one that came
# up under the same id.
xshow_dismiss_box() {
    local end=$((SECONDS + XSHOW_DEADLINE)) tries
    until xshow_box_gone "$1" "$3"; do
        [ "$SECONDS" -lt "$end" ] || fail "timed out after ${XSHOW_DEADLINE}s waiting for box $1 to go after $2"
        xshow_box_gone "$1" "$3" || xdotool windowfocus "$1" 2>/dev/null || true
        if [ "$(xdotool getwindowfocus 2>/dev/null)" = "$(($1))" ] && ! xshow_box_gone "$1" "$3"; then
            xdotool key "$2"
        fi
        for tries in $(seq 50); do
            xshow_box_gone "$1" "$3" && return 0
            sleep 0.1
        done
    done
}

# Takes the error boxes one after another, checks each text in order, then checks that the
# process runs on with no further box and no further ERROR line.
# Usage: xshow_expect_boxes "first text" "second text" ...
xshow_expect_boxes() {
    local expected n=0
    for expected in "$@"; do
        n=$((n + 1))
        xshow_take_box Return
        [ "$XSHOW_BOX_TEXT" = "$expected" ] ||
            fail "box $n says '$XSHOW_BOX_TEXT', expected '$expected'"
    done
    # running on: CPU of its own again, which a process waiting on a box does not use
    xshow_wait_busy 20
    [ -z "$(xshow_box_ids)" ] || fail "another box came up after the $n expected"
    [ "$(xshow_error_lines)" -eq "$n" ] ||
        fail "stderr holds $(xshow_error_lines) ERROR lines, expected $n"
    XSHOW_BOXES_TAKEN=$n
}
