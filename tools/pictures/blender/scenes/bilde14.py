"""A log cabin in deep snow at the blue hour: lamplight in its two windows thrown out through them gold onto
the drifts, a trodden trail to its door, spruces heavy with snow, the last rose of the afterglow over the
hills."""
import math

import bpy
import numpy as np
from mathutils import Vector

import air
import kit
import terrain

SAMPLES = 48
DENOISE = 1.5
# the snow and the logs are lit by the sky and by bounces: smoothed (render_scene.py), the edges of the
# lamplight thrown from the windows kept
SMOOTH_BOUNCES = dict(radius=16, direct=True, sharp=["window light", "window light.001", "door light"], edge=0.6)
# the lamplit snow seen in a bounce makes sparks the exposure raises eightfold: cap what a bounce brings
# at about the brightness of the lit snow itself, and what one sample of the lamps can (the lit panes,
# seen directly, stay white hot under it)
CYCLES = dict(sample_clamp_indirect=0.06, sample_clamp_direct=2.0)
SUN = (-4.5, 235.0)  # set a while ago, south-west
LOOK = 210.0
CABIN = (-12.0, -27.0)  # some 30 m away, a little left of the view's middle
TURN = math.radians(LOOK - 30.0)  # its front towards the camera


# the trodden path from the camera's feet to the cabin's door, a little way off the straight line; the third
# column is the distance walked, for the footprints
PATH = np.array([(0.5, -2.0), (-2.5, -9.0), (-8.0, -17.0), (-11.0, -22.0), (-12.0, -24.5)])
PATH = np.column_stack([PATH, np.concatenate([[0.0], np.cumsum(np.hypot(*np.diff(PATH, axis=0).T))])])
WIND = math.radians(300.0)  # the way the last gale blew, along which the snow is carved


def only(mask, f, x, y):
    """f(x, y) where `mask`, 0 elsewhere: the costly detail only where it shows."""
    out = np.zeros(np.shape(x))
    out[mask] = f(x[mask], y[mask])
    return out


def snowfield(x, y):
    x, y = np.asarray(x, dtype=float), np.asarray(y, dtype=float)
    r = np.hypot(x, y)
    hills = only(r > 300.0, lambda x, y: 80.0 * terrain.smoothstep(300.0, 2500.0, np.hypot(x, y)) * (
        0.5 + 0.6 * terrain.fbm(x / 1800.0, y / 1800.0, 4, seed=141)), x, y)
    # a forested ridge far off, so the field ends against a dark line of hills rather than the sky
    ridge = only(r > 1500.0, lambda x, y: 220.0 * terrain.smoothstep(1500.0, 4500.0, np.hypot(x, y)) * (
        0.55 + 0.6 * terrain.fbm(x / 1500.0, y / 1500.0, 5, seed=144)), x, y)
    drifts = 0.8 * terrain.fbm(x / 25.0, y / 25.0, 4, seed=142) + 3.0 * terrain.fbm(x / 160.0, y / 160.0, 3, seed=143)
    field = hills + ridge + drifts + only(r < 400.0, carved, x, y)
    # a floor of deep level snow round the cabin, then banked up against its walls
    field += only(np.hypot(x - CABIN[0], y - CABIN[1]) < 10.0, banks, x, y)
    walked = trodden(x, y)
    return field - 0.3 * walked - only(walked > 0.0, footprints, x, y) * walked


def carved(x, y):
    """Wind-carved ridges: long across the wind, short along it; the finest only near, where the mesh
    holds them."""
    along = x * math.sin(WIND) + y * math.cos(WIND)
    across = x * math.cos(WIND) - y * math.sin(WIND)
    fine = 1.0 - terrain.smoothstep(8.0, 40.0, np.hypot(x, y))
    return (0.5 * terrain.fbm(along / 4.0, across / 14.0, 3, seed=145)
            - 0.15 * fine * np.abs(terrain.fbm(along / 1.2, across / 4.0, 2, seed=146)))


