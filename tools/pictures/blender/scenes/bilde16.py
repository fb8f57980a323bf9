"""An old wooden jetty running out into a still lake at sunrise, mist lifting off the water, the far shore's
pines dark against a sky of peach and pale blue."""
import math

import bpy
import numpy as np

import air
import kit
import terrain

SAMPLES = 64
SUN = (3.0, 78.0)  # just up, behind the far shore a little right of the jetty
LOOK = 70.0


def shore(x, y):
    ahead, across = terrain.to_view(x, y, LOOK)
    far = 14.0 * terrain.smoothstep(900.0, 1100.0, ahead + 120.0 * terrain.fbm(across / 700.0, 0.0, 4, seed=161))
    hills = 80.0 * terrain.smoothstep(1200.0, 4000.0, ahead) * (0.5 + 0.6 * terrain.fbm(across / 1500.0, ahead / 1500.0, 4,
                                                                                           seed=162))
    near = 2.0 * terrain.smoothstep(-4.0, -14.0, ahead)
    return far + hills + near - 2.5 + 0.4 * terrain.fbm(x / 30.0, y / 30.0, 3, seed=163)


def misty(tree, shader):
    """Mist lying on the water, and the morning haze above it."""
    return air.misty(tree, shader, (260.0, 6.0), (3000.0, 600.0), tint=(1.02, 1.0, 1.0))


def land(tree):
    p = kit.coordinates(tree, "Object")
    colour = kit.ramp(tree, kit.noise(tree, p, 0.2, 5.0), [(0.3, (0.03, 0.035, 0.02)), (0.7, (0.07, 0.07, 0.04))])
    return misty(tree, kit.principled(tree, colour, 0.9))


def needles(tree):
    return misty(tree, kit.principled(tree, (0.02, 0.03, 0.018), 0.8))


def weathered(tree):
    p = kit.coordinates(tree, "Object")
    stretched = kit.node(tree, "ShaderNodeMapping", {"Vector": p, "Scale": (1.0, 14.0, 1.0)}).outputs[0]
    grain = kit.noise(tree, stretched, 6.0, 6.0, 0.6)
    colour = kit.ramp(tree, grain, [(0.3, (0.10, 0.085, 0.07)), (0.7, (0.26, 0.23, 0.19))])
    # every board weathered its own way: some greyer and paler, some darker
    board = kit.node(tree, "ShaderNodeObjectInfo").outputs["Random"]
    colour = kit.mix_colour(tree, kit.map_range(tree, board, 0.0, 1.0, 0.0, 0.6, False), colour,
                            kit.ramp(tree, board, [(0.0, (0.07, 0.065, 0.06)), (1.0, (0.3, 0.29, 0.27))]))
    return misty(tree, kit.principled(tree, colour, 0.75, normal=kit.bump(tree, grain, 0.5, 0.005)))


def build():
    air.sky(*SUN, dust=0.7, air=1.1, clouds=[dict(height=4500.0, scale=2500.0, coverage=0.3, opacity=1.8, stretch=4.0,
                                                   heading=-20.0, seed=91.0, shadow=0.3)])
    x, y = terrain.view_grid((0.0, 0.0), LOOK, 110.0, 0.5, 25000.0, kit.scaled(1300), kit.scaled(900))
    terrain.grid_object("shore", x, y, shore(x, y), kit.material("land", land))
    water = terrain.grid_object("lake", *terrain.square_grid((0.0, 0.0), 12000.0, 2), np.zeros((2, 2)),
                                kit.material("lake", lambda t: kit.clear_water(t, (0.45, 0.42, 0.3), 0.6, 0.0,
                                                                               ripples=0.015, ripple_scale=2.0)))
    # the jetty: planks on two stringers on posts, running out from the near bank
    wood = kit.material("weathered wood", weathered)
    forward, right = kit.direction(0.0, LOOK - 4.0), kit.direction(0.0, LOOK + 86.0)
    rng = np.random.RandomState(16)
    turn = math.radians(90.0 - (LOOK - 4.0))
    # thin boards laid flat and close, a finger's gap between them: thick ones with wide gaps read as steps
    for k in range(165):
        a = -3.0 + k * 0.2
        c = forward * a
        plank = kit.box("plank", (c.x, c.y, 0.61 + rng.uniform(-0.003, 0.003)),
                        (0.185, 1.7 + rng.uniform(-0.04, 0.04), 0.025), wood)
        plank.rotation_euler = (rng.uniform(-0.004, 0.004), rng.uniform(-0.004, 0.004), turn + rng.uniform(-0.015, 0.015))
    for k in range(12):
        for side in (-0.8, 0.8):
            c = forward * (-2.0 + k * 2.8) + right * side
            post = kit.box("post", (c.x, c.y, -0.35), (0.14, 0.14, 1.8), wood)
            post.rotation_euler = (rng.uniform(-0.03, 0.03), rng.uniform(-0.03, 0.03), rng.uniform(0, 1))
    # a stringer under each side of the planks
    for side in (-0.7, 0.7):
        c = forward * 13.5 + right * side
        stringer = kit.box("stringer", (c.x, c.y, 0.52), (33.0, 0.08, 0.16), wood)
        stringer.rotation_euler.z = turn
    # pines along the far shore
    count = kit.scaled(5000, 150)
    ahead = rng.uniform(980.0, 1800.0, count)
    across = rng.uniform(-1.2, 1.2, count) * ahead
    tx, ty = terrain.from_view(ahead, across, LOOK)
    tz = shore(tx, ty)
    keep = tz > 0.5
    mat = kit.material("needles", needles)
    templates = [kit.conifer("pine %d" % i, 1.0, 9, mat, seed=30 + i) for i in range(3)]
    kit.scatter("pines", templates, np.stack([tx, ty, tz - 0.5], 1)[keep], rng.uniform(14.0, 24.0, count)[keep],
                rng.uniform(0, 6.3, count)[keep], rng.randint(0, 3, count)[keep])
    eye = forward * -4.5 + right * 0.15
    kit.camera((eye.x, eye.y, 2.2), (forward.x * 60.0, forward.y * 60.0, 0.8), 58.0)
    kit.film(exposure=-1.9)
    kit.bloom(threshold=2.0, size=8, mix=-0.75)
    kit.clean_margins(SAMPLES // 3)
