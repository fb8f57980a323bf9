"""Sunrise over forested ridges: from a shelf of grass, heather and granite where a stand of spruces, their
branches hanging in tiers, is lit gold from the right, the eye crosses a valley of mist to a wooden fire lookout
in a clearing on a wooded knoll of the next crest, and on over ridge after ridge fading into the blue mist that
lies in the valleys between them; the sun just up, off to the right, its glow on that side of the sky."""
import math

import numpy as np

import air
import kit
import terrain

SAMPLES = 28
DENOISE = 3.0
SUN = (13.0, 150.0)  # just risen, off to the right of the view: the spruces' and the crests' right flanks lit
LOOK = 80.0
EYE_Z = 110.0
# Ridges across the view: (distance ahead in metres, the angle its crest rises to seen from the camera, seed);
# each stands a little higher in the picture than the one before it.
RIDGES = [(620.0, -4.2, 1), (1150.0, -2.3, 2), (1900.0, -0.9, 3), (3200.0, 0.5, 4), (5500.0, 1.7, 5),
          (9000.0, 2.7, 6), (15000.0, 3.5, 7)]
# spruces on the shelf at the camera's feet: (metres ahead, metres right, height)
# a stand on the right that frames the view, each tree whole in the picture
NEAR_SPRUCES = [(46.0, 8.0, 19.0), (53.0, 11.0, 15.0), (60.0, 7.0, 22.0), (41.0, 10.0, 9.5), (66.0, 12.5, 17.0)]
# granite at the camera's feet: (metres ahead, metres right, size), well inside the frame
OUTCROPS = [(17.0, -3.0, 1.4), (22.0, 3.8, 1.0), (28.0, 0.2, 0.7), (14.0, 1.6, 0.45), (33.0, -4.5, 1.2)]
TOWER = (620.0, -99.0)  # the lookout on a knoll of the nearest crest: metres ahead, metres to the right


def hills(x, y):
    """The ground: the slope the camera stands on falling away into the first valley, then ridges across the
    view, each with its own crest line, spurs down its flanks and valleys between them; a level top where
    the lookout stands."""
    z = _ground(x, y)
    ahead, across = terrain.to_view(x, y, LOOK)
    place, crest = lookout_site()
    level = terrain.smoothstep(14.0, 7.0, np.hypot(ahead - place[0], across - place[1]))
    return z + (np.maximum(z, crest - 0.5) - z) * level


def lookout_site():
    """Where the lookout stands, (ahead, across), and the ground's height there."""
    x, y = terrain.from_view(np.array([TOWER[0]]), np.array([TOWER[1]]), LOOK)
    return TOWER, float(_ground(x, y)[0])


def _ground(x, y):
    ahead, across = terrain.to_view(x, y, LOOK)
    # a shelf of heather at the camera's feet, then the slope dropping away to the valley floor
    a = np.clip(ahead, 0.0, None)
    z = np.maximum(108.0 - 0.1 * a - 150.0 * terrain.smoothstep(60.0, 340.0, a), -42.0)
    z = z + 4.0 * terrain.fbm(x / 90.0, y / 90.0, 4, seed=31)
    for distance, angle, seed in RIDGES:
        width = distance * 0.22
        line = distance + width * 0.5 * terrain.fbm(across / (distance * 1.2), distance * 0.01, 3, seed=seed)
        profile = np.exp(-((ahead - line) / width) ** 2 * 2.0)
        wander = math.radians(1.8) * terrain.fbm(across / (distance * 0.5), 0.5, 5, seed=seed + 10)
        top = EYE_Z + distance * np.tan(math.radians(angle) + wander) + 40.0
        spurs = 0.14 * terrain.fbm(across / (distance * 0.12), ahead / (distance * 0.12), 4, seed=seed + 20)
        z = np.maximum(z, top * profile * (1.0 + spurs) - 40.0)
    # the knoll the lookout stands on rises over the crest, against the mist of the valleys beyond
    z = z + 32.0 * np.exp(-(np.hypot(ahead - TOWER[0], across - TOWER[1]) / 80.0) ** 2)
    return z + 8.0 * terrain.fbm(x / 120.0, y / 120.0, 5, seed=30)


def misty(tree, shader):
    """Mist lying thick in the valleys, and a haze over everything that deepens with distance."""
    # the sky's glow is gold where the sun is; the air between the ridges is the blue of the shade
    return air.hazed(tree, air.hazed(tree, shader, 900.0, 30.0, tint=(0.45, 0.62, 1.1)), 5000.0, 2000.0,
                     tint=(0.75, 0.86, 1.1))


