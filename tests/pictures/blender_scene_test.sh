#!/usr/bin/env bash
# One scene script rendered small and quick through the driver: a whole picture of the listed
# proportions comes out, and it is a scene, not a blank or a flat fill.
# Usage: blender_scene_test.sh DRIVER SCENE (a scene script's name without .py, e.g. bilde05)
set -euo pipefail
source "$(dirname "$0")/../support/shell/checks.sh"
driver=$1
scene=$2
make_work_dir work

listed=$(python3 "$driver" --list | awk -v s="/$scene.py" 'substr($4, length($4) - length(s) + 1) == s { print $1, $2, $3 }')
[ -n "$listed" ] || fail "no picture of the list is made by $scene.py"
read -r name width height <<<"$listed"
python3 "$driver" --only "$name" --size 64 --samples 4 --out "$work" >"$work/log" 2>&1 ||
    fail "rendering $name failed: $(tail -n 5 "$work/log")"
[ -f "$work/$name" ] || fail "no $name written"
[ -z "$(ls -A "$work" | grep -v -x -e "$name" -e log)" ] || fail "left behind: $(ls -A "$work" | tr '\n' ' ')"

# the shape: 64 pixels along the longer side, the listed proportions
size=$(ffprobe -v error -select_streams v:0 -show_entries stream=width,height -of csv=p=0:s=x "$work/$name")
w=${size%x*} h=${size#*x}
[ $((w * height)) -eq $((h * width)) ] || fail "$name came out ${w}x${h}, not in the proportions of ${width}x${height}"
[ "$w" -eq 64 ] || [ "$h" -eq 64 ] || fail "$name came out ${w}x${h}, not 64 on its longer side"

# the content: luminance neither black nor white throughout, and varied
ffmpeg -v error -i "$work/$name" -f rawvideo -pix_fmt gray - >"$work/gray"
read -r mean spread distinct < <(python3 -c '
import statistics, sys
data = open(sys.argv[1], "rb").read()
print(statistics.mean(data), statistics.pstdev(data), len(set(data)))' "$work/gray")
python3 -c "import sys; sys.exit(not (8 <= $mean <= 247))" || fail "$name is blank: mean luminance $mean of 255"
python3 -c "import sys; sys.exit(not ($spread >= 6 and $distinct >= 32))" ||
    fail "$name is nearly uniform: luminance spread $spread, $distinct distinct levels"
echo "$name: ${w}x${h}, mean $mean, spread $spread"
