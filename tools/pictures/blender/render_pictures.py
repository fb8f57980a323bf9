#!/usr/bin/env python3
"""Renders the show's slides and its sphere map into data/ with Blender's path tracer, Cycles.

The pictures of assets/picture_list.h in the roles made here (slides and the environment) each have a
scene script, scenes/<file name in lower case>.py, and are rendered at the size the list gives them; the
cards and the backdrop come from build/tools/pictures/pictures. Each picture is rendered by a Blender
process of its own (render_scene.py) and written in place only once it is whole.

Debian's Blender has no denoiser, and this machine affords a few dozen samples a pixel: the shown rows go
through ffmpeg's non-local means on their way to JPEG, at the strength the scene script's DENOISE gives,
and harder while the JPEG is grainier where the screen shows it than the scene's GRAIN_AIM (10 where it
names none; at most the 12 the shipped slides are held to).
"""
import argparse
import os
import re
import shutil
import signal
import subprocess
import sys
import tempfile
import threading
import time

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.normpath(os.path.join(HERE, "..", "..", ".."))
LIST = os.path.join(ROOT, "assets", "picture_list.h")
TOOL = "render_pictures"
ROLES = ("k_slide", "k_environment")  # the roles of the pictures made here
# The show draws a square slide on a quad 2 high at depth 1.8 under a 45 degree field of view: the
# screen shows the whole width and the middle 1.8 tan(22.5) = 74.6 % of the height, a texel a pixel.
# Those rows are rendered with the scene's samples, the rest with a sixteenth of them.
SHOWN_BAND = 0.746
JPEG_QUALITY = 3  # ffmpeg's scale, 2 (best) to 31
DENOISE = 2.0  # ffmpeg nlmeans strength where a scene names none; 0 turns the stage off
# the grain the shipped slides are held to is 12 (the mean absolute Laplacian of luminance where the
# screen shows them); a slide above this is filtered again, harder, up to the strongest filter. A scene
# of many small sharp things, whose own texture the measure counts as grain, may aim higher (its
# GRAIN_AIM), up to the limit itself.
GRAIN_AIM = 10.0
GRAIN_LIMIT = 12.0
DENOISE_MOST = 16.0


def fail(message, status=2):
    print("%s: %s" % (TOOL, message), file=sys.stderr)
    sys.exit(status)


def listed_pictures():
    """(file, role, width, height) of every picture in the list, in its order."""
    try:
        with open(LIST) as f:
            text = f.read()
    except OSError as e:
        fail("cannot read %s: %s" % (LIST, e.strerror))
    rows = re.findall(r'^VL_PICTURE\("([^"]+)",\s*(\w+),\s*(\d+),\s*(\d+),', text, re.M)
    return [(name, role, int(w), int(h)) for name, role, w, h in rows]


def scene_script(scenes, name):
    return os.path.join(scenes, os.path.splitext(name)[0].lower() + ".py")


def made_here():
    """(file, width, height, band) of the pictures made here: band is the share of rows the screen shows."""
    return [(name, w, h, SHOWN_BAND if role == "k_slide" else 1.0)
            for name, role, w, h in listed_pictures() if role in ROLES]


def arguments():
    parser = argparse.ArgumentParser(
        prog=TOOL, description="Renders the show's slides and sphere map with Blender's Cycles into data/.",
        epilog="A full set takes hours on two cores; --size 256 --samples 16 previews it in minutes.")
    parser.add_argument("--out", default=os.path.join(ROOT, "data"), help="output folder (default: data/)")
    parser.add_argument("--only", help="just these files, comma-separated, e.g. Bilde05.jpg,Bilde06.jpg")
    parser.add_argument("--size", type=int, help="preview: the longer side in pixels (default: the listed size)")
    parser.add_argument("--samples", type=int, help="samples a pixel (default: each scene's own)")
    parser.add_argument("--blender", default="blender", help="the Blender program (default: blender on PATH)")
    parser.add_argument("--scenes", default=os.path.join(HERE, "scenes"),
                        help="the folder of scene scripts (default: scenes/ beside this program)")
    parser.add_argument("--jobs", type=int, default=1,
                        help="Blender processes at a time (default 1); 2 lets one build its scene while another renders")
    parser.add_argument("--list", action="store_true", help="print the pictures made here and their scene scripts")
    args = parser.parse_args()
    if not 1 <= args.jobs <= 8:
        fail("--jobs must be between 1 and 8")
    if args.size is not None and not 16 <= args.size <= 4096:
        fail("--size must be between 16 and 4096")
    if args.samples is not None and not 1 <= args.samples <= 65536:
        fail("--samples must be between 1 and 65536")
    return args


