"""A whitewashed stepped lane on a Cycladic hillside in the late-afternoon sun: grey flagstones outlined in
white climb between rounded plaster walls to a small chapel with a blue dome; a blue door and shutters on
the sunlit side, bougainvillea spilling magenta over a terrace wall, terracotta pots on the steps, and over
the low wall on the left the sea far below, an island in the haze."""
import math

import bmesh
import bpy
import numpy as np

import air
import kit
import terrain

SAMPLES = 40
DENOISE = 1.5
# the shade of the parapet and the shadows on the steps are lit by the sky and the walls: smoothed
# (render_scene.py), the sun's edges kept
SMOOTH_BOUNCES = dict(radius=16, direct=True, sharp=["sun"], edge=0.6)
SUN = (28.0, 218.0)  # late afternoon, over the sea on the left and behind the camera
TREAD = 1.15  # each step's depth, metres
RISE = 0.15
STEPS = 19
WIDTH = 2.6  # of the lane, wall to wall
TOP = STEPS * TREAD  # where the steps end at the chapel's little square
HALF = WIDTH / 2.0


def ground(y):
    """The lane's level `y` metres up it."""
    return RISE * np.clip(np.floor(np.asarray(y, dtype=float) / TREAD) + 1.0, 0.0, STEPS)


def block(name, lo, hi, mat, round_off=0.06, segments=3, cutters=()):
    """A box from corner `lo` to `hi` with its edges rounded `round_off`, as plaster dries over masonry;
    each cutter (lo, hi) is taken out of it first, for a door's or a window's deep reveal."""
    lo, hi = np.asarray(lo, dtype=float), np.asarray(hi, dtype=float)
    key = ("block",) + tuple(np.round(hi - lo, 3))
    size = hi - lo

    def make(bm):
        bmesh.ops.create_cube(bm, size=1.0)
        for v in bm.verts:
            v.co = v.co * kit.Vector(size)

    mesh = kit._shared_mesh(key, make, True) if not cutters else None
    if mesh is None:
        bm = bmesh.new()
        make(bm)
        mesh = bpy.data.meshes.new(name)
        bm.to_mesh(mesh)
        bm.free()
        kit._smooth(mesh)
    mesh.use_auto_smooth = True
    mesh.auto_smooth_angle = math.radians(35.0)
    obj = kit.add_object(name, mesh, tuple((lo + hi) / 2.0), mat=mat)
    for i, (clo, chi) in enumerate(cutters):
        clo, chi = np.asarray(clo, dtype=float), np.asarray(chi, dtype=float)
        cut = kit.add_object(name + " cut %d" % i, _cube_mesh(chi - clo), tuple((clo + chi) / 2.0))
        cut.hide_render = True
        cut.display_type = "WIRE"
        boolean = obj.modifiers.new("cut %d" % i, "BOOLEAN")
        boolean.operation = "DIFFERENCE"
        boolean.solver = "EXACT"
        boolean.object = cut
    if round_off > 0.0:
        bevel = obj.modifiers.new("rounded", "BEVEL")
        bevel.width = round_off
        bevel.segments = segments
        bevel.limit_method = "ANGLE"
        bevel.angle_limit = math.radians(40.0)
    return obj


def _cube_mesh(size):
    bm = bmesh.new()
    bmesh.ops.create_cube(bm, size=1.0)
    for v in bm.verts:
        v.co = v.co * kit.Vector(size)
    mesh = bpy.data.meshes.new("cutter")
    bm.to_mesh(mesh)
    bm.free()
    return mesh


