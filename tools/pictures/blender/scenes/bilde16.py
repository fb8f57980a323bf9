"""An old wooden jetty on rough piles running out into a still lake at sunrise, a clinker-built rowing boat tied
up alongside, mist lying in streaks on the water, the far shore's pines dark in rows against a sky of peach
and pale blue, a wooded point reaching out nearer on the left."""
import math

import bmesh
import bpy
import numpy as np
from mathutils import Matrix

import air
import kit
import terrain

SAMPLES = 48
SUN = (3.0, 78.0)  # just up, behind the far shore a little right of the jetty
LOOK = 70.0
DECK = 1.05  # the planks' height over the water: enough to see the piles between


def low_point(angle):
    """Where the far shore sinks to a boggy flat with only scrub on it, well right of the sun."""
    return np.exp(-((angle - 0.34) / 0.05) ** 2)


def shore(x, y):
    ahead, across = terrain.to_view(x, y, LOOK)
    # the far shore a little over half a kilometre off, and a wooded point reaching out nearer on the left
    angle = across / np.maximum(ahead, 1.0)
    edge = 560.0 + 90.0 * terrain.fbm(across / 500.0, 0.0, 4, seed=161) - 320.0 * np.exp(-((angle + 0.33) / 0.1) ** 2)
    far = 14.0 * terrain.smoothstep(edge - 40.0, edge + 80.0, ahead) * (1.0 - 0.8 * low_point(angle))
    # ridges behind ridges, each paler in the haze, rising to the hills some kilometres off
    hills = 520.0 * terrain.smoothstep(1200.0, 7000.0, ahead) * (0.45 + 0.7 * terrain.fbm(across / 1500.0, ahead / 1500.0,
                                                                                            4, seed=162))
    near = 2.0 * terrain.smoothstep(-4.0, -14.0, ahead)
    return far + hills + near - 2.5 + 0.4 * terrain.fbm(x / 30.0, y / 30.0, 3, seed=163)


BOAT_MIST = 1500.0


def misty(tree, shader, mist=260.0):
    """Mist lying on the water, and the morning haze above it: it takes a third of the light in `mist` metres
    at the water. The boat lies in the clear air under the jetty's lee, so its dark paint is not veiled by the
    glow of the sky towards the sun."""
    return air.misty(tree, shader, (mist, 6.0), (2200.0, 600.0), tint=(1.02, 1.0, 1.0))


def wisps(tree, seed):
    """Mist lying on the water in slow streaks across the view, from a little way out to the far shore: the
    glow of the low sky where it lies thick, nothing at all to shadows."""
    p = kit.node(tree, "ShaderNodeMapping", {"Vector": kit.coordinates(tree, "Object"), "Scale": (0.02, 0.07, 0.0),
                                             "Location": (seed, seed * 0.7, 0.0)}).outputs[0]
    ahead = kit.node(tree, "ShaderNodeSeparateXYZ", {0: kit.coordinates(tree, "Object")}).outputs["Y"]
    fade = kit.math_node(tree, "MULTIPLY", kit.map_range(tree, ahead, 12.0, 60.0), kit.map_range(tree, ahead, 900.0, 400.0))
    thick = kit.math_node(tree, "MULTIPLY", kit.map_range(tree, kit.noise(tree, p, 1.0, 4.0, 0.6), 0.5, 0.72, 0.0, 0.4), fade)
    clear = kit.node(tree, "ShaderNodeBsdfTransparent").outputs[0]
    glow = air.hazed(tree, clear, 1.0e-3)
    veil = kit.node(tree, "ShaderNodeMixShader", {0: thick, 1: clear, 2: glow}).outputs[0]
    shadow = kit.node(tree, "ShaderNodeLightPath").outputs["Is Shadow Ray"]
    return kit.node(tree, "ShaderNodeMixShader", {0: shadow, 1: veil, 2: clear}).outputs[0]


def land(tree):
    p = kit.coordinates(tree, "Object")
    colour = kit.ramp(tree, kit.noise(tree, p, 0.2, 5.0), [(0.3, (0.03, 0.035, 0.02)), (0.7, (0.07, 0.07, 0.04))])
    return misty(tree, kit.principled(tree, colour, 0.9))


def woods(tree, colour):
    """Far trees: the mist on the water thins out within their height, the haze does not."""
    return air.misty(tree, kit.principled(tree, colour, 0.8), (420.0, 4.0), (2200.0, 600.0), tint=(1.02, 1.0, 1.0))


def leaves(tree):
    return woods(tree, (0.035, 0.045, 0.02))


def needles(tree):
    return woods(tree, (0.02, 0.03, 0.018))


