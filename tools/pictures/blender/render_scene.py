"""Renders one scene script to PNG; run inside Blender by render_pictures.py:

    blender -b --factory-startup --python-exit-code 3 -P render_scene.py -- \\
        --scene SCENE.py --out OUT.png --size WIDTHxHEIGHT [--samples N] [--band FRACTION]

A scene script defines SAMPLES (its sample count at full size) and build(), which makes the scene in the
empty file: camera, sky, objects, film; CYCLES, a dict, may change Cycles' settings set here, and
OVERSAMPLE renders it that many times larger each way, for the driver to scale down. With --band, only the
middle FRACTION of the rows (the part the screen shows) gets the full samples, written to OUT.band.png; the
whole frame is rendered at half the size with a sixteenth of them into OUT.png, for the rows nobody sees.

SMOOTH_BOUNCES, a dict, turns on a filter for the light that reaches diffuse surfaces by bouncing, smooth in
truth but grainy at a few dozen samples. Cycles' passes come out beside the render, and the frame is made
again as the render less diffuse colour x indirect diffuse light, plus diffuse colour x that light blurred
(the light already divided by the colour, so the textures stay sharp): an edge-avoiding a-trous filter
that reaches about `radius` pixels (of a 1024-pixel frame) and weighs each neighbour down as its normal
turns away (by about `normal`, the length of the difference) and its depth differs (by about the share
`depth`). With `direct` true the direct diffuse light is blurred too (where lamps stand in for bounced
light), and with `glossy` the glossy light (rough surfaces only); `sharp` then names the lights whose
edges must stay (the sun): neighbours whose light from them differs by more than about the share `edge`
count for little. `radius` 0 gives back the plain render. The scene's own compositing is not applied then.
"""
import argparse
import glob
import importlib.util
import os
import shutil
import sys
import tempfile
import time

import bpy
import numpy as np

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


# --- the filter for bounced light -------------------------------------------------------------------

PASSES = ("Image", "Normal", "Depth", "DiffDir", "DiffInd", "DiffCol", "GlossDir", "GlossInd", "GlossCol")


def passes_out(scene, options):
    """Has Cycles make the passes the filter needs and the compositor write them, each to an EXR file; the
    sharp lights go in a light group of their own, whose light comes as a pass too. Returns the folder."""
    layer = scene.view_layers[0]
    for name in ("z", "normal", "diffuse_direct", "diffuse_indirect", "diffuse_color", "glossy_direct",
                 "glossy_indirect", "glossy_color"):
        setattr(layer, "use_pass_" + name, True)
    names = list(PASSES)
    if options.get("sharp"):
        layer.lightgroups.add(name="sharp")
        for name in options["sharp"]:
            bpy.data.objects[name].lightgroup = "sharp"
        names.append("Combined_sharp")
    scene.use_nodes = True
    tree = scene.node_tree
    if len(tree.nodes) > 2:
        fail("SMOOTH_BOUNCES leaves out the scene's own compositing; a scene may have one or the other")
    folder = tempfile.mkdtemp(prefix="render_scene-")
    writer = tree.nodes.new("CompositorNodeOutputFile")
    writer.base_path = folder
    writer.format.file_format = "OPEN_EXR"
    writer.format.color_depth = "32"
    writer.format.color_mode = "RGB"
    writer.file_slots.clear()
    layers = tree.nodes["Render Layers"]
    for name in names:
        writer.file_slots.new(name)
        tree.links.new(layers.outputs[name], writer.inputs[name])
    return folder


def read_pass(folder, name):
    """One pass the compositor wrote, as an array of rows (bottom row first) of RGB."""
    path = glob.glob(os.path.join(folder, name + "[0-9]*.exr"))[0]
    image = bpy.data.images.load(path)
    width, height = image.size
    pixels = np.empty(width * height * 4, np.float32)
    image.pixels.foreach_get(pixels)
    bpy.data.images.remove(image)
    return pixels.reshape(height, width, 4)[:, :, :3].astype(np.float64)


def shifted(a, dy, dx):
    """`a` moved by (dy, dx) pixels, its edge rows and columns repeated into the gap."""
    h, w = a.shape[:2]
    ys = np.clip(np.arange(h) - dy, 0, h - 1)
    xs = np.clip(np.arange(w) - dx, 0, w - 1)
    return a[ys][:, xs]


def without_sparks(light):
    """`light` with each pixel brighter than all its eight neighbours brought down to the brightest of them:
    a lone spark is one rare path, and the blur would only spread it into a blot."""
    brightness = light @ np.array([0.2126, 0.7152, 0.0722])
    around = np.max([shifted(brightness, dy, dx) for dy in (-1, 0, 1) for dx in (-1, 0, 1) if dy or dx], 0)
    scale = np.where(brightness > around, around / np.maximum(brightness, 1e-12), 1.0)
    return light * scale[:, :, None]