def plaster(tree, tint=(0.84, 0.83, 0.8)):
    """Whitewash over rough plaster: uneven under the brush, a little grey and ochre grime near the ground."""
    p = kit.coordinates(tree, "Object")
    w = node_position(tree)
    parts = kit.node(tree, "ShaderNodeSeparateXYZ", {0: w}).outputs
    above = kit.math_node(tree, "SUBTRACT", parts[2], kit.math_node(tree, "MULTIPLY", parts[1], RISE / TREAD))
    grime = kit.math_node(tree, "MULTIPLY", kit.map_range(tree, above, 0.5, 0.0),
                          kit.map_range(tree, kit.noise(tree, w, 1.5, 4.0), 0.35, 0.65, 0.5, 1.0))
    wash = kit.map_range(tree, kit.noise(tree, w, 0.7, 5.0, 0.55), 0.3, 0.7)
    colour = kit.mix_colour(tree, wash, (tint[0] * 0.95, tint[1] * 0.95, tint[2] * 0.96, 1.0), (*tint, 1.0))
    colour = kit.mix_colour(tree, kit.math_node(tree, "MULTIPLY", grime, 0.6), colour, (0.42, 0.38, 0.32, 1.0))
    relief = kit.math_node(tree, "ADD", kit.math_node(tree, "MULTIPLY", kit.noise(tree, w, 1.2, 4.0, 0.5), 0.6),
                           kit.math_node(tree, "MULTIPLY", kit.noise(tree, p, 18.0, 5.0, 0.6), 0.12))
    normal = kit.bump(tree, relief, 0.25, 0.03)
    return air.hazed(tree, kit.principled(tree, colour, 0.85, normal=normal), 6000.0, 600.0)


def node_position(tree):
    return kit.node(tree, "ShaderNodeNewGeometry").outputs["Position"]


def flagstone(tree):
    """Grey-blue slate worn smooth by feet, each stone its own shade."""
    p = kit.coordinates(tree, "Object")
    shade = kit.node(tree, "ShaderNodeObjectInfo").outputs["Random"]
    mottle = kit.noise(tree, p, 3.0, 6.0, 0.6)
    value = kit.math_node(tree, "ADD", kit.math_node(tree, "MULTIPLY", shade, 0.5),
                          kit.math_node(tree, "MULTIPLY", mottle, 0.5))
    colour = kit.ramp(tree, value, [(0.25, (0.16, 0.16, 0.16)), (0.55, (0.25, 0.24, 0.22)), (0.8, (0.33, 0.31, 0.28))])
    relief = kit.math_node(tree, "ADD", kit.noise(tree, p, 2.0, 3.0), kit.math_node(
        tree, "MULTIPLY", kit.noise(tree, p, 30.0, 5.0, 0.6), 0.2))
    normal = kit.bump(tree, relief, 0.2, 0.01)
    return air.hazed(tree, kit.principled(tree, colour, kit.map_range(tree, mottle, 0.3, 0.7, 0.45, 0.75),
                                          normal=normal), 6000.0, 600.0)


def blue_paint(tree, planks=True):
    """Gloss paint, the Cycladic blue, over boards: the seams and the grain show through, a little chalky."""
    p = kit.coordinates(tree, "Object")
    colour = kit.mix_colour(tree, kit.map_range(tree, kit.noise(tree, p, 4.0, 5.0, 0.6), 0.4, 0.7),
                            (0.012, 0.075, 0.36, 1.0), (0.03, 0.12, 0.42, 1.0))
    relief = kit.math_node(tree, "MULTIPLY", kit.noise(tree, kit.node(tree, "ShaderNodeMapping", {
        "Vector": p, "Scale": (40.0, 40.0, 1.5)}).outputs[0], 1.0, 4.0), 0.3)
    if planks:
        seams = kit.node(tree, "ShaderNodeTexWave", {"Vector": p, "Scale": 1.6, "Distortion": 0.0},
                         wave_type="BANDS", bands_direction="Y", wave_profile="SAW").outputs["Fac"]
        relief = kit.math_node(tree, "ADD", relief, kit.map_range(tree, seams, 0.9, 0.97, 0.0, -1.0))
    normal = kit.bump(tree, relief, 0.4, 0.01)
    return air.hazed(tree, kit.principled(tree, colour, 0.35, normal=normal, specular=0.5), 6000.0, 600.0)


