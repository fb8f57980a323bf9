"""Lavender in rows running to a stone farmhouse under an old walnut, the sun going down beyond the hills and
the haze of a summer evening over the valley. Each bush is a grey-green mound of leafy shoots with some two
hundred thin stalks fanning out of it, each ending in a slender spike of purple whorls; dry grass and pale
stony soil between the rows; the farmhouse has a tiled roof, shuttered windows and a chimney, and the
walnut a crown of leaf clusters on spreading limbs, two cypresses beside it."""
import math

import bpy
import numpy as np

import air
import kit
import terrain

SAMPLES = 48
DENOISE = 4.5
SUN = (4.5, 292.0)  # the evening sun low in the west-north-west, a little right of the view
LOOK = 272.0
ROW = 1.8  # metres from row to row
HAZE = (3500.0, 500.0)


def fields(x, y):
    return 25.0 * terrain.fbm(x / 1500.0, y / 1500.0, 4, seed=121) + 90.0 * terrain.smoothstep(
        900.0, 4000.0, np.hypot(x, y)) * (0.6 + 0.5 * terrain.fbm(x / 2500.0, y / 2500.0, 4, seed=122))


def soil(tree):
    p = kit.coordinates(tree, "Object")
    # pale, stony limestone soil: dust with darker clods and small stones
    colour = kit.ramp(tree, kit.noise(tree, p, 0.8, 5.0), [(0.3, (0.2, 0.15, 0.1)), (0.7, (0.3, 0.23, 0.16))])
    stones = kit.node(tree, "ShaderNodeTexVoronoi", {"Vector": p, "Scale": 9.0, "Randomness": 1.0}).outputs["Distance"]
    stony = kit.map_range(tree, stones, 0.12, 0.05)
    colour = kit.mix_colour(tree, kit.math_node(tree, "MULTIPLY", stony, 0.7), colour, (0.42, 0.37, 0.3, 1.0))
    far = kit.ramp(tree, kit.noise(tree, p, 0.004, 6.0), [(0.3, (0.07, 0.08, 0.03)), (0.7, (0.16, 0.13, 0.06))])
    colour = kit.mix_colour(tree, kit.map_range(tree, kit.node(tree, "ShaderNodeLightPath").outputs["Ray Length"],
                                                250.0, 400.0), colour, far)
    height = kit.math_node(tree, "ADD", kit.noise(tree, p, 4.0, 5.0), kit.math_node(tree, "MULTIPLY", stony, 0.5))
    return air.hazed(tree, kit.principled(tree, colour, 0.9, normal=kit.bump(tree, height, 0.5, 0.05)), *HAZE)


def lavender(tree):
    p = kit.coordinates(tree, "Object")
    # the florets purple, the calyces between them darker and bluer, each bush its own shade
    shade = kit.node(tree, "ShaderNodeObjectInfo").outputs["Random"]
    fac = kit.math_node(tree, "ADD", kit.math_node(tree, "MULTIPLY", kit.noise(tree, p, 40.0, 3.0), 0.7),
                        kit.math_node(tree, "MULTIPLY", shade, 0.3))
    flower = kit.ramp(tree, fac, [(0.25, (0.07, 0.04, 0.2)), (0.5, (0.2, 0.1, 0.44)), (0.75, (0.32, 0.17, 0.6))])
    return air.hazed(tree, kit.principled(tree, flower, 0.75, sheen=0.3, specular=0.25), *HAZE)


def stems(tree):
    colour = kit.ramp(tree, kit.noise(tree, kit.coordinates(tree, "Object"), 5.0, 3.0),
                      [(0.3, (0.1, 0.12, 0.08)), (0.7, (0.2, 0.23, 0.16))])
    return air.hazed(tree, kit.principled(tree, colour, 0.8, sheen=0.3, specular=0.3), *HAZE)


def straw(tree):
    colour = kit.ramp(tree, kit.noise(tree, kit.coordinates(tree, "Object"), 6.0, 3.0),
                      [(0.3, (0.28, 0.22, 0.12)), (0.7, (0.45, 0.37, 0.2))])
    return air.hazed(tree, kit.principled(tree, colour, 0.75, sheen=0.5), *HAZE)