def banks(x, y):
    """Snow heaped against the cabin's walls by the wind, deepest on the walls and drifting out a metre or
    two; dug away before the door."""
    c, s = math.cos(TURN), math.sin(TURN)
    u, v = c * (x - CABIN[0]) + s * (y - CABIN[1]), -s * (x - CABIN[0]) + c * (y - CABIN[1])
    du = np.maximum(np.abs(u) - LENGTH / 2, 0.0)
    dv = np.maximum(np.abs(v) - DEPTH / 2, 0.0)
    out = np.hypot(du, dv)
    outside = (du > 0.0) | (dv > 0.0)
    lumps = 0.75 + 0.5 * terrain.fbm(x / 2.0, y / 2.0, 3, seed=147)
    bank = np.where(v < 0, 0.5, 0.75) * lumps * (1.0 - terrain.smoothstep(0.0, 2.2, out)) ** 1.5
    door = np.exp(-((u - DOOR[0]) / 0.9) ** 2) * (v < 0)
    return np.where(outside, bank * (1.0 - 0.85 * door), 0.0)


def trodden(x, y):
    """1 along the middle of the path, falling to 0 at its edges."""
    distance, _, _ = terrain.nearest_on_path(x, y, PATH)
    return 1.0 - terrain.smoothstep(0.25, 0.7, distance)


def footprints(x, y):
    """The dents of boots along the path, two walkers' worth, left, right, left; the older ones softer."""
    distance, side, walked = terrain.nearest_on_path(x, y, PATH)
    s, t = walked[..., 0], distance * side
    total = np.zeros_like(x)
    for stride, offset, depth in ((0.38, 0.0, 0.07), (0.42, 0.17, 0.045)):
        k = np.round((s - offset) / stride)
        jitter = np.sin(k * 12.9898 + offset * 78.2) * 0.04
        along = s - offset - k * stride
        lateral = t - np.where(k % 2 == 0, 0.12, -0.12) - jitter
        total += depth * np.exp(-(along / 0.13) ** 2 - (lateral / 0.06) ** 2)
    return total


def snow(tree):
    p = kit.coordinates(tree, "Object")
    # the wind's grain: ripples long across it, short along it, over a finer crust
    wind = kit.node(tree, "ShaderNodeMapping", {"Vector": p, "Rotation": (0.0, 0.0, -WIND), "Scale": (3.0, 0.8, 1.0)})
    ripples = kit.noise(tree, wind.outputs[0], 2.5, 4.0, 0.55)
    crust = kit.noise(tree, p, 14.0, 3.0, 0.5)
    height = kit.math_node(tree, "ADD", ripples, kit.math_node(tree, "MULTIPLY", crust, 0.35))
    normal = kit.bump(tree, height, 0.6, 0.05)

    # matt: glinting flakes at this distance, or the window lamps caught in a glossy bounce, only turn into
    # sparks between samples
    # wind-packed crust in the troughs a shade greyer than the fresh powder on the crests
    packed = kit.map_range(tree, ripples, 0.35, 0.55)
    colour = kit.mix_colour(tree, packed, (0.8, 0.81, 0.84, 1.0), (1.0, 1.0, 1.0, 1.0))
    # the trodden path packed and greyed by boots
    walked = kit.node(tree, "ShaderNodeAttribute", attribute_name="trodden").outputs["Fac"]
    colour = kit.mix_colour(tree, kit.math_node(tree, "MULTIPLY", walked, 0.8), colour, (0.62, 0.63, 0.68, 1.0))
    colour = kit.mix_colour(tree, 1.0, snow_colour(tree, p), colour, "MULTIPLY")
    return air.hazed(tree, kit.principled(tree, colour, 0.7, normal=normal, specular=0.0), 4000.0, 500.0)


def snow_colour(tree, p):
    """White, and past a couple of kilometres the forest that clothes the far ridge: dark spruce broken by
    white clearings, which the haze then draws into the sky."""
    distance = kit.node(tree, "ShaderNodeVectorMath", {0: p}, operation="LENGTH").outputs["Value"]
    clearings = kit.map_range(tree, kit.noise(tree, p, 0.004, 4.0, 0.6), 0.6, 0.7)
    forest = kit.math_node(tree, "MULTIPLY", kit.map_range(tree, distance, 1400.0, 2200.0),
                           kit.math_node(tree, "SUBTRACT", 1.0, clearings))
    return kit.mix_colour(tree, forest, (0.82, 0.85, 0.9, 1.0), (0.03, 0.04, 0.04, 1.0))


