"""A pale living room on a clear morning: the sun comes in low through a wide window in the east wall and
lays its panes across the oak floor and up the back wall; a rust armchair and a round oak table with a
ceramic vase stand in the light on a wool rug, a leafy plant glows against the glass, and outside a
garden falls away to hazy wooded hills."""
import math
import random

import bmesh
import bpy
import numpy as np
from mathutils import Vector

import air
import kit
import terrain

SAMPLES = 16
DENOISE = 1.5
# rendered at twice the size and scaled down after the tone curve: the sun's patches are so much brighter
# than the shade that a pixel half in the sun is already near white, and at one sample area a pixel their
# edges and the sideboard's grooves would step
OVERSAMPLE = 2
# the room is lit by bounces and by the lamps that stand in for them: their light is smoothed over the
# walls and floor (render_scene.py), the sun's own edges kept
SMOOTH_BOUNCES = dict(radius=16, direct=True, glossy=True, sharp=["sun"], edge=0.6)
# the sun's patches light the room by bouncing: lamps lying on them (sun_patches) carry the first bounce,
# so what the bounces themselves bring can be capped hard, or single samples that find a patch stand out
# as sparks
CYCLES = dict(sample_clamp_indirect=0.25, diffuse_bounces=3, glossy_bounces=2, adaptive_threshold=0.004)
SUN = (21.0, 120.0)  # low in the east-south-east: in through the east window, across the floor to the north wall
ROOM = (5.2, 6.0, 2.8)  # width (x), depth (y), height
WALL = 0.25
GROUND_ALBEDO = 0.25  # the lawn and terrace outside, as the room sees them
WINDOW = (-1.3, 1.9, 0.3, 2.45)  # the east wall's opening: from y, to y, sill, head


# --- materials -------------------------------------------------------------------------------------


def plaster(tree):
    p = kit.coordinates(tree, "Object")
    colour = kit.ramp(tree, kit.noise(tree, p, 1.5, 4.0), [(0.3, (0.80, 0.79, 0.76)), (0.7, (0.84, 0.83, 0.80))])
    return kit.principled(tree, colour, 0.9, specular=0.3)


def oak_floor(tree):
    """Oak boards along the room, each its own shade, grain streaked along them, a dark hairline between."""
    p = kit.coordinates(tree, "Object")
    # the boards run along y: the brick texture lays its rows along x, so swap the two
    swapped = kit.node(tree, "ShaderNodeMapping", {"Vector": p, "Rotation": (0.0, 0.0, math.pi / 2)}).outputs[0]
    boards = kit.node(tree, "ShaderNodeTexBrick", {"Vector": swapped, "Scale": 1.0, "Mortar Size": 0.0025,
                                                   "Mortar Smooth": 0.3,
                                                   "Color1": (0.50, 0.33, 0.19, 1.0), "Color2": (0.62, 0.43, 0.26, 1.0),
                                                   "Mortar": (0.12, 0.07, 0.04, 1.0), "Brick Width": 2.1,
                                                   "Row Height": 0.19, "Bias": 0.0},
                      offset=0.43, offset_frequency=1, squash=1.0, squash_frequency=1)
    # grain: noise stretched hard along the boards, and the long flames of growth rings
    stretched = kit.node(tree, "ShaderNodeMapping", {"Vector": p, "Scale": (60.0, 1.2, 1.0)}).outputs[0]
    fine = kit.noise(tree, stretched, 3.0, 6.0, 0.6)
    rings = kit.node(tree, "ShaderNodeTexWave", {"Vector": kit.node(tree, "ShaderNodeMapping", {
        "Vector": p, "Scale": (9.0, 0.7, 1.0)}).outputs[0], "Scale": 1.5, "Distortion": 6.0, "Detail": 3.0,
        "Detail Scale": 1.5}, wave_type="BANDS", bands_direction="X").outputs["Fac"]
    grain = kit.mix_colour(tree, 0.5, fine, rings)
    tone = kit.ramp(tree, grain, [(0.25, (0.30, 0.18, 0.09)), (0.75, (0.62, 0.44, 0.27))])
    colour = kit.mix_colour(tree, 0.55, boards.outputs["Color"], tone, "MULTIPLY")
    colour = kit.mix_colour(tree, 0.5, colour, boards.outputs["Color"])
    gap = kit.math_node(tree, "SUBTRACT", 1.0, boards.outputs["Fac"])
    normal = kit.bump(tree, gap, 0.4, 0.002)
    normal = kit.bump(tree, grain, 0.08, 0.0005, normal)
    return kit.principled(tree, colour, kit.map_range(tree, grain, 0.3, 0.7, 0.32, 0.48), normal=normal,
                          specular=0.45)


