"""A rocky coast at sunset: cliffs and sea stacks against the sun's path on the swell, a lighthouse on the
far headland, its lamp not yet lit, clouds catching the last light."""
import math
import random

import bmesh
import bpy
import numpy as np
from mathutils import Vector

import air
import kit
import terrain

SAMPLES = 40
DENOISE = 2.5
SUN = (1.0, 258.0)  # just above the sea, west-south-west
LOOK = 250.0  # the camera looks along the coast towards the sunset: sea on the left, cliffs on the right

# The shore as (ahead, right, cliff height) in metres from the camera: land lies to its right.
SHORE = np.array([(-60.0, -70.0, 8.0), (-10.0, -14.0, 7.0), (30.0, 26.0, 5.0), (110.0, 70.0, 10.0), (200.0, 90.0, 18.0),
                  (320.0, 92.0, 28.0), (520.0, 120.0, 36.0), (760.0, 128.0, 42.0), (1000.0, 150.0, 40.0),
                  (1250.0, 120.0, 34.0), (1450.0, 100.0, 30.0), (1560.0, 150.0, 30.0), (1560.0, 300.0, 34.0),
                  (1500.0, 700.0, 36.0)])
# Sea stacks standing off the cliffs, cut from the same beds: (ahead, right, radius, height, seed).
STACKS = [(430.0, 28.0, 13.0, 38.0, 3), (522.0, 64.0, 7.0, 21.0, 8), (596.0, 17.0, 4.0, 10.0, 5),
          (1180.0, 70.0, 10.0, 26.0, 11)]
# Blocks fallen from the ledges, (ahead, right, radius, height share, seed): a reef running out from the
# ledge at the camera's feet towards the great stack, broken by the sea into blocks that scatter as it goes;
# a fallen group in front on the left, and a few strays.
ROCKS = [
    (21.0, 8.2, 1.6, 0.7, 1), (25.5, 9.4, 0.9, 0.9, 2), (31.0, 10.2, 2.1, 0.6, 3), (36.0, 8.8, 0.7, 0.8, 4),
    (50.0, 11.8, 1.7, 0.75, 5), (55.0, 13.6, 1.0, 0.6, 6), (82.0, 13.0, 2.4, 0.65, 7), (88.0, 15.8, 1.2, 0.8, 8),
    (131.0, 16.5, 2.8, 0.7, 9), (186.0, 18.5, 3.0, 0.8, 10), (196.0, 22.5, 1.8, 0.6, 11),
    (265.0, 21.5, 3.6, 0.7, 12), (345.0, 25.0, 4.2, 0.75, 13),
    (15.5, -7.2, 2.3, 0.75, 14), (18.8, -3.5, 1.0, 0.7, 15), (14.2, -11.4, 1.3, 0.6, 16), (21.5, -9.8, 0.7, 0.8, 17),
    (12.6, -4.3, 0.45, 0.7, 18),
    (47.0, -21.0, 1.5, 0.7, 19), (108.0, -11.0, 2.0, 0.8, 20), (235.0, -58.0, 3.2, 0.7, 21),
]
LIGHTHOUSE = (1000.0, 215.0)  # on the cliff top of the headland, right of the sun


