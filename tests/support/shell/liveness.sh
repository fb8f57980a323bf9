# Shell-test liveness: whether the started process runs its loop, told by the CPU time it uses
# (a process blocked in an error box or stopped uses none).

[ -n "${VL_LIVENESS_SOURCED:-}" ] && return 0
VL_LIVENESS_SOURCED=1
source "$(dirname "${BASH_SOURCE[0]}")/process.sh"

# CPU time (clock ticks) the started process has used, its own, not its children's.
xshow_cpu_ticks() {
    awk '{print $14 + $15}' "/proc/$XSHOW_PID/stat"
}

# Waits until the process has used another N ticks of CPU while staying alive.
xshow_wait_busy() {
    local start
    start=$(xshow_cpu_ticks)
    xshow_busy_since() {
        xshow_running || fail "the process ended while it should be running"
        [ $(($(xshow_cpu_ticks) - start)) -ge "$1" ]
    }
    xshow_poll "the process to run on" xshow_busy_since "$1"
}