def frame(direction):
    """Two unit vectors across `direction`."""
    d = np.asarray(direction, dtype=float)
    d = d / np.linalg.norm(d)
    side = np.cross(d, (0.0, 0.0, 1.0) if abs(d[2]) < 0.95 else (1.0, 0.0, 0.0))
    side /= np.linalg.norm(side)
    return side, np.cross(d, side)


def tube(verts, faces, path, radii, sides=4, twist=0.0):
    """A thin tube along `path` (points) of `radii`, its cross-section `sides`-cornered; the ends open."""
    base = len(verts)
    for i, (point, r) in enumerate(zip(path, radii)):
        ahead = path[min(i + 1, len(path) - 1)] - path[max(i - 1, 0)]
        side, other = frame(ahead)
        for c in range(sides):
            a = 2.0 * math.pi * c / sides + twist * i
            verts.append(tuple(point + (side * math.cos(a) + other * math.sin(a)) * r))
    for i in range(len(path) - 1):
        for c in range(sides):
            a0, a1 = base + i * sides + c, base + i * sides + (c + 1) % sides
            faces.append((a0, a1, a1 + sides, a0 + sides))
    return (len(path) - 1) * sides


def bush(name, seed, leaves, flowers):
    """A lavender bush about one unit across: a low mound of grey-green shoots, some two hundred thin stalks
    fanning out of it and bending outwards, each ending in a spike of purple whorls that thin out lower
    down."""
    rng = np.random.RandomState(seed)
    verts, faces, purple = [], [], []
    spread = rng.uniform(0.6, 0.85)
    reach = rng.uniform(0.5, 0.62)
    for k in range(int(rng.uniform(160, 210))):
        a = rng.uniform(0.0, 2.0 * math.pi)
        lean = spread * math.sqrt(rng.uniform(0.0, 1.0))
        length = reach * rng.uniform(0.8, 1.15)
        root = np.array([0.14 * math.cos(a), 0.14 * math.sin(a), 0.12]) * rng.uniform(0.3, 1.0)
        out = np.array([math.cos(a), math.sin(a), 0.0])
        # the stalk bows outwards, more the more it leans
        path = [root + length * t * np.array([math.sin(lean * (0.6 + 0.6 * t)) * out[0],
                                              math.sin(lean * (0.6 + 0.6 * t)) * out[1],
                                              math.cos(lean * (0.6 + 0.6 * t))]) for t in (0.0, 0.3, 0.6, 0.8)]
        faces_made = tube(verts, faces, [np.array(p) for p in path], [0.0025, 0.0022, 0.002, 0.0018])
        purple += [False] * faces_made
        # the spike: whorls of florets, close at the top, spaced out lower down, on the stalk's last fifth
        tip_dir = path[-1] - path[-2]
        tip_dir = tip_dir / np.linalg.norm(tip_dir)
        whorls = int(rng.randint(7, 11))
        spike = length * rng.uniform(0.14, 0.19)
        at = (np.arange(whorls + 1) / whorls) ** 0.75
        spike_path, spike_radii = [], []
        for w in range(whorls):
            fat = 0.006 * (1.0 - 0.45 * w / whorls) * rng.uniform(0.8, 1.2)
            for share, r in ((0.0, 0.0025), (0.4, fat), (0.75, fat * 0.8)):
                spike_path.append(path[-1] + tip_dir * spike * (at[w] + share * (at[w + 1] - at[w])))
                spike_radii.append(r)
        spike_path.append(path[-1] + tip_dir * spike * 1.04)
        spike_radii.append(0.0005)
        faces_made = tube(verts, faces, spike_path, spike_radii, 4, twist=0.7)
        purple += [True] * faces_made
    # the mound: short leafy shoots, narrow blades pointing out of a low dome
    for k in range(650):
        a = rng.uniform(0.0, 2.0 * math.pi)
        up = rng.uniform(0.1, 1.45)
        out = np.array([math.cos(a) * math.cos(up), math.sin(a) * math.cos(up), math.sin(up)])
        start = np.array([0.24 * out[0], 0.24 * out[1], 0.12 + 0.12 * out[2]]) * rng.uniform(0.5, 1.0)
        length = rng.uniform(0.14, 0.28)
        side = np.cross(out, (0.0, 0.0, 1.0))
        side = side / (np.linalg.norm(side) + 1e-6) * rng.uniform(0.006, 0.01)
        middle = start + out * length * 0.55 + np.array([0.0, 0.0, 0.03])
        end = start + out * length + np.array([0.0, 0.0, 0.04])
        base = len(verts)
        verts += [tuple(start - side), tuple(start + side), tuple(middle + side), tuple(middle - side), tuple(end)]
        faces += [(base, base + 1, base + 2, base + 3), (base + 3, base + 2, base + 4)]
        purple += [False, False]
    # a dark core under the shoots, so that the mound does not look hollow
    core = len(verts)
    ring = [(0.26 * math.cos(2 * math.pi * c / 10), 0.26 * math.sin(2 * math.pi * c / 10)) for c in range(10)]
    verts += [(x, y, 0.0) for x, y in ring] + [(0.6 * x, 0.6 * y, 0.17) for x, y in ring] + [(0.0, 0.0, 0.22)]
    faces += [(core + c, core + (c + 1) % 10, core + 10 + (c + 1) % 10, core + 10 + c) for c in range(10)]
    faces += [(core + 10 + c, core + 10 + (c + 1) % 10, core + 20) for c in range(10)]
    purple += [False] * 20
    obj = kit.mesh_object(name, verts, faces, smooth=False)
    obj.data.materials.append(leaves)
    obj.data.materials.append(flowers)
    obj.data.polygons.foreach_set("material_index", [1 if h else 0 for h in purple])
    return obj


