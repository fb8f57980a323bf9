"""An alpine lake on a still morning: a massive snowy range lit from the side, its ridges and gullies worn by
ice and water, a paler range beyond it in the haze; spruce forest down to the far shore, the whole mirrored in
the glassy water; at the camera's feet clear shallows over pebbles, and granite boulders standing in them."""
import math

import numpy as np

import air
import kit
import terrain

SAMPLES = 32
DENOISE = 3.0
# the sky and still water settle in a few samples: let adaptive sampling stop there early
CYCLES = {"adaptive_min_samples": 12}
SUN = (19.0, 108.0)  # mid-morning, from the east: the east faces lit, the west ones in shade, ridges raked
LOOK = 4.0
EYE = (0.0, 0.0)  # standing in the shallows at the south shore
LAKE = (0.0, 1300.0, 2800.0, 1380.0)  # centre x, y and radii of the lake's oval basin
# the great summits, (x, y, height, reach), and those of the range behind, far in the haze
PEAKS = [(-2500.0, 6100.0, 2000.0, 1900.0), (900.0, 7000.0, 2600.0, 2200.0), (3900.0, 5900.0, 1800.0, 1700.0),
         (-6200.0, 7400.0, 1700.0, 2200.0), (6900.0, 7800.0, 1800.0, 2300.0),
         (-3500.0, 15500.0, 3000.0, 3500.0), (5000.0, 16500.0, 3300.0, 3800.0)]
# the height field of the range, worked on as an array: its extent and cell count along x and y
AREA = (-13000.0, 13000.0, -500.0, 23500.0)
CELLS = (1040, 960)
SNOW_LINE = 1100.0  # metres above the lake
TREE_LINE = 520.0

_fields = {}


def _basin(x, y):
    """How far out from the lake's middle a point lies: 1 on the shore, with a wandering outline."""
    cx, cy, rx, ry = LAKE
    return np.hypot((x - cx) / rx, (y - cy) / ry) * (1.0 + 0.1 * terrain.fbm(x / 900.0, y / 900.0, 3, seed=40))


def _drainage(z):
    """For each cell the number of cells whose water flows through it, each draining to its steepest
    lower neighbour."""
    rows, cols = z.shape
    padded = np.pad(z, 1, mode="edge")
    index = np.arange(rows * cols).reshape(rows, cols)
    pindex = np.pad(index, 1, mode="edge")
    receiver, steepest = index.copy(), np.zeros_like(z)
    for dy in (-1, 0, 1):
        for dx in (-1, 0, 1):
            if dx or dy:
                near = padded[1 + dy:1 + dy + rows, 1 + dx:1 + dx + cols]
                drop = (z - near) / math.hypot(dx, dy)
                better = drop > steepest
                steepest = np.where(better, drop, steepest)
                receiver = np.where(better, pindex[1 + dy:1 + dy + rows, 1 + dx:1 + dx + cols], receiver)
    flow = [1.0] * (rows * cols)
    to = receiver.reshape(-1).tolist()
    for i in np.argsort(-z.reshape(-1)).tolist():
        j = to[i]
        if j != i:
            flow[j] += flow[i]
    return np.array(flow).reshape(rows, cols)


def _slump(z, cell, talus, rounds, fixed=None):
    """Thermal erosion: wherever a cell stands higher than `talus` (a gradient) over a neighbour, part of
    the excess slides down to it, until no slope is steeper than scree rests at; no needles survive."""
    limit = talus * cell
    for _ in range(rounds):
        for dy, dx in ((1, 0), (-1, 0), (0, 1), (0, -1)):
            moved = np.clip(z - _shifted(z, dy, dx) - limit, 0.0, None) * 0.25
            if fixed is not None:
                moved = np.where(fixed, 0.0, moved)
            # what a cell sheds lands on the neighbour it sheds to; nothing comes in over the edges
            z = z - moved + _shifted(moved, -dy, -dx, 0.0)
    return z


def _shifted(a, dy, dx, outside=None):
    """`a` at each cell's neighbour `dy` rows and `dx` columns away; past the edge the edge, or `outside`."""
    p = np.pad(a, 1, mode="edge") if outside is None else np.pad(a, 1, constant_values=outside)
    return p[1 + dy:1 + dy + a.shape[0], 1 + dx:1 + dx + a.shape[1]]


def _blur(a, passes):
    for _ in range(passes):
        a = (_shifted(a, 1, 0) + _shifted(a, -1, 0) + _shifted(a, 0, 1) + _shifted(a, 0, -1) + 4.0 * a) / 8.0
    return a


