"""Forested ridges at dawn, one behind the other, fading into the blue mist that fills the valleys between
them; the sun just up, off to the right, lighting the crests' flanks and the spruces on them gold."""
import math

import numpy as np

import air
import kit
import terrain

SAMPLES = 16
DENOISE = 3.0
SUN = (4.0, 122.0)  # just risen, off to the right: the crests' right flanks lit, the valleys in shade
LOOK = 80.0
EYE_Z = 110.0
# Ridges across the view: (distance ahead in metres, the angle its crest rises to seen from the camera, seed);
# each stands a little higher in the picture than the one before it.
RIDGES = [(400.0, -7.0, 1), (850.0, -3.5, 2), (1600.0, -1.2, 3), (2900.0, 0.6, 4), (5000.0, 1.9, 5),
          (8500.0, 3.0, 6), (14000.0, 3.9, 7)]


def hills(x, y):
    """The ground: ridges running across the view, each with its own crest line, dropping into valleys
    between them."""
    ahead, across = terrain.to_view(x, y, LOOK)
    z = np.zeros_like(x) - 40.0
    for distance, angle, seed in RIDGES:
        width = distance * 0.22
        line = distance + width * 0.5 * terrain.fbm(across / (distance * 1.2), distance * 0.01, 3, seed=seed)
        profile = np.exp(-((ahead - line) / width) ** 2 * 2.0)
        wander = math.radians(1.8) * terrain.fbm(across / (distance * 0.5), 0.5, 5, seed=seed + 10)
        top = EYE_Z + distance * np.tan(math.radians(angle) + wander) + 40.0
        z = np.maximum(z, top * profile - 40.0)
    return z + 8.0 * terrain.fbm(x / 120.0, y / 120.0, 5, seed=30)


def misty(tree, shader):
    """Mist lying thick in the valleys, and a haze over everything that deepens with distance."""
    return air.misty(tree, shader, (900.0, 30.0), (5000.0, 2000.0), tint=(0.62, 0.78, 1.15))


def ground(tree):
    p = kit.coordinates(tree, "Object")
    colour = kit.ramp(tree, kit.noise(tree, p, 0.02, 4.0), [(0.3, (0.03, 0.05, 0.025)), (0.7, (0.06, 0.07, 0.035))])
    return misty(tree, kit.principled(tree, colour, 0.9))


def needles(tree):
    colour = kit.ramp(tree, kit.noise(tree, kit.coordinates(tree, "Object"), 3.0, 2.0),
                      [(0.3, (0.02, 0.04, 0.02)), (0.7, (0.04, 0.06, 0.03))])
    return misty(tree, kit.principled(tree, colour, 0.8))


def build():
    air.sky(*SUN, dust=0.9, air=1.3, clouds=[dict(height=5000.0, scale=3000.0, coverage=0.25, opacity=1.5,
                                                   stretch=4.0, heading=-10.0, seed=2.0, shadow=0.3)])
    eye = (0.0, 0.0)
    x, y = terrain.view_grid(eye, LOOK, 60.0, 20.0, 30000.0, kit.scaled(1400), kit.scaled(900))
    terrain.grid_object("ridges", x, y, hills(x, y), kit.material("ground", ground))
    # spruces over the two nearest ridges, their tips breaking the skyline
    rng = np.random.RandomState(4)
    count = kit.scaled(9000, 200)
    ahead = rng.uniform(250.0, 1000.0, count)
    across = ahead * rng.uniform(-0.4, 0.4, count)
    tx, ty = terrain.from_view(ahead, across, LOOK)
    tz = hills(tx, ty)
    keep = tz > -10.0
    mat = kit.material("needles", needles)
    templates = [kit.spruce("spruce %d" % i, 1.0, 20, 9, mat, seed=i) for i in range(4)]
    kit.scatter("forest", templates, np.stack([tx, ty, tz - 0.5], 1)[keep], rng.uniform(14.0, 26.0, count)[keep],
                rng.uniform(0.0, 6.3, count)[keep], rng.randint(0, 4, count)[keep])
    eye_z = EYE_Z
    target = kit.direction(0.5, LOOK)
    kit.camera((eye[0], eye[1], eye_z), (target.x, target.y, eye_z + target.z), 30.0)
    kit.film(exposure=-2.8)
    kit.bloom(threshold=3.0, size=8, mix=-0.75)