def land(x, y):
    """Height of the rock: cliffs rising steeply from the shore in ledges, buttresses and gullies, a broken top."""
    a, b = terrain.to_view(x, y, LOOK)
    wobble = 14.0 * terrain.fbm(a / 70.0, b / 70.0, 3, seed=21) + 4.0 * terrain.fbm(a / 11.0, b / 11.0, 3, seed=28)
    distance, side, values = terrain.nearest_on_path(a + wobble, b, terrain.spline(SHORE, 240))
    # (ahead, right) turns the map over, so the path's left side is the land's
    inland = np.where(side < 0.0, distance, -distance)
    # the sea works along the joints: buttresses stand out between gullies cut back into the face
    inland = inland + 7.0 * (np.abs(terrain.fbm(a / 30.0, b / 30.0, 3, seed=41)) - 0.25) - \
        3.0 * terrain.smoothstep(0.55, 0.8, np.abs(terrain.fbm(a / 9.0, b / 9.0, 2, seed=42)) * 2.0)
    height = values[..., 0]
    rough = terrain.fbm(a / 25.0, b / 25.0, 5, seed=22)
    top = height * (0.85 + 0.15 * terrain.fbm(a / 90.0, b / 90.0, 3, seed=23)) * \
        (1.0 - 0.18 * terrain.smoothstep(0.25, 0.6, terrain.fbm(a / 45.0, b / 45.0, 2, seed=43)))
    rise = top * terrain.smoothstep(-2.0, 13.0, inland + 3.0 * rough)
    # the beds break back in steps: a ledge on each, a steep riser between, the beds thicker here, thinner there
    bed = 4.0 + 1.5 * terrain.fbm(a / 120.0, b / 120.0, 2, seed=44)
    q = rise / bed
    cliff = 0.3 * rise + 0.7 * bed * (np.floor(q) + terrain.smoothstep(0.45, 1.0, q - np.floor(q)))
    # ledges: the rock breaks in steps along its bedding
    strata = 1.2 * np.abs(terrain.fbm(a / 60.0, (cliff + 0.3 * a) / 6.0, 3, seed=24))
    z = cliff + strata * terrain.smoothstep(2.0, 12.0, cliff) - 14.0 * terrain.smoothstep(0.0, -80.0, inland) - 1.5
    # a shelf of bedded rock at the camera's feet, broken into slabs by the sea along its joints
    joints = terrain.fbm(a / 14.0, b / 9.0, 4, seed=31) + 0.35 * terrain.fbm(a / 3.5, b / 3.5, 3, seed=32)
    reach = terrain.smoothstep(8.0, -6.0, a + 6.0 * terrain.fbm(b / 40.0, 0.0, 2, seed=33) - 1.6 * b)
    slab = terrain.smoothstep(0.0, 0.1, joints - 0.45 + 0.6 * reach)
    # the beds dip gently, so each slab stands up higher on one edge; weathering roughens their tops
    bed = 0.45 + 0.5 * terrain.smoothstep(-0.1, 0.3, terrain.fbm(a / 22.0, b / 22.0, 3, seed=34)) - 0.008 * a + \
        0.03 * b + 0.3 * terrain.fbm(a / 5.0, b / 5.0, 4, seed=36)
    z = np.maximum(z, (bed + 2.2) * slab * terrain.smoothstep(3.0, 12.0, a) - 2.2)
    return z + (0.6 * terrain.fbm(a / 3.0, b / 3.0, 3, seed=27) + 0.12 * terrain.fbm(a / 0.6, b / 0.6, 3, seed=35)) * \
        terrain.smoothstep(-1.0, 2.0, z)


