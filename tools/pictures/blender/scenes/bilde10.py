"""A ring of standing stones on a moor as a storm clears: the low sun under the cloud lights the weathered,
lichened stones and the wet grass gold against a dark sky."""
import math

import numpy as np

import air
import kit
import terrain

SAMPLES = 48
DENOISE = 2.0
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


def tuft(name, seed, mat):
    """A clump of moor grass a unit tall: two dozen thin blades fanning out from one root and bending over."""
    rng = np.random.RandomState(seed)
    verts, faces = [], []
    for _ in range(26):
        a = rng.uniform(0.0, 2.0 * math.pi)
        lean, h, w = rng.uniform(0.15, 0.9), rng.uniform(0.45, 1.0), rng.uniform(0.008, 0.016)
        root = np.array([math.cos(a), math.sin(a), 0.0]) * rng.uniform(0.0, 0.06)
        out, side = np.array([math.cos(a), math.sin(a), 0.0]), np.array([-math.sin(a), math.cos(a), 0.0])
        first = len(verts)
        for k in range(5):
            t = k / 4.0
            centre = root + out * lean * h * t * t + np.array([0.0, 0.0, h * t * (1.0 - 0.35 * lean * t)])
            half = w * (1.0 - 0.85 * t)
            verts += [centre - side * half, centre + side * half]
            if k:
                j = first + 2 * k
                faces.append((j - 2, j - 1, j + 1, j))
    obj = kit.mesh_object(name, verts, faces)
    kit.assign(obj, mat)
    return obj


def blades(tree):
    """Moor grass late in the year: olive to straw, each clump its own, drier at the tips."""
    clump = kit.node(tree, "ShaderNodeObjectInfo").outputs["Random"]
    tip = kit.node(tree, "ShaderNodeSeparateXYZ", {0: kit.coordinates(tree, "Generated")}).outputs["Z"]
    colour = kit.ramp(tree, clump, [(0.0, (0.07, 0.075, 0.025)), (0.6, (0.13, 0.11, 0.04)), (1.0, (0.2, 0.15, 0.07))])
    colour = kit.mix_colour(tree, kit.map_range(tree, tip, 0.4, 1.0, 0.0, 0.5), colour, (0.3, 0.24, 0.13, 1.0))
    return air.hazed(tree, kit.principled(tree, colour, 0.7, specular=0.25), 5000.0, 600.0)


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
                         (w, w * 0.38, h * 0.5), seed=i + 3, lumpiness=0.22, crags=0.18, grit=0.03, mat=mat,
                         block=True, rotation=(rng.uniform(-0.08, 0.08), rng.uniform(-0.08, 0.08),
                                               a + rng.uniform(-0.3, 0.3)))
        # weathered to a blunter, narrower top
        taper = stone.modifiers.new("taper", "SIMPLE_DEFORM")
        taper.deform_method = "TAPER"
        taper.deform_axis = "Z"
        taper.factor = -0.15 - 0.15 * ((i * 0.618) % 1.0)
    # one fallen long ago, half sunk in the turf near the camera, worn round
    fx, fy = -1.8, 8.5
    kit.worn_stone("fallen stone", (1.5, 0.6, 0.35), seed=40, mat=mat, rotation=(0.05, -0.04, 1.2),
                   location=(fx, fy, float(moor(np.array([fx]), np.array([fy]))[0]) - 0.1))
    # tussocks of moor grass over the turf, thick in front and thinning into the distance
    grass = kit.material("moor grass", blades)
    count = kit.scaled(14000, 60)
    ahead = 2.0 + 70.0 * rng.uniform(0.0, 1.0, count) ** 1.6
    across = rng.uniform(-0.75, 0.75, count) * (ahead + 2.0)
    gx, gy = terrain.from_view(ahead, across, LOOK)
    inside = np.hypot(gx - cx, gy - cy)
    # the ring's floor is grazed short: fewer clumps inside it
    keep = (inside > radius + 1.0) | (rng.uniform(0.0, 1.0, count) < 0.35)
    gz = moor(gx, gy)
    kit.scatter("tussocks", [tuft("tuft %d" % i, 100 + i, grass) for i in range(4)],
                np.stack([gx, gy, gz - 0.02], 1)[keep], rng.uniform(0.18, 0.42, count)[keep],
                rng.uniform(0.0, 6.3, count)[keep], rng.randint(0, 4, count)[keep])
    eye_z = float(moor(np.array([0.0]), np.array([0.0]))[0]) + 1.2
    target = kit.direction(6.0, LOOK)
    kit.camera((0.0, 0.0, eye_z), (target.x, target.y, eye_z + target.z), 64.0)
    kit.film(exposure=-2.0)
