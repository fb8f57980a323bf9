"""An alpine lake on a still morning: a massive snowy range lit from the side, its ridges and gullies worn by
ice and water, its faces broken into cliff bands over ledges that hold the snow, a paler range beyond it in the
haze; spruce forest up the lower slopes to the far shore, the whole mirrored in the glassy water; at the
camera's feet a beach of gravel and cobbles, and granite boulders standing half out of the clear shallows."""
import math

import numpy as np

import air
import kit
import terrain

SAMPLES = 48
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
SNOW_LINE = 900.0  # metres above the lake
TREE_LINE = 680.0
SHORE = 9.0  # metres from the camera to the water's edge, straight ahead
STRATUM = 48.0  # the thickness of the rock's beds, each a ledge under a cliff band

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
    # the lower flanks lie under aprons of scree and moraine, which fill the gullies' feet
    apron = terrain.smoothstep(800.0, 150.0, z) * ~water
    z = z + 0.85 * apron * np.clip(_blur(z, 8) - z, 0.0, None)
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
    # the slope of a face as a whole, not of each gully's side: snow lies in fields over whole faces that
    # are not too steep, and forest climbs a flank as one
    gby, gbx = np.gradient(_blur(z, 4), cell)
    broad = np.hypot(gbx, gby)
    line = SNOW_LINE + 180.0 * terrain.fbm(x / 1500.0, y / 1500.0, 3, seed=47) - 120.0 * (gy > 0.0)
    lying = terrain.smoothstep(line - 150.0, line + 250.0, z) * terrain.smoothstep(2.4, 1.3, broad)
    # snow runs down the gullies well below the line, and settles in hollows; ridges are blown bare
    runs = np.maximum(gully, terrain.smoothstep(2.0, 12.0, hollow) * 0.8) * terrain.smoothstep(line - 650.0, line - 150.0, z)
    snow = np.clip(np.maximum(lying, runs * terrain.smoothstep(2.0, 1.0, slope)) - 0.35 * terrain.smoothstep(-10.0, -30.0, hollow), 0.0, 1.0)
    woods = (terrain.smoothstep(TREE_LINE + 120.0, TREE_LINE - 120.0, z + 150.0 * terrain.fbm(x / 600.0, y / 600.0, 3, seed=48))
             * terrain.smoothstep(1.6, 1.0, broad) * (z > 0.3))
    _fields.update(x0=x0, y0=y0, cell=cell, shape=z.shape, height=z, snow=snow, woods=woods, slope=slope)


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


def shore(x, y):
    """How far ahead of the camera the water's edge lies along the line through (x, y): a wandering line."""
    ahead, across = terrain.to_view(x - EYE[0], y - EYE[1], LOOK)
    return SHORE + 1.2 * terrain.fbm(across / 6.0, 0.3, 3, seed=51) + 0.4 * terrain.fbm(across / 1.5, 0.7, 2, seed=52)


def shallows(x, y):
    """The beach at the camera's feet and the lake's floor beyond it, shelving gently from the water's edge."""
    ahead, _ = terrain.to_view(x - EYE[0], y - EYE[1], LOOK)
    out = np.clip(ahead - shore(x, y), 0.0, None)
    beach = 0.06 * (shore(x, y) - ahead)
    floor = -2.5 * (1.0 - np.exp(-out / 20.0)) - 30.0 * (1.0 - np.exp(-out / 800.0))
    return np.where(ahead < shore(x, y), beach, floor) + 0.04 * terrain.fbm(x / 1.5, y / 1.5, 3, seed=49)


