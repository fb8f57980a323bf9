#!/usr/bin/env bash
# Plays the whole show once and reports its resident memory every 10 s of show time from 10 s
# to 80 s (read from the caption), the growth from 10 s to 80 s, and the peak of the run.
# Run it inside xvfb-run from the repository root after a build.
# Usage: show_memory.sh
set -euo pipefail
case "${1:-}" in
    -h|--help) sed -n '2,5p' "$0" | sed 's/^# //'; exit 0 ;;
    "") ;;
    *) echo "show_memory.sh: unknown option $1" >&2; exit 2 ;;
esac
root=$(cd "$(dirname "$0")/../.." && pwd)
export VELLAMOR_BIN="$root/build/vellamor" VELLAMOR_ROOT="$root"
[ -x "$VELLAMOR_BIN" ] || { echo "show_memory.sh: build first" >&2; exit 1; }
[ -n "${DISPLAY:-}" ] || { echo "show_memory.sh: no DISPLAY; run it inside xvfb-run" >&2; exit 1; }
source "$root/tests/support/shell/show.sh"

kb() { awk -v f="$1:" '$1 == f { print $2 }' "/proc/$XSHOW_PID/status"; }

xshow_start
xshow_wait_window
declare -A rss=()
peak=""
while xshow_running; do
    caption=$(xshow_caption 2>/dev/null || true)
    if [[ $caption =~ Time:\ \ ([0-9]+)\. ]]; then
        t=${BASH_REMATCH[1]}
        mark=$((t / 10 * 10))
        [ "$mark" -lt 10 ] || [ "$mark" -gt 80 ] || [ -n "${rss[$mark]:-}" ] || rss[$mark]=$(kb VmRSS)
    fi
    peak=$(kb VmHWM 2>/dev/null || echo "$peak")
    sleep 0.2
done
xshow_wait_exit
[ "$XSHOW_STATUS" -eq 0 ] || { echo "show_memory.sh: the show ended with $XSHOW_STATUS" >&2; exit 1; }
echo "load average (1, 5, 15 min): $(cut -d' ' -f1-3 /proc/loadavg)"
for mark in 10 20 30 40 50 60 70 80; do echo "RSS at $mark s: ${rss[$mark]:-?} KB"; done
echo "growth from 10 s to 80 s: $((${rss[80]:-0} - ${rss[10]:-0})) KB; peak (VmHWM): $peak KB"
