"""Red sandstone buttes in the late afternoon: sheer banded cliffs on skirts of scree, a pale caprock, desert
scrub on the flat in front, fair-weather clouds in a deep sky."""
import math

import numpy as np

import air
import kit
import terrain

SAMPLES = 32
DENOISE = 0  # 32 samples hold the grain down on their own here
SUN = (24.0, 235.0)  # late afternoon from the south-west, behind the camera's right shoulder
LOOK = 12.0
# Buttes: (x, y, radius of the caprock, height of the cliff top), metres.
BUTTES = [(-60.0, 1050.0, 300.0, 250.0), (760.0, 1700.0, 150.0, 200.0), (1500.0, 4200.0, 420.0, 260.0),
          (-1700.0, 4800.0, 600.0, 280.0), (2600.0, 7800.0, 900.0, 300.0), (-3000.0, 2600.0, 350.0, 220.0)]
PATCH = (200.0, 1400.0, 2200.0, 1500.0)  # centre x, y, size x, y of the finely meshed part


def floor(x, y):
    return 6.0 * terrain.fbm(x / 400.0, y / 400.0, 5, seed=71) + 1.5 * terrain.fbm(x / 40.0, y / 40.0, 4, seed=72)


def buttes(x, y):
    z = floor(x, y)
    for i, (bx, by, radius, top) in enumerate(BUTTES):
        angle = np.arctan2(y - by, x - bx)
        edge = radius * (1.0 + 0.22 * terrain.fbm(np.cos(angle) * 1.5 + i * 3.1, np.sin(angle) * 1.5, 4, seed=73 + i)
                         + 0.06 * terrain.fbm(x / 25.0, y / 25.0, 3, seed=80 + i))
        d = np.hypot(x - bx, y - by) / edge  # 1 at the cliff's foot line
        # scree skirts rising to the cliff foot, the cliff in ledges, a nearly flat caprock
        skirt = 0.35 * top * np.clip(1.0 - (d - 1.0) / 0.9, 0.0, 1.0) ** 1.8
        cliff = top * (0.35 + 0.65 * terrain.smoothstep(1.0, 0.9, d))
        # the cliff breaks in ledges where harder beds stand out
        step = cliff / 24.0
        cliff = np.where(d < 1.0, 24.0 * (np.floor(step) + terrain.smoothstep(0.0, 0.55, step - np.floor(step))), 0.0)
        gullies = 14.0 * terrain.ridged(x / 60.0, y / 60.0, 4, seed=90 + i) * terrain.smoothstep(1.4, 1.0, d)
        z = np.maximum(z, np.maximum(skirt, cliff) - gullies * terrain.smoothstep(0.95, 1.1, d) + floor(x, y))
    return z


