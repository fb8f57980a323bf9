"""A ring of standing stones on a moor as a storm clears: the low sun under the cloud lights the weathered,
lichened stones and the wet grass gold against a dark sky."""
import math

import numpy as np

import air
import kit
import terrain

SAMPLES = 46
DENOISE = 2.0
# low in the west-north-west, under the edge of the cloud, left of the view: the stones stand against the
# glow, lit at a slant on their western faces, their shadows reaching back over the grass
SUN = (4.5, 296.0)
LOOK = 0.0
RING = (0.0, 22.0, 10.0)  # centre x, y and radius of the ring of stones


def moor(x, y):
    hills = 35.0 * terrain.fbm(x / 900.0, y / 900.0, 4, seed=101) + 60.0 * terrain.smoothstep(400.0, 2500.0, np.hypot(x, y))
    return hills + 0.6 * terrain.fbm(x / 18.0, y / 18.0, 5, seed=102)


def ground(tree):
    p = kit.coordinates(tree, "Object")
    patches = kit.noise(tree, p, 0.08, 6.0, 0.6)
    grass = kit.ramp(tree, kit.noise(tree, p, 1.5, 4.0), [(0.3, (0.06, 0.07, 0.02)), (0.7, (0.13, 0.12, 0.04))])
    heather = kit.ramp(tree, kit.noise(tree, p, 2.0, 4.0), [(0.3, (0.06, 0.035, 0.035)), (0.7, (0.12, 0.07, 0.06))])
    colour = kit.mix_colour(tree, kit.map_range(tree, patches, 0.45, 0.6), grass, heather)
    normal = kit.bump(tree, kit.noise(tree, p, 6.0, 6.0, 0.7), 0.6, 0.05)
    # the turf's tufts, a few centimetres across
    normal = kit.bump(tree, kit.noise(tree, p, 30.0, 3.0, 0.6, 1.5), 0.35, 0.02, normal)
    return air.hazed(tree, kit.principled(tree, colour, 0.85, normal=normal, specular=0.2), 5000.0, 600.0)


def lichened(tree, moss_line=0.16):
    """Grey weathered stone with lichen: pale grey-green crusts crowded in patches, orange ones on the
    upper, drier faces, and moss up to `moss_line` of the stone's height."""
    # in metres of the world, so a tall stone's grain is not stretched with it, and no two stones alike
    p = kit.node(tree, "ShaderNodeNewGeometry").outputs["Position"]
    up = kit.node(tree, "ShaderNodeSeparateXYZ", {0: kit.node(tree, "ShaderNodeNewGeometry").outputs["Normal"]}).outputs["Z"]
    grain = kit.noise(tree, p, 14.0, 6.0, 0.6)
    stone = kit.ramp(tree, kit.noise(tree, p, 1.3, 6.0, 0.55), [(0.35, (0.1, 0.1, 0.092)), (0.65, (0.19, 0.185, 0.17))])
    stone = kit.mix_colour(tree, 0.5, stone, kit.ramp(tree, grain, [(0.3, (0.75, 0.75, 0.75)), (0.7, (1.1, 1.1, 1.1))]),
                           "MULTIPLY")
    # rain streaks run down the faces: darker where water runs, in vertical bands
    streaks = kit.noise(tree, kit.node(tree, "ShaderNodeMapping", {"Vector": p, "Scale": (6.0, 6.0, 0.4)}).outputs[0],
                        1.0, 3.0)
    stone = kit.mix_colour(tree, kit.map_range(tree, streaks, 0.5, 0.7, 0.0, 0.45), stone, (0.05, 0.05, 0.045, 1.0))
    # lichen in ragged crusts: patches that spread and merge, broken up at their edges, crowded in some
    # places and missing from others
    crust = kit.noise(tree, p, 3.0, 8.0, 0.7, 0.8)
    crusts = kit.map_range(tree, kit.math_node(tree, "ADD", crust, kit.math_node(tree, "MULTIPLY", grain, 0.25)),
                             0.58, 0.64)
    grey = kit.math_node(tree, "MULTIPLY", crusts, kit.map_range(tree, kit.noise(tree, p, 0.7, 4.0), 0.45, 0.6))
    colour = kit.mix_colour(tree, kit.math_node(tree, "MULTIPLY", grey, 0.7), stone, (0.33, 0.35, 0.28, 1.0))
    orange = kit.map_range(tree, kit.math_node(tree, "ADD", kit.noise(tree, p, 4.5, 8.0, 0.7, 1.0),
                                               kit.math_node(tree, "MULTIPLY", grain, 0.2)), 0.66, 0.7)
    orange = kit.math_node(tree, "MULTIPLY", kit.math_node(tree, "MULTIPLY", orange, kit.map_range(
        tree, kit.noise(tree, p, 0.9, 3.0, 0.5, 0.5), 0.45, 0.58)), kit.map_range(tree, up, -0.2, 0.6))
    colour = kit.mix_colour(tree, kit.math_node(tree, "MULTIPLY", orange, 0.85), colour, (0.4, 0.16, 0.03, 1.0))
    base = kit.node(tree, "ShaderNodeSeparateXYZ", {0: kit.coordinates(tree, "Generated")}).outputs["Z"]
    moss = kit.map_range(tree, kit.math_node(tree, "ADD", base, kit.math_node(tree, "MULTIPLY", grain, 0.12)),
                         moss_line + 0.06, moss_line - 0.04)
    colour = kit.mix_colour(tree, moss, colour, (0.04, 0.06, 0.018, 1.0))
    normal = kit.bump(tree, kit.noise(tree, p, 6.0, 6.0, 0.65), 0.5, 0.03)
    normal = kit.bump(tree, kit.math_node(tree, "ADD", grain, kit.math_node(tree, "MULTIPLY", crusts, 0.5)), 0.3,
                      0.004, normal)
    return air.hazed(tree, kit.principled(tree, colour, 0.8, normal=normal), 5000.0, 600.0)