def crags(x, y, z, slope):
    """Relief finer than the range's grid where the faces are steep: ribs and buttresses, and bands of harder
    rock that stand out as cliffs over ledges, the beds tilted and warped."""
    steep = terrain.smoothstep(0.45, 1.1, slope) * terrain.smoothstep(120.0, 450.0, z)
    ribs = 22.0 * (terrain.ridged(x / 240.0, y / 240.0, 4, gain=1.4, seed=53) - 0.45)
    beds = (z + 0.1 * x - 0.04 * y + 30.0 * terrain.fbm(x / 800.0, y / 800.0, 3, seed=54)) / STRATUM
    # the beds thicken and thin along the range, and pinch out
    beds = beds + 0.45 * terrain.fbm(x / 260.0, y / 260.0, 3, seed=56)
    f = beds - np.floor(beds)
    # a hard bed stands as a cliff over a ledge, a soft one weathers back into a plain slope: only some do
    hard = terrain.smoothstep(-0.15, 0.35, terrain.fbm(np.floor(beds) * 0.73 + x / 700.0, y / 700.0, 2, seed=57))
    step = (np.floor(beds) + terrain.smoothstep(0.55, 0.95, f) - beds) * STRATUM * hard
    return steep * (ribs + 0.8 * step) + 6.0 * terrain.fbm(x / 60.0, y / 60.0, 3, seed=55) * steep


def ground(x, y):
    far = field("height", x, y)
    far = far + 2.0 * terrain.fbm(x / 30.0, y / 30.0, 3, seed=50) + crags(x, y, far, field("slope", x, y))
    w = terrain.smoothstep(250.0, 700.0, np.hypot(x - EYE[0], y - EYE[1]))
    return shallows(x, y) * (1.0 - w) + np.where(_basin(x, y) < 0.97, np.minimum(far, -1.0), far) * w


def view_rings(eye, azimuth, spread, segments, spokes):
    """x, y arrays of a fan of rings around `eye` like terrain.view_grid's, the rings spaced evenly (in log
    distance) within each of `segments`, (near, far, rings): dense where the range's faces stand."""
    r = np.concatenate([near * (far / near) ** np.linspace(0.0, 1.0, n, endpoint=False) for near, far, n in segments]
                       + [np.array([segments[-1][1]])])
    a = np.radians(azimuth + np.linspace(-spread / 2.0, spread / 2.0, spokes))
    radius, angle = np.meshgrid(r, a, indexing="ij")
    return eye[0] + radius * np.sin(angle), eye[1] + radius * np.cos(angle)


def attribute(tree, name):
    return kit.node(tree, "ShaderNodeAttribute", attribute_name=name).outputs["Fac"]