def rock(tree):
    p = kit.coordinates(tree, "Object")
    # bedding: the rock is layered, thin beds stretched along the horizontal, broken by joints
    layered = kit.node(tree, "ShaderNodeMapping", {"Vector": p, "Scale": (0.25, 0.25, 2.5)}).outputs[0]
    beds = kit.noise(tree, layered, 1.0, 6.0, 0.6, 0.5)
    grain = kit.noise(tree, p, 3.0, 6.0, 0.6)
    # joints: the rock cracks into blocks, dark in the cracks
    cells = kit.node(tree, "ShaderNodeTexVoronoi", {"Vector": kit.node(tree, "ShaderNodeMapping", {
        "Vector": p, "Scale": (0.5, 0.5, 1.2)}).outputs[0], "Scale": 0.3, "Randomness": 0.8},
        feature="DISTANCE_TO_EDGE").outputs[0]
    crack = kit.map_range(tree, cells, 0.0, 0.025)
    relief = kit.math_node(tree, "ADD", kit.math_node(tree, "ADD", beds, kit.math_node(tree, "MULTIPLY", grain, 0.3)),
                           kit.math_node(tree, "MULTIPLY", crack, 0.5))
    normal = kit.bump(tree, relief, 0.8, 0.6)
    # the sea's reach is a height in the world, whatever the block's own coordinates
    world = kit.node(tree, "ShaderNodeNewGeometry").outputs["Position"]
    height = kit.math_node(tree, "ADD", kit.node(tree, "ShaderNodeSeparateXYZ", {0: world}).outputs["Z"],
                           kit.math_node(tree, "MULTIPLY", kit.noise(tree, p, 1.2, 3.0), 0.8))
    colour = kit.ramp(tree, beds, [(0.3, (0.13, 0.10, 0.085)), (0.55, (0.27, 0.21, 0.16)), (0.75, (0.36, 0.30, 0.23))])
    colour = kit.mix_colour(tree, kit.map_range(tree, kit.noise(tree, p, 0.15, 3.0), 0.4, 0.65), colour,
                            kit.mix_colour(tree, 1.0, colour, (0.75, 0.8, 0.85, 1.0), "MULTIPLY"))
    colour = kit.mix_colour(tree, kit.math_node(tree, "ADD", crack, 0.4, clamp=True), (0.04, 0.03, 0.025, 1.0), colour)
    # dark and glistening where the swell wets it
    wet = kit.map_range(tree, height, 0.6, 1.5)
    colour = kit.mix_colour(tree, wet, kit.mix_colour(tree, 0.55, colour, (0.0, 0.0, 0.0, 1.0), "MULTIPLY"), colour)
    # weed and the black crust of the tide's band, lowest down
    weed = kit.map_range(tree, height, 0.6, 0.1)
    colour = kit.mix_colour(tree, weed, colour, kit.mix_colour(tree, 1.0, colour, (0.35, 0.38, 0.22, 1.0), "MULTIPLY"))
    roughness = kit.map_range(tree, height, 0.6, 1.5, 0.18, 0.85)
    return air.hazed(tree, kit.principled(tree, colour, roughness, normal=normal), 5000.0, 400.0)


def sea_material(tree):
    foam = kit.node(tree, "ShaderNodeAttribute", attribute_name="foam").outputs["Fac"]
    p = kit.coordinates(tree, "Object")
    # foam breaks up into a lace of streaks round cells of clear water, the cells smaller the thicker it lies
    warped = kit.node(tree, "ShaderNodeVectorMath", {0: p, 1: kit.node(tree, "ShaderNodeTexNoise", {
        "Vector": p, "Scale": 0.5, "Detail": 3.0, "Distortion": 0.5}).outputs["Color"]}, operation="ADD").outputs[0]
    stretched = kit.node(tree, "ShaderNodeMapping", {"Vector": warped, "Scale": (1.0, 0.45, 1.0)}).outputs[0]
    cells = kit.node(tree, "ShaderNodeTexVoronoi", {"Vector": stretched, "Scale": 1.4, "Randomness": 0.9},
                     feature="DISTANCE_TO_EDGE").outputs["Distance"]
    # thin foam is a few streaks, thick foam a sheet with holes in it
    thick = kit.map_range(tree, foam, 0.3, 1.0, 0.0, 0.3, smooth=False)
    ragged = kit.math_node(tree, "ADD", cells, kit.math_node(tree, "MULTIPLY", kit.noise(tree, p, 2.5, 3.0), 0.2))
    lace = kit.map_range(tree, kit.math_node(tree, "SUBTRACT", thick, ragged), -0.14, -0.04)
    # froth far off, finer than a pixel, would shimmer: it thins out with distance into a smooth line
    far = kit.map_range(tree, kit.node(tree, "ShaderNodeLightPath").outputs["Ray Length"], 40.0, 250.0)
    broken = kit.math_node(tree, "MULTIPLY", foam, kit.map_range(tree, kit.noise(tree, p, 0.25, 3.0, 0.5), 0.35, 0.6,
                                                                 0.4, 1.0))
    froth_share = kit.node(tree, "ShaderNodeMix", {"Factor": far, "A": lace, "B": broken}).outputs[0]
    water = kit.principled(tree, (0.006, 0.016, 0.022), 0.11, specular=0.5)
    # foam lets the low sun through, and a little of the water under it shows
    # seen against the sun, froth is lit mostly through itself: its face to the camera is a dim grey-blue
    froth = kit.node(tree, "ShaderNodeMixShader", {0: 0.5, 1: kit.principled(tree, (0.42, 0.43, 0.43), 0.6),
                                                   2: kit.node(tree, "ShaderNodeBsdfTranslucent", {
                                                       "Color": (0.9, 0.86, 0.78, 1.0)}).outputs[0]}).outputs[0]
    froth_share = kit.math_node(tree, "MULTIPLY", froth_share, 0.75)
    return kit.node(tree, "ShaderNodeMixShader", {0: froth_share, 1: water, 2: froth}).outputs[0]


