"""Wet pebbles at the edge of the sea, close up against a low golden sun: every stone its own colour and
shape, glints on the wet ones, the sea beyond breaking in a lace of foam at their edge."""
import math

import bpy
import numpy as np

import air
import kit
import terrain

SAMPLES = 40
DENOISE = 3.0
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
        # (a film a touch rough: a mirror-sharp one on a thousand far stones sparkles like noise)
        return kit.principled(tree, kit.mix_colour(tree, 0.35, colour, (0.0, 0.0, 0.0, 1.0), "MULTIPLY"), roughness,
                              normal=normal, clearcoat=0.8, clearcoat_roughness=0.12)
    return build


def sand(tree):
    p = kit.coordinates(tree, "Object")
    colour = kit.ramp(tree, kit.noise(tree, p, 60.0, 3.0), [(0.3, (0.10, 0.085, 0.06)), (0.7, (0.2, 0.17, 0.12))])
    return kit.principled(tree, colour, 0.3, normal=kit.bump(tree, kit.noise(tree, p, 120.0, 2.0), 0.2, 0.001))


SEA_LEVEL = -0.13


def beach(x, y):
    """The beach falling gently towards the sea ahead, under the water past its edge, a few metres out."""
    return -0.02 * y - 0.002 * y * y * (y > 0) - 0.01 * np.maximum(y - 5.0, 0.0) ** 2


def sea_material(tree):
    foam = kit.node(tree, "ShaderNodeAttribute", attribute_name="foam").outputs["Fac"]
    p = kit.coordinates(tree, "Object")
    lace = kit.map_range(tree, kit.noise(tree, p, 2.5, 5.0, 0.6), 0.45, 0.7)
    broken = kit.math_node(tree, "MULTIPLY", foam, lace)
    water = kit.principled(tree, (0.01, 0.025, 0.03), 0.06, specular=0.5)
    froth = kit.principled(tree, (0.7, 0.7, 0.66), 0.6)
    return air.hazed(tree, kit.node(tree, "ShaderNodeMixShader", {0: broken, 1: water, 2: froth}).outputs[0], 9000.0)


def build():
    air.sky(*SUN, dust=2.0, clouds=[dict(height=3000.0, scale=1500.0, coverage=0.3, opacity=2.5, stretch=3.0,
                                         heading=0.0, seed=81.0)])
    # the beach under the stones, falling gently towards the sea ahead
    x, y = terrain.view_grid((0.0, -0.6), 0.0, 120.0, 0.05, 5000.0, kit.scaled(700), kit.scaled(500))
    terrain.grid_object("sand", x, y, beach(x, y), kit.material("wet sand", sand))
    # the sea out to the horizon, a low swell breaking in a lace of foam at the water's edge
    x, y = terrain.view_grid((0.0, -0.6), 0.0, 110.0, 3.0, 20000.0, kit.scaled(900), kit.scaled(700))
    waves = (terrain.wave_train(16, 185.0, 15.0, 12.0, 1.5, 0.12, 0.5, seed=171) +
             terrain.wave_train(40, 200.0, 40.0, 1.5, 0.05, 0.04, 1.0, seed=172))
    sea = terrain.washing_sea(x, y, waves, lambda px, py: beach(px, py) - SEA_LEVEL, kit.material("sea", sea_material),
                              (-0.12, 0.02), 0.05)
    sea.location.z = SEA_LEVEL
    # pebbles packed on a jittered grid, bigger and more of them near the camera
    rng = np.random.RandomState(17)
    templates = []
    for i, (dark, light, roughness) in enumerate(KINDS):
        mat = kit.material("pebble %d" % i, pebble_material(dark, light, roughness))
        templates.append(kit.rock("pebble %d" % i, (0, 0, 0), (1.0, 0.75, 0.4), seed=100 + i, lumpiness=0.3,
                                  crags=0.05, grit=0.004, mat=mat))
    cell = 0.055
    gx, gy = np.meshgrid(np.arange(-1.6, 1.6, cell), np.arange(-0.3, 5.2, cell))
    px = (gx + rng.uniform(-0.3, 0.3, gx.shape) * cell).reshape(-1)
    py = (gy + rng.uniform(-0.3, 0.3, gy.shape) * cell).reshape(-1)
    # far out the stones thin out and part of them lie under the water's edge
    keep = rng.uniform(size=px.shape) < 0.92 - 0.12 * np.clip(py - 3.5, 0.0, 1.0) - 0.0 * np.abs(px)
    keep &= np.abs(px) < 0.6 + 0.7 * np.maximum(py, 0.0)
    px, py = px[keep], py[keep]
    size = rng.uniform(0.018, 0.034, len(px)) * (1.0 + 0.15 * py)
    shape = np.stack([size * rng.uniform(0.9, 1.3, len(px)), size * rng.uniform(0.75, 1.0, len(px)),
                      size * rng.uniform(0.6, 1.0, len(px))], 1)
    pz = beach(px, py) + shape[:, 2] * 0.2
    kit.scatter("pebbles", templates, np.stack([px, py, pz], 1), shape, rng.uniform(0, 6.3, len(px)),
                rng.choice(len(KINDS), len(px), p=[0.3, 0.15, 0.12, 0.15, 0.13, 0.15]))
    # gravel in the gaps between them
    gx, gy = np.meshgrid(np.arange(-1.4, 1.4, 0.022), np.arange(-0.3, 3.0, 0.022))
    gx = (gx + rng.uniform(-0.5, 0.5, gx.shape) * 0.022).reshape(-1)
    gy = (gy + rng.uniform(-0.5, 0.5, gy.shape) * 0.022).reshape(-1)
    small = rng.uniform(0.005, 0.011, len(gx))
    kit.scatter("gravel", [kit.rock("grit %d" % i, (0, 0, 0), (1.0, 0.8, 0.5), seed=120 + i, lumpiness=0.3, crags=0.1,
                                    grit=0.0, subdivisions=3, mat=templates[i].active_material) for i in range(3)],
                np.stack([gx, gy, beach(gx, gy) + small * 0.1], 1),
                np.stack([small * 1.2, small, small * 0.6], 1), rng.uniform(0, 6.3, len(gx)), rng.randint(0, 3, len(gx)))
    kit.camera((0.0, -0.6, 0.42), (0.0, 0.9, -0.02), 52.0, focus=0.95, fstop=4.0)
    kit.film(exposure=-2.8)
    kit.bloom(threshold=2.0, size=7, mix=-0.8)
    kit.clean_margins(SAMPLES // 3)