def dome_paint(tree):
    """The chapel's dome: blue paint over its plaster, a little streaked and faded by the sun."""
    p = kit.coordinates(tree, "Object")
    colour = kit.mix_colour(tree, kit.map_range(tree, kit.noise(tree, p, 2.0, 5.0, 0.6), 0.35, 0.7),
                            (0.012, 0.085, 0.4, 1.0), (0.035, 0.14, 0.45, 1.0))
    normal = kit.bump(tree, kit.noise(tree, p, 12.0, 5.0, 0.6), 0.15, 0.02)
    return air.hazed(tree, kit.principled(tree, colour, 0.4, normal=normal), 6000.0, 600.0)


def window_pane(tree):
    """Glass over a drawn lace curtain: pale folds hanging behind it, the sky and the lane caught on it."""
    p = kit.coordinates(tree, "Object")
    folds = kit.node(tree, "ShaderNodeTexWave", {"Vector": p, "Scale": 9.0, "Distortion": 1.5, "Detail": 2.0},
                     wave_type="BANDS", bands_direction="Y").outputs["Fac"]
    lace = kit.noise(tree, p, 60.0, 2.0)
    shade = kit.math_node(tree, "MULTIPLY", kit.map_range(tree, folds, 0.0, 1.0, 0.55, 1.0),
                          kit.map_range(tree, lace, 0.35, 0.65, 0.8, 1.0))
    colour = kit.mix_colour(tree, shade, (0.05, 0.05, 0.05, 1.0), (0.42, 0.4, 0.36, 1.0))
    return kit.principled(tree, colour, 0.04, specular=0.6)


def window(name, lo, hi, across, mats):
    """A window in a reveal: the pane (`mats` glass, then paint) set back in `lo`..`hi`, its frame and a
    cross of glazing bars in front; `across` is the axis (0 x, 1 y) the wall runs along."""
    lo, hi = np.asarray(lo, dtype=float), np.asarray(hi, dtype=float)
    block(name, lo, hi, mats[0], 0.0)
    facing = 1 - across
    front = lo[facing]
    bar = 0.045
    mid = (lo + hi) / 2.0

    def piece(centre_along, centre_z, along, tall):
        a, b = lo.copy(), hi.copy()
        a[across], b[across] = centre_along - along / 2, centre_along + along / 2
        a[2], b[2] = centre_z - tall / 2, centre_z + tall / 2
        a[facing], b[facing] = front - 0.03, front + 0.002
        block(name + " bar", a, b, mats[1], 0.005, 1)

    span, tall = hi[across] - lo[across], hi[2] - lo[2]
    piece(mid[across], mid[2], bar, tall)
    piece(mid[across], lo[2] + tall * 0.62, span, bar)
    for edge in (lo[across] + bar / 2, hi[across] - bar / 2):
        piece(edge, mid[2], bar * 1.4, tall)
    for edge in (lo[2] + bar / 2, hi[2] - bar / 2):
        piece(mid[across], edge, span, bar * 1.4)


def terracotta(tree):
    p = kit.coordinates(tree, "Object")
    colour = kit.ramp(tree, kit.noise(tree, p, 6.0, 5.0, 0.6), [(0.3, (0.32, 0.1, 0.045)), (0.7, (0.45, 0.17, 0.08))])
    normal = kit.bump(tree, kit.noise(tree, p, 40.0, 4.0), 0.15, 0.005)
    return air.hazed(tree, kit.principled(tree, colour, 0.8, normal=normal), 6000.0, 600.0)


