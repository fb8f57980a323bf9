"""A tropical cove at midday: clear water over white sand turning from pale green to deep blue, granite
boulders worn round on the beach and in the shallows, a wooded headland beyond."""
import math

import numpy as np

import air
import kit
import terrain

SAMPLES = 16
SUN = (58.0, 150.0)  # high, behind the camera's left shoulder
LOOK = 4.0
# The waterline as (x, y) points, land to the right of it looking along it.
SHORE = np.array([(-60.0, -40.0), (-30.0, 10.0), (-22.0, 60.0), (-8.0, 130.0), (40.0, 230.0), (140.0, 330.0),
                  (300.0, 420.0), (520.0, 480.0)])
EYE = (-25.5, 18.0)  # on the wet sand, a couple of metres from the water
BOULDERS = [(-31.0, 31.0, 1.6), (-27.5, 38.0, 0.9), (-38.0, 52.0, 2.8), (-33.0, 58.0, 1.4), (-16.0, 44.0, 3.6),
            (-11.0, 52.0, 2.2), (-30.0, 95.0, 4.5), (-24.0, 104.0, 2.6), (-8.0, 88.0, 5.5), (-45.0, 120.0, 3.0)]


def seabed(x, y):
    """The beach rising gently to the right of the waterline, the bottom shelving to the left of it."""
    distance, side, _ = terrain.nearest_on_path(x + 6.0 * terrain.fbm(x / 30.0, y / 30.0, 3, seed=61), y,
                                                np.column_stack([SHORE, np.zeros(len(SHORE))]))
    inland = np.where(side > 0.0, distance, -distance)
    beach = 0.045 * inland + 0.35 * terrain.smoothstep(10.0, 40.0, inland) * inland * 0.1
    sea = -0.05 * (-inland) - 9.0 * terrain.smoothstep(40.0, 250.0, -inland)
    z = np.where(inland > 0.0, beach, sea)
    # sand ripples under the water, and a hill rising behind the beach
    ripples = 0.04 * np.sin(x * 2.1 + 2.0 * terrain.fbm(x / 5.0, y / 5.0, 2, seed=62)) * terrain.smoothstep(0.0, -8.0, inland)
    hill = 120.0 * terrain.smoothstep(60.0, 300.0, inland) * (0.6 + 0.4 * terrain.fbm(x / 200.0, y / 200.0, 4, seed=63))
    return z + ripples + hill + 0.2 * terrain.fbm(x / 12.0, y / 12.0, 4, seed=64)


def ground(tree):
    p = kit.coordinates(tree, "Object")
    z = kit.node(tree, "ShaderNodeSeparateXYZ", {0: p}).outputs["Z"]
    speck = kit.noise(tree, p, 40.0, 2.0)
    sand = kit.ramp(tree, speck, [(0.3, (0.50, 0.46, 0.39)), (0.7, (0.63, 0.59, 0.51))])
    # patches of weed on the bottom, darker out in the bay
    weed = kit.math_node(tree, "MULTIPLY", kit.map_range(tree, kit.noise(tree, p, 0.05, 5.0), 0.55, 0.62),
                         kit.map_range(tree, z, -2.0, -4.0))
    colour = kit.mix_colour(tree, weed, sand, (0.07, 0.08, 0.05, 1.0))
    # forest on the hill
    forest = kit.map_range(tree, z, 1.5, 4.0)
    canopy = kit.ramp(tree, kit.noise(tree, p, 0.3, 6.0), [(0.3, (0.02, 0.05, 0.015)), (0.7, (0.06, 0.11, 0.03))])
    colour = kit.mix_colour(tree, forest, colour, canopy)
    wet = kit.map_range(tree, z, 0.35, 0.0)
    colour = kit.mix_colour(tree, kit.math_node(tree, "MULTIPLY", wet, 0.5), colour, (0.0, 0.0, 0.0, 1.0))
    normal = kit.bump(tree, kit.math_node(tree, "ADD", kit.noise(tree, p, 1.5, 4.0),
                                          kit.math_node(tree, "MULTIPLY", forest, kit.noise(tree, p, 0.5, 8.0))),
                      0.3, 0.2)
    return air.hazed(tree, kit.principled(tree, colour, kit.map_range(tree, wet, 0.0, 1.0, 0.9, 0.4), normal=normal),
                     12000.0, 800.0)


