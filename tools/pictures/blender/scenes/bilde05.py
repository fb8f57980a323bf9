"""Red sandstone buttes in the late afternoon: sheer fluted walls standing on skirts of scree, the sun raking
them from the left, their beds of uneven thickness and colour, the soft ones weathered back; a red sand
flat in front with broken rock fallen long ago lying half sunk in it, sage and pebbles, fair-weather
clouds in a deep sky."""
import math

import bmesh
import numpy as np
from mathutils import Matrix, Vector

import air
import kit
import terrain

SAMPLES = 34
DENOISE = 2.5
SUN = (15.0, 262.0)  # late afternoon from the west, raking across the walls from the camera's left
LOOK = 12.0
# Buttes: (x, y, radius of the wall's foot, height of its rim), metres.
BUTTES = [(-60.0, 1050.0, 300.0, 250.0), (700.0, 1800.0, 55.0, 190.0), (1500.0, 4200.0, 420.0, 260.0),
          (-1700.0, 4800.0, 600.0, 280.0), (2600.0, 7800.0, 900.0, 300.0), (-3000.0, 2600.0, 350.0, 220.0)]
PATCH = (200.0, 1400.0, 2200.0, 1500.0)  # centre x, y, size x, y of the finely meshed part
# Fallen rocks near by as (metres ahead, metres to the right, size): a group broken off one big block on
# the right, a couple of strays on the left.
ROCKS = [(11.0, 3.8, 2.0), (13.0, 6.6, 1.2), (9.4, 2.0, 0.55), (14.5, 2.4, 0.45), (8.2, 5.2, 0.3),
         (10.2, 5.6, 0.22), (20.0, -7.0, 1.1), (7.2, -3.2, 0.25), (16.0, -2.0, 0.35)]
PIXEL = 2.0 * math.tan(math.radians(29.0)) / 1024.0  # a pixel's size at one metre


def floor(x, y):
    return (6.0 * terrain.fbm(x / 400.0, y / 400.0, 5, seed=71) + 1.5 * terrain.fbm(x / 40.0, y / 40.0, 4, seed=72)
            + 0.12 * terrain.fbm(x / 3.0, y / 3.0, 3, seed=74))


def outline(i, angle, radius):
    """Where butte `i`'s wall meets its skirt, at `angle` round it: bays and spurs on a rough circle."""
    return radius * (1.0 + 0.25 * terrain.fbm(np.cos(angle) * 1.8 + i * 3.1, np.sin(angle) * 1.5, 4, seed=73 + i))


def ground(x, y):
    """The desert floor and the scree skirts round the buttes (their walls are meshes of their own)."""
    z = floor(x, y)
    for i, (bx, by, radius, top) in enumerate(BUTTES):
        angle = np.arctan2(y - by, x - bx)
        d = np.hypot(x - bx, y - by) / outline(i, angle, radius)
        fall = np.clip(1.0 - (d - 1.0) / 0.9, 0.0, 1.0)
        # a concave skirt of scree, scored by runnels running down it
        runnels = 1.0 - 0.18 * terrain.ridged(angle * radius / 18.0, d * 2.5, 4, seed=90 + i)
        skirt = 0.32 * top * fall ** 1.7 * runnels + 2.0 * fall * terrain.fbm(x / 9.0, y / 9.0, 3, seed=95 + i)
        z = np.maximum(z, skirt + floor(x, y))
    return z


def strata(level):
    """The hardness (0 soft to 1 hard) and the colour (0 to 1 along the sandstone's ramp) of the bed at each
    `level`, metres above the floor: beds of uneven thickness, thin soft partings between thick hard
    ones, the colour changing from bed to bed."""
    rng = np.random.RandomState(5)
    thickness = np.exp(rng.normal(math.log(9.0), 0.7, 60))
    tops = np.cumsum(thickness)
    hard = rng.uniform(0.0, 1.0, 60) ** 0.7
    hard[thickness < 6.0] *= 0.4  # thin beds are shales and siltstones that crumble
    tone = np.clip(0.5 * hard + 0.5 * rng.uniform(0.0, 1.0, 60), 0.0, 1.0)
    index = np.clip(np.searchsorted(tops, level), 0, 59)
    return hard[index], tone[index]


