#!/usr/bin/env bash
# The Blender driver's command line: help, refusals with a message and a non-zero status that write
# nothing, a picture per line of progress, and a failed scene reported, its status non-zero, the
# picture it was to replace left as it was; a grainy slide filtered until it passes the grain limit.
# Scene scripts of its own stand in for the show's.
# Usage: blender_driver_test.sh DRIVER SLIDE_NOISE
set -u
source "$(dirname "$0")/../support/shell/checks.sh"
driver=$1
slide_noise=$2
make_work_dir work
run() { python3 "$driver" "$@"; }

# Options: --help succeeds and describes them; mistakes are refused with a message, writing nothing.
run --help >"$work/help" 2>&1 || check_failed "--help exited non-zero"
for option in --only --size --samples --out --list --jobs; do
    grep -q -- "$option" "$work/help" || check_failed "--help does not describe $option"
done
mkdir "$work/out"
refuse() {
    local why=$1
    shift
    if run "$@" --out "$work/out" >/dev/null 2>"$work/err"; then
        check_failed "$why: accepted"
    elif [ ! -s "$work/err" ]; then
        check_failed "$why: refused without a message"
    fi
}
refuse "an unknown option" --frobnicate
refuse "a picture not in the list" --only Nothing.jpg
refuse "a card, which the card generator makes" --only Dimbrane.png
refuse "a preview of 8 pixels" --size 8
refuse "no samples" --samples 0
refuse "no Blender at a time" --jobs 0
refuse "a Blender that is not there" --blender "$work/no-blender" --only Bilde01.jpg
grep -q "scripts/install-deps.sh --blender" "$work/err" || check_failed "a missing Blender does not say how to install it"
refuse "a slide without a scene script" --scenes "$work/out" --only Bilde01.jpg
run --out "$work/missing" --only Bilde01.jpg >/dev/null 2>&1 && check_failed "a missing output folder was accepted"
[ -z "$(ls -A "$work/out")" ] || check_failed "a refused run wrote: $(ls -A "$work/out" | tr '\n' ' ')"

# --list: every slide and the sphere map of the list, each with its scene script, the cards not.
run --list >"$work/list" || check_failed "--list exited non-zero"
slides=$(grep -c '^VL_PICTURE("[^"]*", *k_slide' "$(dirname "$0")/../../assets/picture_list.h")
[ "$(grep -c '^Bilde' "$work/list")" -eq "$slides" ] || check_failed "--list names $(grep -c '^Bilde' "$work/list") slides, the list $slides"
grep -q '^VuvedUruvi.jpg 512 512 ' "$work/list" || check_failed "--list does not name the sphere map at its size"
grep -q '\.png' "$work/list" && check_failed "--list names a card"
while read -r name _ _ script; do
    [ -f "$(dirname "$0")/../../$script" ] || check_failed "$name: no scene script $script"
done <"$work/list"

# Stand-in scenes, two Blenders at a time: one renders, one fails while building.
mkdir "$work/scenes"
cat >"$work/scenes/bilde01.py" <<'PY'
"""A stand-in scene: a lit ball."""
import bpy
import air
import kit
SAMPLES = 2
def build():
    air.sky(30.0, 180.0)
    bpy.ops.mesh.primitive_uv_sphere_add(location=(0.0, 4.0, 1.0))
    kit.camera((0.0, 0.0, 1.0), (0.0, 4.0, 1.0), 50.0)
PY
printf '"""A scene that fails."""\nSAMPLES = 2\ndef build():\n    raise RuntimeError("no such scene")\n' >"$work/scenes/bilde02.py"
mkdir "$work/set"
echo "the picture before" >"$work/set/Bilde02.jpg"
TMPDIR=$work run --scenes "$work/scenes" --only Bilde01.jpg,Bilde02.jpg --size 32 --jobs 2 --out "$work/set" >"$work/progress" 2>&1
status=$?
[ "$status" -eq 1 ] || check_failed "a run with a failed scene exited $status, not 1"
grep -q '\[ 1/2\] Bilde01.jpg .*32x32, 2 samples' "$work/progress" || check_failed "no progress line for the scene that rendered"
grep -q '\[ 2/2\] Bilde02.jpg .*FAILED' "$work/progress" || check_failed "the failed scene is not reported"
grep -q 'RuntimeError: no such scene' "$work/progress" || check_failed "the failure does not say what went wrong"
[ "$(cat "$work/set/Bilde02.jpg")" = "the picture before" ] || check_failed "the failed render replaced Bilde02.jpg"
[ -s "$work/set/Bilde01.jpg" ] || check_failed "the scene that rendered wrote nothing"
[ -z "$(ls -A "$work/set" | grep -v -x -e Bilde01.jpg -e Bilde02.jpg)" ] ||
    check_failed "partial files left: $(ls -A "$work/set" | tr '\n' ' ')"

