"""A black sand beach on a northern evening, seen from the top of a causeway of basalt columns: their
broken tops step down to the sand in five, six and seven sided slabs, dished and domed, a few holding
pools of spray that mirror the sky; beside them the columns stand as a wall, straight up to a band of
broken rock and leaning every way above it, stained with rust and crusted with lichen. The low sun breaks
under a lid of cloud, the surf runs up the sand beyond, sea stacks stand off the point."""
import math

import numpy as np

import air
import kit
import terrain

SAMPLES = 24
DENOISE = 2.5
# the sky and the sea settle early; the samples go to the columns
CYCLES = {"adaptive_min_samples": 12}
SUN = (8.0, 200.0)  # low in the south, under the edge of the cloud, raking across the columns
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


def causeway(a):
    """How far out from the wall's foot the broken columns run down towards the sea, `a` metres ahead."""
    return 1.0 + 8.0 * np.exp(-((a - 9.0) / 14.0) ** 2) + 2.5 * np.exp(-((a - 70.0) / 10.0) ** 2)


def voronoi_cells(sites, spacing):
    """The cell of each site (an n x 2 array on a jittered lattice `spacing` apart), as a list of corner
    arrays, counter-clockwise: a big hexagon around the site cut down by the half-plane towards each of
    its near neighbours. Jittered so, most cells have six sides, some five or seven."""
    bucket = 1.8 * spacing
    keys = np.floor(sites / bucket).astype(int)
    buckets = {}
    for i, k in enumerate(map(tuple, keys)):
        buckets.setdefault(k, []).append(i)
    points = sites.tolist()
    reach = (1.8 * spacing) ** 2
    start = [(1.5 * spacing * math.cos(t), 1.5 * spacing * math.sin(t)) for t in np.arange(6) * math.pi / 3.0]
    cells = []
    for i, (kx, ky) in enumerate(map(tuple, keys)):
        px, py = points[i]
        poly = [(px + x, py + y) for x, y in start]
        for dx in (-1, 0, 1):
            for dy in (-1, 0, 1):
                for j in buckets.get((kx + dx, ky + dy), ()):
                    qx, qy = points[j]
                    nx, ny = qx - px, qy - py
                    if j == i or nx * nx + ny * ny > reach:
                        continue
                    limit = nx * (px + qx) / 2.0 + ny * (py + qy) / 2.0
                    side = [x * nx + y * ny - limit for x, y in poly]
                    if max(side) <= 0.0:
                        continue
                    out = []
                    for m in range(len(poly)):
                        su, sv = side[m], side[(m + 1) % len(poly)]
                        if su <= 0.0:
                            out.append(poly[m])
                        if (su <= 0.0) != (sv <= 0.0):
                            (ux, uy), (vx, vy) = poly[m], poly[(m + 1) % len(poly)]
                            f = su / (su - sv)
                            out.append((ux + (vx - ux) * f, uy + (vy - uy) * f))
                    poly = out
        cells.append(np.array(poly))
    return cells


def prism_rings(corners, round_off):
    """A column's outline with each corner worn round over `round_off` back along both edges: two points
    on each edge near the corner, the shading rounds between the inner ones and the face between the outer
    ones stays flat."""
    n = len(corners)
    out = []
    for m in range(n):
        prev, here, after = corners[m - 1], corners[m], corners[(m + 1) % n]
        for other, reach in ((prev, 2.0), (prev, 1.0), (after, 1.0), (after, 2.0)):
            edge = other - here
            out.append(here + edge * min(0.2 * reach, reach * round_off / max(np.linalg.norm(edge), 1e-6)))
    return np.array(out)


