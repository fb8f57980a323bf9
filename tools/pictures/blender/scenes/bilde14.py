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
SMOOTH_BOUNCES = dict(radius=16, direct=True, sharp=["window light", "window light.001"], edge=0.6)
# the lamplit snow seen in a bounce makes sparks the exposure raises eightfold: cap what a bounce brings
# at about the brightness of the lit snow itself, and what one sample of the lamps can (the lit panes,
# seen directly, stay white hot under it)
CYCLES = dict(sample_clamp_indirect=0.06, sample_clamp_direct=2.0)
SUN = (-4.5, 235.0)  # set a while ago, south-west
LOOK = 210.0
CABIN = (-12.0, -27.0)  # some 30 m away, a little left of the view's middle


# the trodden path from the camera's feet to the cabin's door, a little way off the straight line
PATH = np.array([(0.5, -2.0, 0.0), (-2.5, -9.0, 0.0), (-8.0, -17.0, 0.0), (-11.0, -22.0, 0.0), (-12.2, -24.3, 0.0)])


def snowfield(x, y):
    hills = 80.0 * terrain.smoothstep(300.0, 2500.0, np.hypot(x, y)) * (0.5 + 0.6 * terrain.fbm(x / 1800.0, y / 1800.0, 4,
                                                                                                     seed=141))
    drifts = 0.8 * terrain.fbm(x / 25.0, y / 25.0, 4, seed=142) + 3.0 * terrain.fbm(x / 160.0, y / 160.0, 3, seed=143)
    return hills + drifts - 0.25 * trodden(x, y)


def trodden(x, y):
    """1 along the middle of the path, falling to 0 at its edges."""
    distance, _, _ = terrain.nearest_on_path(x, y, PATH)
    return 1.0 - terrain.smoothstep(0.25, 0.7, distance)


def snow(tree):
    p = kit.coordinates(tree, "Object")
    normal = kit.bump(tree, kit.noise(tree, p, 1.5, 6.0, 0.5), 0.12, 0.05)

    # matt: glinting flakes at this distance, or the window lamps caught in a glossy bounce, only turn into
    # sparks between samples
    return air.hazed(tree, kit.principled(tree, (0.82, 0.85, 0.9), 0.7, normal=normal, specular=0.0), 4000.0, 500.0)


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


def lamplight(tree):
    # the room behind the glass: brightest where the lamp stands low in the middle, dimmer to the corners
    g = kit.coordinates(tree, "Generated")
    parts = kit.node(tree, "ShaderNodeSeparateXYZ", {0: g}).outputs
    edge = kit.math_node(tree, "MULTIPLY", kit.map_range(tree, kit.math_node(tree, "ABSOLUTE", kit.math_node(
        tree, "SUBTRACT", parts["X"], 0.5)), 0.5, 0.1), kit.map_range(tree, parts["Z"], 1.0, 0.3))
    strength = kit.math_node(tree, "ADD", kit.math_node(tree, "MULTIPLY", edge, 3.0), 1.2)
    colour = kit.mix_colour(tree, edge, (0.9, 0.42, 0.14, 1.0), (1.0, 0.66, 0.32, 1.0))
    return kit.node(tree, "ShaderNodeEmission", {"Color": colour, "Strength": strength}).outputs[0]


LOG = 0.3  # one course of logs
COURSES = 11
# openings in the front wall: (middle along the wall, width, the courses cut away)
WINDOWS = [(-1.8, 1.0, range(4, 7)), (1.6, 1.0, range(4, 7))]
DOOR = (0.2, 0.9, range(0, 7))