def _build_fields():
    """The range as arrays on a regular grid: height, and the snow and forest cover that go with it."""
    x0, x1, y0, y1 = AREA
    nx, ny = kit.scaled(CELLS[0], 80), kit.scaled(CELLS[1], 74)
    x, y = np.meshgrid(np.linspace(x0, x1, nx), np.linspace(y0, y1, ny))
    cell = (x1 - x0) / (nx - 1)
    # warped coordinates, so that ridges bend and branch instead of running straight
    wx = x + 1100.0 * terrain.fbm(x / 5200.0, y / 5200.0, 4, seed=41)
    wy = y + 1100.0 * terrain.fbm(x / 5200.0 + 3.1, y / 5200.0, 4, seed=42)
    envelope = 320.0 + 200.0 * terrain.fbm(x / 7000.0, y / 7000.0, 2, seed=44)
    for px, py, height, reach in PEAKS:
        envelope = envelope + height * np.exp(-(np.hypot(wx - px, wy - py) / reach) ** 2)
    crests = terrain.ridged(wx / 4200.0, wy / 4200.0, 5, gain=1.6, roughness=1.0, seed=43)
    z = envelope * (0.25 + 0.9 * crests ** 1.2)
    # buttresses and spurs, smaller where the face is already steep, as a steep face sheds what it gets
    gy, gx = np.gradient(z, cell)
    steep = np.hypot(gx, gy)
    z = z + 120.0 * terrain.fbm(wx / 900.0, wy / 900.0, 4, seed=45) / (1.0 + 2.0 * steep ** 2)
    e = _basin(x, y)
    rise = terrain.smoothstep(1.0, 1.6, e)
    lake = np.where(e < 1.0, -45.0 * np.sqrt(np.clip(1.0 - e, 0.0, 1.0)), 60.0 * (e - 1.0))
    z = lake + z * rise
    # water cuts valleys down the fall lines, deeper the more ground drains through them; the sides then
    # slump to the angle scree holds, into V-shaped gullies between sharp ridges
    water = e < 1.0
    for rounds in range(2):
        flow = _drainage(z) * (cell / 25.0) ** 2
        cut = np.minimum(7.0 * np.sqrt(flow), 0.3 * np.clip(z, 0.0, None)) * terrain.smoothstep(1.05, 1.4, e)
        z = _slump(z - _blur(cut, 1), cell, 1.05, 24, water)
    z = _slump(z, cell, 0.95, 12, water)
    # ribs and buttresses of harder rock standing out of the steep faces
    gy, gx = np.gradient(z, cell)
    ribs = terrain.ridged(wx / 280.0, wy / 280.0, 3, gain=1.5, seed=46) - 0.45
    z = z + 45.0 * ribs * terrain.smoothstep(0.35, 0.9, np.hypot(gx, gy)) * terrain.smoothstep(200.0, 700.0, z)
    # the lake keeps its shore: what slumped into the water stays below it
    z = np.where(water, np.minimum(z, lake), z)
    gy, gx = np.gradient(z, cell)
    slope = np.hypot(gx, gy)
    hollow = _blur(z, 3) - z  # positive in gullies and hollows, negative on ridges
    gully = terrain.smoothstep(0.0, 18.0, hollow) * terrain.smoothstep(1.5, 4.0, np.log10(flow + 1.0))
    line = SNOW_LINE + 180.0 * terrain.fbm(x / 1500.0, y / 1500.0, 3, seed=47) - 120.0 * (gy > 0.0)
    lying = terrain.smoothstep(line - 120.0, line + 220.0, z) * terrain.smoothstep(1.45, 0.8, slope)
    # snow runs down the gullies well below the line, and settles in hollows; ridges are blown bare
    runs = np.maximum(gully, terrain.smoothstep(2.0, 12.0, hollow) * 0.8) * terrain.smoothstep(line - 650.0, line - 150.0, z)
    snow = np.clip(np.maximum(lying, runs * terrain.smoothstep(2.0, 1.0, slope)) - 0.35 * terrain.smoothstep(-10.0, -30.0, hollow), 0.0, 1.0)
    woods = (terrain.smoothstep(TREE_LINE + 120.0, TREE_LINE - 120.0, z + 150.0 * terrain.fbm(x / 600.0, y / 600.0, 3, seed=48))
             * terrain.smoothstep(0.95, 0.6, slope) * (z > 1.5))
    _fields.update(x0=x0, y0=y0, cell=cell, shape=z.shape, height=z, snow=snow, woods=woods)