def oak(tree):
    """Oiled oak for the furniture, the grain running along the object's x."""
    p = kit.coordinates(tree, "Object")
    stretched = kit.node(tree, "ShaderNodeMapping", {"Vector": p, "Scale": (1.0, 14.0, 14.0)}).outputs[0]
    rings = kit.node(tree, "ShaderNodeTexWave", {"Vector": stretched, "Scale": 0.8, "Distortion": 4.0, "Detail": 3.0},
                     wave_type="RINGS", rings_direction="X").outputs["Fac"]
    tone = kit.ramp(tree, rings, [(0.2, (0.36, 0.22, 0.11)), (0.8, (0.55, 0.37, 0.21))])
    return kit.principled(tree, tone, 0.38, specular=0.4, normal=kit.bump(tree, rings, 0.05, 0.001))


def fabric(colour, sheen_tint=0.5):
    def build(tree):
        p = kit.coordinates(tree, "Object")
        weave = kit.node(tree, "ShaderNodeTexWave", {"Vector": p, "Scale": 160.0, "Distortion": 0.0},
                         wave_type="BANDS", bands_direction="DIAGONAL").outputs["Fac"]
        mottle = kit.noise(tree, p, 6.0, 3.0)
        shade = kit.mix_colour(tree, kit.map_range(tree, mottle, 0.3, 0.7, 0.0, 0.25), colour,
                               tuple(c * 0.7 for c in colour[:3]) + (1.0,))
        return kit.principled(tree, shade, 0.95, sheen=0.8, sheen_tint=sheen_tint, specular=0.25,
                              normal=kit.bump(tree, weave, 0.1, 0.001))
    return build


def wool_rug(tree):
    """Undyed wool with a grey-blue band inside its edge."""
    g = kit.coordinates(tree, "Generated")
    parts = kit.node(tree, "ShaderNodeSeparateXYZ", {0: g}).outputs
    # distance from the nearest edge, in the rug's 0..1 coordinates (it is wider than deep)
    dx = kit.math_node(tree, "MULTIPLY", kit.math_node(tree, "MINIMUM", parts["X"],
                                                       kit.math_node(tree, "SUBTRACT", 1.0, parts["X"])), 2.6)
    dy = kit.math_node(tree, "MULTIPLY", kit.math_node(tree, "MINIMUM", parts["Y"],
                                                       kit.math_node(tree, "SUBTRACT", 1.0, parts["Y"])), 1.9)
    edge = kit.math_node(tree, "MINIMUM", dx, dy)
    band = kit.math_node(tree, "MULTIPLY", kit.map_range(tree, edge, 0.07, 0.08),
                         kit.map_range(tree, edge, 0.15, 0.14))
    p = kit.coordinates(tree, "Object")
    pile = kit.noise(tree, p, 90.0, 2.0)
    base = kit.ramp(tree, kit.noise(tree, p, 8.0, 3.0), [(0.3, (0.60, 0.57, 0.52)), (0.7, (0.68, 0.65, 0.60))])
    colour = kit.mix_colour(tree, band, base, (0.18, 0.22, 0.27, 1.0))
    return kit.principled(tree, colour, 1.0, sheen=1.0, specular=0.1, normal=kit.bump(tree, pile, 0.5, 0.004))


def glaze(colour, roughness=0.12):
    def build(tree):
        p = kit.coordinates(tree, "Object")
        speckle = kit.noise(tree, p, 30.0, 4.0)
        shade = kit.mix_colour(tree, kit.map_range(tree, speckle, 0.55, 0.75, 0.0, 0.35), colour,
                               tuple(c * 1.6 for c in colour[:3]) + (1.0,))
        return kit.principled(tree, shade, roughness, specular=0.5, clearcoat=0.6, clearcoat_roughness=0.05)
    return build


def leaf(tree):
    """Glossy dark leaves that the sun shines through to a yellow green."""
    p = kit.coordinates(tree, "Object")
    colour = kit.ramp(tree, kit.noise(tree, p, 12.0, 3.0), [(0.3, (0.025, 0.07, 0.02)), (0.7, (0.05, 0.11, 0.03))])
    surface = kit.principled(tree, colour, 0.4, specular=0.5)
    through = kit.node(tree, "ShaderNodeBsdfTranslucent", {"Color": (0.2, 0.35, 0.05, 1.0)}).outputs[0]
    return kit.node(tree, "ShaderNodeMixShader", {0: 0.3, 1: surface, 2: through}).outputs[0]


# --- shapes ----------------------------------------------------------------------------------------


