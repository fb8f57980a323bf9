"""A still life in window light: a glass carafe of wine, a pewter jug, lemons and grapes on an old oak table
against a dark wall, the light falling softly from the left."""
import math

import bpy
import numpy as np

import kit

SAMPLES = 64
DENOISE = 7.0  # the table and the wall lit through glass and by bounces are grainy at these samples


def oak(tree):
    p = kit.coordinates(tree, "Object")
    stretched = kit.node(tree, "ShaderNodeMapping", {"Vector": p, "Scale": (0.15, 1.0, 1.0)}).outputs[0]
    rings = kit.node(tree, "ShaderNodeTexWave", {"Vector": stretched, "Scale": 9.0, "Distortion": 9.0, "Detail": 3.0},
                     wave_type="RINGS").outputs["Fac"]
    colour = kit.ramp(tree, kit.math_node(tree, "ADD", kit.math_node(tree, "MULTIPLY", rings, 0.6),
                                          kit.math_node(tree, "MULTIPLY", kit.noise(tree, stretched, 30.0, 4.0), 0.4)),
                      [(0.3, (0.05, 0.025, 0.012)), (0.7, (0.14, 0.07, 0.03))])
    normal = kit.bump(tree, rings, 0.08, 0.002)
    return kit.principled(tree, colour, 0.45, normal=normal, clearcoat=0.25, clearcoat_roughness=0.3)


def wall(tree):
    p = kit.coordinates(tree, "Object")
    colour = kit.ramp(tree, kit.noise(tree, p, 3.0, 6.0, 0.6), [(0.3, (0.02, 0.018, 0.015)), (0.7, (0.045, 0.038, 0.03))])
    return kit.principled(tree, colour, 0.9, normal=kit.bump(tree, kit.noise(tree, p, 12.0, 6.0), 0.3, 0.01))


def pewter(tree):
    p = kit.coordinates(tree, "Object")
    rough = kit.map_range(tree, kit.noise(tree, p, 20.0, 4.0), 0.3, 0.7, 0.16, 0.3)
    return kit.principled(tree, (0.55, 0.54, 0.52), rough, metallic=1.0,
                          normal=kit.bump(tree, kit.noise(tree, p, 60.0, 3.0), 0.05, 0.002))


def lemon(tree):
    p = kit.coordinates(tree, "Object")
    pores = kit.node(tree, "ShaderNodeTexVoronoi", {"Vector": p, "Scale": 220.0}).outputs["Distance"]
    colour = kit.ramp(tree, kit.noise(tree, p, 8.0, 3.0), [(0.3, (0.62, 0.42, 0.02)), (0.7, (0.75, 0.55, 0.04))])
    return kit.principled(tree, colour, 0.35, normal=kit.bump(tree, pores, 0.25, 0.001), subsurface=0.0)


def grape(tree):
    p = kit.coordinates(tree, "Object")
    bloom = kit.map_range(tree, kit.noise(tree, p, 40.0, 3.0), 0.4, 0.7)
    ripeness = kit.node(tree, "ShaderNodeObjectInfo").outputs["Random"]  # each berry its own shade
    fac = kit.math_node(tree, "ADD", kit.math_node(tree, "MULTIPLY", bloom, 0.5),
                        kit.math_node(tree, "MULTIPLY", ripeness, 0.3))
    colour = kit.mix_colour(tree, fac, (0.03, 0.008, 0.03, 1.0),
                            (0.16, 0.14, 0.2, 1.0))
    return kit.principled(tree, colour, kit.map_range(tree, bloom, 0.0, 1.0, 0.18, 0.55))


def carafe():
    outer = [(0.0, 0.0), (0.085, 0.0), (0.105, 0.015), (0.112, 0.06), (0.105, 0.12), (0.07, 0.18), (0.032, 0.23),
             (0.026, 0.30), (0.03, 0.325), (0.036, 0.33)]
    inner = [(r - 0.004, z) for r, z in reversed(outer[1:-1])] + [(0.0, 0.006)]
    kit.lathe("carafe", outer + [(0.031, 0.331)] + inner[1:], mat=kit.material("glass", kit.glass),
              location=(0.05, 0.18, 0.0))
    # the wine inside, a little smaller than the inner wall, its surface flat
    level = 0.14
    wine = [(0.0, 0.008)] + [(r - 0.0045, z) for r, z in outer[1:] if z < level] + [(0.097, level), (0.0, level)]
    kit.lathe("wine", wine, mat=kit.material("wine", lambda t: kit.glass(t, (0.55, 0.04, 0.06), 0.0, 1.34)),
              location=(0.05, 0.18, 0.0))


