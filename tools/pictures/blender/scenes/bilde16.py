"""An old wooden jetty running out into a still lake at sunrise, mist lifting off the water, the far shore's
pines dark against a sky of peach and pale blue."""
import math

import bmesh
import bpy
import numpy as np

import air
import kit
import terrain

SAMPLES = 64
SUN = (3.0, 78.0)  # just up, behind the far shore a little right of the jetty
LOOK = 70.0
DECK = 1.05  # the planks' height over the water: enough to see the piles between


def shore(x, y):
    ahead, across = terrain.to_view(x, y, LOOK)
    far = 14.0 * terrain.smoothstep(520.0, 640.0, ahead + 90.0 * terrain.fbm(across / 500.0, 0.0, 4, seed=161))
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


def pile(tree):
    """The piles: the same boards' wood, darker, and black-green where the lake keeps them wet."""
    p = kit.coordinates(tree, "Object")
    stretched = kit.node(tree, "ShaderNodeMapping", {"Vector": p, "Scale": (8.0, 8.0, 0.6)}).outputs[0]
    grain = kit.noise(tree, stretched, 3.0, 6.0, 0.6)
    colour = kit.ramp(tree, grain, [(0.3, (0.05, 0.042, 0.035)), (0.7, (0.13, 0.11, 0.09))])
    height = kit.node(tree, "ShaderNodeSeparateXYZ",
                      {0: kit.node(tree, "ShaderNodeNewGeometry").outputs["Position"]}).outputs["Z"]
    wet = kit.map_range(tree, height, 0.05, 0.4)
    colour = kit.mix_colour(tree, wet, (0.012, 0.016, 0.01, 1.0), colour)
    return misty(tree, kit.principled(tree, colour, kit.map_range(tree, wet, 0.0, 1.0, 0.3, 0.8),
                                      normal=kit.bump(tree, grain, 0.6, 0.01)))


def hull(bm):
    """A rowing boat's hull: the lower half of a long ellipsoid, narrowed to a bow, cut square at the stern."""
    bmesh.ops.create_uvsphere(bm, u_segments=40, v_segments=20, radius=1.0)
    bmesh.ops.bisect_plane(bm, geom=bm.verts[:] + bm.edges[:] + bm.faces[:], plane_co=(0.0, 0.0, 0.3),
                           plane_no=(0.0, 0.0, 1.0), clear_outer=True)
    bmesh.ops.bisect_plane(bm, geom=bm.verts[:] + bm.edges[:] + bm.faces[:], plane_co=(-0.8, 0.0, 0.0),
                           plane_no=(-1.0, 0.0, 0.0), clear_outer=True)
    for v in bm.verts:
        x, y, z = v.co
        bow = max(x, 0.0)
        # the sheer rises towards the bow
        v.co = (x * 2.2, y * 0.75 * (1.0 - 0.45 * bow * bow), z * 0.5 + 0.12 * bow * bow * (z + 1.0))
    # the transom closes the cut stern
    stern = [e for e in bm.edges if e.is_boundary and all(v.co.x < -1.7 for v in e.verts)]
    bmesh.ops.edgeloop_fill(bm, edges=stern)


def boat(location, heading):
    paint = kit.material("boat paint", lambda t: misty(t, kit.principled(t, (0.32, 0.05, 0.03), 0.45)))
    bare = kit.material("boat's inside", lambda t: misty(t, kit.principled(t, (0.3, 0.22, 0.14), 0.7)))
    mesh = bpy.data.meshes.new("boat")
    bm = bmesh.new()
    hull(bm)
    bm.to_mesh(mesh)
    bm.free()
    kit._smooth(mesh)
    mesh.materials.append(paint)
    mesh.materials.append(bare)
    obj = kit.add_object("boat", mesh, location, (0.0, 0.0, heading))
    # the planking's inner face, which the solidify adds, is bare wood
    planking = obj.modifiers.new("planking", "SOLIDIFY")
    planking.thickness = 0.04
    planking.material_offset = 1
    # a thwart to sit on
    kit.box("thwart", (location[0], location[1], location[2] + 0.02), (0.18, 1.0, 0.04),
            kit.material("thwart", lambda t: misty(t, kit.principled(t, (0.2, 0.15, 0.1), 0.7)))).rotation_euler.z = heading


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
        plank = kit.box("plank", (c.x, c.y, DECK + rng.uniform(-0.003, 0.003)),
                        (0.185, 1.7 + rng.uniform(-0.04, 0.04), 0.025), wood)
        plank.rotation_euler = (rng.uniform(-0.004, 0.004), rng.uniform(-0.004, 0.004), turn + rng.uniform(-0.015, 0.015))
    piles = kit.material("piles", pile)
    # round piles driven into the lake bed, the last pair standing above the deck to moor a boat to
    for k in range(12):
        for side in (-0.86, 0.86):
            c = forward * (-2.0 + k * 2.8) + right * side
            top = DECK + (0.7 if k == 11 else -0.02)
            post = kit.cone("post", (c.x, c.y, (top - 2.0) / 2), 0.11, 0.1, top + 2.0, 12, piles)
            post.rotation_euler = (rng.uniform(-0.03, 0.03), rng.uniform(-0.03, 0.03), rng.uniform(0, 6.3))
    # a stringer under each side of the planks
    for side in (-0.7, 0.7):
        c = forward * 13.5 + right * side
        stringer = kit.box("stringer", (c.x, c.y, DECK - 0.09), (33.0, 0.08, 0.16), wood)
        stringer.rotation_euler.z = turn
    # a rowing boat moored alongside
    moor = forward * 10.0 + right * 1.75
    boat((moor.x, moor.y, 0.18), turn - math.radians(10.0))
    # pines along the far shore
    count = kit.scaled(7000, 150)
    ahead = rng.uniform(560.0, 1500.0, count)
    across = rng.uniform(-1.2, 1.2, count) * ahead
    tx, ty = terrain.from_view(ahead, across, LOOK)
    tz = shore(tx, ty)
    keep = tz > 0.5
    mat = kit.material("needles", needles)
    templates = [kit.conifer("pine %d" % i, 1.0, 9, mat, seed=30 + i) for i in range(3)]
    kit.scatter("pines", templates, np.stack([tx, ty, tz - 0.5], 1)[keep], rng.uniform(14.0, 24.0, count)[keep],
                rng.uniform(0, 6.3, count)[keep], rng.randint(0, 3, count)[keep])
    # from the bank a step to the side, so the piles and the deck's edge stand in the water with their reflections
    eye = forward * -5.0 + right * 1.2
    aim = forward * 60.0 - right * 0.6
    kit.camera((eye.x, eye.y, 2.1), (aim.x, aim.y, 0.9), 58.0)
    kit.film(exposure=-2.2)
    kit.bloom(threshold=2.0, size=8, mix=-0.75)
    kit.clean_margins(SAMPLES // 3)