def rounded_box(name, centre, size, radius, mat, segments=4, soft=False, turn=0.0):
    """A box `size` across with its edges rounded to `radius`; `soft` smooths it further into a cushion."""
    bm = bmesh.new()
    bmesh.ops.create_cube(bm, size=1.0)
    for v in bm.verts:
        v.co = Vector((v.co.x * size[0], v.co.y * size[1], v.co.z * size[2]))
    mesh = bpy.data.meshes.new(name)
    bm.to_mesh(mesh)
    bm.free()
    obj = kit.add_object(name, mesh, centre, (0.0, 0.0, turn), mat)
    bevel = obj.modifiers.new("round", "BEVEL")
    bevel.width = radius
    bevel.segments = segments
    if soft:
        obj.modifiers.new("soft", "SUBSURF").levels = 2
        obj.modifiers["soft"].render_levels = 2
        kit._smooth(mesh)
    else:
        mesh.use_auto_smooth = True
        mesh.auto_smooth_angle = math.radians(40.0)
        bevel.harden_normals = True
        kit._smooth(mesh)
    return obj


def rod(name, start, end, r0, r1, mat, segments=16):
    """A tapered round leg or stem from `start` (radius r0) to `end` (radius r1)."""
    start, end = Vector(start), Vector(end)
    axis = end - start
    obj = kit.cone(name, (start + end) / 2, r0, r1, axis.length, segments, mat)
    obj.rotation_euler = axis.to_track_quat("Z", "Y").to_euler()
    return obj


def disc_top(name, centre, radius, thickness, mat):
    bm = bmesh.new()
    bmesh.ops.create_cone(bm, cap_ends=True, segments=96, radius1=radius, radius2=radius, depth=thickness)
    mesh = bpy.data.meshes.new(name)
    bm.to_mesh(mesh)
    bm.free()
    mesh.use_auto_smooth = True
    mesh.auto_smooth_angle = math.radians(40.0)
    kit._smooth(mesh)
    obj = kit.add_object(name, mesh, centre, mat=mat)
    bevel = obj.modifiers.new("round", "BEVEL")
    bevel.width = thickness * 0.3
    bevel.segments = 4
    bevel.limit_method = "ANGLE"
    bevel.harden_normals = True
    return obj


def turn_about(origin, turn, u, v, w):
    c, s = math.cos(turn), math.sin(turn)
    return (origin[0] + c * u - s * v, origin[1] + s * u + c * v, w)


def armchair(origin, turn, cloth, wood):
    """A deep armchair, its front towards local -y, on four tapered legs."""
    def at(u, v, w):
        return turn_about(origin, turn, u, v, w)

    for su in (-0.33, 0.33):
        for sv in (-0.31, 0.31):
            rod("chair leg", at(su, sv, 0.0), at(su * 1.08, sv * 1.08, 0.15), 0.018, 0.026, wood)
    rounded_box("chair base", at(0.0, 0.0, 0.27), (0.82, 0.78, 0.24), 0.05, cloth, turn=turn)
    for su in (-0.34, 0.34):
        rounded_box("chair arm", at(su, 0.02, 0.47), (0.15, 0.76, 0.32), 0.06, cloth, soft=True, turn=turn)
    back = rounded_box("chair back", at(0.0, 0.32, 0.62), (0.82, 0.16, 0.62), 0.06, cloth, soft=True, turn=turn)
    back.rotation_euler.x = math.radians(-8.0)
    rounded_box("seat cushion", at(0.0, -0.05, 0.46), (0.56, 0.66, 0.16), 0.06, cloth, soft=True, turn=turn)
    cushion = rounded_box("back cushion", at(0.0, 0.19, 0.71), (0.55, 0.15, 0.44), 0.06, cloth, soft=True, turn=turn)
    cushion.rotation_euler.x = math.radians(-12.0)
    # a throw pillow in the corner of the seat
    pillow = rounded_box("pillow", at(0.17, 0.06, 0.65), (0.36, 0.12, 0.34), 0.07, kit.material(
        "linen", fabric((0.70, 0.66, 0.58, 1.0))), soft=True, turn=turn + 0.3)
    pillow.rotation_euler.x = math.radians(-20.0)


def coffee_table(centre, wood):
    x, y = centre
    disc_top("table top", (x, y, 0.425), 0.42, 0.04, wood)
    for k in range(3):
        a = 2.0 * math.pi * k / 3 + 0.4
        rod("table leg", (x + 0.33 * math.cos(a), y + 0.33 * math.sin(a), 0.0),
            (x + 0.26 * math.cos(a), y + 0.26 * math.sin(a), 0.41), 0.016, 0.024, wood)


