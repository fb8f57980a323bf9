# Shell-test X display: waits for the test X server and keeps it from resetting between programs.
#
# An X server started without -noreset resets whenever its last client leaves, and refuses
# clients while it does (SDL then says "x11 not available"). A client of our own, connected for
# the whole test, keeps it from resetting between the programs the test starts.

[ -n "${VL_X_DISPLAY_SOURCED:-}" ] && return 0
VL_X_DISPLAY_SOURCED=1
source "$(dirname "${BASH_SOURCE[0]}")/process.sh"

xshow_keeper_pid=""
at_exit '[ -z "$xshow_keeper_pid" ] || kill "$xshow_keeper_pid" 2>/dev/null'

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
