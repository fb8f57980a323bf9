"""A black sand beach on a northern evening: the low sun breaking under a lid of cloud lights the basalt
columns stepping down from the cliff, surf running up the dark sand, sea stacks off the point in the spray."""
import math

import bpy
import numpy as np

import air
import kit
import terrain

SAMPLES = 16
DENOISE = 3.0
SUN = (6.0, 195.0)  # low in the south, under the edge of the cloud, raking across the columns
LOOK = 262.0
# The waterline as (ahead, right) from the camera: sand to its right.
SHORE = np.array([(-40.0, -30.0), (20.0, -12.0), (80.0, -2.0), (200.0, 10.0), (400.0, 20.0), (800.0, 60.0)])


def beach(x, y):
    a, b = terrain.to_view(x, y, LOOK)
    distance, side, _ = terrain.nearest_on_path(a, b + 3.0 * terrain.fbm(a / 25.0, b / 25.0, 3, seed=131),
                                                np.column_stack([SHORE, np.zeros(len(SHORE))]))
    inland = np.where(side < 0.0, distance, -distance)
    sand = np.where(inland > 0.0, 0.06 * inland, 0.03 * inland - 4.0 * terrain.smoothstep(0.0, -80.0, inland))
    # the cliff behind the beach, to the right
    cliff = 30.0 * terrain.smoothstep(40.0, 60.0, b - 0.02 * a + 4.0 * terrain.fbm(a / 30.0, 0.0, 4, seed=132))
    return sand + cliff * terrain.smoothstep(-10.0, 30.0, a) + 0.15 * terrain.fbm(a / 3.0, b / 3.0, 3, seed=133)


def black_sand(tree):
    p = kit.coordinates(tree, "Object")
    z = kit.node(tree, "ShaderNodeSeparateXYZ", {0: p}).outputs["Z"]
    wet = kit.map_range(tree, z, 0.9, 0.2)
    colour = kit.ramp(tree, kit.noise(tree, p, 30.0, 3.0), [(0.3, (0.018, 0.018, 0.02)), (0.7, (0.04, 0.04, 0.042))])
    return air.hazed(tree, kit.principled(tree, colour, kit.map_range(tree, wet, 0.0, 1.0, 0.8, 0.08),
                                          normal=kit.bump(tree, kit.noise(tree, p, 8.0, 4.0), 0.15, 0.02)),
                     2500.0, 300.0)


def basalt(tree):
    p = kit.coordinates(tree, "Object")
    colour = kit.ramp(tree, kit.noise(tree, p, 6.0, 6.0), [(0.3, (0.025, 0.025, 0.027)), (0.7, (0.07, 0.068, 0.065))])
    moss = kit.map_range(tree, kit.node(tree, "ShaderNodeSeparateXYZ", {0: kit.node(
        tree, "ShaderNodeNewGeometry").outputs["Normal"]}).outputs["Z"], 0.8, 0.95)
    colour = kit.mix_colour(tree, kit.math_node(tree, "MULTIPLY", moss, kit.map_range(
        tree, kit.noise(tree, kit.coordinates(tree, "Generated"), 1.5, 3.0), 0.5, 0.6)), colour, (0.05, 0.06, 0.03, 1.0))
    return air.hazed(tree, kit.principled(tree, colour, 0.45, normal=kit.bump(tree, kit.noise(tree, p, 20.0, 6.0), 0.3,
                                                                             0.01)), 2500.0, 300.0)


def sea_material(tree):
    foam = kit.node(tree, "ShaderNodeAttribute", attribute_name="foam").outputs["Fac"]
    streaks = kit.node(tree, "ShaderNodeMapping", {"Vector": kit.coordinates(tree, "Object"),
                                                   "Scale": (1.0, 3.0, 1.0)}).outputs[0]
    broken = kit.math_node(tree, "MULTIPLY", foam, kit.map_range(tree, kit.noise(tree, streaks, 0.4, 8.0, 0.65), 0.35, 0.6))
    water = kit.principled(tree, (0.01, 0.018, 0.02), 0.06, specular=0.5)
    froth = kit.principled(tree, (0.8, 0.82, 0.82), 0.5)
    return kit.node(tree, "ShaderNodeMixShader", {0: broken, 1: water, 2: froth}).outputs[0]


