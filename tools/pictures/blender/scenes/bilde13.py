"""A black sand beach on a northern evening, seen from the top of a causeway of basalt columns: their
broken tops step down to the sand in five, six and seven sided slabs, dished and domed, a few holding
pools of spray that mirror the sky; beside them the columns stand as a wall, straight up to a band of
broken rock and leaning every way above it, stained with rust and crusted with lichen. The low sun breaks
under a lid of cloud, the surf runs up the sand beyond, sea stacks stand off the point."""
import math

import bpy
import numpy as np

import air
import kit
import terrain

SAMPLES = 20
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


def voronoi_cells(sites, spacing, which):
    """The cells of the sites `which` (indices into `sites`, an n x 2 array on a jittered lattice `spacing`
    apart), as a list of corner arrays, counter-clockwise: a big hexagon around the site cut down by the
    half-plane towards each of its near neighbours. Jittered so, most cells have six sides, some five or
    seven. Plain Python: on a handful of corners it is quicker than numpy."""
    bucket = 1.8 * spacing
    keys = np.floor(sites / bucket).astype(int)
    buckets = {}
    for i, k in enumerate(map(tuple, keys)):
        buckets.setdefault(k, []).append(i)
    points = sites.tolist()
    reach = (1.8 * spacing) ** 2
    start = [(1.5 * spacing * math.cos(t), 1.5 * spacing * math.sin(t)) for t in np.arange(6) * math.pi / 3.0]
    cells = []
    for i in which:
        kx, ky = keys[i]
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
    before, after = np.roll(corners, 1, 0) - corners, np.roll(corners, -1, 0) - corners
    out = []
    for edge, reach in ((before, 2.0), (before, 1.0), (after, 1.0), (after, 2.0)):
        length = np.maximum(np.linalg.norm(edge, axis=1, keepdims=True), 1e-6)
        out.append(corners + edge * np.minimum(0.2 * reach, reach * round_off / length))
    return np.stack(out, 1).reshape(-1, 2)


def band_quads(n, rows):
    """Quads joining ring r to ring r + 1 of a stack of rings `n` points round, for each r in `rows`."""
    m = np.arange(n)
    t = (m + 1) % n
    r = np.asarray(rows)[:, None] * n
    return np.stack([r + m, r + t, r + n + t, r + n + m], -1).reshape(-1, 4)


class Pieces:
    """Vertices and faces gathered part by part, made into one mesh at the end without a Python tuple per
    vertex: quads, triangles and n-gons apart, each with its material and a value per vertex."""

    def __init__(self):
        self.verts, self.values, self.quads, self.tris, self.ngons, self.pools = [], [], [], [], [], []
        self.count = 0

    def add(self, points, values):
        first = self.count
        self.verts.append(points)
        self.values.append(np.broadcast_to(np.asarray(values, dtype=np.float32), (len(points), 4)))
        self.count += len(points)
        return first

    def mesh(self, name, verts):
        quads = np.concatenate(self.quads).astype(np.int32) if self.quads else np.zeros((0, 4), np.int32)
        tris = np.concatenate(self.tris).astype(np.int32) if self.tris else np.zeros((0, 3), np.int32)
        ngons = [np.asarray(f, np.int32) for f, _ in self.ngons]
        loops = np.concatenate([quads.reshape(-1), tris.reshape(-1)] + ngons)
        totals = np.concatenate([np.full(len(quads), 4), np.full(len(tris), 3),
                                 np.array([len(f) for f in ngons], dtype=int)]).astype(np.int32)
        mesh = bpy.data.meshes.new(name)
        mesh.vertices.add(len(verts))
        mesh.vertices.foreach_set("co", verts.astype(np.float32).reshape(-1))
        mesh.loops.add(len(loops))
        mesh.loops.foreach_set("vertex_index", loops)
        mesh.polygons.add(len(totals))
        mesh.polygons.foreach_set("loop_start", (np.cumsum(totals) - totals).astype(np.int32))
        mesh.polygons.foreach_set("loop_total", totals)
        mesh.polygons.foreach_set("use_smooth", np.ones(len(totals), dtype=bool))
        index = np.zeros(len(totals), dtype=np.int32)
        index[len(quads) + len(tris):] = [pool for _, pool in self.ngons]
        mesh.polygons.foreach_set("material_index", index)
        mesh.update(calc_edges=True)
        mesh.validate()
        values = np.concatenate(self.values)
        for k, name in enumerate(("tone", "ground", "hollow", "broken")):
            mesh.attributes.new(name, "FLOAT", "POINT").data.foreach_set("value", np.ascontiguousarray(values[:, k]))
        return kit.add_object(name, mesh)


