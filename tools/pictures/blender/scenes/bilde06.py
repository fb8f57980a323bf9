"""A granite cove in the morning: a group of big weathered granite boulders on pale coral sand in front,
the shore curving away past more boulders to a wooded headland, clear water over white sand turning
from turquoise to deep blue, the last of a wave's foam sliding back over the dark, shining wet sand."""
import math

import bmesh
import bpy
import numpy as np
from mathutils import Vector, noise

import air
import kit
import terrain

SAMPLES = 28
DENOISE = 3.0
# the sky, the sand and still water settle in a few samples: let adaptive sampling stop there early
CYCLES = {"adaptive_min_samples": 10}
SUN = (22.0, 100.0)  # from the camera's right, low enough to rake the ripples and round the boulders
LOOK = -6.0
PITCH = -6.0
# The waterline as (x, y) points, land to the right of it looking along it.
SHORE = np.array([(-60.0, -40.0), (-30.0, 10.0), (-22.0, 60.0), (-8.0, 130.0), (40.0, 230.0), (140.0, 330.0),
                  (300.0, 420.0), (520.0, 480.0)])
EYE = (-25.0, 8.0)  # standing on the sand, six metres from the water
# Boulders as (metres ahead of the camera, metres to its right, radius, height / radius, seed): a group in
# front to the right, a few in the shallows on the left, more along the shore further off.
BOULDERS = [(10.0, 3.4, 2.3, 1.0, 1), (8.2, 0.4, 1.0, 0.85, 2), (13.5, 7.2, 1.8, 1.1, 3), (7.2, 5.6, 0.6, 0.8, 4),
            (6.2, 1.9, 0.3, 0.7, 5), (12.5, -0.6, 0.45, 0.75, 6), (9.5, 8.6, 0.45, 0.8, 7),
            (27.0, -8.5, 1.5, 0.7, 8), (33.0, -4.0, 0.7, 0.8, 9), (46.0, -10.0, 2.4, 0.75, 10),
            (62.0, 1.0, 3.2, 0.9, 11), (70.0, 7.0, 1.6, 1.0, 12), (125.0, 6.0, 6.0, 0.9, 13), (118.0, 20.0, 3.0, 1.0, 14),
            (190.0, 40.0, 9.0, 0.8, 15), (40.0, 14.0, 0.9, 0.9, 16),
            (4.6, -1.2, 0.2, 0.6, 17), (5.4, 3.6, 0.14, 0.7, 18), (7.5, -2.6, 0.25, 0.6, 19)]


def inland(x, y):
    """Metres from the waterline, positive on the beach and negative out in the water; the line wanders."""
    distance, side, _ = terrain.nearest_on_path(x + 6.0 * terrain.fbm(x / 30.0, y / 30.0, 3, seed=61), y,
                                                np.column_stack([SHORE, np.zeros(len(SHORE))]))
    return np.where(side > 0.0, distance, -distance)


def boulder_spots():
    """(x, y, radius, height / radius, seed) of every boulder in the world."""
    spots = []
    for ahead, right, radius, tall, seed in BOULDERS:
        x, y = terrain.from_view(ahead, right, LOOK)
        spots.append((EYE[0] + x, EYE[1] + y, radius, tall, seed))
    return spots


def seabed(x, y, mounds=True):
    """The beach rising gently to the right of the waterline, the bottom shelving to the left of it, sand
    blown up against the boulders that stand on the dry beach."""
    d = inland(x, y)
    beach = 0.045 * d + 0.035 * terrain.smoothstep(10.0, 40.0, d) * d
    sea = -0.05 * (-d) - 9.0 * terrain.smoothstep(40.0, 250.0, -d)
    z = np.where(d > 0.0, beach, sea)
    # sand ripples under the water, and a hill rising behind the beach
    ripples = 0.04 * np.sin(x * 2.1 + 2.0 * terrain.fbm(x / 5.0, y / 5.0, 2, seed=62)) * terrain.smoothstep(0.0, -8.0, d)
    hill = 120.0 * terrain.smoothstep(60.0, 300.0, d) * (0.6 + 0.4 * terrain.fbm(x / 200.0, y / 200.0, 4, seed=63))
    z = z + ripples + hill + 0.2 * terrain.fbm(x / 12.0, y / 12.0, 4, seed=64)
    # low drifts across the dry sand, a step of the last high tide's berm
    z = z + terrain.smoothstep(4.0, 9.0, d) * (0.07 * terrain.fbm(x / 2.5, y / 4.0, 3, seed=65) + 0.12)
    if mounds:
        for bx, by, radius, _, seed in boulder_spots():
            r = np.hypot(x - bx, y - by) / radius
            heap = 0.1 * radius * terrain.smoothstep(1.5, 0.85, r + 0.2 * terrain.fbm(x / radius, y / radius, 2, seed=seed))
            z = z + heap * terrain.smoothstep(1.0, 3.0, d)
    return z