def land(tree):
    p = kit.coordinates(tree, "Object")
    z = kit.node(tree, "ShaderNodeSeparateXYZ", {0: p}).outputs["Z"]
    # how level the ground lies: snow, scree and turf keep to the ledges, the cliffs between stay bare
    up = kit.node(tree, "ShaderNodeSeparateXYZ", {0: kit.node(tree, "ShaderNodeNewGeometry").outputs["Normal"]}).outputs["Z"]
    level = kit.map_range(tree, up, 0.55, 0.85)
    # rock in world metres, the same every way: patches of colour, beds of paler and darker rock tilted
    # with the strata, dark joints where it breaks into blocks
    tilted = kit.node(tree, "ShaderNodeMapping", {"Vector": p, "Rotation": (0.1, -0.04, 0.0)}).outputs[0]
    beds = kit.node(tree, "ShaderNodeTexWave", {"Vector": tilted, "Scale": 0.3 / STRATUM, "Distortion": 4.0,
                                               "Detail": 3.0, "Detail Scale": 1.5}, bands_direction="Z").outputs["Fac"]
    tone = kit.math_node(tree, "ADD", kit.math_node(tree, "MULTIPLY", kit.noise(tree, p, 0.008, 5.0, 0.6), 0.55),
                         kit.math_node(tree, "ADD", kit.math_node(tree, "MULTIPLY", beds, 0.12),
                                       kit.math_node(tree, "MULTIPLY", kit.noise(tree, p, 0.09, 3.0), 0.33)))
    rock = kit.ramp(tree, tone, [(0.3, (0.022, 0.022, 0.022)), (0.42, (0.045, 0.044, 0.042)),
                                 (0.55, (0.09, 0.088, 0.083)), (0.7, (0.17, 0.165, 0.155))])
    joints = kit.node(tree, "ShaderNodeTexVoronoi", {"Vector": tilted, "Scale": 0.045, "Randomness": 0.9},
                      feature="DISTANCE_TO_EDGE").outputs["Distance"]
    crack = kit.map_range(tree, joints, 0.035, 0.005)
    rock = kit.mix_colour(tree, kit.math_node(tree, "MULTIPLY", crack, 0.7), rock, (0.02, 0.02, 0.019, 1.0))
    # on the ledges and the gentler slopes: pale scree fans, and alpine turf in patches, olive and brown
    turf = kit.ramp(tree, kit.noise(tree, p, 0.03, 4.0, 0.6), [(0.35, (0.03, 0.036, 0.018)), (0.5, (0.055, 0.05, 0.03)),
                                                            (0.65, (0.028, 0.04, 0.018))])
    # turf low down, scree higher up, the boundary wandering
    turf_line = kit.math_node(tree, "ADD", z, kit.math_node(tree, "MULTIPLY", kit.noise(tree, p, 0.004, 3.0), 500.0))
    cover = kit.mix_colour(tree, kit.map_range(tree, turf_line, 1150.0, 1050.0), (0.1, 0.096, 0.088, 1.0), turf)
    colour = kit.mix_colour(tree, kit.math_node(tree, "MULTIPLY", level, 0.85), rock, cover)
    # forest floor under the trees, and the stones at the waterline dark and wet, so the shore meets its
    # reflection without a line
    woods = kit.ramp(tree, kit.noise(tree, p, 0.02, 4.0), [(0.35, (0.012, 0.02, 0.01)), (0.65, (0.022, 0.032, 0.016))])
    colour = kit.mix_colour(tree, kit.map_range(tree, attribute(tree, "woods"), 0.05, 0.45), colour, woods)
    colour = kit.mix_colour(tree, kit.map_range(tree, z, 1.2, 0.2), colour, (0.012, 0.013, 0.011, 1.0))
    # snow: the cover worked out with the shape, lying where the ground is level enough to hold it, its edges
    # broken into drifts
    # where the cover is deep only the steepest cliffs show through it; where it thins, only the ledges hold it
    edge = kit.math_node(tree, "ADD", attribute(tree, "snow"), kit.math_node(
        tree, "ADD", kit.math_node(tree, "MULTIPLY", kit.math_node(tree, "SUBTRACT", kit.noise(tree, p, 0.03, 6.0, 0.65), 0.5), 0.5),
        kit.math_node(tree, "MULTIPLY", kit.math_node(tree, "SUBTRACT", level, 0.5), 0.6)))
    snow = kit.map_range(tree, edge, 0.6, 0.72)
    colour = kit.mix_colour(tree, snow, colour, (0.82, 0.84, 0.87, 1.0))
    relief = kit.math_node(tree, "ADD", kit.math_node(tree, "MULTIPLY", kit.noise(tree, p, 0.02, 6.0, 0.6, 1.0), 1.0),
                           kit.math_node(tree, "ADD", kit.noise(tree, p, 0.07, 6.0, 0.6),
                                         kit.math_node(tree, "ADD", kit.math_node(tree, "MULTIPLY", beds, 0.2),
                                                       kit.math_node(tree, "MULTIPLY", crack, -0.4))))
    normal = kit.bump(tree, relief, kit.map_range(tree, snow, 0.0, 1.0, 0.8, 0.3), 8.0)
    shader = kit.principled(tree, colour, kit.map_range(tree, snow, 0.0, 1.0, 0.85, 0.55), normal=normal)
    return air.hazed(tree, shader, 26000.0, 3000.0, tint=(0.97, 0.99, 1.02))