def sandstone(tree):
    p = kit.coordinates(tree, "Object")
    z = kit.node(tree, "ShaderNodeSeparateXYZ", {0: p}).outputs["Z"]
    wobbly = kit.math_node(tree, "ADD", z, kit.math_node(tree, "MULTIPLY", kit.noise(tree, p, 0.01, 3.0), 12.0))
    bands = kit.node(tree, "ShaderNodeTexWave", {"Vector": kit.node(tree, "ShaderNodeCombineXYZ",
                                                                    {2: wobbly}).outputs[0],
                                                "Scale": 0.12, "Distortion": 2.0, "Detail": 4.0},
                     bands_direction="Z").outputs["Fac"]
    colour = kit.ramp(tree, bands, [(0.2, (0.36, 0.12, 0.05)), (0.5, (0.50, 0.20, 0.09)), (0.8, (0.42, 0.17, 0.08))])
    # a pale cap over the top beds, dark varnish running down the cliffs in streaks
    cap = kit.map_range(tree, wobbly, 190.0, 205.0)
    colour = kit.mix_colour(tree, kit.math_node(tree, "MULTIPLY", cap, 0.8), colour, (0.55, 0.45, 0.34, 1.0))
    streaks = kit.node(tree, "ShaderNodeMapping", {"Vector": p, "Scale": (0.4, 0.4, 0.02)}).outputs[0]
    varnish = kit.map_range(tree, kit.noise(tree, streaks, 1.0, 5.0, 0.6), 0.55, 0.75, 0.0, 0.35)
    colour = kit.mix_colour(tree, varnish, colour, (0.09, 0.05, 0.035, 1.0))
    up = kit.node(tree, "ShaderNodeSeparateXYZ", {0: kit.node(tree, "ShaderNodeNewGeometry").outputs["Normal"]}).outputs["Z"]
    # the flat ground: pale sand, with scrubby patches
    flat = kit.map_range(tree, up, 0.86, 0.95)
    sand = kit.ramp(tree, kit.noise(tree, p, 0.05, 5.0), [(0.35, (0.40, 0.22, 0.12)), (0.65, (0.52, 0.32, 0.18))])
    colour = kit.mix_colour(tree, kit.math_node(tree, "MULTIPLY", flat, kit.map_range(tree, z, 60.0, 20.0)), colour, sand)
    normal = kit.bump(tree, kit.math_node(tree, "ADD", kit.noise(tree, p, 0.3, 8.0, 0.65), bands), 0.6, 1.0)
    return air.hazed(tree, kit.principled(tree, colour, 0.85, normal=normal), 45000.0, 3000.0, tint=(1.0, 0.97, 0.95))


def scrub(tree):
    colour = kit.ramp(tree, kit.noise(tree, kit.coordinates(tree, "Object"), 6.0, 3.0),
                      [(0.3, (0.04, 0.045, 0.03)), (0.7, (0.10, 0.10, 0.07))])
    return air.hazed(tree, kit.principled(tree, colour, 0.9), 45000.0, 3000.0)


def build():
    air.sky(*SUN, dust=0.5, ozone=1.3, clouds=[dict(height=2200.0, scale=900.0, coverage=0.38, opacity=6.0,
                                                    stretch=1.4, heading=20.0, seed=13.0, shadow=1.0)])
    mat = kit.material("sandstone", sandstone)
    cx, cy, sx, sy = PATCH
    px, py = np.meshgrid(np.linspace(cx - sx / 2, cx + sx / 2, kit.scaled(1300)),
                         np.linspace(cy - sy / 2, cy + sy / 2, kit.scaled(800)))
    terrain.grid_object("buttes", px, py, buttes(px, py), mat)
    x, y = terrain.view_grid((0.0, 0.0), LOOK, 100.0, 1.0, 40000.0, kit.scaled(1600), kit.scaled(1000))
    outside = (np.abs(x - cx) > sx / 2 - 5.0) | (np.abs(y - cy) > sy / 2 - 5.0)
    terrain.grid_object("desert", x, y, buttes(x, y), mat, keep=outside)
    # scrub and stones over the flat in front
    rng = np.random.RandomState(11)
    count = kit.scaled(1500, 60)
    r = 5.0 * np.exp(rng.uniform(0.0, math.log(120.0), count))
    a = np.radians(LOOK + rng.uniform(-45.0, 45.0, count))
    bx, by = r * np.sin(a), r * np.cos(a)
    bush = kit.material("scrub", scrub)
    templates = [kit.rock("bush %d" % i, (0, 0, 0), (1.0, 0.8, 0.55), seed=40 + i, lumpiness=0.9, crags=0.6,
                          grit=0.25, subdivisions=3, mat=bush) for i in range(3)]
    kit.scatter("scrub", templates, np.stack([bx, by, buttes(bx, by)], 1), rng.uniform(0.12, 0.45, count),
                rng.uniform(0, 6.3, count), rng.randint(0, 3, count))
    eye_z = float(buttes(np.array([0.0]), np.array([0.0]))[0]) + 1.7
    target = kit.direction(3.0, LOOK)
    kit.camera((0.0, 0.0, eye_z), (target.x, target.y, eye_z + target.z), 58.0)
    kit.film(exposure=-3.6)