def tuft(name, seed, mat):
    """A tuft of dry grass: thin blades splaying from one point, about a unit tall."""
    rng = np.random.RandomState(seed)
    verts, faces = [], []
    for k in range(60):
        a = rng.uniform(0.0, 2.0 * math.pi)
        lean = rng.uniform(0.1, 0.9)
        h = rng.uniform(0.5, 1.0)
        out = np.array([math.cos(a), math.sin(a), 0.0])
        side = np.array([-math.sin(a), math.cos(a), 0.0]) * 0.02
        base = len(verts)
        for t, w in ((0.0, 1.0), (0.5, 0.7), (1.0, 0.05)):
            centre = out * math.sin(lean) * h * t ** 1.5 + np.array([0.0, 0.0, math.cos(lean) * h * t])
            verts += [tuple(centre - side * w), tuple(centre + side * w)]
        faces += [(base, base + 1, base + 3, base + 2), (base + 2, base + 3, base + 5, base + 4)]
    obj = kit.mesh_object(name, verts, faces, smooth=False)
    kit.assign(obj, mat)
    return obj


def limestone(tree):
    p = kit.coordinates(tree, "Object")
    colour = kit.ramp(tree, kit.noise(tree, p, 0.6, 5.0), [(0.3, (0.45, 0.38, 0.29)), (0.7, (0.58, 0.5, 0.38))])
    return air.hazed(tree, kit.principled(tree, colour, 0.85), *HAZE)


def tiles(tree):
    p = kit.coordinates(tree, "Object")
    colour = kit.ramp(tree, kit.noise(tree, p, 0.8, 5.0), [(0.3, (0.3, 0.11, 0.05)), (0.5, (0.45, 0.2, 0.1)),
                                                           (0.75, (0.4, 0.3, 0.2))])
    return air.hazed(tree, kit.principled(tree, colour, 0.7), *HAZE)


def shutters(tree):
    return air.hazed(tree, kit.principled(tree, (0.22, 0.3, 0.3), 0.6), *HAZE)


def glass_dark(tree):
    return air.hazed(tree, kit.principled(tree, (0.01, 0.01, 0.012), 0.2), *HAZE)


def foliage(tree):
    colour = kit.ramp(tree, kit.noise(tree, kit.coordinates(tree, "Object"), 0.5, 4.0),
                      [(0.3, (0.03, 0.05, 0.015)), (0.7, (0.08, 0.1, 0.03))])
    leaf = kit.principled(tree, colour, 0.6)
    # backlit, the leaves glow a little through
    through = kit.node(tree, "ShaderNodeBsdfTranslucent", {"Color": (0.12, 0.16, 0.03, 1.0)}).outputs[0]
    return air.hazed(tree, kit.node(tree, "ShaderNodeMixShader", {0: 0.3, 1: leaf, 2: through}).outputs[0], *HAZE)