def lake_floor(tree):
    """The beach and the lake's floor: gravel of many colours and sizes in coarse sand, dry and pale above the
    water, dark where it is wet at the edge, under silt and weed further out."""
    p = kit.coordinates(tree, "Object")
    z = kit.node(tree, "ShaderNodeSeparateXYZ", {0: p}).outputs["Z"]
    sand = kit.ramp(tree, kit.noise(tree, p, 2.0, 4.0), [(0.3, (0.1, 0.09, 0.075)), (0.7, (0.15, 0.135, 0.11))])
    colour, height = sand, 0.0
    # two sizes of gravel, the coarser only in patches, so no one size tiles the whole beach
    for scale, share, seed in ((34.0, 0.9, 0.0), (11.0, 0.45, 7.3)):
        q = kit.node(tree, "ShaderNodeMapping", {"Vector": p, "Location": (seed, seed * 0.7, 0.0)}).outputs[0]
        cells = kit.node(tree, "ShaderNodeTexVoronoi", {"Vector": q, "Scale": scale, "Randomness": 0.9})
        shade = kit.node(tree, "ShaderNodeSeparateXYZ", {0: cells.outputs["Color"]}).outputs
        stones = kit.ramp(tree, shade[0], [(0.0, (0.05, 0.047, 0.044)), (0.3, (0.12, 0.11, 0.095)), (0.55, (0.19, 0.17, 0.14)),
                                           (0.75, (0.11, 0.07, 0.05)), (0.9, (0.24, 0.23, 0.21))])
        dome = kit.map_range(tree, cells.outputs["Distance"], 0.5, 0.15)
        patch = kit.map_range(tree, kit.noise(tree, p, 0.7, 3.0), 0.55 - 0.2 * share, 0.6 - 0.2 * share)
        here = kit.math_node(tree, "MULTIPLY", patch, kit.math_node(tree, "MULTIPLY", kit.map_range(tree, shade[1], 1.0 - share, 1.05 - share), dome))
        colour = kit.mix_colour(tree, kit.map_range(tree, here, 0.0, 0.25), colour, stones)
        height = kit.math_node(tree, "MAXIMUM", height, kit.math_node(tree, "MULTIPLY", here, 34.0 / scale))
    # silt drifts over the stones under water
    silt = kit.math_node(tree, "MULTIPLY", kit.map_range(tree, kit.noise(tree, p, 0.35, 5.0, 0.6), 0.42, 0.58),
                         kit.map_range(tree, z, -0.2, -0.8))
    colour = kit.mix_colour(tree, silt, colour, kit.ramp(tree, kit.noise(tree, p, 3.0, 4.0), [
        (0.3, (0.05, 0.046, 0.036)), (0.7, (0.085, 0.078, 0.06))]))
    height = kit.math_node(tree, "MULTIPLY", height, kit.math_node(tree, "SUBTRACT", 1.0, silt))
    wet = kit.map_range(tree, z, 0.12, 0.0)
    colour = kit.mix_colour(tree, kit.math_node(tree, "MULTIPLY", wet, 0.6), colour, (0.0, 0.0, 0.0, 1.0))
    colour = kit.mix_colour(tree, kit.map_range(tree, z, -1.0, -4.0), colour, (0.03, 0.035, 0.025, 1.0))
    normal = kit.bump(tree, kit.math_node(tree, "ADD", height, kit.math_node(tree, "MULTIPLY", kit.noise(tree, p, 30.0, 3.0), 0.1)),
                      0.8, 0.03)
    return kit.principled(tree, colour, kit.map_range(tree, wet, 0.0, 1.0, 0.85, 0.35), normal=normal)


def needles(tree):
    p = kit.coordinates(tree, "Object")
    # each tree its own green, from near black spruce to a paler pine, so the crowns stand apart
    which = kit.node(tree, "ShaderNodeObjectInfo").outputs["Random"]
    colour = kit.ramp(tree, which, [(0.0, (0.008, 0.016, 0.01)), (0.5, (0.02, 0.036, 0.018)), (0.8, (0.035, 0.05, 0.024)),
                                    (1.0, (0.045, 0.052, 0.026))])
    colour = kit.mix_colour(tree, kit.map_range(tree, kit.noise(tree, p, 3.0, 2.0), 0.3, 0.7, 0.0, 0.5), colour,
                            (0.01, 0.018, 0.01, 1.0))
    return air.hazed(tree, kit.principled(tree, colour, 0.8), 26000.0, 3000.0, tint=(0.97, 0.99, 1.02))