def boulder_mesh(name, radius, tall, seed, subdivisions):
    """A granite corestone: a rounded box (the joints it weathered out along) warped by broad swellings,
    its own shape for every seed, sometimes split by a sheeting crack, flattened underneath."""
    rng = np.random.RandomState(seed)
    bm = bmesh.new()
    bmesh.ops.create_icosphere(bm, subdivisions=subdivisions, radius=1.0)
    mesh = bpy.data.meshes.new(name)
    bm.to_mesh(mesh)
    bm.free()
    co = np.empty(len(mesh.vertices) * 3, np.float32)
    mesh.vertices.foreach_get("co", co)
    n = co.reshape(-1, 3).astype(float)
    n /= np.linalg.norm(n, axis=1)[:, None]
    power = rng.uniform(2.3, 3.2)
    # a point of the superellipsoid along each direction: flattish sides, rounded edges
    r = (np.abs(n) ** power).sum(1) ** (-1.0 / power)
    offset = Vector(rng.uniform(-100.0, 100.0, 3))
    warp = np.array([noise.fractal(Vector(v) * 0.65 + offset, 0.6, 2.0, 3) for v in n])
    dents = np.array([noise.fractal(Vector(v) * 3.5 + offset, 0.7, 2.0, 3) for v in n])
    r = r * (1.0 + 0.2 * warp + 0.02 * dents)
    # runnels the rain cut down from the top, wandering as they go
    around = np.arctan2(n[:, 1], n[:, 0]) * rng.randint(5, 9) + 3.0 * warp
    runnels = (1.0 - np.abs(np.sin(around))) ** 4 * terrain.smoothstep(-0.1, 0.7, n[:, 2])
    r = r * (1.0 - 0.035 * runnels)
    p = n * r[:, None] * np.array([rng.uniform(1.0, 1.35), rng.uniform(0.8, 1.05), tall])
    # a sheeting joint opened by weathering, running round at a slant
    if rng.uniform() < 0.6:
        level = rng.uniform(-0.1, 0.45) * tall + 0.15 * p[:, 0] * rng.uniform(-1.0, 1.0)
        groove = np.exp(-((p[:, 2] - level) / 0.05) ** 2) * 0.06
        p[:, :2] *= (1.0 - groove)[:, None]
    # the base rests on the sand
    p[:, 2] = np.where(p[:, 2] < -0.45 * tall, -0.45 * tall + 0.3 * (p[:, 2] + 0.45 * tall), p[:, 2])
    mesh.vertices.foreach_set("co", (p * radius).reshape(-1).astype(np.float32))
    mesh.polygons.foreach_set("use_smooth", [True] * len(mesh.polygons))
    mesh.update()
    return mesh


