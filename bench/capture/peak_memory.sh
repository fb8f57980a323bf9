#!/usr/bin/env bash
# Peak memory of one capture run, the tool and its ffmpeg together: their resident sets sampled
# ten times a second (the peak of the sum), and each one's own high-water mark (their sum bounds
# the peak from above). Usage: peak_memory.sh ARGS... (the capture's arguments; it runs headless
# from the repository root, and its own summary line is passed on).
set -euo pipefail
case "${1:-}" in
    ''|-h|--help) sed -n '2,5p' "$0" | sed 's/^# //'; exit 0 ;;
esac
root=$(cd "$(dirname "$0")/../.." && pwd)
capture="$root/build/vellamor-capture"
[ -x "$capture" ] || { echo "peak_memory.sh: build first ($capture missing)" >&2; exit 1; }
cd "$root"

# field KEY PID: a /proc/PID/status field in KiB, 0 once the process is gone
field() { awk -v k="$1:" '$1 == k { print $2; found = 1 } END { if (!found) print 0 }' "/proc/$2/status" 2>/dev/null || echo 0; }

env -u DISPLAY "$capture" "$@" &
pid=$!
together=0 tool_hwm=0 encoder_hwm=0
while kill -0 "$pid" 2>/dev/null; do
    sum=$(field VmRSS "$pid")
    hwm=$(field VmHWM "$pid")
    [ "$hwm" -gt "$tool_hwm" ] && tool_hwm=$hwm
    for child in $(pgrep -P "$pid" || true); do
        sum=$((sum + $(field VmRSS "$child")))
        hwm=$(field VmHWM "$child")
        [ "$hwm" -gt "$encoder_hwm" ] && encoder_hwm=$hwm
    done
    [ "$sum" -gt "$together" ] && together=$sum
    sleep 0.1
done
status=0
wait "$pid" || status=$?
echo "peak memory: tool $((tool_hwm / 1024)) MiB, ffmpeg $((encoder_hwm / 1024)) MiB, together $((together / 1024)) MiB sampled (at most $(((tool_hwm + encoder_hwm) / 1024)) MiB); exit $status"
exit "$status"