def cabin(x, y, z, turn):
    """Round logs notched at the corners, their ends standing out; two lit windows and a door in the long
    wall towards the camera. The lamplight leaves each window through its opening in the logs, so the
    light on the snow is the window's shape, crossed by its frame's shadow."""
    wood = kit.material("logs", logs)
    white = kit.material("snow", snow)
    glow = kit.material("lamplight", lamplight)
    # the panes sit deep in their openings behind the frames: the lamps in front of them carry their
    # light out, so Cycles need not also seek out the panes themselves
    glow.cycles.sample_as_light = False
    c, s = math.cos(turn), math.sin(turn)

    def at(u, v, w):
        return (x + c * u - s * v, y + s * u + c * v, z + w)

    length, depth = 7.0, 4.8
    # the core behind the logs, which the lit panes sit against
    kit.box("cabin", at(0.0, 0.0, 1.6), (length - 0.2, depth - 0.2, 3.3), wood).rotation_euler.z = turn
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
    # the roof: two slopes under a thick cushion of snow
    pitch = math.atan2(2.0, depth / 2 + 0.1)
    for side in (-1, 1):
        run = (depth / 2 + 0.9) / math.cos(pitch)
        slope = kit.box("roof", at(0.0, side * run * math.cos(pitch) / 2, top + 2.0 - run * math.sin(pitch) / 2 + 0.12),
                        (length + 1.2, run, 0.2), wood)
        slope.rotation_euler = (-side * pitch, 0.0, turn)
        cover = kit.box("roof snow", at(0.0, side * run * math.cos(pitch) / 2,
                                        top + 2.0 - run * math.sin(pitch) / 2 + 0.38), (length + 1.4, run + 0.1, 0.34),
                        white)
        cover.rotation_euler = (-side * pitch, 0.0, turn)
        cover.modifiers.new("soft", "BEVEL").width = 0.15
    kit.box("chimney", at(2.0, 0.8, top + 2.0), (0.7, 0.7, 2.2), kit.material("stones", stones)).rotation_euler.z = turn
    frame = kit.material("frame", lambda tree: kit.principled(tree, (0.05, 0.03, 0.02), 0.7))
    v = -depth / 2
    for u, width, courses in WINDOWS:
        lo, hi = LOG * courses[0], LOG * (courses[-1] + 1)
        mid, tall = (lo + hi) / 2, hi - lo
        kit.box("window", at(u, v + 0.09, mid), (width, 0.02, tall), glow).rotation_euler.z = turn
        # the frame and its cross, set in the opening, and a ledge of snow on the log under it
        for centre, size in (((u, v, mid), (0.06, 0.06, tall)), ((u, v, mid + 0.08), (width, 0.06, 0.06)),
                             ((u - width / 2 + 0.04, v, mid), (0.08, 0.08, tall)),
                             ((u + width / 2 - 0.04, v, mid), (0.08, 0.08, tall)),
                             ((u, v, hi - 0.04), (width, 0.08, 0.08)), ((u, v, lo + 0.04), (width, 0.08, 0.08))):
            kit.box("window frame", at(*centre), size, frame).rotation_euler.z = turn
        ledge = kit.box("sill snow", at(u, v - 0.12, lo + 0.02), (width + 0.2, 0.22, 0.1), white)
        ledge.rotation_euler.z = turn
        ledge.modifiers.new("soft", "BEVEL").width = 0.04
        # the lamp's light leaves through the opening, between the pane and the frame
        lamp = bpy.data.lights.new("window light", "AREA")
        lamp.shape = "RECTANGLE"
        lamp.size, lamp.size_y = width - 0.05, tall - 0.05
        lamp.energy = 45.0
        # a lamp inside throws its light out through the opening in a broad beam, not to every side
        lamp.spread = math.radians(90.0)
        lamp.color = (1.0, 0.6, 0.28)
        light = kit.add_object("window light", lamp, at(u, v + 0.06, mid))
        kit.point_along(light, Vector(at(0.0, -1.0, -0.35)) - Vector(at(0.0, 0.0, 0.0)))
    du, dwidth, dcourses = DOOR
    kit.box("door", at(du, v + 0.08, LOG * (dcourses[-1] + 1) / 2), (dwidth, 0.06, LOG * (dcourses[-1] + 1)),
            kit.material("planks", planks)).rotation_euler.z = turn


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
    terrain.grid_object("snow", x, y, snowfield(x, y), kit.material("snow", snow))
    cx, cy = CABIN
    # its lit windows towards the camera
    cabin(cx, cy, float(snowfield(np.array([cx]), np.array([cy]))[0]) - 0.3, math.radians(LOOK - 30.0))
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
