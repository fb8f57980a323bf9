#!/usr/bin/env bash
# Starts the show in a folder, waits for its first frame (the caption appears), holds Escape until it exits.
set -euo pipefail

usage() {
  cat <<'TEXT'
usage: start_and_stop.sh SHOW_BINARY FOLDER [WAIT_SECONDS]
  Runs SHOW_BINARY with FOLDER (the one holding data/) as working directory on the current
  X display, waits until the window caption shows the show has drawn its first frame, then
  holds Escape until the show exits. For timing start-up and shutdown, e.g. with hyperfine.
  Fails if the show draws no first frame within WAIT_SECONDS (default 60), or does not stop
  within 30 s of Escape.
TEXT
}

if [ "${1:-}" = "--help" ]; then usage; exit 0; fi
if [ $# -lt 2 ] || [ $# -gt 3 ]; then usage >&2; exit 2; fi
binary=$(realpath "$1")
folder=$2
wait_seconds=${3:-60}
[ -x "$binary" ] || { echo "start_and_stop.sh: $1 is not an executable" >&2; exit 2; }
[ -d "$folder" ] || { echo "start_and_stop.sh: $folder is not a folder" >&2; exit 2; }
[[ "$wait_seconds" =~ ^[0-9]+$ ]] || { echo "start_and_stop.sh: WAIT_SECONDS must be a whole number" >&2; exit 2; }
[ -n "${DISPLAY:-}" ] || { echo "start_and_stop.sh: no X display (run under xvfb-run)" >&2; exit 2; }

# SDL would otherwise fall back to an off-screen driver when it cannot reach X, and the caption
# we wait for would never appear
export SDL_VIDEODRIVER=x11
# and silent audio: without a sound device the soundtrack's error boxes would hold the start
export SDL_AUDIODRIVER=dummy

cd "$folder"
# in a process group of its own, so that an error box it opens can be closed with it
setsid "$binary" &
show=$!
# never leave the show running, whatever happens below
trap 'kill -- "-$show" 2>/dev/null || true; xdotool keyup Escape 2>/dev/null || true' EXIT

# the caption is written at the end of the first pass of the frame loop
deadline=$((SECONDS + wait_seconds))
until xdotool search --pid "$show" --name "Vellamor" >/dev/null 2>&1; do
  kill -0 "$show" 2>/dev/null || { echo "start_and_stop.sh: the show exited early" >&2; exit 1; }
  if [ "$SECONDS" -ge "$deadline" ]; then
    echo "start_and_stop.sh: no first frame within $wait_seconds s" >&2
    exit 1
  fi
  sleep 0.01
done

# Escape counts when it is held at the end of a pass
xdotool keydown Escape
deadline=$((SECONDS + 30))
while kill -0 "$show" 2>/dev/null && [ "$SECONDS" -lt "$deadline" ]; do
  sleep 0.01
done
xdotool keyup Escape
if kill -0 "$show" 2>/dev/null; then
  echo "start_and_stop.sh: the show did not stop on Escape" >&2
  exit 1
fi
wait "$show"