def fallen_piece(parts, rng, middle, top, ground):
    """A length of column fallen out of the wall, lying on its side across the stumps' tops on one of its
    flat faces, a little irregular, its ends broken."""
    sides = rng.randint(5, 8)
    radius, length = rng.uniform(0.18, 0.32), rng.uniform(0.3, 1.0)
    turn = -math.pi / 2.0 + math.pi / sides + 2.0 * math.pi * np.arange(sides) / sides
    r = radius * rng.uniform(0.88, 1.12, sides)
    section = np.stack([r * np.cos(turn), r * np.sin(turn)], 1)
    section[:, 1] -= section[:, 1].min()  # lying on its lowest face
    ends = [np.column_stack([np.full(sides, x), section]) for x in (-length / 2.0, length / 2.0)]
    local = np.concatenate(ends)
    local[:, 1:] += rng.normal(0.0, 0.015, (len(local), 2))
    heading = rng.uniform(0.0, 2.0 * math.pi)
    c, s = math.cos(heading), math.sin(heading)
    place = middle + rng.normal(0.0, 0.15, 2)
    points = np.column_stack([place[0] + c * local[:, 0] - s * local[:, 1],
                              place[1] + s * local[:, 0] + c * local[:, 1], top - 0.04 + local[:, 2]])
    first = parts.add(points, (rng.uniform(), ground, 0.0, 0.3))
    parts.quads.append(first + band_quads(sides, [0]))
    parts.ngons.append((first + np.arange(sides)[::-1], 0))
    parts.ngons.append((first + sides + np.arange(sides), 0))


