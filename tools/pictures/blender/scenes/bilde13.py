"""A black sand beach on a northern evening: the low sun breaking under a lid of cloud lights a wall of
basalt columns, stepped down to the sand where their tops have broken off; the surf runs up the beach
and leaves lines of froth on the wet sand, sea stacks stand off the point in the spray."""
import math

import bpy
import numpy as np

import air
import kit
import terrain

SAMPLES = 32
DENOISE = 2.5
SUN = (6.0, 195.0)  # low in the south, under the edge of the cloud, raking across the columns
LOOK = 262.0
PITCH = 0.42  # the columns' radius, corner to centre, metres


def foot(a):
    """How far right of the camera's line the columns stand, `a` metres ahead."""
    return 4.5 + 0.05 * a + 0.0006 * a * a + (1.0 + 0.04 * np.abs(a)) * terrain.fbm(a / 22.0, 0.5, 4, seed=132)


def shore(a):
    """How far left of the camera's line the sea's still level meets the sand."""
    return -8.0 - 0.06 * a + 4.0 * terrain.fbm(a / 60.0, 1.5, 3, seed=131)


def wall_height(a):
    return 22.0 + 6.0 * terrain.fbm(a / 50.0, 2.5, 3, seed=134)


def sand(x, y):
    """The sand, sloping under the sea to the left."""
    a, b = terrain.to_view(x, y, LOOK)
    inland = b - shore(a)
    level = np.where(inland > 0.0, 0.045 * inland, 0.03 * inland - 3.0 * terrain.smoothstep(0.0, -60.0, inland))
    return level + 0.06 * terrain.fbm(a / 4.0, b / 4.0, 3, seed=133) * terrain.smoothstep(-2.0, 4.0, inland)


def beach(x, y):
    """The sand, and behind the columns the cliff and the grass on its top."""
    a, b = terrain.to_view(x, y, LOOK)
    sand_z = sand(x, y)
    d = b - foot(a)
    cliff = wall_height(a) * terrain.smoothstep(3.0, 9.0, d) + 0.4 * np.maximum(d - 9.0, 0.0)
    return np.maximum(sand_z, np.where(d > 0.0, 0.3 * d + cliff, -1.0))