def leafy(tree, colours):
    """Leaves or bracts: a thin sheet the sun shines through a little; each one's shade from `colours`."""
    shade = kit.node(tree, "ShaderNodeObjectInfo").outputs["Random"]
    colour = kit.ramp(tree, kit.noise(tree, node_position(tree), 3.0, 3.0), colours)
    colour = kit.mix_colour(tree, kit.math_node(tree, "MULTIPLY", shade, 0.3), colour, (0.0, 0.0, 0.0, 1.0))
    surface = kit.principled(tree, colour, 0.55, specular=0.35)
    through = kit.node(tree, "ShaderNodeBsdfTranslucent", {"Color": colour}).outputs[0]
    mixed = kit.node(tree, "ShaderNodeMixShader", {0: 0.25, 1: surface, 2: through}).outputs[0]
    return air.hazed(tree, mixed, 6000.0, 600.0)


def hillside(tree):
    """The dry hill falling to the sea: ochre earth, grey rock, dark scrub."""
    p = kit.coordinates(tree, "Object")
    colour = kit.ramp(tree, kit.noise(tree, p, 0.08, 6.0, 0.6), [(0.35, (0.1, 0.08, 0.05)), (0.5, (0.22, 0.17, 0.11)),
                                                                 (0.65, (0.16, 0.15, 0.13))])
    colour = kit.mix_colour(tree, kit.map_range(tree, kit.noise(tree, p, 0.6, 4.0), 0.55, 0.62), colour,
                            (0.04, 0.05, 0.025, 1.0))
    return air.hazed(tree, kit.principled(tree, colour, 0.9), 5000.0, 600.0)


def sea_water(tree):
    """The Aegean seen from above: deep blue, its small waves catching the sky."""
    p = kit.coordinates(tree, "Object")
    ripples = kit.node(tree, "ShaderNodeMapping", {"Vector": p, "Scale": (1.0, 2.5, 1.0)}).outputs[0]
    normal = kit.bump(tree, kit.noise(tree, ripples, 0.6, 6.0, 0.6), 0.25, 1.0)
    return air.hazed(tree, kit.principled(tree, (0.004, 0.03, 0.07), 0.12, normal=normal, specular=0.5),
                     9000.0, 800.0)


def island(x, y):
    d = np.hypot((x + 5200.0) / 2.2, y - 2500.0)
    return 260.0 * terrain.smoothstep(1500.0, 0.0, d) ** 1.5 * (0.8 + 0.4 * terrain.fbm(x / 900.0, y / 900.0, 5, seed=9)) - 30.0


def card_mesh(name, kind, tilt, seed):
    """A leaf (an ellipse) or a bougainvillea bract (three rounded petals), tilted `tilt` radians, a
    metre across at scale 1."""
    rng = np.random.RandomState(seed)
    verts, faces = [(0.0, 0.0, 0.0)], []
    if kind == "leaf":
        outline = [(0.5 * math.cos(a), 0.22 * math.sin(a)) for a in np.linspace(0.0, 2 * math.pi, 11)[:-1]]
        outline = [(x + 0.5, y) for x, y in outline]
    else:
        outline = []
        for a in np.linspace(0.0, 2 * math.pi, 13)[:-1]:
            r = 0.25 + 0.22 * abs(math.cos(1.5 * a))
            outline.append((r * math.cos(a), r * math.sin(a)))
    for x, y in outline:
        verts.append((x, y, 0.08 * rng.uniform(-1.0, 1.0) + 0.15 * (x * x + y * y)))
    n = len(outline)
    faces = [(0, 1 + i, 1 + (i + 1) % n) for i in range(n)]
    c, s = math.cos(tilt), math.sin(tilt)
    verts = [(x, y * c - z * s, y * s + z * c) for x, y, z in verts]
    obj = kit.mesh_object(name, verts, faces)
    return obj


def foliage(name, points, sizes, kinds, mats, rng):
    """Leaves and bracts at `points`, each of `kinds` (0 a leaf, 1 a bract), turned every way."""
    templates, choice = [], np.zeros(len(points), dtype=int)
    variants = 6
    for k, (kind, mat) in enumerate(zip(("leaf", "bract"), mats)):
        for v in range(variants):
            t = card_mesh("%s %s %d" % (name, kind, v), kind, rng.uniform(-1.3, 1.3), 100 * k + v)
            kit.assign(t, mat)
            templates.append(t)
    choice = kinds * variants + rng.randint(0, variants, len(points))
    return kit.scatter(name, templates, points, sizes, rng.uniform(0.0, 2 * math.pi, len(points)), choice)