def bark(tree):
    return air.hazed(tree, kit.principled(tree, (0.05, 0.04, 0.035), 0.8), *HAZE)


def gabled(verts, faces, x0, x1, y0, y1, z0, eaves, ridge):
    """A block from x0 to x1 and y0 to y1 whose end walls rise to a ridge along x."""
    base = len(verts)
    ym = 0.5 * (y0 + y1)
    for x in (x0, x1):
        verts += [(x, y0, z0), (x, y1, z0), (x, y1, eaves), (x, ym, ridge), (x, y0, eaves)]
    faces += [(base, base + 4, base + 3, base + 2, base + 1), (base + 5, base + 6, base + 7, base + 8, base + 9)]
    for a, b in ((0, 1), (1, 2), (2, 3), (3, 4), (4, 0)):
        faces.append((base + a, base + b, base + 5 + b, base + 5 + a))


def roof(verts, faces, x0, x1, y0, y1, eaves, ridge, over=0.5, thick=0.25):
    """A two-sided roof over `gabled`'s block, overhanging by `over`."""
    ym = 0.5 * (y0 + y1)
    slope = (ridge - eaves) / (ym - y0)
    for ya, yb in ((y0 - over, ym), (y1 + over, ym)):
        za = eaves - over * slope
        base = len(verts)
        for z_off in (0.0, thick):
            verts += [(x0 - over, ya, za + z_off), (x1 + over, ya, za + z_off), (x1 + over, yb, ridge + z_off),
                      (x0 - over, yb, ridge + z_off)]
        faces += [(base + 4, base + 5, base + 6, base + 7), (base, base + 1, base + 5, base + 4),
                  (base, base + 4, base + 7, base + 3), (base + 1, base + 2, base + 6, base + 5)]


def box_faces(verts, faces, centre, size):
    base = len(verts)
    cx, cy, cz = centre
    sx, sy, sz = (s / 2 for s in size)
    for dz in (-sz, sz):
        verts += [(cx - sx, cy - sy, cz + dz), (cx + sx, cy - sy, cz + dz), (cx + sx, cy + sy, cz + dz),
                  (cx - sx, cy + sy, cz + dz)]
    faces += [(base, base + 3, base + 2, base + 1), (base + 4, base + 5, base + 6, base + 7),
              (base, base + 1, base + 5, base + 4), (base + 1, base + 2, base + 6, base + 5),
              (base + 2, base + 3, base + 7, base + 6), (base + 3, base, base + 4, base + 7)]


def part(name, verts, faces, mat, location, heading):
    obj = kit.mesh_object(name, verts, faces, smooth=False)
    kit.assign(obj, mat)
    obj.location = location
    obj.rotation_euler.z = heading
    return obj


def farmhouse(x, y, z, heading):
    """The house (two storeys, 14 by 8 m) and a lower barn at its end, in the house's own frame: x along
    the ridge, the front at -y."""
    walls, roofs, wood, panes = ([], []), ([], []), ([], []), ([], [])
    gabled(*walls, -7.0, 7.0, -4.0, 4.0, -1.0, 6.2, 8.4)
    roof(*roofs, -7.0, 7.0, -4.0, 4.0, 6.2, 8.4)
    gabled(*walls, 7.0, 16.0, -3.5, 3.5, -1.0, 4.2, 5.8)
    roof(*roofs, 7.0, 16.0, -3.5, 3.5, 4.2, 5.8, over=0.4)
    # the chimney through the roof near the ridge, and its cap
    box_faces(*walls, (-4.2, 1.2, 8.6), (0.9, 0.9, 3.2))
    box_faces(*roofs, (-4.2, 1.2, 10.25), (1.2, 1.2, 0.18))
    # windows on the front and the gable end towards the valley: dark panes, shutters open beside them
    for wx, wz in [(-5.0, 1.5), (-1.5, 1.5), (2.0, 1.5), (5.0, 1.5), (-5.0, 4.6), (-1.5, 4.6), (2.0, 4.6),
                   (5.0, 4.6)]:
        box_faces(*panes, (wx, -4.02, wz), (1.0, 0.1, 1.4 if wz < 3 else 1.2))
        for side in (-1, 1):
            box_faces(*wood, (wx + side * 0.78, -4.05, wz), (0.55, 0.08, 1.45 if wz < 3 else 1.25))
    box_faces(*panes, (0.3, -4.02, 1.1), (1.4, 0.1, 2.2))  # the door
    for wy, wz in [(-1.6, 1.5), (1.6, 1.5), (0.0, 4.8)]:
        box_faces(*panes, (-7.02, wy, wz), (0.1, 1.0, 1.3))
        for side in (-1, 1):
            box_faces(*wood, (-7.05, wy + side * 0.78, wz), (0.08, 0.55, 1.35))
    box_faces(*panes, (11.5, -3.52, 1.6), (3.2, 0.1, 3.0))  # the barn's wide door
    location = (x, y, z)
    part("farmhouse walls", *walls, kit.material("limestone", limestone), location, heading)
    part("farmhouse roofs", *roofs, kit.material("roof tiles", tiles), location, heading)
    part("shutters", *wood, kit.material("shutters", shutters), location, heading)
    part("windows", *panes, kit.material("panes", glass_dark), location, heading)


