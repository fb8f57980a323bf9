"""A lighthouse on a granite skerry on a breezy afternoon: a red and white tower with its iron gallery and
glazed lantern, the keeper's house beside it, the grey rock split by its joints into blocks that settle
and break away into the surf, grass in its hollows high up; in front, low boulders awash, dark and wet
where the swell reaches them, each in a collar of foam."""
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
# Two sets of joints split the islet's granite into blocks: (spacing, direction in degrees, seed); they
# wander, and only some stretches of each have opened into clefts.
JOINTS = [(6.5, 62.0, 156), (5.0, 147.0, 157)]
# Blocks broken off the islet's foot, lying in the surf, as (ahead, right, radius, seed).
SKERRY_BLOCKS = [(62.0, -4.0, 2.6, 1), (61.0, 9.0, 2.0, 2), (64.0, 22.0, 2.8, 3), (70.0, 31.0, 2.2, 4),
                 (67.0, -11.0, 1.8, 5), (74.0, -16.0, 2.4, 6), (60.0, 15.0, 1.3, 7), (63.0, 1.5, 1.2, 8),
                 (62.5, 27.0, 1.4, 9), (70.0, -14.0, 1.1, 10)]
# Low boulders awash in front, as (ahead, right, radius, height / radius, seed): whole in the frame, most
# of each under water.
SHORE_BOULDERS = [(13.0, -3.8, 1.6, 0.55, 11), (16.0, -1.4, 0.8, 0.75, 12), (10.0, -2.2, 0.7, 0.8, 13),
                  (12.0, 3.6, 1.5, 0.6, 14), (15.5, 6.2, 0.7, 0.6, 15),
                  (22.0, 1.5, 1.0, 0.5, 17), (25.0, -5.0, 0.7, 0.75, 18), (19.0, 8.0, 0.7, 0.5, 19),
                  (7.5, -0.6, 0.9, 0.7, 20), (18.0, -7.0, 0.9, 0.55, 21)]


def hashed(i, j):
    """A steady pseudo-random 0..1 for each pair of whole numbers."""
    v = np.sin(i * 12.9898 + j * 78.233) * 43758.5453
    return v - np.floor(v)


def joints(a, b):
    """Distance in metres to the nearest joint and each point's block (two whole numbers)."""
    nearest, blocks = np.inf, []
    for spacing, angle, seed in JOINTS:
        c, s = math.cos(math.radians(angle)), math.sin(math.radians(angle))
        u = (c * a + s * b) / spacing + 1.4 * terrain.fbm(a / 22.0, b / 22.0, 3, seed=seed)
        k = np.floor(u)
        # a joint far from open counts as further away than it is: tight, a line rather than a cleft
        tight = 1.0 + 0.8 * terrain.smoothstep(0.2, -0.1, terrain.fbm(a / 9.0 + k, b / 9.0, 2, seed=seed + 10))
        nearest = np.minimum(nearest, np.minimum(u - k, k + 1.0 - u) * spacing * tight)
        blocks.append(k)
    return nearest, blocks


def land(x, y):
    """The islet, and the shore the camera stands on falling away into the sea in front of it."""
    a, b = terrain.to_view(x, y, LOOK)
    ia, ib, radius, height = ISLET
    r = np.hypot(a - ia, (b - ib) * 0.75) * (1.0 + 0.25 * terrain.fbm(a / 30.0, b / 30.0, 3, seed=151))
    # granite weathers into domes: a rounded top, steeper flanks into the water
    dome = height * terrain.smoothstep(radius, radius * 0.2, r) ** 0.7 - 3.0
    # the joints open into clefts, and towards the sea the blocks between them have settled, each its own way
    crack, (i, j) = joints(a, b)
    # ice ground the crown to a smooth whaleback: the joints open only on the flanks the sea works at
    cleft = 0.45 * terrain.smoothstep(0.35, 0.0, crack) * (0.2 + 0.8 * terrain.smoothstep(7.0, 2.0, dome))
    settled = (hashed(i, j) - 0.6) * (0.15 + 1.0 * terrain.smoothstep(5.0, 0.0, dome))
    rock = terrain.smoothstep(-3.0, -0.5, dome)
    islet = dome + (settled - cleft) * rock
    shore = 0.5 - 0.25 * (a + 4.0 * terrain.fbm(b / 20.0, 0.0, 3, seed=152)) - 0.002 * b * b
    z = np.maximum(islet, shore)
    # the whaleback's skin: broad swells, and the edges of sheets that have scaled off it
    sheets = 0.35 * np.abs(terrain.fbm(a / 7.0, b / 7.0, 3, seed=155))
    return z + (0.9 * terrain.fbm(a / 9.0, b / 9.0, 4, seed=153) + 0.12 * terrain.fbm(a / 2.5, b / 2.5, 3, seed=154)
                - sheets) * terrain.smoothstep(-2.0, 1.0, z)


