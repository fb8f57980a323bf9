"""A lighthouse on a granite skerry on a breezy afternoon: a red and white tower with its iron gallery and
glazed lantern, the keeper's house beside it and a stair of concrete steps down to a landing, the pink rock
broken into sheets and blocks where it meets the sea in white foam; in front, the jointed boulders of the
shore the picture is taken from, wet and dark where the swell reaches them."""
import math

import bmesh
import bpy
import numpy as np

import air
import kit
import terrain

SAMPLES = 40
DENOISE = 3.0
SUN = (28.0, 235.0)  # mid-afternoon, from the left of the view and a little behind it
LOOK = 160.0
ISLET = (86.0, 10.0, 24.0, 11.0)  # ahead, right, radius and height of the islet, metres
LIGHTHOUSE = (88.0, 14.0)
HOUSE = (82.0, 4.0)  # the keeper's house, on the lower shoulder of the islet in front of the tower
TOWER = 16.0  # metres from the rock to the gallery
# Boulders of the islet's foot as (ahead, right, radius, seed), where it meets the sea.
SKERRY_BLOCKS = [(61.0, -4.0, 3.0, 1), (60.0, 9.0, 2.4, 2), (63.0, 22.0, 3.4, 3), (70.0, 32.0, 2.6, 4),
                 (66.0, -12.0, 2.2, 5), (74.0, -17.0, 3.0, 6), (58.0, 15.0, 1.6, 7)]
# The shore in front: boulders as (ahead, right, radius, height / radius, seed).
SHORE_BOULDERS = [(9.0, -6.5, 2.4, 0.7, 11), (10.5, 5.5, 2.0, 0.8, 12), (13.0, -1.5, 1.2, 0.7, 13),
                  (7.5, 1.5, 1.3, 0.6, 14), (16.0, 10.0, 1.5, 0.7, 15), (18.0, -10.0, 1.9, 0.65, 16),
                  (14.5, -6.5, 0.7, 0.8, 17), (21.0, 3.0, 1.0, 0.6, 18), (6.5, -3.0, 0.8, 0.7, 19),
                  (24.0, -3.5, 0.6, 0.7, 20), (12.0, 10.0, 0.7, 0.8, 21), (6.0, 5.5, 1.1, 0.6, 22),
                  (5.0, -0.5, 1.6, 0.5, 23), (4.5, 3.0, 1.2, 0.55, 24), (5.5, -6.0, 1.5, 0.6, 25),
                  (3.5, -3.5, 1.4, 0.5, 26), (4.0, 7.5, 1.6, 0.6, 27)]


def land(x, y):
    """The islet, and the shore the camera stands on falling away into the sea in front of it."""
    a, b = terrain.to_view(x, y, LOOK)
    ia, ib, radius, height = ISLET
    r = np.hypot(a - ia, (b - ib) * 0.75) * (1.0 + 0.25 * terrain.fbm(a / 30.0, b / 30.0, 3, seed=151))
    # granite weathers into domes: a rounded top, steeper flanks into the water
    islet = height * terrain.smoothstep(radius, radius * 0.2, r) ** 0.7 - 3.0
    # sheet joints: the dome peels in layers, each a low step
    level = islet / 1.8 + 0.4 * terrain.fbm(a / 20.0, b / 20.0, 2, seed=155)
    steps = (np.floor(level) + terrain.smoothstep(0.75, 1.0, level - np.floor(level))) * 1.8
    islet = np.where(islet > -1.0, 0.55 * islet + 0.45 * steps, islet)
    shore = 0.5 - 0.16 * (a + 4.0 * terrain.fbm(b / 20.0, 0.0, 3, seed=152)) - 0.002 * b * b
    z = np.maximum(islet, shore)
    return z + (0.8 * terrain.fbm(a / 9.0, b / 9.0, 4, seed=153) + 0.25 * terrain.fbm(a / 2.5, b / 2.5, 3, seed=154)) * \
        terrain.smoothstep(-2.0, 1.0, z)


def at(ahead, right):
    """The world point and the rock's height there."""
    x, y = terrain.from_view(ahead, right, LOOK)
    return x, y, float(land(np.array([x]), np.array([y]))[0])


def granite(tree, wet_below=1.2):
    """Pink granite, as the islet's rock and its boulders."""
    return air.hazed(tree, kit.weathered_granite(tree, (0.42, 0.3, 0.26), (0.22, 0.16, 0.15), grain=40.0,
                                                 lichen=0.55, lichen_colour=(0.5, 0.33, 0.08),
                                                 wet_below=wet_below, wet_band=0.8), 8000.0, 600.0)