def build():
    air.sky(*SUN, dust=3.0, clouds=[
        dict(height=900.0, scale=1400.0, coverage=0.7, opacity=4.0, stretch=2.5, heading=70.0, seed=51.0,
             shadow=0.9, ambient=0.8),
        dict(height=3000.0, scale=3000.0, coverage=0.6, opacity=3.0, stretch=3.0, heading=40.0, seed=52.0,
             shadow=0.5, ambient=0.9)], sun_strength=0.8)
    x, y = terrain.view_grid((0.0, 0.0), LOOK, 110.0, 0.5, 20000.0, kit.scaled(1400), kit.scaled(1000))
    terrain.grid_object("beach", x, y, beach(x, y), kit.material("black sand", black_sand))
    waves = terrain.wave_train(48, LOOK - 130.0, 15.0, 60.0, 0.3, 1.4, 0.9, seed=13)
    sx, sy, sz = terrain.sea(x, y, waves)
    sea = terrain.grid_object("sea", sx, sy, sz - 0.2, kit.material("sea", sea_material))
    depth = -beach(sx, sy)
    foam = terrain.smoothstep(3.0, 0.3, depth) * np.clip(0.5 + sz, 0.0, 1.0) + terrain.smoothstep(0.4, 0.0, depth)
    sea.data.attributes.new("foam", "FLOAT", "POINT").data.foreach_set("value", np.clip(foam, 0, 1).reshape(-1).astype(
        np.float32))
    # basalt columns: hexagonal prisms on a hexagonal grid, stepping up from the sand into the cliff
    column = kit.cone("column", (0.0, 0.0, 0.0), 1.0, 1.0, 1.0, 6, kit.material("basalt", basalt), smooth=False)
    column.data.transform(__import__("mathutils").Matrix.Translation((0.0, 0.0, 0.5)))
    column.modifiers.new("edge", "BEVEL").width = 0.04
    rng = np.random.RandomState(13)
    pitch = 0.62
    i, j = np.meshgrid(np.arange(150), np.arange(60))
    a = (6.0 + i * pitch * 0.866).reshape(-1)
    b = (14.0 + j * pitch + (i % 2) * pitch / 2).reshape(-1)
    rise = b - 16.0 - 0.02 * a + 3.0 * terrain.fbm(a / 20.0, np.zeros_like(a), 3, seed=134)
    # the columns climb in steps from the sand to a wall of organ pipes, their tops broken unevenly
    top = 24.0 + 4.0 * terrain.fbm(a / 8.0, b / 8.0, 3, seed=135)
    steps = rng.uniform(-1.0, 1.0, len(a)) * np.clip(rise * 0.3, 0.2, 2.5)
    cols = np.stack([a, b, np.clip(np.minimum(np.clip(rise * 1.6, 0.3, 40.0), top) + steps, 0.2, 40.0)], 1)
    wx, wy = terrain.from_view(cols[:, 0], cols[:, 1], LOOK)
    base = beach(wx, wy) - 0.8
    base = np.minimum(base, 1.0)
    width = rng.uniform(0.32, 0.36, len(cols))
    kit.scatter("columns", [column], np.stack([wx, wy, base], 1),
                np.stack([width, width, cols[:, 2] + 0.8], 1), rng.uniform(-0.05, 0.05, len(cols)))
    # sea stacks off the point
    stack_mat = kit.material("stack basalt", basalt)
    for i, (a, b, w, h) in enumerate([(420.0, -90.0, 14.0, 55.0), (470.0, -60.0, 8.0, 38.0), (520.0, -105.0, 6.0, 22.0)]):
        sx0, sy0 = terrain.from_view(a, b, LOOK)
        kit.rock("stack %d" % i, (sx0, sy0, h * 0.35), (w, w * 0.8, h * 0.7), seed=90 + i, lumpiness=0.3, crags=0.4,
                 mat=stack_mat)
    target = kit.direction(-2.0, LOOK + 4.0)
    eye_z = float(beach(np.array([0.0]), np.array([0.0]))[0]) + 1.6
    kit.camera((0.0, 0.0, eye_z), (target.x, target.y, eye_z + target.z), 66.0)
    kit.film(exposure=-1.6)
