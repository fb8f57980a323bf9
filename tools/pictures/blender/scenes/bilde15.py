"""A lighthouse on a granite islet on a breezy afternoon: a red and white tower on the pink rock, surf
breaking white round the islet, a deep blue sea under heaped cumulus, the shore's boulders in front."""
import math

import bpy
import numpy as np

import air
import kit
import terrain

SAMPLES = 40
DENOISE = 2.5
SUN = (28.0, 235.0)  # mid-afternoon, from the left of the view and a little behind it
LOOK = 160.0
ISLET = (115.0, 18.0, 42.0, 15.0)  # ahead, right, radius and height of the islet, metres
LIGHTHOUSE = (118.0, 24.0)


def land(x, y):
    """The islet, and the shore the camera stands on falling away into the sea in front of it."""
    a, b = terrain.to_view(x, y, LOOK)
    ia, ib, radius, height = ISLET
    r = np.hypot(a - ia, (b - ib) * 0.8) * (1.0 + 0.3 * terrain.fbm(a / 40.0, b / 40.0, 3, seed=151))
    # granite weathers into domes: a rounded top, steeper flanks into the water
    islet = height * terrain.smoothstep(radius, radius * 0.25, r) ** 0.7 - 4.0
    # sheet joints: the dome peels in layers, each a low step with a rounded lip
    sheets = 1.6 * terrain.ridged(a / 18.0, b / 18.0, 4, seed=155) * terrain.smoothstep(-3.0, 2.0, islet)
    islet = islet + sheets
    shore = 6.0 - 0.22 * (a + 6.0 * terrain.fbm(b / 30.0, 0.0, 3, seed=152)) - 0.004 * b * b
    z = np.maximum(islet, shore)
    # sheets and joints: the rock breaks in rounded slabs
    return z + (2.5 * terrain.fbm(a / 14.0, b / 14.0, 5, seed=153) + 0.6 * terrain.fbm(a / 3.0, b / 3.0, 3, seed=154)) * \
        terrain.smoothstep(-2.0, 1.0, z)


def granite(tree, dry=False):
    p = kit.coordinates(tree, "Object")
    speckle = kit.noise(tree, p, 40.0, 2.0)
    colour = kit.ramp(tree, speckle, [(0.35, (0.24, 0.15, 0.13)), (0.5, (0.36, 0.26, 0.22)), (0.65, (0.17, 0.145, 0.14))])
    # weathering streaks and stains at a few sizes, soft-edged: hard-edged patches read as camouflage
    stain = kit.noise(tree, kit.node(tree, "ShaderNodeMapping", {"Vector": p, "Scale": (1.0, 1.0, 3.0)}).outputs[0],
                      0.25, 6.0, 0.65)
    colour = kit.mix_colour(tree, kit.map_range(tree, stain, 0.3, 0.7, 0.0, 0.5), colour,
                            kit.mix_colour(tree, 1.0, colour, (0.7, 0.72, 0.75, 1.0), "MULTIPLY"))
    lichen = kit.map_range(tree, kit.noise(tree, p, 2.5, 6.0, 0.7), 0.6, 0.75)
    colour = kit.mix_colour(tree, kit.math_node(tree, "MULTIPLY", lichen, 0.35), colour, (0.5, 0.46, 0.3, 1.0))
    # joints: thin dark cracks across the rock
    cells = kit.node(tree, "ShaderNodeTexVoronoi", {"Vector": p, "Scale": 0.12, "Randomness": 0.9},
                     feature="DISTANCE_TO_EDGE").outputs[0]
    crack = kit.map_range(tree, cells, 0.0, 0.03)
    colour = kit.mix_colour(tree, kit.math_node(tree, "ADD", crack, 0.3, clamp=True), (0.05, 0.04, 0.035, 1.0), colour)
    height = kit.node(tree, "ShaderNodeSeparateXYZ", {0: p}).outputs["Z"]
    # dark and glistening where the surf wets it
    wet = 1.0 if dry else kit.map_range(tree, height, 0.8, 2.5)
    colour = kit.mix_colour(tree, wet, kit.mix_colour(tree, 0.6, colour, (0.0, 0.0, 0.0, 1.0), "MULTIPLY"), colour)
    normal = kit.bump(tree, kit.math_node(tree, "ADD", kit.noise(tree, p, 1.2, 6.0, 0.6),
                                          kit.math_node(tree, "MULTIPLY", crack, 0.4)), 0.5, 0.4)
    roughness = 0.8 if dry else kit.map_range(tree, height, 0.8, 2.5, 0.35, 0.8)
    return air.hazed(tree, kit.principled(tree, colour, roughness, normal=normal), 8000.0, 600.0)


def sea_material(tree):
    foam = kit.node(tree, "ShaderNodeAttribute", attribute_name="foam").outputs["Fac"]
    p = kit.coordinates(tree, "Object")
    broken = kit.math_node(tree, "MULTIPLY", foam, kit.map_range(tree, kit.noise(tree, p, 0.5, 6.0, 0.6), 0.35, 0.6))
    water = kit.principled(tree, (0.002, 0.02, 0.045), 0.14, specular=0.5)
    froth = kit.principled(tree, (0.8, 0.82, 0.82), 0.6)
    return air.hazed(tree, kit.node(tree, "ShaderNodeMixShader", {0: broken, 1: water, 2: froth}).outputs[0], 12000.0)