def pot(name, location, radius, mats, rng, tall=1.0, spread=1.3, rise=0.6, flowers=0.18):
    """A terracotta pot (`tall` stretches it) with a plant in it: a mound of leaves `spread` times the pot's
    radius across and `rise` high, a share `flowers` of it in heads of flowers."""
    r = radius
    profile = [(0.0, 0.0), (0.7 * r, 0.0), (0.75 * r, 0.05 * r), (0.95 * r, 1.1 * r), (1.08 * r, 1.12 * r),
               (1.08 * r, 1.28 * r), (0.92 * r, 1.28 * r), (0.86 * r, 1.05 * r), (0.0, 1.05 * r)]
    kit.lathe(name, [(u, v * tall) for u, v in profile], 48, location, mats[0])
    count = kit.scaled(1500, 60)
    a = rng.uniform(0.0, 2 * math.pi, count)
    d = r * spread * np.sqrt(rng.uniform(0.0, 1.0, count))
    # a ragged mound: its height wanders round the pot
    lobes = 1.0 + 0.35 * np.sin(3.0 * a + rng.uniform(0.0, 6.0)) * np.sin(2.0 * a + rng.uniform(0.0, 6.0))
    h = 1.15 * r * tall + (1.25 * spread * r - d) * rise * lobes * rng.uniform(0.3, 1.0, count)
    points = np.stack([location[0] + d * np.cos(a), location[1] + d * np.sin(a), location[2] + h], 1)
    kinds = (rng.uniform(0.0, 1.0, count) < flowers).astype(int)
    points[kinds == 1, 2] += 0.1 * r
    return foliage(name + " plant", points, np.where(kinds == 1, 0.22, 0.42) * r * rng.uniform(0.7, 1.2, count),
                   kinds, mats[1:], rng)


def bougainvillea(mats, rng, wall_x, y0, y1, top, hang):
    """A bougainvillea grown over a terrace wall: a mound on its top, and a curtain spilling down its face,
    ragged at the bottom, thick with magenta bracts."""
    count = kit.scaled(40000, 800)
    y = rng.uniform(y0, y1, count)
    along = (y - y0) / (y1 - y0)
    reach = hang * (0.35 + 0.65 * np.sin(math.pi * along) ** 0.6) * (0.7 + 0.3 * terrain.fbm(y * 1.5, 0.3, 3, seed=5))
    down = reach * rng.uniform(0.0, 1.0, count) ** 0.7
    out = rng.uniform(0.0, 1.0, count) ** 1.2 * 0.6 * (1.0 - 0.6 * down / np.maximum(reach, 0.1))
    z = top + 0.35 - down + 0.45 * rng.uniform(0.0, 1.0, count) * (down < 0.3)
    x = wall_x - 0.04 - out + 0.8 * (down < 0.3) * rng.uniform(0.0, 1.0, count)
    points = np.stack([x, y, z], 1)
    kinds = (rng.uniform(0.0, 1.0, count) < 0.55 + 0.25 * (out > 0.2)).astype(int)
    return foliage("bougainvillea", points, np.where(kinds == 1, 0.1, 0.12) * rng.uniform(0.6, 1.3, count), kinds,
                   mats, rng)


