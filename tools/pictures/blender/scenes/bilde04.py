"""An alpine lake on a still morning: snowy peaks lit from the side above forested slopes, mirrored exactly in
the glassy water; spruces on the far shore, stones breaking the water at the camera's feet."""
import math

import numpy as np

import air
import kit
import terrain

SAMPLES = 28
DENOISE = 3.5
# the sky, the sand and still water settle in a few samples: let adaptive sampling stop there early
CYCLES = {"adaptive_min_samples": 10}
SUN = (24.0, 112.0)  # mid-morning, from the east: the faces of the peaks turned to it lit, the rest in shade
LOOK = 8.0
LAKE = (0.0, 2600.0, 2300.0, 2400.0)  # centre x, y and radii of the lake's basin
EYE = (0.0, 210.0)  # on the south shore, at the water's edge
PEAKS = [(-2600.0, 7000.0, 1700.0, 2200.0), (700.0, 8400.0, 2200.0, 2600.0), (3600.0, 6600.0, 1400.0, 2000.0)]


def mountains(x, y):
    """Ridged peaks rising steeply around an oval basin whose floor lies below the water."""
    cx, cy, rx, ry = LAKE
    e = np.hypot((x - cx) / rx, (y - cy) / ry) * (1.0 + 0.12 * terrain.fbm(x / 700.0, y / 700.0, 4, seed=40))
    wx = x + 600.0 * terrain.fbm(x / 3000.0, y / 3000.0, 3, seed=41)
    wy = y + 600.0 * terrain.fbm(x / 3000.0 + 7.0, y / 3000.0, 3, seed=42)
    peaks = terrain.ridged(wx / 2600.0, wy / 2600.0, 9, gain=2.2, roughness=0.95, seed=43)
    # three great peaks across the lake, and lesser ridges everywhere
    envelope = 450.0 + 250.0 * terrain.fbm(x / 6000.0, y / 6000.0, 2, seed=44)
    for px, py, height, radius in PEAKS:
        envelope = envelope + height * np.exp(-(np.hypot(x - px, y - py) / radius) ** 1.6)
    massif = envelope * (0.45 + 0.6 * peaks ** 1.3)
    rise = terrain.smoothstep(1.0, 1.7, e)
    shore = 40.0 * (e - 1.0)
    ground = np.where(e < 1.0, -25.0 * np.sqrt(np.clip(1.0 - e, 0.0, 1.0)), shore) + massif * rise
    return ground + 3.0 * terrain.fbm(x / 40.0, y / 40.0, 4, seed=45)


def land(tree):
    p = kit.coordinates(tree, "Object")
    geometry = kit.node(tree, "ShaderNodeNewGeometry")
    up = kit.node(tree, "ShaderNodeSeparateXYZ", {0: geometry.outputs["Normal"]}).outputs["Z"]
    z = kit.node(tree, "ShaderNodeSeparateXYZ", {0: p}).outputs["Z"]
    wobble = kit.math_node(tree, "MULTIPLY", kit.noise(tree, p, 0.004, 6.0), 500.0)
    # snow holds on the gentler slopes above the tree line, lower on the shaded north faces
    snow_line = kit.math_node(tree, "ADD", z, wobble)
    snow = kit.math_node(tree, "MULTIPLY", kit.map_range(tree, snow_line, 950.0, 1200.0),
                         kit.map_range(tree, up, 0.5, 0.68))
    strata = kit.node(tree, "ShaderNodeMapping", {"Vector": p, "Scale": (0.02, 0.02, 0.12)}).outputs[0]
    rock_colour = kit.ramp(tree, kit.noise(tree, strata, 1.0, 6.0, 0.6),
                           [(0.3, (0.035, 0.033, 0.032)), (0.55, (0.07, 0.066, 0.062)), (0.75, (0.13, 0.12, 0.11))])
    # meadows and forest low down, scree and rock above them
    green = kit.ramp(tree, kit.noise(tree, p, 0.02, 4.0), [(0.35, (0.018, 0.03, 0.018)), (0.65, (0.04, 0.055, 0.028))])
    low = kit.math_node(tree, "MULTIPLY", kit.map_range(tree, z, 950.0, 600.0), kit.map_range(tree, up, 0.45, 0.7))
    colour = kit.mix_colour(tree, low, rock_colour, green)
    colour = kit.mix_colour(tree, snow, colour, (0.85, 0.87, 0.9, 1.0))
    normal = kit.bump(tree, kit.noise(tree, p, 0.03, 8.0, 0.65), 0.8, 4.0)
    roughness = kit.map_range(tree, snow, 0.0, 1.0, 0.85, 0.5)
    return air.hazed(tree, kit.principled(tree, colour, roughness, normal=normal), 30000.0, 2500.0)