def walnut(x, y, z, seed):
    """A walnut about 12 m tall: a short trunk, limbs spreading out and up, each forking into branches, and
    the leaves in clumps round the branch ends, sky showing between them."""
    rng = np.random.RandomState(seed)
    wood, leaves = ([], []), ([], [])
    trunk_top = np.array([0.0, 0.0, 2.4])
    tube(*wood, [np.array([0.0, 0.0, -0.5]), np.array([0.1, 0.0, 1.2]), trunk_top], [0.5, 0.4, 0.34], 7)
    clumps = []
    for i in range(7):
        a = 2.0 * math.pi * i / 7 + rng.uniform(-0.3, 0.3)
        rise = rng.uniform(0.5, 1.2)
        length = rng.uniform(3.8, 5.2)
        d = np.array([math.cos(a) * math.cos(rise), math.sin(a) * math.cos(rise), math.sin(rise)])
        mid = trunk_top + d * length * 0.5 + np.array([0.0, 0.0, 0.3])
        end = trunk_top + d * length + np.array([0.0, 0.0, 0.6])
        tube(*wood, [trunk_top, mid, end], [0.2, 0.14, 0.08], 5)
        for j in range(3):
            b = a + rng.uniform(-0.9, 0.9)
            up = rng.uniform(0.1, 1.1)
            twig = np.array([math.cos(b) * math.cos(up), math.sin(b) * math.cos(up), math.sin(up)])
            start = mid if j == 0 else end
            tip = start + twig * rng.uniform(1.5, 2.6)
            tube(*wood, [start, tip], [0.07, 0.03], 4)
            clumps.append(tip)
        clumps.append(end + np.array([0.0, 0.0, 0.5]))
    # the crown closes over the middle
    clumps += [trunk_top + np.array([rng.uniform(-1.5, 1.5), rng.uniform(-1.5, 1.5), rng.uniform(4.5, 6.0)])
               for _ in range(3)]
    for centre in clumps:
        # a clump is a few balls of leaves; leaves are small triangles turned every way
        for _ in range(5):
            c = centre + rng.normal(0.0, 0.7, 3) * np.array([1.0, 1.0, 0.6])
            radius = rng.uniform(0.6, 1.1)
            n = 220
            points = rng.normal(0.0, 1.0, (n, 3))
            points = points / np.linalg.norm(points, axis=1)[:, None] * radius * rng.uniform(0.4, 1.0, (n, 1)) ** 0.4
            for p in points:
                q = c + p
                e1, e2 = rng.normal(0.0, 0.13, 3), rng.normal(0.0, 0.13, 3)
                base = len(leaves[0])
                leaves[0].extend([tuple(q), tuple(q + e1), tuple(q + e2)])
                leaves[1].append((base, base + 1, base + 2))
    part("walnut wood", *wood, kit.material("bark", bark), (x, y, z), 0.0)
    part("walnut leaves", *leaves, kit.material("walnut leaves", foliage), (x, y, z), 0.0)


