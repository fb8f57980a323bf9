#!/usr/bin/env bash
# Runs the idle show for a while on the current X display and reports its passes a second and
# CPU use. Usage: idle_show.sh [--seconds N] (run it inside xvfb-run from the repository root)
set -euo pipefail
seconds=10
while [ $# -gt 0 ]; do
    case "$1" in
        --seconds) seconds=${2:?--seconds needs a number}; shift 2 ;;
        -h|--help) sed -n '2,3p' "$0" | sed 's/^# //'; exit 0 ;;
        *) echo "idle_show.sh: unknown option $1" >&2; exit 2 ;;
    esac
done
root=$(cd "$(dirname "$0")/../.." && pwd)
show="$root/build/bench/shell/vellamor_counting_passes"
[ -x "$show" ] || { echo "idle_show.sh: build first ($show missing)" >&2; exit 1; }
[ -n "${DISPLAY:-}" ] || { echo "idle_show.sh: no DISPLAY; run it inside xvfb-run" >&2; exit 1; }

log=$(mktemp)
trap 'kill -KILL "$pid" 2>/dev/null || true; rm -f "$log"' EXIT
cd "$root"
# silent audio: without a sound device the soundtrack's error boxes would hold the start
SDL_AUDIODRIVER=dummy /usr/bin/time -f "wall %e s, user %U s, system %S s, CPU %P, max RSS %M KB" "$show" 2>"$log" &
pid=$!
sleep "$seconds"
# SIGTERM reaches the loop as a quit event; time passes it on and reports
for child in $(ps -o pid= --ppid "$pid"); do kill -TERM "$child"; done
wait "$pid" || { echo "idle_show.sh: the show failed" >&2; cat "$log" >&2; exit 1; }
# other work on the machine takes its share of the two cores: say how much there was
echo "load average (1, 5, 15 min): $(cut -d' ' -f1-3 /proc/loadavg)"
cat "$log"