def columns(rng):
    """The columns, one mesh: prisms on the cells of a jittered lattice, five, six or seven sided and of
    varied width, a hairline joint between neighbours; a sheer wall of organ pipes under the cliff, and in
    front of it the broken stumps stepping down to the sand and the sea. The stumps' tops are dished or
    domed and chipped at the corners, some holding a pool of rain or spray, some broken off aslant, their
    sides cracked across. The wall is a colonnade of straight columns cracked across at every metre or two
    up to a band of broken rock, and above it an entablature of columns leaning and curving every way.
    Only the columns that can be seen are built: behind the wall's face the cliff's rock hides the rest."""
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
    ramp = 1.2 + 6.0 * np.exp(-((ca - 18.0) / 10.0) ** 2) + 3.0 * np.exp(-((ca - 75.0) / 8.0) ** 2)
    seen = d < ramp + 2.6  # the rows behind the wall's face are hidden
    keep_zone = (d > -causeway(ca) - 2.0 * spacing) & (d < ramp + 2.6 + 2.0 * spacing)
    ca, d, ramp, seen = ca[keep_zone], d[keep_zone], ramp[keep_zone], seen[keep_zone]
    cb = foot(ca) + d
    inside = (d > -causeway(ca)) & seen & (ca > -8.0) & (ca < 230.0)
    which = np.nonzero(inside)[0]
    cells = voronoi_cells(np.stack([ca, cb], 1), spacing, which)
    wall = wall_height(ca)
    # the causeway: low stumps near the sea rising in uneven steps to the mound at the wall's foot, and up
    # the mound in broken steps to the full height of the wall
    out_there = np.clip((d + causeway(ca)) / np.maximum(causeway(ca), 1.0), 0.0, 1.0)
    stump = 0.15 + 1.5 * out_there ** 1.5 + 0.45 * terrain.fbm(ca / 5.0, d / 5.0, 3, seed=136) * out_there
    rise = terrain.smoothstep(0.0, ramp, d + 0.8 * terrain.fbm(ca / 6.0, d / 6.0, 3, seed=135))
    height = np.where(d < 0.0, stump, stump + rise * np.maximum(wall - stump, 0.0))
    height = height + rng.uniform(-1.0, 1.0, len(ca)) * np.where(rise > 0.95, 0.35, 0.1 + 0.2 * out_there)
    # a few fallen out of the mound, and the odd one broken off high in the wall's face
    fallen = rng.uniform(0, 1, len(ca)) < np.where(rise > 0.95, 0.01, 0.06)
    height = np.where(fallen, height * rng.uniform(0.3, 0.8, len(ca)), height)
    height = np.clip(height, 0.12, None)
    wx, wy = terrain.from_view(ca, cb, LOOK)
    ground_z = sand(wx, wy)
    # the band between colonnade and entablature, and how the entablature's columns lean
    band = ground_z + (0.42 + 0.08 * terrain.fbm(ca / 30.0, 0.5, 2, seed=137)) * wall
    lean_a = 0.1 * terrain.fbm(ca / 9.0, d / 9.0, 3, seed=138)
    lean_b = 0.06 * terrain.fbm(ca / 9.0, d / 9.0 + 40.0, 3, seed=139)
    near = kit.detail >= 0.25
    parts = Pieces()
    owner, leaning, resting = [], [], []
    for c, corners in zip(which, cells):
        middle = corners.mean(0)
        corners = middle + (corners - middle) * (1.0 - 0.022 / spacing)  # the joint
        # near by worn round at the corners and dished on top; far off a plain prism is as good
        fine = near and ca[c] < 70.0
        outline = prism_rings(corners, 0.03) if fine else corners
        spoke = outline - middle
        inset = middle + spoke * (1.0 - 0.03 / spacing)
        base, top = ground_z[c] - 0.6, ground_z[c] + height[c]
        in_wall = height[c] > 4.0
        pooled = not in_wall and near and ca[c] < 45.0 and rng.uniform() < 0.12
        tilt = np.zeros(2) if pooled else rng.normal(0.0, 0.22 if rng.uniform() < 0.12 else 0.07, 2)
        lift = spoke @ tilt
        if fine and not pooled:
            # the corners chipped: most a little, now and then one knocked off a hand deep
            chips = rng.exponential(0.012, len(corners))
            chips[rng.randint(len(corners))] += rng.uniform(0.03, 0.14) if rng.uniform() < 0.35 else 0.0
            lift = lift - np.repeat(chips, len(outline) // len(corners))
        # the cross joints: on the stumps every half metre to a metre; on the wall's face every metre or
        # two up to the band and every few metres above it, and at the band
        joints = [base]
        if in_wall:
            z = ground_z[c] + rng.uniform(0.3, 1.5)
            while z < top - 1.0 and ca[c] < 140.0:
                if abs(z - band[c]) > 0.5:
                    joints.append(z)
                z += rng.uniform(0.6, 2.2) if z < band[c] else rng.uniform(1.5, 5.0)
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
        first_column = parts.count
        # the joints are not quite level: each tips a little its own way
        slopes = [np.zeros(n)] + [spoke @ rng.normal(0.0, 0.06, 2) for _ in joints[1:-1]] + [np.zeros(n)]
        for k in range(len(joints) - 1):
            z0, z1 = joints[k], joints[k + 1]
            last = k == len(joints) - 2
            # the band is a broad recess, other joints a hairline groove
            deep = in_wall and abs(z0 - band[c]) < 1e-6
            groove = (0.06 if deep else 0.015) if k > 0 else 0.0
            sunk = middle + spoke * (1.0 - (0.09 if deep else 0.03) / spacing)
            shift = rng.normal(0.0, 0.006, 2) if k > 0 else np.zeros(2)
            lower = sunk if k > 0 else outline
            if last:
                rings = [(lower, z0 + slopes[k]), (outline, z0 + groove + slopes[k]), (outline, z1 + lift - 0.03),
                         (inset, z1 + lift)]
            else:
                rings = [(lower, z0 + slopes[k]), (outline, z0 + groove + slopes[k]),
                         (outline, z1 - 0.015 + slopes[k + 1]), (inset, z1 + slopes[k + 1])]
            # in the wall's face, a piece broken off the top edge of some lengths below a joint: a bite out
            # of one side, its broken face looking up and out
            broken = in_wall and not last and rng.uniform() < 0.3
            if broken:
                t = rng.uniform(0.0, 2.0 * math.pi)
                along = spoke / np.linalg.norm(spoke, axis=1, keepdims=True)
                bite = rng.uniform(0.05, 0.16) * np.clip(along @ np.array([math.cos(t), math.sin(t)]) - 0.2, 0.0, 1.0) / 0.8
                top_ring = z1 - 0.015 + slopes[k + 1]
                rings[2:] = [(outline, top_ring - 1.8 * bite), (outline - bite[:, None] * along, top_ring),
                             (inset - bite[:, None] * along, z1 + slopes[k + 1])]
            xy = np.concatenate([r for r, _ in rings]) + shift
            zs = np.concatenate([np.broadcast_to(z, (n,)) for _, z in rings])
            points = np.column_stack([xy, zs])
            values = np.zeros((len(points), 4))
            values[:, 0], values[:, 1] = tone, ground_z[c]
            if broken:
                values[2 * n:4 * n, 3] = np.tile(bite > 0.02, 2)
            first = parts.add(points, values)
            parts.quads.append(first + band_quads(n, range(len(rings) - 1)))
            if k > 0:
                # the underside, where it stands out over a bite in the length below
                parts.ngons.append((first + np.arange(n)[::-1], 0))
            if not last:
                continue
            rim = first + 3 * n
            if pooled:
                # a dish in the top holding still water
                ring = middle + (inset - middle) * 0.86
                parts.add(np.column_stack([ring, np.full(n, z1 - 0.012)]), (tone, ground_z[c], 1.0, 0.0))
                parts.quads.append(rim + band_quads(n, [0]))
                parts.ngons.append((rim + n + np.arange(n), 1))
            elif not fine:
                parts.ngons.append((rim + np.arange(n), 0))
            else:
                # worn into a shallow dish or left a low dome; a dish holds grit and dark silt
                dome = rng.uniform(-0.035, 0.03)
                ring = middle + (inset - middle) * 0.55
                silt = min(max(-dome / 0.025, 0.0), 1.0)
                parts.add(np.column_stack([ring, z1 + lift * 0.55 + 0.7 * dome]), (tone, ground_z[c], 0.2 * silt, 0.0))
                parts.add(np.array([[middle[0], middle[1], z1 + dome]]), (tone, ground_z[c], silt, 0.0))
                parts.quads.append(rim + band_quads(n, [0]))
                m = np.arange(n)
                parts.tris.append(np.stack([rim + n + m, rim + n + (m + 1) % n, np.full(n, rim + 2 * n)], 1))
        if fine and not in_wall and not pooled and np.abs(tilt).max() < 0.08 and ca[c] > 14.0:
            resting.append((middle, top, ground_z[c]))
        if in_wall:
            owner.append(np.full(parts.count - first_column, c))
            leaning.append(np.arange(first_column, parts.count))
    for k in rng.choice(len(resting), min(len(resting), 25), replace=False) if resting else ():
        fallen_piece(parts, rng, *resting[k])
    verts = np.concatenate(parts.verts)
    # above the band the wall's columns lean, more the higher they go
    if leaning:
        owner, leaning = np.concatenate(owner), np.concatenate(leaning)
        up = np.maximum(verts[leaning, 2] - band[owner], 0.0)
        verts[leaning, 0] += lean_a[owner] * up
        verts[leaning, 1] += lean_b[owner] * up
    vx, vy = terrain.from_view(verts[:, 0], verts[:, 1], LOOK)
    obj = parts.mesh("columns", np.stack([vx, vy, verts[:, 2]], 1))
    mesh = obj.data
    # the edges a sharp break, the worn corners and the dished tops smooth
    mesh.use_auto_smooth = True
    mesh.auto_smooth_angle = math.radians(40.0)
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


def attribute(tree, name):
    return kit.node(tree, "ShaderNodeAttribute", attribute_name=name).outputs["Fac"]


def basalt(tree):
    """Basalt: near black and rough, each column its own shade, pitted with gas bubbles and cracked
    across its top, the corners knocked grey where they broke; silt and grit settled in the dished tops;
    rust and dark wet streaks running down the faces from the joints; crusts of grey and orange lichen in
    small rosettes on what faces the sky above the spray; dark and glossy low down where the sea wets it."""
    p = kit.coordinates(tree, "Object")
    tone = attribute(tree, "tone")
    hollow = attribute(tree, "hollow")
    broken = attribute(tree, "broken")
    colour = kit.ramp(tree, kit.math_node(tree, "ADD", kit.math_node(tree, "MULTIPLY", tone, 0.6),
                                          kit.math_node(tree, "MULTIPLY", kit.noise(tree, p, 3.0, 6.0, 0.6), 0.4)),
                      [(0.2, (0.03, 0.03, 0.031)), (0.6, (0.045, 0.043, 0.041)), (0.9, (0.07, 0.064, 0.058))])
    # fresh rock where a piece broke off: greyer, not yet darkened by weather
    colour = kit.mix_colour(tree, kit.math_node(tree, "MULTIPLY", broken, 0.8), colour, (0.085, 0.078, 0.07, 1.0))
    z = kit.node(tree, "ShaderNodeSeparateXYZ", {0: p}).outputs["Z"]
    up = facing_up(tree)
    side = kit.map_range(tree, up, 0.6, 0.3)
    # streaks run down the faces: rust in some, dark wet stain in others
    streaks = kit.node(tree, "ShaderNodeMapping", {"Vector": p, "Scale": (1.0, 1.0, 0.06)}).outputs[0]
    rust = kit.map_range(tree, kit.noise(tree, streaks, 1.5, 5.0, 0.6), 0.52, 0.68)
    rust = kit.math_node(tree, "MULTIPLY", rust, kit.map_range(tree, kit.noise(tree, p, 0.25, 3.0), 0.4, 0.6))
    colour = kit.mix_colour(tree, kit.math_node(tree, "MULTIPLY", rust, 0.8), colour, (0.065, 0.03, 0.013, 1.0))
    stain = kit.map_range(tree, kit.noise(tree, streaks, 3.0, 4.0, 0.6, 0.5), 0.55, 0.7)
    stain = kit.math_node(tree, "MULTIPLY", stain, side)
    colour = kit.mix_colour(tree, kit.math_node(tree, "MULTIPLY", stain, 0.45), colour, (0.01, 0.01, 0.011, 1.0))
    # height above the sand the column stands on: the spray's reach
    above = kit.math_node(tree, "SUBTRACT", z, attribute(tree, "ground"))
    dry = kit.map_range(tree, above, 0.5, 1.4)
    # silt in the dishes and in the cracks
    cells = kit.node(tree, "ShaderNodeTexVoronoi", {"Vector": p, "Scale": 2.2, "Randomness": 1.0},
                     feature="DISTANCE_TO_EDGE").outputs["Distance"]
    crack = kit.math_node(tree, "MULTIPLY", kit.map_range(tree, cells, 0.02, 0.0),
                          kit.map_range(tree, kit.noise(tree, p, 0.8, 3.0), 0.45, 0.55))
    grit = kit.math_node(tree, "MAXIMUM", kit.math_node(tree, "MULTIPLY", hollow,
                                                         kit.map_range(tree, kit.noise(tree, p, 8.0, 4.0), 0.3, 0.6)),
                         crack)
    colour = kit.mix_colour(tree, kit.math_node(tree, "MULTIPLY", grit, 0.6), colour, (0.014, 0.013, 0.012, 1.0))
    # lichen: small rosettes, grey and orange, on what faces the sky out of the spray, a few on the faces
    rosettes = kit.node(tree, "ShaderNodeTexVoronoi", {"Vector": p, "Scale": 9.0, "Randomness": 1.0})
    spot = kit.map_range(tree, rosettes.outputs["Distance"], 0.42, 0.3)
    where = kit.math_node(tree, "MULTIPLY", dry, kit.map_range(tree, kit.noise(tree, p, 0.7, 4.0, 0.6), 0.5, 0.65))
    where = kit.math_node(tree, "MULTIPLY", where, kit.math_node(tree, "MAXIMUM", kit.map_range(tree, up, 0.6, 0.9), 0.3))
    lichen = kit.math_node(tree, "MULTIPLY", spot, where)
    kind = kit.node(tree, "ShaderNodeSeparateRGB", {0: rosettes.outputs["Color"]}).outputs[0]
    crust = kit.mix_colour(tree, kit.map_range(tree, kind, 0.7, 0.75, 0.0, 1.0, smooth=False),
                           (0.07, 0.072, 0.064, 1.0), (0.14, 0.07, 0.018, 1.0))
    crust = kit.mix_colour(tree, kit.noise(tree, p, 30.0, 3.0), crust, (0.03, 0.03, 0.028, 1.0), "MULTIPLY")
    colour = kit.mix_colour(tree, kit.math_node(tree, "MULTIPLY", lichen, 0.9), colour, crust)
    # wet: low down where the spray reaches, patchy, and in the dishes
    wet = kit.map_range(tree, above, 1.0, 0.25)
    wet = kit.math_node(tree, "MULTIPLY", wet, kit.map_range(tree, kit.noise(tree, p, 0.5, 3.0), 0.35, 0.55))
    wet = kit.math_node(tree, "MAXIMUM", wet, kit.math_node(tree, "MULTIPLY", hollow, 0.5))
    colour = kit.mix_colour(tree, kit.math_node(tree, "MULTIPLY", wet, 0.45), colour, (0.0, 0.0, 0.0, 1.0))
    # relief: the faces uneven, a little gritty, the cracks cut in (finer grain than this only sparkles)
    relief = kit.math_node(tree, "ADD", kit.math_node(tree, "MULTIPLY", kit.noise(tree, p, 1.6, 4.0, 0.55), 0.03),
                           kit.math_node(tree, "MULTIPLY", kit.noise(tree, p, 9.0, 2.0, 0.5), 0.0015))
    relief = kit.math_node(tree, "SUBTRACT", relief, kit.math_node(tree, "MULTIPLY", crack, 0.006))
    relief = kit.math_node(tree, "ADD", relief, kit.math_node(tree, "MULTIPLY", lichen, 0.0015))
    normal = kit.bump(tree, relief, 1.0, 1.0)
    # dry it is a rough stone whose sheen the relief breaks up; wet it shines
    rough = kit.map_range(tree, wet, 0.0, 1.0, 0.45, 0.15)
    shader = kit.principled(tree, colour, rough, normal=normal, specular=0.5)
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
    """The sea: a long swell under a skin of ripples that draw the reflections out into streaks, foam
    where it breaks on the sand, along the causeway's edge and round the stacks' feet."""
    p = kit.coordinates(tree, "Object")
    foam = attribute(tree, "foam")
    streaks = kit.node(tree, "ShaderNodeMapping", {"Vector": p, "Scale": (1.0, 3.0, 1.0)}).outputs[0]
    lace = kit.map_range(tree, kit.noise(tree, streaks, 0.4, 8.0, 0.65, 0.6), 0.3, 0.6)
    broken = kit.math_node(tree, "MULTIPLY", foam, lace)
    # ripples longer across the wind than along it: cat's paws over a finer chop
    stretched = kit.node(tree, "ShaderNodeMapping", {"Vector": p, "Scale": (0.35, 1.0, 1.0),
                                                     "Rotation": (0.0, 0.0, math.radians(LOOK + 100.0))}).outputs[0]
    ripple = kit.math_node(tree, "ADD", kit.math_node(tree, "MULTIPLY", kit.noise(tree, stretched, 1.2, 4.0, 0.6), 0.05),
                           kit.math_node(tree, "MULTIPLY", kit.noise(tree, stretched, 7.0, 3.0, 0.6), 0.008))
    gust = kit.map_range(tree, kit.noise(tree, p, 0.02, 3.0), 0.35, 0.65, 0.4, 1.0)
    # and the swell's long crests, too fine for the mesh far off, in the shading
    heading = kit.node(tree, "ShaderNodeMapping", {"Vector": p, "Rotation": (0.0, 0.0, math.radians(LOOK + 10.0))}).outputs[0]
    crests = kit.node(tree, "ShaderNodeTexWave", {"Vector": heading, "Scale": 0.012, "Distortion": 3.0, "Detail": 2.0,
                                                  "Detail Scale": 1.0}, bands_direction="X").outputs["Fac"]
    swell = kit.math_node(tree, "MULTIPLY", crests, 0.35)
    normal = kit.bump(tree, kit.math_node(tree, "ADD", kit.math_node(tree, "MULTIPLY", ripple, gust), swell), 1.0, 1.0)
    water = kit.principled(tree, (0.01, 0.018, 0.02), 0.04, specular=0.5, normal=normal)
    froth = kit.principled(tree, (0.62, 0.64, 0.64), 0.6)
    return air.hazed(tree, kit.node(tree, "ShaderNodeMixShader", {0: broken, 1: water, 2: froth}).outputs[0],
                     3000.0, 300.0)


STACKS = [(420.0, -90.0, 14.0, 55.0), (470.0, -60.0, 8.0, 38.0), (520.0, -105.0, 6.0, 22.0)]  # ahead, right, wide, high


def surf(a, b, floor, pz):
    """Foam on the sea: on the sand's shallows and the crests, against the causeway's edge, round the stacks."""
    shallows = terrain.smoothstep(-5.0, 0.3, floor) * (0.6 + 0.4 * np.clip(pz / 0.6, 0.0, 1.0))
    outward = foot(a) - causeway(a) - b  # metres out from the causeway's last columns
    edge = terrain.smoothstep(3.5, 0.0, outward) * terrain.smoothstep(-1.0, 0.5, outward)
    foam = np.maximum(shallows, 0.9 * edge)
    for sa, sb, w, _ in STACKS:
        ring = np.hypot(a - sa, b - sb) - 0.55 * w
        foam = np.maximum(foam, 0.8 * terrain.smoothstep(5.0, 0.0, ring))
    return foam


def build():
    air.sky(*SUN, dust=3.0, clouds=[
        dict(height=900.0, scale=1400.0, coverage=0.7, opacity=4.0, stretch=2.5, heading=70.0, seed=51.0,
             shadow=0.9, ambient=0.8),
        dict(height=3000.0, scale=3000.0, coverage=0.6, opacity=3.0, stretch=3.0, heading=40.0, seed=52.0,
             shadow=0.5, ambient=0.9)], sun_strength=0.3)
    rng = np.random.RandomState(13)
    x, y = terrain.view_grid((0.0, 0.0), LOOK, 110.0, 0.5, 20000.0, kit.scaled(1500), kit.scaled(1100))
    land_z = beach(x, y)
    land = terrain.grid_object("beach", x, y, land_z, kit.material("ground", ground))
    a, b = terrain.to_view(x, y, LOOK)
    land.data.attributes.new("inland", "FLOAT", "POINT").data.foreach_set(
        "value", (b - shore(a)).reshape(-1).astype(np.float32))
    land.data.attributes.new("behind", "FLOAT", "POINT").data.foreach_set(
        "value", (b - foot(a)).reshape(-1).astype(np.float32))
    waves = terrain.wave_train(48, LOOK + 100.0, 15.0, 60.0, 0.3, 1.6, 0.9, seed=13)
    px, py, pz = terrain.sea(x, y, waves)
    floor = land_z  # the sea's points moved sideways by less than the sand changes over
    pz = pz * terrain.smoothstep(1.0, -4.0, floor)  # the swell dies away as it runs up the sand
    sea = terrain.grid_object("sea", px, py, pz, kit.material("sea", sea_material))
    sa, sb = terrain.to_view(px, py, LOOK)
    foam = surf(sa, sb, floor, pz)
    sea.data.attributes.new("foam", "FLOAT", "POINT").data.foreach_set("value", foam.reshape(-1).astype(np.float32))
    cols = columns(rng)
    cols.data.materials.append(kit.material("basalt", basalt))
    cols.data.materials.append(kit.material("pool", pool))
    # sea stacks off the point
    stack_mat = kit.material("stack basalt", basalt)
    for i, (a, b, w, h) in enumerate(STACKS):
        sx0, sy0 = terrain.from_view(a, b, LOOK)
        # split along its joints: sheer walls, a broken top
        kit.fractured("stack %d" % i, (w, w * 0.8, h * 0.7), cuts=30, seed=90 + i, upright=0.8, depth=(0.6, 0.95),
                      location=(sx0, sy0, h * 0.35), rotation=(0.0, 0.0, 0.6 * i), mat=stack_mat)
    # standing up on the rocks at the causeway's edge, looking down on the tops of the columns
    target = kit.direction(-10.0, LOOK + 2.0)
    eye_z = float(beach(np.array([0.0]), np.array([0.0]))[0]) + 2.7
    kit.camera((0.0, 0.0, eye_z), (target.x, target.y, eye_z + target.z), 66.0)
    kit.film(exposure=-2.5)
