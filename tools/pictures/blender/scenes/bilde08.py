"""A marble colonnade in the low evening sun: fluted columns in two rows, their shadows laid in long bars
across the worn paving, warm light bounced up under the beams."""
import math

import bpy
import numpy as np

import air
import kit
import terrain

SAMPLES = 40
DENOISE = 1.5
# the shade under the roof is lit by bounced light and the sky: smoothed (render_scene.py), the sun's
# edges kept
SMOOTH_BOUNCES = dict(radius=16, direct=True, glossy=True, sharp=["sun"], edge=0.6)
SUN = (7.0, 258.0)  # evening, from the west, across the colonnade: the columns lay their shadows over the floor
COLUMNS = 14  # in each row
SPACING = 4.2  # from column to column along a row, metres
ROWS = 4.6  # each row's distance from the axis
HEIGHT = 7.6  # of a column's shaft


def column_mesh(name, radius=0.72, flutes=20):
    """A Doric shaft: flutes cut round it, swelling a little above its foot and narrowing to the top."""
    around, up = flutes * 8, 48
    verts, faces = [], []
    for j in range(up + 1):
        t = j / up
        r = radius * (1.0 - 0.19 * t + 0.025 * math.sin(math.pi * t))
        for i in range(around):
            a = 2.0 * math.pi * i / around
            flute = 0.5 - 0.5 * math.cos(flutes * a)
            verts.append(((r - 0.045 * (1.0 - flute ** 0.5)) * math.cos(a),
                          (r - 0.045 * (1.0 - flute ** 0.5)) * math.sin(a), t * HEIGHT))
    for j in range(up):
        for i in range(around):
            a, b = j * around + i, j * around + (i + 1) % around
            faces.append((a, b, b + around, a + around))
    return kit.mesh_object(name, verts, faces)


def marble(tree):
    p = kit.coordinates(tree, "Object")
    veins = kit.noise(tree, p, 0.9, 10.0, 0.7, 4.0)
    colour = kit.ramp(tree, veins, [(0.42, (0.56, 0.50, 0.42)), (0.5, (0.74, 0.68, 0.58)), (0.6, (0.70, 0.65, 0.56))])
    z = kit.node(tree, "ShaderNodeSeparateXYZ", {0: kit.coordinates(tree, "Generated")}).outputs["Z"]
    grime = kit.math_node(tree, "MULTIPLY", kit.map_range(tree, z, 0.25, 0.0),
                          kit.map_range(tree, kit.noise(tree, p, 2.0, 4.0), 0.4, 0.6))
    colour = kit.mix_colour(tree, grime, colour, (0.30, 0.27, 0.22, 1.0))
    pits = kit.bump(tree, kit.noise(tree, p, 14.0, 6.0, 0.7), 0.15, 0.02)
    return air.hazed(tree, kit.principled(tree, colour, 0.45, normal=pits), 9000.0)


def hills_far(x, y):
    return 260.0 * terrain.fbm(x / 3000.0, y / 3000.0, 6, seed=51) + 120.0 - 300.0 * terrain.smoothstep(
        2500.0, 900.0, np.hypot(x, y))


def countryside(tree):
    p = kit.coordinates(tree, "Object")
    colour = kit.ramp(tree, kit.noise(tree, p, 0.003, 5.0), [(0.35, (0.10, 0.09, 0.04)), (0.65, (0.16, 0.14, 0.07))])
    return air.hazed(tree, kit.principled(tree, colour, 0.9), 5000.0, 800.0)


def build():
    air.sky(*SUN, dust=1.8, clouds=[dict(height=5000.0, scale=2500.0, coverage=0.3, opacity=2.0, stretch=3.0,
                                         heading=10.0, seed=4.0)])
    stone = kit.material("marble", marble)
    length = (COLUMNS - 1) * SPACING
    # the platform: three steps, and the paving on it in slabs that have settled unevenly
    for step in range(3):
        grow = (2 - step) * 0.55
        kit.box("step %d" % step, (0.0, length / 2.0, -0.9 + step * 0.32),
                (2 * ROWS + 3.0 + 2 * grow, length + 4.0 + 2 * grow, 0.32), stone)
    rng = np.random.RandomState(3)
    # the bed the slabs are laid in, a finger's depth below their faces: the joints are shallow grooves
    kit.box("bedding", (0.0, length / 2.0, -0.065), (2 * ROWS + 3.0, length + 4.0, 0.1),
            kit.simple_material("lime mortar", (0.42, 0.39, 0.33), 0.9))
    slab = 1.4
    for i in range(int((2 * ROWS + 3.0) / slab)):
        for j in range(int((length + 4.0) / slab)):
            sx = -ROWS - 1.5 + (i + 0.5) * slab
            sy = -2.0 + (j + 0.5) * slab
            # settled a few millimetres each way, no more: a lip catches the low sun near the camera
            piece = kit.box("slab", (sx, sy, -0.1 + rng.uniform(-0.004, 0.004)),
                            (slab - 0.016, slab - 0.016, 0.2), stone)
            piece.rotation_euler = (rng.uniform(-0.002, 0.002), rng.uniform(-0.002, 0.002), 0.0)
            bevel = piece.modifiers.new("worn edge", "BEVEL")
            bevel.width, bevel.segments = 0.012, 2
    # the two rows: shaft, capital (a swelling cushion and a square slab), and the beams they carry
    shaft = column_mesh("shaft")
    kit.assign(shaft, stone)
    for side in (-1, 1):
        for k in range(COLUMNS):
            x, y = side * ROWS, k * SPACING
            column = bpy.data.objects.new("column", shaft.data)
            bpy.context.scene.collection.objects.link(column)
            column.location = (x, y, 0.0)
            column.rotation_euler.z = rng.uniform(0.0, 0.3)
            kit.cone("echinus", (x, y, HEIGHT + 0.17), 0.6, 0.86, 0.34, mat=stone)
            kit.box("abacus", (x, y, HEIGHT + 0.46), (1.8, 1.8, 0.24), stone)
        kit.box("architrave", (side * ROWS, length / 2.0, HEIGHT + 1.08), (1.7, length + 1.8, 1.0), stone)
        kit.box("frieze", (side * ROWS, length / 2.0, HEIGHT + 1.98), (1.6, length + 1.8, 0.8), stone)
        kit.box("cornice", (side * ROWS, length / 2.0, HEIGHT + 2.5), (2.3, length + 2.4, 0.24), stone)
    shaft.hide_render = True
    # cross beams overhead, and the roof on them: the light comes in only from the side, under it
    for k in range(0, COLUMNS, 1):
        kit.box("beam", (0.0, k * SPACING, HEIGHT + 2.2), (2 * ROWS, 0.5, 0.45), stone)
    kit.box("roof", (0.0, length / 2.0, HEIGHT + 2.75), (2 * ROWS + 2.3, length + 2.4, 0.3), stone)
    x, y = terrain.square_grid((0.0, 0.0), 30000.0, kit.scaled(700))
    terrain.grid_object("land", x, y, hills_far(x, y) - 12.0, kit.material("countryside", countryside))
    kit.camera((1.2, -6.5, 1.65), (-0.6, length * 0.8, 3.4), 64.0)
    kit.film(exposure=-2.4)
