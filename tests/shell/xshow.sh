# Shell-test helpers for the show on a test X server: start it, find its window and its error
# boxes, read the caption, stop it, and clean up whatever was started. Source it from bash.
#
# Needs VELLAMOR_BIN (the show) and VELLAMOR_ROOT (the working directory it runs in), DISPLAY,
# xdotool, xwininfo and xprop. Every wait polls against XSHOW_DEADLINE seconds (default 60),
# never a fixed sleep, so a slow machine only makes a test slower.
#
# A test that expects two boxes at start-up and then a running show:
#     source tests/shell/xshow.sh
#     xshow_start SDL_AUDIODRIVER=nonexistent
#     xshow_expect_boxes "first text" "second text"   # in order, then no more, show running
#     xshow_wait_window; echo "$(xshow_caption)"
#     xshow_stop TERM; [ "$XSHOW_STATUS" -eq 0 ]

XSHOW_DEADLINE=${XSHOW_DEADLINE:-60}
XSHOW_PID=""          # the show's process
XSHOW_WINDOW=""       # the show's window, once xshow_wait_window found it
XSHOW_STATUS=""       # the show's exit status, once xshow_wait_exit saw it end
XSHOW_BOX_TEXT=""     # the text of the box xshow_take_box dismissed
XSHOW_BOXES_TAKEN=0   # how many boxes the test expected and dismissed so far
XSHOW_TMP=$(mktemp -d)
XSHOW_ERR="$XSHOW_TMP/stderr"
XSHOW_OUT="$XSHOW_TMP/stdout"
xshow_keys_down=()

fail() {
    echo "FAIL: $*" >&2
    if [ -n "$XSHOW_PID" ] && [ -r "/proc/$XSHOW_PID/stat" ]; then
        echo "--- process $XSHOW_PID: $(cut -d' ' -f2-3 "/proc/$XSHOW_PID/stat")" >&2
    fi
    if [ -s "$XSHOW_ERR" ]; then echo "--- the show's stderr:" >&2; cat "$XSHOW_ERR" >&2; fi
    exit 1
}

# Kills what is still running (the show and any box it forked), releases held keys, removes files.
xshow_cleanup() {
    local k
    for k in "${xshow_keys_down[@]}"; do xdotool keyup "$k" 2>/dev/null || true; done
    if [ -n "$XSHOW_PID" ] && [ -d "/proc/$XSHOW_PID" ]; then
        local child
        for child in $(ps -o pid= --ppid "$XSHOW_PID" 2>/dev/null); do kill -KILL "$child" 2>/dev/null || true; done
        kill -KILL "$XSHOW_PID" 2>/dev/null || true
        wait "$XSHOW_PID" 2>/dev/null || true
    fi
    [ -z "$xshow_keeper_pid" ] || kill "$xshow_keeper_pid" 2>/dev/null || true
    rm -rf "$XSHOW_TMP"
}
trap xshow_cleanup EXIT

# An X server started without -noreset resets whenever its last client leaves, and refuses
# clients while it does (SDL then says "x11 not available"). A client of our own, connected for
# the whole test, keeps it from resetting between the programs the test starts.
xshow_keeper_pid=""

xshow_display_held() {
    # xprop reports the property it watches as soon as it is connected
    if [ -n "$xshow_keeper_pid" ] && [ -d "/proc/$xshow_keeper_pid" ] &&
        [ -s "$XSHOW_TMP/keeper" ]; then
        return 0
    fi
    if [ -z "$xshow_keeper_pid" ] || [ ! -d "/proc/$xshow_keeper_pid" ]; then
        # not there, or it could not connect while the server was resetting: start it again
        xprop -root -spy _XSHOW_NONE >"$XSHOW_TMP/keeper" 2>&1 &
        xshow_keeper_pid=$!
    fi
    return 1
}

# Waits until the X server answers with our keeper client connected to it.
xshow_wait_display() {
    [ -n "${DISPLAY:-}" ] || fail "no DISPLAY: run the tests inside xvfb-run"
    xshow_poll "the X server $DISPLAY" xshow_display_held
}

# Starts a program in the background with VAR=value settings, stdout and stderr to files.
# Usage: xshow_start [VAR=value ...]            (the show, from VELLAMOR_ROOT)
#        xshow_start_program PROGRAM [ARG ...]  (another program, same bookkeeping)
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
xshow_start_program() {
    [ -n "${DISPLAY:-}" ] && xshow_wait_display
    : >"$XSHOW_OUT"
    : >"$XSHOW_ERR"
    ("$@" >"$XSHOW_OUT" 2>"$XSHOW_ERR") &
    XSHOW_PID=$!
}

# True while the started process runs (a zombie has ended).
xshow_running() {
    local state
    state=$(awk '{print $3}' "/proc/$XSHOW_PID/stat" 2>/dev/null) || return 1
    [ -n "$state" ] && [ "$state" != Z ] && [ "$state" != X ]
}

# Polls a command until it succeeds; fails the test with a message at the deadline.
xshow_poll() {
    local what=$1; shift
    local end=$((SECONDS + XSHOW_DEADLINE))
    until "$@"; do
        [ "$SECONDS" -lt "$end" ] || fail "timed out after ${XSHOW_DEADLINE}s waiting for $what"
        sleep 0.1
    done
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

# Takes the error boxes one after another, checks each text in order, then checks that the show
# runs on with no further box and no further ERROR line.
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

# How many "ERROR: " lines the started process wrote to stderr.
xshow_error_lines() {
    grep -c '^ERROR: ' "$XSHOW_ERR" || true
}

# CPU time (clock ticks) the started process has used, its own, not its children's.
xshow_cpu_ticks() {
    awk '{print $14 + $15}' "/proc/$XSHOW_PID/stat"
}

# Waits until the process has used another N ticks of CPU while staying alive: it is running
# its loop, not blocked in a box or stopped.
xshow_wait_busy() {
    local start
    start=$(xshow_cpu_ticks)
    xshow_busy_since() {
        xshow_running || fail "the process ended while it should be running"
        [ $(($(xshow_cpu_ticks) - start)) -ge "$1" ]
    }
    xshow_poll "the process to run on" xshow_busy_since "$1"
}

# The show window's caption as the X server holds it (WM_NAME).
xshow_caption() {
    xprop -id "$XSHOW_WINDOW" WM_NAME | sed -n 's/^WM_NAME([A-Z_0-9]*) = "\(.*\)"$/\1/p'
}

# Holds a key down on the focused window (XTEST) until xshow_key_up or cleanup.
xshow_key_down() {
    xdotool keydown "$1"
    xshow_keys_down+=("$1")
}

xshow_key_up() {
    xdotool keyup "$1"
}

# Waits until the started process ends; sets XSHOW_STATUS to its exit status.
xshow_wait_exit() {
    xshow_exited() { ! xshow_running; }
    xshow_poll "the process to end" xshow_exited
    XSHOW_STATUS=0
    wait "$XSHOW_PID" || XSHOW_STATUS=$?
}

# Sends a signal and waits until the process ends; sets XSHOW_STATUS.
xshow_stop() {
    kill "-$1" "$XSHOW_PID" || fail "cannot signal the process"
    xshow_wait_exit
}
