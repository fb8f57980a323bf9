#!/usr/bin/env bash
# The capture's rate in show-seconds per wall-second at 60 fps in each part of the show (render
# only, and to MP4, at one sample a pixel), and the live show's frame rate in the same parts, on
# this machine. With --supersample instead: what supersampling costs, the capture's frames per
# second (render only) at 1, 2 and 3 samples a side, at 1024x768 and 1920x1080, in each part.
# Usage: capture_rates.sh [--seconds N] [--supersample] (N show-seconds rendered per part,
# default 5). Run it from the repository root inside xvfb-run (the live show needs a display;
# the capture is run without).
set -euo pipefail
seconds=5 supersample=0
while [ $# -gt 0 ]; do
    case "$1" in
        --seconds) seconds=${2:?--seconds needs a number}; shift 2 ;;
        --supersample) supersample=1; shift ;;
        -h|--help) sed -n '2,8p' "$0" | sed 's/^# //'; exit 0 ;;
        *) echo "capture_rates.sh: unknown option $1" >&2; exit 2 ;;
    esac
done
root=$(cd "$(dirname "$0")/../.." && pwd)
capture="$root/build/vellamor-capture"
live="$root/build/bench/capture/vellamor_part_rates"
for b in "$capture" "$live"; do [ -x "$b" ] || { echo "capture_rates.sh: build first ($b missing)" >&2; exit 1; }; done
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$root"

# a stretch of each part, away from its edges
starts=(2 14 40)
names=("title strips" "slideshow" "model scene")
span_end() { awk -v a="$1" -v s="$seconds" 'BEGIN { print a + s }'; }

if [ "$supersample" = 1 ]; then
    echo "| size | N | ${names[0]} | ${names[1]} | ${names[2]} |"
    echo "|---|---|---|---|---|"
    for size in 1024x768 1920x1080; do
        for n in 1 2 3; do
            row="| $size | $n |"
            for i in 0 1 2; do
                # the summary: "...: F frames, S show-s in T s (...)"
                summary=$(env -u DISPLAY "$capture" --null --size "$size" --supersample "$n" --from "${starts[$i]}" \
                    --to "$(span_end "${starts[$i]}")" --fps 60 2>&1 | tail -n 1 || true)
                rate=$(echo "$summary" | sed -n 's/.*: \([0-9]*\) frames, [0-9.]* show-s in \([0-9.]*\) s.*/\1 \2/p' |
                    awk '{ printf "%.1f frames/s", $1 / $2 }')
                row="$row ${rate:-failed: $summary} |"
            done
            echo "$row (load $(cut -d' ' -f1 /proc/loadavg))"
        done
    done
    exit 0
fi

[ -n "${DISPLAY:-}" ] || { echo "capture_rates.sh: no DISPLAY; run it inside xvfb-run" >&2; exit 1; }
for i in 0 1 2; do
    from=${starts[$i]}
    to=$(span_end "$from")
    for output in null video; do
        args=(--null)
        [ "$output" = video ] && args=(--video "$work/part.mp4" --force)
        echo "load average: $(cut -d' ' -f1-3 /proc/loadavg)"
        env -u DISPLAY "$capture" "${args[@]}" --from "$from" --to "$to" --fps 60 --supersample 1 2>&1 |
            sed "s/^vellamor-capture: /capture ${names[$i]} ($output): /"
    done
done

# the whole live show with silent audio, its frames counted per part
echo "load average: $(cut -d' ' -f1-3 /proc/loadavg)"
SDL_AUDIODRIVER=dummy "$live" 2>&1 | grep '^live '
echo "load average: $(cut -d' ' -f1-3 /proc/loadavg)"