def wall(i, bx, by, radius, top, distance):
    """Butte `i`'s wall as a grid of (height, angle), closed by its flat top: fluted in bays and ribs that
    run down it, gently benched where harder beds stand out, the rim rounded."""
    px = distance * PIXEL
    columns = kit.scaled(int(np.clip(2.0 * math.pi * radius / (1.6 * px), 64, 1500)), 32)
    rows = kit.scaled(int(np.clip(top / (1.8 * px), 24, 200)), 12)
    theta = np.linspace(0.0, 2.0 * math.pi, columns + 1)
    theta = theta + math.atan2(by, bx)  # the seam on the far side, away from the camera
    base = 0.22 * top
    rim = top + 3.0 * terrain.fbm(np.cos(theta) * 3.0, np.sin(theta) * 3.0, 3, seed=60 + i)
    t = np.linspace(0.0, 1.0, rows)[:, None]
    z = base + t * (rim - base)[None, :]
    s = (theta - theta[0]) * radius  # metres round the wall
    wrap = 2.0 * math.pi * radius
    u = np.broadcast_to(s[None, :], z.shape)
    seam = terrain.smoothstep(0.0, 0.08, s / wrap) * terrain.smoothstep(1.0, 0.92, s / wrap)
    r = outline(i, theta, radius)[None, :] * np.ones_like(z)
    r = r + seam * radius * 0.07 * terrain.fbm(u / 70.0, z / 260.0, 4, seed=61 + i)  # bays and buttresses
    r = r + seam * 3.5 * terrain.fbm(u / 20.0, z / 60.0, 4, seed=62 + i)  # ribs down the wall
    # the beds: harder ones stand out as ledges, softer ones weather back into recesses, unevenly
    level = z + seam * 2.5 * terrain.fbm(u / 150.0, z / 400.0, 2, seed=63 + i)
    hard, _ = strata(level)
    recess = 0.6 + 0.4 * terrain.fbm(u / 35.0, z / 50.0, 3, seed=64 + i)
    r = r + 3.5 * (hard - 0.5) * recess
    r = r - 5.0 * terrain.smoothstep(rim - 9.0, rim + 0.5, z) ** 2  # the rim rounds over
    r = r + 0.03 * radius * (1.0 - t) ** 3  # the foot flares into the skirt
    # the top: rows drawing in to the middle at the rim's height
    inward = np.linspace(1.0, 0.0, 6)[1:, None]
    r = np.vstack([r, (r[-1][None, :] - 5.0) * inward])
    z = np.vstack([z, np.repeat(z[-1][None, :], 5, 0) + 0.5 * (1.0 - inward)])
    centre = floor(np.array([bx]), np.array([by]))[0]
    x, y = bx + r * np.cos(theta)[None, :], by + r * np.sin(theta)[None, :]
    _, tone = strata(level)
    tone = np.vstack([tone, np.repeat(tone[-1][None, :], 5, 0)])
    return x, y, z + centre, np.clip((z - base) / (top - base), 0.0, 1.2), tone


def sandstone(tree):
    """The walls: red sandstone in soft beds, a paler, greyer caprock, desert varnish streaking down."""
    p = kit.node(tree, "ShaderNodeNewGeometry").outputs["Position"]
    rise = kit.node(tree, "ShaderNodeAttribute", attribute_name="rise").outputs["Fac"]
    z = kit.node(tree, "ShaderNodeSeparateXYZ", {0: p}).outputs["Z"]
    wobbly = kit.math_node(tree, "ADD", z, kit.math_node(tree, "MULTIPLY", kit.noise(tree, p, 0.02, 3.0), 10.0))
    level = kit.node(tree, "ShaderNodeCombineXYZ", {2: wobbly}).outputs[0]
    # fine laminations inside the beds, faint, their spacing wandering
    beds = kit.node(tree, "ShaderNodeTexWave", {"Vector": level, "Scale": 0.18, "Distortion": 4.0, "Detail": 4.0,
                                                "Detail Scale": 2.0}, bands_direction="Z").outputs["Fac"]
    bed_tone = kit.node(tree, "ShaderNodeAttribute", attribute_name="tone").outputs["Fac"]
    tone = kit.math_node(tree, "ADD", kit.math_node(tree, "MULTIPLY", bed_tone, 0.95),
                         kit.math_node(tree, "ADD", kit.math_node(tree, "MULTIPLY", beds, 0.08),
                                       kit.math_node(tree, "MULTIPLY", kit.noise(tree, p, 0.05, 4.0), 0.1)))
    colour = kit.ramp(tree, tone, [(0.1, (0.22, 0.06, 0.035)), (0.35, (0.34, 0.1, 0.045)), (0.6, (0.42, 0.16, 0.07)),
                                   (0.8, (0.46, 0.24, 0.12)), (0.95, (0.5, 0.33, 0.2))])
    edge = kit.math_node(tree, "ADD", rise, kit.math_node(tree, "MULTIPLY", kit.noise(tree, p, 0.04, 3.0), 0.08))
    cap = kit.map_range(tree, edge, 0.86, 0.93)
    colour = kit.mix_colour(tree, kit.math_node(tree, "MULTIPLY", cap, 0.7), colour, (0.33, 0.19, 0.12, 1.0))
    # varnish: dark streaks hanging from the rim and from the ledges, stretched down the wall
    streaks = kit.node(tree, "ShaderNodeMapping", {"Vector": p, "Scale": (0.5, 0.5, 0.025)}).outputs[0]
    varnish = kit.map_range(tree, kit.noise(tree, streaks, 1.0, 4.0, 0.6), 0.56, 0.72, 0.0, 0.45)
    varnish = kit.math_node(tree, "MULTIPLY", varnish, kit.map_range(tree, rise, 0.2, 0.7))
    colour = kit.mix_colour(tree, varnish, colour, (0.12, 0.06, 0.04, 1.0))
    grain = kit.node(tree, "ShaderNodeMapping", {"Vector": p, "Scale": (1.0, 1.0, 3.0)}).outputs[0]
    normal = kit.bump(tree, kit.math_node(tree, "ADD", kit.noise(tree, grain, 0.4, 8.0, 0.6),
                                          kit.math_node(tree, "MULTIPLY", beds, 0.3)), 0.5, 1.0)
    return air.hazed(tree, kit.principled(tree, colour, 0.9, normal=normal), 45000.0, 3000.0, tint=(1.0, 0.97, 0.95))