def lighthouse(x, y, z):
    white = kit.simple_material("whitewash", (0.75, 0.72, 0.66), 0.6)
    dark = kit.simple_material("iron", (0.03, 0.03, 0.03), 0.4, metallic=1.0)
    lamp = kit.simple_material("lantern glass", (0.05, 0.05, 0.05), 0.1)
    kit.cone("tower", (x, y, z + 9.0), 3.2, 2.2, 18.0, mat=white)
    kit.cone("gallery", (x, y, z + 18.2), 3.0, 3.0, 0.5, mat=dark, smooth=False)
    kit.cone("lantern", (x, y, z + 19.6), 1.5, 1.5, 2.4, 32, mat=lamp)
    kit.cone("cap", (x, y, z + 21.6), 1.9, 0.2, 1.6, 32, mat=dark)
    keeper = kit.box("keeper's house", (x + 7.0, y + 3.0, z + 2.2), (9.0, 6.0, 4.4), white)
    keeper.rotation_euler.z = math.radians(LOOK)


def slab(bm, size, centre, rng, summit=False, dip=0.0):
    """Adds to `bm` a bed of rock of half-sizes `size`: flat where it parted from the beds above and below
    (tilted by `dip`), split round its sides along vertical joints, its top broken off slanting if `summit`."""
    piece = bmesh.new()
    bmesh.ops.create_icosphere(piece, subdivisions=3, radius=1.0)
    rx, ry, half = size
    for v in piece.verts:
        v.co = Vector((v.co.x * rx, v.co.y * ry, v.co.z * half * 1.6))
    tilt = Vector((rng.uniform(-dip, dip), rng.uniform(-dip, dip), 1.0)).normalized()
    planes = [(tilt, half * 1.02), (-tilt, half * 1.02)]
    for _ in range(rng.randint(6, 10)):
        a = rng.uniform(0.0, 2.0 * math.pi)
        normal = Vector((math.cos(a), math.sin(a), rng.uniform(-0.25, 0.25))).normalized()
        planes.append((normal, min(rx, ry) * rng.uniform(0.7, 0.95)))
    if summit:
        planes += [(Vector((rng.uniform(-0.5, 0.5), rng.uniform(-0.5, 0.5), 1.0)).normalized(), half * 0.8)
                   for _ in range(2)]
    for normal, depth in planes:
        cut = bmesh.ops.bisect_plane(piece, geom=piece.verts[:] + piece.edges[:] + piece.faces[:],
                                     plane_co=normal * depth, plane_no=normal, clear_outer=True)
        edges = [e for e in cut["geom_cut"] if isinstance(e, bmesh.types.BMEdge)]
        if edges:
            bmesh.ops.holes_fill(piece, edges=edges, sides=0)
    turn = rng.uniform(0.0, math.pi)
    c, s = math.cos(turn), math.sin(turn)
    for v in piece.verts:
        v.co = Vector((c * v.co.x - s * v.co.y, s * v.co.x + c * v.co.y, v.co.z)) + centre
    mesh = bpy.data.meshes.new("slab")
    piece.to_mesh(mesh)
    piece.free()
    bm.from_mesh(mesh)
    bpy.data.meshes.remove(mesh)