def snowy_needles(tree):
    up = kit.node(tree, "ShaderNodeSeparateXYZ", {0: kit.node(tree, "ShaderNodeNewGeometry").outputs["Normal"]}).outputs["Z"]
    lying = kit.math_node(tree, "MULTIPLY", kit.map_range(tree, up, 0.1, 0.4),
                          kit.map_range(tree, kit.noise(tree, kit.coordinates(tree, "Object"), 8.0, 3.0), 0.3, 0.45))
    colour = kit.mix_colour(tree, lying, (0.012, 0.025, 0.015, 1.0), (0.8, 0.83, 0.88, 1.0))
    # needles in clumps: a bump that breaks up each branch's flat faces
    clumps = kit.noise(tree, kit.coordinates(tree, "Object"), 60.0, 3.0, 0.6)
    return air.hazed(tree, kit.principled(tree, colour, 0.7, normal=kit.bump(tree, clumps, 0.5, 0.01)), 4000.0, 500.0)


def logs(tree):
    """Weathered spruce logs: grey-brown, the grain running along each log, darker in the checks."""
    p = kit.coordinates(tree, "Object")
    # the logs lie along their own z: stretch the noise that way
    stretched = kit.node(tree, "ShaderNodeMapping", {"Vector": p, "Scale": (6.0, 6.0, 0.4)}).outputs[0]
    grain = kit.noise(tree, stretched, 4.0, 5.0, 0.6)
    colour = kit.ramp(tree, grain, [(0.3, (0.055, 0.035, 0.022)), (0.7, (0.13, 0.085, 0.05))])
    return kit.principled(tree, colour, 0.85, specular=0.25, normal=kit.bump(tree, grain, 0.3, 0.01))


def pane(tree):
    """Old glass, a little misted: mostly clear to the lit room behind, with a faint warm glow of its own."""
    glow = kit.node(tree, "ShaderNodeEmission", {"Color": (1.0, 0.62, 0.3, 1.0), "Strength": 1.5}).outputs[0]
    clear = kit.node(tree, "ShaderNodeBsdfTransparent").outputs[0]
    return kit.node(tree, "ShaderNodeMixShader", {0: 0.25, 1: clear, 2: glow}).outputs[0]


def room(tree):
    """The inside: boards gone honey-coloured with smoke and lamplight."""
    p = kit.coordinates(tree, "Object")
    colour = kit.ramp(tree, kit.noise(tree, p, 3.0, 3.0), [(0.3, (0.35, 0.2, 0.1)), (0.7, (0.5, 0.32, 0.17))])
    return kit.principled(tree, colour, 0.8, specular=0.1)


def smoke(tree):
    """A thin thread of wood smoke: densest at the chimney's mouth, torn and thinning as it rises."""
    p = kit.coordinates(tree, "Generated")
    parts = kit.node(tree, "ShaderNodeSeparateXYZ", {0: p}).outputs
    # the plume's core follows the object's middle; its width grows with height
    # the air drifts it off to one side as it rises
    dx = kit.math_node(tree, "SUBTRACT", kit.math_node(tree, "SUBTRACT", parts["X"], 0.3),
                       kit.math_node(tree, "MULTIPLY", parts["Z"], 0.4))
    dy = kit.math_node(tree, "SUBTRACT", parts["Y"], 0.5)
    off = kit.math_node(tree, "SQRT", kit.math_node(tree, "ADD", kit.math_node(tree, "MULTIPLY", dx, dx),
                                                     kit.math_node(tree, "MULTIPLY", dy, dy)))
    width = kit.math_node(tree, "ADD", 0.06, kit.math_node(tree, "MULTIPLY", parts["Z"], 0.2))
    core = kit.map_range(tree, kit.math_node(tree, "DIVIDE", off, width), 1.0, 0.2)
    torn = kit.map_range(tree, kit.noise(tree, kit.coordinates(tree, "Object"), 1.2, 4.0, 0.6), 0.35, 0.7)
    fade = kit.map_range(tree, parts["Z"], 0.9, 0.0)
    density = kit.math_node(tree, "MULTIPLY", kit.math_node(tree, "MULTIPLY", core, torn), fade)
    volume = kit.node(tree, "ShaderNodeVolumePrincipled", {"Color": (0.6, 0.62, 0.68, 1.0),
                                                          "Density": kit.math_node(tree, "MULTIPLY", density, 2.5)})
    return volume.outputs[0]


