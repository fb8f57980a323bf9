"""A granite shore at the end of the day: three big jointed boulders on the wet sand where the sea laps
round their feet, more of them along the curving beach, the sun low over the sea on the left laying a
path of glitter across it and long shadows over the rippled sand, a thin line of foam at the water's edge."""
import math

import numpy as np

import air
import kit
import terrain

SAMPLES = 20
DENOISE = 3.0
# the sky, the sand and still water settle in a few samples: let adaptive sampling stop there early
CYCLES = {"adaptive_min_samples": 10}
LOOK = -6.0
PITCH = -7.0
SUN = (7.0, LOOK - 52.0)  # low over the sea on the left, just out of the picture: it rakes the sand
# The waterline as (x, y) points, land to the right of it looking along it.
SHORE = np.array([(-60.0, -40.0), (-30.0, 10.0), (-22.0, 60.0), (-8.0, 130.0), (40.0, 230.0), (140.0, 330.0),
                  (300.0, 420.0), (520.0, 480.0)])
EYE = (-25.0, 8.0)  # standing on the sand, six metres from the water
# Boulders as (metres ahead of the camera, metres to its right, radius, height / radius, seed): three at the
# water's edge in front, one out in the shallows, more along the shore further off, a few stones nearby.
BOULDERS = [(11.0, 0.8, 2.3, 0.85, 1), (13.5, 4.6, 1.6, 0.9, 2), (9.0, -1.9, 0.85, 0.75, 3),
            (19.0, -7.5, 1.3, 0.7, 4), (9.6, 3.4, 0.5, 0.7, 5),
            (38.0, -2.0, 2.0, 0.8, 6), (44.0, 3.0, 1.2, 0.8, 7), (75.0, 2.0, 3.2, 0.8, 8), (130.0, 8.0, 5.5, 0.8, 9),
            (200.0, 40.0, 8.0, 0.75, 10),
            (4.2, 1.6, 0.22, 0.7, 11), (6.5, -2.4, 0.3, 0.6, 12), (5.5, 3.9, 0.16, 0.7, 13), (3.6, -0.6, 0.1, 0.7, 14)]
# Stones of a fist's size and smaller strewn over the sand, more of them near the boulders they broke from.
PEBBLES = 90


