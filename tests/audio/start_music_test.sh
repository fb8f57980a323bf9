#!/usr/bin/env bash
# start_music as the show calls it: the error messages, in order, for each failure, and a clean start.
set -euo pipefail
source "$(dirname "$0")/../support/shell/checks.sh"
probe=$(realpath "$1")
make_work_dir work
cd "$work"

# the soundtrack as the show names it lives in the lower-case data folder
mkdir data
ffmpeg -nostdin -v error -f lavfi -i "aevalsrc=0.5*sin(2*PI*990.52734375*t)|0.5*sin(2*PI*990.52734375*t):s=44100:d=2" \
    -c:a libmp3lame -b:a 256k data/song.mp3

# no display: the error box only writes its line to stderr
run() {
    env -u DISPLAY -u WAYLAND_DISPLAY SDL_AUDIODRIVER="$1" "$probe" "${@:2}" 2>stderr.txt >stdout.txt \
        || fail "probe exited with $? for $*"
    grep '^ERROR: ' stderr.txt || true
}

expect() {
    local what=$1 got=$2 want=$3
    if [ "$got" != "$want" ]; then
        printf -- '--- got:\n%s\n--- wanted:\n%s\n' "$got" "$want" >&2
        fail "$what"
    fi
    echo "ok: $what"
}

init_msg="ERROR: Bass init failed! Remembered the bass.dll file?"
load_msg="ERROR: Bass file loading failed!"
play_msg="ERROR: Music failed to play!"
seek_msg="ERROR: Failed to start song at the start"

expect "no audio device: all four messages, in order" \
    "$(run no-such-driver Data/song.mp3)" \
    "$(printf '%s\n%s\n%s\n%s' "$init_msg" "$load_msg" "$play_msg" "$seek_msg")"

expect "missing soundtrack: the last three, in order" \
    "$(run dummy Data/none.mp3)" \
    "$(printf '%s\n%s\n%s' "$load_msg" "$play_msg" "$seek_msg")"

expect "soundtrack found through Data/: no message" "$(run dummy Data/song.mp3)" ""

# playing: the show time passes 0.5 s and the spectrum peaks in the sine's bin (23 at 44.1 kHz)
run dummy Data/song.mp3 0.5 >/dev/null
read -r _ time _ peak value < stdout.txt
echo "played: time $time, peak bin $peak reads $value"
awk -v t="$time" 'BEGIN { exit !(t >= 0.5 && t < 2.0) }' || fail "show time $time"
[ "$peak" = 23 ] || fail "peak bin $peak, wanted 23"
awk -v v="$value" 'BEGIN { exit !(v > 0.45 && v < 0.55) }' || fail "peak value $value"
echo "ok: the show's clock and spectrum follow the playing soundtrack"
