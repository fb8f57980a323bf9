"""A whitewashed village on a steep island slope in the afternoon: houses stacked in terraces, a church's
blue dome among them, the deep blue sea below and another island on the horizon."""
import math

import bpy
import numpy as np

import air
import kit
import terrain

SAMPLES = 24
SUN = (32.0, 250.0)  # afternoon, west-south-west: the house fronts facing the camera half in shade
LOOK = 198.0


def island(x, y):
    # a steady slope down to a short flat at the water, so that every terrace can be seen from above
    rise = y + 320.0 + 40.0 * terrain.fbm(x / 300.0, 0.0, 3, seed=151)
    slope = 0.42 * np.where(rise > 20.0, rise - 10.0, rise * rise / 40.0) * (rise > 0.0)
    far = 260.0 * np.exp(-((x + 2500.0) ** 2 / 2.0e6 + (y + 9000.0) ** 2 / 4.0e5))  # the island across the water
    return slope + far - 12.0 + 6.0 * terrain.fbm(x / 60.0, y / 60.0, 5, seed=152)


def whitewash(tree):
    p = kit.coordinates(tree, "Object")
    colour = kit.ramp(tree, kit.noise(tree, p, 1.5, 4.0), [(0.3, (0.70, 0.69, 0.65)), (0.7, (0.80, 0.79, 0.75))])
    return air.hazed(tree, kit.principled(tree, colour, 0.8, normal=kit.bump(tree, kit.noise(tree, p, 6.0, 6.0), 0.2,
                                                                             0.01)), 12000.0, 800.0)


def painted(colour):
    return lambda tree: air.hazed(tree, kit.principled(tree, colour, 0.4), 12000.0, 800.0)


def rock(tree):
    p = kit.coordinates(tree, "Object")
    colour = kit.ramp(tree, kit.noise(tree, p, 0.1, 6.0), [(0.3, (0.07, 0.06, 0.045)), (0.5, (0.16, 0.13, 0.09)), (0.7, (0.09, 0.09, 0.05))])
    return air.hazed(tree, kit.principled(tree, colour, 0.9, normal=kit.bump(tree, kit.noise(tree, p, 0.5, 8.0), 0.6,
                                                                             0.5)), 12000.0, 800.0)


def sea_material(tree):
    return kit.principled(tree, (0.004, 0.02, 0.06), 0.16, specular=0.5)


def church(x, y, z, walls, blue):
    kit.box("nave", (x, y, z + 4.0), (8.0, 12.0, 8.0), walls)
    kit.cone("drum", (x, y - 1.5, z + 9.3), 3.0, 3.0, 2.6, 64, walls)
    dome = kit.sphere("dome", (x, y - 1.5, z + 10.6), 3.1, 64, 32, blue)
    dome.scale.z = 1.15
    kit.box("bell tower", (x + 2.5, y + 7.5, z + 5.5), (3.0, 3.0, 11.0), walls)
    kit.box("belfry opening", (x + 2.5, y + 6.0, z + 9.0), (1.4, 0.2, 1.8), blue)


def build():
    air.sky(*SUN, dust=0.6, ozone=1.3, clouds=[dict(height=5000.0, scale=2500.0, coverage=0.18, opacity=2.0,
                                                    stretch=4.0, heading=30.0, seed=71.0)])
    x, y = terrain.view_grid((0.0, 60.0), LOOK, 110.0, 1.0, 30000.0, kit.scaled(1500), kit.scaled(1000))
    terrain.grid_object("island", x, y, island(x, y), kit.material("rock", rock))
    waves = terrain.wave_train(40, 30.0, 25.0, 40.0, 0.5, 0.5, 0.6, seed=15)
    terrain.grid_object("sea", *terrain.sea(x, y, waves), kit.material("sea", sea_material))
    walls = kit.material("whitewash", whitewash)
    blue = kit.material("blue paint", painted((0.02, 0.12, 0.45)))
    dark = kit.material("window", painted((0.02, 0.02, 0.025)))
    flowers = kit.material("bougainvillea", painted((0.45, 0.02, 0.18)))
    rng = np.random.RandomState(15)
    placed = []
    # houses on terraces across the slope, thinning out towards the edges of the village
    for row in range(16):
        ty = -230.0 + row * 15.0 + rng.uniform(-2.0, 2.0)
        tx = -220.0
        while tx < 170.0:
            w = rng.uniform(5.0, 10.0)
            if rng.uniform() < 0.8 * np.exp(-((tx + 20.0) / 160.0) ** 2):
                d, h = rng.uniform(6.0, 10.0), rng.choice([3.2, 3.6, 6.4, 7.0])
                gz = float(island(np.array([tx]), np.array([ty]))[0])
                placed.append((tx, ty, gz, w, d, h))
            tx += w + rng.uniform(0.3, 3.0)
    for tx, ty, gz, w, d, h in placed:
        house = kit.box("house", (tx, ty, gz + h / 2 - 2.0), (w, d, h + 4.0), walls)
        house.modifiers.new("soft", "BEVEL").width = 0.12
        kit.box("parapet", (tx, ty, gz + h + 0.15), (w + 0.2, d + 0.2, 0.3), walls)
        if rng.uniform() < 0.15:
            # bougainvillea climbing a corner
            kit.rock("bougainvillea", (tx + w / 2 * rng.choice([-1, 1]), ty - d / 2, gz + 1.6), (1.6, 0.9, 1.8),
                     seed=int(rng.randint(1000)), lumpiness=0.6, crags=0.4, grit=0.2, subdivisions=3, mat=flowers)
        # a door and a window or two on the front, towards the sea
        front = ty - d / 2 - 0.03
        kit.box("door", (tx + rng.uniform(-w / 3, w / 3), front, gz + 1.0 + 2.0 - 2.0), (0.9, 0.08, 2.0),
                blue if rng.uniform() < 0.6 else dark)
        for k in range(rng.randint(1, 3)):
            kit.box("window", (tx + rng.uniform(-w / 2.5, w / 2.5), front, gz + rng.choice([1.5, 4.6]) * min(1, h / 5)),
                    (0.8, 0.08, 1.0), blue if rng.uniform() < 0.5 else dark)
    church(-35.0, -95.0, float(island(np.array([-35.0]), np.array([-95.0]))[0]) - 1.0, walls, blue)
    eye = (-10.0, 35.0, float(island(np.array([-10.0]), np.array([35.0]))[0]) + 22.0)  # from the hill above the village
    target = kit.direction(-21.0, LOOK)
    kit.camera(eye, (eye[0] + target.x, eye[1] + target.y, eye[2] + target.z), 60.0)
    kit.film(exposure=-4.0)