# A ball speckled finer than a pixel, at two samples and no filter of its own: grainy, so the driver
# filters it until the shown rows pass the limit the shipped slides are held to.
mkdir "$work/grainy" "$work/filtered"
cat >"$work/grainy/bilde01.py" <<'PY'
"""A stand-in scene: a ball filling the view, speckled finer than a pixel."""
import bpy
import air
import kit
SAMPLES = 2
DENOISE = 0
def build():
    air.sky(30.0, 180.0)
    bpy.ops.mesh.primitive_uv_sphere_add(location=(0.0, 3.0, 1.0))
    kit.assign(bpy.context.object, kit.material("speckled", lambda t: kit.principled(
        t, kit.ramp(t, kit.noise(t, kit.coordinates(t), 400.0, 0.0), [(0.45, (0.1, 0.1, 0.1)), (0.55, (0.9, 0.9, 0.9))]))))
    kit.camera((0.0, 0.0, 1.0), (0.0, 3.0, 1.0), 50.0)
PY
TMPDIR=$work run --scenes "$work/grainy" --only Bilde01.jpg --size 96 --out "$work/filtered" >"$work/grainy.log" 2>&1 ||
    check_failed "the grainy stand-in failed: $(tail -n 3 "$work/grainy.log")"
strength=$(sed -n 's/.*denoised at \([0-9.]*\),.*/\1/p' "$work/grainy.log")
python3 -c "import sys; sys.exit(not float('${strength:-0}') > 0)" ||
    check_failed "the grainy slide was not filtered: $(tail -n 1 "$work/grainy.log")"
grain=$("$slide_noise" "$work/filtered/Bilde01.jpg" | awk '{ print $2 }')
python3 -c "import sys; sys.exit(not float('${grain:-99}') <= 12.0)" ||
    check_failed "the filtered slide's grain is $grain, above 12 (denoised at $strength)"
# Aiming at the limit itself, the same slide is filtered no harder and still passes; beyond it, refused.
mkdir "$work/aim" "$work/aimed"
sed 's/^DENOISE = 0$/DENOISE = 0\nGRAIN_AIM = 12/' "$work/grainy/bilde01.py" >"$work/aim/bilde01.py"
TMPDIR=$work run --scenes "$work/aim" --only Bilde01.jpg --size 96 --out "$work/aimed" >"$work/aim.log" 2>&1 ||
    check_failed "the stand-in aiming at 12 failed: $(tail -n 3 "$work/aim.log")"
aimed=$(sed -n 's/.*denoised at \([0-9.]*\),.*/\1/p' "$work/aim.log")
grain=$("$slide_noise" "$work/aimed/Bilde01.jpg" | awk '{ print $2 }')
python3 -c "import sys; sys.exit(not (float('${aimed:-99}') <= float('${strength:-0}') and float('${grain:-99}') <= 12.0))" ||
    check_failed "aiming at 12: denoised at $aimed (at $strength aiming at 10), grain $grain"
sed -i 's/^GRAIN_AIM = 12$/GRAIN_AIM = 13/' "$work/aim/bilde01.py"
rm -f "$work/aimed/Bilde01.jpg"
run --scenes "$work/aim" --only Bilde01.jpg --out "$work/aimed" >/dev/null 2>"$work/err" &&
    check_failed "a scene aiming above the shipped limit was rendered"
[ -s "$work/err" ] && [ -z "$(ls -A "$work/aimed")" ] ||
    check_failed "a scene aiming above the limit: refused without a message, or wrote something"

# A scene that smooths its bounced light (SMOOTH_BOUNCES): a ground half in the sun, half in a wall's
# shadow lit by the sky alone, grainy at 8 samples. Against the same scene unsmoothed: less grain, the same
# light on the whole, and the sun's edge as sharp (few pixels part-way between the shade and the sun).
mkdir "$work/smooth"
for kind in plain smooth; do
    cat >"$work/smooth/$kind.py" <<PY
