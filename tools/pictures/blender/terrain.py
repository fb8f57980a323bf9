"""Ground and sea for the slide scenes: gradient noise on arrays, height fields, grids fitted to the view, waves."""
import math

import bpy
import numpy as np

from kit import add_object

_permutations = {}
_gradients = np.array([(math.cos(a), math.sin(a)) for a in np.arange(16) * (2.0 * math.pi / 16.0)])


def _permutation(seed):
    if seed not in _permutations:
        p = np.random.RandomState(seed).permutation(256)
        _permutations[seed] = np.concatenate([p, p])
    return _permutations[seed]


def perlin(x, y, seed=0):
    """Gradient noise, about -1..1, one feature per unit."""
    p = _permutation(seed)
    xi, yi = np.floor(x), np.floor(y)
    xf, yf = x - xi, y - yi
    xi, yi = xi.astype(np.int64) & 255, yi.astype(np.int64) & 255
    u = xf * xf * xf * (xf * (xf * 6.0 - 15.0) + 10.0)
    v = yf * yf * yf * (yf * (yf * 6.0 - 15.0) + 10.0)

    def corner(dx, dy):
        g = _gradients[p[p[(xi + dx) & 255] + ((yi + dy) & 255)] & 15]
        return g[..., 0] * (xf - dx) + g[..., 1] * (yf - dy)

    n00, n10, n01, n11 = corner(0, 0), corner(1, 0), corner(0, 1), corner(1, 1)
    a = n00 + u * (n10 - n00)
    b = n01 + u * (n11 - n01)
    return (a + v * (b - a)) * 1.41


def _octave(x, y, i, frequency, seed):
    # each octave turned and shifted, so no grid direction builds up
    c, s = math.cos(i * 0.83), math.sin(i * 0.83)
    return perlin(frequency * (c * x - s * y) + i * 17.31, frequency * (s * x + c * y) - i * 9.17, seed + i)


def fbm(x, y, octaves=6, lacunarity=2.0, gain=0.5, seed=0):
    """Fractal noise, about -1..1."""
    total, amplitude, frequency, norm = 0.0, 1.0, 1.0, 0.0
    for i in range(octaves):
        total = total + amplitude * _octave(x, y, i, frequency, seed)
        norm += amplitude
        amplitude *= gain
        frequency *= lacunarity
    return total / norm


def ridged(x, y, octaves=8, lacunarity=2.0, gain=2.0, offset=1.0, roughness=0.9, seed=0):
    """Ridged multifractal, about 0..1: sharp crests, smooth valleys, detail that follows the ridges."""
    total, weight, frequency, norm = 0.0, 1.0, 1.0, 0.0
    for i in range(octaves):
        signal = (offset - np.abs(_octave(x, y, i, frequency, seed))) ** 2 * weight
        weight = np.clip(signal * gain, 0.0, 1.0)
        amplitude = frequency ** -roughness
        total = total + signal * amplitude
        norm += amplitude
        frequency *= lacunarity
    return total / norm


def smoothstep(edge0, edge1, x):
    t = np.clip((x - edge0) / (edge1 - edge0), 0.0, 1.0)
    return t * t * (3.0 - 2.0 * t)


def spline(points, count):
    """`count` points along a Catmull-Rom curve through the rows of `points` (any number of columns)."""
    p = np.asarray(points, dtype=float)
    p = np.vstack([2 * p[0] - p[1], p, 2 * p[-1] - p[-2]])
    t = np.linspace(0.0, len(p) - 3, count, endpoint=False)
    i = np.minimum(t.astype(int), len(p) - 4)
    f = (t - i)[:, None]
    a, b, c, d = p[i], p[i + 1], p[i + 2], p[i + 3]
    return 0.5 * (2 * b + (c - a) * f + (2 * a - 5 * b + 4 * c - d) * f * f + (3 * b - a - 3 * c + d) * f * f * f)


def nearest_on_path(x, y, path):
    """For every point (x, y): the distance to the polyline `path` (rows x, y, value...), the side it lies
    on (+1 right of the path's direction, -1 left) and the values interpolated at the nearest point."""
    best = np.full(x.shape, np.inf)
    side = np.zeros(x.shape)
    values = np.zeros(x.shape + (path.shape[1] - 2,))
    for a, b in zip(path[:-1], path[1:]):
        dx, dy = b[0] - a[0], b[1] - a[1]
        t = np.clip(((x - a[0]) * dx + (y - a[1]) * dy) / (dx * dx + dy * dy), 0.0, 1.0)
        d = np.hypot(x - (a[0] + t * dx), y - (a[1] + t * dy))
        closer = d < best
        best = np.where(closer, d, best)
        side = np.where(closer, np.sign(dy * (x - a[0]) - dx * (y - a[1])), side)
        values = np.where(closer[..., None], a[2:] + t[..., None] * (b[2:] - a[2:]), values)
    return best, side, values


def to_view(x, y, azimuth):
    """World points (x, y) as (ahead, right) for a view towards `azimuth` degrees (from +y towards +x)."""
    s, c = math.sin(math.radians(azimuth)), math.cos(math.radians(azimuth))
    return x * s + y * c, x * c - y * s


def from_view(ahead, right, azimuth):
    """The world point `ahead` metres along the view towards `azimuth` and `right` metres to its right."""
    s, c = math.sin(math.radians(azimuth)), math.cos(math.radians(azimuth))
    return ahead * s + right * c, ahead * c - right * s


# --- grids -----------------------------------------------------------------------------------------


def square_grid(centre, size, count):
    """x, y arrays of a regular `count` x `count` grid `size` across."""
    half = size / 2.0
    xs = np.linspace(centre[0] - half, centre[0] + half, count)
    ys = np.linspace(centre[1] - half, centre[1] + half, count)
    return np.meshgrid(xs, ys)


