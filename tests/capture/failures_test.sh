#!/usr/bin/env bash
# The capture's failures: one clear message, a non-zero exit, and nothing half-written left
# behind. Usage: failures_test.sh CASE (bad_options, existing_output, missing_folder, no_ffmpeg,
# ffmpeg_fails, interrupted, too_big).
set -euo pipefail
: "${VELLAMOR_CAPTURE:?}"
source "$(dirname "$0")/../support/shell/checks.sh"
make_work_dir work
out="$work/out"
mkdir "$out"
cd "$vl_repository_root"

# capture EXPECTED_STATUS ARGS...: runs it headless, checks the status and a single message line
capture() {
    local expected=$1 status=0
    shift
    env -u DISPLAY "$VELLAMOR_CAPTURE" "$@" >"$work/stdout" 2>"$work/stderr" || status=$?
    [ "$status" -eq "$expected" ] || fail "'$*' exited $status, not $expected: $(cat "$work/stderr")"
    [ "$expected" -eq 0 ] && return
    [ "$(wc -l <"$work/stderr")" -eq 1 ] || fail "'$*' did not say one line: $(cat "$work/stderr")"
    grep -q '^vellamor-capture: ' "$work/stderr" || fail "'$*' said: $(cat "$work/stderr")"
}
# the output folder holds exactly these names (hidden ones included)
holds() {
    local want=${1:-} got
    got=$(ls -A "$out" | paste -sd ' ')
    [ "$got" = "$want" ] || fail "the output folder holds '$got', not '$want'"
}
# capture_on_path PATH WHAT ARGS...: runs it headless with that PATH (to hide or fake ffmpeg) and
# checks it exits 1
capture_on_path() {
    local path=$1 what=$2 status=0
    shift 2
    env -u DISPLAY PATH="$path" "$VELLAMOR_CAPTURE" "$@" 2>"$work/stderr" || status=$?
    [ "$status" -eq 1 ] || fail "exit $status $what"
}
said() { grep -q -- "$1" "$work/stderr" || fail "the message '$(cat "$work/stderr")' does not mention $1"; }

case "${1:?case}" in
bad_options)
    for args in "--fps 0 --null" "--fps 2.5 --null" "--from 40 --to 40 --null" "--from 50 --to 40 --null" \
        "--to 90 --null" "--from -1 --null" "--size 1023x768 --null" "--size big --null" "--spectrum 1 --null" \
        "--bogus" "--video" "" "--times 3 --video $out/a.mp4" "--out $out/s.png --null" "--times 3,x"; do
        # shellcheck disable=SC2086
        capture 2 $args
    done
    holds ""
    ;;
existing_output)
    echo "precious" >"$out/a.mp4"
    capture 1 --video "$out/a.mp4" --from 30 --to 30.1 --fps 10
    said exists
    [ "$(cat "$out/a.mp4")" = precious ] || fail "the existing file was changed"
    mkdir "$out/frames" && touch "$out/frames/frame_000000.png"
    capture 1 --frames "$out/frames" --from 30 --to 30.1 --fps 10
    said frame_000000.png
    [ ! -s "$out/frames/frame_000000.png" ] || fail "the existing frame was changed"
    holds "a.mp4 frames"
    capture 0 --video "$out/a.mp4" --from 30 --to 30.1 --fps 10 --force
    [ "$(ffprobe -v error -show_entries format=format_name -of default=nw=1:nk=1 "$out/a.mp4")" = "mov,mp4,m4a,3gp,3g2,mj2" ] ||
        fail "--force did not replace it with a video"
    holds "a.mp4 frames"
    ;;
missing_folder)
    capture 1 --video "$out/none/a.mp4" --from 30 --to 30.1
    said "no folder"
    capture 1 --frames "$out/none" --from 30 --to 30.1
    said "no folder"
    capture 1 --times 30 --out "$out/none/s.png"
    said "no folder"
    holds ""
    ;;
no_ffmpeg)
    capture_on_path "$work/empty" "without ffmpeg" --video "$out/a.mp4" --from 30 --to 30.1
    said "ffmpeg, which is not on PATH"
    holds ""
    ;;
ffmpeg_fails)
    # an ffmpeg that complains and stops at once, as with a codec it lacks
    mkdir "$work/bin"
    printf '#!/bin/sh\necho "Unknown encoder libx264" >&2\nexit 1\n' >"$work/bin/ffmpeg"
    chmod +x "$work/bin/ffmpeg"
    capture_on_path "$work/bin:$PATH" "with a failing ffmpeg" --video "$out/a.mp4" --from 30 --to 31
    said "Unknown encoder libx264"
    holds ""
    ;;
interrupted)
    env -u DISPLAY "$VELLAMOR_CAPTURE" --video "$out/a.mp4" --from 30 --to 60 2>"$work/stderr" &
    pid=$!
    # interrupt it once ffmpeg runs and frames are going through
    for _ in $(seq 100); do
        encoder=$(pgrep -P "$pid" ffmpeg || true)
        [ -n "$encoder" ] && [ -n "$(find "$out" -name '.a.mp4.*' -size +1k)" ] && break
        sleep 0.2
    done
    [ -n "$encoder" ] || fail "ffmpeg never started"
    sleep 1
    kill -INT "$pid"
    status=0
    wait "$pid" || status=$?
    [ "$status" -eq 130 ] || fail "exit $status after Ctrl-C, not 130"
    said interrupted
    ! kill -0 "$encoder" 2>/dev/null || fail "ffmpeg ($encoder) still runs"
    holds ""
    ;;
too_big)
    # over the memory bound: refused before ffmpeg starts (this one notes that it ran) or a frame
    # is drawn, naming the largest frame that fits
    mkdir "$work/bin"
    printf '#!/bin/sh\ntouch "%s/ffmpeg-ran"\nexit 1\n' "$work" >"$work/bin/ffmpeg"
    chmod +x "$work/bin/ffmpeg"
    PATH="$work/bin:$PATH" capture 2 --video "$out/a.mp4" --size 8192x6144
    said "2 GB"
    said "largest 4:3 frame for a video"
    [ ! -e "$work/ffmpeg-ran" ] || fail "ffmpeg was started for a video it cannot hold"
    capture 2 --times 3,12 --size 8192x6144 --supersample 3 --out "$out/s.png"
    said "largest 4:3 frame for this sheet"
    # small in memory, but taller than this OpenGL draws
    capture 1 --times 3 --size 16x8192 --supersample 4 --out "$out/s.png"
    said "draws at most"
    holds ""
    ;;
*) fail "unknown case $1" ;;
esac
echo "PASS: $1"