def ground(tree):
    p = kit.coordinates(tree, "Object")
    colour = kit.ramp(tree, kit.noise(tree, p, 0.05, 4.0), [(0.3, (0.02, 0.032, 0.013)), (0.5, (0.042, 0.04, 0.02)),
                                                           (0.7, (0.03, 0.045, 0.017))])
    # heather and bilberry in tufts, dead grass between
    tufts = kit.noise(tree, p, 2.0, 5.0, 0.6)
    colour = kit.mix_colour(tree, kit.map_range(tree, tufts, 0.5, 0.65), colour, (0.075, 0.05, 0.03, 1.0))
    normal = kit.bump(tree, kit.math_node(tree, "ADD", tufts, kit.noise(tree, p, 12.0, 3.0)), 0.6, 0.3)
    return misty(tree, kit.principled(tree, colour, 0.9, normal=normal))


def needles(tree):
    p = kit.coordinates(tree, "Object")
    colour = kit.ramp(tree, kit.noise(tree, p, 3.0, 2.0), [(0.3, (0.022, 0.04, 0.02)), (0.7, (0.045, 0.064, 0.03))])
    # tufts of needles on the fronds, and the low sun shining through their edges
    normal = kit.bump(tree, kit.noise(tree, p, 90.0, 3.0, 0.6), 0.6, 0.01)
    leaf = kit.principled(tree, colour, 0.75, sheen=0.4, normal=normal)
    through = kit.node(tree, "ShaderNodeBsdfTranslucent", {"Color": colour, "Normal": normal}).outputs[0]
    return misty(tree, kit.node(tree, "ShaderNodeMixShader", {0: 0.2, 1: leaf, 2: through}).outputs[0])


def timber(tree):
    p = kit.coordinates(tree, "Object")
    grain = kit.node(tree, "ShaderNodeMapping", {"Vector": p, "Scale": (1.0, 1.0, 0.08)}).outputs[0]
    colour = kit.ramp(tree, kit.noise(tree, grain, 6.0, 4.0), [(0.3, (0.09, 0.06, 0.04)), (0.7, (0.16, 0.11, 0.07))])
    return misty(tree, kit.principled(tree, colour, 0.8))


def tussock(name, seed, mat):
    """A tuft of grass a metre tall: blades rising from a tight base and arching outwards."""
    rng = np.random.RandomState(seed)
    verts, faces = [], []
    for k in range(28):
        a = rng.uniform(0.0, 2.0 * math.pi)
        lean = rng.uniform(0.15, 0.7)
        tall = rng.uniform(0.6, 1.0)
        side = (-math.sin(a) * 0.025, math.cos(a) * 0.025)
        root = (0.06 * math.cos(a) * rng.uniform(0.0, 1.0), 0.06 * math.sin(a) * rng.uniform(0.0, 1.0))
        mid = (root[0] + lean * 0.45 * math.cos(a), root[1] + lean * 0.45 * math.sin(a), tall * 0.6)
        tip = (root[0] + lean * math.cos(a), root[1] + lean * math.sin(a), tall * (1.0 - 0.4 * lean))
        n = len(verts)
        verts += [(root[0] - side[0], root[1] - side[1], 0.0), (root[0] + side[0], root[1] + side[1], 0.0),
                  (mid[0] + side[0] * 0.6, mid[1] + side[1] * 0.6, mid[2]), (mid[0] - side[0] * 0.6, mid[1] - side[1] * 0.6, mid[2]),
                  tip]
        faces += [(n, n + 1, n + 2, n + 3), (n + 3, n + 2, n + 4)]
    obj = kit.mesh_object(name, verts, faces, smooth=False)
    return kit.assign(obj, mat)


def grass(tree):
    colour = kit.ramp(tree, kit.noise(tree, kit.coordinates(tree, "Generated"), 2.0, 2.0),
                      [(0.3, (0.07, 0.055, 0.025)), (0.7, (0.11, 0.085, 0.04))])
    blade = kit.principled(tree, colour, 0.7)
    through = kit.node(tree, "ShaderNodeBsdfTranslucent", {"Color": colour}).outputs[0]
    return kit.node(tree, "ShaderNodeMixShader", {0: 0.3, 1: blade, 2: through}).outputs[0]


