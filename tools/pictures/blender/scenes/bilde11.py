"""A quiet room in the morning: sun through a tall window lays its panes on the floorboards and climbs the
opposite wall; a chair and a table in the light, the rest of the room filled by the light it bounces."""
import math
import random

import bpy

import air
import kit

SAMPLES = 64
DENOISE = 5.0  # light that reaches the room by bouncing stays grainy at any sample count affordable here
# the sun's patch on the floor lights the room by bouncing: cap what one bounce can bring, or single
# samples that find the patch stand out as sparks
CYCLES = dict(sample_clamp_indirect=1.0, diffuse_bounces=3)
SUN = (24.0, 128.0)  # morning, through the window in the east wall
ROOM = (6.0, 7.0, 3.2)  # width (x), depth (y), height


def plaster(tree):
    p = kit.coordinates(tree, "Object")
    colour = kit.ramp(tree, kit.noise(tree, p, 2.0, 5.0), [(0.3, (0.72, 0.70, 0.66)), (0.7, (0.78, 0.76, 0.72))])
    return kit.principled(tree, colour, 0.85, normal=kit.bump(tree, kit.noise(tree, p, 25.0, 6.0), 0.08, 0.005))


def floorboards(tree):
    p = kit.coordinates(tree, "Object")
    boards = kit.node(tree, "ShaderNodeTexBrick", {"Vector": p, "Scale": 1.0, "Mortar Size": 0.004,
                                                   "Color1": (0.26, 0.14, 0.07, 1.0), "Color2": (0.34, 0.19, 0.09, 1.0),
                                                   "Mortar": (0.03, 0.02, 0.01, 1.0), "Brick Width": 1.6,
                                                   "Row Height": 0.16, "Bias": 0.2},
                      offset=0.37, offset_frequency=1, squash=1.0, squash_frequency=1)
    stretched = kit.node(tree, "ShaderNodeMapping", {"Vector": p, "Scale": (0.6, 14.0, 1.0)}).outputs[0]
    grain = kit.noise(tree, stretched, 4.0, 6.0, 0.6)
    colour = kit.mix_colour(tree, 0.35, boards.outputs["Color"], kit.ramp(tree, grain, [(0.3, (0.18, 0.09, 0.04)),
                                                                                      (0.7, (0.36, 0.2, 0.1))]),
                            "OVERLAY")
    normal = kit.bump(tree, kit.math_node(tree, "SUBTRACT", 1.0, boards.outputs["Fac"]), 0.3, 0.003)
    return kit.principled(tree, colour, kit.map_range(tree, grain, 0.3, 0.7, 0.25, 0.45), normal=normal,
                          clearcoat=0.3, clearcoat_roughness=0.2)


def painted(tree):
    return kit.principled(tree, (0.55, 0.56, 0.52), 0.35)


def wood(tree):
    p = kit.coordinates(tree, "Object")
    stretched = kit.node(tree, "ShaderNodeMapping", {"Vector": p, "Scale": (1.0, 1.0, 12.0)}).outputs[0]
    colour = kit.ramp(tree, kit.noise(tree, stretched, 6.0, 6.0), [(0.3, (0.10, 0.05, 0.025)), (0.7, (0.2, 0.1, 0.05))])
    return kit.principled(tree, colour, 0.4, clearcoat=0.2)


def chair(x, y, turn, mat):
    parts = [((0.0, 0.0, 0.45), (0.46, 0.44, 0.04))]
    for sx in (-0.2, 0.2):
        for sy in (-0.19, 0.19):
            parts.append(((sx, sy, 0.22), (0.04, 0.04, 0.44)))
        parts.append(((sx, 0.2, 0.72), (0.035, 0.035, 0.56)))
    parts += [((0.0, 0.2, 0.95), (0.44, 0.03, 0.08)), ((0.0, 0.2, 0.75), (0.44, 0.02, 0.05))]
    for (px, py, pz), size in parts:
        c, s = math.cos(turn), math.sin(turn)
        part = kit.box("chair", (x + c * px - s * py, y + s * px + c * py, pz), size, mat)
        part.rotation_euler.z = turn
        part.modifiers.new("edge", "BEVEL").width = 0.006


