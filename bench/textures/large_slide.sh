#!/usr/bin/env bash
# Start-to-exit time and peak memory of the show with one slide a 50-megapixel camera photo.
set -euo pipefail

usage() {
  cat <<'TEXT'
usage: large_slide.sh SHOW_BINARY [ROUNDS]
  Copies the repository's data/ into a scratch folder, replaces data/Bilde05.jpg with an
  8192x6144 baseline JPEG of a noisy test picture (made with ffmpeg, about what a 50-megapixel
  camera writes), and runs start_and_stop.sh on it ROUNDS times (default 5), then as often on
  the shipped pictures alone. Prints each round's wall time and maximum resident set size
  (/usr/bin/time), and the medians. Run it under an X server (xvfb-run).
TEXT
}
if [ "${1:-}" = "--help" ]; then usage; exit 0; fi
if [ $# -lt 1 ] || [ $# -gt 2 ]; then usage >&2; exit 2; fi
binary=$(realpath "$1")
rounds=${2:-5}
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
[ -x "$binary" ] || { echo "large_slide.sh: $1 is not an executable" >&2; exit 2; }
command -v ffmpeg >/dev/null || { echo "large_slide.sh: ffmpeg is needed to make the photo" >&2; exit 1; }

work=$(mktemp -d "${TMPDIR:-/tmp}/vl-large-slide-XXXXXX")
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/large" "$work/shipped"
cp -r "$root/data" "$work/large/"
cp -r "$root/data" "$work/shipped/"
ffmpeg -loglevel error -f lavfi -i "testsrc2=size=8192x6144:rate=1" -vf "noise=alls=12:allf=u" \
  -frames:v 1 -q:v 2 -y "$work/large/data/Bilde05.jpg"
echo "photo: $(stat -c %s "$work/large/data/Bilde05.jpg") bytes, 8192x6144"

run_set() {
  local name=$1 times=() memories=() i line
  for ((i = 1; i <= rounds; ++i)); do
    line=$( { /usr/bin/time -f "%e %M" "$here/start_and_stop.sh" "$binary" "$work/$name" >/dev/null; } 2>&1 | tail -n 1)
    echo "$name round $i: ${line% *} s, ${line#* } KB"
    times+=("${line% *}")
    memories+=("${line#* }")
  done
  printf '%s median: %s s, %s KB\n' "$name" \
    "$(printf '%s\n' "${times[@]}" | sort -n | awk '{a[NR]=$1} END {print a[int((NR + 1) / 2)]}')" \
    "$(printf '%s\n' "${memories[@]}" | sort -n | awk '{a[NR]=$1} END {print a[int((NR + 1) / 2)]}')"
}
run_set large
run_set shipped
