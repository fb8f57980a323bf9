#!/usr/bin/env bash
# The soundtrack as the show hears it: band levels, spectrum values 6 and 7 on and between the
# beats, onsets at the cues, the drop, the level at the show's end (soundtrack_figures, the audio
# layer's own decoding and spectrum), the arrangement after the drop (phrases, backbeat, width, the
# break's build, hits on the off-grid cues) and loudness, loudness range and true peak (ffmpeg's ebur128).
set -euo pipefail
usage() { echo "usage: figures.sh BUILD_DIR [MP3]   (MP3 defaults to the soundtrack in data/)"; }
[ "${1:-}" = --help ] && { usage; exit 0; }
[ $# -ge 1 ] || { usage >&2; exit 2; }
source "$(dirname "$0")/../../tests/support/shell/repository.sh"
figures=$(cd "$1" && pwd)/tools/soundtrack/soundtrack_figures
mp3=${2:-$vl_repository_root/data/$vl_soundtrack_file}
[ -x "$figures" ] || { echo "build soundtrack_figures in $1 first" >&2; exit 1; }
command -v ffmpeg > /dev/null || { echo "figures.sh needs ffmpeg" >&2; exit 1; }

report=$("$figures" "$mp3")
loud=$(ffmpeg -hide_banner -nostats -i "$mp3" -af ebur128=peak=true -f null - 2>&1 | tail -12)
field() { echo "$loud" | awk -v k="$1" '$1 == k { print $2 }'; }
pick() { echo "$report" | awk "$1"; }

cat <<MD
| figure | value |
|---|---|
| integrated loudness | $(field I:) LUFS |
| loudness range (short-term) | $(field LRA:) LU |
| true peak | $(field Peak:) dBTP |
| 120–250 Hz under the loudest octave band, intro 0–11.8 s | $(pick '$1 == "band120-250" && $2 ~ /^0.000/ { print -$4 }') dB |
| 120–250 Hz under the loudest octave band, groove 30–60 s | $(pick '$1 == "band120-250" && $2 ~ /^30.000/ { print -$4 }') dB |
| value 6: downbeat peak / other beats' peak | $(pick '$1 == "bin6" { sub("ratio=", "", $4); print $4 }') |
| value 7: downbeat peak / other beats' peak | $(pick '$1 == "bin7" { sub("ratio=", "", $4); print $4 }') |
| value 6: beat peaks min / 10th percentile / median / max | $(pick '$1 == "bin6" { sub("peak_min=", "", $5); sub("p10=", "", $6); sub("median=", "", $7); sub("max=", "", $8); print $5 " / " $6 " / " $7 " / " $8 }') |
| value 7: beat peaks min / 10th percentile / median / max | $(pick '$1 == "bin7" { sub("peak_min=", "", $5); sub("p10=", "", $6); sub("median=", "", $7); sub("max=", "", $8); print $5 " / " $6 " / " $7 " / " $8 }') |
| value 6 / 7: median between beats | $(pick '$1 ~ /^bin[67]$/ { sub("between_median=", "", $10); printf "%s ", $10 }' | sed 's/ $//; s/ / \/ /') |
| drop at 29.3 s: onset rank among the beats | $(pick '$1 == "drop" { sub(",$", "", $11); print $6 " of " $8 " " $10 " " $11 }') |
| onset at 6.35 s; at 10.9 s (offset, strength against the median beat) | $(pick '$1 == "onset" && ($3 == "6.350" || $3 == "10.900") { printf "%s ms, %s×; ", $6, $8 }' | sed 's/; $//') |
| slide changes: worst onset offset | $(pick '$1 == "onsets" { print $6 }') ms |
| RMS level 82.9–83.0 s | $(pick '$1 == "level" && $2 == "82.9-83.0" { print $4 }') dBFS |
| phrases: median correlation of bars four apart (every band filled) | $(pick '$1 == "phrases:" { sub(",", "", $4); print $4 " (" $9 ")" }') |
| backbeat: 1.5–6 kHz after beats 2 and 4 against 1 and 3 | $(pick '$1 == "backbeat:" { print $(NF-1) }') dB |
| left/right correlation, 29.3–61.3 s | $(pick '$1 == "stereo" && $2 ~ /^29.300/ { sub(",", "", $5); print $5 }') |
| mono sum against the stereo pair, 29.3–61.3 s; whole piece | $(pick '$1 == "stereo" { printf "%s dB; ", $8 }' | sed 's/; $//') |
| break: last 2 s against its first 2 s (mono RMS) | $(pick '$1 == "build" { print $(NF-1) }') dB |
| off-grid cues hit at least as hard as the median beat | $(pick '$1 == "cue_hits:" { print $2 " of " $4 }') ($(pick '$1 == "cue_hit" { printf "%s ", $4 }' | sed 's/ $//; s/ / \/ /g')×) |

\`\`\`
$report
\`\`\`
MD
