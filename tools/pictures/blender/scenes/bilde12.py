"""Lavender in rows running to a stone farmhouse under an old walnut, the sun going down beyond the hills and
the haze of a summer evening over the valley."""
import math

import bmesh
import bpy
import numpy as np

import air
import kit
import terrain

SAMPLES = 96
DENOISE = 4.5
SUN = (4.5, 292.0)  # the evening sun low in the west-north-west, a little right of the view
LOOK = 272.0
ROW = 1.8  # metres from row to row


def fields(x, y):
    return 25.0 * terrain.fbm(x / 1500.0, y / 1500.0, 4, seed=121) + 90.0 * terrain.smoothstep(
        900.0, 4000.0, np.hypot(x, y)) * (0.6 + 0.5 * terrain.fbm(x / 2500.0, y / 2500.0, 4, seed=122))


def soil(tree):
    p = kit.coordinates(tree, "Object")
    colour = kit.ramp(tree, kit.noise(tree, p, 0.8, 5.0), [(0.3, (0.16, 0.11, 0.07)), (0.7, (0.24, 0.17, 0.11))])
    z = kit.node(tree, "ShaderNodeSeparateXYZ", {0: p}).outputs["Z"]
    far = kit.ramp(tree, kit.noise(tree, p, 0.004, 6.0), [(0.3, (0.07, 0.08, 0.03)), (0.7, (0.16, 0.13, 0.06))])
    colour = kit.mix_colour(tree, kit.map_range(tree, kit.node(tree, "ShaderNodeLightPath").outputs["Ray Length"],
                                                250.0, 400.0), colour, far)
    return air.hazed(tree, kit.principled(tree, colour, 0.9, normal=kit.bump(tree, kit.noise(tree, p, 4.0, 5.0), 0.4,
                                                                             0.05)), 3500.0, 500.0)


def lavender(tree):
    flower = kit.ramp(tree, kit.noise(tree, kit.coordinates(tree, "Object"), 9.0, 3.0),
                      [(0.3, (0.13, 0.06, 0.30)), (0.7, (0.26, 0.13, 0.50))])
    return air.hazed(tree, kit.principled(tree, flower, 0.6, sheen=0.6), 3500.0, 500.0)


def stems(tree):
    colour = kit.ramp(tree, kit.noise(tree, kit.coordinates(tree, "Object"), 5.0, 3.0),
                      [(0.3, (0.06, 0.08, 0.05)), (0.7, (0.13, 0.15, 0.10))])
    return air.hazed(tree, kit.principled(tree, colour, 0.7, sheen=0.4), 3500.0, 500.0)


def bush(name, seed, leaves, flowers):
    """A lavender bush: a low grey-green mound with a hundred and more stalks fanning out of it, each
    ending in a purple spike; one unit across."""
    rng = np.random.RandomState(seed)
    verts, faces, heads = [], [], []
    for k in range(140):
        a = rng.uniform(0.0, 2.0 * math.pi)
        lean = rng.uniform(0.0, 0.75)
        direction = np.array([math.sin(lean) * math.cos(a), math.sin(lean) * math.sin(a), math.cos(lean)])
        length = rng.uniform(0.45, 0.7)
        root = np.array([0.15 * math.cos(a), 0.15 * math.sin(a), 0.1])
        side = np.cross(direction, [0.0, 0.0, 1.0] if lean > 0.01 else [1.0, 0.0, 0.0])
        side = side / np.linalg.norm(side) * 0.006
        other = np.cross(direction, side)
        base = len(verts)
        for t, width in ((0.0, 1.0), (0.62, 1.0), (0.66, 2.6), (0.97, 2.0), (1.0, 0.3)):
            centre = root + direction * length * t
            for c in range(3):
                angle = 2.0 * math.pi * c / 3
                verts.append(tuple(centre + (side * math.cos(angle) + other * math.sin(angle)) * width))
        for ring in range(4):
            for c in range(3):
                a0, a1 = base + ring * 3 + c, base + ring * 3 + (c + 1) % 3
                faces.append((a0, a1, a1 + 3, a0 + 3))
                heads.append(ring >= 1)
    obj = kit.mesh_object(name, verts, faces, smooth=False)
    obj.data.materials.append(leaves)
    obj.data.materials.append(flowers)
    obj.data.polygons.foreach_set("material_index", [1 if h else 0 for h in heads])
    # the mound joins the stalks in one mesh, so that the scatter's instances carry both
    mound = kit.rock(name + " mound", (0.0, 0.0, 0.05), (0.32, 0.32, 0.2), seed=seed, lumpiness=0.3, crags=0.2,
                     subdivisions=3)
    shaped = bpy.data.meshes.new_from_object(mound.evaluated_get(bpy.context.evaluated_depsgraph_get()))
    shaped.transform(mound.matrix_world)
    bm = bmesh.new()
    bm.from_mesh(obj.data)
    bm.from_mesh(shaped)
    bm.to_mesh(obj.data)
    bm.free()
    for child in mound.children:
        bpy.data.objects.remove(child)
    bpy.data.objects.remove(mound)
    return obj


