#!/usr/bin/env bash
# The whole show on the test X server with silent audio: it plays from 0 to 83 s, the caption's
# time only rises, no error box appears, and it ends by itself with exit status 0.
set -euo pipefail
source "$(dirname "$0")/../support/shell/show.sh"

xshow_start SDL_AUDIODRIVER=dummy
xshow_wait_window

previous=-1
samples=0
give_up=$((SECONDS + 400))
while xshow_running; do
    [ "$SECONDS" -lt "$give_up" ] || fail "the show still runs ${give_up}s in, at show time $previous"
    [ -z "$(xshow_box_ids)" ] || fail "an error box appeared"
    caption=$(xshow_caption 2>/dev/null || true)
    if [[ $caption =~ Time:\ \ ([0-9]+\.[0-9]{6})$ ]]; then
        now=${BASH_REMATCH[1]}
        awk -v a="$previous" -v b="$now" 'BEGIN { exit !(b >= a) }' ||
            fail "the caption's time went back from $previous to $now"
        previous=$now
        samples=$((samples + 1))
    fi
    sleep 0.5
done

xshow_wait_exit
[ "$XSHOW_STATUS" -eq 0 ] || fail "the show ended with status $XSHOW_STATUS"
[ "$samples" -ge 20 ] || fail "only $samples captions read over the run"
awk -v t="$previous" 'BEGIN { exit !(t >= 80 && t < 90) }' ||
    fail "the last caption read $previous s, not the show's end near 83 s"
[ "$(xshow_error_lines)" -eq 0 ] || fail "the show wrote ERROR lines"
echo "PASS: played to $previous s in $samples captions, ended by itself with status 0"