def field(name, x, y):
    """The array `name` at the points (x, y), interpolated; outside the area, its edge."""
    if not _fields:
        _build_fields()
    a = _fields[name]
    fx = np.clip((x - _fields["x0"]) / _fields["cell"], 0.0, a.shape[1] - 1.001)
    fy = np.clip((y - _fields["y0"]) / _fields["cell"], 0.0, a.shape[0] - 1.001)
    i, j = fy.astype(int), fx.astype(int)
    u, v = fx - j, fy - i
    return ((a[i, j] * (1 - u) + a[i, j + 1] * u) * (1 - v) + (a[i + 1, j] * (1 - u) + a[i + 1, j + 1] * u) * v)


def shallows(x, y):
    """The lake's floor near the camera, shelving gently from the shore."""
    d = np.hypot(x - EYE[0], y - EYE[1] + 3.0)
    return -30.0 * (1.0 - np.exp(-(0.04 * d) / 30.0)) + 0.05 * terrain.fbm(x / 1.5, y / 1.5, 3, seed=49)


def ground(x, y):
    far = field("height", x, y) + 2.0 * terrain.fbm(x / 30.0, y / 30.0, 3, seed=50)
    w = terrain.smoothstep(250.0, 700.0, np.hypot(x - EYE[0], y - EYE[1]))
    return shallows(x, y) * (1.0 - w) + np.where(_basin(x, y) < 0.97, np.minimum(far, -1.0), far) * w


def attribute(tree, name):
    return kit.node(tree, "ShaderNodeAttribute", attribute_name=name).outputs["Fac"]


def land(tree):
    p = kit.coordinates(tree, "Object")
    z = kit.node(tree, "ShaderNodeSeparateXYZ", {0: p}).outputs["Z"]
    # rock in world metres: blocky colour patches, streaks of weathering down the faces
    streaks = kit.node(tree, "ShaderNodeMapping", {"Vector": p, "Scale": (1.0, 1.0, 0.25)}).outputs[0]
    tone = kit.math_node(tree, "ADD", kit.math_node(tree, "MULTIPLY", kit.noise(tree, p, 0.012, 5.0, 0.6), 0.6),
                         kit.math_node(tree, "MULTIPLY", kit.noise(tree, streaks, 0.05, 4.0, 0.6), 0.4))
    rock = kit.ramp(tree, tone, [(0.3, (0.03, 0.03, 0.031)), (0.45, (0.07, 0.068, 0.066)), (0.6, (0.12, 0.115, 0.108)),
                                 (0.75, (0.2, 0.19, 0.175))])
    # crags: broken, twisted relief tens of metres across
    crags = kit.noise(tree, p, 0.02, 6.0, 0.6, 1.5)
    # snow: the cover worked out with the shape, its edges broken into drifts and rock ribs
    edge = kit.math_node(tree, "ADD", attribute(tree, "snow"),
                         kit.math_node(tree, "MULTIPLY", kit.math_node(tree, "SUBTRACT", kit.noise(tree, p, 0.03, 6.0, 0.65), 0.5), 0.7))
    snow = kit.map_range(tree, edge, 0.38, 0.5)
    # forest floor and meadow low down, a pale band of stones at the waterline
    woods = kit.ramp(tree, kit.noise(tree, p, 0.02, 4.0), [(0.35, (0.016, 0.026, 0.014)), (0.65, (0.035, 0.05, 0.024))])
    colour = kit.mix_colour(tree, kit.map_range(tree, attribute(tree, "woods"), 0.2, 0.8), rock, woods)
    strand = kit.math_node(tree, "MULTIPLY", kit.map_range(tree, z, -0.5, 0.2), kit.map_range(tree, z, 3.0, 1.5))
    colour = kit.mix_colour(tree, strand, colour, (0.16, 0.15, 0.13, 1.0))
    colour = kit.mix_colour(tree, snow, colour, (0.82, 0.84, 0.88, 1.0))
    relief = kit.math_node(tree, "ADD", kit.math_node(tree, "MULTIPLY", crags, 1.2), kit.math_node(
        tree, "ADD", kit.noise(tree, p, 0.04, 8.0, 0.6), kit.math_node(tree, "MULTIPLY", kit.noise(tree, streaks, 0.15, 4.0), 0.5)))
    normal = kit.bump(tree, relief, kit.map_range(tree, snow, 0.0, 1.0, 0.8, 0.3), 8.0)
    shader = kit.principled(tree, colour, kit.map_range(tree, snow, 0.0, 1.0, 0.85, 0.55), normal=normal)
    return air.hazed(tree, shader, 14000.0, 3000.0, tint=(0.92, 0.97, 1.05))


