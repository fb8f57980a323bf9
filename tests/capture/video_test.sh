#!/usr/bin/env bash
# A short capture to MP4 with no display at all: ffprobe finds the frames, size and duration
# asked for, and the sound is the soundtrack's span, in step with the picture (compared with
# ffmpeg's own decode of that span of the MP3).
set -euo pipefail
: "${VELLAMOR_CAPTURE:?}" "${PCM_MATCH:?}"
source "$(dirname "$0")/../support/shell/checks.sh"
make_work_dir work

cd "$vl_repository_root"
env -u DISPLAY "$VELLAMOR_CAPTURE" --video "$work/span.mp4" --from 29 --to 31 --fps 30 2>"$work/log" ||
    fail "the capture failed: $(cat "$work/log")"
grep -q "wrote $work/span.mp4" "$work/log" || fail "no summary line: $(cat "$work/log")"
[ "$(ls -A "$work")" = "$(printf 'log\nspan.mp4')" ] || fail "files left beside the video: $(ls -A "$work")"

probe() { ffprobe -v error -select_streams "$1" -show_entries "$2" -of default=nw=1:nk=1 "$work/span.mp4"; }
frames=$(ffprobe -v error -count_frames -select_streams v:0 -show_entries stream=nb_read_frames \
    -of default=nw=1:nk=1 "$work/span.mp4")
[ "$frames" = 60 ] || fail "$frames frames decoded, 60 expected (2 s at 30 fps)"
[ "$(probe v:0 stream=width,height | paste -sd x)" = 1024x768 ] || fail "size $(probe v:0 stream=width,height)"
[ "$(probe v:0 stream=codec_name,pix_fmt | paste -sd ' ')" = "h264 yuv420p" ] || fail "not H.264 yuv420p"
[ "$(probe v:0 stream=avg_frame_rate)" = 30/1 ] || fail "frame rate $(probe v:0 stream=avg_frame_rate)"
[ "$(probe a:0 stream=codec_name)" = aac ] || fail "the sound is not AAC"
for stream in v:0 a:0; do
    duration=$(probe "$stream" stream=duration)
    awk -v d="$duration" 'BEGIN { exit !(d > 1.98 && d < 2.03) }' || fail "$stream lasts $duration s, not 2"
done
start=$(probe a:0 stream=start_time)
awk -v s="$start" 'BEGIN { exit !(s > -0.001 && s < 0.001) }' || fail "the sound starts at $start s"

# the sound against ffmpeg's own decode of the MP3 from 29 to 31 s, both mono 44.1 kHz
ffmpeg -v error -i "$work/span.mp4" -map 0:a -ac 1 -ar 44100 -f s16le "$work/video.raw"
ffmpeg -v error -ss 29 -t 2 -i "data/$vl_soundtrack_file" -ac 1 -ar 44100 -f s16le "$work/mp3.raw"
# searched over three frames each way; one frame at 30 fps is 1470 samples
read -r _ lag _ correlation < <("$PCM_MATCH" "$work/mp3.raw" "$work/video.raw" 4410)
awk -v c="$correlation" 'BEGIN { exit !(c > 0.95) }' || fail "the sound correlates $correlation with the MP3's span"
[ "${lag#-}" -le 1470 ] || fail "the sound is $lag samples off the picture, more than one frame"
echo "PASS: 60 frames 1024x768 over 2 s; sound correlates $correlation at lag $lag samples"
