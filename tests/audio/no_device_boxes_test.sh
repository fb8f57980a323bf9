#!/usr/bin/env bash
# The soundtrack's failures reach the user as error boxes, one after the other in order, and the
# show starts its frame loop all the same: four boxes without an audio device, three without
# the soundtrack file.
# Usage: no_device_boxes_test.sh no_device|no_soundtrack
set -euo pipefail
source "$(dirname "$0")/../support/shell/show.sh"

case "${1:-}" in
    no_device)
        xshow_start SDL_AUDIODRIVER=nonexistent
        xshow_expect_boxes "Bass init failed! Remembered the bass.dll file?" \
            "Bass file loading failed!" "Music failed to play!" "Failed to start song at the start"
        ;;
    no_soundtrack)
        # the show's pictures without its soundtrack, in a folder of its own
        mkdir -p "$XSHOW_TMP/show/data"
        for f in "$vl_repository_root"/data/*; do
            case "$f" in *.mp3) ;; *) ln -s "$f" "$XSHOW_TMP/show/data/" ;; esac
        done
        VELLAMOR_ROOT="$XSHOW_TMP/show"
        xshow_start SDL_AUDIODRIVER=dummy
        xshow_expect_boxes "Bass file loading failed!" "Music failed to play!" \
            "Failed to start song at the start"
        ;;
    *)
        echo "usage: no_device_boxes_test.sh no_device|no_soundtrack" >&2
        exit 2
        ;;
esac

# the frame loop runs: it has written its caption with the show time
xshow_wait_window
[[ $(xshow_caption) =~ Time:\ \ [0-9]+\.[0-9]{6}$ ]] || fail "no caption from the frame loop"
xshow_stop TERM
[ "$XSHOW_STATUS" -eq 0 ] || fail "the show ended with status $XSHOW_STATUS"
echo "PASS: $1: the boxes in order, then the frame loop"