def broadleaf(name, mat, seed):
    """A birch or alder of height 1 seen from across the lake: a rounded crown of a few lumpy masses of
    leaves, broader than a spruce and soft at the top, on a bare trunk."""
    rng = np.random.RandomState(seed)
    bm = bmesh.new()
    lumps = [(0.0, 0.0, 0.62, 0.27)]
    for k in range(5):
        a = 2.0 * math.pi * (k + rng.uniform(-0.3, 0.3)) / 5.0
        r = rng.uniform(0.1, 0.2)
        lumps.append((r * math.cos(a), r * math.sin(a), rng.uniform(0.5, 0.85), rng.uniform(0.12, 0.19)))
    for x, y, z, size in lumps:
        bmesh.ops.create_icosphere(bm, subdivisions=2, radius=size, matrix=Matrix.Translation((x, y, z)))
    for v in bm.verts:
        v.co.z = 0.35 + (v.co.z - 0.35) * 0.95 + 0.02 * rng.uniform(-1.0, 1.0)
        v.co.x *= 1.0 + 0.1 * rng.uniform(-1.0, 1.0)
    verts = [tuple(v.co) for v in bm.verts]
    faces = [tuple(v.index for v in f.verts) for f in bm.faces]
    bm.free()
    foot = [(0.02 * math.cos(a), 0.02 * math.sin(a), 0.0) for a in (0.0, 2.1, 4.2)]
    return kit._tree_object(name, verts, faces, foot, 0.6, True, mat)


def far_trees(rng):
    """The far shore's woods in layers: the near shore a dark, ragged line of spruce spires and the round
    crowns of birch and alder groves, its height rising and falling along the shore, a felled gap and the
    low bog with only scrub; behind it ridge after ridge of forest going pale in the haze."""
    # the skyline is the outline of many trees at any size of picture; only a thumbnail makes do with few
    count = 9000 if kit.detail > 0.2 else 150
    ahead = np.concatenate([rng.uniform(200.0, 1400.0, count), rng.uniform(1400.0, 7000.0, count)])
    across = rng.uniform(-0.75, 0.75, len(ahead)) * ahead
    tx, ty = terrain.from_view(ahead, across, LOOK)
    tz = shore(tx, ty)
    angle = across / ahead
    near = ahead < 1400.0
    # the stand's height along the shore: old spruce, young growth, then old again
    stand = np.clip(0.85 + 1.4 * terrain.fbm(angle * 7.0, 3.3, 3, seed=165), 0.35, 1.35)
    stand = np.where(near, np.minimum(stand, 1.05) * (1.0 - 0.8 * low_point(angle)), 0.9)
    # the wooded point is nearer: lower, younger trees, so that it does not tower over the far shore
    stand = np.where(ahead < 450.0, stand * 0.6, stand)
    gap = near & (np.abs(angle + 0.16) < 0.022 + 0.01 * rng.uniform(-1.0, 1.0, len(ahead)))
    keep = (tz > 0.5) & ~gap
    groves = terrain.fbm(tx / 220.0, ty / 220.0, 3, seed=166) + 0.3 * rng.uniform(-1.0, 1.0, len(ahead))
    kind = np.where(groves > 0.25, 5 + rng.randint(0, 3, len(ahead)), rng.randint(0, 5, len(ahead)))
    heights = rng.uniform(0.55, 1.0, len(ahead)) * 26.0 * stand * np.where(kind >= 5, 0.75, 1.0)
    # here and there an old spruce stands clear of the rest
    tallest = (kind >= 3) & (kind < 5) & (rng.uniform(0.0, 1.0, len(ahead)) < 0.05)
    heights = np.where(tallest, heights * 1.35, heights)
    mat, leafy = kit.material("needles", needles), kit.material("leaves", leaves)
    # named so that their order, which picks them, is the order made: pines, spruces, broadleaves
    templates = [kit.conifer("tree %d pine" % i, 1.0, 9, mat, seed=30 + i) for i in range(3)]
    templates += [kit.spruce("tree %d spruce" % (3 + i), 1.0, mat=mat, seed=40 + i) for i in range(2)]
    templates += [broadleaf("tree %d broadleaf" % (5 + i), leafy, seed=50 + i) for i in range(3)]
    widths = np.where(kind >= 5, rng.uniform(0.8, 1.3, len(ahead)), 1.0) * heights
    kit.scatter("trees", templates, np.stack([tx, ty, tz - 0.5], 1)[keep],
                np.stack([widths, widths, heights], 1)[keep], rng.uniform(0, 6.3, len(ahead))[keep], kind[keep])


def vector_math(tree, operation, a, b=(0.0, 0.0, 0.0)):
    """The node's result: a number for LENGTH (its Value socket), otherwise a vector."""
    outputs = kit.node(tree, "ShaderNodeVectorMath", {0: a, 1: b}, operation=operation).outputs
    return outputs["Value"] if operation == "LENGTH" else outputs["Vector"]


