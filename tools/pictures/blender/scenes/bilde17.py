"""Wet pebbles at the edge of the sea, close up against a low golden sun: every stone its own colour and
shape, glints on the wet ones, the last wash of a wave running back over them."""
import math

import bpy
import numpy as np

import air
import kit
import terrain

SAMPLES = 16
DENOISE = 4.0
SUN = (8.0, 12.0)  # low, ahead of the camera: the wet stones shine against it
# Pebble kinds: (colour dark, colour light, roughness), granite, basalt, quartz, sandstone, flint, slate.
KINDS = [((0.14, 0.12, 0.11), (0.40, 0.35, 0.31), 0.35), ((0.02, 0.02, 0.025), (0.07, 0.07, 0.075), 0.25),
         ((0.62, 0.58, 0.52), (0.85, 0.82, 0.76), 0.3), ((0.35, 0.14, 0.06), (0.55, 0.28, 0.14), 0.45),
         ((0.12, 0.09, 0.05), (0.30, 0.22, 0.12), 0.2), ((0.05, 0.08, 0.10), (0.14, 0.2, 0.24), 0.3)]


def pebble_material(dark, light, roughness):
    def build(tree):
        p = kit.coordinates(tree, "Object")
        colour = kit.ramp(tree, kit.noise(tree, p, 3.0, 6.0, 0.6), [(0.3, dark), (0.7, light)])
        # a few faint quartz veins: bright, sharp ones would read as grain at this size
        veins = kit.node(tree, "ShaderNodeTexWave", {"Vector": p, "Scale": 0.6, "Distortion": 6.0, "Detail": 3.0}).outputs[0]
        colour = kit.mix_colour(tree, kit.map_range(tree, veins, 0.9, 1.0, 0.0, 0.3), colour, (0.8, 0.78, 0.72, 1.0))
        normal = kit.bump(tree, kit.noise(tree, p, 30.0, 4.0), 0.05, 0.002)
        # the stones are wet: a film of water over them, glossy over a darker stone
        return kit.principled(tree, kit.mix_colour(tree, 0.35, colour, (0.0, 0.0, 0.0, 1.0), "MULTIPLY"), roughness,
                              normal=normal, clearcoat=1.0, clearcoat_roughness=0.04)
    return build


def sand(tree):
    p = kit.coordinates(tree, "Object")
    colour = kit.ramp(tree, kit.noise(tree, p, 60.0, 3.0), [(0.3, (0.10, 0.085, 0.06)), (0.7, (0.2, 0.17, 0.12))])
    return kit.principled(tree, colour, 0.3, normal=kit.bump(tree, kit.noise(tree, p, 120.0, 2.0), 0.2, 0.001))


def build():
    air.sky(*SUN, dust=2.0, clouds=[dict(height=3000.0, scale=1500.0, coverage=0.3, opacity=2.5, stretch=3.0,
                                         heading=0.0, seed=81.0)])
    # the beach under the stones, falling gently towards the sea ahead
    x, y = terrain.view_grid((0.0, -0.6), 0.0, 120.0, 0.05, 5000.0, kit.scaled(700), kit.scaled(500))
    terrain.grid_object("sand", x, y, -0.02 * y - 0.002 * y * y * (y > 0), kit.material("wet sand", sand))
    # pebbles packed on a jittered grid, bigger and more of them near the camera
    rng = np.random.RandomState(17)
    templates = []
    for i, (dark, light, roughness) in enumerate(KINDS):
        mat = kit.material("pebble %d" % i, pebble_material(dark, light, roughness))
        templates.append(kit.rock("pebble %d" % i, (0, 0, 0), (1.0, 0.75, 0.4), seed=100 + i, lumpiness=0.3,
                                  crags=0.05, grit=0.004, mat=mat))
    cell = 0.055
    gx, gy = np.meshgrid(np.arange(-1.2, 1.2, cell), np.arange(-0.3, 2.4, cell))
    px = (gx + rng.uniform(-0.3, 0.3, gx.shape) * cell).reshape(-1)
    py = (gy + rng.uniform(-0.3, 0.3, gy.shape) * cell).reshape(-1)
    keep = rng.uniform(size=px.shape) < 0.85
    px, py = px[keep], py[keep]
    size = rng.uniform(0.018, 0.034, len(px)) * (1.0 + 0.15 * py)
    shape = np.stack([size * rng.uniform(0.9, 1.3, len(px)), size * rng.uniform(0.75, 1.0, len(px)),
                      size * rng.uniform(0.6, 1.0, len(px))], 1)
    pz = -0.02 * py + shape[:, 2] * 0.2
    kit.scatter("pebbles", templates, np.stack([px, py, pz], 1), shape, rng.uniform(0, 6.3, len(px)),
                rng.choice(len(KINDS), len(px), p=[0.3, 0.15, 0.12, 0.15, 0.13, 0.15]))
    # the wave running back: a thin sheet of water over the farther stones, its edge frothy
    water = terrain.grid_object("wash", *np.meshgrid(np.linspace(-3.0, 3.0, 2), np.linspace(1.3, 40.0, 2)),
                                np.full((2, 2), -0.025), kit.material("wash", lambda t: kit.clear_water(
                                    t, (0.6, 0.72, 0.66), 1.2, 0.0, ripples=0.08, ripple_scale=6.0)))
    kit.camera((0.0, -0.6, 0.42), (0.0, 0.9, -0.02), 52.0, focus=0.95, fstop=4.0)
    kit.film(exposure=-2.8)
    kit.bloom(threshold=2.0, size=7, mix=-0.8)