def islet_rock(tree):
    """The skerry's bare rock seen from afar: pink granite in broad weathered sheets, grey lichen on the
    top, dark and glistening where the surf wets it."""
    p = kit.coordinates(tree, "Object")
    z = kit.node(tree, "ShaderNodeSeparateXYZ", {0: p}).outputs["Z"]
    mottle = kit.noise(tree, p, 0.15, 5.0, 0.6)
    colour = kit.ramp(tree, mottle, [(0.3, (0.3, 0.2, 0.17)), (0.5, (0.4, 0.28, 0.23)), (0.7, (0.34, 0.25, 0.22))])
    up = kit.node(tree, "ShaderNodeSeparateXYZ", {0: kit.node(tree, "ShaderNodeNewGeometry").outputs["Normal"]}
                  ).outputs["Z"]
    lichen = kit.math_node(tree, "MULTIPLY", kit.map_range(tree, up, 0.6, 0.9),
                           kit.map_range(tree, kit.noise(tree, p, 0.6, 5.0, 0.6), 0.45, 0.6, 0.0, 0.6))
    colour = kit.mix_colour(tree, lichen, colour, (0.34, 0.33, 0.29, 1.0))
    # black lichen in a band above the splash zone, bare wet rock below it
    band = kit.math_node(tree, "MULTIPLY", kit.map_range(tree, z, 1.0, 1.6), kit.map_range(tree, z, 3.5, 2.4))
    colour = kit.mix_colour(tree, kit.math_node(tree, "MULTIPLY", band, 0.7), colour, (0.05, 0.045, 0.04, 1.0))
    wet = kit.map_range(tree, z, 1.2, 0.4)
    colour = kit.mix_colour(tree, wet, colour, kit.mix_colour(tree, 1.0, colour, (0.4, 0.38, 0.36, 1.0), "MULTIPLY"))
    steep = kit.map_range(tree, up, 0.75, 0.4)
    colour = kit.mix_colour(tree, kit.math_node(tree, "MULTIPLY", steep, 0.5), colour, (0.2, 0.14, 0.12, 1.0))
    normal = kit.bump(tree, kit.math_node(tree, "ADD", kit.noise(tree, p, 0.8, 6.0, 0.6),
                                          kit.math_node(tree, "MULTIPLY", kit.noise(tree, p, 6.0, 3.0), 0.15)), 0.4, 0.3)
    roughness = kit.map_range(tree, z, 1.2, 0.4, 0.8, 0.3)
    return air.hazed(tree, kit.principled(tree, colour, roughness, normal=normal), 8000.0, 600.0)


def sea_material(tree):
    foam = kit.node(tree, "ShaderNodeAttribute", attribute_name="foam").outputs["Fac"]
    p = kit.coordinates(tree, "Object")
    lace = kit.noise(tree, kit.node(tree, "ShaderNodeMapping", {"Vector": p, "Scale": (1.0, 1.0, 0.0)}).outputs[0],
                     0.9, 8.0, 0.7, 1.5)
    broken = kit.math_node(tree, "MULTIPLY", kit.map_range(tree, foam, 0.2, 0.9),
                           kit.map_range(tree, kit.math_node(tree, "ADD", lace, kit.math_node(tree, "MULTIPLY", foam, 0.3)),
                                         0.55, 0.75))
    water = kit.principled(tree, (0.002, 0.02, 0.045), 0.14, specular=0.5)
    froth = kit.principled(tree, (0.8, 0.82, 0.82), 0.6)
    return air.hazed(tree, kit.node(tree, "ShaderNodeMixShader", {0: broken, 1: water, 2: froth}).outputs[0], 12000.0)


def striped(tree):
    """The tower's paint: red and white bands, a little weathered."""
    p = kit.coordinates(tree, "Object")
    z = kit.node(tree, "ShaderNodeSeparateXYZ", {0: p}).outputs["Z"]
    band = kit.math_node(tree, "GREATER_THAN", kit.math_node(tree, "PINGPONG", kit.math_node(tree, "ADD", z, 8.0), 3.2),
                         1.6)
    colour = kit.mix_colour(tree, band, (0.78, 0.76, 0.72, 1.0), (0.5, 0.03, 0.025, 1.0))
    # rust and rain streaks run down from the gallery
    streaks = kit.node(tree, "ShaderNodeMapping", {"Vector": p, "Scale": (6.0, 6.0, 0.2)}).outputs[0]
    grime = kit.map_range(tree, kit.noise(tree, streaks, 2.0, 4.0), 0.5, 0.75, 0.0, 0.25)
    colour = kit.mix_colour(tree, grime, colour, (0.25, 0.2, 0.16, 1.0))
    return air.hazed(tree, kit.principled(tree, colour, 0.45), 12000.0)