def columns(rng):
    """The columns, one mesh: irregular prisms on a jittered hexagonal tiling, their corners shared with
    their neighbours across a hairline joint, their tops chamfered and a little tilted, short where they
    meet the sand, rising in broken steps to the wall."""
    r = PITCH
    along = np.arange(-8.0, 230.0, 1.5 * r)
    across = np.arange(0.0, 12.0, math.sqrt(3.0) * r)
    i, j = np.meshgrid(np.arange(len(along)), np.arange(len(across)), indexing="ij")
    ca = along[i]
    d = across[j] + (i % 2) * math.sqrt(3.0) * r / 2.0
    cb = foot(ca) + d
    ca, cb, d = ca.reshape(-1), cb.reshape(-1), d.reshape(-1)
    n = len(ca)
    k = np.arange(6) * math.pi / 3.0
    corners_a = ca[:, None] + r * np.cos(k)[None, :]
    corners_b = cb[:, None] + r * np.sin(k)[None, :]
    # one jitter field for every corner, so neighbours keep meeting
    ja = corners_a + 0.3 * r * terrain.perlin(corners_a / (0.9 * r), corners_b / (0.9 * r), seed=140)
    jb = corners_b + 0.3 * r * terrain.perlin(corners_a / (0.9 * r), corners_b / (0.9 * r), seed=141)
    centre_a, centre_b = ja.mean(1, keepdims=True), jb.mean(1, keepdims=True)
    ja = centre_a + (ja - centre_a) * 0.96  # the joint
    jb = centre_b + (jb - centre_b) * 0.96
    wall = wall_height(ca)
    # a sheer wall of organ pipes, except where a mound of broken columns steps down to the sand
    ramp = 1.2 + 8.0 * np.exp(-((ca - 20.0) / 9.0) ** 2) + 3.0 * np.exp(-((ca - 75.0) / 8.0) ** 2)
    rise = terrain.smoothstep(0.0, ramp, d + 0.8 * terrain.fbm(ca / 6.0, d / 6.0, 3, seed=135))
    broken = rng.uniform(-1.0, 1.0, n) * np.where(rise > 0.95, 0.3, np.clip(0.1 * rise * wall, 0.15, 0.9))
    height = np.clip(0.25 + rise * wall + broken, 0.15, None)
    height = np.where(rng.uniform(0, 1, n) < 0.04, height * rng.uniform(0.3, 0.8, n), height)  # fallen
    wx, wy = terrain.from_view(ca, cb, LOOK)
    ground = sand(wx, wy)
    base = ground - 0.6
    top = ground + height
    tilt_a, tilt_b = rng.normal(0.0, 0.12, n), rng.normal(0.0, 0.12, n)
    chamfer = 0.035
    ring_top = top[:, None] + tilt_a[:, None] * (ja - centre_a) + tilt_b[:, None] * (jb - centre_b)
    inner_a = centre_a + (ja - centre_a) * (1.0 - chamfer / r)
    inner_b = centre_b + (jb - centre_b) * (1.0 - chamfer / r)
    rings = [(ja, jb, np.repeat(base[:, None], 6, 1)), (ja, jb, ring_top - chamfer), (inner_a, inner_b, ring_top)]
    verts = np.zeros((n, 18, 3))
    for m, (ra, rb, rz) in enumerate(rings):
        vx, vy = terrain.from_view(ra, rb, LOOK)
        verts[:, 6 * m:6 * m + 6] = np.stack([vx, vy, rz], -1)
    loops = []
    for m in range(2):  # the sides and the chamfer, quads
        for s in range(6):
            t = (s + 1) % 6
            loops.append([6 * m + s, 6 * m + t, 6 * m + 6 + t, 6 * m + 6 + s])
    loops = np.array(loops).reshape(-1)
    loops = np.concatenate([loops, 12 + np.arange(6)])
    sizes = np.array([4] * 12 + [6])
    starts = np.concatenate([[0], np.cumsum(sizes)[:-1]])
    every = (loops[None, :] + 18 * np.arange(n)[:, None]).reshape(-1)
    mesh = bpy.data.meshes.new("columns")
    mesh.vertices.add(n * 18)
    mesh.vertices.foreach_set("co", verts.reshape(-1).astype(np.float32))
    mesh.loops.add(len(every))
    mesh.loops.foreach_set("vertex_index", every.astype(np.int32))
    mesh.polygons.add(n * 13)
    mesh.polygons.foreach_set("loop_start", (starts[None, :] + len(loops) * np.arange(n)[:, None]).reshape(-1)
                              .astype(np.int32))
    mesh.polygons.foreach_set("loop_total", np.tile(sizes, n).astype(np.int32))
    mesh.update(calc_edges=True)
    mesh.validate()
    tone = np.repeat(rng.uniform(0.0, 1.0, n), 18).astype(np.float32)
    mesh.attributes.new("tone", "FLOAT", "POINT").data.foreach_set("value", tone)
    return kit.add_object("columns", mesh)


def facing_up(tree):
    """How much the surface faces the sky: 1 on a level top, 0 on a wall."""
    normal = kit.node(tree, "ShaderNodeNewGeometry").outputs["Normal"]
    return kit.node(tree, "ShaderNodeSeparateXYZ", {0: normal}).outputs["Z"]