def fused(name, bm, location, turn, radius, seed, mat, wear=4):
    """The pieces in `bm` as one object, fused by a voxel remesh into one surface, its edges worn, thin beds
    standing out of its faces and the weather hollowing the softer ones between."""
    bmesh.ops.recalc_face_normals(bm, faces=bm.faces)
    mesh = bpy.data.meshes.new(name)
    bm.to_mesh(mesh)
    bm.free()
    obj = kit.add_object(name, mesh, location, turn, mat)
    step = radius / kit.scaled(40, 12)
    fuse = obj.modifiers.new("fuse", "REMESH")
    fuse.mode, fuse.voxel_size, fuse.use_smooth_shade = "VOXEL", step, True
    worn = obj.modifiers.new("worn", "SMOOTH")
    worn.factor, worn.iterations = 0.5, wear
    for label, scale, strength, stretch in (("beds", 0.6, 0.05 * radius, (3.0, 3.0, 0.12)),
                                            ("warp", 0.5, 0.07 * radius, (1.0, 1.0, 0.5)),
                                            ("pits", 0.05, 0.012 * radius, (1.0, 1.0, 1.0))):
        texture = bpy.data.textures.new("%s %s" % (name, label), "CLOUDS")
        texture.noise_scale, texture.noise_depth = scale, 3
        displace = obj.modifiers.new(label, "DISPLACE")
        displace.texture, displace.strength = texture, strength
        mover = bpy.data.objects.new("%s %s offset" % (name, label), None)
        bpy.context.scene.collection.objects.link(mover)
        mover.parent, mover.location = obj, (seed * 3.1, seed * 1.7, seed * 0.9)
        mover.scale = [radius * v for v in stretch]
        displace.texture_coords, displace.texture_coords_object = "OBJECT", mover
    return obj


def block(name, location, size, seed, mat):
    """A block fallen from the ledges: one to three beds of radii about `size`, dipping as they lay."""
    rng = random.Random(seed)
    bm = bmesh.new()
    rx, ry, rz = size
    beds = rng.choice((1, 2, 2, 3))
    z = -rz
    for k in range(beds):
        h = 2.0 * rz / beds * rng.uniform(0.8, 1.2)
        w = 1.0 - 0.18 * k
        slab(bm, (rx * w, ry * w, h * 0.5), Vector((rng.uniform(-0.15, 0.15) * rx, rng.uniform(-0.15, 0.15) * ry,
                                                    z + h * 0.5)), rng, summit=k == beds - 1 and rng.random() < 0.8,
             dip=0.25)
        z += h
    turn = (rng.uniform(-0.15, 0.15), rng.uniform(-0.15, 0.15), rng.uniform(0.0, 6.28))
    return fused(name, bm, location, turn, min(size) * 1.5, seed, mat, wear=5)