def weathered(tree):
    """Sun-bleached boards, in metres along each board: worn growth rings, a check here and there, two nails
    where the board crosses each stringer, every board its own shade."""
    board = kit.node(tree, "ShaderNodeObjectInfo").outputs["Random"]
    p = vector_math(tree, "ADD", kit.coordinates(tree, "Object"),
                    kit.node(tree, "ShaderNodeCombineXYZ", {0: board, 1: kit.math_node(tree, "MULTIPLY", board, 37.0),
                                                            2: board}).outputs[0])
    # the grain runs along the board (its y): fine streaks and the wavy bands of the rings
    along = kit.node(tree, "ShaderNodeMapping", {"Vector": p, "Scale": (1.0, 0.04, 1.0)}).outputs[0]
    streaks = kit.noise(tree, along, 45.0, 8.0, 0.65)
    rings = kit.node(tree, "ShaderNodeTexWave", {"Vector": along, "Scale": 9.0, "Distortion": 7.0, "Detail": 3.0,
                                                 "Detail Scale": 0.6}, wave_type="BANDS",
                     bands_direction="X").outputs["Fac"]
    check = kit.map_range(tree, kit.math_node(tree, "ABSOLUTE", kit.math_node(
        tree, "SUBTRACT", kit.noise(tree, kit.node(tree, "ShaderNodeMapping", {"Vector": p, "Scale": (1.0, 0.03, 1.0)}
                                               ).outputs[0], 9.0, 2.0), 0.5)), 0.01, 0.0)
    check = kit.math_node(tree, "MULTIPLY", check, kit.map_range(tree, board, 0.35, 0.5))
    colour = kit.ramp(tree, streaks, [(0.38, (0.06, 0.056, 0.05)), (0.62, (0.34, 0.315, 0.28))])
    colour = kit.mix_colour(tree, kit.math_node(tree, "MULTIPLY", rings, 0.5), colour, (0.07, 0.06, 0.05, 1.0))
    # a few boards newer than the rest, browner
    colour = kit.mix_colour(tree, kit.map_range(tree, board, 0.0, 1.0, 0.0, 0.4, False), colour,
                            kit.ramp(tree, board, [(0.0, (0.08, 0.07, 0.065)), (0.8, (0.3, 0.29, 0.27)),
                                                   (1.0, (0.22, 0.14, 0.08))]))
    # nail heads 5 cm from each edge over the stringers, with a rust stain round them
    offset = vector_math(tree, "MULTIPLY", vector_math(tree, "SUBTRACT", vector_math(
        tree, "ABSOLUTE", kit.coordinates(tree, "Object")), (0.05, 0.7, 0.0)), (1.0, 1.0, 0.0))
    reach = vector_math(tree, "LENGTH", offset)
    nail = kit.map_range(tree, reach, 0.0065, 0.005)
    rust = kit.map_range(tree, reach, 0.02, 0.006, 0.0, 0.6)
    colour = kit.mix_colour(tree, rust, colour, (0.1, 0.045, 0.02, 1.0))
    colour = kit.mix_colour(tree, kit.math_node(tree, "MAXIMUM", nail, check), colour, (0.02, 0.018, 0.016, 1.0))
    height = kit.math_node(tree, "SUBTRACT", kit.math_node(tree, "ADD", kit.math_node(tree, "MULTIPLY", streaks, 0.6),
                                                           kit.math_node(tree, "MULTIPLY", rings, 0.25)),
                           kit.math_node(tree, "MULTIPLY", check, 0.8))
    return misty(tree, kit.principled(tree, colour, 0.8, normal=kit.bump(tree, height, 0.6, 0.003)))


def pile(tree):
    """The piles: the same boards' wood, darker, black where the lake keeps them wet and green-slimed just
    above the water."""
    p = kit.coordinates(tree, "Object")
    stretched = kit.node(tree, "ShaderNodeMapping", {"Vector": p, "Scale": (9.0, 9.0, 0.5)}).outputs[0]
    grain = kit.noise(tree, stretched, 4.0, 8.0, 0.65)
    colour = kit.ramp(tree, grain, [(0.3, (0.05, 0.042, 0.035)), (0.7, (0.16, 0.14, 0.12))])
    height = kit.node(tree, "ShaderNodeSeparateXYZ",
                      {0: kit.node(tree, "ShaderNodeNewGeometry").outputs["Position"]}).outputs["Z"]
    # the wet line is ragged: the lake splashes higher on some piles than on others
    ragged = kit.math_node(tree, "ADD", height, kit.math_node(tree, "MULTIPLY", kit.noise(tree, p, 3.0, 3.0), 0.25))
    wet = kit.map_range(tree, ragged, 0.25, 0.55)
    slime = kit.map_range(tree, ragged, 0.3, 0.12)
    colour = kit.mix_colour(tree, wet, (0.012, 0.014, 0.01, 1.0), colour)
    colour = kit.mix_colour(tree, kit.math_node(tree, "MULTIPLY", slime, 0.8), colour, (0.02, 0.035, 0.012, 1.0))
    return misty(tree, kit.principled(tree, colour, kit.map_range(tree, wet, 0.0, 1.0, 0.25, 0.85),
                                      normal=kit.bump(tree, grain, 0.8, 0.01)))


_meshes = {}


def plank_mesh(width, length, thickness):
    """A board with its edges worn round a little, in metres (so its grain keeps to the board's size)."""
    key = ("plank", width, length)
    if key not in _meshes:
        bm = bmesh.new()
        bmesh.ops.create_cube(bm, size=1.0)
        for v in bm.verts:
            v.co = (v.co.x * width, v.co.y * length, v.co.z * thickness)
        bmesh.ops.bevel(bm, geom=bm.edges[:], offset=0.004, segments=2, affect="EDGES")
        mesh = bpy.data.meshes.new("plank")
        bm.to_mesh(mesh)
        bm.free()
        _meshes[key] = mesh
    return _meshes[key]