def build():
    air.sky(*SUN, dust=2.5, air=1.1, clouds=[dict(height=6000.0, scale=3500.0, coverage=0.28, opacity=1.5,
                                                   stretch=5.0, heading=-15.0, seed=41.0, shadow=0.3)])
    x, y = terrain.view_grid((0.0, 0.0), LOOK, 100.0, 0.5, 25000.0, kit.scaled(1300), kit.scaled(900))
    terrain.grid_object("land", x, y, fields(x, y), kit.material("soil", soil))
    # the rows: bushes along lines running away from the camera towards the farm
    rng = np.random.RandomState(12)
    forward, right = kit.direction(0.0, LOOK + 3.0), kit.direction(0.0, LOOK + 93.0)
    points, scales = [], []
    for row in range(-14, 15):
        spacing = np.cumsum(rng.uniform(0.75, 1.0, 330))
        keep = spacing < 200.0
        a = spacing[keep] + 2.0
        b = row * ROW + rng.uniform(-0.08, 0.08, keep.sum())
        px, py = a * forward.x + b * right.x, a * forward.y + b * right.y
        points.append(np.stack([px, py, fields(px, py) - 0.03], 1))
        size = rng.uniform(0.85, 1.2, keep.sum())
        scales.append(np.stack([size * rng.uniform(0.9, 1.1, keep.sum()), size * rng.uniform(0.9, 1.1, keep.sum()),
                                size * rng.uniform(0.85, 1.15, keep.sum())], 1))
    points, scales = np.concatenate(points), np.concatenate(scales)
    flowers, leaves = kit.material("lavender", lavender), kit.material("stems", stems)
    templates = [bush("lavender %d" % i, 70 + i, leaves, flowers) for i in range(6)]
    kit.scatter("rows", templates, points, scales, rng.uniform(0, 6.3, len(points)), rng.randint(0, 6, len(points)))
    # dry grass in the alleys between the rows, thick near, thinning out with distance
    count = kit.scaled(9000, 400)
    a = 1.0 + 70.0 * rng.uniform(0.0, 1.0, count) ** 1.8
    b = (rng.randint(-14, 14, count) + 0.5 + rng.normal(0.0, 0.17, count)) * ROW
    px, py = a * forward.x + b * right.x, a * forward.y + b * right.y
    dry = kit.material("dry grass", straw)
    kit.scatter("grass", [tuft("tuft %d" % i, 30 + i, dry) for i in range(3)],
                np.stack([px, py, fields(px, py) - 0.02], 1), rng.uniform(0.12, 0.32, count),
                rng.uniform(0, 6.3, count), rng.randint(0, 3, count))
    fx, fy = 215.0 * forward.x - 12.0 * right.x, 215.0 * forward.y - 12.0 * right.y
    fz = float(fields(np.array([fx]), np.array([fy]))[0])
    # the house seen from its front corner: its front looks back along the rows, turned 35 degrees away
    heading = math.radians(180.0 - (LOOK + 3.0 - 180.0 - 35.0))
    farmhouse(fx, fy, fz, heading)
    tx, ty = fx - 14.0 * right.x + 8.0 * forward.x, fy - 14.0 * right.y + 8.0 * forward.y
    walnut(tx, ty, float(fields(np.array([tx]), np.array([ty]))[0]), 5)
    # two cypresses, dark columns beside the barn
    cypress = kit.material("cypress", foliage)
    for i, (ahead, aside, height) in enumerate([(6.0, 14.0, 13.0), (9.0, 17.0, 11.0)]):
        cx, cy = fx + ahead * forward.x + aside * right.x, fy + ahead * forward.y + aside * right.y
        tree_obj = kit.spruce("cypress %d" % i, height, mat=cypress, seed=80 + i)
        tree_obj.location = (cx, cy, float(fields(np.array([cx]), np.array([cy]))[0]) - 0.3)
        tree_obj.scale = (0.45, 0.45, 1.0)
    eye_z = float(fields(np.array([0.0]), np.array([0.0]))[0]) + 1.9
    target = kit.direction(-3.0, LOOK)
    kit.camera((0.0, 0.0, eye_z), (target.x, target.y, eye_z + target.z), 56.0)
    kit.film(exposure=-1.6)
    kit.bloom(threshold=2.5, size=8, mix=-0.8)
    kit.clean_margins(SAMPLES // 3)
    # the haze drawn into every material is an emission: as lights, the many thousands of triangles would
    # take long to list and draw samples away from the sun
    for mat in bpy.data.materials:
        mat.cycles.sample_as_light = False