def granite(tree, varied=False):
    """Grey granite boulders: pale above, dark and wet at the waterline, greened below it; `varied`, each
    stone of its own rock, from pale quartzite to dark basalt and rusty gneiss."""
    p = kit.coordinates(tree, "Object")
    w = kit.node(tree, "ShaderNodeNewGeometry").outputs["Position"]
    crystals = kit.node(tree, "ShaderNodeTexVoronoi", {"Vector": w, "Scale": 60.0}).outputs["Color"]
    grain = kit.node(tree, "ShaderNodeSeparateXYZ", {0: crystals}).outputs[0]
    colour = kit.ramp(tree, grain, [(0.0, (0.03, 0.03, 0.03)), (0.2, (0.03, 0.03, 0.03)), (0.25, (0.085, 0.082, 0.078)),
                                    (0.8, (0.13, 0.124, 0.116)), (0.92, (0.2, 0.19, 0.175))])
    lichen = kit.map_range(tree, kit.noise(tree, w, 1.5, 5.0, 0.6), 0.55, 0.65, 0.0, 0.7)
    colour = kit.mix_colour(tree, lichen, colour, (0.2, 0.2, 0.15, 1.0))
    if varied:
        which = kit.node(tree, "ShaderNodeObjectInfo").outputs["Random"]
        tint = kit.ramp(tree, which, [(0.0, (0.3, 0.3, 0.31)), (0.25, (0.6, 0.6, 0.6)), (0.5, (0.75, 0.63, 0.5)),
                                      (0.7, (0.95, 0.93, 0.87)), (0.85, (0.6, 0.45, 0.33)), (1.0, (0.42, 0.43, 0.42))])
        tint = kit.node(tree, "ShaderNodeVectorMath", {0: tint, "Scale": 1.7}, operation="SCALE").outputs["Vector"]
        colour = kit.mix_colour(tree, 1.0, colour, tint, "MULTIPLY")
    world_z = kit.node(tree, "ShaderNodeSeparateXYZ", {0: w}).outputs["Z"]
    wet = kit.map_range(tree, kit.math_node(tree, "ADD", world_z, kit.math_node(tree, "MULTIPLY", kit.noise(tree, w, 6.0, 3.0), 0.06)),
                        0.22, 0.02)
    colour = kit.mix_colour(tree, kit.math_node(tree, "MULTIPLY", wet, 0.75), colour, (0.03, 0.03, 0.025, 1.0))
    colour = kit.mix_colour(tree, kit.map_range(tree, world_z, -0.05, -0.4, 0.0, 0.8), colour, (0.05, 0.06, 0.03, 1.0))
    normal = kit.bump(tree, kit.math_node(tree, "ADD", kit.noise(tree, p, 3.0, 6.0, 0.6),
                                          kit.math_node(tree, "MULTIPLY", kit.noise(tree, w, 40.0, 2.0), 0.2)), 0.8, 0.08)
    return kit.principled(tree, colour, kit.map_range(tree, wet, 0.0, 1.0, 0.7, 0.2), normal=normal)


# Boulders bedded in the shallows off the beach: (metres out from the water's edge, metres right, radius,
# height to radius)
BOULDERS = [(1.2, -4.4, 1.0, 0.75), (2.8, -2.3, 0.5, 0.8), (2.2, 3.6, 1.15, 0.7), (4.5, 6.4, 0.8, 0.7),
            (0.8, 1.2, 0.3, 0.7), (3.5, -7.2, 0.7, 0.75)]