def black_sand(tree):
    """Black sand: dry and matt up the beach, dark and glassy where the surf has just run back, with lines
    of froth and grit left where each wash stopped."""
    p = kit.coordinates(tree, "Object")
    inland = kit.node(tree, "ShaderNodeAttribute", attribute_name="inland").outputs["Fac"]
    wobbly = kit.math_node(tree, "ADD", inland, kit.math_node(tree, "MULTIPLY", kit.noise(tree, p, 0.15, 3.0), 3.0))
    wet = kit.map_range(tree, wobbly, 9.0, 5.0)
    dry = kit.ramp(tree, kit.noise(tree, p, 2.0, 6.0, 0.6), [(0.3, (0.018, 0.018, 0.019)), (0.7, (0.04, 0.039, 0.039))])
    colour = kit.mix_colour(tree, wet, dry, (0.008, 0.008, 0.009, 1.0))
    # wash lines: thin ridges of froth and grit along the sand's contours, where a wash stopped
    across = kit.node(tree, "ShaderNodeCombineXYZ", {0: wobbly}).outputs[0]
    lines = kit.node(tree, "ShaderNodeTexWave", {"Vector": across, "Scale": 0.055, "Distortion": 3.0, "Detail": 3.0,
                                                 "Detail Roughness": 0.6},
                     wave_profile="SAW").outputs["Fac"]
    lace = kit.map_range(tree, lines, 0.93, 0.99)
    lace = kit.math_node(tree, "MULTIPLY", lace, kit.map_range(tree, kit.noise(tree, p, 1.5, 5.0, 0.6), 0.45, 0.6))
    froth = kit.math_node(tree, "MULTIPLY", lace, kit.map_range(tree, wobbly, 11.0, 4.0))
    colour = kit.mix_colour(tree, kit.math_node(tree, "MULTIPLY", froth, 0.8), colour, (0.45, 0.45, 0.44, 1.0))
    rough = kit.map_range(tree, wet, 0.0, 1.0, 0.85, 0.06)
    rough = kit.math_node(tree, "MAXIMUM", rough, kit.math_node(tree, "MULTIPLY", froth, 0.7))
    relief = kit.math_node(tree, "ADD", kit.math_node(tree, "MULTIPLY", kit.noise(tree, p, 25.0, 6.0, 0.7), 0.004),
                           kit.math_node(tree, "MULTIPLY", lace, 0.01))
    normal = kit.bump(tree, relief, kit.map_range(tree, wet, 0.0, 1.0, 1.0, 0.3), 1.0)
    return air.hazed(tree, kit.principled(tree, colour, rough, normal=normal, specular=0.5), 3000.0, 300.0)


def basalt(tree):
    """Basalt: near black, each column its own shade, cracked across every half metre or so, lichen and
    moss on the tops, dark and wet at the foot."""
    p = kit.coordinates(tree, "Object")
    tone = kit.node(tree, "ShaderNodeAttribute", attribute_name="tone").outputs["Fac"]
    colour = kit.ramp(tree, kit.math_node(tree, "ADD", kit.math_node(tree, "MULTIPLY", tone, 0.6),
                                          kit.math_node(tree, "MULTIPLY", kit.noise(tree, p, 3.0, 6.0, 0.6), 0.4)),
                      [(0.2, (0.014, 0.015, 0.017)), (0.6, (0.032, 0.033, 0.037)), (0.9, (0.055, 0.055, 0.057))])
    z = kit.node(tree, "ShaderNodeSeparateXYZ", {0: p}).outputs["Z"]
    cracks = kit.node(tree, "ShaderNodeTexWave", {"Vector": kit.node(tree, "ShaderNodeCombineXYZ", {
        2: kit.math_node(tree, "ADD", z, kit.math_node(tree, "MULTIPLY", tone, 7.0))}).outputs[0],
        "Scale": 0.12, "Distortion": 3.0, "Detail": 2.0}, wave_profile="SAW", bands_direction="Z").outputs["Fac"]
    crack = kit.map_range(tree, cracks, 0.975, 0.995)
    colour = kit.mix_colour(tree, kit.math_node(tree, "MULTIPLY", crack, 0.35), colour, (0.01, 0.01, 0.01, 1.0))
    up = facing_up(tree)
    lichen = kit.math_node(tree, "MULTIPLY", kit.map_range(tree, up, 0.6, 0.9),
                           kit.map_range(tree, kit.noise(tree, p, 1.2, 5.0, 0.6), 0.45, 0.6))
    lichen = kit.math_node(tree, "MULTIPLY", lichen, kit.map_range(tree, z, 1.5, 4.0))
    colour = kit.mix_colour(tree, lichen, colour, (0.09, 0.095, 0.045, 1.0))
    wet = kit.map_range(tree, z, 1.6, 0.6)
    normal = kit.bump(tree, kit.math_node(tree, "ADD", kit.noise(tree, p, 8.0, 6.0, 0.65),
                                          kit.math_node(tree, "MULTIPLY", crack, -0.5)), 0.25, 0.03)
    shader = kit.principled(tree, colour, kit.map_range(tree, wet, 0.0, 1.0, 0.6, 0.2), normal=normal)
    return air.hazed(tree, shader, 3000.0, 300.0)