def desert(tree):
    """The floor: red sand, scree on the skirts, darker where the crust and the scrub are."""
    p = kit.node(tree, "ShaderNodeNewGeometry").outputs["Position"]
    up = kit.node(tree, "ShaderNodeSeparateXYZ", {0: kit.node(tree, "ShaderNodeNewGeometry").outputs["Normal"]}
                  ).outputs["Z"]
    sand = kit.ramp(tree, kit.noise(tree, p, 0.08, 6.0, 0.6), [(0.3, (0.36, 0.13, 0.06)), (0.7, (0.46, 0.20, 0.10))])
    crust = kit.map_range(tree, kit.noise(tree, p, 0.7, 5.0, 0.6), 0.5, 0.7, 0.0, 0.5)
    sand = kit.mix_colour(tree, crust, sand, (0.24, 0.10, 0.06, 1.0))
    scree = kit.ramp(tree, kit.noise(tree, p, 0.5, 6.0, 0.7), [(0.35, (0.22, 0.08, 0.04)), (0.65, (0.38, 0.15, 0.07))])
    colour = kit.mix_colour(tree, kit.map_range(tree, up, 0.97, 0.88), sand, scree)
    # wind ripples near by, pebbles and grit further
    ripples = kit.node(tree, "ShaderNodeTexWave", {"Vector": p, "Scale": 2.2, "Distortion": 6.0, "Detail": 2.0,
                                                   "Detail Scale": 1.5}, bands_direction="X").outputs["Fac"]
    ripples = kit.math_node(tree, "MULTIPLY", ripples, kit.map_range(tree, kit.noise(tree, p, 0.15, 2.0), 0.4, 0.6))
    relief = kit.math_node(tree, "ADD", kit.math_node(tree, "MULTIPLY", ripples, 0.012),
                           kit.math_node(tree, "MULTIPLY", kit.noise(tree, p, 3.0, 8.0, 0.7), 0.02))
    normal = kit.bump(tree, relief, 1.0, 1.0)
    return air.hazed(tree, kit.principled(tree, colour, 0.95, normal=normal), 45000.0, 3000.0, tint=(1.0, 0.97, 0.95))


def boulder(tree):
    """Fallen blocks of the same sandstone, each a little different, varnished on top."""
    info = kit.node(tree, "ShaderNodeObjectInfo").outputs["Random"]
    p = kit.coordinates(tree, "Object")
    base = kit.ramp(tree, info, [(0.0, (0.22, 0.075, 0.035)), (0.5, (0.3, 0.12, 0.055)), (1.0, (0.19, 0.08, 0.05))])
    # desert varnish, dark brown to black, on the faces that have long looked at the sky
    up = kit.node(tree, "ShaderNodeSeparateXYZ", {0: kit.node(tree, "ShaderNodeNewGeometry").outputs["Normal"]}
                  ).outputs["Z"]
    varnish = kit.math_node(tree, "MULTIPLY", kit.map_range(tree, up, -0.1, 0.6),
                            kit.map_range(tree, kit.noise(tree, p, 2.0, 6.0, 0.65), 0.35, 0.6, 0.2, 0.9))
    # the beds it broke from, thin paler and darker laminae, tipped with the block
    laminae = kit.node(tree, "ShaderNodeTexWave", {"Vector": p, "Scale": 3.0, "Distortion": 2.5, "Detail": 3.0,
                                                   "Detail Scale": 1.5}, bands_direction="Z").outputs["Fac"]
    base = kit.mix_colour(tree, kit.map_range(tree, laminae, 0.3, 0.8, 0.0, 0.5), base, (0.42, 0.2, 0.1, 1.0))
    colour = kit.mix_colour(tree, varnish, base, (0.06, 0.035, 0.025, 1.0))
    relief = kit.math_node(tree, "ADD", kit.noise(tree, p, 12.0, 8.0, 0.7), kit.math_node(tree, "MULTIPLY", laminae, 0.6))
    normal = kit.bump(tree, relief, 0.45, 0.05)
    return kit.principled(tree, colour, 0.85, normal=normal)


