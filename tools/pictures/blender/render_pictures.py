#!/usr/bin/env python3
"""Renders the show's slides and its sphere map into data/ with Blender's path tracer, Cycles.

The pictures of assets/picture_list.h in the roles made here (slides and the environment) each have a
scene script, scenes/<file name in lower case>.py, and are rendered at the size the list gives them; the
cards and the backdrop come from build/tools/pictures/pictures. Each picture is rendered by a Blender
process of its own (render_scene.py) and written in place only once it is whole.
"""
import argparse
import os
import re
import resource
import shutil
import signal
import subprocess
import sys
import tempfile
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
    parser.add_argument("--list", action="store_true", help="print the pictures made here and their scene scripts")
    args = parser.parse_args()
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
        if not os.path.exists(scene_script(args.scenes, name)):
            fail("%s has no scene script %s" % (name, scene_script(args.scenes, name)))
    return picked


def child_cpu_seconds():
    usage = resource.getrusage(resource.RUSAGE_CHILDREN)
    return usage.ru_utime + usage.ru_stime


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


def run_child(command, log, env=None):
    """Runs a program to its end and returns its status; stopped, it stops the program too."""
    child = subprocess.Popen(command, stdout=log, stderr=subprocess.STDOUT, env=env)
    try:
        return child.wait()
    finally:
        if child.poll() is None:
            child.terminate()
            try:
                child.wait(timeout=20)
            except subprocess.TimeoutExpired:
                child.kill()
                child.wait()


def render(args, picture, scratch, log):
    """Renders one picture and puts it in place; returns its size as text, or None when it failed."""
    name, width, height, band = picture
    if args.size:
        scale = args.size / max(width, height)
        width, height = max(1, round(width * scale)), max(1, round(height * scale))
    frame = os.path.join(scratch, "frame.png")
    command = [args.blender, "-b", "--factory-startup", "--python-exit-code", "3",
               "-P", os.path.join(HERE, "render_scene.py"), "--", "--scene", scene_script(args.scenes, name),
               "--out", frame, "--size", "%dx%d" % (width, height), "--samples", str(args.samples or 0),
               "--band", str(band)]
    if run_child(command, log, blender_environment()) != 0 or not os.path.exists(frame):
        return None
    # the frame at the picture's size (a scene may render larger), the band over it, then to JPEG, into
    # a file beside the picture's place; then in place
    inputs = ["-i", frame]
    graph = "[0]scale=%d:%d:flags=area" % (width, height)
    if band < 1.0:
        top = int((1.0 - band) / 2.0 * height) - 1
        inputs += ["-i", os.path.join(scratch, "frame.band.png")]
        graph += "[frame];[1]scale=%d:%d:flags=area[band];[frame][band]overlay=0:%d" % (width, height - 2 * top, top)
    graph = ["-filter_complex", graph]
    out = os.path.join(args.out, name)
    partial = os.path.join(args.out, ".partial-" + name)
    encoded = run_child(["ffmpeg", "-v", "error", "-y"] + inputs + graph +
                        ["-q:v", str(JPEG_QUALITY), "-f", "mjpeg", partial], log)
    if encoded != 0:
        if os.path.exists(partial):
            os.remove(partial)
        return None
    os.replace(partial, out)
    return "%dx%d" % (width, height)


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
    failed = []
    signal.signal(signal.SIGTERM, stop)
    signal.signal(signal.SIGINT, stop)
    log_dir = tempfile.mkdtemp(prefix="render_pictures-")
    started = time.time()
    for i, picture in enumerate(picked):
        name = picture[0]
        log_path = os.path.join(log_dir, name + ".log")
        print("[%2d/%d] %-16s rendering ..." % (i + 1, len(picked), name), flush=True)
        t0, cpu0 = time.time(), child_cpu_seconds()
        scratch = tempfile.mkdtemp(prefix=name + "-", dir=log_dir)
        try:
            with open(log_path, "w") as log:
                size = render(args, picture, scratch, log)
        except Stopped:
            # nothing half made is left: no partial file in the output folder, no scratch files
            partial = os.path.join(args.out, ".partial-" + name)
            if os.path.exists(partial):
                os.remove(partial)
            shutil.rmtree(log_dir, ignore_errors=True)
            print("%s: stopped; %s was not rendered" % (TOOL, name), file=sys.stderr)
            return 130
        finally:
            shutil.rmtree(scratch, ignore_errors=True)
        wall, cpu = time.time() - t0, child_cpu_seconds() - cpu0
        with open(log_path) as log:
            lines = [line.strip() for line in log]
        report = [line for line in lines if line.startswith("render_scene:")]
        if size is None:
            failed.append(name)
            print("[%2d/%d] %-16s FAILED after %.0f s; Blender's output: %s" % (i + 1, len(picked), name, wall, log_path),
                  flush=True)
            # the error that stopped it: the runner's own word, or the last exception Python raised
            errors = report or [line for line in lines if re.match(r"^\w+(Error|Exception): ", line)][-1:]
            for line in errors:
                print("    " + line, flush=True)
            continue
        samples = re.search(r"(\d+) samples", report[-1]).group(1) if report else "?"
        print("[%2d/%d] %-16s %s, %s samples, %.0f s, %.1f CPU minutes"
              % (i + 1, len(picked), name, size, samples, wall, cpu / 60.0), flush=True)
    print("%d of %d pictures in %.1f minutes%s" % (len(picked) - len(failed), len(picked), (time.time() - started) / 60,
                                                   "; failed: " + ", ".join(failed) if failed else ""))
    if not failed:
        shutil.rmtree(log_dir, ignore_errors=True)
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