def outcrop(tree):
    p = kit.coordinates(tree, "Object")
    colour = kit.ramp(tree, kit.noise(tree, p, 1.5, 6.0, 0.6), [(0.35, (0.03, 0.029, 0.027)), (0.65, (0.07, 0.067, 0.062))])
    lichen = kit.map_range(tree, kit.noise(tree, p, 3.0, 4.0, 0.7), 0.55, 0.62)
    colour = kit.mix_colour(tree, lichen, colour, (0.08, 0.085, 0.055, 1.0))
    normal = kit.bump(tree, kit.noise(tree, p, 4.0, 8.0, 0.65), 0.4, 0.08)
    return kit.principled(tree, colour, 0.8, normal=normal)


def lookout(base, mat, roof_mat, glass_mat):
    """A wooden fire lookout: four splayed legs with cross bracing, a cabin with a window band on top, a
    pyramid roof."""
    x, y, z = base
    legs, spread, waist = 22.0, 5.0, 2.4
    turn = math.radians(-LOOK + 20.0)
    c, s = math.cos(turn), math.sin(turn)

    def at(u, v, h):
        return (x + c * u - s * v, y + s * u + c * v, z + h)

    def beam(a, b, thick, name):
        a, b = kit.Vector(a), kit.Vector(b)
        obj = kit.box(name, (a + b) / 2.0, (thick, thick, (b - a).length), mat)
        obj.rotation_euler = (b - a).to_track_quat("Z", "Y").to_euler()
        return obj

    corners = [(1, 1), (-1, 1), (-1, -1), (1, -1)]
    for i, (u, v) in enumerate(corners):
        beam(at(u * spread, v * spread, -1.0), at(u * waist, v * waist, legs), 0.7, "leg %d" % i)
    for level in range(4):
        h0, h1 = legs * level / 4.0, legs * (level + 1) / 4.0
        r0 = spread + (waist - spread) * level / 4.0
        r1 = spread + (waist - spread) * (level + 1) / 4.0
        for i in range(4):
            (u0, v0), (u1, v1) = corners[i], corners[(i + 1) % 4]
            beam(at(u0 * r0, v0 * r0, h0), at(u1 * r1, v1 * r1, h1), 0.3, "brace %d %d" % (level, i))
            beam(at(u0 * r1, v0 * r1, h1), at(u1 * r1, v1 * r1, h1), 0.3, "girt %d %d" % (level, i))
    cabin = kit.box("cabin", at(0.0, 0.0, legs + 0.6), (2 * waist + 0.6, 2 * waist + 0.6, 1.2), mat)
    cabin.rotation_euler.z = turn
    band = kit.box("windows", at(0.0, 0.0, legs + 1.8), (2 * waist + 0.4, 2 * waist + 0.4, 1.2), glass_mat)
    band.rotation_euler.z = turn
    roof = kit.cone("roof", at(0.0, 0.0, legs + 2.4 + 0.7), (waist + 0.9) * math.sqrt(2.0), 0.05, 1.4, 4, roof_mat,
                    rotation=(0.0, 0.0, turn + math.pi / 4.0), smooth=False)
    return roof


