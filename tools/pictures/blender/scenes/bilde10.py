"""A ring of standing stones on a moor as a storm clears: the low sun under the cloud lights the weathered,
lichened stones and the wet grass gold against a dark sky."""
import math

import numpy as np

import air
import kit
import terrain

SAMPLES = 16
DENOISE = 3.0
SUN = (4.0, 275.0)  # low in the west, under the edge of the cloud, from the left of the view
LOOK = 0.0
RING = (0.0, 26.0, 12.0)  # centre x, y and radius of the ring of stones


def moor(x, y):
    hills = 35.0 * terrain.fbm(x / 900.0, y / 900.0, 4, seed=101) + 60.0 * terrain.smoothstep(400.0, 2500.0, np.hypot(x, y))
    return hills + 0.6 * terrain.fbm(x / 18.0, y / 18.0, 5, seed=102)


def ground(tree):
    p = kit.coordinates(tree, "Object")
    patches = kit.noise(tree, p, 0.08, 6.0, 0.6)
    grass = kit.ramp(tree, kit.noise(tree, p, 1.5, 4.0), [(0.3, (0.06, 0.07, 0.02)), (0.7, (0.13, 0.12, 0.04))])
    heather = kit.ramp(tree, kit.noise(tree, p, 2.0, 4.0), [(0.3, (0.06, 0.035, 0.035)), (0.7, (0.12, 0.07, 0.06))])
    colour = kit.mix_colour(tree, kit.map_range(tree, patches, 0.45, 0.6), grass, heather)
    normal = kit.bump(tree, kit.noise(tree, p, 6.0, 6.0, 0.7), 0.6, 0.05)
    # the turf's tufts, a few centimetres across
    normal = kit.bump(tree, kit.noise(tree, p, 30.0, 3.0, 0.6, 1.5), 0.35, 0.02, normal)
    return air.hazed(tree, kit.principled(tree, colour, 0.85, normal=normal, specular=0.2), 5000.0, 600.0)


def lichened(tree):
    # in metres of the world, so a tall stone's grain is not stretched with it, and no two stones alike
    p = kit.node(tree, "ShaderNodeNewGeometry").outputs["Position"]
    grain = kit.noise(tree, p, 14.0, 6.0, 0.6)
    stone = kit.ramp(tree, kit.noise(tree, p, 1.3, 6.0, 0.55), [(0.35, (0.15, 0.145, 0.13)), (0.65, (0.24, 0.23, 0.21))])
    stone = kit.mix_colour(tree, 0.5, stone, kit.ramp(tree, grain, [(0.3, (0.8, 0.8, 0.8)), (0.7, (1.1, 1.1, 1.1))]),
                           "MULTIPLY")
    # lichen in small pale rosettes, crowded in some patches and missing from others
    spots = kit.node(tree, "ShaderNodeTexVoronoi", {"Vector": p, "Scale": 11.0, "Randomness": 1.0}).outputs["Distance"]
    lichen = kit.math_node(tree, "MULTIPLY", kit.map_range(tree, spots, 0.42, 0.22),
                           kit.map_range(tree, kit.noise(tree, p, 0.9, 4.0), 0.47, 0.62))
    colour = kit.mix_colour(tree, kit.math_node(tree, "MULTIPLY", lichen, 0.8), stone, (0.46, 0.47, 0.36, 1.0))
    moss = kit.map_range(tree, kit.node(tree, "ShaderNodeSeparateXYZ", {0: kit.coordinates(tree, "Generated")}).outputs["Z"],
                         0.12, 0.0)
    colour = kit.mix_colour(tree, moss, colour, (0.05, 0.07, 0.02, 1.0))
    normal = kit.bump(tree, kit.noise(tree, p, 6.0, 6.0, 0.6), 0.35, 0.03)
    normal = kit.bump(tree, grain, 0.15, 0.004, normal)
    return air.hazed(tree, kit.principled(tree, colour, 0.75, normal=normal), 5000.0, 600.0)


def build():
    air.sky(*SUN, dust=2.0, clouds=[
        dict(height=1400.0, scale=1600.0, coverage=0.75, opacity=5.0, stretch=2.0, heading=60.0, seed=31.0,
             shadow=1.2, ambient=0.35),
        dict(height=6000.0, scale=4000.0, coverage=0.5, opacity=2.0, stretch=4.0, heading=20.0, seed=32.0)])
    x, y = terrain.view_grid((0.0, 0.0), LOOK, 110.0, 0.5, 20000.0, kit.scaled(1300), kit.scaled(1000))
    terrain.grid_object("moor", x, y, moor(x, y), kit.material("ground", ground))
    # the stones: each its own shape, leaning a little, the gap to the west where the sun comes in
    mat = kit.material("lichened stone", lichened)
    cx, cy, radius = RING
    rng = np.random.RandomState(10)
    for i in range(13):
        a = 2.0 * math.pi * i / 13 + rng.uniform(-0.1, 0.1)
        if 3.9 < a < 4.7:
            continue
        sx, sy = cx + radius * math.sin(a), cy + radius * math.cos(a)
        # slabs, not boulders: tall, broad and thin, their edges broken
        h = rng.uniform(2.2, 4.4)
        w = rng.uniform(0.7, 1.3)
        stone = kit.rock("stone %d" % i, (sx, sy, float(moor(np.array([sx]), np.array([sy]))[0]) + h * 0.4),
                         (w, w * 0.38, h * 0.5), seed=i + 3, lumpiness=0.2, crags=0.35, grit=0.03, mat=mat,
                         block=True, rotation=(rng.uniform(-0.08, 0.08), rng.uniform(-0.08, 0.08),
                                               a + rng.uniform(-0.3, 0.3)))
        # weathered to a blunter, narrower top
        taper = stone.modifiers.new("taper", "SIMPLE_DEFORM")
        taper.deform_method = "TAPER"
        taper.deform_axis = "Z"
        taper.factor = -0.15 - 0.15 * ((i * 0.618) % 1.0)
    # one fallen long ago, half sunk in the turf near the camera
    fx, fy = -1.8, 8.5
    kit.rock("fallen stone", (fx, fy, float(moor(np.array([fx]), np.array([fy]))[0]) + 0.05), (1.25, 0.5, 0.3),
             seed=40, lumpiness=0.2, crags=0.35, grit=0.03, mat=mat, block=True, rotation=(0.05, -0.04, 1.2))
    eye_z = float(moor(np.array([0.0]), np.array([0.0]))[0]) + 1.2
    target = kit.direction(6.0, LOOK)
    kit.camera((0.0, 0.0, eye_z), (target.x, target.y, eye_z + target.z), 64.0)
    kit.film(exposure=-2.0)
