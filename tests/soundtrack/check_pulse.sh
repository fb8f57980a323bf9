#!/usr/bin/env bash
# Over the model scene, spectrum values 6 and 7 of the committed soundtrack pulse with the beat:
# high just after each beat, low halfway between, and never high enough to carry the model off screen.
set -euo pipefail
source "$(dirname "$0")/../support/shell/checks.sh"
measure=$1
mp3=$2

report=$("$measure" "$mp3") || fail "measure_bins failed"
echo "$report"
for bin in bin6 bin7; do
    read -r on off < <(echo "$report" | awk -v b="$bin" '$1 == "beats" && $2 == b {
        sub("on=", "", $3); sub("off=", "", $4); print $3, $4 }')
    [ -n "${on:-}" ] || fail "no beat report for $bin"
    awk -v on="$on" -v off="$off" 'BEGIN { exit !(on >= 0.1 && on >= 4 * off) }' \
        || fail "$bin does not pulse: on-beat mean $on, off-beat mean $off"
    read -r p10 max < <(echo "$report" | awk -v b="$bin" '$1 == "beat_peaks" && $2 == b {
        sub("p10=", "", $4); sub("max=", "", $7); print $4, $7 }')
    awk -v p10="$p10" -v max="$max" 'BEGIN { exit !(p10 >= 0.1 && max < 0.58) }' \
        || fail "$bin beat peaks out of range: 10th percentile $p10, max $max"
done
second_half_above=$(echo "$report" | awk '/^range 29.300/ { inside = 1; next } /^range/ { inside = 0 }
    inside && $1 == "bin7" { sub("above_0.58=", "", $7); sub("%", "", $7); print $7 }')
awk -v a="$second_half_above" 'BEGIN { exit !(a + 0 == 0) }' || fail "bin 7 above 0.58 in $second_half_above% of frames"
echo "ok: bins 6 and 7 pulse on the beat"
