#!/usr/bin/env bash
# The blind review tool: the sets it writes hide which side is new, but its key finds it again, so the
# table credits a reviewer's choice to the right slide; it refuses to write over a set or to pair a
# slide with nothing. White squares stand in for the new slides, black ones for the old.
# Usage: blind_review_test.sh TOOL
set -u
source "$(dirname "$0")/../support/shell/checks.sh"
tool=$1
make_work_dir work
mkdir "$work/new" "$work/old"
for n in 01 02 03; do
    ffmpeg -v error -f lavfi -i color=white:s=1024x1024 -frames:v 1 "$work/new/Bilde$n.jpg" || fail "ffmpeg"
    ffmpeg -v error -f lavfi -i color=black:s=1024x1024 -frames:v 1 "$work/old/Bilde$n.jpg" || fail "ffmpeg"
done
brightness() { ffmpeg -v error -i "$1" -vf scale=1:1 -f rawvideo -pix_fmt gray - | od -An -tu1 | tr -d ' '; }

python3 "$tool" make "$work/new" "$work/old" "$work/set" --seed 1 --reviewers 2 2>/dev/null ||
    fail "make exited non-zero"
size=$(ffprobe -v error -show_entries stream=width,height -of csv=p=0 "$work/set/stills_r1/pic_01.png")
[ "$size" = "1024,764" ] || check_failed "a still is $size, not the 1024x764 the screen shows"

# Each reviewer answers as if they saw the pictures: every still a 4, in each pair the white one better.
mkdir "$work/answers"
for r in 1 2; do
    echo "| pic_01 | a | 4 | . |" >"$work/answers/stills_r$r.md"
    for pair in 01 02 03; do
        better=A
        [ "$(brightness "$work/set/pairs_r$r/pair_${pair}_B.png")" -gt 128 ] && better=B
        echo "| pair_$pair | $better | clear | . |" >>"$work/answers/pairs_r$r.md"
    done
done
python3 "$tool" tabulate "$work/answers" "$work/set/keys.json" >"$work/table" || fail "tabulate exited non-zero"
grep -q "new preferred by most: 3 of 3" "$work/table" ||
    check_failed "the white sides are not counted as the new slides: $(tail -n 1 "$work/table")"
sides=$(grep -o '"new": "[AB]"' "$work/set/keys.json" | sort -u | wc -l)
[ "$sides" -eq 2 ] || check_failed "the new slide is always on the same side"

python3 "$tool" make "$work/new" "$work/old" "$work/set" 2>/dev/null &&
    check_failed "make wrote over a set"
rm "$work/old/Bilde02.jpg"
python3 "$tool" make "$work/new" "$work/old" "$work/other" 2>"$work/err" &&
    check_failed "make paired a slide with nothing"
[ -s "$work/err" ] || check_failed "make refused without a message"
checks_done "blind review sets and their table"