def cliff(tree):
    """The cliff above and beyond the columns: grass on its top, bare rock where it is steep."""
    up = facing_up(tree)
    p = kit.coordinates(tree, "Object")
    grass = kit.ramp(tree, kit.noise(tree, p, 0.2, 5.0), [(0.3, (0.03, 0.045, 0.015)), (0.7, (0.07, 0.08, 0.03))])
    rock = kit.ramp(tree, kit.noise(tree, p, 1.0, 5.0), [(0.3, (0.02, 0.02, 0.022)), (0.7, (0.05, 0.05, 0.05))])
    return air.hazed(tree, kit.principled(tree, kit.mix_colour(tree, kit.map_range(tree, up, 0.6, 0.85), rock, grass),
                                          0.8), 3000.0, 300.0)


def ground(tree):
    """The one height field: sand low down, cliff high up."""
    behind = kit.node(tree, "ShaderNodeAttribute", attribute_name="behind").outputs["Fac"]
    return kit.node(tree, "ShaderNodeMixShader", {0: kit.map_range(tree, behind, 2.0, 4.0), 1: black_sand(tree),
                                                  2: cliff(tree)}).outputs[0]


def stone(tree):
    """Pebbles and cobbles rolled smooth: black, grey, a few bluish, shining where they are wet."""
    info = kit.node(tree, "ShaderNodeObjectInfo").outputs["Random"]
    colour = kit.ramp(tree, info, [(0.0, (0.015, 0.015, 0.016)), (0.6, (0.04, 0.04, 0.042)), (0.85, (0.07, 0.07, 0.07)),
                                   (1.0, (0.11, 0.11, 0.12))])
    normal = kit.bump(tree, kit.noise(tree, kit.coordinates(tree, "Object"), 6.0, 4.0), 0.1, 0.02)
    return air.hazed(tree, kit.principled(tree, colour, kit.map_range(tree, info, 0.0, 1.0, 0.3, 0.65), normal=normal),
                     3000.0, 300.0)


def sea_material(tree):
    foam = kit.node(tree, "ShaderNodeAttribute", attribute_name="foam").outputs["Fac"]
    streaks = kit.node(tree, "ShaderNodeMapping", {"Vector": kit.coordinates(tree, "Object"),
                                                   "Scale": (1.0, 3.0, 1.0)}).outputs[0]
    broken = kit.math_node(tree, "MULTIPLY", foam,
                           kit.map_range(tree, kit.noise(tree, streaks, 0.4, 8.0, 0.65), 0.3, 0.6))
    water = kit.principled(tree, (0.01, 0.018, 0.02), 0.05, specular=0.5)
    froth = kit.principled(tree, (0.75, 0.77, 0.77), 0.5)
    return air.hazed(tree, kit.node(tree, "ShaderNodeMixShader", {0: broken, 1: water, 2: froth}).outputs[0],
                     3000.0, 300.0)


