#!/usr/bin/env bash
# The real show with a damaged or foreign soundtrack under its name, or with no data folder at
# all: a damaged frame does not stop the show's clock; a file that is not MPEG audio, an empty
# one or a missing one brings the three boxes of an unreadable soundtrack, nothing else on
# stderr (none of the decoder's own messages), then the frame loop; SIGTERM then ends it with 0.
# Usage: damaged_soundtrack_test.sh damaged_frame|wav|empty|no_data
set -euo pipefail
source "$(dirname "$0")/../support/shell/show.sh"
song="$vl_repository_root/data/$vl_soundtrack_file"

# A show folder of its own: the shipped pictures and, given a file, that as the soundtrack.
show_folder_with() {
    mkdir -p "$XSHOW_TMP/show/data"
    local f
    for f in "$vl_repository_root"/data/*; do
        case "$f" in *.mp3) ;; *) ln -s "$f" "$XSHOW_TMP/show/data/" ;; esac
    done
    [ -z "${1:-}" ] || cp "$1" "$XSHOW_TMP/show/data/$vl_soundtrack_file"
    VELLAMOR_ROOT="$XSHOW_TMP/show"
}

# The shipped soundtrack with one byte of the header of the frame at about 3 s changed: its
# sample-rate bits, which the decoder reads as a change of format.
damaged_copy() {
    python3 - "$song" "$1" <<'PY'
import sys
data = bytearray(open(sys.argv[1], 'rb').read())
kbps = [0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320]
rates = [44100, 48000, 32000]
at = 0
if data[:3] == b'ID3':
    at = 10 + (data[6] << 21 | data[7] << 14 | data[8] << 7 | data[9])
for _ in range(115):  # 115 frames of 1152 samples at 44.1 kHz: 3.0 s
    assert data[at] == 0xff, 'not a frame header at %d' % at
    rate = rates[(data[at + 2] >> 2) & 3]
    at += 144 * kbps[data[at + 2] >> 4] * 1000 // rate + ((data[at + 2] >> 1) & 1)
data[at + 2] ^= 0x04
open(sys.argv[2], 'wb').write(data)
PY
}

# The caption's show time, or nothing before the first caption.
caption_time() {
    local caption
    caption=$(xshow_caption 2>/dev/null || true)
    [[ $caption =~ Time:\ \ ([0-9]+\.[0-9]{6})$ ]] && echo "${BASH_REMATCH[1]}"
}

unreadable=("Bass file loading failed!" "Music failed to play!" "Failed to start song at the start")
case "${1:-}" in
    damaged_frame)
        damaged_copy "$XSHOW_TMP/damaged.mp3"
        show_folder_with "$XSHOW_TMP/damaged.mp3"
        xshow_start
        xshow_wait_window
        # the clock runs on past the damaged frame; it used to stand still there
        past_the_damage() {
            [ -z "$(xshow_box_ids)" ] || fail "an error box came up"
            awk -v t="$(caption_time)" 'BEGIN { exit !(t + 0 > 6.0) }'
        }
        xshow_poll "the show time to pass 6 s" past_the_damage
        [ ! -s "$XSHOW_ERR" ] || fail "the show wrote to stderr"
        ;;
    wav)
        ffmpeg -nostdin -v error -y -i "$song" -t 20 -f wav "$XSHOW_TMP/song.wav"
        show_folder_with "$XSHOW_TMP/song.wav"
        xshow_start
        xshow_expect_boxes "${unreadable[@]}"
        ;;
    empty)
        : >"$XSHOW_TMP/empty.mp3"
        show_folder_with "$XSHOW_TMP/empty.mp3"
        xshow_start
        xshow_expect_boxes "${unreadable[@]}"
        ;;
    no_data)
        mkdir -p "$XSHOW_TMP/bare"
        VELLAMOR_ROOT="$XSHOW_TMP/bare"
        xshow_start
        xshow_expect_boxes "${unreadable[@]}"
        ;;
    *)
        echo "usage: damaged_soundtrack_test.sh damaged_frame|wav|empty|no_data" >&2
        exit 2
        ;;
esac

if [ "$1" != damaged_frame ]; then
    # the boxes' lines and nothing else: no message of the decoder's own
    others=$(grep -v '^ERROR: ' "$XSHOW_ERR" || true)
    [ -z "$others" ] || fail "stderr holds more than the boxes' lines: $others"
    xshow_wait_window
    [ -n "$(caption_time)" ] || fail "no caption from the frame loop"
fi
xshow_stop TERM
[ "$XSHOW_STATUS" -eq 0 ] || fail "the show ended with status $XSHOW_STATUS"
echo "PASS: $1"