LOG = 0.3  # one course of logs
COURSES = 11
LENGTH, DEPTH = 7.0, 4.8
# openings in the front wall: (middle along the wall, width, the courses cut away)
WINDOWS = [(-1.8, 1.0, range(4, 7)), (1.6, 1.0, range(4, 7))]
DOOR = (0.2, 0.9, range(0, 7))


def cabin(x, y, z, turn):
    """Round logs notched at the corners, their ends standing out; two lit windows and a door in the long
    wall towards the camera. It is a room: a lamp hangs inside behind each window, and its light leaves
    only through the openings, so the light on the snow is the window's shape, crossed by its frame's
    shadow, and a thread of it escapes round the door."""
    wood = kit.material("logs", logs)
    white = kit.material("snow", snow)
    c, s = math.cos(turn), math.sin(turn)

    def at(u, v, w):
        return (x + c * u - s * v, y + s * u + c * v, z + w)

    def block(name, centre, size, mat):
        b = kit.box(name, at(*centre), size, mat)
        b.rotation_euler.z = turn
        return b

    length, depth = LENGTH, DEPTH
    # the room inside the logs: floor, ceiling, back and ends; the front is the log wall itself
    iu, iv, floor, ceiling = length / 2 - 0.1, depth / 2 - 0.1, 0.45, COURSES * LOG - 0.05
    corners = [at(u, v, w) for w in (floor, ceiling) for v in (-iv, iv) for u in (-iu, iu)]
    inside = kit.mesh_object("room", corners, [(0, 1, 3, 2), (4, 6, 7, 5), (2, 3, 7, 6), (0, 2, 6, 4), (1, 5, 7, 3)],
                             smooth=False)
    kit.assign(inside, kit.material("room", room))
    rng = np.random.RandomState(3)
    openings = WINDOWS + [DOOR]

    def log(u0, u1, v, w, along_u):
        r = LOG * rng.uniform(0.52, 0.58)
        if along_u:
            kit.cone("log", at((u0 + u1) / 2, v, w), r, r, u1 - u0, 20, wood, rotation=(0.0, math.pi / 2, turn))
        else:
            kit.cone("log", at(v, (u0 + u1) / 2, w), r, r, u1 - u0, 20, wood, rotation=(math.pi / 2, 0.0, turn))

    reach = 0.35  # how far the log ends stand out past the corners
    for k in range(COURSES):
        w = LOG * (k + 0.5)
        for v in (-depth / 2, depth / 2):
            # the front wall's logs stop at the openings
            cuts = sorted((m - width / 2, m + width / 2) for m, width, courses in openings
                          if v < 0 and k in courses)
            start = -length / 2 - reach
            for a, b in cuts + [(length / 2 + reach, None)]:
                log(start, a, v, w, True)
                start = b if b is not None else start
        for u in (-length / 2, length / 2):
            log(-depth / 2 - reach, depth / 2 + reach, u, w + LOG / 2, False)
    # the gables, boarded, under the roof
    top = COURSES * LOG
    for u in (-length / 2, length / 2):
        gable = kit.mesh_object("gable", [at(u - 0.1, -depth / 2 - 0.1, top), at(u - 0.1, depth / 2 + 0.1, top),
                                          at(u - 0.1, 0.0, top + 2.0), at(u + 0.1, -depth / 2 - 0.1, top),
                                          at(u + 0.1, depth / 2 + 0.1, top), at(u + 0.1, 0.0, top + 2.0)],
                                [(0, 1, 2), (5, 4, 3), (0, 3, 4, 1), (1, 4, 5, 2), (2, 5, 3, 0)], smooth=False)
        kit.assign(gable, wood)
    # the roof: two slopes under a thick cushion of snow, which curls over the eaves
    pitch = math.atan2(2.0, depth / 2 + 0.1)
    for side in (-1, 1):
        run = (depth / 2 + 0.9) / math.cos(pitch)
        slope = block("roof", (0.0, side * run * math.cos(pitch) / 2, top + 2.0 - run * math.sin(pitch) / 2 + 0.12),
                      (length + 1.2, run, 0.2), wood)
        slope.rotation_euler = (-side * pitch, 0.0, turn)
        cover = block("roof snow", (0.0, side * run * math.cos(pitch) / 2, top + 2.0 - run * math.sin(pitch) / 2 + 0.38),
                      (length + 1.4, run + 0.1, 0.34), white)
        cover.rotation_euler = (-side * pitch, 0.0, turn)
        cover.modifiers.new("soft", "BEVEL").width = 0.15
        eave_v, eave_w = side * (depth / 2 + 0.9), top + 2.0 - (depth / 2 + 0.9) * math.tan(pitch) + 0.3
        kit.cone("cornice", at(0.0, eave_v + side * 0.05, eave_w), 0.2, 0.2, length + 1.3, 24, white,
                 rotation=(0.0, math.pi / 2, turn))
        # icicles along the front eave, where the lamplight catches them
        if side < 0:
            for u in np.linspace(-length / 2, length / 2, 23) + rng.uniform(-0.1, 0.1, 23):
                tall = rng.uniform(0.08, 0.4)
                kit.cone("icicle", at(u, eave_v - 0.1, eave_w - 0.15 - tall / 2), 0.025, 0.002, tall, 6,
                         kit.material("ice", lambda tree: kit.principled(tree, (0.7, 0.78, 0.85), 0.15)))
    chimney(at, block, top, pitch, white)
    frame = kit.material("frame", lambda tree: kit.principled(tree, (0.09, 0.065, 0.045), 0.7))
    glass = kit.material("pane", pane)
    glass.cycles.sample_as_light = False
    v = -depth / 2
    for u, width, courses in WINDOWS:
        lo, hi = LOG * courses[0], LOG * (courses[-1] + 1)
        mid, tall = (lo + hi) / 2, hi - lo
        block("window", (u, v + 0.09, mid), (width, 0.01, tall), glass)
        # the frame and its cross, set in the opening, and a ledge of snow on the log under it
        for centre, size in (((u, v, mid), (0.06, 0.06, tall)), ((u, v, mid + 0.08), (width, 0.06, 0.06)),
                             ((u - width / 2 + 0.04, v, mid), (0.08, 0.08, tall)),
                             ((u + width / 2 - 0.04, v, mid), (0.08, 0.08, tall)),
                             ((u, v, hi - 0.04), (width, 0.08, 0.08)), ((u, v, lo + 0.04), (width, 0.08, 0.08))):
            block("window frame", centre, size, frame)
        ledge = block("sill snow", (u, v - 0.12, lo + 0.04), (width + 0.2, 0.24, 0.12), white)
        ledge.modifiers.new("soft", "BEVEL").width = 0.05
        # a small lamp hung high at the back of the room behind the window: its light falls steeply out
        # through it and lands a few metres out, the frame's cross drawn on the snow
        lamp = bpy.data.lights.new("window light", "POINT")
        lamp.shadow_soft_size = 0.04
        lamp.energy = 260.0
        lamp.color = (1.0, 0.6, 0.28)
        kit.add_object("window light", lamp, at(u, v + 2.6, ceiling - 0.25))
    door(at, block, frame, turn)
    woodpile(at, turn, wood, white)


