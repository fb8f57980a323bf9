#!/usr/bin/env bash
# soundtrack_figures against notes made by another encoder: a 700 Hz note with a 2 ms attack
# (the generator's stabs attack as fast) on every beat from 11.8 s and at 6.35, 10.9 and 28.2 s.
# Notes on the sample read within 3 ms of their cue; the same notes 10 ms late read late.
set -euo pipefail
figures=$1
source "$(dirname "$0")/../support/shell/checks.sh"
make_work_dir work

notes() {  # $1: delay in seconds
    local t="(t-$1)" ph="mod(t-$1-11.8,0.5)" one
    one() { echo "between($t,$1,$1+0.15)*min(1,($t-$1)/0.002)"; }
    echo "0.5*sin(2*PI*700*t)*(gte($t,11.8)*lt($ph,0.15)*min(1,$ph/0.002)+$(one 6.35)+$(one 10.9)+$(one 28.2))"
}
for delay in 0 0.01; do
    e=$(notes $delay)
    ffmpeg -v error -f lavfi -i "aevalsrc=exprs='$e|$e':s=44100:d=31" -c:a libmp3lame -b:a 192k "$work/$delay.mp3"
done
offsets() { "$figures" "$1" | awk '$1 == "onset" { print $6 }'; }

on_time=$(offsets "$work/0.mp3")
echo "on time:" $on_time
[ "$(echo "$on_time" | wc -l)" -eq 22 ] || fail "expected 22 cues, got: $on_time"
echo "$on_time" | awk '{ if ($1 < -3 || $1 > 3) bad = 1 } END { exit bad }' || fail "a note on its cue read off by more than 3 ms"
late=$(offsets "$work/0.01.mp3")
echo "10 ms late:" $late
echo "$late" | awk '{ if ($1 < 6 || $1 > 12) bad = 1 } END { exit bad }' || fail "notes 10 ms late did not read late"
echo "ok: onsets read within 3 ms of where the notes start"
