#!/usr/bin/env bash
# Figures for the soundtrack: render time and memory, determinism, loudness and peaks, and the
# distribution of spectrum values 6 and 7. Prints Markdown for bench/RESULTS-soundtrack.md.
set -euo pipefail
usage() { echo "usage: measure.sh BUILD_DIR [MP3]   (run from anywhere; MP3 defaults to the soundtrack in data/)"; }
[ "${1:-}" = --help ] && { usage; exit 0; }
[ $# -ge 1 ] || { usage >&2; exit 2; }
source "$(dirname "$0")/../../tests/support/shell/repository.sh"
build=$(cd "$1" && pwd)
mp3=${2:-$vl_repository_root/data/$vl_soundtrack_file}
gen=$build/tools/soundtrack/soundtrack
measure=$build/tools/soundtrack/measure_bins
[ -x "$gen" ] && [ -x "$measure" ] || { echo "build soundtrack and measure_bins in $build first" >&2; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

/usr/bin/time -v "$gen" --out "$work/a.mp3" > /dev/null 2> "$work/time.txt"
"$gen" --out "$work/b.mp3" > /dev/null
wall=$(awk -F': ' '/Elapsed/ { print $2 }' "$work/time.txt")
user=$(awk -F': ' '/User time/ { print $2 }' "$work/time.txt")
rss=$(awk -F': ' '/Maximum resident/ { print $2 }' "$work/time.txt")
same=$(cmp -s "$work/a.mp3" "$work/b.mp3" && echo "identical" || echo "DIFFERENT")
committed=$(cmp -s "$work/a.mp3" "$mp3" && echo "identical to the committed file" || echo "differs from the committed file")

/usr/bin/time -v "$measure" "$mp3" > "$work/bins.txt" 2> "$work/mtime.txt"
mwall=$(awk -F': ' '/Elapsed/ { print $2 }' "$work/mtime.txt")

loud=$(ffmpeg -hide_banner -nostats -i "$mp3" -af ebur128=peak=true -f null - 2>&1 | tail -12)
lufs=$(echo "$loud" | awk '$1 == "I:" { print $2 }')
lra=$(echo "$loud" | awk '$1 == "LRA:" { print $2 }')
tpk=$(echo "$loud" | awk '$1 == "Peak:" { print $2 }')
maxvol=$(ffmpeg -hide_banner -nostats -i "$mp3" -af volumedetect -f null - 2>&1 | awk '/max_volume/ { print $5 }')
size=$(stat -c %s "$mp3")
samples=$(awk '/^decoded/ { print $2 }' "$work/bins.txt")

cat <<MD
## Render and measure ($(date -u +%Y-%m-%d), $(nproc) cores, load average $(cut -d' ' -f1 /proc/loadavg))

| figure | value |
|---|---|
| render + encode, wall clock | $wall |
| render + encode, user CPU | ${user} s |
| render + encode, peak memory | ${rss} kB |
| two renders | $same, $committed |
| measure_bins over the whole file, wall clock | $mwall |
| file size | $size bytes |
| decoded length (libmpg123, gapless) | $samples samples |
| integrated loudness (EBU R128) | $lufs LUFS |
| loudness range | $lra LU |
| true peak | $tpk dBFS |
| sample peak (volumedetect) | $maxvol dB |

## Spectrum values 6 and 7 (60 frames per second)

\`\`\`
$(cat "$work/bins.txt")
\`\`\`
MD