def build():
    air.sky(*SUN, dust=0.35, air=1.0, ozone=2.0, clouds=[
        dict(height=7000.0, scale=3000.0, coverage=0.12, opacity=1.2, stretch=5.0, heading=30.0, seed=17.0,
             shadow=0.2, ambient=0.9)])
    rng = np.random.RandomState(9)
    white = kit.material("whitewash", plaster)
    warm_white = kit.material("old whitewash", lambda t: plaster(t, (0.8, 0.77, 0.71)))
    slate = kit.material("flagstone", flagstone)
    blue = kit.material("blue paint", blue_paint)
    dome = kit.material("dome", dome_paint)
    clay = kit.material("terracotta", terracotta)
    leaf = kit.material("leaf", lambda t: leafy(t, [(0.3, (0.03, 0.08, 0.015)), (0.7, (0.06, 0.14, 0.03))]))
    bract = kit.material("bract", lambda t: leafy(t, [(0.3, (0.35, 0.012, 0.14)), (0.7, (0.55, 0.03, 0.25))]))
    red = kit.material("geranium", lambda t: leafy(t, [(0.3, (0.45, 0.02, 0.02)), (0.7, (0.65, 0.05, 0.04))]))

    # the steps: whitewashed, each tread laid with two or three flagstones, the white showing between them
    for k in range(-3, STEPS):
        z = RISE * (k + 1) if k >= 0 else 0.0
        block("step", (-HALF - 0.3, k * TREAD, z - 0.6), (HALF + 0.3, (k + 1) * TREAD, z), white, 0.03, 2)
        edges = np.cumsum(np.concatenate([[0.0], rng.uniform(0.7, 1.3, 3)]))
        edges = -HALF + 0.07 + edges / edges[-1] * (WIDTH - 0.14)
        if rng.uniform() < 0.4:
            edges = edges[[0, 1, 3]]
        for a, b in zip(edges[:-1], edges[1:]):
            block("flagstone", (a + 0.025, k * TREAD + 0.07, z - 0.02),
                  (b - 0.025, (k + 1) * TREAD - 0.07 - rng.uniform(0.0, 0.05), z + 0.012 + rng.uniform(0.0, 0.01)),
                  slate, 0.012, 2).rotation_euler = (rng.normal(0.0, 0.004), rng.normal(0.0, 0.004), 0.0)
    # the square at the top, and the chapel on it
    block("square", (-8.0, TOP, -1.0), (8.0, TOP + 12.0, RISE * STEPS), white, 0.03)
    base = RISE * STEPS
    cx, cy = -0.7, TOP + 5.5
    block("chapel", (cx - 2.2, cy - 2.8, base - 0.5), (cx + 2.2, cy + 2.8, base + 3.6), white, 0.1, 3,
          cutters=[((cx - 0.55, cy - 3.2, base), (cx + 0.55, cy - 2.5, base + 2.2))])
    block("chapel door", (cx - 0.55, cy - 2.62, base), (cx + 0.55, cy - 2.5, base + 2.2), blue, 0.01, 1)
    block("drum", (cx - 1.6, cy - 1.6, base + 3.5), (cx + 1.6, cy + 1.6, base + 4.2), white, 0.08)
    kit.cone("drum round", (cx, cy, base + 4.7), 1.5, 1.5, 1.0, 64, mat=white)
    kit.cone("drum cornice", (cx, cy, base + 5.22), 1.6, 1.6, 0.08, 64, mat=white)
    kit.sphere("dome", (cx, cy, base + 5.2), 1.52, 64, 32, mat=dome)
    kit.box("cross", (cx, cy, base + 7.05), (0.06, 0.06, 0.6), white)
    kit.box("cross arm", (cx, cy, base + 7.15), (0.06, 0.4, 0.06), white)
    # a bell gable over the chapel's front, its bell in an arch against the sky
    bx = cx + 1.3
    block("gable", (bx - 0.7, cy - 2.8, base + 3.5), (bx + 0.7, cy - 2.4, base + 5.2), white, 0.08, 3,
          cutters=[((bx - 0.3, cy - 3.0, base + 3.9), (bx + 0.3, cy - 2.2, base + 4.8))])
    kit.sphere("bell", (bx, cy - 2.6, base + 4.4), 0.2, 24, 12, mat=kit.simple_material(
        "bronze", (0.25, 0.15, 0.06), 0.35, metallic=1.0))
    # the houses on the right, in the sun, with their doors and windows
    right = HALF
    houses_right = [(-4.0, 4.2, 4.4), (4.2, 10.5, 3.3), (10.5, 16.0, 5.6), (16.0, TOP + 1.0, 4.2)]
    for i, (y0, y1, h) in enumerate(houses_right):
        g = float(ground(y0))
        cutters = []
        if i == 0:
            cutters.append(((right - 0.1, 2.35, 0.4), (right + 0.3, 3.4, 0.45 + 2.15)))
            cutters.append(((right - 0.1, 0.3, 1.25), (right + 0.25, 1.1, 2.35)))
        if i == 2:
            cutters.append(((right - 0.1, 12.2, float(ground(12.2)) + 0.0), (right + 0.3, 13.2, float(ground(12.2)) + 2.1)))
            cutters.append(((right - 0.1, 14.2, g + 3.0), (right + 0.25, 15.0, g + 4.3)))
        block("house right %d" % i, (right, y0, g - 2.0), (right + 6.0, y1, g + h),
                      warm_white if i == 1 else white, 0.09, 3, cutters)
    # the door on the near house, and its shutters upstairs and down
    block("door", (right + 0.22, 2.35, 0.4), (right + 0.3, 3.4, 0.45 + 2.3), blue, 0.01, 1)
    pane = kit.material("window pane", window_pane)
    window("window", (right + 0.2, 0.3, 1.25), (right + 0.25, 1.1, 2.35), 1, (pane, blue))
    for side, y in ((-1, 0.3), (1, 1.1)):
        shutter = block("shutter", (-0.02, 0.0, 0.0), (0.02, 0.4, 1.1), blue, 0.008, 1)
        shutter.location = (right - 0.04, y + side * 0.2, 1.8)
        shutter.rotation_euler.z = side * math.radians(-20.0)
    g = float(ground(12.2))
    block("door far", (right + 0.22, 12.2, g - 0.05), (right + 0.3, 13.2, g + 2.1), blue, 0.01, 1)
    g = float(ground(10.5))
    block("upper shutters", (right + 0.15, 14.2, g + 3.0), (right + 0.25, 15.0, g + 4.3), blue, 0.01, 1)
    # the terrace wall the bougainvillea grows over, its top lower than the houses beside it
    bougainvillea([leaf, bract], rng, right, 4.3, 10.4, float(ground(4.2)) + 3.3, 2.4)
    # on the left: a low parapet over the drop to the sea, then houses again
    left = -HALF
    block("parapet near", (left - 0.45, -6.0, -1.0), (left, 0.62, 0.8), white, 0.12, 3)
    # beside the steps it slopes with them in one piece, its top a hand above the steps' middle
    run = 11 * TREAD
    crown = 0.8 + RISE * 6.0
    parapet = block("parapet", (left - 0.45, -run / 2 - 0.02, -2.5), (left, run / 2 + 0.02, 0.0), white, 0.12, 3)
    parapet.location = (left - 0.225, 0.6 + run / 2, crown - 1.25)
    parapet.rotation_euler.x = math.atan2(RISE, TREAD)
    block("house left far", (left - 7.0, 0.6 + 11 * TREAD, -2.0), (left, TOP + 0.5, float(ground(13.0)) + 3.4), white,
          0.09, 3, cutters=[((left - 0.3, 15.0, float(ground(15.0)) + 0.3), (left + 0.1, 15.9, float(ground(15.0)) + 2.3)),
                            ((-5.2, 0.4 + 11 * TREAD, 1.0 + ground(13.0)), (-4.2, 0.8 + 11 * TREAD, 2.2 + ground(13.0)))])
    block("door left far", (left - 0.25, 15.0, float(ground(15.0)) + 0.3), (left - 0.2, 15.9, float(ground(15.0)) + 2.3),
          blue, 0.01, 1)
    g = float(ground(13.0))
    for y_face, x0 in ((0.6 + 11 * TREAD, -5.2),):
        window("window far", (x0, y_face + 0.1, 1.0 + g), (x0 + 1.0, y_face + 0.15, 2.2 + g), 0, (pane, blue))
        for side in (-1, 1):
            shutter = block("shutter far", (0.0, -0.02, 0.0), (0.5, 0.02, 1.2), blue, 0.008, 1)
            shutter.location = (x0 + 0.5 + side * 0.78, y_face - 0.25, 1.6 + g)
            shutter.rotation_euler.z = side * math.radians(35.0)
    # pots: on the steps by the wall, on the parapet
    pink = kit.material("pink geranium", lambda t: leafy(t, [(0.3, (0.6, 0.08, 0.22)), (0.7, (0.8, 0.2, 0.4))]))
    white_flower = kit.material("white flower", lambda t: leafy(t, [(0.3, (0.6, 0.6, 0.55)), (0.7, (0.8, 0.8, 0.75))]))
    herb = kit.material("basil", lambda t: leafy(t, [(0.3, (0.06, 0.14, 0.03)), (0.7, (0.12, 0.25, 0.05))]))
    # each pot its own: a red geranium, a tall pink one, a low bush of basil, white flowers, a red one again
    plants = [([clay, leaf, red], {}), ([clay, leaf, pink], dict(tall=1.3, spread=1.1, rise=0.9, flowers=0.25)),
             ([clay, herb, white_flower], dict(tall=0.8, spread=1.5, rise=0.45, flowers=0.0)),
             ([clay, leaf, white_flower], dict(spread=1.2, rise=0.7, flowers=0.3)),
             ([clay, leaf, red], dict(tall=1.15, spread=1.6, rise=0.5, flowers=0.12))]
    parapet_top = crown + (2.8 - 0.6 - run / 2) * RISE / TREAD
    for i, (x, y, z, r) in enumerate([(right - 0.3, 3.25, float(ground(3.25)), 0.22),
                                      (right - 0.28, 8.9, float(ground(8.9)), 0.17),
                                      (left + 0.25, 5.2, float(ground(5.2)), 0.2),
                                      (left - 0.22, 2.8, parapet_top, 0.14),
                                      (right - 0.25, 15.9, float(ground(15.9)), 0.18)]):
        pot("pot %d" % i, (x, y, z), r, plants[i][0], rng, **plants[i][1])
    # the hill falling away on the left to the sea, lower houses on it, the island beyond
    x, y = terrain.square_grid((-300.0, 200.0), 700.0, kit.scaled(300))
    slope = -1.0 + 0.9 * (x + 2.0) + 6.0 * terrain.fbm(x / 60.0, y / 60.0, 5, seed=3)
    slope = np.where(x < -2.0, np.maximum(slope, -70.0), -3.0)
    terrain.grid_object("hill", x, y, slope, kit.material("hillside", hillside))
    for i in range(14):
        hx, hy = -rng.uniform(10.0, 45.0), rng.uniform(-10.0, 60.0)
        hz = -1.0 + 0.9 * (hx + 2.0)
        w, d, h = rng.uniform(4.0, 8.0), rng.uniform(4.0, 8.0), rng.uniform(3.0, 6.0)
        block("house below", (hx - w / 2, hy - d / 2, hz - 4.0), (hx + w / 2, hy + d / 2, hz + h), white, 0.12)
    terrain.grid_object("sea", *terrain.square_grid((-6000.0, 3000.0), 16000.0, 2), np.full((2, 2), -68.0),
                        kit.material("sea", sea_water))
    x, y = terrain.square_grid((-5200.0, 2500.0), 7000.0, kit.scaled(200))
    terrain.grid_object("island", x, y, island(x, y) - 68.0, kit.material("island", hillside))
    kit.camera((0.3, -1.2, 1.75), (-2.6, 14.0, 3.2), 62.0)
    kit.film(exposure=-3.85)
    kit.clean_margins(12)