def facing(x, y):
    """The turn about the vertical that points an object's +x from (x, y) towards the camera."""
    return math.atan2(-y, -x)


def ring(name, radius, thickness, z, x, y, mat, segments=64):
    """A round rail: a thin tube around the vertical at height z."""
    profile = [(radius + thickness * math.cos(t), z + thickness * math.sin(t))
               for t in np.linspace(0.0, 2.0 * math.pi, 8, endpoint=False)]
    return kit.lathe(name, profile, segments, (x, y, 0.0), mat)


def opening(name, x, y, turn, out, along, z, size, frame, fill):
    """A window or door on a wall facing `turn`: the frame proud of it, the dark pane a little sunk."""
    c, s = math.cos(turn), math.sin(turn)
    cx, cy = x + out * c - along * s, y + out * s + along * c
    outer = kit.box(name + " frame", (cx, cy, z), (0.16, size[0] + 0.16, size[1] + 0.16), frame)
    outer.rotation_euler.z = turn
    inner = kit.box(name, (cx + 0.03 * c, cy + 0.03 * s, z), (0.16, size[0], size[1]), fill)
    inner.rotation_euler.z = turn


def lighthouse(x, y, z):
    white = kit.material("whitewash", lambda t: air.hazed(t, kit.principled(t, (0.78, 0.76, 0.72), 0.6), 12000.0))
    red = kit.material("roof", lambda t: air.hazed(t, kit.principled(t, (0.35, 0.04, 0.03), 0.45), 12000.0))
    iron = kit.material("iron", lambda t: air.hazed(t, kit.principled(t, (0.03, 0.035, 0.03), 0.45, metallic=0.6),
                                                    12000.0))
    pane = kit.material("lantern glass", lambda t: air.hazed(t, kit.principled(t, (0.05, 0.06, 0.06), 0.05,
                                                                               specular=0.8), 12000.0))
    plinth = kit.material("plinth", lambda t: granite(t, wet_below=-9.0))
    turn = facing(x, y)
    # a round granite plinth the tower stands on, set into the rock
    kit.cone("plinth", (x, y, z - 0.5), 3.4, 3.2, 3.0, 48, mat=plinth)
    base = z + 1.0
    kit.cone("tower", (x, y, base + TOWER / 2.0), 2.6, 1.75, TOWER, 64, mat=kit.material("tower paint", striped))
    top = base + TOWER
    # the gallery: a deck on brackets, a railing of posts and two rails
    kit.cone("gallery deck", (x, y, top + 0.1), 2.7, 2.7, 0.25, 64, mat=iron, smooth=False)
    kit.cone("gallery corbel", (x, y, top - 0.3), 1.8, 2.6, 0.6, 64, mat=white)
    for k in range(32):
        a = 2.0 * math.pi * k / 32
        kit.cone("railing post", (x + 2.6 * math.cos(a), y + 2.6 * math.sin(a), top + 0.7), 0.03, 0.03, 1.0, 6,
                 mat=iron, smooth=False)
    ring("top rail", 2.6, 0.04, top + 1.2, x, y, iron)
    ring("middle rail", 2.6, 0.025, top + 0.7, x, y, iron)
    # the lantern: a low wall, a ring of glazing between iron astragals, the domed red roof
    kit.cone("lantern wall", (x, y, top + 0.6), 1.45, 1.45, 1.0, 48, mat=white)
    kit.cone("lantern glazing", (x, y, top + 2.2), 1.35, 1.35, 2.2, 48, mat=pane)
    for k in range(10):
        a = 2.0 * math.pi * (k + 0.5) / 10
        bar = kit.box("astragal", (x + 1.38 * math.cos(a), y + 1.38 * math.sin(a), top + 2.2), (0.08, 0.08, 2.2), iron)
        bar.rotation_euler.z = a
    ring("glazing bar", 1.38, 0.04, top + 2.2, x, y, iron)
    kit.lathe("lantern roof", [(0.0, top + 4.3)] + [(1.6 * math.cos(t), top + 3.3 + 1.0 * math.sin(t))
                                                   for t in np.linspace(math.pi / 2.0, 0.0, 12)[1:]] +
              [(1.6, top + 3.22), (0.0, top + 3.22)], 48, (x, y, 0.0), red)
    kit.sphere("vent", (x, y, top + 4.45), 0.25, 24, 12, iron)
    kit.cone("lightning rod", (x, y, top + 5.2), 0.03, 0.01, 1.4, 6, iron)
    # a door at the foot, facing the landing, and small windows lighting the stair inside, climbing round
    dark = kit.simple_material("door", (0.04, 0.08, 0.06), 0.5)
    glass = kit.material("window", lambda t: air.hazed(t, kit.principled(t, (0.01, 0.012, 0.015), 0.1), 12000.0))
    opening("door", x, y, turn, 2.55, 0.0, base + 1.1, (1.0, 2.2), white, dark)
    for k, h in enumerate((5.0, 9.0, 13.0)):
        r = 2.6 - 0.85 * h / TOWER
        opening("stair window", x, y, turn + (0.35 if k % 2 else -0.35), r, 0.0, base + h, (0.55, 0.9), white, glass)