def megalith(name, height, width, depth, seed, mat, lying=False):
    """A standing stone `height` tall from its foot (a little under the turf) and `width` by `depth` at the
    foot: a rough pillar tapering and bending a little as it rises, its faces split flat along a few joints,
    fluted by the rain, its top broken off at a slant. Lying, it is turned on its side along x."""
    rng = np.random.RandomState(seed)
    sides, rows = 48, 44
    a = np.linspace(0.0, 2.0 * math.pi, sides, endpoint=False)
    taper = rng.uniform(0.6, 0.85)
    lean = rng.uniform(-0.12, 0.12, 2) * height
    slant, facing = rng.uniform(0.15, 0.4) * width, rng.uniform(0.0, 2.0 * math.pi)
    verts = []
    for k in range(rows):
        t = k / (rows - 1)
        # the shoulder: the last rows turn in over the broken top
        wall = min(1.0, t / 0.92)
        over = max(0.0, (t - 0.92) / 0.08)
        shrink = math.cos(over * math.pi / 2.0) ** 0.3
        scale = 1.0 - (1.0 - taper) * wall ** 1.4 + 0.06 * math.sin(wall * math.pi)
        hx, hy = width / 2.0 * scale * shrink, depth / 2.0 * scale * shrink
        # a squarish section, rounded at the corners
        ca, sa = np.cos(a), np.sin(a)
        r = 1.0 / (np.abs(ca) ** 4 + np.abs(sa) ** 4) ** 0.25
        # no two sections alike: the outline wanders as the stone rises
        r *= 1.0 + 0.12 * terrain.fbm(2.0 * ca + seed, 2.0 * sa + 3.0 * t, 3, seed=seed + 5)
        x, y = hx * r * ca, hy * r * sa
        top = height + slant * np.cos(a - facing) * shrink
        z = height * 0.92 * wall + (top - height * 0.92) * np.sin(over * math.pi / 2.0) if over > 0 else \
            np.full(sides, height * 0.92 * wall)
        bend = wall * wall
        verts.append(np.stack([x + lean[0] * bend, y + lean[1] * bend, z], 1))
    verts = np.concatenate(verts + [np.array([[lean[0], lean[1], height * 1.02], [0.0, 0.0, 0.0]])])
    # split along joints: a few planes shave the stone flat where they cut it
    for k in range(8):
        phi = rng.uniform(0.0, 2.0 * math.pi)
        # the last few break the top off at a slant
        normal = np.array([math.cos(phi), math.sin(phi), rng.uniform(-0.15, 0.4) if k < 5 else rng.uniform(0.8, 2.5)])
        normal /= np.linalg.norm(normal)
        reach = verts @ normal
        limit = reach.max() - rng.uniform(0.05, 0.25) * min(width, height)
        verts -= np.maximum(reach - limit, 0.0)[:, None] * normal
    # weathering: broad hollows, and flutes the rain has cut down the faces
    x, y, z = verts.T
    hollows = terrain.fbm(x / 0.7 + seed, z / 0.7, 4, seed=seed) + terrain.fbm(y / 0.7 - seed, z / 0.7 + 3.0, 4, seed=seed + 1)
    flutes = terrain.fbm(x / 0.12, z / 1.2, 3, seed=seed + 2) + terrain.fbm(y / 0.12, z / 1.2, 3, seed=seed + 3)
    push = 0.05 * min(width, depth) * hollows + 0.02 * flutes
    centre = np.stack([lean[0] * np.clip(z / height / 0.92, 0, 1) ** 2, lean[1] * np.clip(z / height / 0.92, 0, 1) ** 2,
                       z], 1)
    out = verts - centre
    out[:, 2] *= 0.3
    out /= np.maximum(np.linalg.norm(out, axis=1), 1.0e-6)[:, None]
    verts += out * push[:, None]
    faces = [(k * sides + i, k * sides + (i + 1) % sides, (k + 1) * sides + (i + 1) % sides, (k + 1) * sides + i)
             for k in range(rows - 1) for i in range(sides)]
    tip = rows * sides
    faces += [((rows - 1) * sides + i, (rows - 1) * sides + (i + 1) % sides, tip) for i in range(sides)]
    faces += [((i + 1) % sides, i, tip + 1) for i in range(sides)]
    if lying:
        verts = verts[:, [2, 1, 0]]
        faces = [f[::-1] for f in faces]
    obj = kit.mesh_object(name, verts, faces)
    kit.assign(obj, mat)
    smooth = obj.modifiers.new("weathered", "SUBSURF")
    smooth.levels, smooth.render_levels = 1, 2
    kit.dent(obj, name + " pits", 0.12, 0.012 * height)
    return obj