def lake_floor(tree):
    """Pebbles under the shallows: round stones of many colours, half buried in grit, dark with silt further out."""
    p = kit.coordinates(tree, "Object")
    # round stones with grit between: the distance from each stone's middle makes its dome
    cells = kit.node(tree, "ShaderNodeTexVoronoi", {"Vector": p, "Scale": 9.0, "Randomness": 0.85})
    shade = kit.node(tree, "ShaderNodeSeparateXYZ", {0: cells.outputs["Color"]}).outputs[0]
    stones = kit.ramp(tree, shade, [(0.0, (0.04, 0.037, 0.034)), (0.35, (0.1, 0.092, 0.08)), (0.6, (0.17, 0.15, 0.12)),
                                    (0.85, (0.07, 0.065, 0.06)), (1.0, (0.22, 0.21, 0.19))])
    dome = kit.map_range(tree, cells.outputs["Distance"], 0.5, 0.2)
    colour = kit.mix_colour(tree, kit.map_range(tree, dome, 0.0, 0.3), (0.08, 0.072, 0.06, 1.0), stones)
    # silt drifts over the stones in patches, so the stones never tile the whole floor
    silt = kit.map_range(tree, kit.noise(tree, p, 0.35, 5.0, 0.6), 0.42, 0.58)
    colour = kit.mix_colour(tree, silt, colour, kit.ramp(tree, kit.noise(tree, p, 3.0, 4.0), [
        (0.3, (0.05, 0.046, 0.036)), (0.7, (0.085, 0.078, 0.06))]))
    dome = kit.math_node(tree, "MULTIPLY", dome, kit.math_node(tree, "SUBTRACT", 1.0, silt))
    z = kit.node(tree, "ShaderNodeSeparateXYZ", {0: p}).outputs["Z"]
    colour = kit.mix_colour(tree, kit.map_range(tree, z, -1.0, -4.0), colour, (0.03, 0.035, 0.025, 1.0))
    normal = kit.bump(tree, kit.math_node(tree, "ADD", dome, kit.math_node(tree, "MULTIPLY", kit.noise(tree, p, 30.0, 3.0), 0.1)),
                      0.8, 0.04)
    return kit.principled(tree, colour, 0.5, normal=normal)


def needles(tree):
    p = kit.coordinates(tree, "Object")
    colour = kit.ramp(tree, kit.noise(tree, p, 3.0, 2.0), [(0.3, (0.016, 0.03, 0.016)), (0.7, (0.04, 0.055, 0.028))])
    return air.hazed(tree, kit.principled(tree, colour, 0.8), 14000.0, 3000.0, tint=(0.92, 0.97, 1.05))


def granite(tree):
    """Grey granite boulders: pale above, dark and wet at the waterline, greened below it."""
    p = kit.coordinates(tree, "Object")
    w = kit.node(tree, "ShaderNodeNewGeometry").outputs["Position"]
    crystals = kit.node(tree, "ShaderNodeTexVoronoi", {"Vector": w, "Scale": 60.0}).outputs["Color"]
    grain = kit.node(tree, "ShaderNodeSeparateXYZ", {0: crystals}).outputs[0]
    colour = kit.ramp(tree, grain, [(0.0, (0.03, 0.03, 0.03)), (0.2, (0.03, 0.03, 0.03)), (0.25, (0.085, 0.082, 0.078)),
                                    (0.8, (0.13, 0.124, 0.116)), (0.92, (0.2, 0.19, 0.175))])
    lichen = kit.map_range(tree, kit.noise(tree, w, 1.5, 5.0, 0.6), 0.55, 0.65, 0.0, 0.7)
    colour = kit.mix_colour(tree, lichen, colour, (0.2, 0.2, 0.15, 1.0))
    world_z = kit.node(tree, "ShaderNodeSeparateXYZ", {0: w}).outputs["Z"]
    wet = kit.map_range(tree, kit.math_node(tree, "ADD", world_z, kit.math_node(tree, "MULTIPLY", kit.noise(tree, w, 6.0, 3.0), 0.06)),
                        0.12, 0.02)
    colour = kit.mix_colour(tree, kit.math_node(tree, "MULTIPLY", wet, 0.75), colour, (0.03, 0.03, 0.025, 1.0))
    colour = kit.mix_colour(tree, kit.map_range(tree, world_z, -0.05, -0.4, 0.0, 0.8), colour, (0.05, 0.06, 0.03, 1.0))
    normal = kit.bump(tree, kit.math_node(tree, "ADD", kit.noise(tree, p, 3.0, 6.0, 0.6),
                                          kit.math_node(tree, "MULTIPLY", kit.noise(tree, w, 40.0, 2.0), 0.2)), 0.8, 0.08)
    return kit.principled(tree, colour, kit.map_range(tree, wet, 0.0, 1.0, 0.7, 0.2), normal=normal)


