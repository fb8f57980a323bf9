"""Renders one scene script to a picture file; run inside Blender by render_pictures.py:

    blender -b --factory-startup --python-exit-code 3 -P render_scene.py -- SCENE.py OUT WIDTH HEIGHT [SAMPLES]

A scene script defines SAMPLES (its sample count at full size) and build(), which makes the scene in
the empty file: camera, sky, objects, film. SAMPLES 0 or absent here keeps the script's own count.
"""
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


def load_scene(path):
    spec = importlib.util.spec_from_file_location(os.path.splitext(os.path.basename(path))[0], path)
    module = importlib.util.module_from_spec(spec)
    spec.loader.exec_module(module)
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
    cycles.adaptive_threshold = 0.004
    cycles.adaptive_min_samples = min(64, samples)
    cycles.seed = 7
    # rare bright paths (a sun glint seen in a diffuse bounce) make lone white pixels: cap them
    cycles.sample_clamp_indirect = 8.0
    cycles.caustics_reflective = False
    cycles.caustics_refractive = False
    cycles.diffuse_bounces = 3
    cycles.glossy_bounces = 4
    cycles.transmission_bounces = 8
    cycles.volume_bounces = 1
    cycles.transparent_max_bounces = 8
    cycles.max_bounces = 12
    cycles.filter_width = 1.5
    scene.render.dither_intensity = 0.0
    scene.render.use_compositing = True


def main():
    args = sys.argv[sys.argv.index("--") + 1:] if "--" in sys.argv else []
    if len(args) not in (4, 5):
        fail("usage: -- SCENE.py OUT WIDTH HEIGHT [SAMPLES]")
    scene_path, out = args[0], args[1]
    width, height = int(args[2]), int(args[3])
    kit.detail = min(1.0, max(width, height) / 1024.0)
    bpy.ops.wm.read_factory_settings(use_empty=True)
    start = time.time()
    module = load_scene(scene_path)
    module.build()
    scene = bpy.context.scene
    samples = int(args[4]) if len(args) == 5 and int(args[4]) > 0 else module.SAMPLES
    settings(scene, width, height, samples)
    if scene.camera is None:
        fail(scene_path + " made no camera")
    built = time.time() - start
    bpy.ops.render.render()
    image = bpy.data.images["Render Result"]
    settings_out = scene.render.image_settings
    settings_out.file_format = "JPEG" if out.lower().endswith(".jpg") else "PNG"
    settings_out.color_mode = "RGB"
    settings_out.quality = 90
    image.save_render(out, scene=scene)
    print("render_scene: %s %dx%d %d samples, built in %.1f s, rendered in %.1f s"
          % (os.path.basename(out), width, height, samples, built, time.time() - start - built))


main()