def columns(rng):
    """The columns, one mesh: prisms on the cells of a jittered lattice, five, six or seven sided and of
    varied width, a hairline joint between neighbours; a sheer wall of organ pipes under the cliff, and in
    front of it the broken stumps stepping down to the sand and the sea. The stumps' tops are dished or
    domed, some holding a pool of rain or spray, some broken off aslant, their sides cracked across. The
    wall is a colonnade of straight columns up to a band of broken rock, and above it an entablature of
    columns leaning and curving every way, cracked across every few metres."""
    spacing = 0.62
    lattice_a = np.arange(-10.0, 232.0, spacing)
    lattice_d = np.arange(-12.0, 12.5, spacing * math.sqrt(3.0) / 2.0)
    i, j = np.meshgrid(np.arange(len(lattice_a)), np.arange(len(lattice_d)), indexing="ij")
    ca = lattice_a[i] + (j % 2) * spacing / 2.0
    d = lattice_d[j] + np.zeros_like(ca)
    ca, d = ca.reshape(-1), d.reshape(-1)
    # a slow swell and shrink of the columns' width along the wall, and each site thrown about its place
    squeeze = 1.0 + 0.3 * terrain.fbm(ca / 25.0, d / 25.0, 2, seed=142)
    ca = ca + rng.uniform(-0.33, 0.33, len(ca)) * spacing * squeeze
    d = d * squeeze + rng.uniform(-0.33, 0.33, len(ca)) * spacing
    keep_zone = d > -causeway(ca) - 2.0 * spacing
    ca, d = ca[keep_zone], d[keep_zone]
    cb = foot(ca) + d
    cells = voronoi_cells(np.stack([ca, cb], 1), spacing)
    inside = (d > -causeway(ca)) & (d < 12.0) & (ca > -8.0) & (ca < 230.0)
    wall = wall_height(ca)
    # the causeway: low stumps near the sea rising in uneven steps to the mound at the wall's foot, and up
    # the mound in broken steps to the full height of the wall
    out_there = np.clip((d + causeway(ca)) / np.maximum(causeway(ca), 1.0), 0.0, 1.0)
    stump = 0.15 + 1.5 * out_there ** 1.5 + 0.45 * terrain.fbm(ca / 5.0, d / 5.0, 3, seed=136) * out_there
    ramp = 1.2 + 6.0 * np.exp(-((ca - 18.0) / 10.0) ** 2) + 3.0 * np.exp(-((ca - 75.0) / 8.0) ** 2)
    rise = terrain.smoothstep(0.0, ramp, d + 0.8 * terrain.fbm(ca / 6.0, d / 6.0, 3, seed=135))
    height = np.where(d < 0.0, stump, stump + rise * np.maximum(wall - stump, 0.0))
    height = height + rng.uniform(-1.0, 1.0, len(ca)) * np.where(rise > 0.95, 0.35, 0.1 + 0.2 * out_there)
    # a few fallen out of the mound; the wall's face above it stands whole
    fallen = rng.uniform(0, 1, len(ca)) < np.where(rise > 0.95, 0.008, 0.06)
    height = np.where(fallen, height * rng.uniform(0.3, 0.8, len(ca)), height)
    height = np.clip(height, 0.12, None)
    wx, wy = terrain.from_view(ca, cb, LOOK)
    ground_z = sand(wx, wy)
    # the band between colonnade and entablature, and how the entablature's columns lean
    band = ground_z + (0.42 + 0.08 * terrain.fbm(ca / 30.0, 0.5, 2, seed=137)) * wall
    lean_a = 0.1 * terrain.fbm(ca / 9.0, d / 9.0, 3, seed=138)
    lean_b = 0.06 * terrain.fbm(ca / 9.0, d / 9.0 + 40.0, 3, seed=139)
    near = kit.detail >= 0.25
    verts, faces, pool_faces, tones, lows = [], [], [], [], []
    for c in np.nonzero(inside)[0]:
        corners = cells[c]
        middle = corners.mean(0)
        corners = middle + (corners - middle) * (1.0 - 0.022 / spacing)  # the joint
        # near by worn round at the corners and dished on top; far off a plain prism is as good
        fine = near and ca[c] < 70.0
        outline = prism_rings(corners, 0.03) if fine else corners
        inset = middle + (outline - middle) * (1.0 - 0.03 / spacing)
        base, top = ground_z[c] - 0.6, ground_z[c] + height[c]
        in_wall = height[c] > 4.0
        pooled = not in_wall and near and ca[c] < 45.0 and rng.uniform() < 0.12
        tilt = np.zeros(2) if pooled else rng.normal(0.0, 0.22 if rng.uniform() < 0.12 else 0.07, 2)
        lift = (outline - middle) @ tilt
        # the cross joints: on the stumps every half metre to a metre, on the wall every few metres and at
        # the band
        joints = [base]
        if in_wall:
            z = ground_z[c] + rng.uniform(0.5, 3.0)
            while z < top - 1.0 and ca[c] < 110.0:
                if abs(z - band[c]) > 0.5:
                    joints.append(z)
                z += rng.uniform(2.5, 7.0)
            if top - 1.0 > band[c]:
                joints.append(band[c])
            joints.sort()
        elif near and ca[c] < 60.0:
            z = ground_z[c] + rng.uniform(-0.1, 0.6)
            while z < min(top - 0.3, ground_z[c] + 2.5):
                joints.append(z)
                z += rng.uniform(0.5, 1.2)
        joints.append(top)
        n = len(outline)
        tone = rng.uniform(0.0, 1.0)
        first_column = len(verts)
        for k in range(len(joints) - 1):
            z0, z1 = joints[k], joints[k + 1]
            last = k == len(joints) - 2
            # the band is a broad recess, other joints a hairline groove
            deep = in_wall and abs(z0 - band[c]) < 1e-6
            groove = (0.06 if deep else 0.015) if k > 0 else 0.0
            sunk = middle + (outline - middle) * (1.0 - (0.09 if deep else 0.03) / spacing)
            shift = rng.normal(0.0, 0.006, 2) if k > 0 else np.zeros(2)
            ring_list = [(sunk + shift if k > 0 else outline + shift, z0), (outline + shift, z0 + groove)]
            if last:
                ring_list += [(outline + shift, z1 + lift - 0.03), (inset + shift, z1 + lift)]
            else:
                ring_list += [(outline + shift, z1 - 0.015), (inset + shift, z1)]
            first = len(verts)
            for ring, z in ring_list:
                zs = np.broadcast_to(z, (n,))
                verts.extend(zip(ring[:, 0], ring[:, 1], zs))
            for r in range(len(ring_list) - 1):
                for m in range(n):
                    t = (m + 1) % n
                    faces.append((first + r * n + m, first + r * n + t, first + (r + 1) * n + t, first + (r + 1) * n + m))
            if not last:
                continue
            rim = first + 3 * n
            if pooled:
                # a dish in the top holding still water
                ring = middle + (inset - middle) * 0.86
                verts.extend(zip(ring[:, 0], ring[:, 1], np.broadcast_to(z1 - 0.012, (n,))))
                for m in range(n):
                    t = (m + 1) % n
                    faces.append((rim + m, rim + t, rim + n + t, rim + n + m))
                pool_faces.append(len(faces))
                faces.append(tuple(rim + n + m for m in range(n)))
            elif not fine:
                faces.append(tuple(rim + m for m in range(n)))
            else:
                # worn into a shallow dish or left a low dome
                dome = rng.uniform(-0.035, 0.03)
                ring = middle + (inset - middle) * 0.55
                verts.extend(zip(ring[:, 0], ring[:, 1], z1 + lift[:] * 0.55 + 0.7 * dome))
                verts.append((middle[0], middle[1], z1 + dome))
                for m in range(n):
                    t = (m + 1) % n
                    faces.append((rim + m, rim + t, rim + n + t, rim + n + m))
                    faces.append((rim + n + m, rim + n + t, rim + 2 * n))
        count = len(verts) - first_column
        tones += [tone] * count
        lows += [ground_z[c]] * count
        if in_wall:
            # above the band the columns lean, more the higher they go
            block = np.array(verts[first_column:])
            up = np.maximum(block[:, 2] - band[c], 0.0)
            block[:, 0] += lean_a[c] * up
            block[:, 1] += lean_b[c] * up
            verts[first_column:] = [tuple(v) for v in block]
    verts = np.array(verts)
    vx, vy = terrain.from_view(verts[:, 0], verts[:, 1], LOOK)
    obj = kit.mesh_object("columns", np.stack([vx, vy, verts[:, 2]], 1), faces, smooth=True)
    mesh = obj.data
    # the edges a sharp break, the worn corners and the dished tops smooth
    mesh.use_auto_smooth = True
    mesh.auto_smooth_angle = math.radians(40.0)
    index = np.zeros(len(faces), dtype=np.int32)
    index[pool_faces] = 1
    mesh.polygons.foreach_set("material_index", index)
    mesh.attributes.new("tone", "FLOAT", "POINT").data.foreach_set("value", np.array(tones, dtype=np.float32))
    mesh.attributes.new("ground", "FLOAT", "POINT").data.foreach_set("value", np.array(lows, dtype=np.float32))
    return obj


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
    """Basalt: near black, each column its own shade, stained with rust running down the faces, crusted
    with yellow and grey lichen on the tops and ledges, dark and wet low down where the spray reaches."""
    p = kit.coordinates(tree, "Object")
    tone = kit.node(tree, "ShaderNodeAttribute", attribute_name="tone").outputs["Fac"]
    colour = kit.ramp(tree, kit.math_node(tree, "ADD", kit.math_node(tree, "MULTIPLY", tone, 0.6),
                                          kit.math_node(tree, "MULTIPLY", kit.noise(tree, p, 3.0, 6.0, 0.6), 0.4)),
                      [(0.2, (0.008, 0.0085, 0.01)), (0.6, (0.016, 0.016, 0.018)), (0.9, (0.03, 0.029, 0.03))])
    # rust where water runs down: streaks long up and down, patchy along
    streaks = kit.node(tree, "ShaderNodeMapping", {"Vector": p, "Scale": (1.0, 1.0, 0.08)}).outputs[0]
    rust = kit.map_range(tree, kit.noise(tree, streaks, 1.5, 5.0, 0.6), 0.5, 0.68)
    rust = kit.math_node(tree, "MULTIPLY", rust, kit.map_range(tree, kit.noise(tree, p, 0.25, 3.0), 0.4, 0.6))
    colour = kit.mix_colour(tree, kit.math_node(tree, "MULTIPLY", rust, 0.85), colour, (0.07, 0.033, 0.014, 1.0))
    z = kit.node(tree, "ShaderNodeSeparateXYZ", {0: p}).outputs["Z"]
    up = facing_up(tree)
    # lichen: yellow-orange crust and grey rosettes on what faces the sky, out of the spray
    patches = kit.noise(tree, p, 2.2, 5.0, 0.65)
    low = kit.node(tree, "ShaderNodeAttribute", attribute_name="ground").outputs["Fac"]
    above = kit.math_node(tree, "SUBTRACT", z, low)
    dry = kit.map_range(tree, above, 0.3, 1.0)
    on_top = kit.math_node(tree, "MULTIPLY", kit.map_range(tree, up, 0.5, 0.9), dry)
    yellow = kit.math_node(tree, "MULTIPLY", on_top, kit.map_range(tree, patches, 0.55, 0.62))
    grey = kit.math_node(tree, "MULTIPLY", kit.math_node(tree, "MAXIMUM", on_top, 0.25),
                         kit.map_range(tree, kit.noise(tree, p, 6.0, 4.0, 0.6), 0.6, 0.66))
    grey = kit.math_node(tree, "MULTIPLY", grey, kit.map_range(tree, above, 0.25, 0.9))
    colour = kit.mix_colour(tree, grey, colour, (0.075, 0.078, 0.068, 1.0))
    colour = kit.mix_colour(tree, kit.math_node(tree, "MULTIPLY", yellow, 0.9), colour, (0.16, 0.1, 0.025, 1.0))
    # wet up the sides near the sand; the tops drain, matt (a wet sheen on them sparkles)
    wet = kit.math_node(tree, "MULTIPLY", kit.map_range(tree, above, 1.2, 0.3),
                        kit.map_range(tree, up, 0.8, 0.5))
    normal = kit.bump(tree, kit.noise(tree, p, 4.0, 4.0, 0.6), 0.15, 0.03)
    colour = kit.mix_colour(tree, kit.math_node(tree, "MULTIPLY", wet, 0.5), colour, (0.0, 0.0, 0.0, 1.0))
    shader = kit.principled(tree, colour, kit.map_range(tree, wet, 0.0, 1.0, 0.6, 0.25), normal=normal)
    return air.hazed(tree, shader, 3000.0, 300.0)