def vase(location, height, colour, mat_name):
    """A stoneware vase: a lathe profile with a foot, a round belly and a narrow neck, hollow inside."""
    r = height * 0.32
    outside = [(0.0, 0.0), (r * 0.55, 0.0), (r * 0.6, height * 0.03), (r * 0.95, height * 0.3), (r, height * 0.45),
               (r * 0.8, height * 0.7), (r * 0.42, height * 0.86), (r * 0.38, height * 0.95), (r * 0.45, height)]
    inside = [(r * 0.38, height), (r * 0.32, height * 0.94), (r * 0.34, height * 0.86), (0.0, height * 0.8)]
    return kit.lathe("vase", outside + inside, 96, location, kit.material(mat_name, glaze(colour)))


def leaf_mesh(rng, base, heading, pitch, droop, length, width):
    """One leaf as a bent strip: from `base` it leaves `heading` (radians about z) `pitch` up, curls down by
    `droop` towards its tip, widens to `width` and narrows to a point, folded a little along its midrib."""
    along, across = 14, 7
    h = Vector((math.cos(heading), math.sin(heading), 0.0))
    side = Vector((-math.sin(heading), math.cos(heading), 0.0))
    twist = rng.uniform(-0.3, 0.3)
    verts, centre = [], Vector(base)
    step = length / (along - 1)
    for i in range(along):
        u = i / (along - 1)
        a = pitch - droop * u * u
        w = width * math.sin(math.pi * min(1.0, u * 1.1) ** 0.75) * (1.0 - 0.15 * u)
        up = Vector((-math.sin(a) * h.x, -math.sin(a) * h.y, math.cos(a)))
        rolled = side * math.cos(twist * u) + up * math.sin(twist * u)
        for j in range(across):
            v = j / (across - 1) * 2.0 - 1.0
            verts.append(centre + rolled * (v * w) + up * (abs(v) * w * 0.25))
        centre = centre + (h * math.cos(a) + Vector((0.0, 0.0, math.sin(a)))) * step
    faces = [(i * across + j, i * across + j + 1, (i + 1) * across + j + 1, (i + 1) * across + j)
             for i in range(along - 1) for j in range(across - 1)]
    return verts, faces


def plant(location, mat_pot, mat_leaf, stem_mat, seed=3):
    """A leafy plant in a round pot: stems fanning out of the soil, each ending in a broad pointed leaf."""
    x, y, z = location
    pot = [(0.0, 0.0), (0.15, 0.0), (0.17, 0.02), (0.2, 0.34), (0.21, 0.4), (0.19, 0.4), (0.18, 0.36), (0.0, 0.36)]
    kit.lathe("pot", pot, 96, location, mat_pot)
    kit.disc("soil", (x, y, z + 0.355), 0.18, 48, kit.simple_material("soil", (0.04, 0.03, 0.02), 1.0))
    rng = random.Random(seed)
    verts, faces = [], []
    for k in range(26):
        heading = rng.uniform(0.0, 2.0 * math.pi)
        reach = rng.uniform(0.05, 0.32)
        rise = rng.uniform(0.35, 0.95)
        foot = Vector((x + 0.04 * math.cos(heading), y + 0.04 * math.sin(heading), z + 0.36))
        tip = foot + Vector((reach * math.cos(heading), reach * math.sin(heading), rise))
        # the stem arches: a curve through a raised middle
        curve = bpy.data.curves.new("stem", "CURVE")
        curve.dimensions = "3D"
        curve.bevel_depth = 0.004
        spline = curve.splines.new("BEZIER")
        spline.bezier_points.add(1)
        for point, co in zip(spline.bezier_points, (foot, tip)):
            point.co = co
            point.handle_left_type = point.handle_right_type = "AUTO"
        spline.bezier_points[0].handle_right_type = "FREE"
        spline.bezier_points[0].handle_right = foot + Vector((0.0, 0.0, rise * 0.6))
        kit.add_object("stem", curve, mat=stem_mat)
        v, f = leaf_mesh(rng, tip, heading + rng.uniform(-0.4, 0.4), rng.uniform(0.2, 0.9), rng.uniform(0.6, 1.3),
                         rng.uniform(0.26, 0.4), rng.uniform(0.06, 0.09))
        base = len(verts)
        verts += v
        faces += [tuple(base + i for i in face) for face in f]
    leaves = kit.mesh_object("leaves", verts, faces)
    kit.assign(leaves, mat_leaf)


# --- the room --------------------------------------------------------------------------------------


