#!/usr/bin/env bash
# Under valgrind, start_music, playing, the clock, the spectrum and stop_music leave no leak of ours.
set -euo pipefail
source "$(dirname "$0")/../support/shell/checks.sh"
probe=$(realpath "$1")
command -v valgrind >/dev/null || fail "valgrind is not installed"
make_work_dir work
cd "$work"

mkdir data
ffmpeg -nostdin -v error -f lavfi -i "aevalsrc=0.5*sin(2*PI*440*t)|0.3*sin(2*PI*660*t):s=44100:d=2" \
    -c:a libmp3lame data/song.mp3

status=0
env -u DISPLAY -u WAYLAND_DISPLAY SDL_AUDIODRIVER=dummy \
    valgrind --leak-check=full --show-leak-kinds=all --errors-for-leak-kinds=definite,indirect \
    --error-exitcode=3 --num-callers=40 --log-file=valgrind.txt \
    "$probe" Data/song.mp3 0.5 || status=$?
grep -E "ERROR SUMMARY|definitely lost:|indirectly lost:|still reachable:" valgrind.txt
[ "$status" -eq 0 ] || { cat valgrind.txt >&2; fail "valgrind reported errors or leaks"; }

# what the system libraries keep until exit (SDL's D-Bus connection) is theirs; nothing the
# audio layer allocates itself may still be held
if grep -E "mpg123_new|kiss_fftr_alloc|BASS_StreamCreateFile|open_mp3" valgrind.txt; then
    cat valgrind.txt >&2
    fail "memory of the audio layer still held at exit"
fi
echo "ok: no leak of ours"