def striped(tree):
    """The tower's paint: red and white bands a few metres deep."""
    z = kit.node(tree, "ShaderNodeSeparateXYZ", {0: kit.coordinates(tree, "Object")}).outputs["Z"]
    band = kit.math_node(tree, "GREATER_THAN", kit.math_node(tree, "PINGPONG", kit.math_node(tree, "ADD", z, 9.0), 3.2),
                         1.6)
    colour = kit.mix_colour(tree, band, (0.78, 0.76, 0.72, 1.0), (0.5, 0.03, 0.025, 1.0))
    return air.hazed(tree, kit.principled(tree, colour, 0.5), 12000.0)


def lighthouse(x, y, z):
    white = kit.material("whitewash", lambda t: air.hazed(t, kit.principled(t, (0.78, 0.76, 0.72), 0.6), 12000.0))
    red = kit.material("roof", lambda t: air.hazed(t, kit.principled(t, (0.35, 0.04, 0.03), 0.5), 12000.0))
    dark = kit.simple_material("iron", (0.03, 0.03, 0.03), 0.4, metallic=1.0)
    glass = kit.material("lantern glass", lambda t: kit.principled(t, (0.2, 0.22, 0.2), 0.05, metallic=0.6))
    kit.cone("tower", (x, y, z + 9.0), 2.6, 1.8, 18.0, mat=kit.material("tower paint", striped))
    kit.cone("gallery", (x, y, z + 18.2), 2.5, 2.5, 0.4, mat=dark, smooth=False)
    kit.cone("lantern", (x, y, z + 19.5), 1.3, 1.3, 2.2, 32, mat=glass)
    kit.cone("cap", (x, y, z + 21.3), 1.6, 0.15, 1.4, 32, mat=red)
    turn = math.radians(LOOK + 20.0)
    c, s = math.cos(turn), math.sin(turn)
    hx, hy = x + 6.0 * c, y - 6.0 * s
    keeper = kit.box("keeper's house", (hx, hy, z + 1.8), (8.0, 5.0, 3.6), white)
    keeper.rotation_euler.z = turn
    for side in (-1, 1):
        roof = kit.box("keeper's roof", (hx - side * 1.3 * s, hy - side * 1.3 * c, z + 4.1), (8.4, 3.0, 0.2), red)
        roof.rotation_euler = (side * math.radians(30.0), 0.0, turn)


def build():
    air.sky(*SUN, dust=0.5, ozone=1.2, clouds=[
        dict(height=1800.0, scale=1700.0, coverage=0.36, opacity=4.0, stretch=1.8, heading=35.0, seed=87.0),
        dict(height=7000.0, scale=4000.0, coverage=0.25, opacity=1.2, stretch=5.0, heading=60.0, seed=82.0,
             shadow=0.2)])
    eye = (0.0, 0.0)
    x, y = terrain.view_grid(eye, LOOK, 110.0, 1.0, 30000.0, kit.scaled(1600), kit.scaled(1100))
    waves = (terrain.wave_train(24, LOOK + 180.0, 20.0, 60.0, 6.0, 1.0, 0.7, seed=15) +
             terrain.wave_train(60, LOOK + 140.0, 40.0, 6.0, 0.1, 0.25, 1.0, seed=16))
    terrain.washing_sea(x, y, waves, land, kit.material("sea", sea_material), (-2.5, 0.4), 0.5)
    x, y = terrain.view_grid(eye, LOOK, 110.0, 0.5, 600.0, kit.scaled(1400), kit.scaled(1100))
    terrain.grid_object("rock", x, y, land(x, y), kit.material("granite", granite))
    lx, ly = terrain.from_view(*LIGHTHOUSE, LOOK)
    lighthouse(lx, ly, float(land(np.array([lx]), np.array([ly]))[0]) - 0.3)
    # boulders on the shore in front, rounded by the sea
    # above the surf's reach: dry, a wet sheen on them would glint in speckles
    boulder = kit.material("boulder", lambda tree: granite(tree, dry=True))
    rng = np.random.RandomState(15)
    for i in range(14):
        a, b = rng.uniform(5.0, 40.0), rng.uniform(-0.6, 0.6)
        b *= a
        r = rng.uniform(0.6, 2.2)
        bx, by = terrain.from_view(a, b, LOOK)
        bz = float(land(np.array([bx]), np.array([by]))[0])
        kit.rock("boulder %d" % i, (bx, by, bz + r * 0.2), (r * 1.3, r, r * 0.7), seed=150 + i, lumpiness=0.25,
                 crags=0.35, mat=boulder, rotation=(0.0, 0.0, rng.uniform(0.0, 6.3)))
    eye_z = float(land(np.array([0.0]), np.array([0.0]))[0]) + 1.7
    target = kit.direction(-1.5, LOOK + 4.0)
    kit.camera((0.0, 0.0, eye_z), (target.x, target.y, eye_z + target.z), 55.0)
    kit.film(exposure=-4.3)
    kit.clean_margins(SAMPLES // 3)