def inland(x, y):
    """Metres from the waterline, positive on the beach and negative out in the water; the line wanders."""
    distance, side, _ = terrain.nearest_on_path(x + 2.5 * terrain.fbm(x / 45.0, y / 45.0, 2, seed=61), y,
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
            heap = 0.1 * radius * terrain.smoothstep(1.6, 0.9, r + 0.2 * terrain.fbm(x / radius, y / radius, 2, seed=seed))
            z = z + heap
    return z


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
    edge = kit.math_node(tree, "ADD", d, kit.math_node(tree, "MULTIPLY", kit.noise(tree, p, 0.07, 2.0), 1.2))
    wet = kit.map_range(tree, edge, 5.6, 4.2)
    damp = kit.map_range(tree, edge, 8.5, 5.0, 0.0, 0.25)
    soaked = kit.math_node(tree, "MAXIMUM", wet, damp)
    colour = kit.mix_colour(tree, soaked, sand, (0.2, 0.17, 0.13, 1.0), "MULTIPLY")
    colour = kit.mix_colour(tree, kit.math_node(tree, "MULTIPLY", soaked, 0.5), colour, (0.24, 0.2, 0.15, 1.0))
    # the sand under water, seen through it, paler than wet sand in the air; weed out in the bay
    under = kit.map_range(tree, d, 0.0, -1.5)
    colour = kit.mix_colour(tree, under, colour, kit.mix_colour(tree, 1.0, sand, (0.85, 0.85, 0.82, 1.0), "MULTIPLY"))
    # the wrack of the last high tide: dry weed and twigs in a broken, wandering line above the wet sand
    wander = kit.math_node(tree, "ADD", d, kit.math_node(
        tree, "ADD", kit.math_node(tree, "MULTIPLY", kit.noise(tree, p, 0.35, 3.0), 1.4),
        kit.math_node(tree, "MULTIPLY", kit.noise(tree, p, 3.0, 2.0), 0.18)))
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
    # ripple marks the ebb left in the wet sand, crests along the shore, in patches
    marks = kit.node(tree, "ShaderNodeTexWave", {"Vector": p, "Scale": 2.2, "Distortion": 6.0, "Detail": 3.0,
                                                 "Detail Scale": 0.8}, bands_direction="X").outputs["Fac"]
    patchy = kit.map_range(tree, kit.noise(tree, p, 0.18, 3.0), 0.4, 0.6)
    wet_marks = kit.math_node(tree, "MULTIPLY", kit.math_node(tree, "MULTIPLY", marks, patchy),
                              kit.math_node(tree, "MULTIPLY", kit.map_range(tree, edge, 5.0, 3.0),
                                            kit.map_range(tree, d, 0.3, 1.2)))
    relief = kit.math_node(tree, "ADD", relief, kit.math_node(tree, "MULTIPLY", wet_marks, 0.01))
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


def water(tree):
    surface, volume = kit.clear_water(tree, (0.2, 0.72, 0.75), 0.9, 0.01)
    depth = kit.node(tree, "ShaderNodeAttribute", attribute_name="depth").outputs["Fac"]
    p = kit.coordinates(tree, "Object")
    # the swash: a thin line of foam at the water's edge, torn here and there
    wobble = kit.math_node(tree, "ADD", depth, kit.math_node(
        tree, "ADD", kit.math_node(tree, "MULTIPLY", kit.noise(tree, p, 0.4, 3.0), 0.05),
        kit.math_node(tree, "MULTIPLY", kit.noise(tree, p, 4.0, 2.0), 0.012)))
    edge = kit.math_node(tree, "MULTIPLY", kit.map_range(tree, wobble, 0.035, 0.015),
                         kit.map_range(tree, depth, 0.0, 0.01))
    torn = kit.map_range(tree, kit.noise(tree, p, 1.2, 4.0, 0.6), 0.3, 0.5)
    lines = kit.math_node(tree, "MULTIPLY", edge, torn)
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


def pebbles(stone):
    """Small stones half sunk in the sand in front, a few shapes, each turned and sized its own way."""
    shapes = [kit.joint_boulder("pebble %d" % i, (1.0, 0.8, 0.55), 200 + i, wear=0.8, voxel=0.08) for i in range(6)]
    for shape in shapes:
        kit.assign(shape, stone)
        shape["foot"] = -10.0
    rng = np.random.RandomState(31)
    spots = []
    while len(spots) < PEBBLES:
        ahead, right = rng.uniform(2.5, 22.0), rng.uniform(-5.0, 9.0)
        near = min(math.hypot(ahead - a, right - r) / rad for a, r, rad, _, _ in BOULDERS[:5])
        if rng.uniform() < 1.6 / (1.0 + near) and near > 1.05:
            spots.append((ahead, right))
    xy = np.array([terrain.from_view(a, r, LOOK) for a, r in spots]) + np.array(EYE)
    z = seabed(xy[:, 0], xy[:, 1])
    size = 0.03 + 0.1 * rng.uniform(0.0, 1.0, len(xy)) ** 2
    points = np.column_stack([xy, z + size * 0.15])
    kit.scatter("pebbles", shapes, points, size, rng.uniform(0.0, 6.3, len(xy)), rng.randint(0, len(shapes), len(xy)))


def build():
    air.sky(*SUN, dust=1.2, ozone=1.4, clouds=[dict(height=6000.0, scale=3500.0, coverage=0.3, opacity=2.5,
                                                    stretch=3.0, heading=40.0, seed=6.0, shadow=0.3)])
    x, y = terrain.view_grid(EYE, LOOK, 110.0, 0.5, 20000.0, kit.scaled(1500), kit.scaled(1000))
    beach = terrain.grid_object("beach", x, y, seabed(x, y), kit.material("ground", ground))
    beach.data.attributes.new("inland", "FLOAT", "POINT").data.foreach_set(
        "value", inland(x, y).reshape(-1).astype(np.float32))
    waves = terrain.wave_train(40, 250.0, 20.0, 14.0, 0.15, 0.22, 0.7, seed=8)
    sx, sy, sz = terrain.sea(x, y, waves)
    sea = terrain.grid_object("sea", sx, sy, sz, kit.material("water", water))
    depth = sz - seabed(sx, sy, mounds=False)
    sea.data.attributes.new("depth", "FLOAT", "POINT").data.foreach_set("value", depth.reshape(-1).astype(np.float32))
    # grey granite, pink feldspar in it; wet and dark as high as the swash and spray reach, damp at the foot
    stone = kit.material("granite", lambda tree: air.hazed(tree, kit.weathered_granite(
        tree, (0.34, 0.3, 0.27), (0.17, 0.155, 0.15), grain=32.0, lichen=0.6, wet_below=0.35, wet_band=0.25,
        foot_band=0.25), 12000.0, 800.0))
    rng = np.random.RandomState(12)
    for bx, by, radius, tall, seed in boulder_spots():
        around = [(bx + radius * math.cos(a), by + radius * math.sin(a)) for a in np.linspace(0.0, 6.0, 6)]
        foot = float(np.mean(seabed(np.array([p[0] for p in around]), np.array([p[1] for p in around]))))
        size = (radius * rng.uniform(1.05, 1.35), radius, radius * tall)
        far = math.hypot(bx - EYE[0], by - EYE[1]) > 60.0
        # its foot sunk in the sand, tipped a little
        obj = kit.joint_boulder("boulder %d" % seed, size, seed + 60, wear=rng.uniform(0.35, 0.7),
                                location=(bx, by, foot + radius * tall * 0.4),
                                rotation=(rng.uniform(-0.1, 0.1), rng.uniform(-0.1, 0.1), rng.uniform(0.0, 6.3)),
                                mat=stone, voxel=radius / 14.0 if far else None)
        obj["foot"] = foot
    pebbles(stone)
    eye_z = float(seabed(np.array([EYE[0]]), np.array([EYE[1]]))[0]) + 1.7
    target = kit.direction(PITCH, LOOK)
    kit.camera((EYE[0], EYE[1], eye_z), (EYE[0] + target.x, EYE[1] + target.y, eye_z + target.z), 54.0)
    kit.film(exposure=-3.7)
    kit.clean_margins(SAMPLES // 3)