"""A stand-in scene: a wall's shadow across the ground."""
import air
import kit
SAMPLES = 8
$([ "$kind" = smooth ] && echo 'SMOOTH_BOUNCES = dict(radius=64, direct=True, sharp=["sun"])')
def build():
    air.sky(35.0, 250.0)
    grey = kit.simple_material("grey", (0.5, 0.5, 0.5), 0.9)
    kit.box("ground", (0.0, 6.0, -0.05), (20.0, 20.0, 0.1), grey)
    kit.box("wall", (1.0, 6.0, 2.0), (0.2, 20.0, 4.0), grey)
    kit.camera((5.5, 6.0, 8.0), (5.5, 6.3, 0.0), 50.0)
    kit.film(exposure=-4.0)
PY
    blender -b --factory-startup --python-exit-code 3 -P "$(dirname "$driver")/render_scene.py" -- \
        --scene "$work/smooth/$kind.py" --out "$work/smooth/$kind.png" --size 96x96 >"$work/smooth/$kind.log" 2>&1 ||
        check_failed "the $kind stand-in failed: $(tail -n 3 "$work/smooth/$kind.log")"
done
python3 - "$work/smooth/plain.png" "$work/smooth/smooth.png" >"$work/smooth/verdict" <<'PY' ||
import subprocess, sys
def luminance(path):
    raw = subprocess.run(["ffmpeg", "-v", "error", "-i", path, "-f", "rawvideo", "-pix_fmt", "gray", "-"],
                         capture_output=True).stdout
    return [list(raw[y * 96:(y + 1) * 96]) for y in range(96)]
def grain(image):
    return sum(abs(4 * image[y][x] - image[y - 1][x] - image[y + 1][x] - image[y][x - 1] - image[y][x + 1])
               for y in range(1, 95) for x in range(1, 95)) / 94.0 ** 2
def between(image):
    values = sorted(v for row in image for v in row)
    shade, sun = values[len(values) // 10], values[len(values) * 9 // 10]
    return sum(shade + 0.25 * (sun - shade) < v < shade + 0.75 * (sun - shade) for v in values) / len(values)
plain, smooth = luminance(sys.argv[1]), luminance(sys.argv[2])
mean = [sum(map(sum, image)) / 96.0 ** 2 for image in (plain, smooth)]
faults = []
if not grain(smooth) < 0.6 * grain(plain):
    faults.append("grain %.1f smoothed, %.1f plain" % (grain(smooth), grain(plain)))
if not abs(mean[1] - mean[0]) < 0.04 * mean[0]:
    faults.append("mean luminance %.1f smoothed, %.1f plain" % (mean[1], mean[0]))
if not between(smooth) < 0.05:
    faults.append("%.0f %% of the pixels part-way between the shade and the sun" % (100 * between(smooth)))
print("; ".join(faults))
sys.exit(1 if faults else 0)
PY
    check_failed "the smoothed bounced light: $(cat "$work/smooth/verdict")"

# Stopped by SIGTERM while Blender works: the driver stops its Blender too and leaves nothing behind.
mkdir "$work/slow" "$work/stopped"
cat >"$work/slow/bilde01.py" <<PY
"""A scene that takes its time, and says which process builds it."""
import os
import time
SAMPLES = 2
def build():
    open("$work/slow/pid", "w").write(str(os.getpid()))
    time.sleep(60)
PY
TMPDIR=$work python3 "$driver" --scenes "$work/slow" --only Bilde01.jpg --size 32 --out "$work/stopped" >/dev/null 2>"$work/stop-err" &
driver_pid=$!
for _ in $(seq 600); do [ -s "$work/slow/pid" ] && break; sleep 0.2; done
if [ -s "$work/slow/pid" ]; then
    kill -TERM "$driver_pid"
    wait "$driver_pid"
    status=$?
    [ "$status" -ne 0 ] || check_failed "a stopped run exited 0"
    grep -q stopped "$work/stop-err" || check_failed "a stopped run does not say so"
    sleep 1
    kill -0 "$(cat "$work/slow/pid")" 2>/dev/null && check_failed "Blender goes on after the driver was stopped"
    [ -z "$(ls -A "$work/stopped")" ] || check_failed "a stopped run left: $(ls -A "$work/stopped" | tr '\n' ' ')"
else
    kill "$driver_pid" 2>/dev/null
    check_failed "the slow stand-in scene never started"
fi

checks_done "all driver checks passed"
