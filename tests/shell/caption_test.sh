#!/usr/bin/env bash
# The window caption, as the X server holds it, is the show's title line and the show time.
set -euo pipefail
source "$(dirname "$0")/../support/shell/show.sh"

# title, exactly 30 spaces, "Time:", two spaces, the time with six decimals
pattern='^Ostravelle 2008 - Vellamor {30}Time:  -?[0-9]+\.[0-9]{6}$'

xshow_start
xshow_wait_window
caption_set() { [[ "$(xshow_caption)" =~ Time: ]]; }
xshow_poll "a caption with the time" caption_set

# the caption is rewritten every pass: later readings carry later times
previous=-1
for reading in 1 2 3; do
    caption=$(xshow_caption)
    [[ "$caption" =~ $pattern ]] || fail "caption reading $reading does not match: '$caption'"
    [ ${#caption} -le 79 ] || fail "caption longer than its 80-byte buffer allows: ${#caption}"
    name=$(xdotool getwindowname "$XSHOW_WINDOW")
    [[ "$name" =~ $pattern ]] || fail "the window name does not match: '$name'"
    now=${caption##* }
    awk -v a="$previous" -v b="$now" 'BEGIN { exit !(b >= a) }' ||
        fail "the caption's time went back from $previous to $now"
    previous=$now
    xshow_wait_busy 5
done

xshow_stop TERM
[ "$XSHOW_STATUS" -eq 0 ] || fail "the show ended with status $XSHOW_STATUS"
echo "PASS: caption '$caption'"