def post_mesh(top, seed):
    """A pile 22 cm thick from 2 m under the water up to `top`: rough-sawn round, split by a few checks
    down its length, its top weathered ragged."""
    key = ("post", top, seed)
    if key in _meshes:
        return _meshes[key]
    rng = np.random.RandomState(seed)
    sides, rows = 24, 26
    a = np.linspace(0.0, 2.0 * math.pi, sides, endpoint=False)
    z = np.linspace(-2.0, top, rows)
    checks = rng.uniform(0.0, 2.0 * math.pi, 3)
    verts = []
    for h in z:
        r = 0.11 * (1.0 + 0.05 * terrain.fbm(np.cos(a) * 2.0 + seed, np.sin(a) * 2.0 + h * 1.5, 3, seed=seed))
        for c in checks:
            r -= 0.012 * np.exp(-(((a - c + math.pi) % (2.0 * math.pi) - math.pi) / 0.06) ** 2)
        # the top row: sawn at a slant long ago and rotted uneven
        lift = np.where(h == top, 0.025 * np.sin(a + seed) + 0.012 * rng.uniform(-1.0, 1.0, sides), 0.0)
        verts += [(ri * math.cos(ai), ri * math.sin(ai), h + li) for ri, ai, li in zip(r, a, lift)]
    verts.append((0.0, 0.0, top - 0.015))
    faces = [(k * sides + i, k * sides + (i + 1) % sides, (k + 1) * sides + (i + 1) % sides, (k + 1) * sides + i)
             for k in range(rows - 1) for i in range(sides)]
    centre = len(verts) - 1
    faces += [((rows - 1) * sides + i, (rows - 1) * sides + (i + 1) % sides, centre) for i in range(sides)]
    mesh = bpy.data.meshes.new("post")
    mesh.from_pydata(verts, [], faces)
    _meshes[key] = kit._smooth(mesh)
    return mesh


BENTS, SPAN, SPREAD = 12, 2.8, 0.98  # the jetty's pairs of piles, their spacing and half the width between


def brace(centre, size, tilt, turn, mat):
    """A board nailed across the piles, tilted `tilt` radians about the jetty's length (size: thin, long,
    wide) or, with a thin length, about its width."""
    board = kit.box("brace", tuple(centre), size, mat)
    board.rotation_euler = (tilt[0], tilt[1], turn)
    return board


def bents(forward, right, turn, rng, piles, wood):
    """The jetty's bents: piles driven in pairs, one each side of the deck, a cap beam bolted across each
    pair under the stringers and a cross of braces under it; a few piles lean where the ice has pushed
    them, and every few pairs both stand up through the deck as posts. Returns the mooring post's place
    and its top."""
    mooring = None
    for k in range(BENTS):
        along = -2.0 + k * SPAN
        both_tall = k in (4, 8, 11)
        for side in (-1.0, 1.0):
            c = forward * along + right * side * SPREAD
            tall = both_tall or (k == 3 and side > 0)
            top = DECK + (rng.uniform(0.45, 0.8) if tall else -0.03)
            lean = 0.07 if (k * 3 + int(side > 0)) % 7 == 2 else 0.025
            post = kit.add_object("post", post_mesh(top, 1 + (k * 2 + (side > 0)) % 4 if not tall else 5 + k),
                                  (c.x, c.y, 0.0), (rng.uniform(-lean, lean), rng.uniform(-lean, lean),
                                                    rng.uniform(0, 6.3)), piles)
            if k == 3 and side > 0:
                mooring = (c.x, c.y), top
        # the cap beam on the shore side of the pair, the braces crossed on the lake side
        cap = forward * (along - 0.15)
        brace((cap.x, cap.y, DECK - 0.27), (0.08, 2.0 * SPREAD + 0.3, 0.2), (0.0, 0.0), turn, wood)
        low, high = 0.15, DECK - 0.4
        tilt = math.atan2(high - low, 2.0 * SPREAD)
        middle = forward * (along + 0.14)
        for lean in (tilt, -tilt):
            brace((middle.x, middle.y, (low + high) / 2.0), (0.035, 2.0 * SPREAD / math.cos(tilt) + 0.2, 0.15),
                  (lean, 0.0), turn, wood)
        # along the lake side of each row, a diagonal to the next pair on every other span
        if k % 2 == 0 and k + 1 < BENTS:
            rise = math.atan2(high - low, SPAN)
            for side in (-1.0, 1.0):
                m = forward * (along + SPAN / 2.0) + right * side * (SPREAD + 0.13)
                brace((m.x, m.y, (low + high) / 2.0), (SPAN / math.cos(rise) + 0.2, 0.035, 0.15), (0.0, -rise), turn,
                      wood)
    return mooring


LENGTH, BEAM, STRAKES, LAP = 4.2, 0.68, 6, 0.014  # the boat: length, half beam, planks a side, their overlap
DRAFT = 0.17