def limestone(tree):
    p = kit.coordinates(tree, "Object")
    blocks = kit.node(tree, "ShaderNodeTexBrick", {"Vector": p, "Scale": 2.2, "Mortar Size": 0.02,
                                                   "Color1": (0.42, 0.36, 0.28, 1.0), "Color2": (0.52, 0.45, 0.35, 1.0),
                                                   "Mortar": (0.3, 0.27, 0.22, 1.0), "Brick Width": 0.6,
                                                   "Row Height": 0.28})
    return air.hazed(tree, kit.principled(tree, blocks.outputs["Color"], 0.85,
                                          normal=kit.bump(tree, blocks.outputs["Fac"], 0.4, 0.02)), 3500.0, 500.0)


def tiles(tree):
    p = kit.coordinates(tree, "Object")
    rows = kit.node(tree, "ShaderNodeTexWave", {"Vector": p, "Scale": 4.0}, bands_direction="X").outputs["Fac"]
    colour = kit.ramp(tree, kit.noise(tree, p, 3.0, 4.0), [(0.3, (0.35, 0.14, 0.07)), (0.7, (0.48, 0.22, 0.11))])
    return air.hazed(tree, kit.principled(tree, colour, 0.7, normal=kit.bump(tree, rows, 0.5, 0.05)), 3500.0, 500.0)


def foliage(tree):
    colour = kit.ramp(tree, kit.noise(tree, kit.coordinates(tree, "Object"), 3.0, 4.0),
                      [(0.3, (0.02, 0.035, 0.01)), (0.7, (0.06, 0.08, 0.02))])
    return air.hazed(tree, kit.principled(tree, colour, 0.8), 3500.0, 500.0)


def farmhouse(x, y, z):
    stone = kit.material("limestone", limestone)
    roof = kit.material("roof tiles", tiles)
    house = kit.box("farmhouse", (x, y, z + 3.2), (14.0, 8.0, 6.4), stone)
    house.rotation_euler.z = math.radians(12.0)
    top = kit.cone("roof", (x, y, z + 7.2), 1.0, 0.0, 1.0, 4, roof, (0.0, 0.0, math.radians(57.0)), smooth=False)
    top.scale = (10.4, 6.0, 1.8)
    barn = kit.box("barn", (x + 11.0, y - 5.0, z + 2.2), (8.0, 7.0, 4.4), stone)
    barn.rotation_euler.z = math.radians(12.0)
    # the walnut: a trunk and a crown of lumps
    leaves = kit.material("walnut leaves", foliage)
    for i in range(9):
        a = i * 2.4
        kit.rock("crown %d" % i, (x - 14.0 + 3.5 * math.cos(a), y + 6.0 + 3.5 * math.sin(a), z + 9.0 + (i % 3) * 1.5),
                 (4.0, 4.0, 3.2), seed=60 + i, lumpiness=0.6, crags=0.4, grit=0.15, subdivisions=4, mat=leaves)
    kit.cone("trunk", (x - 14.0, y + 6.0, z + 4.0), 0.5, 0.4, 8.0, 16, leaves)


def build():
    air.sky(*SUN, dust=2.5, air=1.1, clouds=[dict(height=6000.0, scale=3500.0, coverage=0.28, opacity=1.5,
                                                   stretch=5.0, heading=-15.0, seed=41.0, shadow=0.3)])
    x, y = terrain.view_grid((0.0, 0.0), LOOK, 100.0, 0.5, 25000.0, kit.scaled(1300), kit.scaled(900))
    terrain.grid_object("land", x, y, fields(x, y), kit.material("soil", soil))
    # the rows: bushes along lines running away from the camera towards the farm
    rng = np.random.RandomState(12)
    forward, right = kit.direction(0.0, LOOK + 3.0), kit.direction(0.0, LOOK + 93.0)
    points, scales = [], []
    for row in range(-14, 15):
        spacing = np.cumsum(rng.uniform(0.7, 0.95, kit.scaled(330, 30)))
        keep = spacing < 200.0
        a = spacing[keep] + 2.0
        b = row * ROW + rng.uniform(-0.06, 0.06, keep.sum())
        px, py = a * forward.x + b * right.x, a * forward.y + b * right.y
        points.append(np.stack([px, py, fields(px, py) - 0.05], 1))
        scales.append(rng.uniform(0.9, 1.2, keep.sum()))
    points, scales = np.concatenate(points), np.concatenate(scales)
    flowers, leaves = kit.material("lavender", lavender), kit.material("stems", stems)
    templates = [bush("lavender %d" % i, 70 + i, leaves, flowers) for i in range(4)]
    kit.scatter("rows", templates, points, scales, rng.uniform(0, 6.3, len(points)), rng.randint(0, 4, len(points)))
    fx, fy = 215.0 * forward.x - 12.0 * right.x, 215.0 * forward.y - 12.0 * right.y
    farmhouse(fx, fy, float(fields(np.array([fx]), np.array([fy]))[0]) - 0.3)
    eye_z = float(fields(np.array([0.0]), np.array([0.0]))[0]) + 1.9
    target = kit.direction(-3.0, LOOK)
    kit.camera((0.0, 0.0, eye_z), (target.x, target.y, eye_z + target.z), 56.0)
    kit.film(exposure=-1.6)
    kit.bloom(threshold=2.5, size=8, mix=-0.8)