def door(at, block, frame, turn):
    """A door of planks in a frame of boards, left ajar: a wedge of the room's light falls out on the
    trodden snow before it."""
    du, width, courses = DOOR
    v, tall = -DEPTH / 2, LOG * (courses[-1] + 1)
    jamb = 0.1
    for side in (-1, 1):
        block("door frame", (du + side * (width / 2 - jamb / 2), v, tall / 2), (jamb, 0.36, tall), frame)
    block("door frame", (du, v, tall - jamb / 2), (width + 0.1, 0.38, jamb), frame)
    block("door step", (du, v - 0.3, 0.32), (width + 0.3, 0.5, 0.12), frame)
    leaf, ajar = width - 2 * jamb - 0.01, math.radians(18.0)
    hinge = Vector(at(du - leaf / 2, v + 0.1, 0.0))
    plank = kit.box("door", (0.0, 0.0, 0.0), (leaf, 0.06, tall - jamb - 0.02), kit.material("planks", planks))
    # hung from its left edge, swung into the room
    plank.rotation_euler.z = turn + ajar
    inward = Vector((math.cos(turn + ajar), math.sin(turn + ajar), 0.0)) * (leaf / 2)
    plank.location = hinge + inward + Vector((0.0, 0.0, (tall - jamb) / 2))
    # a narrow entry behind it, walled off from the room, so the window lamps cannot throw their light out
    # through the doorway; its own small lamp, high over the door, lights the step and a wedge of snow
    room_mat = kit.material("entry", room)
    for side in (-1, 1):
        block("entry wall", (du + side * 0.6, v + 0.8, 1.6), (0.06, 1.4, 3.3), room_mat)
    block("entry wall", (du, v + 1.5, 1.6), (1.26, 0.06, 3.3), room_mat)
    lamp = bpy.data.lights.new("door light", "POINT")
    lamp.shadow_soft_size = 0.05
    lamp.energy = 40.0
    lamp.color = (1.0, 0.6, 0.28)
    kit.add_object("door light", lamp, at(du, v + 1.0, 2.9))


