"""Renders one scene script to PNG; run inside Blender by render_pictures.py:

    blender -b --factory-startup --python-exit-code 3 -P render_scene.py -- \\
        --scene SCENE.py --out OUT.png --size WIDTHxHEIGHT [--samples N] [--band FRACTION]

A scene script defines SAMPLES (its sample count at full size) and build(), which makes the scene in the
empty file: camera, sky, objects, film; CYCLES, a dict, may change Cycles' settings set here, and
OVERSAMPLE renders it that many times larger each way, for the driver to scale down. With --band, only the
middle FRACTION of the rows (the part the screen shows) gets the full samples, written to OUT.band.png; the
whole frame is rendered at half the size with a sixteenth of them into OUT.png, for the rows nobody sees.
"""
import argparse
import importlib.util
import os
import sys
import time

import bpy

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import kit  # noqa: E402


def fail(message):
    print("render_scene: " + message, file=sys.stderr)
    sys.exit(1)


def arguments():
    parser = argparse.ArgumentParser(prog="render_scene")
    parser.add_argument("--scene", required=True)
    parser.add_argument("--out", required=True)
    parser.add_argument("--size", required=True)
    parser.add_argument("--samples", type=int, default=0)
    parser.add_argument("--band", type=float, default=1.0)
    args = parser.parse_args(sys.argv[sys.argv.index("--") + 1:] if "--" in sys.argv else [])
    try:
        args.width, args.height = (int(v) for v in args.size.split("x"))
    except ValueError:
        fail("--size must be WIDTHxHEIGHT, not " + args.size)
    return args


def load_scene(path):
    found = importlib.util.spec_from_file_location(os.path.splitext(os.path.basename(path))[0], path)
    module = importlib.util.module_from_spec(found)
    found.loader.exec_module(module)
    return module


def settings(scene, width, height, samples):
    scene.render.engine = "CYCLES"
    scene.render.resolution_x, scene.render.resolution_y = width, height
    scene.render.resolution_percentage = 100
    cycles = scene.cycles
    cycles.device = "CPU"
    cycles.samples = samples
    # Debian's Blender has no denoiser; adaptive sampling spends the samples where the noise is
    cycles.use_denoising = False
    cycles.use_adaptive_sampling = True
    cycles.adaptive_threshold = 0.006
    cycles.adaptive_min_samples = min(48, samples)
    cycles.seed = 7
    # rare bright paths (a sun glint seen in a diffuse bounce) make lone white pixels: cap them
    cycles.sample_clamp_indirect = 8.0
    cycles.caustics_reflective = False
    cycles.caustics_refractive = False
    # a third diffuse or glossy bounce shows only indoors (a scene's CYCLES raises it there)
    cycles.diffuse_bounces = 2
    cycles.glossy_bounces = 3
    cycles.transmission_bounces = 8
    cycles.volume_bounces = 1
    cycles.transparent_max_bounces = 8
    cycles.max_bounces = 12
    # a little wider than the default: a photograph is never sharp to the pixel, and it calms the grain
    cycles.filter_width = 1.8
    scene.render.dither_intensity = 0.0
    scene.render.use_compositing = True
    settings_out = scene.render.image_settings
    settings_out.file_format = "PNG"
    settings_out.color_mode = "RGB"
    settings_out.color_depth = "8"


def render_to(scene, path):
    bpy.ops.render.render()
    bpy.data.images["Render Result"].save_render(path, scene=scene)


def main():
    args = arguments()
    kit.detail = min(1.0, max(args.width, args.height) / 1024.0)
    bpy.ops.wm.read_factory_settings(use_empty=True)
    start = time.time()
    module = load_scene(args.scene)
    module.build()
    scene = bpy.context.scene
    if scene.camera is None:
        fail(args.scene + " made no camera")
    samples = args.samples if args.samples > 0 else module.SAMPLES
    over = getattr(module, "OVERSAMPLE", 1)
    args.width, args.height = args.width * over, args.height * over
    settings(scene, args.width, args.height, samples)
    # a scene may change a few of the settings (an interior clamps its bounced light harder)
    for key, value in getattr(module, "CYCLES", {}).items():
        setattr(scene.cycles, key, value)
    built = time.time() - start
    if args.band < 1.0:
        # the band, on whole rows, a row wider each side than the screen shows
        hidden = int((1.0 - args.band) / 2.0 * args.height) - 1
        scene.render.use_border = True
        scene.render.use_crop_to_border = True
        scene.render.border_min_x, scene.render.border_max_x = 0.0, 1.0
        scene.render.border_min_y = hidden / args.height
        scene.render.border_max_y = (args.height - hidden) / args.height
        render_to(scene, os.path.splitext(args.out)[0] + ".band.png")
        scene.render.use_border = False
        # nobody sees these rows: half the size each way, the driver scales them up
        scene.render.resolution_percentage = 50
        scene.cycles.samples = max(4, samples // 16)
        scene.cycles.adaptive_min_samples = min(scene.cycles.adaptive_min_samples, scene.cycles.samples)
    render_to(scene, args.out)
    print("render_scene: %s %dx%d %d samples, built in %.1f s, rendered in %.1f s"
          % (os.path.basename(args.out), args.width, args.height, samples, built, time.time() - start - built))


main()