def lines(u):
    """The boat's half beam, sheer height and keel height at u, 0 at the transom to 1 at the stem."""
    if u <= 0.45:
        t = 1.0 - u / 0.45
        return BEAM * (1.0 - 0.3 * t * t), 0.52 + 0.1 * t * t, 0.1 * t ** 2.5
    t = (u - 0.45) / 0.55
    return BEAM * max(0.012, (1.0 - t ** 1.8) ** 0.75), 0.52 + 0.24 * t * t, 0.34 * t ** 3


def section(u, v):
    """A point (y, z) of the hull's section at u, v of the way round from the keel (0) to the sheer (1)."""
    b, sheer, keel = lines(u)
    theta = v * math.pi / 2.0
    return b * math.sin(theta) ** 0.75 * (1.0 + 0.06 * v), keel + (sheer - keel) * (1.0 - math.cos(theta) ** 0.6)


def hull_mesh():
    """A clinker-built hull: at each of 64 stations the section's starboard and port halves, each strake's
    lower edge lying over the one below, so the planking steps out at every land."""
    girth = [(k, w) for k in range(STRAKES) for w in (0.0, 0.35, 0.7, 0.999)] + [(STRAKES, 0.0)]
    stations = 64
    verts, lands = [], []
    for i in range(stations + 1):
        u = i / stations
        x = -LENGTH / 2.0 + u * LENGTH
        row = []
        for strake, w in girth:
            lands.append(w)
            v = min(1.0, (strake + w) / STRAKES)
            y, z = section(u, v)
            y1, z1 = section(u, min(1.0, v + 0.002))
            y0, z0 = section(u, max(0.0, v - 0.002))
            ty, tz = y1 - y0, z1 - z0
            n = math.hypot(ty, tz) or 1.0
            lap = LAP * (1.0 - w) if strake < STRAKES else 0.0
            row.append((y + lap * tz / n, z - lap * ty / n))
        # port side, sheer down to keel, then starboard, keel up to sheer
        verts += [(x, -y, z) for y, z in reversed(row[1:])] + [(x, y, z) for y, z in row]
        lands[-len(row):] = lands[-len(row) + 1:][::-1] + lands[-len(row):]
    g = 2 * len(girth) - 1
    # wound so the normals face out of the hull
    faces = [(i * g + j, i * g + j + 1, (i + 1) * g + j + 1, (i + 1) * g + j)
             for i in range(stations) for j in range(g - 1)]
    faces.append(tuple(range(g))[::-1])
    mesh = bpy.data.meshes.new("hull")
    mesh.from_pydata(verts, [], faces)
    # how far across its strake each point lies, for the shadow line under each plank's lower edge
    mesh.attributes.new("strake", "FLOAT", "POINT").data.foreach_set("value", lands)
    return kit._smooth(mesh)


def rail_mesh():
    """The gunwales: a rail along the sheer each side, 4 by 5 cm."""
    verts, faces = [], []
    stations = 64
    for side in (-1.0, 1.0):
        first = len(verts)
        for i in range(stations + 1):
            u = i / stations
            x = -LENGTH / 2.0 + u * LENGTH
            y, z = section(u, 1.0)
            out = min(0.035, y)
            verts += [(x, side * (y + out), z - 0.05), (x, side * (y + out), z + 0.012),
                      (x, side * max(0.0, y - 0.015), z + 0.012), (x, side * max(0.0, y - 0.015), z - 0.05)]
        for i in range(stations):
            for k in range(4):
                a, b = first + i * 4 + k, first + i * 4 + (k + 1) % 4
                quad = (a, b, b + 4, a + 4)
                faces.append(quad if side > 0 else quad[::-1])
    mesh = bpy.data.meshes.new("rails")
    mesh.from_pydata(verts, [], faces)
    return kit._smooth(mesh)


def inner_half_beam(u, z):
    """How far out from the middle the hull's inside is at u and height z."""
    for k in range(1, 101):
        y, zz = section(u, k / 100.0)
        if zz >= z:
            return y - 0.02
    return section(u, 1.0)[0] - 0.02


