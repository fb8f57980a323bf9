#!/usr/bin/env bash
# A program that ends with the "no sound" device open and a stream playing (as the measuring
# tools do) ends at once with its own status: the silent output's thread must not hold it.
set -euo pipefail
probe=$(realpath "$1")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
ffmpeg -nostdin -v error -f lavfi -i "aevalsrc=0.5*sin(2*PI*440*t):s=44100:d=2" -c:a libmp3lame "$work/tone.mp3"
status=0
timeout 20 "$probe" "$work/tone.mp3" || status=$?
[ "$status" -ne 124 ] || { echo "FAIL: the program was still running 20 s after main returned" >&2; exit 1; }
[ "$status" -eq 0 ] || { echo "FAIL: exit status $status, not 0 (the stream never moved, or the exit failed)" >&2; exit 1; }
echo "ok: ended at once with status 0"