def jug():
    profile = [(0.0, 0.0), (0.07, 0.0), (0.078, 0.01), (0.082, 0.05), (0.09, 0.11), (0.085, 0.16), (0.062, 0.2),
               (0.058, 0.24), (0.066, 0.265), (0.06, 0.268), (0.052, 0.24), (0.054, 0.2), (0.075, 0.16),
               (0.08, 0.11), (0.072, 0.05), (0.0, 0.012)]
    body = kit.lathe("jug", profile, mat=kit.material("pewter", pewter), location=(-0.17, 0.32, 0.0))
    # the handle: a bent rod, a ring squashed to a loop beside the body
    ring = [(0.055 + 0.009 * math.cos(a), 0.009 * math.sin(a)) for a in np.linspace(0, 2 * math.pi, 16, endpoint=False)]
    handle = kit.lathe("handle", ring, 48, (-0.17 - 0.09, 0.32, 0.17), body.data.materials[0])
    handle.rotation_euler = (math.pi / 2, 0.0, 0.0)
    handle.scale = (0.7, 1.25, 1.0)


def build():
    # light from a tall window to the left, a little in front; the room beyond it dark
    window = bpy.data.lights.new("window", "AREA")
    window.shape = "RECTANGLE"
    window.size, window.size_y = 0.9, 1.6
    window.energy = 900.0
    window.color = (1.0, 0.95, 0.88)
    light = kit.add_object("window", window)
    light.location = (-1.6, -0.5, 1.1)
    kit.point_along(light, (1.6, 0.7, -0.9))
    fill = bpy.data.lights.new("fill", "AREA")
    fill.size = 2.0
    fill.energy = 25.0
    fill.color = (0.8, 0.85, 1.0)
    kit.add_object("fill", fill).location = (1.5, -2.0, 0.8)
    kit.point_along(bpy.data.objects["fill"], (-1.5, 2.0, -0.6))
    world = bpy.data.worlds.new("room")
    world.use_nodes = True
    world.node_tree.nodes["Background"].inputs["Strength"].default_value = 0.0
    bpy.context.scene.world = world
    table = kit.box("table", (0.0, 0.25, -0.03), (1.6, 0.9, 0.06), kit.material("oak", oak))
    table.modifiers.new("worn edge", "BEVEL").width = 0.006
    kit.box("wall", (0.0, 0.9, 0.6), (3.0, 0.05, 1.6), kit.material("wall", wall))
    carafe()
    jug()
    lemon_mat = kit.material("lemon", lemon)
    # a lemon's outline: fullest at the middle, drawn out into a small nipple at each end
    outline = [(0.0, -0.062), (0.006, -0.058), (0.012, -0.052)]
    outline += [(0.041 * math.sin(math.pi * t) ** 0.7, -0.05 + 0.1 * t) for t in np.linspace(0.05, 0.95, 19)]
    outline += [(0.012, 0.052), (0.006, 0.058), (0.0, 0.062)]
    for i, (x, y, turn) in enumerate([(0.24, 0.12, 0.3), (0.34, 0.22, 1.9), (0.16, 0.02, 2.6)]):
        fruit = kit.lathe("lemon %d" % i, outline, 64, (x, y, 0.037), lemon_mat)
        fruit.rotation_euler = (math.pi / 2, 0.0, turn)
    grape_mat = kit.material("grape", grape)
    rng = np.random.RandomState(7)
    # a bunch lying on its side: berries packed in layers, fewer in each layer up
    for layer, count in enumerate((12, 8, 4)):
        for i in range(count):
            a = 2 * math.pi * i / count + layer * 0.4
            r = 0.012 * (2.6 - layer) * (0.7 + 0.3 * rng.uniform())
            x, y = -0.04 + r * math.cos(a) * 1.6 + rng.uniform(-0.003, 0.003), 0.03 + r * math.sin(a)
            berry = kit.sphere("grape", (x, y, 0.013 + layer * 0.02 + rng.uniform(-0.002, 0.002)), 0.0135, 32, 16,
                               grape_mat)
            # grapes are eggs, not balls, and no two alike
            size = rng.uniform(0.82, 1.1)
            berry.scale = (size, size, size * rng.uniform(1.1, 1.25))
            berry.rotation_euler = (rng.uniform(0.6, 1.6), rng.uniform(-0.5, 0.5), rng.uniform(0.0, 2 * math.pi))
    kit.camera((0.08, -0.95, 0.3), (0.02, 0.2, 0.1), 34.0, focus=1.05, fstop=5.6)
    kit.film(exposure=-1.3, look="Medium High Contrast")