def sage(tree):
    """Desert scrub: a see-through tangle of grey-green and dry twigs, no two bushes the same shade."""
    info = kit.node(tree, "ShaderNodeObjectInfo").outputs["Random"]
    p = kit.coordinates(tree, "Object")
    colour = kit.ramp(tree, info, [(0.0, (0.09, 0.08, 0.05)), (0.45, (0.15, 0.14, 0.09)),
                                   (0.75, (0.22, 0.16, 0.09)), (1.0, (0.12, 0.08, 0.05))])
    twigs = kit.noise(tree, p, 9.0, 6.0, 0.7, distortion=1.0)
    colour = kit.mix_colour(tree, kit.map_range(tree, twigs, 0.4, 0.7, 0.0, 0.5), colour, (0.05, 0.04, 0.03, 1.0))
    leaf = kit.principled(tree, colour, 0.8)
    gaps = kit.map_range(tree, twigs, 0.47, 0.53)
    holes = kit.node(tree, "ShaderNodeBsdfTransparent").outputs[0]
    return kit.node(tree, "ShaderNodeMixShader", {0: gaps, 1: holes, 2: leaf}).outputs[0]


def broken_rock(name, seed, mat):
    """A piece of fallen sandstone: an ellipsoid split along a few joints, each its own way, tipped as it
    came to rest, its broken edges worn a little and its faces pitted."""
    rng = np.random.RandomState(seed)
    obj = kit.fractured(name, (1.0, rng.uniform(0.65, 0.95), rng.uniform(0.6, 0.95)), cuts=int(rng.randint(8, 13)),
                        seed=seed, upright=0.5, depth=(0.5, 0.9), subdivisions=4, crease=40.0, mat=mat)
    # most blocks part along a bedding plane: a flat top, barely tipped
    if rng.uniform() < 0.6:
        bm = bmesh.new()
        bm.from_mesh(obj.data)
        top = max(v.co.z for v in bm.verts) * rng.uniform(0.6, 0.85)
        normal = Vector((rng.normal(0.0, 0.08), rng.normal(0.0, 0.08), 1.0)).normalized()
        cut = bmesh.ops.bisect_plane(bm, geom=bm.verts[:] + bm.edges[:] + bm.faces[:], plane_co=(0.0, 0.0, top),
                                     plane_no=normal, clear_outer=True)
        bmesh.ops.holes_fill(bm, edges=[e for e in cut["geom_cut"] if isinstance(e, bmesh.types.BMEdge)], sides=0)
        bmesh.ops.triangulate(bm, faces=bm.faces)
        bm.to_mesh(obj.data)
        bm.free()
    obj.data.transform(Matrix.Rotation(rng.uniform(-0.35, 0.35), 4, "X") @ Matrix.Rotation(rng.uniform(-0.3, 0.3), 4, "Y"))
    bevel = obj.modifiers.new("worn", "BEVEL")
    bevel.width = 0.035
    bevel.segments = 2
    bevel.limit_method = "ANGLE"
    bevel.angle_limit = 0.6
    bevel.harden_normals = True
    kit.dent(obj, name + " pits", 0.35, 0.04)
    return obj


def scatter_around(rng, count, near, far, spread):
    """`count` points in front of the camera, as many at each distance in the picture from `near` to `far`."""
    r = near * np.exp(rng.uniform(0.0, math.log(far / near), count))
    a = np.radians(LOOK + rng.uniform(-spread, spread, count))
    x, y = r * np.sin(a), r * np.cos(a)
    return np.stack([x, y, ground(x, y)], 1)