def chosen(args):
    """The pictures to render: all made here, or those --only names; each must have its scene script."""
    pictures = made_here()
    picked = pictures
    if args.only:
        listed = {p[0] for p in listed_pictures()}
        by_name = {p[0]: p for p in pictures}
        picked = []
        for name in args.only.split(","):
            if name not in listed:
                fail("'%s' is not one of the show's pictures (assets/picture_list.h)" % name)
            if name not in by_name:
                fail("'%s' is not made with Blender (the cards and the backdrop: build/tools/pictures/pictures)"
                     % name)
            picked.append(by_name[name])
    for name, _, _, _ in picked:
        script = scene_script(args.scenes, name)
        if not os.path.exists(script):
            fail("%s has no scene script %s" % (name, script))
        aim = scene_number(script, "GRAIN_AIM", GRAIN_AIM)
        if aim > GRAIN_LIMIT:
            fail("%s aims at a grain of %g, above the %g the shipped slides are held to" % (script, aim, GRAIN_LIMIT))
    return picked


def scene_number(script, constant, default):
    """A constant of the scene (DENOISE, GRAIN_AIM), a plain number in its script, or the default."""
    with open(script) as f:
        found = re.search(r"^%s\s*=\s*([0-9.]+)" % constant, f.read(), re.M)
    return float(found.group(1)) if found else default


def grain(path, log):
    """The mean absolute 4-neighbour Laplacian of luminance over the rows the screen shows of a square
    slide (the measure the shipped slides are held to); None if ffmpeg cannot read it."""
    probe = subprocess.run(["ffprobe", "-v", "error", "-select_streams", "v:0", "-show_entries",
                            "stream=width,height", "-of", "csv=p=0:s=x", path], capture_output=True, text=True)
    decoded = subprocess.run(["ffmpeg", "-v", "error", "-i", path, "-f", "rawvideo", "-pix_fmt", "rgb24", "-"],
                             capture_output=True)
    try:
        width, height = (int(v) for v in probe.stdout.strip().split("x"))
    except ValueError:
        return None
    if decoded.returncode != 0 or len(decoded.stdout) != width * height * 3 or width < 3 or height < 3:
        log.write(decoded.stderr.decode(errors="replace"))
        return None
    rgb = decoded.stdout
    first = int(height * 0.127)
    rows = range(max(first, 1), min(height - first, height - 1))

    def luminance(y):
        line = rgb[y * width * 3:(y + 1) * width * 3]
        return [0.2126 * r + 0.7152 * g + 0.0722 * b for r, g, b in zip(line[0::3], line[1::3], line[2::3])]

    above, here, total = luminance(rows[0] - 1), luminance(rows[0]), 0.0
    for y in rows:
        below = luminance(y + 1)
        total += sum(abs(4.0 * c - l - r - u - d)
                     for c, l, r, u, d in zip(here[1:-1], here[:-2], here[2:], above[1:-1], below[1:-1]))
        above, here = here, below
    return total / (len(rows) * (width - 2))


def blender_environment():
    """The environment Blender runs in. Debian's Blender embeds the system's Python and finds its library
    from the first python3 on PATH: a private interpreter running this script (a version manager's) must
    not come first, or Blender takes that interpreter's library, which lacks numpy."""
    env = dict(os.environ)
    if os.path.realpath(sys.prefix) != "/usr":
        mine = os.path.realpath(sys.prefix)
        env["PATH"] = os.pathsep.join(d for d in env.get("PATH", "").split(os.pathsep)
                                      if not os.path.realpath(d).startswith(mine))
    return env