def paint(tree):
    """Old dark green paint gone chalky, worn through to the grey wood along every plank's
    lower edge and in chips towards the sheer, streaked where rain ran down; at the waterline a dark wet
    band, glossy, and under it the lake's brown-green stain."""
    p = kit.coordinates(tree, "Object")
    along = kit.node(tree, "ShaderNodeMapping", {"Vector": p, "Scale": (0.05, 1.0, 1.0)}).outputs[0]
    grain = kit.noise(tree, along, 40.0, 6.0, 0.6)
    runs = kit.noise(tree, kit.node(tree, "ShaderNodeMapping", {"Vector": p, "Scale": (3.0, 3.0, 0.15)}).outputs[0],
                     9.0, 4.0, 0.6)
    local_z = kit.node(tree, "ShaderNodeSeparateXYZ", {0: p}).outputs["Z"]
    chips = kit.math_node(tree, "ADD", kit.noise(tree, p, 14.0, 6.0, 0.7), kit.math_node(
        tree, "MULTIPLY", kit.math_node(tree, "SUBTRACT", local_z, 0.5), 0.3))
    land = kit.node(tree, "ShaderNodeAttribute", attribute_name="strake").outputs["Fac"]
    # the paint goes first where the planks' edges are knocked and along the sheer
    edge = kit.map_range(tree, land, 0.2, 0.0)
    worn = kit.map_range(tree, kit.math_node(tree, "ADD", chips, kit.math_node(tree, "MULTIPLY", edge, 0.15)), 0.66, 0.69)
    colour = kit.ramp(tree, grain, [(0.3, (0.018, 0.032, 0.024)), (0.7, (0.03, 0.05, 0.036))])
    colour = kit.mix_colour(tree, kit.map_range(tree, runs, 0.45, 0.7, 0.0, 0.5), colour, (0.014, 0.02, 0.016, 1.0))
    bare = kit.ramp(tree, grain, [(0.3, (0.05, 0.045, 0.038)), (0.7, (0.085, 0.078, 0.065))])
    colour = kit.mix_colour(tree, worn, colour, bare)
    colour = kit.mix_colour(tree, kit.math_node(tree, "MULTIPLY", kit.map_range(tree, land, 0.93, 1.0), 0.7), colour,
                            (0.03, 0.03, 0.025, 1.0))
    world_z = kit.node(tree, "ShaderNodeSeparateXYZ",
                       {0: kit.node(tree, "ShaderNodeNewGeometry").outputs["Position"]}).outputs["Z"]
    # the wet band is ragged: the boat has rocked higher in some places
    ragged = kit.math_node(tree, "ADD", world_z, kit.math_node(tree, "MULTIPLY", kit.noise(tree, p, 5.0, 3.0), 0.03))
    wet = kit.map_range(tree, ragged, 0.075, 0.035)
    stain = kit.map_range(tree, ragged, 0.035, 0.01)
    colour = kit.mix_colour(tree, kit.math_node(tree, "MULTIPLY", wet, 0.55), colour, (0.0, 0.0, 0.0, 1.0))
    colour = kit.mix_colour(tree, stain, colour, (0.045, 0.045, 0.025, 1.0))
    # chalky paint has next to no sheen, so the shaded side stays dull even where the low sun grazes past it;
    # the wet band shines
    rough = kit.math_node(tree, "SUBTRACT", kit.map_range(tree, worn, 0.0, 1.0, 0.85, 0.9), kit.math_node(tree, "MULTIPLY", wet, 0.7))
    sheen = kit.map_range(tree, wet, 0.0, 1.0, 0.0, 0.5)
    height = kit.math_node(tree, "ADD", kit.math_node(tree, "MULTIPLY", grain, 0.3), kit.math_node(tree, "MULTIPLY", worn, -0.5))
    return misty(tree, kit.principled(tree, colour, rough, specular=sheen, normal=kit.bump(tree, height, 0.4, 0.002)),
                 BOAT_MIST)


def varnished(tree, shade):
    """Old varnished wood, its grain along the boat (or the oar)."""
    p = kit.coordinates(tree, "Object")
    along = kit.node(tree, "ShaderNodeMapping", {"Vector": p, "Scale": (0.05, 1.0, 1.0)}).outputs[0]
    grain = kit.noise(tree, along, 50.0, 6.0, 0.6)
    colour = kit.ramp(tree, grain, [(0.3, tuple(c * 0.55 for c in shade)), (0.7, shade)])
    return misty(tree, kit.principled(tree, colour, 0.45, normal=kit.bump(tree, grain, 0.2, 0.002)), BOAT_MIST)


def hemp(tree):
    p = kit.coordinates(tree, "Object")
    fibre = kit.noise(tree, p, 120.0, 4.0, 0.7)
    colour = kit.ramp(tree, fibre, [(0.3, (0.1, 0.075, 0.045)), (0.7, (0.24, 0.19, 0.12))])
    return misty(tree, kit.principled(tree, colour, 0.9, normal=kit.bump(tree, fibre, 0.6, 0.003)))


def boat(location, heading):
    """A clinker-built rowing boat, green paint faded on the outside and varnished wood within: a rail along
    each sheer, three thwarts, a pair of oars shipped inside. Returns the stem head's place in the world."""
    root = bpy.data.objects.new("boat", None)
    bpy.context.scene.collection.objects.link(root)
    root.location = location
    root.rotation_euler.z = heading
    inside = kit.material("boat's inside", lambda t: varnished(t, (0.3, 0.17, 0.08)))
    trim = kit.material("boat's trim", lambda t: misty(t, kit.principled(t, (0.03, 0.07, 0.07), 0.55), BOAT_MIST))
    mesh = hull_mesh()
    for mat in (kit.material("boat paint", paint), inside, trim):
        mesh.materials.append(mat)
    shell = kit.add_object("hull", mesh)
    planking = shell.modifiers.new("planking", "SOLIDIFY")
    planking.thickness = 0.018
    planking.offset = -1.0
    planking.use_even_offset = True
    planking.material_offset = 1
    planking.material_offset_rim = 2
    rails = kit.add_object("rails", rail_mesh(), mat=trim)
    parts = [shell, rails]
    # thwarts across at the stern sheets, amidships and forward, 22 cm under the sheer
    for u, width in ((0.12, 0.3), (0.5, 0.22), (0.78, 0.2)):
        x = -LENGTH / 2.0 + u * LENGTH
        z = section(u, 1.0)[1] - 0.22
        parts.append(kit.box("thwart", (x, 0.0, z), (width, 2.0 * inner_half_beam(u, z), 0.03), inside))
    # the oars lie along the boat on the thwarts, blades to opposite ends
    oar = kit.material("oar", lambda t: varnished(t, (0.34, 0.24, 0.13)))
    for side, end in ((-0.2, 1.0), (0.24, -1.0)):
        z = section(0.5, 1.0)[1] - 0.22 + 0.04
        parts.append(kit.cone("loom", (0.1 * end, side, z), 0.024, 0.024, 2.3, 12, oar, rotation=(0.0, math.pi / 2, 0.0)))
        parts.append(kit.box("blade", (0.1 * end + end * 1.35, side, z - 0.005), (0.5, 0.14, 0.012), oar))
    for part in parts:
        part.parent = root
    c, s = math.cos(heading), math.sin(heading)
    stem = (LENGTH / 2.0 - 0.03, 0.0, lines(1.0)[1])
    return (location[0] + c * stem[0] - s * stem[1], location[1] + s * stem[0] + c * stem[1], location[2] + stem[2])