def room(walls, trim, floor_mat, frame_mat):
    w, d, h = ROOM
    y0, y1, sill, head = WINDOW
    t = WALL
    kit.box("floor", (0.0, 0.0, -0.05), (w + 2 * t, d + 2 * t, 0.1), floor_mat)
    kit.box("ceiling", (0.0, 0.0, h + 0.1), (w + 2 * t, d + 2 * t, 0.2), walls)
    kit.box("west wall", (-w / 2 - t / 2, 0.0, h / 2), (t, d + 2 * t, h), walls)
    kit.box("north wall", (0.0, d / 2 + t / 2, h / 2), (w + 2 * t, t, h), walls)
    kit.box("south wall", (0.0, -d / 2 - t / 2, h / 2), (w + 2 * t, t, h), walls)
    east = w / 2 + t / 2
    kit.box("east wall below", (east, 0.0, sill / 2), (t, d + 2 * t, sill), walls)
    kit.box("east wall above", (east, 0.0, (head + h) / 2), (t, d + 2 * t, h - head), walls)
    kit.box("east wall south", (east, (y0 - d / 2 - t) / 2, (sill + head) / 2), (t, y0 + d / 2 + t, head - sill), walls)
    kit.box("east wall north", (east, (y1 + d / 2 + t) / 2, (sill + head) / 2), (t, d / 2 + t - y1, head - sill), walls)
    # a deep sill board, and slim dark frames set halfway into the wall: three lights, the middle one wider
    rounded_box("sill", (w / 2 + 0.06, (y0 + y1) / 2, sill - 0.015), (0.2, y1 - y0 + 0.06, 0.04), 0.008, trim)
    fx = w / 2 + t * 0.55
    bar = 0.05
    rounded_box("frame", (fx, (y0 + y1) / 2, sill + bar / 2), (0.07, y1 - y0, bar), 0.006, frame_mat)
    rounded_box("frame", (fx, (y0 + y1) / 2, head - bar / 2), (0.07, y1 - y0, bar), 0.006, frame_mat)
    for y in (y0 + bar / 2, y0 + (y1 - y0) * 0.3, y0 + (y1 - y0) * 0.7, y1 - bar / 2):
        rounded_box("mullion", (fx, y, (sill + head) / 2), (0.07, bar, head - sill), 0.006, frame_mat)
    for ky in ((y0, y0 + (y1 - y0) * 0.3), (y0 + (y1 - y0) * 0.7, y1)):
        rounded_box("transom", (fx, sum(ky) / 2, head - 0.5), (0.06, ky[1] - ky[0], 0.04), 0.006, frame_mat)
    glazing(y0, y1, sill, head, fx)
    # skirting round the walls the camera sees
    rounded_box("skirting", (0.0, d / 2 - 0.01, 0.05), (w, 0.02, 0.1), 0.004, trim)
    rounded_box("skirting", (-w / 2 + 0.01, 0.0, 0.05), (0.02, d, 0.1), 0.004, trim)
    for y_from, y_to in ((-d / 2, y0), (y1, d / 2)):
        rounded_box("skirting", (w / 2 - 0.01, (y_from + y_to) / 2, 0.05), (0.02, y_to - y_from, 0.1), 0.004, trim)
    # the light portal over the opening shows Cycles where the daylight comes in
    portal = bpy.data.lights.new("window portal", "AREA")
    portal.shape = "RECTANGLE"
    # its local x runs along the wall (y), its local y up
    portal.size, portal.size_y = y1 - y0, head - sill
    portal.cycles.is_portal = True
    light = kit.add_object("window portal", portal, (w / 2 + t + 0.01, (y0 + y1) / 2, (sill + head) / 2))
    kit.point_along(light, (-1.0, 0.0, 0.0))


def glass(tree):
    """Window glass as the camera sees it: clear, with the room mirrored faintly at a slant."""
    # a touch less than the glass's Fresnel share: the dim room it mirrors at a slant would read as a blind
    fresnel = kit.node(tree, "ShaderNodeMath", {0: kit.node(tree, "ShaderNodeFresnel", {"IOR": 1.52}).outputs[0],
                                                 1: 0.55}, operation="MULTIPLY")
    clear = kit.node(tree, "ShaderNodeBsdfTransparent")
    mirror = kit.node(tree, "ShaderNodeBsdfGlossy", {"Roughness": 0.02})
    return kit.node(tree, "ShaderNodeMixShader", {"Fac": fresnel.outputs[0], 1: clear.outputs[0],
                                                   2: mirror.outputs[0]}).outputs[0]


def glazing(y0, y1, sill, head, x):
    """One pane across the opening, seen by the camera and by reflections only: the sun and the daylight
    come through as if it were not there."""
    pane = kit.box("glass", (x, (y0 + y1) / 2, (sill + head) / 2), (0.004, y1 - y0, head - sill),
                   kit.material("glass", glass))
    pane.visible_shadow = False
    pane.visible_diffuse = False