def pillar(name, location, radius, height, seed, mat):
    """A sea stack: tiers of bedded rock, each a block split along vertical joints, stepping in as the stack
    rises, a notch cut at the waterline where the sea works hardest; fused into one weathered surface."""
    rng = random.Random(seed)
    bm = bmesh.new()
    tiers = [(-6.0, 1.6, 0.82)]  # the notch: narrower than the rock over it
    count = rng.randint(5, 7)
    cuts = sorted(rng.uniform(0.12, 0.88) for _ in range(count - 1))
    levels = [1.6] + [1.6 + (height - 1.6) * c for c in cuts] + [height]
    for k in range(count):
        t = k / max(1, count - 1)
        tiers.append((levels[k], levels[k + 1], (1.12 - 0.5 * t) * rng.uniform(0.92, 1.0)))
    lean = Vector((0.0, 0.0, 0.0))
    for k, (low, high, width) in enumerate(tiers):
        reach = radius * width
        half = (high - low) * 0.5
        # each bed sits a little off the one below, so the stack steps and leans
        lean = lean + Vector((rng.uniform(-0.1, 0.1), rng.uniform(-0.1, 0.1), 0.0)) * reach * (k > 0)
        slab(bm, (reach * 1.15, reach, half), lean + Vector((0.0, 0.0, low + half)), rng,
             summit=k == len(tiers) - 1)
    return fused(name, bm, location, (0.0, 0.0, rng.uniform(0.0, 6.0)), radius, seed, mat)


def waterline(objects, band=0.5):
    """(x, y) points where the sea meets each of `objects`, from their surfaces within `band` of sea level."""
    depsgraph = bpy.context.evaluated_depsgraph_get()
    lines = []
    for obj in objects:
        evaluated = obj.evaluated_get(depsgraph)
        mesh = evaluated.to_mesh()
        co = np.empty(len(mesh.vertices) * 3, dtype=np.float32)
        mesh.vertices.foreach_get("co", co)
        evaluated.to_mesh_clear()
        m = np.array(obj.matrix_world)
        co = co.reshape(-1, 3) @ m[:3, :3].T + m[:3, 3]
        near = co[np.abs(co[:, 2]) < band][:, :2]
        if len(near) == 0:
            near = co[np.argsort(np.abs(co[:, 2]))[:50], :2]
        lines.append(near[np.random.RandomState(len(lines)).permutation(len(near))[:300]])
    return lines