def granite(tree):
    p = kit.coordinates(tree, "Object")
    speck = kit.node(tree, "ShaderNodeTexVoronoi", {"Vector": p, "Scale": 30.0}).outputs["Distance"]
    colour = kit.ramp(tree, kit.noise(tree, p, 3.0, 6.0),
                      [(0.3, (0.09, 0.075, 0.07)), (0.6, (0.2, 0.16, 0.14)), (0.75, (0.15, 0.12, 0.11))])
    colour = kit.mix_colour(tree, kit.map_range(tree, speck, 0.0, 0.3, 0.3, 0.0), colour, (0.06, 0.05, 0.05, 1.0))
    streaks = kit.node(tree, "ShaderNodeMapping", {"Vector": p, "Scale": (4.0, 4.0, 0.5)}).outputs[0]
    colour = kit.mix_colour(tree, kit.map_range(tree, kit.noise(tree, streaks, 1.0, 4.0), 0.5, 0.8, 0.0, 0.6), colour,
                            (0.12, 0.10, 0.09, 1.0))
    normal = kit.bump(tree, kit.noise(tree, p, 6.0, 6.0), 0.2, 0.05)
    return kit.principled(tree, colour, 0.55, normal=normal)


def build():
    air.sky(*SUN, dust=0.5, ozone=1.4, clouds=[dict(height=1500.0, scale=700.0, coverage=0.35, opacity=5.0,
                                                    stretch=1.3, heading=0.0, seed=6.0, shadow=0.9)])
    eye = EYE
    x, y = terrain.view_grid(eye, LOOK, 110.0, 0.5, 20000.0, kit.scaled(1500), kit.scaled(1000))
    z = seabed(x, y)
    terrain.grid_object("beach", x, y, z, kit.material("ground", ground))
    waves = terrain.wave_train(40, 250.0, 20.0, 14.0, 0.15, 0.25, 0.7, seed=8)
    sx, sy, sz = terrain.sea(x, y, waves)
    sea = terrain.grid_object("sea", sx, sy, sz, kit.material("water", lambda t: water(t)))
    depth = -seabed(sx, sy)
    foam = terrain.smoothstep(0.07, 0.01, depth) * terrain.smoothstep(-0.05, 0.0, depth)
    sea.data.attributes.new("foam", "FLOAT", "POINT").data.foreach_set("value", foam.reshape(-1).astype(np.float32))
    stone = kit.material("granite", granite)
    for i, (bx, by, r) in enumerate(BOULDERS):
        bz = float(seabed(np.array([bx]), np.array([by]))[0])
        kit.rock("boulder %d" % i, (bx, by, bz + r * 0.3), (r * 1.5, r * 1.2, r), seed=i + 20, lumpiness=0.3,
                 crags=0.22, grit=0.02, mat=stone, rotation=(0.0, 0.2, i * 0.9))
    eye_z = float(seabed(np.array([eye[0]]), np.array([eye[1]]))[0]) + 9.0  # on a boulder's back
    target = kit.direction(-11.0, LOOK)
    kit.camera((eye[0], eye[1], eye_z), (eye[0] + target.x, eye[1] + target.y, eye_z + target.z), 66.0)
    kit.film(exposure=-4.4)


def water(tree):
    surface, volume = kit.clear_water(tree, (0.2, 0.72, 0.75), 0.9, 0.01)
    foam = kit.node(tree, "ShaderNodeAttribute", attribute_name="foam").outputs["Fac"]
    broken = kit.math_node(tree, "MULTIPLY", foam, kit.map_range(
        tree, kit.noise(tree, kit.coordinates(tree, "Object"), 1.2, 6.0, 0.6), 0.35, 0.6))
    froth = kit.principled(tree, (0.85, 0.86, 0.84), 0.7)
    return kit.node(tree, "ShaderNodeMixShader", {0: broken, 1: surface, 2: froth}).outputs[0], volume