def house(x, y, z, turn):
    """The keeper's house: whitewashed walls on a stone footing, a red gabled roof, windows and a door on
    the side that faces the camera, a chimney."""
    white = kit.material("house wall", lambda t: air.hazed(t, kit.principled(t, (0.75, 0.73, 0.69), 0.7), 12000.0))
    red = kit.material("house roof", lambda t: air.hazed(t, kit.principled(t, (0.3, 0.05, 0.035), 0.55), 12000.0))
    footing = kit.material("footing", lambda t: granite(t, wet_below=-9.0))
    glass = kit.material("house window", lambda t: air.hazed(t, kit.principled(t, (0.01, 0.012, 0.015), 0.1),
                                                             12000.0))
    door = kit.simple_material("house door", (0.05, 0.09, 0.07), 0.5)
    length, depth, wall, ridge = 9.0, 5.5, 3.0, 2.0
    c, s = math.cos(turn), math.sin(turn)
    # the walls with their gables as one solid: +x towards the camera, the ridge along y
    bm = bmesh.new()
    outline = [(-depth / 2, -length / 2, 0.0), (depth / 2, -length / 2, 0.0), (depth / 2, length / 2, 0.0),
               (-depth / 2, length / 2, 0.0), (-depth / 2, -length / 2, wall), (depth / 2, -length / 2, wall),
               (depth / 2, length / 2, wall), (-depth / 2, length / 2, wall), (0.0, -length / 2, wall + ridge),
               (0.0, length / 2, wall + ridge)]
    v = [bm.verts.new(p) for p in outline]
    for f in ((0, 3, 2, 1), (0, 1, 5, 8, 4), (1, 2, 6, 5), (2, 3, 7, 9, 6), (3, 0, 4, 7), (5, 6, 9, 8),
              (4, 8, 9, 7)):
        bm.faces.new([v[i] for i in f])
    bmesh.ops.recalc_face_normals(bm, faces=bm.faces)
    mesh = bpy.data.meshes.new("keeper's house")
    bm.to_mesh(mesh)
    bm.free()
    kit.add_object("keeper's house", mesh, (x, y, z), (0.0, 0.0, turn), white)
    kit.box("house footing", (x, y, z - 1.5), (depth + 0.4, length + 0.4, 3.2), footing).rotation_euler.z = turn
    # the roof: two planes of tiles lapping over the walls
    slope = math.atan2(ridge, depth / 2)
    half = math.hypot(depth / 2, ridge) + 0.5
    for side in (-1, 1):
        # the middle of the slope, moved down it for the eaves' overhang and out by half the thickness
        mx = side * (depth / 4 + 0.25 * math.cos(slope) + 0.1 * math.sin(slope))
        mz = wall + ridge / 2 - 0.25 * math.sin(slope) + 0.1 * math.cos(slope)
        roof = kit.box("house roof", (x + mx * c, y + mx * s, z + mz), (half, length + 0.8, 0.16), red)
        roof.rotation_euler = (0.0, side * slope, turn)
    kit.box("chimney", (x + 0.9 * c - 2.8 * s, y + 0.9 * s + 2.8 * c, z + wall + ridge + 0.2), (0.7, 0.7, 2.2),
            white).rotation_euler.z = turn
    face = depth / 2
    for along in (-3.0, -1.2, 2.6):
        opening("house window", x, y, turn, face, along, z + 1.7, (0.9, 1.2), white, glass)
    opening("house door", x, y, turn, face, 0.7, z + 1.1, (1.0, 2.1), white, door)


def steps(path, mat):
    """Concrete steps and landings along `path`, (ahead, right) points, on the rock."""
    pts = terrain.spline(np.array(path), 40)
    for k in range(len(pts) - 1):
        (a0, b0), (a1, b1) = pts[k], pts[k + 1]
        x0, y0, z0 = at(a0, b0)
        x1, y1, z1 = at(a1, b1)
        length = math.hypot(x1 - x0, y1 - y0)
        tread = kit.box("step", ((x0 + x1) / 2, (y0 + y1) / 2, max(z0, z1) - 0.3), (length + 0.05, 1.3, 0.8), mat)
        tread.rotation_euler.z = math.atan2(y1 - y0, x1 - x0)