def ground(tree):
    p = kit.coordinates(tree, "Object")
    d = kit.node(tree, "ShaderNodeAttribute", attribute_name="inland").outputs["Fac"]
    z = kit.node(tree, "ShaderNodeSeparateXYZ", {0: p}).outputs["Z"]
    drift = kit.noise(tree, p, 0.4, 4.0)
    speck = kit.noise(tree, p, 60.0, 2.0)
    # pale coral sand, a little shell-grit speckle and broad drifts of warmer and cooler grains
    sand = kit.ramp(tree, kit.math_node(tree, "ADD", kit.math_node(tree, "MULTIPLY", speck, 0.35),
                                        kit.math_node(tree, "MULTIPLY", drift, 0.65)),
                    [(0.3, (0.44, 0.39, 0.32)), (0.5, (0.52, 0.47, 0.39)), (0.7, (0.56, 0.52, 0.45))])
    # the tide line: wet from the water up to a wandering edge, dampness fading a little above it
    edge = kit.math_node(tree, "ADD", d, kit.math_node(tree, "MULTIPLY", kit.noise(tree, p, 0.12, 3.0), 3.0))
    wet = kit.map_range(tree, edge, 5.6, 4.2)
    damp = kit.map_range(tree, edge, 8.5, 5.0, 0.0, 0.25)
    soaked = kit.math_node(tree, "MAXIMUM", wet, damp)
    colour = kit.mix_colour(tree, soaked, sand, (0.2, 0.17, 0.13, 1.0), "MULTIPLY")
    colour = kit.mix_colour(tree, kit.math_node(tree, "MULTIPLY", soaked, 0.5), colour, (0.24, 0.2, 0.15, 1.0))
    # the sand under water, seen through it, paler than wet sand in the air; weed out in the bay
    under = kit.map_range(tree, d, 0.0, -1.5)
    colour = kit.mix_colour(tree, under, colour, kit.mix_colour(tree, 1.0, sand, (0.85, 0.85, 0.82, 1.0), "MULTIPLY"))
    weed = kit.math_node(tree, "MULTIPLY", kit.map_range(tree, kit.noise(tree, p, 0.05, 5.0), 0.55, 0.62),
                         kit.map_range(tree, z, -2.0, -4.0))
    colour = kit.mix_colour(tree, weed, colour, (0.07, 0.08, 0.05, 1.0))
    # the foam of earlier waves left in thin, broken lines on the wet sand, the older ones higher and fainter
    wander = kit.math_node(tree, "ADD", d, kit.math_node(
        tree, "ADD", kit.math_node(tree, "MULTIPLY", kit.noise(tree, p, 0.35, 3.0), 1.4),
        kit.math_node(tree, "MULTIPLY", kit.noise(tree, p, 3.0, 2.0), 0.18)))
    lace = None
    for level, width, strength in ((1.3, 0.03, 0.55), (2.6, 0.02, 0.3)):
        line = kit.map_range(tree, kit.math_node(tree, "ABSOLUTE", kit.math_node(tree, "SUBTRACT", wander, level)),
                             width, 0.0, 0.0, strength)
        lace = line if lace is None else kit.math_node(tree, "MAXIMUM", lace, line)
    broken = kit.map_range(tree, kit.noise(tree, p, 1.6, 4.0, 0.65), 0.48, 0.6)
    lace = kit.math_node(tree, "MULTIPLY", lace, broken)
    colour = kit.mix_colour(tree, lace, colour, (0.62, 0.62, 0.6, 1.0))
    # the wrack of the last high tide: dry weed and twigs in a broken, wandering line above the wet sand
    wrack = kit.map_range(tree, kit.math_node(tree, "ABSOLUTE", kit.math_node(tree, "SUBTRACT", wander, 8.2)),
                          0.35, 0.05)
    wrack = kit.math_node(tree, "MULTIPLY", wrack, kit.map_range(tree, kit.noise(tree, p, 2.5, 5.0, 0.7), 0.5, 0.62))
    colour = kit.mix_colour(tree, wrack, colour, (0.09, 0.07, 0.045, 1.0))
    # forest on the hill
    forest = kit.math_node(tree, "MULTIPLY", kit.map_range(tree, z, 1.5, 7.0),
                           kit.map_range(tree, kit.noise(tree, p, 0.08, 4.0), 0.35, 0.55))
    canopy = kit.ramp(tree, kit.noise(tree, p, 0.6, 6.0), [(0.3, (0.04, 0.06, 0.025)), (0.5, (0.1, 0.12, 0.05)),
                                                          (0.7, (0.06, 0.09, 0.035))])
    colour = kit.mix_colour(tree, forest, colour, canopy)
    # wind ripples in the dry sand, a hand's width apart, bending as the wind eddied; trodden hollows,
    # grain over them; the wet sand smoothed by the swash
    dry = kit.map_range(tree, edge, 2.5, 4.5)
    ripple = kit.node(tree, "ShaderNodeTexWave", {"Vector": p, "Scale": 1.8, "Distortion": 9.0, "Detail": 4.0,
                                                  "Detail Scale": 0.6}, bands_direction="Y",
                      wave_profile="SAW").outputs["Fac"]
    ripple = kit.math_node(tree, "MULTIPLY", ripple, kit.map_range(tree, kit.noise(tree, p, 0.25, 3.0), 0.35, 0.6))
    hollows = kit.map_range(tree, kit.noise(tree, p, 1.3, 3.0, 0.5), 0.6, 0.72, 0.0, -1.0)
    hollows = kit.math_node(tree, "MULTIPLY", hollows, kit.map_range(tree, kit.noise(tree, p, 0.09, 2.0), 0.45, 0.6))
    relief = kit.math_node(tree, "ADD", kit.math_node(tree, "MULTIPLY", ripple, 0.012),
                           kit.math_node(tree, "MULTIPLY", hollows, 0.03))
    relief = kit.math_node(tree, "MULTIPLY", relief, dry)
    relief = kit.math_node(tree, "ADD", relief, kit.math_node(tree, "MULTIPLY", kit.noise(tree, p, 1.8, 4.0), 0.012))
    relief = kit.math_node(tree, "ADD", relief, kit.math_node(tree, "MULTIPLY", kit.noise(tree, p, 45.0, 2.0), 0.0012))
    relief = kit.math_node(tree, "ADD", relief, kit.math_node(tree, "MULTIPLY", forest, kit.noise(tree, p, 0.5, 8.0)))
    normal = kit.bump(tree, relief, 1.0, 1.0)
    # wet sand shines with the sky, and a film of water near the edge is nearly a mirror
    film = kit.map_range(tree, edge, 1.6, 0.4)
    rough = kit.math_node(tree, "SUBTRACT", 0.92, kit.math_node(tree, "ADD", kit.math_node(tree, "MULTIPLY", wet, 0.62),
                                                                kit.math_node(tree, "MULTIPLY", film, 0.25)))
    shader = kit.principled(tree, colour, rough, normal=normal, specular=0.5)
    return air.hazed(tree, shader, 12000.0, 800.0)


