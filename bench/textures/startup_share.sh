#!/usr/bin/env bash
# Measures how much of the show's start-up is the texture bank: the real binary, with and without pictures.
set -euo pipefail

usage() {
  cat <<'TEXT'
usage: startup_share.sh SHOW_BINARY FOLDER [ROUNDS]
  On the current X display, starts and stops SHOW_BINARY (start_and_stop.sh) ROUNDS times
  (default 20) in FOLDER, which holds the pictures under data/, and as many times in an
  empty folder where every picture fails to load at once. Prints the median wall time of
  each (process start to exit after the first frame) and their difference: the time the
  real program spends loading the pictures. Rounds in which the show never reached the
  display are counted and left out.
TEXT
}

if [ "${1:-}" = "--help" ]; then usage; exit 0; fi
if [ $# -lt 2 ] || [ $# -gt 3 ]; then usage >&2; exit 2; fi
binary=$(realpath "$1")
folder=$(realpath "$2")
rounds=${3:-20}
[ -d "$folder/data" ] || { echo "startup_share.sh: $folder holds no data/ folder" >&2; exit 2; }
[[ "$rounds" =~ ^[1-9][0-9]*$ ]] || { echo "startup_share.sh: ROUNDS must be a positive number" >&2; exit 2; }
here=$(cd "$(dirname "$0")" && pwd)

empty=$(mktemp -d /tmp/vl-no-pictures-XXXXXX)
trap 'rm -rf "$empty"' EXIT
mkdir "$empty/data"
# the soundtrack stays where it is, so only the pictures differ between the two runs
for music in "$folder"/Data "$folder"/data/*.mp3; do
  [ -e "$music" ] || continue
  if [ "$(basename "$music")" = Data ]; then ln -s "$music" "$empty/Data"; else ln -s "$music" "$empty/data/"; fi
done

now_ms() { date +%s%3N; }

# alternate the two, so that a change in the machine's load touches both alike
with_times=()
without_times=()
lost=0
for _ in $(seq "$rounds"); do
  for which in with without; do
    dir=$folder; [ "$which" = without ] && dir=$empty
    start=$(now_ms)
    if "$here/start_and_stop.sh" "$binary" "$dir" 10 >/dev/null 2>&1; then
      elapsed=$(( $(now_ms) - start ))
      if [ "$which" = with ]; then with_times+=("$elapsed"); else without_times+=("$elapsed"); fi
    else
      lost=$((lost + 1))
    fi
  done
done

median() { printf '%s\n' "$@" | sort -n | awk '{v[NR]=$1} END {if (NR == 0) print "nan"; else if (NR % 2) print v[(NR+1)/2]; else print (v[NR/2]+v[NR/2+1])/2}'; }
with_median=$(median "${with_times[@]}")
without_median=$(median "${without_times[@]}")
echo "start to exit with pictures:    median ${with_median} ms over ${#with_times[@]} runs"
echo "start to exit without pictures: median ${without_median} ms over ${#without_times[@]} runs"
awk -v a="$with_median" -v b="$without_median" \
  'BEGIN {printf "pictures: %.0f ms, %.0f %% of the start-to-exit time\n", a - b, 100 * (a - b) / a}'
echo "rounds lost (show never reached the display): $lost"