def print_paper(tree):
    """A print of a shore at dusk in soft washes: bands of sky, a far headland and water, on paper."""
    p = kit.coordinates(tree, "Object")
    z = kit.node(tree, "ShaderNodeSeparateXYZ", {"Vector": p}).outputs["Z"]
    # the box's own z runs from -1 at the print's foot to 1 at its head; the washes' edges wander
    wobble = kit.node(tree, "ShaderNodeMath", {0: kit.noise(tree, p, 3.0, 3.0), 1: 0.15, 2: -0.075},
                      operation="MULTIPLY_ADD")
    height = kit.node(tree, "ShaderNodeMath", {0: z, 1: 0.5, 2: wobble.outputs[0]}, operation="MULTIPLY_ADD")
    height = kit.node(tree, "ShaderNodeMath", {0: height.outputs[0], 1: 0.5}, operation="ADD")
    colour = kit.ramp(tree, height.outputs[0], [(0.0, (0.18, 0.22, 0.26)), (0.38, (0.32, 0.36, 0.38)),
                                                (0.42, (0.12, 0.13, 0.15)), (0.5, (0.55, 0.42, 0.3)),
                                                (0.75, (0.7, 0.6, 0.48)), (0.95, (0.62, 0.64, 0.66))])
    return kit.principled(tree, colour, 0.8)


def framed_print(centre, size):
    """A framed print on the back wall, facing the room (-y): a dark frame, a white mount, the print."""
    x, y, z = centre
    w, h = size
    frame = kit.simple_material("print frame", (0.06, 0.045, 0.03), 0.45)
    rounded_box("print frame", (x, y - 0.015, z), (w, 0.03, h), 0.004, frame, segments=2)
    rounded_box("print mount", (x, y - 0.031, z), (w - 0.06, 0.004, h - 0.06), 0.001,
                kit.simple_material("mount", (0.8, 0.79, 0.75), 0.7), segments=1)
    kit.box("print", (x, y - 0.0335, z), (w - 0.2, 0.002, h - 0.2), kit.material("print", print_paper))


def clip(polygon, keep):
    """The part of a convex `polygon` (a list of Vectors) where keep(point) >= 0, keep being linear."""
    out = []
    for a, b in zip(polygon, polygon[1:] + polygon[:1]):
        ka, kb = keep(a), keep(b)
        if ka >= 0.0:
            out.append(a)
        if (ka >= 0.0) != (kb >= 0.0):
            out.append(a + (b - a) * (ka / (ka - kb)))
    return out


def sun_patches(sun, floor_albedo, wall_albedo):
    """The light the sun's patches give back to the room, as soft lamps lying on them: the window's opening
    cast along the sun's rays onto the floor and the north wall. Cycles finds them by sampling them as
    lights, so the room's bounced light comes smooth, not as a hail of bright samples hunting the patches;
    the lamps are invisible to the camera and to reflections, the patches themselves seen as they are."""
    w, d, h = ROOM
    y0, y1, sill, head = WINDOW
    towards = kit.direction(*SUN)
    opening = [Vector((w / 2, y0, sill)), Vector((w / 2, y1, sill)), Vector((w / 2, y1, head)), Vector((w / 2, y0, head))]
    irradiance = [c * sun.data.energy for c in sun.data.color]
    # the frames take a share of the light
    open_share = 0.85
    for name, normal, level, albedo in (("floor", Vector((0.0, 0.0, 1.0)), 0.0, floor_albedo),
                                        ("north wall", Vector((0.0, -1.0, 0.0)), -d / 2, wall_albedo)):
        # along the sun's rays from each corner to the plane normal . p = level
        cast = [p - towards * ((normal.dot(p) - level) / normal.dot(towards)) for p in opening]
        cast = clip(cast, lambda p: d / 2 - p.y)
        cast = clip(cast, lambda p: p.x + w / 2)
        cast = clip(cast, lambda p: p.z)
        if len(cast) < 3:
            continue
        lift = normal * 0.003
        patch = kit.mesh_object(name + " patch", [p + lift for p in cast], [list(range(len(cast)))], smooth=False)
        exitance = normal.dot(towards) * open_share
        colour = [irradiance[k] * albedo[k] * exitance for k in range(3)]
        strength = max(colour)
        kit.assign(patch, kit.material(name + " patch", lambda tree, c=colour, s=strength: kit.node(
            tree, "ShaderNodeEmission", {"Color": (*[v / s for v in c], 1.0), "Strength": s}).outputs[0]))
        patch.visible_camera = False
        patch.visible_glossy = False
        patch.visible_transmission = False
        patch.visible_shadow = False
    # the sunlit lawn and terrace outside shine in through the window too, upwards onto the ceiling: a soft
    # lamp in the opening, tilted up, stands in for them (the garden itself is seen only by the camera
    # and in reflections, so that no bounced ray has to find it)
    ground = bpy.data.lights.new("garden light", "AREA")
    ground.shape = "RECTANGLE"
    ground.size, ground.size_y = y1 - y0, head - sill
    ground.energy = GROUND_ALBEDO * max(irradiance) * towards.z * ground.size * ground.size_y * 0.5
    ground.color = (0.85, 1.0, 0.8)
    # at the wall's outer face, so that its light reaches the room through the opening and not the reveals,
    # which it would light from too near
    lamp = kit.add_object("garden light", ground, (w / 2 + WALL + 0.02, (y0 + y1) / 2, (sill + head) / 2))
    kit.point_along(lamp, (-1.0, 0.0, 0.6))
    lamp.visible_camera = False
    lamp.visible_glossy = False


