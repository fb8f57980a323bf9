"""A tropical cove at midday: clear water over white sand turning from pale green to deep blue, granite
boulders worn round on the beach and in the shallows, a wooded headland beyond."""
import math

import numpy as np

import air
import kit
import terrain

SAMPLES = 28
DENOISE = 3.5
# the sky, the sand and still water settle in a few samples: let adaptive sampling stop there early
CYCLES = {"adaptive_min_samples": 10}
SUN = (40.0, 125.0)  # behind the camera's right shoulder, raking the sand
LOOK = 4.0
# The waterline as (x, y) points, land to the right of it looking along it.
SHORE = np.array([(-60.0, -40.0), (-30.0, 10.0), (-22.0, 60.0), (-8.0, 130.0), (40.0, 230.0), (140.0, 330.0),
                  (300.0, 420.0), (520.0, 480.0)])
EYE = (-25.5, 18.0)  # on the wet sand, a couple of metres from the water
BOULDERS = [(-31.0, 31.0, 1.6), (-27.5, 38.0, 0.9), (-38.0, 52.0, 2.8), (-33.0, 58.0, 1.4), (-16.0, 44.0, 3.6),
            (-11.0, 52.0, 2.2), (-19.5, 31.0, 1.7), (-17.0, 27.5, 0.8), (-21.5, 26.5, 0.55), (-30.0, 95.0, 4.5), (-24.0, 104.0, 2.6), (-8.0, 88.0, 5.5), (-45.0, 120.0, 3.0)]


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
    drift = kit.noise(tree, p, 0.4, 4.0)
    sand = kit.ramp(tree, kit.math_node(tree, "ADD", kit.math_node(tree, "MULTIPLY", speck, 0.5),
                                        kit.math_node(tree, "MULTIPLY", drift, 0.5)),
                    [(0.3, (0.42, 0.37, 0.31)), (0.5, (0.5, 0.45, 0.38)), (0.7, (0.56, 0.52, 0.45))])
    # patches of weed on the bottom, darker out in the bay
    weed = kit.math_node(tree, "MULTIPLY", kit.map_range(tree, kit.noise(tree, p, 0.05, 5.0), 0.55, 0.62),
                         kit.map_range(tree, z, -2.0, -4.0))
    colour = kit.mix_colour(tree, weed, sand, (0.07, 0.08, 0.05, 1.0))
    # forest on the hill
    forest = kit.math_node(tree, "MULTIPLY", kit.map_range(tree, z, 1.5, 7.0),
                           kit.map_range(tree, kit.noise(tree, p, 0.08, 4.0), 0.35, 0.55))
    canopy = kit.ramp(tree, kit.noise(tree, p, 0.6, 6.0), [(0.3, (0.06, 0.07, 0.03)), (0.5, (0.2, 0.19, 0.11)),
                                                          (0.7, (0.1, 0.12, 0.05))])
    colour = kit.mix_colour(tree, forest, colour, canopy)
    wet = kit.map_range(tree, kit.math_node(tree, "ADD", z, kit.math_node(tree, "MULTIPLY", drift, 0.15)), 0.45, 0.05)
    colour = kit.mix_colour(tree, kit.math_node(tree, "MULTIPLY", wet, 0.45), colour, (0.05, 0.04, 0.03, 1.0))
    # wind ripples in the dry sand, a hand's width apart, bending as the wind eddied; grain over them
    ripple = kit.node(tree, "ShaderNodeTexWave", {"Vector": p, "Scale": 3.5, "Distortion": 6.0, "Detail": 3.0,
                                                  "Detail Scale": 1.5}, wave_profile="SAW").outputs["Fac"]
    dry = kit.map_range(tree, z, 0.5, 1.2)
    relief = kit.math_node(tree, "ADD", kit.math_node(tree, "MULTIPLY", ripple, kit.math_node(tree, "MULTIPLY", dry, 0.6)),
                           kit.math_node(tree, "ADD", kit.noise(tree, p, 1.5, 4.0),
                                         kit.math_node(tree, "MULTIPLY", kit.noise(tree, p, 25.0, 2.0), 0.15)))
    relief = kit.math_node(tree, "ADD", relief, kit.math_node(tree, "MULTIPLY", forest, kit.noise(tree, p, 0.5, 8.0)))
    normal = kit.bump(tree, relief, 0.5, 0.05)
    return air.hazed(tree, kit.principled(tree, colour, kit.map_range(tree, wet, 0.0, 1.0, 0.9, 0.4), normal=normal),
                     12000.0, 800.0)