# Boulders in the shallows: (metres ahead, metres right, radius)
BOULDERS = [(7.5, -2.6, 0.9), (9.5, -1.2, 0.5), (6.0, 2.8, 0.45), (13.0, 3.6, 1.3), (18.0, -6.5, 1.6),
            (11.0, 0.8, 0.3), (24.0, 1.5, 0.8)]


def build():
    air.sky(*SUN, dust=0.35, air=1.0, ozone=1.5, clouds=[
        dict(height=6000.0, scale=4000.0, coverage=0.2, opacity=1.5, stretch=3.0, heading=30.0, seed=7.0)])
    x, y = terrain.view_grid(EYE, LOOK, 96.0, 1.0, 30000.0, kit.scaled(2400), kit.scaled(1100))
    z = ground(x, y)
    # the shallows' floor is pebbles, the rest of the ground rock, snow and forest
    near = np.hypot(x - EYE[0], y - EYE[1]) < 360.0
    terrain.grid_object("floor", x, y, z, kit.material("pebbles", lake_floor), keep=near)
    valley = terrain.grid_object("valley", x, y, z, kit.material("land", land), keep=~near)
    for name in ("snow", "woods"):
        values = field(name, x, y) * terrain.smoothstep(250.0, 700.0, np.hypot(x - EYE[0], y - EYE[1]))
        valley.data.attributes.new(name, "FLOAT", "POINT").data.foreach_set("value", values.reshape(-1).astype(np.float32))
    # still, clear water: through it near the feet, a mirror further out
    wx, wy = terrain.view_grid(EYE, LOOK, 120.0, 0.3, 30000.0, kit.scaled(200, 16), kit.scaled(60, 8))
    terrain.grid_object("lake", wx, wy, np.zeros_like(wx), kit.material(
        "water", lambda t: kit.clear_water(t, (0.35, 0.6, 0.5), 1.3, 0.0)))
    # spruces on the slopes round the lake, up to the tree line
    rng = np.random.RandomState(5)
    count = kit.scaled(160000, 400)
    tx, ty = rng.uniform(-7000.0, 7000.0, count), rng.uniform(1500.0, 9000.0, count)
    tz = ground(tx, ty)
    keep = (tz > 1.0) & (rng.uniform(0.0, 1.0, count) < field("woods", tx, ty) ** 0.7)
    mat = kit.material("needles", needles)
    templates = [kit.spruce("spruce %d" % i, 1.0, 16, 8, mat, seed=30 + i) for i in range(4)]
    size = rng.uniform(14.0, 30.0, count) * (1.0 - 0.4 * terrain.smoothstep(200.0, TREE_LINE, tz))
    kit.scatter("forest", templates, np.stack([tx, ty, tz - 0.5], 1)[keep], size[keep],
                rng.uniform(0.0, 6.3, count)[keep], rng.randint(0, 4, count)[keep])
    # boulders standing in the shallows, sunk into the floor
    stone = kit.material("granite", granite)
    for i, (ahead, right, r) in enumerate(BOULDERS):
        bx, by = terrain.from_view(ahead, right, LOOK)
        floor = float(shallows(np.array([bx]), np.array([by]))[0])
        kit.fractured("boulder %d" % i, (r * 1.4, r * 1.1, r * 0.9), 16, 60 + i, upright=0.5, depth=(0.6, 0.95),
                      location=(bx, by, floor + r * 0.2), rotation=(rng.uniform(-0.2, 0.2), 0.0, rng.uniform(0.0, 6.3)),
                      mat=stone, subdivisions=4, crease=40.0)
    eye = (EYE[0], EYE[1], 1.6)
    target = kit.direction(3.0, LOOK)
    kit.camera(eye, (eye[0] + target.x, eye[1] + target.y, eye[2] + target.z), 62.0)
    kit.film(exposure=-4.2)
