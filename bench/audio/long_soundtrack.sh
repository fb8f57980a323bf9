#!/usr/bin/env bash
# Start-up time and peak memory with long soundtracks: the audio layer alone (start_music and
# stop_music, timed by hyperfine, memory by /usr/bin/time -v while 2 s play) and the real show
# (from launch to its first frame, and its peak memory 3 s into the show). Makes the 6-minute,
# 30-minute and 2-hour MP3s from the shipped soundtrack, looped, into FOLDER if they are not there.
# Run it inside xvfb-run from the repository root after a build; LENGTHs pick some of 6min,
# 30min and 2h (all three by default).
# Usage: long_soundtrack.sh [--build DIR] [--runs N] FOLDER [LENGTH ...]
set -euo pipefail
usage() { sed -n '2,8p' "$0" | sed 's/^# //'; }
source "$(dirname "$0")/../../tests/support/shell/repository.sh"
root=$vl_repository_root
build="$root/build"
runs=5
folder=""
lengths=()
while [ $# -gt 0 ]; do
    case "$1" in
        -h | --help) usage; exit 0 ;;
        --build) build=$(realpath "$2"); shift 2 ;;
        --runs) runs=$2; shift 2 ;;
        -*) echo "long_soundtrack.sh: unknown option $1" >&2; exit 2 ;;
        *) if [ -z "$folder" ]; then folder=$1; else lengths+=("$1"); fi; shift ;;
    esac
done
[ -n "$folder" ] || { usage >&2; exit 2; }
[ ${#lengths[@]} -gt 0 ] || lengths=(6min 30min 2h)
probe="$build/tests/audio/start_music_probe"
export VELLAMOR_BIN="$build/vellamor"
[ -x "$probe" ] && [ -x "$VELLAMOR_BIN" ] || { echo "long_soundtrack.sh: build vellamor and start_music_probe in $build first" >&2; exit 1; }
[ -n "${DISPLAY:-}" ] || { echo "long_soundtrack.sh: no DISPLAY; run it inside xvfb-run" >&2; exit 1; }
# the decoding before the first frame once took minutes on a loaded machine
export XSHOW_DEADLINE=${XSHOW_DEADLINE:-900}
source "$root/tests/support/shell/show.sh"
mkdir -p "$folder"
folder=$(realpath "$folder")

# the shipped soundtrack looped to each length, at its own bitrate
for length in 6min:360 30min:1800 2h:7200; do
    name=${length%%:*}
    [ -s "$folder/$name.mp3" ] && continue
    echo "making $folder/$name.mp3"
    ffmpeg -nostdin -v error -y -stream_loop -1 -i "$root/data/$vl_soundtrack_file" -t "${length##*:}" \
        -c:a libmp3lame -b:a 192k "$folder/$name.mp3"
done

# A show folder whose soundtrack is $1: the shipped pictures beside it.
show_folder() {
    rm -rf "$folder/show"
    mkdir -p "$folder/show/data"
    local f
    for f in "$root"/data/*; do
        case "$f" in *.mp3) ;; *) ln -s "$f" "$folder/show/data/" ;; esac
    done
    ln -s "$1" "$folder/show/data/$vl_soundtrack_file"
    VELLAMOR_ROOT="$folder/show"
}

kb() { awk -v f="$1:" '$1 == f { print $2 }' "/proc/$XSHOW_PID/status"; }

caption_time() {
    local caption
    caption=$(xshow_caption 2>/dev/null || true)
    [[ $caption =~ Time:\ \ ([0-9]+\.[0-9]{6})$ ]] && echo "${BASH_REMATCH[1]}"
}
three_seconds_in() { awk -v t="$(caption_time)" 'BEGIN { exit !(t + 0 >= 3) }'; }

echo "load average (1, 5, 15 min): $(cut -d' ' -f1-3 /proc/loadavg)"
printf '| file | start_music + stop_music: wall (mean ± sd) | its CPU (user + system) | audio peak RSS | show: launch to first frame | show peak RSS at 3 s |\n'
printf '|---|---|---|---|---|---|\n'
for name in "${lengths[@]}"; do
    mp3="$folder/$name.mp3"
    export SDL_AUDIODRIVER=dummy
    json=$(mktemp)
    hyperfine -N --warmup 1 --runs "$runs" --export-json "$json" "$probe $mp3" >/dev/null
    read -r mean cpu < <(python3 -c "import json,sys; r=json.load(open(sys.argv[1]))['results'][0]
print('%.3f s ± %.3f' % (r['mean'], r['stddev']), end='|'); print('%.3f s' % (r['user'] + r['system']))" "$json" | tr ' |' '_ ')
    rm -f "$json"
    audio_kb=$( { /usr/bin/time -v "$probe" "$mp3" 2 >/dev/null; } 2>&1 | awk -F': ' '/Maximum resident/ { print $2 }')

    show_folder "$mp3"
    started=$(date +%s.%N)
    xshow_start
    xshow_wait_window
    xshow_poll "the first frame" caption_time >/dev/null
    first=$(echo "$(date +%s.%N) - $started" | bc)
    xshow_poll "3 s of show time" three_seconds_in
    show_kb=$(kb VmHWM)
    xshow_stop TERM
    printf '| %s | %s | %s | %d MB | %.2f s | %d MB |\n' "$name" "${mean//_/ }" "${cpu//_/ }" $((audio_kb / 1024)) "$first" $((show_kb / 1024))
done