def granite(tree):
    """Weathered granite: pinkish grey, fine crystals, grey streaks where rain runs down, lichen, and a
    dark band of wet and weed where the sea reaches."""
    p = kit.coordinates(tree, "Object")
    info = kit.node(tree, "ShaderNodeObjectInfo").outputs["Random"]
    base = kit.ramp(tree, info, [(0.0, (0.16, 0.14, 0.13)), (0.5, (0.2, 0.175, 0.16)), (1.0, (0.18, 0.17, 0.165))])
    # feldspar and quartz grains with mica between them, fine enough to read as texture, not spots
    grains = kit.noise(tree, p, 70.0, 2.0, 0.5)
    colour = kit.mix_colour(tree, kit.map_range(tree, grains, 0.35, 0.65, 0.0, 0.45), base, (0.13, 0.11, 0.1, 1.0))
    colour = kit.mix_colour(tree, kit.map_range(tree, grains, 0.6, 0.75, 0.0, 0.3), colour, (0.4, 0.37, 0.35, 1.0))
    mottle = kit.noise(tree, p, 1.2, 5.0, 0.6)
    colour = kit.mix_colour(tree, kit.map_range(tree, mottle, 0.3, 0.7, 0.0, 0.25), colour, (0.3, 0.23, 0.19, 1.0))
    # weathered darker down the sides where rain runs
    streaks = kit.node(tree, "ShaderNodeMapping", {"Vector": p, "Scale": (2.5, 2.5, 0.25)}).outputs[0]
    runs = kit.noise(tree, streaks, 1.5, 5.0, 0.6)
    colour = kit.mix_colour(tree, kit.map_range(tree, runs, 0.45, 0.75, 0.0, 0.45), colour, (0.07, 0.065, 0.06, 1.0))
    # pale lichen on the tops
    up = kit.node(tree, "ShaderNodeSeparateXYZ", {0: kit.node(tree, "ShaderNodeNewGeometry").outputs["Normal"]}
                  ).outputs["Z"]
    lichen = kit.math_node(tree, "MULTIPLY", kit.map_range(tree, up, 0.3, 0.8),
                           kit.map_range(tree, kit.noise(tree, p, 3.0, 4.0, 0.6), 0.62, 0.68, 0.0, 0.5))
    colour = kit.mix_colour(tree, lichen, colour, (0.36, 0.35, 0.31, 1.0))
    world_z = kit.node(tree, "ShaderNodeSeparateXYZ", {0: kit.node(tree, "ShaderNodeNewGeometry").outputs["Position"]}
                       ).outputs["Z"]
    colour = kit.mix_colour(tree, kit.map_range(tree, world_z, 0.5, 0.05, 0.0, 0.75), colour, (0.07, 0.065, 0.05, 1.0))
    # runnels down the rock, pits, grain
    relief = kit.math_node(tree, "ADD", kit.math_node(tree, "MULTIPLY", runs, 0.6), kit.noise(tree, p, 4.0, 6.0, 0.55))
    relief = kit.math_node(tree, "ADD", relief, kit.math_node(tree, "MULTIPLY", grains, 0.1))
    normal = kit.bump(tree, relief, 0.2, 0.03)
    return kit.principled(tree, colour, 0.7, normal=normal)


