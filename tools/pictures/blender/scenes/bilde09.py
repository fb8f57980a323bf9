"""A great iceberg on a still polar sea in the low afternoon sun: sheer calving faces, white where the sun
falls and blue where it doesn't, the ice glowing turquoise under the clear water; a small berg close by."""
import math

import numpy as np

import air
import kit
import terrain

SAMPLES = 40
DENOISE = 3.5
SUN = (18.0, 35.0)  # low, over the left shoulder
LOOK = 250.0
EYE = (0.0, 0.0, 7.0)  # a ship's deck


def ice(tree):
    """Glacier ice: white with old snow where it faces up, a clear blue body the light wanders in."""
    p = kit.coordinates(tree, "Object")
    up = kit.node(tree, "ShaderNodeSeparateXYZ", {0: kit.node(tree, "ShaderNodeNewGeometry").outputs["Normal"]}
                  ).outputs["Z"]
    snow = kit.map_range(tree, kit.math_node(tree, "ADD", up, kit.math_node(
        tree, "MULTIPLY", kit.noise(tree, p, 0.15, 4.0), 0.3)), 0.75, 0.95)
    # streaks down the faces where meltwater ran, and layers of clearer ice
    streaked = kit.node(tree, "ShaderNodeMapping", {"Vector": p, "Scale": (0.6, 0.6, 0.06)}).outputs[0]
    clear = kit.map_range(tree, kit.noise(tree, streaked, 1.0, 5.0, 0.6), 0.45, 0.75)
    body = kit.mix_colour(tree, clear, (0.72, 0.84, 0.9, 1.0), (0.45, 0.7, 0.82, 1.0))
    colour = kit.mix_colour(tree, snow, body, (0.93, 0.95, 0.97, 1.0))
    # flutes down the calving faces, metres across, and the grain of the ice over them
    flutes = kit.node(tree, "ShaderNodeMapping", {"Vector": p, "Scale": (0.12, 0.12, 0.015)}).outputs[0]
    grain = kit.math_node(tree, "ADD", kit.noise(tree, streaked, 3.0, 6.0, 0.6),
                          kit.math_node(tree, "MULTIPLY", kit.noise(tree, p, 1.5, 6.0, 0.55), 0.6))
    grain = kit.math_node(tree, "ADD", grain, kit.math_node(tree, "MULTIPLY", kit.noise(tree, flutes, 1.0, 5.0, 0.6), 25.0))
    normal = kit.bump(tree, grain, 0.3, 0.6)
    surface = kit.principled(tree, colour, kit.map_range(tree, snow, 0.0, 1.0, 0.3, 0.7), normal=normal,
                             specular=0.45)
    return air.hazed(tree, surface, 30000.0)


def build():
    air.sky(*SUN, dust=0.4, air=1.0, ozone=1.5, clouds=[
        dict(height=6000.0, scale=5000.0, coverage=0.22, opacity=1.6, stretch=4.0, heading=-20.0, seed=23.0,
             shadow=0.3, ambient=0.8)])
    forward, right = kit.direction(0.0, LOOK), kit.direction(0.0, LOOK + 90.0)
    x, y = terrain.view_grid(EYE, LOOK, 100.0, 2.0, 30000.0, kit.scaled(1100), kit.scaled(800))
    waves = terrain.wave_train(36, LOOK + 150.0, 35.0, 30.0, 0.25, 0.12, 0.4, seed=9)
    sea = terrain.grid_object("sea", *terrain.sea(x, y, waves), kit.material(
        "sea", lambda t: kit.clear_water(t, (0.08, 0.5, 0.55), 0.09, 0.0)))
    floor = terrain.grid_object("floor", *terrain.square_grid((0.0, 0.0), 60000.0, 2), np.full((2, 2), -400.0),
                                kit.simple_material("deep", (0.0, 0.01, 0.015), 0.9))
    mat = kit.material("ice", ice)

    def berg(name, ahead, side, size, seed, cuts, lift, turn):
        at = forward * ahead + right * side
        return kit.fractured(name, size, cuts, seed, upright=0.55, depth=(0.62, 0.95), location=(at.x, at.y, lift),
                             rotation=(0.0, 0.0, turn), mat=mat)

    # the great berg: a broad body, most of it under water, a shoulder and a spire broken out of it
    berg("berg", 200.0, 22.0, (85.0, 60.0, 72.0), 3, 26, -25.0, 0.4)
    berg("berg shoulder", 190.0, -33.0, (55.0, 45.0, 45.0), 11, 20, -14.0, 1.1)
    berg("berg spire", 215.0, 47.0, (30.0, 26.0, 95.0), 17, 18, -10.0, 2.0)
    berg("berg horn", 205.0, 2.0, (28.0, 24.0, 70.0), 19, 16, -8.0, 0.9)
    # a bergy bit near the ship, its skirt showing under the water, and lesser ice drifting between
    kit.fractured("bit", (9.0, 7.0, 8.0), 24, 29, 0.5, (0.45, 0.9), location=tuple(forward * 36.0 + right * 2.0 + kit.Vector((0, 0, -2.5))),
                  mat=mat)
    rng = np.random.RandomState(4)
    for i in range(22):
        ahead = rng.uniform(60.0, 300.0) if i < 14 else rng.uniform(14.0, 45.0)
        side = rng.uniform(-0.45, 0.45) * ahead
        r = rng.uniform(1.0, 3.0) * (0.7 + ahead / 250.0)
        berg("floe %d" % i, ahead, side, (r, r * 0.8, r * 0.9), 40 + i, 14, -r * 0.55, rng.uniform(0.0, 6.3))
    target = kit.direction(1.5, LOOK)
    kit.camera(EYE, (EYE[0] + target.x, EYE[1] + target.y, EYE[2] + target.z), 55.0)
    kit.film(exposure=-4.3)