def hollows(z):
    """How far each point of a grid of heights lies below the mean of its neighbourhood (metres, 0 on
    crowns): where soil and water gather in the rock."""
    mean = z.copy()
    for axis, reach in ((0, 3), (1, 8)):
        total = mean.copy()
        for k in range(1, reach + 1):
            total += np.roll(mean, k, axis) + np.roll(mean, -k, axis)
        mean = total / (2 * reach + 1)
    return np.maximum(mean - z, 0.0)


def at(ahead, right):
    """The world point and the rock's height there."""
    x, y = terrain.from_view(ahead, right, LOOK)
    return x, y, float(land(np.array([x]), np.array([y]))[0])


def granite(tree, wet_below=0.8):
    """Grey-pink granite, the boulders' and the footings' stone: dark and glossy where the swell wets it."""
    return air.hazed(tree, kit.weathered_granite(tree, (0.21, 0.195, 0.185), (0.1, 0.09, 0.088), grain=40.0,
                                                 lichen=0.5, lichen_colour=(0.46, 0.33, 0.1),
                                                 wet_below=wet_below, wet_band=0.6, wet_tone=(0.3, 0.29, 0.28)),
                     8000.0, 600.0)


def islet_rock(tree):
    """The skerry's bare rock seen from afar: grey-pink granite split into blocks, dark in its clefts,
    grey lichen on the crowns and grass in the hollows high up, a black lichen band above the splash zone
    and wet, glistening rock below it."""
    p = kit.coordinates(tree, "Object")
    z = kit.node(tree, "ShaderNodeSeparateXYZ", {0: p}).outputs["Z"]
    hollow = kit.node(tree, "ShaderNodeAttribute", attribute_name="hollow").outputs["Fac"]
    mottle = kit.noise(tree, p, 0.15, 5.0, 0.6)
    colour = kit.ramp(tree, mottle, [(0.3, (0.075, 0.07, 0.068)), (0.5, (0.13, 0.12, 0.115)), (0.7, (0.1, 0.095, 0.092))])
    # fine speckle of the crystals and stains, so no broad surface is one flat colour
    speck = kit.map_range(tree, kit.noise(tree, p, 3.0, 6.0, 0.7), 0.35, 0.65, 0.75, 1.2)
    colour = kit.mix_colour(tree, 1.0, colour, kit.node(tree, "ShaderNodeCombineXYZ", {0: speck, 1: speck, 2: speck}
                                                        ).outputs[0], "MULTIPLY")
    up = kit.node(tree, "ShaderNodeSeparateXYZ", {0: kit.node(tree, "ShaderNodeNewGeometry").outputs["Normal"]}
                  ).outputs["Z"]
    lichen = kit.math_node(tree, "MULTIPLY", kit.map_range(tree, up, 0.6, 0.9),
                           kit.map_range(tree, kit.noise(tree, p, 0.6, 5.0, 0.6), 0.45, 0.6, 0.0, 0.5))
    colour = kit.mix_colour(tree, lichen, colour, (0.17, 0.17, 0.155, 1.0))
    # grass and crowberry where soil gathers in the hollows, above the reach of the spray
    soil = kit.math_node(tree, "MULTIPLY", kit.map_range(tree, hollow, 0.01, 0.06),
                         kit.math_node(tree, "MULTIPLY", kit.map_range(tree, z, 3.5, 5.5), kit.map_range(tree, up, 0.5, 0.8)))
    tuft = kit.map_range(tree, kit.noise(tree, p, 1.5, 4.0, 0.6), 0.35, 0.6)
    grass = kit.mix_colour(tree, tuft, (0.07, 0.085, 0.025, 1.0), (0.19, 0.17, 0.06, 1.0))
    colour = kit.mix_colour(tree, soil, colour, grass)
    # the clefts between the blocks in shadow and grime
    cleft = kit.math_node(tree, "MULTIPLY", kit.map_range(tree, hollow, 0.25, 0.6), kit.map_range(tree, z, 5.0, 3.0))
    colour = kit.mix_colour(tree, kit.math_node(tree, "MULTIPLY", cleft, 0.8), colour, (0.03, 0.025, 0.02, 1.0))
    # black lichen in a band above the splash zone, bare wet rock below it
    band = kit.math_node(tree, "MULTIPLY", kit.map_range(tree, z, 0.9, 1.5), kit.map_range(tree, z, 3.0, 2.0))
    colour = kit.mix_colour(tree, kit.math_node(tree, "MULTIPLY", band, 0.75), colour, (0.035, 0.03, 0.028, 1.0))
    wet = kit.map_range(tree, z, 1.0, 0.3)
    colour = kit.mix_colour(tree, wet, colour, kit.mix_colour(tree, 1.0, colour, (0.3, 0.29, 0.28, 1.0), "MULTIPLY"))
    steep = kit.map_range(tree, up, 0.75, 0.4)
    colour = kit.mix_colour(tree, kit.math_node(tree, "MULTIPLY", steep, 0.5), colour, (0.1, 0.08, 0.075, 1.0))
    normal = kit.bump(tree, kit.math_node(tree, "ADD", kit.noise(tree, p, 0.8, 6.0, 0.6),
                                          kit.math_node(tree, "MULTIPLY", kit.noise(tree, p, 6.0, 3.0), 0.15)), 0.5, 0.3)
    roughness = kit.map_range(tree, z, 1.0, 0.3, 0.8, 0.25)
    return air.hazed(tree, kit.principled(tree, colour, roughness, normal=normal), 8000.0, 600.0)


