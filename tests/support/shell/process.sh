# Shell-test process control: start a program in the background with its output in files, poll
# for a condition against a deadline, wait for its end, signal it, and kill it at exit.
#
# Every wait polls against XSHOW_DEADLINE seconds (default 60), never a fixed sleep, so a slow
# machine only makes a test slower.
#     xshow_start_program PROGRAM [ARG ...]   # sets XSHOW_PID; output in $XSHOW_OUT, $XSHOW_ERR
#     xshow_poll "what we wait for" COMMAND [ARG ...]
#     xshow_stop TERM                          # or xshow_wait_exit; sets XSHOW_STATUS

[ -n "${VL_PROCESS_SOURCED:-}" ] && return 0
VL_PROCESS_SOURCED=1
source "$(dirname "${BASH_SOURCE[0]}")/checks.sh"

XSHOW_DEADLINE=${XSHOW_DEADLINE:-60}
XSHOW_PID=""          # the started process
XSHOW_STATUS=""       # its exit status, once xshow_wait_exit saw it end
make_work_dir XSHOW_TMP
XSHOW_ERR="$XSHOW_TMP/stderr"
XSHOW_OUT="$XSHOW_TMP/stdout"

# What a failing test shows: the process's state and what it wrote to stderr.
xshow_fail_context() {
    if [ -n "$XSHOW_PID" ] && [ -r "/proc/$XSHOW_PID/stat" ]; then
        echo "--- process $XSHOW_PID: $(cut -d' ' -f2-3 "/proc/$XSHOW_PID/stat")"
    fi
    if [ -s "$XSHOW_ERR" ]; then echo "--- its stderr:"; cat "$XSHOW_ERR"; fi
}
vl_fail_context+=(xshow_fail_context)

# Kills what is still running: the process and any child it forked (an error box).
xshow_kill_process() {
    if [ -n "$XSHOW_PID" ] && [ -d "/proc/$XSHOW_PID" ]; then
        local child
        for child in $(ps -o pid= --ppid "$XSHOW_PID" 2>/dev/null); do kill -KILL "$child" 2>/dev/null || true; done
        kill -KILL "$XSHOW_PID" 2>/dev/null || true
        wait "$XSHOW_PID" 2>/dev/null || true
    fi
}
at_exit xshow_kill_process

# Starts a program in the background, stdout and stderr to files.
xshow_start_program() {
    [ -n "${DISPLAY:-}" ] && declare -F xshow_wait_display >/dev/null && xshow_wait_display
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

# How many "ERROR: " lines the started process wrote to stderr.
xshow_error_lines() {
    grep -c '^ERROR: ' "$XSHOW_ERR" || true
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