def build():
    air.sky(*SUN, dust=0.65, air=1.1, clouds=[dict(height=5000.0, scale=3000.0, coverage=0.25, opacity=1.5,
                                                   stretch=4.0, heading=-10.0, seed=2.0, shadow=0.3)])
    eye = (0.0, 0.0)
    x, y = terrain.view_grid(eye, LOOK, 70.0, 5.0, 30000.0, kit.scaled(1600), kit.scaled(1000))
    terrain.grid_object("ridges", x, y, hills(x, y), kit.material("ground", ground))
    rng = np.random.RandomState(4)
    mat = kit.material("needles", needles)
    templates = [kit.fir("spruce %d" % i, 1.0, 34, 9, mat, seed=i) for i in range(6)]
    # spruces down the near slope and over the two nearest ridges, their tips breaking the skyline; none on
    # the lookout's clearing
    count = kit.scaled(16000, 300)
    ahead = 100.0 * (1300.0 / 100.0) ** rng.uniform(0.0, 1.0, count) ** 0.8
    across = ahead * rng.uniform(-0.5, 0.5, count)
    # and a few on the shelf at the camera's feet, either side of the view to the lookout
    framing = len(NEAR_SPRUCES)
    ahead[:framing], across[:framing] = np.array(NEAR_SPRUCES)[:, 0], np.array(NEAR_SPRUCES)[:, 1]
    # and round the lookout on its knoll, up to the edge of the little clearing it stands in
    round_tower = kit.scaled(260, 12)
    a, d = rng.uniform(0.0, 2.0 * math.pi, round_tower), 13.0 + 110.0 * rng.uniform(0.0, 1.0, round_tower) ** 1.5
    ahead[framing:framing + round_tower] = TOWER[0] + d * np.cos(a)
    across[framing:framing + round_tower] = TOWER[1] + d * np.sin(a)
    place, _ = lookout_site()
    clearing = (np.hypot(ahead - place[0], across - place[1]) > 12.0) & (
        (ahead > 220.0) | (np.abs(across - ahead * TOWER[1] / TOWER[0]) > 0.12 * ahead))
    near = ahead < 260.0
    # near the camera in clumps, with glades between, so each tree shows its shape
    clumps = (terrain.fbm(ahead / 60.0, across / 60.0, 3, seed=33) > np.where(near, 0.05, -0.3)) | (
        np.arange(count) < framing + round_tower)
    tx, ty = terrain.from_view(ahead, across, LOOK)
    tz = hills(tx, ty)
    keep = (tz > -10.0) & clearing & clumps
    size = rng.uniform(14.0, 24.0, count)
    size[:framing] = np.array(NEAR_SPRUCES)[:, 2]
    kit.scatter("forest", templates, np.stack([tx, ty, tz - 0.5], 1)[keep], size[keep],
                rng.uniform(0.0, 6.3, count)[keep], rng.randint(0, 6, count)[keep])
    # dwarf spruce and juniper bushes over the shelf
    count = kit.scaled(150, 20)
    ahead = rng.uniform(6.0, 75.0, count)
    across = ahead * rng.uniform(-0.55, 0.55, count)
    bx, by = terrain.from_view(ahead, across, LOOK)
    width = rng.uniform(1.2, 3.5, count)
    kit.scatter("bushes", [kit.spruce("bush %d" % i, 1.0, 10, 9, mat, seed=20 + i) for i in range(3)],
                np.stack([bx, by, hills(bx, by) - 0.15 * width], 1),
                np.stack([width, width * rng.uniform(0.6, 1.0, count), width * rng.uniform(0.22, 0.45, count)], 1),
                rng.uniform(0.0, 6.3, count), rng.randint(0, 3, count))
    tx, ty = terrain.from_view(np.array([place[0]]), np.array([place[1]]), LOOK)
    lookout((float(tx[0]), float(ty[0]), float(hills(tx, ty)[0])), kit.material("timber", timber),
            kit.material("roof", lambda t: misty(t, kit.principled(t, (0.1, 0.035, 0.025), 0.6))),
            kit.material("glass", lambda t: misty(t, kit.principled(t, (0.02, 0.02, 0.02), 0.1))))
    # lichened granite breaking through the heather at the camera's feet
    granite = kit.material("granite", outcrop)
    for i, (a, r, size) in enumerate(OUTCROPS):
        rx, ry = terrain.from_view(np.array([a]), np.array([r]), LOOK)
        rz = float(hills(rx, ry)[0])
        kit.fractured("outcrop %d" % i, (size * 1.6, size * 1.2, size), 14, 70 + i, upright=0.6, depth=(0.6, 0.95),
                      location=(float(rx[0]), float(ry[0]), rz - size * 0.65), rotation=(0.0, 0.0, 0.7 * i),
                      mat=granite, subdivisions=3)
    # tussocks of dry grass all over the shelf, catching the low sun
    count = kit.scaled(14000, 40)
    ahead = 4.0 + 80.0 * rng.uniform(0.0, 1.0, count) ** 0.7
    across = ahead * rng.uniform(-0.5, 0.5, count)
    gx, gy = terrain.from_view(ahead, across, LOOK)
    height = rng.uniform(0.3, 0.8, count)
    kit.scatter("grass", [tussock("tussock %d" % i, i, kit.material("grass", grass)) for i in range(3)],
                np.stack([gx, gy, hills(gx, gy) - 0.03], 1), np.stack([height * 1.3, height * 1.3, height], 1),
                rng.uniform(0.0, 6.3, count), rng.randint(0, 3, count))
    eye_z = float(hills(np.zeros(1), np.zeros(1))[0]) + 3.0
    target = kit.direction(-4.0, LOOK)
    kit.camera((eye[0], eye[1], eye_z), (target.x, target.y, eye_z + target.z), 36.0)
    kit.film(exposure=-3.6)
    kit.clean_margins(12)
    kit.bloom(threshold=3.0, size=8, mix=-0.75)