# --- outside ---------------------------------------------------------------------------------------


def lawn(tree):
    p = kit.coordinates(tree, "Object")
    colour = kit.ramp(tree, kit.noise(tree, p, 0.3, 5.0), [(0.35, (0.09, 0.15, 0.035)), (0.65, (0.17, 0.23, 0.06))])
    shader = kit.principled(tree, colour, 0.9, normal=kit.bump(tree, kit.noise(tree, p, 40.0, 3.0), 0.4, 0.02))
    return air.hazed(tree, shader, 600.0, 300.0, tint=(0.95, 1.0, 1.1))


def foliage(tree):
    p = kit.coordinates(tree, "Object")
    colour = kit.ramp(tree, kit.noise(tree, p, 2.0, 5.0), [(0.3, (0.035, 0.07, 0.02)), (0.7, (0.11, 0.16, 0.04))])
    shader = kit.principled(tree, colour, 0.8, normal=kit.bump(tree, kit.noise(tree, p, 9.0, 6.0, 0.7), 1.0, 0.08))
    return air.hazed(tree, shader, 350.0, 300.0, tint=(0.95, 1.0, 1.1))


def paving(tree):
    p = kit.coordinates(tree, "Object")
    slabs = kit.node(tree, "ShaderNodeTexBrick", {"Vector": p, "Scale": 1.0, "Mortar Size": 0.01,
                                                  "Color1": (0.55, 0.52, 0.47, 1.0), "Color2": (0.62, 0.6, 0.55, 1.0),
                                                  "Mortar": (0.3, 0.28, 0.25, 1.0), "Brick Width": 0.9,
                                                  "Row Height": 0.6}, offset=0.5, offset_frequency=2)
    return kit.principled(tree, slabs.outputs["Color"], 0.8)


def garden():
    """What the window looks onto: a terrace, a lawn falling away past tall spruces to wooded hills."""
    before = set(bpy.data.objects)
    outside()
    for obj in set(bpy.data.objects) - before:
        obj.visible_diffuse = False
        obj.visible_transmission = False


def outside():
    w = ROOM[0]
    kit.box("terrace", (w / 2 + 2.2, 0.0, -0.12), (4.0, 12.0, 0.2), kit.material("paving", paving))
    green = kit.material("foliage", foliage)
    eye = (w / 2, 0.0)
    gx, gy = terrain.view_grid(eye, 80.0, 170.0, 4.0, 9000.0, kit.scaled(500, 60), kit.scaled(600, 60))

    def ground(x, y):
        far = np.hypot(x - eye[0], y - eye[1])
        hills = 160.0 * terrain.smoothstep(150.0, 2500.0, far) * (0.55 + 0.5 * terrain.fbm(x / 1500.0, y / 1500.0, 4,
                                                                                             seed=111))
        return -0.25 - 0.04 * far + 1.2 * terrain.fbm(x / 40.0, y / 40.0, 3, seed=112) * terrain.smoothstep(
            6.0, 30.0, far) + hills

    terrain.grid_object("garden", gx, gy, ground(gx, gy), kit.material("lawn", lawn))
    rng = np.random.RandomState(11)
    # a few tall spruces at the lawn's far side, a gap between them framing the hills
    tall = [kit.fir("tall spruce %d" % i, 1.0, 40, 11, green, seed=50 + i) for i in range(3)]
    kit.scatter("garden trees", tall, [(w / 2 + x, y, ground(np.array([w / 2 + x]), np.array([y]))[0] - 0.2)
                                       for x, y in ((62.0, -30.0), (70.0, -22.0), (80.0, 36.0), (92.0, 50.0),
                                                    (75.0, 58.0), (105.0, -38.0))],
                [22.0, 17.0, 25.0, 20.0, 19.0, 24.0], [0.3, 1.4, 2.2, 4.0, 5.1, 0.9], [0, 1, 2, 0, 1, 2])
    templates = [kit.spruce("garden spruce %d" % i, 1.0, 18, 9, green, seed=30 + i) for i in range(3)]
    count = kit.scaled(600, 40)
    ahead = rng.uniform(40.0, 400.0, count)
    a = np.radians(80.0 + rng.uniform(-75.0, 75.0, count))
    tx, ty = eye[0] + ahead * np.sin(a), eye[1] + ahead * np.cos(a)
    kit.scatter("far trees", templates, np.stack([tx, ty, ground(tx, ty) - 0.3], 1), rng.uniform(9.0, 18.0, count),
                rng.uniform(0.0, 6.3, count), rng.randint(0, 3, count))