def granite(tree):
    p = kit.coordinates(tree, "Object")
    w = kit.coordinates(tree, "Object")
    # feldspar and quartz crystals, a centimetre or two, with dark mica between them
    crystals = kit.node(tree, "ShaderNodeTexVoronoi", {"Vector": w, "Scale": 45.0},
                        feature="F1").outputs["Color"]
    tone = kit.node(tree, "ShaderNodeSeparateXYZ", {0: crystals}).outputs[0]
    colour = kit.ramp(tree, tone, [(0.0, (0.03, 0.028, 0.028)), (0.18, (0.03, 0.028, 0.028)), (0.22, (0.25, 0.19, 0.17)),
                                   (0.7, (0.31, 0.26, 0.23)), (0.85, (0.4, 0.37, 0.35))])
    # weathered darker down the sides where rain runs, and stained where the sea reaches
    streaks = kit.node(tree, "ShaderNodeMapping", {"Vector": w, "Scale": (3.0, 3.0, 0.3)}).outputs[0]
    colour = kit.mix_colour(tree, kit.map_range(tree, kit.noise(tree, streaks, 1.0, 5.0), 0.45, 0.75, 0.0, 0.45),
                            colour, (0.16, 0.14, 0.13, 1.0))
    world_z = kit.node(tree, "ShaderNodeSeparateXYZ", {0: kit.node(tree, "ShaderNodeNewGeometry").outputs["Position"]}
                       ).outputs["Z"]
    colour = kit.mix_colour(tree, kit.map_range(tree, world_z, 0.6, 0.1, 0.0, 0.7), colour, (0.08, 0.07, 0.05, 1.0))
    normal = kit.bump(tree, kit.math_node(tree, "ADD", kit.noise(tree, w, 4.0, 6.0, 0.6),
                                          kit.math_node(tree, "MULTIPLY", kit.noise(tree, w, 40.0, 2.0), 0.2)), 0.35, 0.05)
    return kit.principled(tree, colour, 0.6, normal=normal)


def build():
    air.sky(*SUN, dust=0.5, ozone=1.4, clouds=[dict(height=2500.0, scale=3000.0, coverage=0.25, opacity=4.0,
                                                    stretch=2.5, heading=40.0, seed=6.0, shadow=0.9)])
    eye = EYE
    x, y = terrain.view_grid(eye, LOOK, 110.0, 0.5, 20000.0, kit.scaled(1500), kit.scaled(1000))
    z = seabed(x, y)
    terrain.grid_object("beach", x, y, z, kit.material("ground", ground))
    waves = terrain.wave_train(40, 250.0, 20.0, 14.0, 0.15, 0.25, 0.7, seed=8)
    sx, sy, sz = terrain.sea(x, y, waves)
    sea = terrain.grid_object("sea", sx, sy, sz, kit.material("water", lambda t: water(t)))
    depth = -seabed(sx, sy)
    foam = terrain.smoothstep(0.035, 0.004, depth) * terrain.smoothstep(-0.03, 0.0, depth)
    sea.data.attributes.new("foam", "FLOAT", "POINT").data.foreach_set("value", foam.reshape(-1).astype(np.float32))
    stone = kit.material("granite", granite)
    rng = np.random.RandomState(12)
    for i, (bx, by, r) in enumerate(BOULDERS):
        bz = float(seabed(np.array([bx]), np.array([by]))[0])
        size = (r * rng.uniform(1.2, 1.8), r * rng.uniform(0.9, 1.3), r * rng.uniform(0.8, 1.1))
        kit.worn_stone("boulder %d" % i, size, 20 + i, (bx, by, bz + r * 0.25),
                       (rng.uniform(-0.2, 0.2), rng.uniform(-0.2, 0.2), rng.uniform(0.0, 6.3)), stone)
    eye_z = float(seabed(np.array([eye[0]]), np.array([eye[1]]))[0]) + 9.0  # on a boulder's back
    target = kit.direction(-11.0, LOOK)
    kit.camera((eye[0], eye[1], eye_z), (eye[0] + target.x, eye[1] + target.y, eye_z + target.z), 66.0)
    kit.film(exposure=-4.2)


def water(tree):
    surface, volume = kit.clear_water(tree, (0.2, 0.72, 0.75), 0.9, 0.01)
    foam = kit.node(tree, "ShaderNodeAttribute", attribute_name="foam").outputs["Fac"]
    # the last of a wave's foam, a lace of bubbles torn into holes and threads
    p = kit.coordinates(tree, "Object")
    lace = kit.node(tree, "ShaderNodeTexVoronoi", {"Vector": p, "Scale": 1.8}, feature="DISTANCE_TO_EDGE"
                    ).outputs["Distance"]
    threads = kit.map_range(tree, kit.math_node(tree, "ADD", lace, kit.math_node(
        tree, "MULTIPLY", kit.noise(tree, p, 6.0, 4.0), 0.15)), 0.2, 0.04)
    patches = kit.map_range(tree, kit.noise(tree, p, 0.7, 4.0, 0.6), 0.42, 0.6)
    broken = kit.math_node(tree, "MULTIPLY", kit.math_node(tree, "MULTIPLY", foam, 0.75),
                           kit.math_node(tree, "MAXIMUM", threads, kit.math_node(tree, "MULTIPLY", patches, 0.5)))
    froth = kit.principled(tree, (0.82, 0.84, 0.82), 0.6)
    return kit.node(tree, "ShaderNodeMixShader", {0: broken, 1: surface, 2: froth}).outputs[0], volume