def pool(tree):
    """Still water in the dish of a column's top, mirroring the sky."""
    return air.hazed(tree, kit.principled(tree, (0.006, 0.007, 0.007), 0.02, specular=0.5), 3000.0, 300.0)


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
    cols = columns(rng)
    cols.data.materials.append(kit.material("basalt", basalt))
    cols.data.materials.append(kit.material("pool", pool))
    # sea stacks off the point
    stack_mat = kit.material("stack basalt", basalt)
    stacks = [(420.0, -90.0, 14.0, 55.0), (470.0, -60.0, 8.0, 38.0), (520.0, -105.0, 6.0, 22.0)]
    for i, (a, b, w, h) in enumerate(stacks):
        sx0, sy0 = terrain.from_view(a, b, LOOK)
        # split along its joints: sheer walls, a broken top
        kit.fractured("stack %d" % i, (w, w * 0.8, h * 0.7), cuts=30, seed=90 + i, upright=0.8, depth=(0.6, 0.95),
                      location=(sx0, sy0, h * 0.35), rotation=(0.0, 0.0, 0.6 * i), mat=stack_mat)
    # standing up on the rocks at the causeway's edge, looking down on the tops of the columns
    target = kit.direction(-10.0, LOOK + 2.0)
    eye_z = float(beach(np.array([0.0]), np.array([0.0]))[0]) + 2.7
    kit.camera((0.0, 0.0, eye_z), (target.x, target.y, eye_z + target.z), 66.0)
    kit.film(exposure=-2.5)