# --- the picture -----------------------------------------------------------------------------------


def build():
    w, d, h = ROOM
    sun = air.sky(*SUN, dust=0.6, air=1.0, clouds=[dict(height=3000.0, scale=1500.0, coverage=0.3, opacity=1.5,
                                                          stretch=3.0, heading=30.0, seed=11.0)])
    # a real sun's edge, softened a little by the window's distance from the floor
    sun.data.angle = math.radians(0.8)
    walls = kit.material("plaster", plaster)
    trim = kit.simple_material("white paint", (0.82, 0.82, 0.80), 0.35)
    frame = kit.simple_material("frame", (0.03, 0.03, 0.03), 0.4, metallic=0.6)
    room(walls, trim, kit.material("oak floor", oak_floor), frame)
    wood = kit.material("oak", oak)
    # the rug and the two pieces in the sun before the window
    rug = rounded_box("rug", (0.6, 0.1, 0.008), (2.8, 2.0, 0.016), 0.006, kit.material("wool", wool_rug), segments=2)
    rug.rotation_euler.z = math.radians(90.0)
    armchair((1.5, -0.55), math.radians(-115.0), kit.material("rust velvet", fabric((0.42, 0.13, 0.05, 1.0), 0.8)),
             wood)
    coffee_table((0.45, 0.6), wood)
    vase((0.38, 0.65, 0.445), 0.34, (0.06, 0.16, 0.17, 1.0), "vase glaze")
    # a bowl and two books beside the vase
    kit.lathe("bowl", [(0.0, 0.0), (0.05, 0.0), (0.1, 0.04), (0.11, 0.06), (0.1, 0.06), (0.09, 0.045), (0.0, 0.02)],
              96, (0.64, 0.47, 0.445), kit.material("bowl glaze", glaze((0.78, 0.74, 0.66, 1.0), 0.3)))
    rounded_box("book", (0.28, 0.37, 0.458), (0.24, 0.17, 0.026), 0.003, kit.simple_material(
        "cover", (0.5, 0.45, 0.36), 0.6), segments=2, turn=0.35)
    rounded_box("book", (0.29, 0.38, 0.483), (0.21, 0.15, 0.022), 0.003, kit.simple_material(
        "cover", (0.12, 0.16, 0.2), 0.6), segments=2, turn=0.5)
    # a low sideboard on the back wall, in the sun's patch
    sx = -0.6
    rounded_box("sideboard", (sx, d / 2 - 0.24, 0.43), (1.9, 0.44, 0.58), 0.01, wood)
    for k in range(3):
        rounded_box("door", (sx - 0.63 + k * 0.63, d / 2 - 0.465, 0.43), (0.61, 0.02, 0.54), 0.004, wood)
    for su in (-0.88, 0.88):
        for sv in (-0.17, 0.17):
            rod("sideboard leg", (sx + su, d / 2 - 0.24 + sv, 0.0), (sx + su, d / 2 - 0.24 + sv, 0.15), 0.015, 0.02,
                wood)
    vase((sx - 0.55, d / 2 - 0.26, 0.72), 0.42, (0.75, 0.72, 0.66, 1.0), "pale glaze")
    vase((sx - 0.32, d / 2 - 0.22, 0.72), 0.24, (0.36, 0.17, 0.08, 1.0), "brown glaze")
    for k, (tall, colour) in enumerate(((0.03, (0.6, 0.55, 0.45)), (0.025, (0.2, 0.25, 0.2)), (0.035, (0.7, 0.68, 0.62)))):
        rounded_box("book", (sx + 0.5, d / 2 - 0.25, 0.72 + 0.015 + k * 0.032), (0.28 - k * 0.02, 0.2, tall * 0.9),
                    0.003, kit.simple_material("cover", colour, 0.6), segments=2, turn=0.05 * (k - 1))
    framed_print((sx + 0.15, d / 2, 1.62), (0.78, 0.58))
    plant((2.05, 2.2, 0.0), kit.material("pot glaze", glaze((0.72, 0.7, 0.65, 1.0), 0.4)), kit.material("leaf", leaf),
          kit.simple_material("stem", (0.08, 0.12, 0.04), 0.6))
    garden()
    sun_patches(sun, (0.45, 0.3, 0.18), (0.8, 0.79, 0.76))
    kit.camera((-2.1, -2.75, 1.2), (1.3, 1.4, 0.8), 64.0)
    kit.film(exposure=-1.35)
    kit.clean_margins(SAMPLES // 3)