class Stopped(Exception):
    """Ctrl-C or SIGTERM: the run stops, its Blender with it."""


def stop(signum, frame):
    raise Stopped()


g_children = set()  # the programs running now, for a stop to end them all
g_stopping = threading.Event()


def run_child(command, log, env=None):
    """Runs a program to its end; returns its status and the CPU seconds it used."""
    if g_stopping.is_set():
        return 130, 0.0
    child = subprocess.Popen(command, stdout=log, stderr=subprocess.STDOUT, env=env)
    g_children.add(child)
    try:
        # wait4 rather than wait: each program's own CPU time, whatever else runs beside it
        _, status, usage = os.wait4(child.pid, 0)
        child.returncode = os.waitstatus_to_exitcode(status)
        return child.returncode, usage.ru_utime + usage.ru_stime
    finally:
        g_children.discard(child)


def stop_children():
    g_stopping.set()
    for child in list(g_children):
        if child.returncode is None:
            child.terminate()
    deadline = time.time() + 20
    while any(child.returncode is None for child in list(g_children)) and time.time() < deadline:
        time.sleep(0.1)
    for child in list(g_children):
        if child.returncode is None:
            child.kill()


def render(args, picture, scratch, log):
    """Renders one picture and puts it in place; returns its size as text (None when it failed), the CPU
    seconds it took and the strength it was denoised at."""
    name, width, height, band = picture
    if args.size:
        scale = args.size / max(width, height)
        width, height = max(1, round(width * scale)), max(1, round(height * scale))
    frame = os.path.join(scratch, "frame.png")
    command = [args.blender, "-b", "--factory-startup", "--python-exit-code", "3",
               "-P", os.path.join(HERE, "render_scene.py"), "--", "--scene", scene_script(args.scenes, name),
               "--out", frame, "--size", "%dx%d" % (width, height), "--samples", str(args.samples or 0),
               "--band", str(band)]
    status, cpu = run_child(command, log, blender_environment())
    if status != 0 or not os.path.exists(frame):
        return None, cpu, 0
    # the frame at the picture's size (a scene may render larger), the band over it, then to JPEG, into
    # a file beside the picture's place; then in place
    inputs = ["-i", frame]
    # the frame comes larger (a scene's OVERSAMPLE) or, under a band, at half the size
    graph = "[0]scale=%d:%d:flags=%s" % (width, height, "bicubic" if band < 1.0 else "area")
    script = scene_script(args.scenes, name)
    strength, aim = scene_number(script, "DENOISE", DENOISE), scene_number(script, "GRAIN_AIM", GRAIN_AIM)
    # the grain goes before JPEG would set it in blocks, in 4:4:4 so that colour edges keep their place;
    # %s in the graph takes the filter
    if band < 1.0:
        top = int((1.0 - band) / 2.0 * height) - 1
        inputs += ["-i", os.path.join(scratch, "frame.band.png")]
        graph += ",format=yuv444p[frame];[1]scale=%d:%d:flags=area%%s[band];[frame][band]overlay=0:%d" % (
            width, height - 2 * top, top)
    else:
        graph += "%s"
    out = os.path.join(args.out, name)
    partial = os.path.join(args.out, ".partial-" + name)
    while True:
        filters = graph % (",format=yuv444p,nlmeans=s=%g:p=7:r=11" % strength if strength > 0 else "")
        threads = str(os.cpu_count() or 1)
        encoded, encoding_cpu = run_child(["ffmpeg", "-v", "error", "-y"] + inputs +
                                          ["-filter_complex", filters, "-filter_complex_threads", threads,
                                           "-q:v", str(JPEG_QUALITY), "-f", "mjpeg", partial], log)
        cpu += encoding_cpu
        if encoded != 0:
            if os.path.exists(partial):
                os.remove(partial)
            return None, cpu, strength
        if band >= 1.0 or strength >= DENOISE_MOST:
            break
        measured = grain(partial, log)
        if measured is None or measured <= aim:
            break
        log.write("%s: grain %.1f after denoising at %g, more\n" % (TOOL, measured, strength))
        log.flush()
        strength = min(DENOISE_MOST, max(2.0, strength * 1.5))
    os.replace(partial, out)
    return "%dx%d" % (width, height), cpu, strength


