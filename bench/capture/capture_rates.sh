#!/usr/bin/env bash
# The capture's rate in show-seconds per wall-second at 60 fps in each part of the show (render
# only, and to MP4), and the live show's frame rate in the same parts, on this machine.
# Usage: capture_rates.sh [--seconds N] (N show-seconds rendered per part, default 5). Run it from
# the repository root inside xvfb-run (the live show needs a display; the capture is run without).
set -euo pipefail
seconds=5
while [ $# -gt 0 ]; do
    case "$1" in
        --seconds) seconds=${2:?--seconds needs a number}; shift 2 ;;
        -h|--help) sed -n '2,5p' "$0" | sed 's/^# //'; exit 0 ;;
        *) echo "capture_rates.sh: unknown option $1" >&2; exit 2 ;;
    esac
done
root=$(cd "$(dirname "$0")/../.." && pwd)
capture="$root/build/vellamor-capture"
live="$root/build/bench/capture/vellamor_part_rates"
for b in "$capture" "$live"; do [ -x "$b" ] || { echo "capture_rates.sh: build first ($b missing)" >&2; exit 1; }; done
[ -n "${DISPLAY:-}" ] || { echo "capture_rates.sh: no DISPLAY; run it inside xvfb-run" >&2; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$root"

# a stretch of each part, away from its edges
starts=(2 14 40)
names=("title strips" "slideshow" "model scene")
for i in 0 1 2; do
    from=${starts[$i]}
    to=$(awk -v a="$from" -v s="$seconds" 'BEGIN { print a + s }')
    for output in null video; do
        args=(--null)
        [ "$output" = video ] && args=(--video "$work/part.mp4" --force)
        echo "load average: $(cut -d' ' -f1-3 /proc/loadavg)"
        env -u DISPLAY "$capture" "${args[@]}" --from "$from" --to "$to" --fps 60 2>&1 |
            sed "s/^vellamor-capture: /capture ${names[$i]} ($output): /"
    done
done

# the whole live show with silent audio, its frames counted per part
echo "load average: $(cut -d' ' -f1-3 /proc/loadavg)"
SDL_AUDIODRIVER=dummy "$live" 2>&1 | grep '^live '
echo "load average: $(cut -d' ' -f1-3 /proc/loadavg)"
