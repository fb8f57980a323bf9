"""A ring of standing stones on a moor as a storm clears: the low sun under the cloud lights the weathered,
lichened stones and the wet grass gold against a dark sky."""
import math

import bpy
import numpy as np

import air
import kit
import terrain

SAMPLES = 16
DENOISE = 4.0
SUN = (4.0, 275.0)  # low in the west, under the edge of the cloud, from the left of the view
LOOK = 352.0
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
    return air.hazed(tree, kit.principled(tree, colour, 0.8, normal=normal), 5000.0, 600.0)


def blades(tree):
    colour = kit.ramp(tree, kit.node(tree, "ShaderNodeHairInfo").outputs["Random"],
                      [(0.0, (0.08, 0.08, 0.02)), (0.6, (0.16, 0.14, 0.05)), (1.0, (0.22, 0.15, 0.07))])
    return kit.principled(tree, colour, 0.6, specular=0.4)


def lichened(tree):
    p = kit.coordinates(tree, "Object")
    stone = kit.ramp(tree, kit.noise(tree, p, 3.0, 8.0, 0.6), [(0.3, (0.13, 0.13, 0.12)), (0.7, (0.27, 0.26, 0.24))])
    spots = kit.node(tree, "ShaderNodeTexVoronoi", {"Vector": p, "Scale": 9.0}).outputs["Distance"]
    lichen = kit.math_node(tree, "MULTIPLY", kit.map_range(tree, spots, 0.45, 0.3),
                           kit.map_range(tree, kit.noise(tree, p, 1.2, 4.0), 0.45, 0.6))
    colour = kit.mix_colour(tree, lichen, stone, (0.42, 0.42, 0.30, 1.0))
    moss = kit.map_range(tree, kit.node(tree, "ShaderNodeSeparateXYZ", {0: kit.coordinates(tree, "Generated")}).outputs["Z"],
                         0.12, 0.0)
    colour = kit.mix_colour(tree, moss, colour, (0.05, 0.07, 0.02, 1.0))
    normal = kit.bump(tree, kit.noise(tree, p, 10.0, 8.0, 0.65), 0.5, 0.03)
    return air.hazed(tree, kit.principled(tree, colour, 0.75, normal=normal), 5000.0, 600.0)


def build():
    air.sky(*SUN, dust=2.0, clouds=[
        dict(height=1400.0, scale=1600.0, coverage=0.75, opacity=5.0, stretch=2.0, heading=60.0, seed=31.0,
             shadow=1.2, ambient=0.35),
        dict(height=6000.0, scale=4000.0, coverage=0.5, opacity=2.0, stretch=4.0, heading=20.0, seed=32.0)])
    x, y = terrain.view_grid((0.0, 0.0), LOOK, 110.0, 0.5, 20000.0, kit.scaled(1300), kit.scaled(1000))
    terrain.grid_object("moor", x, y, moor(x, y), kit.material("ground", ground))
    # grass on the ground in front, real blades where the camera can see them
    px, py = np.meshgrid(np.linspace(-25.0, 25.0, kit.scaled(200, 10)), np.linspace(1.0, 60.0, kit.scaled(240, 10)))
    patch = terrain.grid_object("grass patch", px, py, moor(px, py) + 0.01)
    patch.data.materials.append(kit.material("blades", blades))
    grass = patch.modifiers.new("grass", "PARTICLE_SYSTEM").particle_system.settings
    grass.type = "HAIR"
    grass.count = kit.scaled(600000, 2000)
    grass.hair_length = 0.22
    grass.use_advanced_hair = True
    grass.brownian_factor = 0.04
    grass.factor_random = 0.3
    grass.normal_factor = 1.0
    grass.render_type = "PATH"
    grass.root_radius = 0.0025
    grass.tip_radius = 0.0
    grass.length_random = 0.7
    grass.display_step = 2
    grass.render_step = 3
    grass.material = 1
    ground_face = kit.material("under grass", ground)
    patch.data.materials.append(ground_face)
    patch.data.polygons.foreach_set("material_index", [1] * len(patch.data.polygons))
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
        kit.rock("stone %d" % i, (sx, sy, float(moor(np.array([sx]), np.array([sy]))[0]) + h * 0.4),
                 (w, w * 0.38, h * 0.5), seed=i + 3, lumpiness=0.1, crags=0.3, grit=0.04, mat=mat, block=True,
                 rotation=(rng.uniform(-0.08, 0.08), rng.uniform(-0.08, 0.08), a + rng.uniform(-0.3, 0.3)))
    eye_z = float(moor(np.array([0.0]), np.array([0.0]))[0]) + 1.2
    target = kit.direction(4.0, LOOK)
    kit.camera((0.0, 0.0, eye_z), (target.x, target.y, eye_z + target.z), 60.0)
    kit.film(exposure=-2.0)