def lake(tree, boat_at, heading):
    """The still lake, a mirror but for a slow swell of ripples, and round the boat the rings its rocking
    sends out and a fine stir that breaks up its reflection. Returns (surface, volume)."""
    p = kit.coordinates(tree, "Object")
    # how far the water lies from the hull, in metres out from its waterline: an ellipse from the transom to
    # where the forefoot leaves the water, half a metre wide
    middle = (boat_at[0] - 0.25 * math.cos(heading), boat_at[1] - 0.25 * math.sin(heading), 0.0)
    local = kit.node(tree, "ShaderNodeMapping", {"Vector": p, "Location": middle, "Rotation": (0.0, 0.0, heading),
                                                 "Scale": (1.85, 0.5, 1.0)},
                     vector_type="TEXTURE").outputs[0]
    flat = vector_math(tree, "MULTIPLY", local, (1.0, 1.0, 0.0))
    off = kit.math_node(tree, "MULTIPLY", kit.math_node(tree, "MAXIMUM", kit.math_node(
        tree, "SUBTRACT", vector_math(tree, "LENGTH", flat), 1.0), 0.0), 0.5)
    # the rocking is slight: the rings die out within a couple of metres, and the breeze bends them
    stir = kit.node(tree, "ShaderNodeMath", {0: kit.math_node(tree, "DIVIDE", off, -0.55)}, operation="EXPONENT").outputs[0]
    wander = kit.math_node(tree, "ADD", off, kit.math_node(tree, "MULTIPLY", kit.noise(tree, p, 0.8, 2.0), 0.25))
    rings = kit.math_node(tree, "MULTIPLY", kit.node(tree, "ShaderNodeMath", {0: kit.math_node(
        tree, "MULTIPLY", wander, 2.0 * math.pi / 0.32)}, operation="SINE").outputs[0], stir)
    fine = kit.math_node(tree, "MULTIPLY", kit.noise(tree, p, 7.0, 3.0, 0.5), stir)
    height = kit.math_node(tree, "ADD", kit.math_node(tree, "MULTIPLY", rings, 0.004),
                           kit.math_node(tree, "MULTIPLY", fine, 0.006))
    swell = kit.bump(tree, kit.noise(tree, p, 2.0, 3.0), 0.015, 0.1)
    normal = kit.bump(tree, height, 1.0, 1.0, normal=swell)
    glass = kit.node(tree, "ShaderNodeBsdfPrincipled", {
        "Roughness": kit.math_node(tree, "MULTIPLY", stir, 0.1), "IOR": 1.333, "Transmission": 1.0,
        "Base Color": (1.0, 1.0, 1.0, 1.0), "Normal": normal}).outputs[0]
    shadow = kit.node(tree, "ShaderNodeLightPath").outputs["Is Shadow Ray"]
    see_through = kit.node(tree, "ShaderNodeBsdfTransparent").outputs[0]
    surface = kit.node(tree, "ShaderNodeMixShader", {0: shadow, 1: glass, 2: see_through}).outputs[0]
    absorb = kit.node(tree, "ShaderNodeVolumeAbsorption", {"Color": (0.45, 0.42, 0.3, 1.0), "Density": 0.6}).outputs[0]
    return surface, absorb