def view_grid(eye, azimuth, spread, near, far, rings, spokes):
    """x, y arrays of a fan of rings around `eye`, `spread` degrees wide about `azimuth` (from +y towards +x),
    spaced so that each cell covers about the same part of the picture at any distance."""
    r = near * (far / near) ** np.linspace(0.0, 1.0, rings)
    a = np.radians(azimuth + np.linspace(-spread / 2.0, spread / 2.0, spokes))
    radius, angle = np.meshgrid(r, a, indexing="ij")
    return eye[0] + radius * np.sin(angle), eye[1] + radius * np.cos(angle)


def grid_spacing(x, y):
    """The size of the grid's cell at each point, for filtering out detail the mesh cannot hold."""
    dx = np.hypot(np.gradient(x, axis=0), np.gradient(y, axis=0))
    dy = np.hypot(np.gradient(x, axis=1), np.gradient(y, axis=1))
    return np.maximum(dx, dy)


def grid_object(name, x, y, z, mat=None, keep=None):
    """A smooth-shaded mesh of the grid: points (x, y, z), arrays of one shape, joined row by row;
    where `keep` (an array of the same shape) is false at all four corners of a cell, the cell is left out."""
    rows, cols = x.shape
    verts = np.stack([x, y, z], axis=-1).reshape(-1).astype(np.float32)
    index = np.arange(rows * cols).reshape(rows, cols)
    quads = np.stack([index[:-1, :-1], index[:-1, 1:], index[1:, 1:], index[1:, :-1]], axis=-1)
    if keep is not None:
        k = keep.reshape(-1)
        quads = quads[k[quads].any(axis=-1)]
    quads = quads.reshape(-1)
    # wind every quad counter-clockwise seen from above, so the normals point up
    if np.cross(np.array([x[0, 1] - x[0, 0], y[0, 1] - y[0, 0], 0]),
                np.array([x[1, 0] - x[0, 0], y[1, 0] - y[0, 0], 0]))[2] < 0:
        quads = quads.reshape(-1, 4)[:, ::-1].reshape(-1)
    faces = len(quads) // 4
    mesh = bpy.data.meshes.new(name)
    mesh.vertices.add(rows * cols)
    mesh.vertices.foreach_set("co", verts)
    mesh.loops.add(len(quads))
    mesh.loops.foreach_set("vertex_index", quads.astype(np.int32))
    mesh.polygons.add(faces)
    mesh.polygons.foreach_set("loop_start", np.arange(0, len(quads), 4, dtype=np.int32))
    mesh.polygons.foreach_set("loop_total", np.full(faces, 4, dtype=np.int32))
    mesh.polygons.foreach_set("use_smooth", np.ones(faces, dtype=bool))
    mesh.update(calc_edges=True)
    mesh.validate()
    obj = add_object(name, mesh)
    if mat is not None:
        mesh.materials.append(mat)
    return obj


# --- the sea ---------------------------------------------------------------------------------------


def wave_train(count, heading, spread, longest, shortest, height, choppiness=0.6, seed=0):
    """Waves for `sea`: (amplitude, wavelength, direction, phase, steepness) rows, running towards
    `heading` degrees give or take `spread`, `height` the significant crest-to-trough height."""
    rng = np.random.RandomState(seed)
    lengths = longest * (shortest / longest) ** np.linspace(0.0, 1.0, count)
    amplitudes = (lengths / longest) ** 0.75
    amplitudes *= (height / 4.0) / math.sqrt(float(np.sum(amplitudes ** 2)))
    headings = np.radians(heading + rng.normal(0.0, spread, count) * np.sqrt(lengths[-1] / lengths) ** 0.3)
    phases = rng.uniform(0.0, 2.0 * math.pi, count)
    k = 2.0 * math.pi / lengths
    steep = np.minimum(choppiness / (k * amplitudes * count), 1.0)
    return [(a, l, h, p, q) for a, l, h, p, q in zip(amplitudes, lengths, headings, phases, steep)]


def sea(x, y, waves, filter_cells=3.0):
    """Gerstner waves over the grid (x, y): the crests sharpen, the troughs widen. A wave shorter than
    `filter_cells` grid cells fades out where the grid is too coarse to hold it."""
    spacing = grid_spacing(x, y)
    px, py, pz = x.copy(), y.copy(), np.zeros_like(x)
    for amplitude, length, heading, phase, steep in waves:
        keep = smoothstep(filter_cells * spacing, 2.0 * filter_cells * spacing, length)
        if not np.any(keep > 0.0):
            continue
        k = 2.0 * math.pi / length
        dx, dy = math.sin(heading), math.cos(heading)
        theta = k * (dx * x + dy * y) + phase
        a = amplitude * keep
        c = np.cos(theta)
        px += steep * a * dx * c
        py += steep * a * dy * c
        pz += a * np.sin(theta)
    return px, py, pz


def washing_sea(x, y, waves, floor, mat, reach=(-3.0, 0.3), crest=0.6):
    """The sea over the grid (x, y) as an object, with a "foam" attribute for its material: foam where
    the sea floor, `floor(x, y)`, comes up from `reach[0]` to `reach[1]` metres of the surface, most
    on the crests, those `crest` metres up."""
    px, py, pz = sea(x, y, waves)
    obj = grid_object("sea", px, py, pz, mat)
    foam = smoothstep(reach[0], reach[1], floor(px, py)) * (0.6 + 0.4 * np.clip(pz / crest, 0.0, 1.0))
    obj.data.attributes.new("foam", "FLOAT", "POINT").data.foreach_set("value", foam.reshape(-1).astype(np.float32))
    return obj
