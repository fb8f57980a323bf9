#!/usr/bin/env bash
# measure_bins against a tone made by another encoder: silence, then from 1.000 s a sine on the
# centre of bin 7 at 0.6 left and 0.2 right. The mono mix is 0.4, so bin 7 reads 0.4 and bin 6,
# one bin away under the Hann window, 0.2; nothing is heard in the window ending at 1.000 s,
# which only holds if the decoder removes the encoder delay (gapless).
set -euo pipefail
source "$(dirname "$0")/../support/shell/checks.sh"
measure=$1
make_work_dir work

hz=301.46484375  # 7 * 44100 / 1024
ffmpeg -v error -f lavfi -i "aevalsrc=exprs='if(gte(t,1),0.6*sin(2*PI*$hz*t),0)|if(gte(t,1),0.2*sin(2*PI*$hz*t),0)':s=44100:d=2" \
    -c:a libmp3lame -b:a 192k "$work/tone.mp3"
report=$("$measure" --at 1.0 --at 1.03 --at 1.5 "$work/tone.mp3")
echo "$report"
value() { echo "$report" | awk -v at="$1" -v k="$2" '$1 == "at" && $2 == at {
    for (i = 4; i <= NF; ++i) { split($i, kv, "="); if (kv[1] == k) print kv[2] } }'; }
within() { awk -v x="$1" -v lo="$2" -v hi="$3" 'BEGIN { exit !(x >= lo && x <= hi) }'; }

within "$(value 1.0000 7)" 0 0.03 || fail "bin 7 before the tone starts: $(value 1.0000 7)"
for at in 1.0300 1.5000; do
    within "$(value $at 7)" 0.38 0.42 || fail "bin 7 at $at: $(value $at 7), expected 0.4"
    within "$(value $at 6)" 0.18 0.22 || fail "bin 6 at $at: $(value $at 6), expected 0.2"
    within "$(value $at 10)" 0 0.01 || fail "bin 10 at $at: $(value $at 10), expected nothing"
done
echo "ok: scale, window, mono mix and gapless start"