def sea_material(tree):
    """Dark clear sea, broken into a lace of foam where the "foam" attribute says it washes rock."""
    foam = kit.node(tree, "ShaderNodeAttribute", attribute_name="foam").outputs["Fac"]
    p = kit.coordinates(tree, "Object")
    flat = kit.node(tree, "ShaderNodeMapping", {"Vector": p, "Scale": (1.0, 1.0, 0.0)}).outputs[0]
    lace = kit.noise(tree, flat, 2.5, 8.0, 0.65, 1.2)
    broken = kit.math_node(tree, "MULTIPLY", kit.map_range(tree, foam, 0.05, 0.7, 0.0, 0.9),
                           kit.map_range(tree, kit.math_node(tree, "ADD", lace, kit.math_node(tree, "MULTIPLY", foam, 0.1)),
                                         0.55, 0.68))
    water = kit.principled(tree, (0.002, 0.02, 0.045), 0.14, specular=0.5)
    froth = kit.principled(tree, (0.42, 0.45, 0.46), 0.7)
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


def waterline(obj, band=0.25, bins=64):
    """Where `obj`, finished by its modifiers, meets the calm sea: its centre (x, y) and its reach from
    there in each of `bins` directions, from its vertices within `band` metres of sea level."""
    finished = obj.evaluated_get(bpy.context.evaluated_depsgraph_get())
    mesh = finished.to_mesh()
    co = np.empty(len(mesh.vertices) * 3, np.float32)
    mesh.vertices.foreach_get("co", co)
    finished.to_mesh_clear()
    m = np.array(finished.matrix_world)
    co = co.reshape(-1, 3) @ m[:3, :3].T + m[:3, 3]
    near = co[np.abs(co[:, 2]) < band]
    if not len(near):
        return None
    cx, cy = m[0, 3], m[1, 3]
    k = ((np.arctan2(near[:, 1] - cy, near[:, 0] - cx) + math.pi) / (2.0 * math.pi) * bins).astype(int) % bins
    reach = np.zeros(bins)
    np.maximum.at(reach, k, np.hypot(near[:, 0] - cx, near[:, 1] - cy))
    # directions no vertex fell in take their neighbours' reach
    full = np.nonzero(reach)[0]
    reach = np.interp(np.arange(bins), full, reach[full], period=bins)
    return cx, cy, reach