def tuft(name, seed, mat):
    """A clump of moor grass a unit tall: two dozen thin blades fanning out from one root and bending over."""
    rng = np.random.RandomState(seed)
    verts, faces = [], []
    for _ in range(26):
        a = rng.uniform(0.0, 2.0 * math.pi)
        lean, h, w = rng.uniform(0.15, 0.9), rng.uniform(0.45, 1.0), rng.uniform(0.008, 0.016)
        root = np.array([math.cos(a), math.sin(a), 0.0]) * rng.uniform(0.0, 0.06)
        out, side = np.array([math.cos(a), math.sin(a), 0.0]), np.array([-math.sin(a), math.cos(a), 0.0])
        first = len(verts)
        for k in range(5):
            t = k / 4.0
            centre = root + out * lean * h * t * t + np.array([0.0, 0.0, h * t * (1.0 - 0.35 * lean * t)])
            half = w * (1.0 - 0.85 * t)
            verts += [centre - side * half, centre + side * half]
            if k:
                j = first + 2 * k
                faces.append((j - 2, j - 1, j + 1, j))
    obj = kit.mesh_object(name, verts, faces)
    kit.assign(obj, mat)
    return obj


def blades(tree):
    """Moor grass late in the year: olive to straw, each clump its own, drier at the tips."""
    clump = kit.node(tree, "ShaderNodeObjectInfo").outputs["Random"]
    tip = kit.node(tree, "ShaderNodeSeparateXYZ", {0: kit.coordinates(tree, "Generated")}).outputs["Z"]
    colour = kit.ramp(tree, clump, [(0.0, (0.07, 0.075, 0.025)), (0.6, (0.13, 0.11, 0.04)), (1.0, (0.2, 0.15, 0.07))])
    colour = kit.mix_colour(tree, kit.map_range(tree, tip, 0.4, 1.0, 0.0, 0.5), colour, (0.3, 0.24, 0.13, 1.0))
    return air.hazed(tree, kit.principled(tree, colour, 0.7, specular=0.25), 5000.0, 600.0)