def lawn(tree):
    p = kit.coordinates(tree, "Object")
    colour = kit.ramp(tree, kit.noise(tree, p, 0.4, 6.0), [(0.35, (0.10, 0.16, 0.04)), (0.65, (0.20, 0.26, 0.07))])
    return kit.principled(tree, colour, 0.9, normal=kit.bump(tree, kit.noise(tree, p, 30.0, 4.0), 0.4, 0.02))


def leaves(tree):
    p = kit.coordinates(tree, "Object")
    colour = kit.ramp(tree, kit.noise(tree, p, 3.0, 6.0), [(0.3, (0.03, 0.07, 0.02)), (0.7, (0.09, 0.15, 0.04))])
    return kit.principled(tree, colour, 0.8, normal=kit.bump(tree, kit.noise(tree, p, 12.0, 6.0, 0.7), 1.0, 0.05))


def garden(w):
    """What the window looks onto, so its panes show a view and not a blank: a lawn, a hedge with a gap,
    spruces and a leafy tree in the sun beyond."""
    kit.box("lawn", (w / 2 + 60.0, 0.0, -0.05), (119.0, 200.0, 0.1), kit.material("lawn", lawn))
    green = kit.material("leaves", leaves)
    for y0, y1 in ((-40.0, -1.2), (1.4, 40.0)):
        kit.rock("hedge", (w / 2 + 9.0, (y0 + y1) / 2, 0.7), (0.9, (y1 - y0) / 2, 1.0), seed=int(y0), lumpiness=0.12,
                 crags=0.05, grit=0.1, mat=green, block=True)
    rng = random.Random(5)
    for k in range(9):
        tree = kit.conifer("spruce", rng.uniform(7.0, 13.0), 12, green, seed=k)
        tree.location = (w / 2 + rng.uniform(16.0, 40.0), rng.uniform(-14.0, 18.0), 0.0)
    for k, (x, y, r) in enumerate(((22.0, 4.0, 3.2), (20.5, 6.5, 2.6), (23.5, 6.0, 2.4))):
        kit.rock("crown", (w / 2 + x, y, 4.5 + r * 0.6), (r, r, r * 0.85), seed=40 + k, lumpiness=0.3, crags=0.1,
                 grit=0.12, mat=green)
    kit.cone("trunk", (w / 2 + 22.0, 5.0, 2.0), 0.25, 0.18, 4.0, 16, kit.simple_material("bark", (0.08, 0.06, 0.05), 0.8))