def chimney(at, block, top, pitch, white):
    """Fieldstone, through the front slope near the ridge, capped with snow, smoke rising from it."""
    u, v = 1.9, -0.7
    base = top + 2.0 - abs(v) * math.tan(pitch)
    block("chimney", (u, v, base + 0.6), (0.7, 0.7, 2.2), kit.material("stones", stones))
    cap = block("chimney snow", (u, v, base + 1.72), (0.78, 0.78, 0.1), white)
    cap.modifiers.new("soft", "BEVEL").width = 0.04
    kit.box("smoke", at(u, v, base + 1.8 + 2.5), (3.0, 1.6, 5.0), kit.material("smoke", smoke, volume=True))


def woodpile(at, turn, wood, white):
    """Split birch stacked against the gable end under the eaves, snow on its top."""
    rng = np.random.RandomState(5)
    cut = kit.material("cut wood", lambda tree: kit.principled(tree, kit.ramp(tree, kit.noise(
        tree, kit.coordinates(tree, "Object"), 30.0, 3.0), [(0.3, (0.25, 0.16, 0.09)), (0.7, (0.4, 0.27, 0.15))]), 0.8))
    u = -LENGTH / 2 - 0.55
    for row in range(5):
        for k in range(12):
            r = rng.uniform(0.06, 0.085)
            v = -1.9 + k * 0.17 + (row % 2) * 0.08 + rng.uniform(-0.02, 0.02)
            kit.cone("billet", at(u + rng.uniform(-0.05, 0.05), v, 0.55 + row * 0.14), r, r, 0.5, 7, cut,
                     rotation=(0.0, math.pi / 2, turn + rng.uniform(-0.08, 0.08)), smooth=False)
    cover = kit.box("woodpile snow", at(u, -0.95, 1.3), (0.6, 2.1, 0.16), white)
    cover.rotation_euler.z = turn
    cover.modifiers.new("soft", "BEVEL").width = 0.07


def fence(white):
    """The last posts of an old fence, half drowned in the drifts, a cap of snow on each."""
    wood = kit.material("posts", lambda tree: kit.principled(tree, kit.ramp(tree, kit.noise(
        tree, kit.coordinates(tree, "Object"), 20.0, 4.0), [(0.3, (0.1, 0.09, 0.08)), (0.7, (0.2, 0.18, 0.16))]), 0.9))
    rng = np.random.RandomState(9)
    start, end = np.array([-7.6, -7.2]), np.array([-20.3, -17.2])
    tops = []
    for t in np.linspace(0.0, 1.0, 8):
        px, py = start + t * (end - start) + rng.uniform(-0.2, 0.2, 2)
        ground = float(snowfield(np.array([px]), np.array([py]))[0])
        tall = rng.uniform(0.5, 0.9)
        tops.append(Vector((px, py, ground + tall - 0.25)))
        post = kit.cone("post", (px, py, ground + tall / 2 - 0.1), 0.07, 0.07, tall, 8, wood)
        post.rotation_euler = (rng.uniform(-0.12, 0.12), rng.uniform(-0.12, 0.12), 0.0)
        cap = kit.sphere("post snow", (px, py, ground + tall - 0.08), 0.1, 16, 8, white)
        cap.scale = (1.0, 1.0, 0.55)
    # a rail between every other pair, the rest fallen under the snow
    for a, b in list(zip(tops[:-1], tops[1:]))[::2]:
        middle, along = (a + b) / 2, b - a
        rail = kit.cone("rail", middle, 0.045, 0.045, along.length + 0.2, 8, wood)
        rail.rotation_mode = "QUATERNION"
        rail.rotation_quaternion = along.to_track_quat("Z", "Y")