def awash(x, y, lines):
    """0..1 at the sea points (x, y): a narrow collar of foam where the swell breaks on each rock of
    `lines` (from waterline), thinning into a fainter wake of it a little further out."""
    foam = np.zeros_like(x)
    for cx, cy, reach in lines:
        bins = len(reach)
        dx, dy = x - cx, y - cy
        close = dx * dx + dy * dy < (reach.max() + 3.0) ** 2
        if not np.any(close):
            continue
        k = ((np.arctan2(dy[close], dx[close]) + math.pi) / (2.0 * math.pi) * bins).astype(int) % bins
        out = np.hypot(dx[close], dy[close]) - reach[k]
        width = 0.08 + 0.05 * reach.mean()
        ring = np.maximum(terrain.smoothstep(width, 0.0, out), 0.25 * terrain.smoothstep(2.5 * width, 0.0, out))
        foam[close] = np.maximum(foam[close], ring)
    return foam


def build():
    air.sky(*SUN, dust=0.5, ozone=1.2, clouds=[
        dict(height=1800.0, scale=1700.0, coverage=0.36, opacity=4.0, stretch=1.8, heading=35.0, seed=87.0),
        dict(height=7000.0, scale=4000.0, coverage=0.25, opacity=1.2, stretch=5.0, heading=60.0, seed=82.0,
             shadow=0.2)])
    eye = (0.0, 0.0)
    rock = kit.material("granite", granite)
    rng = np.random.RandomState(15)
    stones = []
    for ba, bb, r, seed in SKERRY_BLOCKS:
        bx, by, bz = at(ba, bb)
        # blocks the sea has pried off the islet: still angular, most of each under water
        stones.append(kit.joint_boulder("skerry block %d" % seed, (r * 1.4, r, r * 0.6), 150 + seed, wear=0.3,
                                        location=(bx, by, max(bz, -0.8) + 0.25 * r),
                                        rotation=(0.0, 0.0, rng.uniform(0.0, 6.3)), mat=rock, voxel=r / 12.0))
    for ba, bb, r, tall, seed in SHORE_BOULDERS:
        bx, by, bz = at(ba, bb)
        # sunk to below their widest, so the sea closes round them instead of lapping under an overhang
        stones.append(kit.joint_boulder("boulder %d" % seed, (r * rng.uniform(1.1, 1.4), r, r * tall), 150 + seed,
                                        wear=rng.uniform(0.25, 0.45), location=(bx, by, -0.1 * r * tall),
                                        rotation=(rng.uniform(-0.15, 0.15), rng.uniform(-0.15, 0.15),
                                                  rng.uniform(0.0, 6.3)), mat=rock))
    lines = [w for w in map(waterline, stones) if w is not None]

    def floor(x, y):
        # the sea foams over the islet's shallows and in collars round the stones
        return np.maximum(land(x, y), -0.5 + 0.8 * awash(x, y, lines))

    x, y = terrain.view_grid(eye, LOOK, 110.0, 1.0, 30000.0, kit.scaled(1600), kit.scaled(1100))
    waves = (terrain.wave_train(24, LOOK + 180.0, 20.0, 60.0, 6.0, 0.8, 0.7, seed=15) +
             terrain.wave_train(60, LOOK + 140.0, 40.0, 6.0, 0.1, 0.25, 1.0, seed=16))
    terrain.washing_sea(x, y, waves, floor, kit.material("sea", sea_material), (-0.5, 0.3), 0.5)
    x, y = terrain.view_grid(eye, LOOK, 110.0, 0.5, 600.0, kit.scaled(1400), kit.scaled(1100))
    z = land(x, y)
    islet = terrain.grid_object("rock", x, y, z, kit.material("islet rock", islet_rock))
    islet.data.attributes.new("hollow", "FLOAT", "POINT").data.foreach_set(
        "value", hollows(z).reshape(-1).astype(np.float32))
    lx, ly, lz = at(*LIGHTHOUSE)
    lighthouse(lx, ly, lz)
    hx, hy, hz = at(*HOUSE)
    house(hx, hy, hz + 0.3, facing(hx, hy))
    eye_z = 2.6
    target = kit.direction(-2.0, LOOK + 2.0)
    kit.camera((0.0, 0.0, eye_z), (target.x, target.y, eye_z + target.z), 55.0)
    kit.film(exposure=-4.3)
    kit.clean_margins(SAMPLES // 3)
    # the haze the materials draw glows only to be seen: sampled as lamps, the many triangles of sea and
    # rock would take the sun's share of the light samples and speckle everything it lights
    for mat in bpy.data.materials:
        mat.cycles.sample_as_light = False