g_done = set()  # the pictures rendered whole


def render_one(args, i, count, picture, log_dir, failed, lock):
    """Renders one picture of the run with a progress line before and after."""
    name = picture[0]
    log_path = os.path.join(log_dir, name + ".log")
    print("[%2d/%d] %-16s rendering ..." % (i + 1, count, name), flush=True)
    t0 = time.time()
    scratch = tempfile.mkdtemp(prefix=name + "-", dir=log_dir)
    try:
        with open(log_path, "w") as log:
            size, cpu, strength = render(args, picture, scratch, log)
    finally:
        shutil.rmtree(scratch, ignore_errors=True)
    if g_stopping.is_set():
        return
    wall = time.time() - t0
    with open(log_path) as log:
        lines = [line.strip() for line in log]
    report = [line for line in lines if line.startswith("render_scene:")]
    with lock:
        if size is None:
            failed.append(name)
            print("[%2d/%d] %-16s FAILED after %.0f s; Blender's output: %s" % (i + 1, count, name, wall, log_path),
                  flush=True)
            # the error that stopped it: the runner's own word, or the last exception Python raised
            errors = report or [line for line in lines if re.match(r"^\w+(Error|Exception): ", line)][-1:]
            for line in errors:
                print("    " + line, flush=True)
            return
        g_done.add(name)
        samples = re.search(r"(\d+) samples", report[-1]).group(1) if report else "?"
        print("[%2d/%d] %-16s %s, %s samples, denoised at %g, %.0f s, %.1f CPU minutes"
              % (i + 1, count, name, size, samples, strength, wall, cpu / 60.0), flush=True)


def main():
    args = arguments()
    pictures = made_here()
    if args.list:
        for name, width, height, _ in pictures:
            print("%s %d %d %s" % (name, width, height, os.path.relpath(scene_script(args.scenes, name), ROOT)))
        return 0
    picked = chosen(args)
    if not os.path.isdir(args.out):
        fail("output folder '%s' does not exist" % args.out)
    if shutil.which(args.blender) is None:
        fail("Blender ('%s') not found: install it with scripts/install-deps.sh --blender, or name it with --blender"
             % args.blender)
    if shutil.which("ffmpeg") is None:
        fail("ffmpeg not found: install it with scripts/install-deps.sh")
    signal.signal(signal.SIGTERM, stop)
    signal.signal(signal.SIGINT, stop)
    log_dir = tempfile.mkdtemp(prefix="render_pictures-")
    started = time.time()
    queue = list(enumerate(picked))
    failed = []
    lock = threading.Lock()

    def work():
        while not g_stopping.is_set():
            with lock:
                if not queue:
                    return
                i, picture = queue.pop(0)
            render_one(args, i, len(picked), picture, log_dir, failed, lock)

    workers = [threading.Thread(target=work, daemon=True) for _ in range(min(args.jobs, len(picked)))]
    try:
        for worker in workers:
            worker.start()
        for worker in workers:
            while worker.is_alive():
                worker.join(0.2)  # short waits, so a signal reaches this thread
    except Stopped:
        # nothing half made is left: no partial file in the output folder, no scratch files
        stop_children()
        for worker in workers:
            worker.join(30)
        for name in os.listdir(args.out):
            if name.startswith(".partial-"):
                os.remove(os.path.join(args.out, name))
        shutil.rmtree(log_dir, ignore_errors=True)
        print("%s: stopped; not rendered: %s" % (TOOL, ", ".join(sorted(set(p[0] for p in picked) - g_done))),
              file=sys.stderr)
        return 130
    print("%d of %d pictures in %.1f minutes%s" % (len(picked) - len(failed), len(picked), (time.time() - started) / 60,
                                                   "; failed: " + ", ".join(failed) if failed else ""))
    if not failed:
        shutil.rmtree(log_dir, ignore_errors=True)
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
