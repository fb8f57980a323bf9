#!/usr/bin/env bash
# A program that ends with the "no sound" device open and a stream playing (as the measuring
# tools do) ends at once with its own status: the silent output's thread must not hold it.
set -euo pipefail
probe=$(realpath "$1")
source "$(dirname "$0")/../support/shell/checks.sh"
make_work_dir work
ffmpeg -nostdin -v error -f lavfi -i "aevalsrc=0.5*sin(2*PI*440*t):s=44100:d=2" -c:a libmp3lame "$work/tone.mp3"
status=0
timeout 20 "$probe" "$work/tone.mp3" || status=$?
[ "$status" -ne 124 ] || fail "the program was still running 20 s after main returned"
[ "$status" -eq 0 ] || fail "exit status $status, not 0 (the stream never moved, or the exit failed)"
echo "ok: ended at once with status 0"