def water(tree):
    surface, volume = kit.clear_water(tree, (0.2, 0.72, 0.75), 0.9, 0.01)
    depth = kit.node(tree, "ShaderNodeAttribute", attribute_name="depth").outputs["Fac"]
    p = kit.coordinates(tree, "Object")
    # the swash: a thin, torn line of foam at the water's edge, and the front of the backwash a metre out
    wobble = kit.math_node(tree, "ADD", depth, kit.math_node(
        tree, "ADD", kit.math_node(tree, "MULTIPLY", kit.noise(tree, p, 0.4, 3.0), 0.05),
        kit.math_node(tree, "MULTIPLY", kit.noise(tree, p, 4.0, 2.0), 0.012)))
    edge = kit.math_node(tree, "MULTIPLY", kit.map_range(tree, wobble, 0.035, 0.015),
                         kit.map_range(tree, depth, 0.0, 0.01))
    front = kit.map_range(tree, kit.math_node(tree, "ABSOLUTE", kit.math_node(tree, "SUBTRACT", wobble, 0.075)),
                          0.006, 0.0)
    torn = kit.map_range(tree, kit.noise(tree, p, 1.8, 5.0, 0.65), 0.45, 0.6)
    lines = kit.math_node(tree, "MULTIPLY", kit.math_node(tree, "MAXIMUM", edge, front), torn)
    # bubbles trailing behind the front, thinning out seaward: dots of different sizes, no net
    cells = kit.node(tree, "ShaderNodeTexVoronoi", {"Vector": p, "Scale": 28.0, "Randomness": 1.0}, feature="F1")
    size = kit.math_node(tree, "MULTIPLY", kit.node(tree, "ShaderNodeSeparateXYZ", {0: cells.outputs["Color"]}
                                                    ).outputs[0], 0.35)
    dots = kit.map_range(tree, kit.math_node(tree, "SUBTRACT", cells.outputs["Distance"], size), 0.02, -0.02)
    trail = kit.math_node(tree, "MULTIPLY", kit.map_range(tree, wobble, 0.16, 0.04),
                          kit.map_range(tree, kit.noise(tree, p, 0.9, 3.0), 0.42, 0.6))
    bubbles = kit.math_node(tree, "MULTIPLY", dots, kit.math_node(tree, "MULTIPLY", trail, 0.7))
    foam = kit.math_node(tree, "MINIMUM", kit.math_node(tree, "MAXIMUM", kit.math_node(tree, "MULTIPLY", lines, 0.85),
                                                        bubbles), 0.9)
    froth = kit.principled(tree, (0.8, 0.82, 0.8), 0.5)
    return kit.node(tree, "ShaderNodeMixShader", {0: foam, 1: surface, 2: froth}).outputs[0], volume


def build():
    air.sky(*SUN, dust=0.5, ozone=1.4, clouds=[dict(height=2500.0, scale=3000.0, coverage=0.3, opacity=4.0,
                                                    stretch=2.5, heading=40.0, seed=6.0, shadow=0.9)])
    x, y = terrain.view_grid(EYE, LOOK, 110.0, 0.5, 20000.0, kit.scaled(1500), kit.scaled(1000))
    beach = terrain.grid_object("beach", x, y, seabed(x, y), kit.material("ground", ground))
    beach.data.attributes.new("inland", "FLOAT", "POINT").data.foreach_set(
        "value", inland(x, y).reshape(-1).astype(np.float32))
    waves = terrain.wave_train(40, 250.0, 20.0, 14.0, 0.15, 0.22, 0.7, seed=8)
    sx, sy, sz = terrain.sea(x, y, waves)
    sea = terrain.grid_object("sea", sx, sy, sz, kit.material("water", water))
    depth = sz - seabed(sx, sy, mounds=False)
    sea.data.attributes.new("depth", "FLOAT", "POINT").data.foreach_set("value", depth.reshape(-1).astype(np.float32))
    stone = kit.material("granite", granite)
    rng = np.random.RandomState(12)
    for bx, by, radius, tall, seed in boulder_spots():
        bz = float(seabed(np.array([bx]), np.array([by]), mounds=False)[0])
        near = math.hypot(bx - EYE[0], by - EYE[1]) < 40.0
        mesh = boulder_mesh("boulder %d" % seed, radius, tall, seed + 20, 6 if near else 5)
        # its foot sunk in the sand, tipped a little
        kit.add_object("boulder %d" % seed, mesh, (bx, by, bz + radius * tall * 0.22),
                       (rng.uniform(-0.12, 0.12), rng.uniform(-0.12, 0.12), rng.uniform(0.0, 6.3)), stone)
    eye_z = float(seabed(np.array([EYE[0]]), np.array([EYE[1]]))[0]) + 1.8
    target = kit.direction(PITCH, LOOK)
    kit.camera((EYE[0], EYE[1], eye_z), (EYE[0] + target.x, EYE[1] + target.y, eye_z + target.z), 66.0)
    kit.film(exposure=-4.6)