def surf(px, py, lines, sizes):
    """How near each sea point lies to the rock at the waterline, 1 at the rock, 0 a rock's `size` off."""
    near = np.zeros(px.shape)
    for line, size in zip(lines, sizes):
        lo, hi = line.min(axis=0) - size, line.max(axis=0) + size
        inside = (px > lo[0]) & (px < hi[0]) & (py > lo[1]) & (py < hi[1])
        if not inside.any():
            continue
        qx, qy = px[inside], py[inside]
        d = np.full(qx.shape, np.inf)
        for chunk in np.array_split(line, max(1, len(line) // 50)):
            d = np.minimum(d, np.min(np.hypot(qx[:, None] - chunk[None, :, 0], qy[:, None] - chunk[None, :, 1]), axis=1))
        near[inside] = np.maximum(near[inside], terrain.smoothstep(size, 0.0, d) ** 1.5)
    return near


def talus(mat, count):
    """Blocks fallen from the cliff lying at its foot, in the wash and on the shore, larger further off
    (the small ones would not show)."""
    rng = np.random.RandomState(17)
    path = terrain.spline(SHORE, 600)
    path = path[(path[:, 0] > 120.0) & (path[:, 0] < 1450.0)]
    pick = path[rng.randint(0, len(path), count * 8)]
    a = pick[:, 0] + rng.uniform(-6.0, 6.0, len(pick))
    b = pick[:, 1] + rng.uniform(-22.0, 12.0, len(pick))
    x, y = terrain.from_view(a, b, LOOK)
    z = land(x, y)
    keep = np.nonzero((z > -3.0) & (z < 3.0))[0][:count]
    shapes = [kit.joint_boulder("talus %d" % i, (1.0, 0.8, 0.6), 300 + i, wear=0.3, voxel=0.06, mat=mat)
              for i in range(5)]
    size = (0.8 + 0.012 * a[keep]) * rng.uniform(0.6, 1.6, len(keep))
    points = np.stack([x[keep], y[keep], z[keep] + 0.15 * size], axis=1)
    scales = size[:, None] * np.array([1.0, 1.0, 1.0]) * rng.uniform(0.8, 1.2, (len(keep), 3))
    kit.scatter("talus", shapes, points, scales, rng.uniform(0.0, 6.28, len(keep)), rng.randint(0, 5, len(keep)))


def build():
    air.sky(*SUN, dust=3.0, air=1.3, clouds=[
        dict(height=2600.0, scale=1100.0, coverage=0.52, opacity=3.0, stretch=2.2, heading=-20.0, seed=3.0),
        dict(height=8000.0, scale=5000.0, coverage=0.3, opacity=1.2, stretch=6.0, heading=30.0, seed=9.0,
             shadow=0.2)])
    eye = (0.0, 0.0)
    stone = kit.material("rock", rock)
    # the stacks and the fallen blocks, sunk in the sea to their waists
    stacks = []
    for i, (a, b, radius, top, seed) in enumerate(STACKS):
        sx, sy = terrain.from_view(a, b, LOOK)
        stacks.append(pillar("stack %d" % i, (sx, sy, 0.0), radius, top, seed, stone))
    rocks = []
    for a, b, r, tall, seed in ROCKS:
        bx, by = terrain.from_view(a, b, LOOK)
        rng = random.Random(seed)
        size = (r * rng.uniform(1.1, 1.5), r, r * tall * 0.9)
        rocks.append(block("rock %d" % seed, (bx, by, 0.25 * size[2]), size, seed + 40, stone))
    talus(stone, kit.scaled(160, 40))
    # the sea, out to the horizon, its foam where it washes the rock
    x, y = terrain.view_grid(eye, LOOK, 120.0, 1.0, 30000.0, kit.scaled(2000), kit.scaled(1300))
    # a long swell from the open sea and a shorter wind sea over it
    waves = (terrain.wave_train(24, LOOK + 195.0, 12.0, 120.0, 8.0, 0.7, 0.5, seed=5) +
             terrain.wave_train(72, LOOK + 150.0, 40.0, 8.0, 0.08, 0.3, 1.0, seed=6))
    px, py, pz = terrain.sea(x, y, waves)
    lines = waterline(stacks + rocks)
    sizes = [radius * 0.6 for _, _, radius, _, _ in STACKS] + [0.6 + 0.7 * r for _, _, r, _, _ in ROCKS]
    washed = surf(px, py, lines, sizes)
    foam = np.maximum(terrain.smoothstep(-1.6, 0.3, land(px, py)) * (0.6 + 0.4 * np.clip(pz / 0.6, 0.0, 1.0)), washed)
    # the swell piles up white against the rock and falls back broken
    churn = 0.5 + 0.5 * terrain.fbm(px / 2.5, py / 2.5, 3, seed=51)
    pz = pz + foam ** 2 * churn * np.minimum(1.6, 0.2 + 0.004 * np.hypot(px, py))
    sea = terrain.grid_object("sea", px, py, pz, kit.material("sea", sea_material))
    sea.data.attributes.new("foam", "FLOAT", "POINT").data.foreach_set("value", foam.reshape(-1).astype(np.float32))
    # the rock, finer near the camera
    x, y = terrain.view_grid(eye, LOOK + 15.0, 110.0, 1.0, 4000.0, kit.scaled(1500), kit.scaled(1100))
    terrain.grid_object("coast", x, y, land(x, y), stone)
    lx, ly = terrain.from_view(*LIGHTHOUSE, LOOK)
    lighthouse(lx, ly, float(land(np.array([lx]), np.array([ly]))[0]) - 0.5)
    eye_z = max(float(land(np.array([0.0]), np.array([0.0]))[0]), 4.5) + 1.7
    target = kit.direction(-5.0, LOOK + 6.0)
    kit.camera((0.0, 0.0, eye_z), (target.x, target.y, eye_z + target.z), 64.0)
    kit.film(exposure=-2.0)
    kit.bloom(threshold=2.0, size=8, mix=-0.7)
    kit.clean_margins(SAMPLES // 3)
