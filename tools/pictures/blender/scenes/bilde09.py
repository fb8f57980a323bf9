"""Icebergs on a still polar sea after sunset: the sky rose and violet over the afterglow, the ice taking its
colour on the faces turned west and a cold blue in the hollows, everything doubled in the water."""
import math

import numpy as np

import air
import kit
import terrain

SAMPLES = 16
DENOISE = 6.0  # the ice in the afterglow is lit dimly and takes a strong filter
SUN = (-2.5, 250.0)  # just set in the west-south-west
LOOK = 235.0
# Bergs: (ahead, right, size, height, seed, tabular): size across and height above the water, metres.
BERGS = [(260.0, -40.0, 150.0, 58.0, 1, False), (480.0, 110.0, 180.0, 34.0, 2, True), (700.0, -160.0, 90.0, 40.0, 3, False),
         (1300.0, 240.0, 300.0, 45.0, 4, True), (2100.0, -420.0, 220.0, 38.0, 5, True), (120.0, 30.0, 14.0, 4.0, 6, False),
         (180.0, -70.0, 8.0, 2.5, 7, False), (3200.0, 60.0, 500.0, 55.0, 8, True)]


def ice(tree):
    p = kit.coordinates(tree, "Object")
    hollow = kit.node(tree, "ShaderNodeAmbientOcclusion", {"Distance": 6.0}, samples=8).outputs["AO"]
    colour = kit.mix_colour(tree, kit.map_range(tree, hollow, 0.5, 1.0), (0.18, 0.5, 0.7, 1.0), (0.9, 0.94, 0.97, 1.0))
    # old snow on top, bands of clear blue ice in the walls
    z = kit.node(tree, "ShaderNodeSeparateXYZ", {0: p}).outputs["Z"]
    bands = kit.node(tree, "ShaderNodeTexWave", {"Vector": p, "Scale": 0.8, "Distortion": 4.0, "Detail": 3.0},
                     bands_direction="Z").outputs["Fac"]
    colour = kit.mix_colour(tree, kit.map_range(tree, bands, 0.85, 0.97, 0.0, 0.6), colour, (0.15, 0.45, 0.6, 1.0))
    normal = kit.bump(tree, kit.noise(tree, p, 2.0, 8.0, 0.6), 0.35, 0.2)
    wet = kit.map_range(tree, z, 0.3, 0.0)
    return air.hazed(tree, kit.principled(tree, colour, kit.map_range(tree, wet, 0.0, 1.0, 0.55, 0.1), normal=normal,
                                          specular=0.4), 14000.0)


def sea_material(tree):
    return kit.principled(tree, (0.003, 0.008, 0.012), 0.04, specular=0.5)


def build():
    air.sky(*SUN, dust=1.2, air=1.0, ozone=1.6, clouds=[
        dict(height=7000.0, scale=4000.0, coverage=0.3, opacity=1.5, stretch=5.0, heading=-30.0, seed=21.0,
             shadow=0.2, ambient=0.9)])
    forward, right = kit.direction(0.0, LOOK), kit.direction(0.0, LOOK + 90.0)
    x, y = terrain.view_grid((0.0, 0.0), LOOK, 110.0, 1.0, 30000.0, kit.scaled(1300), kit.scaled(900))
    waves = terrain.wave_train(40, LOOK + 160.0, 30.0, 40.0, 0.2, 0.25, 0.5, seed=9)
    terrain.grid_object("sea", *terrain.sea(x, y, waves), kit.material("sea", sea_material))
    mat = kit.material("ice", ice)
    for ahead, side, size, height, seed, tabular in BERGS:
        at = forward * ahead + right * side
        if tabular:
            # a slab calved from a shelf: a flat top, sheer sides broken into buttresses and caves
            kit.rock("berg %d" % seed, (at.x, at.y, height * 0.35), (size * 0.5, size * 0.36, height * 0.65),
                     seed=seed, lumpiness=0.06, crags=0.16, grit=0.015, mat=mat, rotation=(0.0, 0.0, seed * 0.7),
                     block=True)
        else:
            kit.rock("berg %d" % seed, (at.x, at.y, height * 0.25), (size * 0.5, size * 0.42, height),
                     seed=seed, lumpiness=0.2, crags=0.9, grit=0.03, mat=mat, rotation=(0.0, 0.0, seed))
    # floes of broken ice drifting between the camera and the bergs
    rng = np.random.RandomState(9)
    for i in range(40):
        ahead, side = rng.uniform(25.0, 220.0), rng.uniform(-0.55, 0.55)
        at = forward * ahead + right * (side * ahead)
        r = rng.uniform(0.6, 2.6) * (1.0 + ahead / 150.0)
        kit.rock("floe %d" % i, (at.x, at.y, 0.05), (r, r * rng.uniform(0.5, 0.9), 0.35), seed=200 + i,
                 lumpiness=0.1, crags=0.3, grit=0.02, subdivisions=3, mat=mat, rotation=(0.0, 0.0, rng.uniform(0, 6.3)),
                 block=True)
    target = kit.direction(1.0, LOOK)
    kit.camera((0.0, 0.0, 3.0), (target.x, target.y, 3.0 + target.z), 50.0)
    kit.film(exposure=2.8)
