#!/usr/bin/env bash
# The committed soundtrack as the show hears it: low mids filled, bar accents on values 6 and 7
# with quiet between beats, the drop's onset among the strongest, the cues on time, the last
# chord gone by the show's end, a backbeat, width, a build out of the break,
# hits on the off-grid cues, and a loudness fit for playback (soundtrack_figures and ebur128).
set -euo pipefail
figures=$1
mp3=$2
source "$(dirname "$0")/../support/shell/checks.sh"
# every figure is checked, and the test fails at the end listing each one out of range
check() {
    if [ -z "$1" ]; then check_failed "$3: not reported"; return; fi
    awk -v x="$1" "BEGIN { exit !($2) }" || check_failed "$3: $1"
}

report=$("$figures" "$mp3") || fail "soundtrack_figures failed"
echo "$report"
field() { echo "$report" | awk "$1"; }

check "$(field '$1 == "band120-250" && $2 ~ /^0.000/ { print $4 }')" 'x >= -20' "120-250 Hz in the intro, dB under the loudest octave"
check "$(field '$1 == "band120-250" && $2 ~ /^30.000/ { print $4 }')" 'x >= -10' "120-250 Hz in the groove, dB under the loudest octave"
for bin in bin6 bin7; do
    line=$(echo "$report" | awk -v b="$bin" '$1 == b')
    value() { echo "$line" | tr ' ' '\n' | awk -F= -v k="$1" '$1 == k { print $2 }'; }
    check "$(value ratio)" 'x >= 1.3' "$bin downbeat peaks over the other beats'"
    check "$(value median)" 'x >= 0.1 && x <= 0.45' "$bin median beat peak"
    check "$(value max)" 'x <= 0.45' "$bin highest beat peak"
    check "$(value between_median)" 'x < 0.04' "$bin median between beats"
done
check "$(field '$1 == "drop" { sub("%\\),", "", $11); print $11 }')" 'x <= 10' "the drop's onset rank among the beats, top percent"
check "$(field '$1 == "onsets" { print $6 }')" 'x <= 5' "worst onset offset at a slide change, ms"
for cue in 6.350 10.900; do
    check "$(echo "$report" | awk -v c=$cue '$1 == "onset" && $3 == c { print $6 }')" 'x >= -5 && x <= 5' "onset offset at $cue s, ms"
done
check "$(field '$1 == "level" && $2 == "82.9-83.0" { print $4 }')" 'x < -40' "RMS level just before the show's end, dBFS"

# the arrangement after the drop: a backbeat, width, a build, hits on the cues. The phrases'
# correlation is reported but not bounded: two of its 40 bands hold no value of the 2048-sample
# transform and read the floor in every bar, which holds it near 0.98 whatever the music does
# (bench/RESULTS-soundtrack.md); soundtrack.arrangement_score checks that the phrases change.
check "$(field '$1 == "backbeat:" { print $(NF-1) }')" 'x >= 3' "backbeat over beats 1 and 3, dB"
check "$(field '$1 == "stereo" && $2 ~ /^29.300/ { sub(",", "", $5); print $5 }')" 'x >= 0.3 && x <= 0.7' "left/right correlation in the groove"
for span in 29.300 0.000; do
    check "$(field '$1 == "stereo" && $2 ~ /^'$span'/ { print $8 }')" 'x >= -3' "mono sum against the pair from $span s, dB"
done
check "$(field '$1 == "build" { print $(NF-1) }')" 'x >= 3' "the break's last 2 s over its first 2 s, dB"
read -r hits cues < <(field '$1 == "cue_hits:" { print $2, $4 }')
check "${hits:-}" "x == ${cues:-0} && x > 0" "off-grid cues hit at least as hard as the median beat (of ${cues:-?})"

loud=$(ffmpeg -hide_banner -nostats -i "$mp3" -af ebur128=peak=true -f null - 2>&1 | tail -12)
ebu() { echo "$loud" | awk -v k="$1" '$1 == k { print $2 }'; }
check "$(ebu I:)" 'x >= -14 && x <= -10' "integrated loudness, LUFS"
check "$(ebu LRA:)" 'x >= 6' "loudness range, LU"
check "$(ebu Peak:)" 'x <= -1' "true peak, dBTP"
checks_done "ok: the soundtrack's figures are in range"