def build():
    w, d, h = ROOM
    sun = air.sky(*SUN, dust=1.0)
    sun.data.angle = math.radians(1.0)
    walls = kit.material("plaster", plaster)
    trim = kit.material("paint", painted)
    # walls as boxes, the east wall (x = w/2) with a tall window opening cut into it
    kit.box("floor", (0.0, 0.0, -0.05), (w + 0.4, d + 0.4, 0.1), kit.material("floorboards", floorboards))
    kit.box("ceiling", (0.0, 0.0, h + 0.05), (w + 0.4, d + 0.4, 0.1), walls)
    kit.box("west wall", (-w / 2 - 0.1, 0.0, h / 2), (0.2, d + 0.4, h), walls)
    kit.box("north wall", (0.0, d / 2 + 0.1, h / 2), (w + 0.4, 0.2, h), walls)
    kit.box("south wall", (0.0, -d / 2 - 0.1, h / 2), (w + 0.4, 0.2, h), walls)
    window = (0.2, 0.3, 2.9, 2.6)  # y centre, sill height, top, width: a tall glazed door
    wy, sill, top, width = window
    east = w / 2 + 0.15
    kit.box("east wall below", (east, 0.0, sill / 2), (0.3, d + 0.4, sill), walls)
    kit.box("east wall above", (east, 0.0, (top + h) / 2), (0.3, d + 0.4, h - top), walls)
    kit.box("east wall left", (east, (wy - width / 2 - d / 2 - 0.2) / 2, (sill + top) / 2),
            (0.3, wy - width / 2 + d / 2 + 0.2, top - sill), walls)
    kit.box("east wall right", (east, (wy + width / 2 + d / 2 + 0.2) / 2, (sill + top) / 2),
            (0.3, d / 2 + 0.2 - wy - width / 2, top - sill), walls)
    # the window's frame and glazing bars: three panes across, four up
    for k in range(5):
        kit.box("mullion", (w / 2 + 0.05, wy - width / 2 + k * width / 4, (sill + top) / 2), (0.06, 0.05, top - sill),
                trim)
    for k in range(5):
        kit.box("transom", (w / 2 + 0.05, wy, sill + k * (top - sill) / 4), (0.06, width, 0.05), trim)
    kit.box("skirting", (0.0, d / 2 - 0.01, 0.07), (w, 0.02, 0.14), trim)
    kit.box("skirting", (-w / 2 + 0.01, 0.0, 0.07), (0.02, d, 0.14), trim)
    # a light portal in the opening tells Cycles where the daylight comes from
    portal = bpy.data.lights.new("window portal", "AREA")
    portal.shape = "RECTANGLE"
    portal.size, portal.size_y = top - sill, width
    portal.cycles.is_portal = True
    light = kit.add_object("window portal", portal)
    light.location = (w / 2 + 0.3, wy, (sill + top) / 2)
    kit.point_along(light, (-1.0, 0.0, 0.0))
    # furniture: a table by the window with a chair, another chair in the light, a rug's edge
    timber = kit.material("wood", wood)
    kit.box("table top", (1.6, 1.6, 0.74), (1.2, 0.8, 0.04), timber).modifiers.new("edge", "BEVEL").width = 0.008
    for sx in (-0.54, 0.54):
        for sy in (-0.34, 0.34):
            kit.box("table leg", (1.6 + sx, 1.6 + sy, 0.36), (0.05, 0.05, 0.72), timber)
    chair(1.55, 0.95, math.radians(8.0), timber)
    chair(0.2, -0.8, math.radians(-150.0), timber)
    kit.cone("jug", (1.45, 1.75, 0.87), 0.09, 0.09, 0.22, 64,
             kit.material("jug", lambda t: kit.principled(t, (0.75, 0.72, 0.65), 0.15)))
    # a rug under the table, and a bookcase of coloured spines against the north wall
    kit.box("rug", (0.9, 0.7, 0.006), (2.6, 1.8, 0.012),
            kit.material("rug", lambda t: kit.principled(t, kit.ramp(t, kit.node(
                t, "ShaderNodeTexChecker", {"Vector": kit.coordinates(t, "Object"), "Scale": 6.0}).outputs["Fac"],
                [(0.0, (0.35, 0.06, 0.04)), (1.0, (0.55, 0.35, 0.12))]), 0.95)))
    kit.box("bookcase back", (-1.0, d / 2 - 0.02, 1.0), (1.6, 0.03, 2.0), timber)
    for side in (-1.78, -0.22):
        kit.box("bookcase side", (side, d / 2 - 0.19, 1.0), (0.03, 0.36, 2.0), timber)
    for shelf in range(5):
        kit.box("shelf", (-1.0, d / 2 - 0.19, 0.15 + shelf * 0.46), (1.56, 0.34, 0.025), timber)
    rng = random.Random(11)
    for shelf in range(4):
        x = -1.72
        while x < -0.32:
            width = rng.uniform(0.025, 0.06)
            tall = rng.uniform(0.22, 0.34)
            colour = rng.choice([(0.4, 0.05, 0.04), (0.05, 0.12, 0.3), (0.12, 0.25, 0.1), (0.6, 0.5, 0.3), (0.1, 0.08, 0.06)])
            kit.box("book", (x + width / 2, d / 2 - 0.2, 0.165 + shelf * 0.46 + tall / 2), (width * 0.95, 0.28, tall),
                    kit.simple_material("spine", colour, 0.6))
            x += width
    garden(w)
    kit.camera((-2.6, -3.1, 1.45), (1.2, 1.2, 0.9), 70.0)
    kit.film(exposure=-1.3)
