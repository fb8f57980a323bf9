#!/usr/bin/env bash
# Times each way of stopping the running show (Escape held, the window closed, SIGTERM): N runs
# each, from the stop to the end of the process, with every exit status. Run it inside xvfb-run
# from the repository root after a build.
# Usage: quit_paths.sh [--runs N] (default 20)
set -euo pipefail
runs=20
while [ $# -gt 0 ]; do
    case "$1" in
        --runs) runs=${2:?--runs needs a number}; shift 2 ;;
        -h|--help) sed -n '2,5p' "$0" | sed 's/^# //'; exit 0 ;;
        *) echo "quit_paths.sh: unknown option $1" >&2; exit 2 ;;
    esac
done
root=$(cd "$(dirname "$0")/../.." && pwd)
export VELLAMOR_BIN="$root/build/vellamor" VELLAMOR_ROOT="$root"
CLOSE_WINDOW="$root/build/tests/shell/close_window"
[ -x "$VELLAMOR_BIN" ] && [ -x "$CLOSE_WINDOW" ] || { echo "quit_paths.sh: build first" >&2; exit 1; }
[ -n "${DISPLAY:-}" ] || { echo "quit_paths.sh: no DISPLAY; run it inside xvfb-run" >&2; exit 1; }
source "$root/tests/support/shell/show.sh"

# Microseconds from bash's own clock: no process is started to read it.
now_us() { echo "${EPOCHREALTIME/./}"; }

# One run: start, wait until the frame loop has drawn a while, stop it the given way, and wait
# for the process itself (no polling): prints "<ms from the stop to the end> <exit status>".
one_run() {
    xshow_start
    xshow_wait_window
    xshow_wait_busy 10
    [ "$1" != escape ] || xdotool mousemove --window "$XSHOW_WINDOW" 512 384
    local start status=0
    start=$(now_us)
    case "$1" in
        escape) xshow_key_down Escape ;;
        close) "$CLOSE_WINDOW" "$XSHOW_WINDOW" ;;
        term) kill -TERM "$XSHOW_PID" ;;
    esac
    wait "$XSHOW_PID" || status=$?
    echo "$((($(now_us) - start) / 1000)) $status"
    [ "$1" != escape ] || xshow_key_up Escape
}

echo "load average before (1, 5, 15 min): $(cut -d' ' -f1-3 /proc/loadavg)"
echo "| stop | runs | exit 0 | within 1 s | median ms | max ms |"
echo "|---|---|---|---|---|---|"
for way in escape close term; do
    results=()
    for _ in $(seq "$runs"); do results+=("$(one_run "$way")"); done
    printf '%s\n' "${results[@]}" | sort -n | awk -v way="$way" '
        { ms[NR] = $1; if ($2 == 0) ok++; if ($1 < 1000) fast++ }
        END { printf "| %s | %d | %d | %d | %d | %d |\n", way, NR, ok, fast, ms[int((NR + 1) / 2)], ms[NR] }'
done
echo "load average after (1, 5, 15 min): $(cut -d' ' -f1-3 /proc/loadavg)"
