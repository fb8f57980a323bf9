"""A log cabin in deep snow at the blue hour: lamplight in its windows spilling gold on the drifts, spruces
heavy with snow, the last rose of the afterglow over the hills."""
import math

import bpy
import numpy as np
from mathutils import Vector

import air
import kit
import terrain

SAMPLES = 48
DENOISE = 3.0
# the lamplit snow seen in a bounce makes sparks the exposure raises eightfold: cap what a bounce brings
CYCLES = dict(sample_clamp_indirect=0.5)
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
    normal = kit.bump(tree, kit.noise(tree, p, 12.0, 4.0, 0.5), 0.05, 0.01, normal)
    # matt: glinting flakes at this distance only turn into sparks between samples
    return air.hazed(tree, kit.principled(tree, (0.82, 0.85, 0.9), 0.7, normal=normal, specular=0.3), 4000.0, 500.0)


def snowy_needles(tree):
    up = kit.node(tree, "ShaderNodeSeparateXYZ", {0: kit.node(tree, "ShaderNodeNewGeometry").outputs["Normal"]}).outputs["Z"]
    lying = kit.math_node(tree, "MULTIPLY", kit.map_range(tree, up, 0.1, 0.4),
                          kit.map_range(tree, kit.noise(tree, kit.coordinates(tree, "Object"), 8.0, 3.0), 0.3, 0.45))
    colour = kit.mix_colour(tree, lying, (0.012, 0.025, 0.015, 1.0), (0.8, 0.83, 0.88, 1.0))
    return air.hazed(tree, kit.principled(tree, colour, 0.7), 4000.0, 500.0)


def logs(tree):
    p = kit.coordinates(tree, "Object")
    z = kit.node(tree, "ShaderNodeSeparateXYZ", {0: p}).outputs["Z"]
    rounds = kit.math_node(tree, "SINE", kit.math_node(tree, "MULTIPLY", z, 2 * math.pi / 0.3))
    colour = kit.ramp(tree, kit.noise(tree, p, 5.0, 5.0), [(0.3, (0.06, 0.035, 0.02)), (0.7, (0.13, 0.08, 0.045))])
    return kit.principled(tree, colour, 0.8, normal=kit.bump(tree, rounds, 0.6, 0.05))


def lamplight(tree):
    # the room behind the glass: brightest where the lamp stands low in the middle, dimmer to the corners
    g = kit.coordinates(tree, "Generated")
    parts = kit.node(tree, "ShaderNodeSeparateXYZ", {0: g}).outputs
    edge = kit.math_node(tree, "MULTIPLY", kit.map_range(tree, kit.math_node(tree, "ABSOLUTE", kit.math_node(
        tree, "SUBTRACT", parts["X"], 0.5)), 0.5, 0.1), kit.map_range(tree, parts["Z"], 1.0, 0.3))
    strength = kit.math_node(tree, "ADD", kit.math_node(tree, "MULTIPLY", edge, 3.0), 1.2)
    colour = kit.mix_colour(tree, edge, (0.9, 0.42, 0.14, 1.0), (1.0, 0.66, 0.32, 1.0))
    return kit.node(tree, "ShaderNodeEmission", {"Color": colour, "Strength": strength}).outputs[0]


def cabin(x, y, z, turn):
    wood = kit.material("logs", logs)
    white = kit.material("snow", snow)
    glow = kit.material("lamplight", lamplight)
    c, s = math.cos(turn), math.sin(turn)

    def at(u, v, w):
        return (x + c * u - s * v, y + s * u + c * v, z + w)

    body = kit.box("cabin", at(0.0, 0.0, 1.6), (7.0, 5.0, 3.4), wood)
    body.rotation_euler.z = turn
    # the roof: two slopes under a thick cushion of snow
    for side in (-1, 1):
        slope = kit.box("roof", at(0.0, side * 1.55, 3.95), (8.2, 3.6, 0.22), wood)
        slope.rotation_euler = (-side * math.radians(38.0), 0.0, turn)
        cover = kit.box("roof snow", at(0.0, side * 1.62, 4.2), (8.4, 3.7, 0.35), white)
        cover.rotation_euler = (-side * math.radians(38.0), 0.0, turn)
        cover.modifiers.new("soft", "BEVEL").width = 0.15
    kit.box("chimney", at(2.2, 0.6, 4.8), (0.7, 0.7, 1.8), wood).rotation_euler.z = turn
    # lit windows on the long side facing the camera, crossed by their frames, and the room's light
    # thrown out of each through the glass, a window-shaped patch on the snow
    frame = kit.material("frame", lambda tree: kit.principled(tree, (0.05, 0.03, 0.02), 0.7))
    outward = Vector(at(0.0, -1.0, 0.0)) - Vector(at(0.0, 0.0, 0.0))
    for u in (-1.8, 1.6):
        kit.box("window", at(u, -2.52, 1.7), (1.0, 0.06, 1.1), glow).rotation_euler.z = turn
        for centre, size in (((u, -2.57, 1.7), (0.07, 0.05, 1.1)), ((u, -2.57, 1.75), (1.0, 0.05, 0.07)),
                             ((u, -2.57, 2.22), (1.14, 0.07, 0.1)), ((u, -2.57, 1.17), (1.14, 0.07, 0.1)),
                             ((u - 0.53, -2.57, 1.7), (0.08, 0.07, 1.1)), ((u + 0.53, -2.57, 1.7), (0.08, 0.07, 1.1))):
            kit.box("window frame", at(*centre), size, frame).rotation_euler.z = turn
        for k in (-1, 1):
            kit.box("shutter", at(u + k * 0.8, -2.58, 1.7), (0.38, 0.05, 1.2), wood).rotation_euler.z = turn
        lamp = bpy.data.lights.new("window light", "AREA")
        lamp.shape = "RECTANGLE"
        lamp.size, lamp.size_y = 1.0, 1.1
        lamp.energy = 90.0
        lamp.color = (1.0, 0.6, 0.28)
        light = kit.add_object("window light", lamp, at(u, -2.62, 1.7))
        kit.point_along(light, outward + Vector((0.0, 0.0, -0.45)))
    kit.box("door", at(0.2, -2.53, 1.0), (0.9, 0.06, 2.0), wood).rotation_euler.z = turn


def build():
    air.sky(*SUN, dust=1.0, ozone=2.0, clouds=[dict(height=6000.0, scale=4000.0, coverage=0.3, opacity=1.5,
                                                    stretch=4.0, heading=10.0, seed=61.0, ambient=0.9)])
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
    templates = [kit.spruce("spruce %d" % i, 1.0, 22, 9, mat, seed=20 + i) for i in range(5)]
    kit.scatter("forest", templates, np.stack([tx, ty, snowfield(tx, ty) - 0.3], 1)[clear],
                rng.uniform(7.0, 16.0, count)[clear], rng.uniform(0, 6.3, count)[clear], rng.randint(0, 5, count)[clear])
    eye_z = float(snowfield(np.array([0.0]), np.array([0.0]))[0]) + 1.7
    target = kit.direction(1.0, LOOK + 4.0)
    kit.camera((0.0, 0.0, eye_z), (target.x, target.y, eye_z + target.z), 44.0)
    kit.film(exposure=3.0)