def build():
    air.sky(*SUN, dust=2.0, clouds=[
        dict(height=1400.0, scale=1600.0, coverage=0.75, opacity=5.0, stretch=2.0, heading=60.0, seed=31.0,
             shadow=1.2, ambient=0.35),
        dict(height=6000.0, scale=4000.0, coverage=0.5, opacity=2.0, stretch=4.0, heading=20.0, seed=32.0)])
    x, y = terrain.view_grid((0.0, 0.0), LOOK, 110.0, 0.5, 20000.0, kit.scaled(1300), kit.scaled(1000))
    terrain.grid_object("moor", x, y, moor(x, y), kit.material("ground", ground))
    # the stones: each its own shape and height, leaning a little, the gap to the west where the sun comes in
    mat = kit.material("lichened stone", lichened)
    cx, cy, radius = RING
    rng = np.random.RandomState(10)
    feet = []
    for i in range(13):
        a = 2.0 * math.pi * i / 13 + rng.uniform(-0.1, 0.1)
        if 3.9 < a < 4.7:
            continue
        sx, sy = cx + radius * math.sin(a), cy + radius * math.cos(a)
        h = rng.uniform(2.5, 4.8) if i != 6 else 1.4
        # broad ones squat and round off into humps: keep every stone taller than twice its width
        w = min(rng.uniform(1.3, 2.2), 0.5 * h)
        ground_z = float(moor(np.array([sx]), np.array([sy]))[0])
        stone = megalith("stone %d" % i, h + 0.4, w, w * rng.uniform(0.45, 0.65), i + 3, mat)
        stone.location = (sx, sy, ground_z - 0.4)
        feet.append((sx, sy, w * 0.45))
        stone.rotation_euler = (rng.uniform(-0.08, 0.08), rng.uniform(-0.08, 0.08), a + rng.uniform(-0.3, 0.3))
    # packing stones round the feet, bedded in the turf: what holds the stones up, and where they meet it
    for k, (px, py, reach) in enumerate(list(feet)):
        for j in range(rng.randint(2, 5)):
            turn = rng.uniform(0.0, 2.0 * math.pi)
            out = reach + rng.uniform(0.05, 0.35)
            bx, by = px + out * math.cos(turn), py + out * math.sin(turn)
            r = rng.uniform(0.12, 0.3)
            kit.joint_boulder("packing %d %d" % (k, j), (r * 1.3, r, r * 0.7), seed=200 + 7 * k + j, wear=0.8,
                              location=(bx, by, float(moor(np.array([bx]), np.array([by]))[0]) - 0.35 * r),
                              rotation=(rng.uniform(-0.3, 0.3), rng.uniform(-0.3, 0.3), turn), mat=mat)
    # tussocks of moor grass over the turf, thick in front and thinning into the distance
    grass = kit.material("moor grass", blades)
    count = kit.scaled(14000, 60)
    ahead = 2.0 + 70.0 * rng.uniform(0.0, 1.0, count) ** 1.6
    across = rng.uniform(-0.75, 0.75, count) * (ahead + 2.0)
    gx, gy = terrain.from_view(ahead, across, LOOK)
    inside = np.hypot(gx - cx, gy - cy)
    # the ring's floor is grazed short: fewer clumps inside it
    keep = (inside > radius + 1.0) | (rng.uniform(0.0, 1.0, count) < 0.35)
    # but the grass grows tall round the stones' feet, where nothing grazes
    around = kit.scaled(50, 6)
    for px, py, reach in feet:
        turn = rng.uniform(0.0, 2.0 * math.pi, around)
        out = reach + rng.uniform(0.0, 0.7, around) ** 1.5
        gx = np.concatenate([gx, px + out * np.cos(turn)])
        gy = np.concatenate([gy, py + out * np.sin(turn)])
        keep = np.concatenate([keep, np.ones(around, dtype=bool)])
    count = len(gx)
    gz = moor(gx, gy)
    kit.scatter("tussocks", [tuft("tuft %d" % i, 100 + i, grass) for i in range(4)],
                np.stack([gx, gy, gz - 0.02], 1)[keep], rng.uniform(0.18, 0.42, count)[keep],
                rng.uniform(0.0, 6.3, count)[keep], rng.randint(0, 4, count)[keep])
    eye_z = float(moor(np.array([0.0]), np.array([0.0]))[0]) + 1.2
    target = kit.direction(6.0, LOOK)
    kit.camera((0.0, 0.0, eye_z), (target.x, target.y, eye_z + target.z), 64.0)
    kit.film(exposure=-2.0)
    kit.clean_margins(SAMPLES // 3)