def build():
    air.sky(*SUN, dust=0.5, ozone=1.3, clouds=[dict(height=2200.0, scale=900.0, coverage=0.38, opacity=6.0,
                                                    stretch=1.4, heading=20.0, seed=13.0, shadow=1.0)])
    floor_mat = kit.material("desert", desert)
    cx, cy, sx, sy = PATCH
    px, py = np.meshgrid(np.linspace(cx - sx / 2, cx + sx / 2, kit.scaled(1100)),
                         np.linspace(cy - sy / 2, cy + sy / 2, kit.scaled(750)))
    terrain.grid_object("skirts", px, py, ground(px, py), floor_mat)
    x, y = terrain.view_grid((0.0, 0.0), LOOK, 100.0, 1.0, 40000.0, kit.scaled(1600), kit.scaled(1000))
    outside = (np.abs(x - cx) > sx / 2 - 5.0) | (np.abs(y - cy) > sy / 2 - 5.0)
    terrain.grid_object("desert", x, y, ground(x, y), floor_mat, keep=outside)
    stone = kit.material("sandstone", sandstone)
    for i, butte in enumerate(BUTTES):
        wx, wy, wz, rise, tone = wall(i, *butte, distance=math.hypot(butte[0], butte[1]))
        obj = terrain.grid_object("butte %d" % i, wx, wy, wz, stone)
        for attribute, values in (("rise", rise), ("tone", tone)):
            obj.data.attributes.new(attribute, "FLOAT", "POINT").data.foreach_set(
                "value", values.reshape(-1).astype(np.float32))
        # the grid runs round and up: make its faces look outwards
        face = obj.data.polygons[0]
        if (face.center.x - butte[0]) * face.normal.x + (face.center.y - butte[1]) * face.normal.y < 0.0:
            obj.data.flip_normals()
    rng = np.random.RandomState(11)
    # fallen rock, a few big pieces and more small ones, half sunk in the sand, and grit between them
    rock_mat = kit.material("boulder", boulder)
    blocks = [broken_rock("block %d" % i, 40 + i, rock_mat) for i in range(10)]
    count = kit.scaled(45, 12)
    where = scatter_around(rng, count, 6.0, 400.0, 42.0)
    size = np.exp(rng.normal(math.log(0.3), 0.75, count))
    shape = np.stack([size, size * rng.uniform(0.8, 1.0, count), size * rng.uniform(0.75, 1.1, count)], 1)
    where[:, 2] -= shape[:, 2] * rng.uniform(0.05, 0.25, count)  # the pieces reach about half their size down
    kit.scatter("blocks", blocks, where, shape, rng.uniform(0, 6.3, count), rng.randint(0, len(blocks), count))
    near = np.array([(*terrain.from_view(a, r, LOOK), s) for a, r, s in ROCKS])
    size = near[:, 2]
    shape = np.stack([size, size * rng.uniform(0.85, 1.0, len(size)), size * rng.uniform(0.85, 1.15, len(size))], 1)
    where = np.stack([near[:, 0], near[:, 1], ground(near[:, 0], near[:, 1]) - shape[:, 2] * 0.08], 1)
    kit.scatter("rocks", [b.copy() for b in blocks], where, shape, rng.uniform(0, 6.3, len(size)),
                np.arange(len(size)) % len(blocks))
    count = kit.scaled(500, 20)
    where = scatter_around(rng, count, 3.0, 40.0, 40.0)
    size = np.exp(rng.normal(math.log(0.04), 0.5, count))
    where[:, 2] -= 0.2 * size
    kit.scatter("pebbles", [b.copy() for b in blocks[:5]], where, size, rng.uniform(0, 6.3, count),
                rng.randint(0, 5, count))
    # sage in loose clumps, thinning out towards the camera
    bush_mat = kit.material("sage", sage)
    bushes = [kit.rock("bush %d" % i, (0, 0, 0), (1.0, 0.9, 0.7), seed=70 + i, lumpiness=0.7, crags=0.3, grit=0.35,
                       subdivisions=4, mat=bush_mat) for i in range(4)]
    count = kit.scaled(500, 20)
    where = scatter_around(rng, count, 9.0, 600.0, 45.0)
    size = rng.uniform(0.15, 0.4, count)
    kit.scatter("sage", bushes, where, np.stack([size, size, size * rng.uniform(0.6, 0.9, count)], 1),
                rng.uniform(0, 6.3, count), rng.randint(0, len(bushes), count))
    eye_z = float(ground(np.array([0.0]), np.array([0.0]))[0]) + 1.7
    target = kit.direction(3.0, LOOK)
    kit.camera((0.0, 0.0, eye_z), (target.x, target.y, eye_z + target.z), 58.0)
    kit.film(exposure=-3.8)