def needles(tree):
    colour = kit.ramp(tree, kit.noise(tree, kit.coordinates(tree, "Object"), 3.0, 2.0),
                      [(0.3, (0.015, 0.03, 0.015)), (0.7, (0.035, 0.05, 0.025))])
    return air.hazed(tree, kit.principled(tree, colour, 0.8), 30000.0, 2500.0)


def stone(tree):
    p = kit.coordinates(tree, "Object")
    colour = kit.ramp(tree, kit.noise(tree, p, 2.0, 6.0), [(0.3, (0.04, 0.038, 0.034)), (0.7, (0.12, 0.11, 0.095))])
    return kit.principled(tree, colour, 0.6, normal=kit.bump(tree, kit.noise(tree, p, 8.0, 6.0), 0.3, 0.05))


def build():
    air.sky(*SUN, dust=0.6, air=1.0, ozone=1.5, clouds=[
        dict(height=6000.0, scale=4000.0, coverage=0.2, opacity=1.5, stretch=3.0, heading=30.0, seed=7.0)])
    x, y = terrain.view_grid(EYE, LOOK, 96.0, 1.0, 30000.0, kit.scaled(2400), kit.scaled(1100))
    z = mountains(x, y)
    terrain.grid_object("valley", x, y, z, kit.material("land", land))
    # glassy water, wider than the view: where the land rises above it, the land hides it
    lake = terrain.grid_object("lake", *terrain.square_grid((0.0, 2600.0), 60000.0, 2),
                               np.zeros((2, 2)), kit.material("lake", lambda t: kit.principled(
                                   t, (0.006, 0.012, 0.011), 0.0, specular=0.5)))
    lake.location.z = 0.0
    # spruces on the lower slopes round the lake
    rng = np.random.RandomState(5)
    count = kit.scaled(90000, 300)
    tx, ty = rng.uniform(-5000.0, 5000.0, count), rng.uniform(300.0, 6500.0, count)
    tz = mountains(tx, ty)
    slope = np.hypot(mountains(tx + 5.0, ty) - tz, mountains(tx, ty + 5.0) - tz) / 5.0
    keep = (tz > 2.0) & (tz < 900.0 + 200.0 * terrain.fbm(tx / 500.0, ty / 500.0, 3, seed=46)) & (slope < 1.1)
    mat = kit.material("needles", needles)
    templates = [kit.conifer("spruce %d" % i, 1.0, 10, mat, seed=10 + i) for i in range(4)]
    kit.scatter("forest", templates, np.stack([tx, ty, tz - 0.5], 1)[keep], rng.uniform(14.0, 28.0, count)[keep],
                rng.uniform(0.0, 6.3, count)[keep], rng.randint(0, 4, count)[keep])
    # stones at the shore, breaking the water
    mat = kit.material("stone", stone)
    for i in range(kit.scaled(40, 12)):
        sy = EYE[1] + 3.0 + rng.exponential(5.0)
        sx = EYE[0] + rng.uniform(-1.0, 0.6) * (sy - EYE[1])
        r = rng.uniform(0.15, 0.6) * (1.0 + (sy - EYE[1]) / 15.0)
        kit.worn_stone("stone %d" % i, (r * 1.3, r, r * 0.75), i, (sx, sy, -r * 0.4),
                       (0.0, 0.0, rng.uniform(0, 6.3)), mat)
    eye = (EYE[0], EYE[1], max(0.0, float(mountains(np.array([EYE[0]]), np.array([EYE[1]]))[0])) + 1.7)
    target = kit.direction(2.5, LOOK)
    kit.camera(eye, (eye[0] + target.x, eye[1] + target.y, eye[2] + target.z), 62.0)
    kit.film(exposure=-3.9)