def a_trous(lights, by, levels):
    """The images `lights` smoothed by an edge-avoiding a-trous filter: passes of a 5x5 B3 spline kernel, its
    taps twice as far apart each pass, each tap weighed down by how far the neighbour is from the pixel in
    every guide of `by` (arrays of rows of values already scaled by the distance that counts as one)."""
    kernel = (1.0 / 16.0, 1.0 / 4.0, 3.0 / 8.0, 1.0 / 4.0, 1.0 / 16.0)
    lights = [without_sparks(light) for light in lights]
    for level in range(levels):
        step = 2 ** level
        totals = [np.zeros_like(light) for light in lights]
        weight = np.zeros(lights[0].shape[:2])
        for i, ky in enumerate(kernel):
            for j, kx in enumerate(kernel):
                dy, dx = (i - 2) * step, (j - 2) * step
                distance = sum(((shifted(g, dy, dx) - g) ** 2).sum(2) for g in by)
                w = ky * kx * np.exp(-distance)
                for total, light in zip(totals, lights):
                    total += w[:, :, None] * shifted(light, dy, dx)
                weight += w
        lights = [total / weight[:, :, None] for total in totals]
    return lights


def smooth(folder, options, full_width):
    """The frame made again from the passes in `folder` with the diffuse (and glossy) light blurred."""
    p = {name: read_pass(folder, name) for name in PASSES}
    image = p["Image"]
    radius = options.get("radius", 8.0) * full_width / 1024.0
    # passes of a 5-tap kernel whose taps double apart reach about 2 (2^levels - 1) pixels each way
    levels = int(round(np.log2(radius / 2.0 + 1.0))) if radius >= 2.0 else 0
    if levels == 0:
        return image
    by = [p["Normal"] / options.get("normal", 0.3),
          np.log(np.maximum(p["Depth"][:, :, :1], 1e-4)) / options.get("depth", 0.03)]
    by_sharp = by
    if options.get("sharp"):
        brightness = read_pass(folder, "Combined_sharp") @ np.array([0.2126, 0.7152, 0.0722])
        # averaged over 3 x 3 pixels, so that the pixels along a soft edge, each grainy, agree and are
        # smoothed along it
        brightness = np.mean([shifted(brightness, dy, dx) for dy in (-1, 0, 1) for dx in (-1, 0, 1)], 0)
        # below a twentieth of the brightest the shade counts as one
        lift = 0.05 * np.percentile(brightness, 99.0) + 1e-6
        by_sharp = by + [np.log(brightness + lift)[:, :, None] / options.get("edge", 0.3)]
    direct, indirect, colour = p["DiffDir"], p["DiffInd"], p["DiffCol"]
    glossy = p["GlossDir"] + p["GlossInd"]
    # the lights blurred alike: the indirect always, the direct and the glossy if asked, apart from the
    # sharp lights' edges
    smooth_light = [indirect]
    edged = ([direct] if options.get("direct") else []) + ([glossy] if options.get("glossy") else [])
    if edged and by_sharp is by:
        smooth_light, edged = smooth_light + edged, []
    smooth_light = a_trous(smooth_light, by, levels)
    edged = a_trous(edged, by_sharp, levels) if edged else []
    blurred = smooth_light + edged
    new_indirect = blurred.pop(0)
    new_direct = blurred.pop(0) if options.get("direct") else direct
    image = image + colour * (new_direct + new_indirect - direct - indirect)
    if options.get("glossy"):
        image = image + p["GlossCol"] * (blurred.pop(0) - glossy)
    return image


def render_to(scene, path, smoothing=None):
    """Renders the scene to `path`; with `smoothing`, the scene's SMOOTH_BOUNCES, through the filter."""
    if smoothing is None:
        bpy.ops.render.render()
        bpy.data.images["Render Result"].save_render(path, scene=scene)
        return
    folder = scene.node_tree.nodes["File Output"].base_path
    for old in os.listdir(folder):
        os.remove(os.path.join(folder, old))
    bpy.ops.render.render()
    start = time.time()
    image = smooth(folder, smoothing, scene.render.resolution_x * scene.render.resolution_percentage / 100.0)
    height, width = image.shape[:2]
    result = bpy.data.images.new("smoothed", width, height, float_buffer=True)
    result.pixels.foreach_set(np.concatenate([image, np.ones((height, width, 1))], 2).astype(np.float32).ravel())
    result.save_render(path, scene=scene)
    bpy.data.images.remove(result)
    print("render_scene: bounced light smoothed in %.1f s" % (time.time() - start))


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
    smoothing = getattr(module, "SMOOTH_BOUNCES", None)
    if smoothing is not None:
        folder = passes_out(scene, smoothing)
    built = time.time() - start
    if args.band < 1.0:
        # the band, on whole rows, a row wider each side than the screen shows
        hidden = int((1.0 - args.band) / 2.0 * args.height) - 1
        scene.render.use_border = True
        scene.render.use_crop_to_border = True
        scene.render.border_min_x, scene.render.border_max_x = 0.0, 1.0
        scene.render.border_min_y = hidden / args.height
        scene.render.border_max_y = (args.height - hidden) / args.height
        render_to(scene, os.path.splitext(args.out)[0] + ".band.png", smoothing)
        scene.render.use_border = False
        # nobody sees these rows: half the size each way, the driver scales them up
        scene.render.resolution_percentage = 50
        scene.cycles.samples = max(4, samples // 16)
        scene.cycles.adaptive_min_samples = min(scene.cycles.adaptive_min_samples, scene.cycles.samples)
    render_to(scene, args.out, smoothing)
    if smoothing is not None:
        shutil.rmtree(folder, ignore_errors=True)
    print("render_scene: %s %dx%d %d samples, built in %.1f s, rendered in %.1f s"
          % (os.path.basename(args.out), args.width, args.height, samples, built, time.time() - start - built))


main()
