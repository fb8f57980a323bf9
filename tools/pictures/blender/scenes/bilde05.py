"""Red sandstone buttes in the late afternoon: sheer fluted walls standing on skirts of scree, the sun raking
them from the left, their beds of uneven thickness and colour, the soft ones weathered back; a red sand
flat in front with broken rock fallen long ago lying half sunk in it, sage and pebbles, fair-weather
clouds in a deep sky."""
import math

import bmesh
import bpy
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


def drifts(x, y):
    """Sand banked against the fallen rocks near by: a low apron round each, longest on its lee side."""
    z = 0.0
    for ahead, right, size in ROCKS:
        rx, ry = terrain.from_view(ahead, right, LOOK)
        dx, dy = x - rx, y - ry
        lee = np.clip(dx * 0.8 + dy * 0.6, 0.0, None)  # the wind comes from the south-west
        d = np.hypot(dx, dy) / (1.1 * size + 0.5 * lee)
        z = z + 0.12 * size * np.exp(-d * d - lee / (2.0 * size))
    return z


def floor(x, y):
    return drifts(x, y) + (6.0 * terrain.fbm(x / 400.0, y / 400.0, 5, seed=71)
                           + 1.5 * terrain.fbm(x / 40.0, y / 40.0, 4, seed=72)
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
        runnels = 1.0 - 0.1 * terrain.ridged(angle * radius / 18.0, d * 2.5, 4, seed=90 + i)
        skirt = 0.32 * top * fall ** 1.7 * runnels + 2.0 * fall * terrain.fbm(x / 9.0, y / 9.0, 3, seed=95 + i)
        # cones of talus fanning out below the gullies
        gully = terrain.fbm(np.cos(angle) * radius / 40.0, np.sin(angle) * radius / 40.0, 2, seed=66 + i)
        skirt = skirt + 0.06 * top * terrain.smoothstep(0.05, 0.45, gully) * fall ** 2.5
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


def setback(level):
    """How far a wall has stepped back by each `level` above its foot: the soft beds weather back into
    slopes, the hard ones stand as cliffs, so the wall climbs in steps."""
    steps = np.arange(0.0, 420.0, 0.5)
    hard, _ = strata(steps)
    return np.interp(level, steps, np.cumsum(0.5 * (0.03 + 1.2 * (1.0 - hard) ** 2)))


def wall(i, bx, by, radius, top, distance):
    """Butte `i`'s wall as a grid of (height, angle), closed by its flat top: fluted in bays and ribs that
    run down it, gently benched where harder beds stand out, the rim rounded."""
    px = distance * PIXEL
    columns = kit.scaled(int(np.clip(2.0 * math.pi * radius / (1.6 * px), 64, 1500)), 32)
    rows = kit.scaled(int(np.clip(top / (1.8 * px), 24, 200)), 12)
    theta = np.linspace(0.0, 2.0 * math.pi, columns + 1)
    theta = theta + math.atan2(by, bx)  # the seam on the far side, away from the camera
    base = 0.22 * top
    # the caprock broken along its edge: blocks fallen out of it leave notches in the rim
    fallen = terrain.fbm(np.cos(theta) * radius / 45.0, np.sin(theta) * radius / 45.0, 3, seed=67 + i)
    rim = (top + 3.0 * terrain.fbm(np.cos(theta) * 3.0, np.sin(theta) * 3.0, 3, seed=60 + i)
           - 0.035 * top * terrain.smoothstep(0.15, 0.3, fallen))
    t = np.linspace(0.0, 1.0, rows)[:, None]
    z = base + t * (rim - base)[None, :]
    s = (theta - theta[0]) * radius  # metres round the wall
    wrap = 2.0 * math.pi * radius
    u = np.broadcast_to(s[None, :], z.shape)
    seam = terrain.smoothstep(0.0, 0.08, s / wrap) * terrain.smoothstep(1.0, 0.92, s / wrap)
    r = outline(i, theta, radius)[None, :] * np.ones_like(z)
    r = r + seam * radius * 0.07 * terrain.fbm(u / 70.0, z / 260.0, 4, seed=61 + i)  # bays and buttresses
    r = r + seam * 3.5 * terrain.fbm(u / 20.0, z / 60.0, 4, seed=62 + i)  # ribs down the wall
    joints = terrain.ridged(u / 16.0, z / 400.0, 3, seed=68 + i)
    r = r - seam * 3.0 * terrain.smoothstep(0.6, 0.95, joints)  # clefts opened along vertical joints
    # the beds: harder ones stand out as ledges, softer ones weather back into recesses, unevenly
    level = z + seam * 2.5 * terrain.fbm(u / 150.0, z / 400.0, 2, seed=63 + i)
    hard, _ = strata(level)
    recess = 0.6 + 0.4 * terrain.fbm(u / 35.0, z / 50.0, 3, seed=64 + i)
    r = r + 5.0 * (hard - 0.5) * recess
    # the wall steps back bed by bed; a slender butte tapers rather than leaning out of its foot
    back = setback(level) - setback(base)
    budget = 0.12 * radius if radius > 150.0 else 0.35 * radius
    r = r - min(1.0, budget / (setback(top) - setback(base))) * back
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
    # the ripples' crests wander: bent by a broad warp, turned and spaced out unevenly from place to place
    warp = kit.node(tree, "ShaderNodeTexNoise", {"Vector": p, "Scale": 0.02, "Detail": 2.0}).outputs["Color"]
    warp = kit.node(tree, "ShaderNodeVectorMath", {0: warp, 1: (0.5, 0.5, 0.5)}, operation="SUBTRACT").outputs[0]
    warp = kit.node(tree, "ShaderNodeVectorMath", {0: warp, 3: 30.0}, operation="SCALE").outputs[0]
    q = kit.node(tree, "ShaderNodeVectorMath", {0: p, 1: warp}, operation="ADD").outputs[0]
    turn = kit.math_node(tree, "MULTIPLY", kit.math_node(tree, "SUBTRACT", kit.noise(tree, p, 0.006, 2.0), 0.5), 3.0)
    q = kit.node(tree, "ShaderNodeVectorRotate", {"Vector": q, "Angle": turn}, rotation_type="Z_AXIS").outputs[0]
    spacing = kit.map_range(tree, kit.noise(tree, p, 0.03, 2.0), 0.35, 0.65, 0.75, 1.3)
    q = kit.node(tree, "ShaderNodeVectorMath", {0: q, 3: spacing}, operation="SCALE").outputs[0]
    ripples = kit.node(tree, "ShaderNodeTexWave", {"Vector": q, "Scale": 2.2, "Distortion": 3.0, "Detail": 2.0,
                                                   "Detail Scale": 1.5}, bands_direction="X").outputs["Fac"]
    ripples = kit.math_node(tree, "MULTIPLY", ripples, kit.map_range(tree, kit.noise(tree, p, 0.15, 2.0), 0.4, 0.6))
    calm = kit.node(tree, "ShaderNodeAttribute", attribute_name="calm").outputs["Fac"]
    ripples = kit.math_node(tree, "MULTIPLY", ripples, kit.math_node(tree, "SUBTRACT", 1.0, calm, clamp=True))
    relief = kit.math_node(tree, "ADD", kit.math_node(tree, "MULTIPLY", ripples, 0.018),
                           kit.math_node(tree, "MULTIPLY", kit.noise(tree, p, 3.0, 8.0, 0.7), 0.02))
    normal = kit.bump(tree, relief, 1.0, 1.0)
    return air.hazed(tree, kit.principled(tree, colour, 0.95, normal=normal), 45000.0, 3000.0, tint=(1.0, 0.97, 0.95))


def boulder(tree):
    """Fallen blocks of the same sandstone, each a little different, varnished on top."""
    info = kit.node(tree, "ShaderNodeObjectInfo").outputs["Random"]
    p = kit.coordinates(tree, "Object")
    base = kit.ramp(tree, info, [(0.0, (0.17, 0.055, 0.03)), (0.5, (0.24, 0.09, 0.045)), (1.0, (0.15, 0.065, 0.04))])
    # desert varnish, dark brown to black, on the faces that have long looked at the sky
    up = kit.node(tree, "ShaderNodeSeparateXYZ", {0: kit.node(tree, "ShaderNodeNewGeometry").outputs["Normal"]}
                  ).outputs["Z"]
    varnish = kit.math_node(tree, "MULTIPLY", kit.map_range(tree, up, -0.1, 0.6),
                            kit.map_range(tree, kit.noise(tree, p, 2.0, 6.0, 0.65), 0.35, 0.6, 0.2, 0.9))
    # the beds it broke from, thin paler and darker laminae lying in the block's own bedding plane (its
    # x-y plane, which the block tipped as it fell), faint and uneven
    laminae = kit.node(tree, "ShaderNodeTexWave", {"Vector": p, "Scale": 1.6, "Distortion": 3.0, "Detail": 3.0,
                                                   "Detail Scale": 1.0}, bands_direction="Z").outputs["Fac"]
    strength = kit.map_range(tree, kit.noise(tree, p, 1.2, 2.0), 0.35, 0.65, 0.05, 0.35)
    base = kit.mix_colour(tree, kit.math_node(tree, "MULTIPLY", kit.map_range(tree, laminae, 0.3, 0.8), strength),
                          base, (0.38, 0.17, 0.08, 1.0))
    colour = kit.mix_colour(tree, kit.math_node(tree, "MULTIPLY", varnish, 0.8), base, (0.09, 0.05, 0.035, 1.0))
    # sand blown against its foot and caught in its pits
    z = kit.node(tree, "ShaderNodeSeparateXYZ", {0: p}).outputs["Z"]
    sanded = kit.math_node(tree, "MULTIPLY", kit.map_range(tree, z, -0.15, -0.35),
                           kit.map_range(tree, kit.noise(tree, p, 6.0, 3.0), 0.4, 0.6, 0.4, 1.0))
    colour = kit.mix_colour(tree, sanded, colour, (0.42, 0.18, 0.09, 1.0))
    relief = kit.math_node(tree, "ADD", kit.noise(tree, p, 12.0, 8.0, 0.7),
                           kit.math_node(tree, "MULTIPLY", laminae, 0.3))
    normal = kit.bump(tree, relief, 0.45, 0.05)
    return kit.principled(tree, colour, 0.85, normal=normal)


def twigs(tree):
    """Grey-brown stems, each bush a little different."""
    info = kit.node(tree, "ShaderNodeObjectInfo").outputs["Random"]
    return kit.principled(tree, kit.ramp(tree, info, [(0.0, (0.07, 0.055, 0.04)), (1.0, (0.13, 0.1, 0.075))]), 0.85)


def leaves(tree):
    """Small grey-green leaves in clusters, some bushes greener, some dried to olive."""
    info = kit.node(tree, "ShaderNodeObjectInfo").outputs["Random"]
    p = kit.coordinates(tree, "Object")
    tone = kit.math_node(tree, "ADD", kit.math_node(tree, "MULTIPLY", info, 0.7),
                         kit.math_node(tree, "MULTIPLY", kit.noise(tree, p, 6.0, 3.0), 0.3))
    colour = kit.ramp(tree, tone, [(0.15, (0.05, 0.06, 0.035)), (0.5, (0.085, 0.09, 0.055)), (0.85, (0.12, 0.1, 0.06))])
    normal = kit.bump(tree, kit.noise(tree, p, 40.0, 2.0), 0.6, 0.02)
    return kit.principled(tree, colour, 0.75, normal=normal)


def straw(tree):
    """Dry bunch grass, pale straw with darker old blades."""
    info = kit.node(tree, "ShaderNodeObjectInfo").outputs["Random"]
    p = kit.coordinates(tree, "Object")
    tone = kit.math_node(tree, "ADD", kit.math_node(tree, "MULTIPLY", info, 0.5),
                         kit.math_node(tree, "MULTIPLY", kit.noise(tree, p, 8.0, 2.0), 0.5))
    return kit.principled(tree, kit.ramp(tree, tone, [(0.3, (0.2, 0.14, 0.08)), (0.7, (0.42, 0.32, 0.18))]), 0.8)


# How each kind of bush grows: stems from the root (count range), how steeply they rise (degrees), their
# length and thickness, how often they fork, and the leaf clusters at the tips (radius, how many per tip).
SHRUBS = {"sage": dict(stems=(6, 10), rise=(25.0, 65.0), length=0.42, thick=0.016, forks=2, leaf=0.07, tufts=4),
          "creosote": dict(stems=(5, 8), rise=(55.0, 80.0), length=0.55, thick=0.014, forks=2, leaf=0.045, tufts=3)}


def shrub(name, seed, kind, mats):
    """A bush about a metre high: forking three-sided stems, leaf clusters at their tips; or, for "grass",
    a tuft of curving blades."""
    rng = np.random.RandomState(seed)
    bm = bmesh.new()

    def face(verts, index):
        bm.faces.new(verts).material_index = index

    def stem(a, b, radius):
        axis = (b - a).normalized()
        side = axis.orthogonal().normalized()
        rings = [[bm.verts.new(c + r * (Matrix.Rotation(k * 2.0944, 3, axis) @ side)) for k in range(3)]
                 for c, r in ((a, radius), (b, radius * 0.6))]
        for k in range(3):
            face((rings[0][k], rings[0][(k + 1) % 3], rings[1][(k + 1) % 3], rings[1][k]), 0)

    def tuft(c, radius):
        made = bmesh.ops.create_icosphere(bm, subdivisions=1, radius=radius, matrix=Matrix.Translation(c))
        squash = rng.uniform(0.6, 1.0)
        for v in made["verts"]:
            v.co = c + Vector(((v.co.x - c.x), (v.co.y - c.y), (v.co.z - c.z) * squash)) * rng.uniform(0.7, 1.3)
        for f in {f for v in made["verts"] for f in v.link_faces}:
            f.material_index = 1

    def branch(a, heading, length, radius, forks, habit):
        b = a + heading * length
        stem(a, b, radius)
        if forks == 0:
            for _ in range(habit["tufts"]):
                tuft(b + Vector(rng.normal(0.0, habit["leaf"] * 0.8, 3)), habit["leaf"] * rng.uniform(0.6, 1.2))
            return
        for _ in range(rng.randint(2, 4)):
            turn = (heading + Vector(rng.normal(0.0, 0.45, 3))).normalized()
            turn.z = abs(turn.z) * 0.8 + 0.2
            start = a.lerp(b, rng.uniform(0.6, 1.0))
            branch(start, turn.normalized(), length * rng.uniform(0.55, 0.8), radius * 0.6, forks - 1, habit)

    if kind == "grass":
        for _ in range(rng.randint(40, 70)):
            a = rng.uniform(0.0, 2.0 * math.pi)
            lean, tall, w = rng.uniform(0.1, 0.6), rng.uniform(0.5, 1.0), rng.uniform(0.012, 0.02)
            out = Vector((math.cos(a), math.sin(a), 0.0))
            side = Vector((-math.sin(a), math.cos(a), 0.0)) * w
            foot = out * rng.uniform(0.0, 0.06)
            points = [foot + out * lean * tall * t * t + Vector((0.0, 0.0, tall * t * (1.0 - 0.35 * lean * t)))
                      for t in (0.0, 0.35, 0.7, 1.0)]
            rows = [(bm.verts.new(q - side * (1.0 - t)), bm.verts.new(q + side * (1.0 - t)))
                    for q, t in zip(points, (0.0, 0.35, 0.7, 0.97))]
            for (p0, p1), (q0, q1) in zip(rows, rows[1:]):
                face((p0, p1, q1, q0), 2)
    else:
        habit = SHRUBS[kind]
        for _ in range(rng.randint(*habit["stems"])):
            a, rise = rng.uniform(0.0, 2.0 * math.pi), math.radians(rng.uniform(*habit["rise"]))
            heading = Vector((math.cos(a) * math.cos(rise), math.sin(a) * math.cos(rise), math.sin(rise)))
            root = Vector((rng.normal(0.0, 0.03), rng.normal(0.0, 0.03), -0.03))
            branch(root, heading, habit["length"] * rng.uniform(0.7, 1.2), habit["thick"], habit["forks"], habit)
    mesh = bpy.data.meshes.new(name)
    bm.to_mesh(mesh)
    bm.free()
    for mat in mats:
        mesh.materials.append(mat)
    return kit.add_object(name, mesh)


def sandstone_block(name, seed, mat):
    """A block broken out of a bed along its joints: cut deep on every side so that little of the rounded
    shape it started from is left, its edges worn a little, its faces pitted; flat-lying, so its beds
    run along its own x-y plane and tip with it."""
    rng = np.random.RandomState(seed)
    obj = kit.fractured(name, (1.0, rng.uniform(0.65, 0.9), rng.uniform(0.5, 0.7)), cuts=int(rng.randint(12, 17)),
                        seed=seed, upright=0.55, depth=(0.35, 0.7), subdivisions=3, crease=30.0, mat=mat)
    bevel = obj.modifiers.new("worn", "BEVEL")
    bevel.width = 0.03
    bevel.segments = 2
    bevel.limit_method = "ANGLE"
    bevel.angle_limit = 0.5
    bevel.harden_normals = True
    kit.dent(obj, name + " pits", 0.3, 0.03)
    return obj


def scatter_around(rng, count, near, far, spread):
    """`count` points in front of the camera, as many at each distance in the picture from `near` to `far`."""
    r = near * np.exp(rng.uniform(0.0, math.log(far / near), count))
    a = np.radians(LOOK + rng.uniform(-spread, spread, count))
    x, y = r * np.sin(a), r * np.cos(a)
    return np.stack([x, y, ground(x, y)], 1)


def scrub(rng, rocks):
    """Sage, creosote and bunch grass in loose clumps, none inside a rock; returns where they stand and how big."""
    mats = [kit.material(name, make) for name, make in (("twigs", twigs), ("leaves", leaves), ("straw", straw))]
    kinds = ["sage", "sage", "sage", "creosote", "creosote", "grass", "grass"]
    shapes = [shrub("%s %d" % (k, i), 80 + i, k, mats) for i, k in enumerate(kinds)]
    centres = scatter_around(rng, kit.scaled(150, 10), 6.0, 600.0, 45.0)
    where = []
    for cx, cy, _ in centres:
        spread = 0.8 + 0.03 * math.hypot(cx, cy)
        for _ in range(rng.randint(1, 9)):
            where.append((cx + rng.normal(0.0, spread), cy + rng.normal(0.0, spread)))
    where = np.array(where)
    clear = np.all(np.hypot(where[:, None, 0] - rocks[None, :, 0], where[:, None, 1] - rocks[None, :, 1])
                   > 1.4 * rocks[None, :, 2] + 0.3, axis=1)
    where = where[clear & (np.hypot(where[:, 0], where[:, 1]) > 5.0)]
    count = len(where)
    choice = rng.randint(0, len(kinds), count)
    height = np.where(choice >= 5, rng.uniform(0.25, 0.5, count),
                      np.where(choice >= 3, rng.uniform(0.5, 1.0, count), rng.uniform(0.3, 0.6, count)))
    height = height * np.where(rng.uniform(size=count) < 0.05, 1.7, 1.0)  # an old one here and there
    ground_z = ground(where[:, 0], where[:, 1]) - 0.02
    scales = np.stack([height * rng.uniform(0.8, 1.25, count), height * rng.uniform(0.8, 1.25, count), height], 1)
    kit.scatter("scrub", shapes, np.column_stack([where, ground_z]), scales, rng.uniform(0, 6.3, count), choice)
    return where, height


def calm(rocks, bushes, sizes):
    """The wind's ripples die out in the lee and shelter of each rock and bush: a 'calm' share on the
    floor's vertices near by."""
    floor_obj = bpy.data.objects["desert"]
    co = np.empty(len(floor_obj.data.vertices) * 3, dtype=np.float32)
    floor_obj.data.vertices.foreach_get("co", co)
    co = co.reshape(-1, 3)
    things = np.concatenate([np.column_stack([rocks[:, :2], 2.5 * rocks[:, 2]]),
                             np.column_stack([bushes, 1.5 * sizes])])
    things = things[np.hypot(things[:, 0], things[:, 1]) < 80.0]
    value = np.zeros(len(co), dtype=np.float32)
    near = np.flatnonzero(np.hypot(co[:, 0], co[:, 1]) < 85.0)
    for x, y, reach in things:
        d2 = ((co[near, 0] - x) ** 2 + (co[near, 1] - y) ** 2) / (reach * reach)
        value[near] = np.maximum(value[near], np.exp(-d2))
    floor_obj.data.attributes.new("calm", "FLOAT", "POINT").data.foreach_set("value", value)


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
    # fallen sandstone, a few big blocks and more small ones, tipped and half sunk in the sand
    rock_mat = kit.material("boulder", boulder)
    blocks = [sandstone_block("block %d" % i, 40 + i, rock_mat) for i in range(10)]
    count = kit.scaled(45, 12)
    where = scatter_around(rng, count, 6.0, 400.0, 42.0)
    size = np.exp(rng.normal(math.log(0.3), 0.75, count))
    shape = np.stack([size, size * rng.uniform(0.8, 1.0, count), size * rng.uniform(0.75, 1.1, count)], 1)
    where[:, 2] -= shape[:, 2] * rng.uniform(0.1, 0.3, count)
    kit.scatter("blocks", blocks, where, shape, rng.uniform(0, 6.3, count), rng.randint(0, len(blocks), count),
                tilts=np.clip(rng.normal(0.0, 0.3, (count, 2)), -0.6, 0.6))
    near = np.array([(*terrain.from_view(a, r, LOOK), s) for a, r, s in ROCKS])
    size = near[:, 2]
    shape = np.stack([size, size * rng.uniform(0.85, 1.0, len(size)), size * rng.uniform(0.85, 1.15, len(size))], 1)
    where = np.stack([near[:, 0], near[:, 1], ground(near[:, 0], near[:, 1]) - shape[:, 2] * 0.15], 1)
    kit.scatter("rocks", [b.copy() for b in blocks], where, shape, rng.uniform(0, 6.3, len(size)),
                np.arange(len(size)) % len(blocks), tilts=np.clip(rng.normal(0.0, 0.25, (len(size), 2)), -0.5, 0.5))
    count = kit.scaled(500, 20)
    where = scatter_around(rng, count, 3.0, 40.0, 40.0)
    size = np.exp(rng.normal(math.log(0.04), 0.5, count))
    where[:, 2] -= 0.2 * size
    kit.scatter("pebbles", [b.copy() for b in blocks[:5]], where, size, rng.uniform(0, 6.3, count),
                rng.randint(0, 5, count), tilts=rng.uniform(-0.5, 0.5, (count, 2)))
    bushes, bush_sizes = scrub(rng, near)
    calm(near, bushes, bush_sizes)
    eye_z = float(ground(np.array([0.0]), np.array([0.0]))[0]) + 1.7
    target = kit.direction(3.0, LOOK)
    kit.camera((0.0, 0.0, eye_z), (target.x, target.y, eye_z + target.z), 58.0)
    kit.film(exposure=-3.8)
