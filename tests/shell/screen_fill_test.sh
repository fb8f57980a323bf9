#!/usr/bin/env bash
# On an X server of any size, bare or with a window manager, the show's window covers the screen
# and its 1024x768 picture fills the largest centred 4:3 box, with black bars and nothing cropped.
# On a 1024x768 screen what the screen shows is the frame itself, pixel for pixel.
# Usage: screen_fill_test.sh WIDTHxHEIGHT [openbox]
# Needs VELLAMOR_BIN, CAPTURE_BIN, WRITE_PICTURE_SET, SCREEN_PIXELS, and SCREEN_FRAME;
# starts an X server of that size of its own.
set -euo pipefail
size=${1:?usage: screen_fill_test.sh WIDTHxHEIGHT [openbox]}
window_manager=${2:-}
width=${size%x*}
height=${size#*x}
source "$(dirname "$0")/../support/shell/show.sh"

make_work_dir folder
# every picture a four-colour square, so each slide fills the frame with four known quarters
"$WRITE_PICTURE_SET" "$folder" || fail "cannot write the picture set"
for music in "$vl_repository_root"/data/*.mp3; do ln -s "$music" "$folder/data/"; done
export VELLAMOR_ROOT=$folder

# the X server, with no window manager; it writes its display number once it is ready
Xvfb -displayfd 3 -screen 0 "${size}x24" -nolisten tcp 3>"$folder/display" 2>"$folder/xvfb.log" &
xvfb_pid=$!
at_exit "kill $xvfb_pid 2>/dev/null; wait $xvfb_pid 2>/dev/null"
display_written() { [ -s "$folder/display" ]; }
xshow_poll "Xvfb at $size" display_written
export DISPLAY=:$(head -n 1 "$folder/display")

if [ -n "$window_manager" ]; then
    "$window_manager" >"$folder/wm.log" 2>&1 &
    wm_pid=$!
    at_exit "kill $wm_pid 2>/dev/null; wait $wm_pid 2>/dev/null"
    # a window manager announces itself on the root window once it manages the screen
    wm_ready() { xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; }
    xshow_poll "$window_manager managing the screen" wm_ready
fi

# the largest 4:3 box the screen holds, centred, as whole pixels
read -r box_x box_y box_w box_h < <(awk -v w="$width" -v h="$height" 'BEGIN {
    if (w * 3 > h * 4) { bw = int(h * 4 / 3); bh = h } else { bw = w; bh = int(w * 3 / 4) }
    print int((w - bw) / 2), int((h - bh) / 2), bw, bh }')

show_time() { local caption; caption=$(xshow_caption); echo "${caption##* }"; }
time_reached() {
    xshow_running || fail "the show ended before show time $1"
    awk -v t="$(show_time)" -v at="$1" 'BEGIN { exit !(t >= at) }'
}

if [ "$size" = 1024x768 ]; then
    # the frame of the slideshow drawn by the show's own code through the capture tool, before
    # the show starts, so that its window is gone by then
    mkdir "$folder/frames"
    (cd "$folder" && "$CAPTURE_BIN" --times 15 --frames "$folder/frames" --out "$folder/sheet.png" --force) \
        >"$folder/capture.log" 2>&1 || fail "the capture tool failed: $(cat "$folder/capture.log")"
    frame=$(find "$folder/frames" -name '*.png')
    [ "$(wc -l <<<"$frame")" -eq 1 ] && [ -f "$frame" ] || fail "the capture tool wrote no single frame: '$frame'"
fi

xshow_start
xshow_wait_window
# the slideshow, past the title card: from 13 s to 28 s every frame is the same
xshow_poll "show time 13" time_reached 13

geometry=$(xwininfo -id "$XSHOW_WINDOW" | awk '/Absolute upper-left X/ {x=$NF} /Absolute upper-left Y/ {y=$NF}
    /Width:/ {w=$NF} /Height:/ {h=$NF} END {print x, y, w, h}')
[ "$geometry" = "0 0 $width $height" ] || check_failed "the window is at '$geometry', not '0 0 $width $height'"

read -r seen_x seen_y seen_w seen_h < <("$SCREEN_FRAME" box)
# to within a pixel of scaling at each edge
off=0
for i in x y w h; do
    seen=seen_$i expected=box_$i
    [ $((${!seen} - ${!expected})) -ge -1 ] && [ $((${!seen} - ${!expected})) -le 1 ] || off=1
done
[ "$off" -eq 0 ] ||
    check_failed "the picture lies in '$seen_x $seen_y $seen_w $seen_h', not in the box '$box_x $box_y $box_w $box_h'"

if [ "$size" = 1024x768 ]; then
    read -r different largest < <("$SCREEN_FRAME" same-as "$frame")
    awk -v t="$(show_time)" 'BEGIN { exit !(t < 28) }' || fail "the screen was compared after the slideshow (a slow machine?)"
fi

# the four corners of the box show the four quarters of the picture, upright
inset=4
corners=("$((box_x + inset)),$((box_y + inset))" "$((box_x + box_w - 1 - inset)),$((box_y + inset))"
    "$((box_x + inset)),$((box_y + box_h - 1 - inset))" "$((box_x + box_w - 1 - inset)),$((box_y + box_h - 1 - inset))")
expected=("200 0 0" "0 200 0" "0 0 200" "200 200 0")
mapfile -t colours < <("$SCREEN_PIXELS" "${corners[@]}")
for i in 0 1 2 3; do
    read -r r g b <<<"${colours[$i]}"
    read -r er eg eb <<<"${expected[$i]}"
    awk -v r="$r" -v g="$g" -v b="$b" -v er="$er" -v eg="$eg" -v eb="$eb" \
        'function off(a, e) { return a > e + 40 || a < e - 40 } BEGIN { exit off(r, er) || off(g, eg) || off(b, eb) }' ||
        check_failed "corner $((i + 1)) of the box at ${corners[$i]} shows $r $g $b, expected $er $eg $eb"
done

if [ "$size" = 1024x768 ]; then
    [ "$different" -eq 0 ] || check_failed "$different pixels differ from the frame (by up to $largest)"
fi

xshow_stop TERM
[ "$XSHOW_STATUS" -eq 0 ] || check_failed "the show ended with status $XSHOW_STATUS"
checks_done "PASS: at $size${window_manager:+ under $window_manager} the picture fills '$box_x $box_y $box_w $box_h' with bars, upright and whole"