def build():
    air.sky(*SUN, dust=0.5, ozone=1.2, clouds=[
        dict(height=1800.0, scale=1700.0, coverage=0.36, opacity=4.0, stretch=1.8, heading=35.0, seed=87.0),
        dict(height=7000.0, scale=4000.0, coverage=0.25, opacity=1.2, stretch=5.0, heading=60.0, seed=82.0,
             shadow=0.2)])
    eye = (0.0, 0.0)

    def floor(x, y):
        # the sea foams round the islet and its boulders
        z = land(x, y)
        a, b = terrain.to_view(x, y, LOOK)
        for ba, bb, r, _ in SKERRY_BLOCKS:
            z = np.maximum(z, r * 0.6 - 1.5 * np.hypot(a - ba, b - bb) / r)
        for ba, bb, r, tall, _ in SHORE_BOULDERS:
            z = np.maximum(z, r * tall * 0.5 - 1.5 * np.hypot(a - ba, b - bb) / r)
        return z

    x, y = terrain.view_grid(eye, LOOK, 110.0, 1.0, 30000.0, kit.scaled(1600), kit.scaled(1100))
    waves = (terrain.wave_train(24, LOOK + 180.0, 20.0, 60.0, 6.0, 0.8, 0.7, seed=15) +
             terrain.wave_train(60, LOOK + 140.0, 40.0, 6.0, 0.1, 0.25, 1.0, seed=16))
    terrain.washing_sea(x, y, waves, floor, kit.material("sea", sea_material), (-0.5, 0.3), 0.5)
    x, y = terrain.view_grid(eye, LOOK, 110.0, 0.5, 600.0, kit.scaled(1400), kit.scaled(1100))
    terrain.grid_object("rock", x, y, land(x, y), kit.material("islet rock", islet_rock))
    lx, ly, lz = at(*LIGHTHOUSE)
    lighthouse(lx, ly, lz)
    hx, hy, hz = at(*HOUSE)
    house(hx, hy, hz + 0.3, facing(hx, hy))
    concrete = kit.material("concrete", lambda t: air.hazed(t, kit.principled(
        t, kit.mix_colour(t, kit.noise(t, kit.coordinates(t, "Object"), 3.0, 4.0), (0.42, 0.41, 0.38, 1.0),
                          (0.3, 0.29, 0.27, 1.0)), 0.85), 12000.0))
    steps([(HOUSE[0] - 3.5, HOUSE[1] + 0.7), (71.0, 6.0), (64.0, 3.0), (60.0, 2.5)], concrete)
    kit.box("landing", (*terrain.from_view(59.0, 2.5, LOOK), 0.6), (3.0, 4.0, 1.4), concrete).rotation_euler.z = \
        math.radians(90.0 - LOOK)
    rock = kit.material("granite", granite)
    rng = np.random.RandomState(15)
    for ba, bb, r, seed in SKERRY_BLOCKS:
        bx, by, bz = at(ba, bb)
        kit.joint_boulder("skerry block %d" % seed, (r * 1.4, r, r * 0.7), 150 + seed, wear=0.5,
                          location=(bx, by, max(bz, -1.0) + 0.2 * r), rotation=(0.0, 0.0, rng.uniform(0.0, 6.3)),
                          mat=rock, voxel=r / 12.0)
    for ba, bb, r, tall, seed in SHORE_BOULDERS:
        bx, by, bz = at(ba, bb)
        kit.joint_boulder("boulder %d" % seed, (r * rng.uniform(1.1, 1.4), r, r * tall), 150 + seed,
                          wear=rng.uniform(0.45, 0.75), location=(bx, by, max(bz, -0.6) + 0.35 * r * tall),
                          rotation=(rng.uniform(-0.15, 0.15), rng.uniform(-0.15, 0.15), rng.uniform(0.0, 6.3)),
                          mat=rock)
    eye_z = 2.6
    target = kit.direction(-2.0, LOOK + 2.0)
    kit.camera((0.0, 0.0, eye_z), (target.x, target.y, eye_z + target.z), 55.0)
    kit.film(exposure=-4.3)
    kit.clean_margins(SAMPLES // 3)
    # the haze the materials draw glows only to be seen: sampled as lamps, the many triangles of sea and
    # rock would take the sun's share of the light samples and speckle everything it lights
    for mat in bpy.data.materials:
        mat.cycles.sample_as_light = False
