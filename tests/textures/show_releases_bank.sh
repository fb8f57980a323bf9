#!/usr/bin/env bash
# The real program, stopped early with Escape, loads the bank once and deletes all 28 textures at the end.
set -euo pipefail

if [ "${1:-}" = "--help" ] || [ $# -ne 4 ]; then
  echo "usage: show_releases_bank.sh SHOW_BINARY BANK_PROBE_LIBRARY WRITE_PICTURE_SET SOURCE_DIR"
  echo "  Runs the show on the current X display with the probe preloaded, in a folder of test"
  echo "  pictures, holds Escape after its first frame, and checks what the probe saw."
  [ "${1:-}" = "--help" ] && exit 0 || exit 2
fi
show_binary=$1
probe=$2
write_picture_set=$3
source_dir=$4
[ -n "${DISPLAY:-}" ] || { echo "FAIL: no X display (run under xvfb-run)"; exit 1; }

folder=$(mktemp -d /tmp/vl-textures-show-XXXXXX)
show=
cleanup() {
  # the whole group: an error box the show opened runs in a child of its own
  if [ -n "$show" ]; then kill -- "-$show" 2>/dev/null || true; fi
  xdotool keyup Escape 2>/dev/null || true
  rm -rf "$folder"
}
trap cleanup EXIT

"$write_picture_set" "$folder"
# the soundtrack, if the source tree has it, from where the show looks for it
if [ -d "$source_dir/Data" ]; then ln -s "$source_dir/Data" "$folder/Data"; fi
for music in "$source_dir"/data/*.mp3; do
  if [ -e "$music" ]; then ln -s "$music" "$folder/data/"; fi
done

cd "$folder"
# forced onto X: the test must see the window to stop the show through it; in a process group of
# its own, so that nothing it starts outlives the test
SDL_VIDEODRIVER=x11 SDL_AUDIODRIVER=dummy LD_PRELOAD="$probe" VL_BANK_PROBE_OUT="$folder/probe.txt" \
  setsid "$show_binary" 2>"$folder/stderr.txt" &
show=$!

# the caption appears at the end of the first frame
deadline=$((SECONDS + 120))
until xdotool search --pid "$show" --name "Vellamor" >/dev/null 2>&1; do
  if ! kill -0 "$show" 2>/dev/null; then
    echo "FAIL: the show exited before its first frame"; cat "$folder/stderr.txt"; exit 1
  fi
  if [ "$SECONDS" -ge "$deadline" ]; then
    echo "FAIL: no first frame within 120 s"; cat "$folder/stderr.txt"; exit 1
  fi
  sleep 0.05
done

xdotool keydown Escape
deadline=$((SECONDS + 60))
while kill -0 "$show" 2>/dev/null && [ "$SECONDS" -lt "$deadline" ]; do sleep 0.05; done
xdotool keyup Escape
if kill -0 "$show" 2>/dev/null; then echo "FAIL: the show did not stop on Escape"; exit 1; fi
status=0
wait "$show" || status=$?
show=

failed=0
expect() {
  local what=$1 expected=$2 actual=$3
  if [ "$actual" != "$expected" ]; then
    echo "FAIL: $what: expected $expected, got ${actual:-nothing}"
    failed=1
  fi
}
report() { awk -v key="$1" '$1 == key {print $2}' "$folder/probe.txt" 2>/dev/null; }
expect "exit status" 0 "$status"
expect "pictures uploaded (upload calls)" 28 "$(report loads)"
expect "distinct textures made" 28 "$(report distinct_textures)"
expect "textures deleted while still textures" 28 "$(report released)"
expect "textures deleted twice" 0 "$(report released_twice)"
if [ "$failed" -ne 0 ]; then cat "$folder/stderr.txt"; exit 1; fi
echo "PASS: 28 pictures loaded once, all 28 textures deleted after Escape"