def planks(tree):
    p = kit.coordinates(tree, "Object")
    boards = kit.node(tree, "ShaderNodeTexWave", {"Vector": p, "Scale": 3.5, "Distortion": 0.5},
                      wave_type="BANDS", bands_direction="X", wave_profile="SAW").outputs["Fac"]
    colour = kit.ramp(tree, kit.noise(tree, p, 8.0, 4.0), [(0.3, (0.05, 0.03, 0.018)), (0.7, (0.09, 0.055, 0.03))])
    return kit.principled(tree, colour, 0.8, normal=kit.bump(tree, boards, 0.4, 0.01))


def stones(tree):
    p = kit.coordinates(tree, "Object")
    cells = kit.node(tree, "ShaderNodeTexVoronoi", {"Vector": p, "Scale": 5.0}, feature="DISTANCE_TO_EDGE")
    colour = kit.ramp(tree, kit.noise(tree, p, 6.0, 4.0), [(0.3, (0.08, 0.08, 0.08)), (0.7, (0.16, 0.15, 0.14))])
    return kit.principled(tree, colour, 0.9, normal=kit.bump(tree, kit.map_range(
        tree, cells.outputs["Distance"], 0.0, 0.06), 0.6, 0.03))


def build():
    sun = air.sky(*SUN, dust=1.0, ozone=2.0, clouds=[dict(height=6000.0, scale=4000.0, coverage=0.3, opacity=1.5,
                                                          stretch=4.0, heading=10.0, seed=61.0, ambient=0.9)])
    # the sun is below the hills and its lamp dark: without it, the window lamps get its share of the samples
    if sun.data.energy <= 0.0:
        bpy.data.objects.remove(sun)
    x, y = terrain.view_grid((0.0, 0.0), LOOK, 110.0, 0.5, 25000.0, kit.scaled(1300), kit.scaled(1000))
    field = terrain.grid_object("snow", x, y, snowfield(x, y), kit.material("snow", snow))
    # the path's packed snow, for the material to grey
    walked = field.data.attributes.new("trodden", "FLOAT", "POINT")
    walked.data.foreach_set("value", trodden(x, y).astype(np.float32).reshape(-1))
    cx, cy = CABIN
    # its lit windows towards the camera
    cabin(cx, cy, float(snowfield(np.array([cx]), np.array([cy]))[0]) - 0.3, TURN)
    fence(kit.material("snow", snow))
    rng = np.random.RandomState(14)
    count = kit.scaled(7000, 200)
    r = 28.0 * np.exp(rng.uniform(0.0, math.log(80.0), count))
    a = np.radians(LOOK + rng.uniform(-60.0, 60.0, count))
    tx, ty = r * np.sin(a), r * np.cos(a)
    # a clearing round the cabin and nothing in front of it; a gap in the trees straight ahead
    towards_cabin = math.degrees(math.atan2(cx, cy)) % 360.0
    clear = (np.hypot(tx - cx, ty - cy) > 14.0) & (np.abs(np.degrees(a) - LOOK - 8.0) > 9.0)
    clear &= ~((r < 70.0) & (np.abs(np.degrees(a) % 360.0 - towards_cabin) < 12.0))
    mat = kit.material("snowy needles", snowy_needles)
    # the trees near enough to show their branches get finer ones
    templates = [kit.spruce("spruce %d" % i, 1.0, 22, 9, mat, seed=20 + i) for i in range(5)]
    templates += [kit.spruce("near spruce %d" % i, 1.0, 44, 15, mat, seed=40 + i) for i in range(3)]
    variant = np.where(r < 80.0, 5 + rng.randint(0, 3, count), rng.randint(0, 5, count))
    kit.scatter("forest", templates, np.stack([tx, ty, snowfield(tx, ty) - 0.3], 1)[clear],
                rng.uniform(7.0, 16.0, count)[clear], rng.uniform(0, 6.3, count)[clear], variant[clear])
    eye_z = float(snowfield(np.array([0.0]), np.array([0.0]))[0]) + 1.7
    target = kit.direction(1.0, LOOK + 4.0)
    kit.camera((0.0, 0.0, eye_z), (target.x, target.y, eye_z + target.z), 44.0)
    kit.film(exposure=3.0)
    kit.clean_margins(SAMPLES // 3)
