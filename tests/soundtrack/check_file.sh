#!/usr/bin/env bash
# The committed soundtrack: an MP3 at 44.1 kHz stereo, at least 83 s, clean to decode, and gapless
# (ffmpeg and libmpg123 both honour its info tag and agree on the exact sample count).
set -euo pipefail
source "$(dirname "$0")/../support/shell/checks.sh"
measure=$1
mp3=$2

[ -f "$mp3" ] || fail "no soundtrack at $mp3"
IFS=, read -r codec rate channels < <(ffprobe -v error -select_streams a:0 \
    -show_entries stream=codec_name,sample_rate,channels -of csv=p=0 "$mp3")
[ "$codec" = mp3 ] || fail "codec is '$codec', not mp3"
[ "$rate" = 44100 ] || fail "sample rate is $rate, not 44100"
[ "$channels" = 2 ] || fail "$channels channels, not 2"

errors=$(ffmpeg -v error -i "$mp3" -f null - 2>&1)
[ -z "$errors" ] || fail "ffmpeg reports decoding errors: $errors"

ff_samples=$(( $(ffmpeg -v error -i "$mp3" -f s16le -acodec pcm_s16le - | wc -c) / 4 ))
our_samples=$("$measure" --at 0 "$mp3" | awk '/^decoded/ { print $2 }')
[ "$ff_samples" = "$our_samples" ] || fail "ffmpeg decodes $ff_samples samples, libmpg123 $our_samples"
[ "$ff_samples" -ge $(( 83 * 44100 )) ] || fail "only $ff_samples samples, the show needs 83 s"
echo "ok: mp3, 44100 Hz, 2 channels, $ff_samples samples ($(awk "BEGIN { print $ff_samples / 44100 }") s)"
