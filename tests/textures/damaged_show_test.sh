#!/usr/bin/env bash
# The real show with one kind of image file under every picture name: it starts without a word,
# shows the picture (or a white quad where the file is refused) and stops with status 0.
# Usage: damaged_show_test.sh KIND   (a kind of write_crafted_image; see its --help)
# Needs VELLAMOR_BIN, WRITE_PICTURE_SET, WRITE_CRAFTED_IMAGE and SCREEN_PIXELS.
set -euo pipefail
kind=${1:?usage: damaged_show_test.sh KIND}
source "$(dirname "$0")/../support/shell/show.sh"

make_work_dir folder

# a good set for every name, then the file under test over every one of them
"$WRITE_PICTURE_SET" "$folder" || fail "cannot write the picture set"
"$WRITE_CRAFTED_IMAGE" "$kind" "$folder/crafted" || fail "cannot write a '$kind' file"
for picture in "$folder"/data/*.png "$folder"/data/*.jpg; do cp "$folder/crafted" "$picture"; done
for music in "$vl_repository_root"/data/*.mp3; do ln -s "$music" "$folder/data/"; done

# what a viewer should see: the four colours of the test picture, or a white quad for a refused file
case "$kind" in
    png | jpeg | adobe-cmyk-jpeg | camera-jpeg) upper_left="200 0 0" upper_right="0 200 0" lower_left="0 0 200" ;;
    *) upper_left="255 255 255" upper_right="255 255 255" lower_left="255 255 255" ;;
esac

# The screen points (x,y) of the upper left, upper right and lower left quarter centres of a quad
# centred at (cx, cy) with half-width 1 and half-height hh in the plane z = -d, as the show
# projects it (45 degrees vertically, 4:3, 1024x768).
quarter_points() {
    awk -v cx="$1" -v cy="$2" -v hh="$3" -v d="$4" 'BEGIN {
        h = d * sin(22.5 * 3.14159265 / 180) / cos(22.5 * 3.14159265 / 180); w = h * 4 / 3
        split("-0.5 0.5 -0.5", dx, " "); split("0.5 0.5 -0.5", dy, " ")
        for (i = 1; i <= 3; i++) {
            x = cx + dx[i]; y = cy + dy[i] * hh
            printf "%d,%d\n", 512 + x / w * 512 + 0.5, 384 - y / h * 384 + 0.5
        } }'
}

show_time() { local caption; caption=$(xshow_caption); echo "${caption##* }"; }
time_reached() {
    xshow_running || fail "the show ended before show time $1"
    awk -v t="$(show_time)" -v at="$1" 'BEGIN { exit !(t >= at) }'
}

# Reads the quadrant centres of a quad (centre cx, cy, half-height hh, depth d) once the show
# time is at least $1 and checks them, if the reading was taken before $2 (the quad's end).
check_quad() {
    local from=$1 until=$2 what=$3 cx=$4 cy=$5 hh=$6 d=$7
    xshow_poll "show time $from" time_reached "$from"
    local points colours
    mapfile -t points < <(quarter_points "$cx" "$cy" "$hh" "$d")
    mapfile -t colours < <("$SCREEN_PIXELS" "${points[@]}")
    local after
    after=$(show_time)
    awk -v t="$after" -v end="$until" 'BEGIN { exit !(t < end) }' ||
        fail "the screen was read at show time $after, after the $what had gone (a slow machine?)"
    local expected=("$upper_left" "$upper_right" "$lower_left") i
    for i in 0 1 2; do
        read -r r g b <<<"${colours[$i]}"
        read -r er eg eb <<<"${expected[$i]}"
        awk -v r="$r" -v g="$g" -v b="$b" -v er="$er" -v eg="$eg" -v eb="$eb" \
            'function off(a, e) { return a > e + 24 || a < e - 24 }
             BEGIN { exit off(r, er) || off(g, eg) || off(b, eb) }' ||
            fail "$what, quarter $((i + 1)) at ${points[$i]} shows $r $g $b, expected $er $eg $eb"
    done
}

export VELLAMOR_ROOT=$folder
xshow_start
xshow_wait_window
# the Flanokk card stands from 6.35 to 10.9 s at (0, 0.1, -1.4); from 11.8 s every slide fills
# the screen at depth 1.8, and all of them hold the file under test
check_quad 7.0 10.9 "card" 0 0.1 0.5 1.4
check_quad 12.0 29.3 "slide" 0 0 1.0 1.8
[ -z "$(xshow_box_ids)" ] || fail "an error box came up"
xshow_stop TERM
[ "$XSHOW_STATUS" -eq 0 ] || fail "the show ended with status $XSHOW_STATUS"
[ ! -s "$XSHOW_ERR" ] || fail "the show wrote to stderr"
[ ! -s "$XSHOW_OUT" ] || fail "the show wrote to stdout: $(head -c 200 "$XSHOW_OUT")"
echo "PASS: $kind: no word, the expected picture, status 0 on SIGTERM"