def build():
    air.sky(*SUN, dust=3.0, clouds=[
        dict(height=900.0, scale=1400.0, coverage=0.7, opacity=4.0, stretch=2.5, heading=70.0, seed=51.0,
             shadow=0.9, ambient=0.8),
        dict(height=3000.0, scale=3000.0, coverage=0.6, opacity=3.0, stretch=3.0, heading=40.0, seed=52.0,
             shadow=0.5, ambient=0.9)], sun_strength=0.3)
    rng = np.random.RandomState(13)
    x, y = terrain.view_grid((0.0, 0.0), LOOK, 110.0, 0.5, 20000.0, kit.scaled(1500), kit.scaled(1100))
    land = terrain.grid_object("beach", x, y, beach(x, y), kit.material("ground", ground))
    a, b = terrain.to_view(x, y, LOOK)
    land.data.attributes.new("inland", "FLOAT", "POINT").data.foreach_set(
        "value", (b - shore(a)).reshape(-1).astype(np.float32))
    land.data.attributes.new("behind", "FLOAT", "POINT").data.foreach_set(
        "value", (b - foot(a)).reshape(-1).astype(np.float32))
    waves = terrain.wave_train(48, LOOK + 100.0, 15.0, 60.0, 0.3, 1.6, 0.9, seed=13)
    px, py, pz = terrain.sea(x, y, waves)
    floor = beach(px, py)
    pz = pz * terrain.smoothstep(1.0, -4.0, floor)  # the swell dies away as it runs up the sand
    sea = terrain.grid_object("sea", px, py, pz, kit.material("sea", sea_material))
    foam = terrain.smoothstep(-5.0, 0.3, floor) * (0.6 + 0.4 * np.clip(pz / 0.6, 0.0, 1.0))
    sea.data.attributes.new("foam", "FLOAT", "POINT").data.foreach_set("value", foam.reshape(-1).astype(np.float32))
    kit.assign(columns(rng), kit.material("basalt", basalt))
    # pebbles over the beach, cobbles fallen at the columns' feet
    pebble_mat = kit.material("stone", stone)
    shapes = [kit.rock("pebble %d" % i, (0, 0, 0), (1.0, 0.8, 0.5), seed=20 + i, lumpiness=0.2, crags=0.08,
                       grit=0.01, subdivisions=3, mat=pebble_mat) for i in range(5)]
    count = kit.scaled(1400, 30)
    ahead = 2.5 * np.exp(rng.uniform(0.0, math.log(16.0), count))
    right = rng.uniform(-1.0, 1.0, count) * (ahead * 0.9 + 2.0)
    size = np.exp(rng.normal(math.log(0.035), 0.45, count))
    near_foot = foot(ahead) - right
    size = np.where((near_foot < 1.2) & (ahead > 6.0), size * 4.0, size)
    ahead, right, size = ahead[near_foot > 0.2], right[near_foot > 0.2], size[near_foot > 0.2]
    px, py = terrain.from_view(ahead, right, LOOK)
    kit.scatter("pebbles", shapes, np.stack([px, py, beach(px, py) - 0.2 * size], 1), size,
                rng.uniform(0, 6.3, len(px)), rng.randint(0, len(shapes), len(px)))
    # sea stacks off the point
    stack_mat = kit.material("stack basalt", basalt)
    stacks = [(420.0, -90.0, 14.0, 55.0), (470.0, -60.0, 8.0, 38.0), (520.0, -105.0, 6.0, 22.0)]
    for i, (a, b, w, h) in enumerate(stacks):
        sx0, sy0 = terrain.from_view(a, b, LOOK)
        kit.rock("stack %d" % i, (sx0, sy0, h * 0.35), (w, w * 0.8, h * 0.7), seed=90 + i, lumpiness=0.3, crags=0.4,
                 mat=stack_mat)
    target = kit.direction(2.0, LOOK + 1.0)
    eye_z = float(beach(np.array([0.0]), np.array([0.0]))[0]) + 1.6
    kit.camera((0.0, 0.0, eye_z), (target.x, target.y, eye_z + target.z), 66.0)
    kit.film(exposure=-2.5)
