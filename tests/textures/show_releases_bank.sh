#!/usr/bin/env bash
# The real program, stopped early with Escape, loads the bank once and deletes all its textures at the end.
set -euo pipefail

if [ "${1:-}" = "--help" ] || [ $# -ne 3 ]; then
  echo "usage: show_releases_bank.sh SHOW_BINARY BANK_PROBE_LIBRARY WRITE_PICTURE_SET"
  echo "  Runs the show on the current X display with the probe preloaded, in a folder of test"
  echo "  pictures, holds Escape after its first frame, and checks what the probe saw."
  [ "${1:-}" = "--help" ] && exit 0 || exit 2
fi
source "$(dirname "$0")/../support/shell/show.sh"
VELLAMOR_BIN=$1
probe=$2
write_picture_set=$3

make_work_dir folder
"$write_picture_set" "$folder"
# the picture set holds one file per picture of the bank
pictures=$(ls "$folder/data" | wc -l)
# the soundtrack, if the repository has it, from where the show looks for it
if [ -d "$vl_repository_root/Data" ]; then ln -s "$vl_repository_root/Data" "$folder/Data"; fi
for music in "$vl_repository_root"/data/*.mp3; do
  if [ -e "$music" ]; then ln -s "$music" "$folder/data/"; fi
done

# forced onto X by xshow_start: the test must see the window to stop the show through it
VELLAMOR_ROOT=$folder
XSHOW_DEADLINE=120
xshow_start LD_PRELOAD="$probe" VL_BANK_PROBE_OUT="$folder/probe.txt"
# the caption appears at the end of the first frame
xshow_wait_window

# XTEST keys go to the window under the pointer: put it on the fullscreen window
xdotool mousemove --window "$XSHOW_WINDOW" 512 384
xshow_key_down Escape
xshow_wait_exit
xshow_key_up Escape

report() { awk -v key="$1" '$1 == key {print $2}' "$folder/probe.txt" 2>/dev/null; }
expect() {
  local what=$1 expected=$2 actual=$3
  [ "$actual" = "$expected" ] || check_failed "$what: expected $expected, got ${actual:-nothing}"
}
expect "exit status" 0 "$XSHOW_STATUS"
expect "pictures uploaded (upload calls)" "$pictures" "$(report loads)"
expect "distinct textures made" "$pictures" "$(report distinct_textures)"
expect "textures deleted while still textures" "$pictures" "$(report released)"
expect "textures deleted twice" 0 "$(report released_twice)"
[ "$vl_failed_checks" -eq 0 ] || cat "$XSHOW_ERR" >&2
checks_done "PASS: $pictures pictures loaded once, all $pictures textures deleted after Escape"