def rope(start, post, top):
    """A mooring line from `start` sagging towards the water and twice round the post at `post` under `top`."""
    points = []
    sx, sy, sz = start
    px, py = post
    # from the stem head down in a slack curve to the post
    for t in np.linspace(0.0, 1.0, 8)[:-1]:
        x, y = sx + (px - sx) * t * 0.92, sy + (py - sy) * t * 0.92
        z = sz + (top - 0.12 - sz) * t - 0.35 * math.sin(math.pi * t)
        points.append((x, y, z))
    first = math.atan2(sy - py, sx - px)
    for k in range(19):
        a = first + k * 2.0 * math.pi / 9.0
        points.append((px + 0.125 * math.cos(a), py + 0.125 * math.sin(a), top - 0.12 - 0.02 * k))
    curve = bpy.data.curves.new("rope", "CURVE")
    curve.dimensions = "3D"
    curve.bevel_depth = 0.012
    curve.bevel_resolution = 3
    spline = curve.splines.new("NURBS")
    spline.points.add(len(points) - 1)
    for point, (x, y, z) in zip(spline.points, points):
        point.co = (x, y, z, 1.0)
    spline.order_u = 3
    spline.use_endpoint_u = True
    spline.resolution_u = 6
    obj = kit.add_object("rope", curve)
    curve.materials.append(kit.material("rope", hemp))
    return obj


def grade():
    """The morning's colour held back a little: the haze golden grey rather than yellow."""
    tree = bpy.context.scene.node_tree
    out = tree.nodes["Composite"].inputs["Image"]
    graded = kit.node(tree, "CompositorNodeHueSat", {"Image": out.links[0].from_socket, "Saturation": 0.8})
    kit.link(tree, graded.outputs[0], out)


def build():
    air.sky(*SUN, dust=0.7, air=1.1, sun_strength=1.4, clouds=[dict(height=4500.0, scale=2500.0, coverage=0.3, opacity=1.8, stretch=4.0,
                                                   heading=-20.0, seed=91.0, shadow=0.3)])
    x, y = terrain.view_grid((0.0, 0.0), LOOK, 110.0, 0.5, 25000.0, kit.scaled(1300), kit.scaled(900))
    terrain.grid_object("shore", x, y, shore(x, y), kit.material("land", land))
    # two sheets of mist just over the water, in the view's own frame (x across, y ahead)
    for k, height in enumerate((0.15, 0.45)):
        sheet = kit.mesh_object("mist", [(-700.0, 10.0, 0.0), (700.0, 10.0, 0.0), (700.0, 1000.0, 0.0),
                                         (-700.0, 1000.0, 0.0)], [(0, 1, 2, 3)], smooth=False)
        sheet.location.z = height
        sheet.rotation_euler.z = -math.radians(LOOK)
        kit.assign(sheet, kit.material("mist %d" % k, lambda t, k=k: wisps(t, 17.0 * k + 3.0)))
    # the jetty: planks on two stringers on posts, running out from the near bank
    wood = kit.material("weathered wood", weathered)
    forward, right = kit.direction(0.0, LOOK - 4.0), kit.direction(0.0, LOOK + 86.0)
    rng = np.random.RandomState(16)
    turn = math.radians(90.0 - (LOOK - 4.0))
    # boards of a few widths laid close, a finger's gap between; a few warped, one gone, one short and split
    a = -3.0
    k = 0
    while a < 30.0:
        width = rng.choice([0.14, 0.17, 0.19, 0.2])
        a += width / 2.0
        k += 1
        if k != 61:
            c = forward * a + right * rng.uniform(-0.03, 0.03)
            length = 1.7 if k != 97 else 1.25
            if k == 97:
                c -= right * 0.22
            warped = k % 13 == 5
            plank = kit.add_object("plank", plank_mesh(width, length, 0.028),
                                   (c.x, c.y, DECK + rng.uniform(-0.004, 0.004) + (0.008 if warped else 0.0)), mat=wood)
            plank.rotation_euler = (rng.uniform(-0.006, 0.006) + (0.03 if warped else 0.0), rng.uniform(-0.006, 0.006),
                                    turn + rng.uniform(-0.012, 0.012))
        a += width / 2.0 + rng.uniform(0.008, 0.02)
    piles = kit.material("piles", pile)
    mooring = bents(forward, right, turn, rng, piles, wood)
    # a stringer under each side of the planks, resting on the bents' cap beams
    for side in (-0.7, 0.7):
        c = forward * 13.5 + right * side
        stringer = kit.box("stringer", (c.x, c.y, DECK - 0.09), (33.0, 0.08, 0.16), wood)
        stringer.rotation_euler.z = turn
    # a rowing boat tied up alongside, its bow line round the post
    moor = forward * 5.6 + right * 1.9
    stem = boat((moor.x, moor.y, -DRAFT), turn + math.radians(5.0))
    terrain.grid_object("lake", *terrain.square_grid((0.0, 0.0), 12000.0, 2), np.zeros((2, 2)),
                        kit.material("lake", lambda t: lake(t, (moor.x, moor.y), turn + math.radians(5.0))))
    rope(stem, *mooring)
    far_trees(rng)
    # from the bank a step to the side, so the piles and the deck's edge stand in the water with their reflections
    eye = forward * -5.0 + right * 1.2
    aim = forward * 60.0 - right * 0.6
    kit.camera((eye.x, eye.y, 2.1), (aim.x, aim.y, 0.9), 58.0)
    kit.film(exposure=-2.2, look="High Contrast")
    # the glow's reach is in pixels: keep it the same share of the picture in a preview
    kit.bloom(threshold=2.0, size=max(6, 8 + round(math.log2(kit.detail))), mix=-0.75)
    grade()
    kit.clean_margins(SAMPLES)