def build():
    air.sky(*SUN, dust=0.5, air=1.0, ozone=1.0, clouds=[
        dict(height=6000.0, scale=4000.0, coverage=0.2, opacity=1.5, stretch=3.0, heading=30.0, seed=7.0)])
    x, y = view_rings(EYE, LOOK, 96.0, [(1.0, 400.0, kit.scaled(900)), (400.0, 2500.0, kit.scaled(450)),
                                        (2500.0, 12000.0, kit.scaled(1300)), (12000.0, 30000.0, kit.scaled(250))],
                      kit.scaled(1400))
    z = ground(x, y)
    # the beach and the shallows' floor are gravel, the rest of the ground rock, snow and forest
    near = np.hypot(x - EYE[0], y - EYE[1]) < 360.0
    terrain.grid_object("floor", x, y, z, kit.material("gravel", lake_floor), keep=near)
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
    count = kit.scaled(380000, 400)
    tx, ty = rng.uniform(-7000.0, 7000.0, count), rng.uniform(1500.0, 9000.0, count)
    tz = ground(tx, ty)
    # in stands, with glades and rockfalls between them
    stands = terrain.smoothstep(-0.3, 0.15, terrain.fbm(tx / 260.0, ty / 260.0, 3, seed=56))
    keep = (tz > 0.3) & (rng.uniform(0.0, 1.0, count) < field("woods", tx, ty) ** 0.7 * (0.45 + 0.55 * stands))
    mat = kit.material("needles", needles)
    templates = [kit.spruce("spruce %d" % i, 1.0, 16, 8, mat, seed=30 + i) for i in range(4)]
    size = rng.uniform(14.0, 30.0, count) * (1.0 - 0.4 * terrain.smoothstep(200.0, TREE_LINE, tz))
    kit.scatter("forest", templates, np.stack([tx, ty, tz - 0.5], 1)[keep], size[keep],
                rng.uniform(0.0, 6.3, count)[keep], rng.randint(0, 4, count)[keep])
    # gravel and cobbles over the beach and on into the water, many small and few large, half sunk in the sand
    count = kit.scaled(9000, 40)
    ahead = 1.5 + 28.0 * rng.uniform(0.0, 1.0, count) ** 1.6
    across = ahead * rng.uniform(-0.8, 0.8, count)
    sx, sy = terrain.from_view(ahead, across, LOOK)
    sx, sy = sx + EYE[0], sy + EYE[1]
    width = 0.04 + 0.3 * rng.uniform(0.0, 1.0, count) ** 3.0
    cobbles = [kit.worn_stone("cobble %d" % i, (1.0, 0.75 + 0.05 * i, 0.45 + 0.04 * i), seed=80 + i) for i in range(6)]
    for c in cobbles:  # small in the picture: a level less of rounding does
        c.modifiers["round"].render_levels = 2
    kit.scatter("cobbles", [kit.assign(c, kit.material("cobble", lambda t: granite(t, True))) for c in cobbles],
                np.stack([sx, sy, shallows(sx, sy) - 0.2 * width], 1), width, rng.uniform(0.0, 6.3, count),
                rng.randint(0, 6, count))
    # boulders standing in the shallows, their feet sunk in the gravel, wet to just above the water
    stone = kit.material("granite", granite)
    for i, (out, right, r, tall) in enumerate(BOULDERS):
        bx, by = terrain.from_view(10.0, right, LOOK)
        bx, by = terrain.from_view(float(shore(np.array([bx]), np.array([by]))[0]) + out, right, LOOK)
        floor = float(shallows(np.array([bx]), np.array([by]))[0])
        # a third of each stands out of the water; its foot is in the gravel however deep the water
        height = r * tall
        kit.joint_boulder("boulder %d" % i, (r * 1.3, r, height), 70 + i, wear=0.55,
                          location=(bx, by, max(floor + 0.35 * height, -0.3 * height)),
                          rotation=(rng.uniform(-0.1, 0.1), rng.uniform(-0.1, 0.1), rng.uniform(0.0, 6.3)), mat=stone)
    eye_z = float(shallows(np.array([EYE[0]]), np.array([EYE[1]]))[0]) + 1.6
    target = kit.direction(1.0, LOOK)
    kit.camera((EYE[0], EYE[1], eye_z), (EYE[0] + target.x, EYE[1] + target.y, eye_z + target.z), 62.0)
    kit.film(exposure=-4.2)
    kit.clean_margins(12)
