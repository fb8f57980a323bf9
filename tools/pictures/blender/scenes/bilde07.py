"""A still life in window light: a glass carafe of wine, a pewter jug, a bunch of dark grapes under their
bloom, and lemons on a crumpled linen cloth, on a table of old oak boards against a dark wall, the light
falling softly from a window to the left."""
import math

import bpy
import numpy as np
from mathutils import Vector

import kit

SAMPLES = 112
DENOISE = 3.0  # the wall and the boards seen through the carafe escape the smoothing of bounced light
# the light bounced round the room, and the window's through the glass, smoothed from Cycles' passes;
# the edges of the window's shadows kept
PANES = (2, 2)
SMOOTH_BOUNCES = dict(radius=16, direct=True, sharp=["pane %d %d" % (i, j) for i in range(PANES[0])
                                                     for j in range(PANES[1])], edge=0.6)
# glossy paths through the carafe seen in the rough pewter are rare and bright: blur them, cap them
CYCLES = dict(blur_glossy=1.0, sample_clamp_indirect=2.0)


def vector_math(tree, operation, a, b=None, scale=None):
    n = kit.node(tree, "ShaderNodeVectorMath", {0: a}, operation=operation)
    if isinstance(b, bpy.types.NodeSocket):
        kit.link(tree, b, n.inputs[1])
    elif b is not None:
        n.inputs[1].default_value = b
    if scale is not None:
        n.inputs["Scale"].default_value = scale
    return n.outputs["Value" if operation in ("LENGTH", "DOT_PRODUCT", "DISTANCE") else "Vector"]


def oak(tree):
    """Oak boards cut across the log: rings round a pith that wanders below the board, so they open into
    arches and bend round knots of noise, fibres along the grain, dark pores in the late wood, and a
    varnish worn dull in patches. Each board (its object's random number) is cut from elsewhere."""
    p = kit.coordinates(tree, "Object")
    shift = kit.node(tree, "ShaderNodeObjectInfo").outputs["Random"]
    p = vector_math(tree, "ADD", p, kit.node(tree, "ShaderNodeCombineXYZ",
                                             {0: kit.math_node(tree, "MULTIPLY", shift, 7.0),
                                              1: kit.math_node(tree, "MULTIPLY", shift, 0.05)}).outputs[0])
    along = kit.node(tree, "ShaderNodeMapping", {"Vector": p, "Scale": (1.2, 9.0, 9.0)}).outputs[0]
    wander = kit.node(tree, "ShaderNodeTexNoise", {"Vector": along, "Scale": 1.0, "Detail": 4.0}).outputs["Color"]
    q = vector_math(tree, "ADD", p, vector_math(tree, "SCALE", vector_math(tree, "SUBTRACT", wander, (0.5, 0.5, 0.5)),
                                                scale=0.07))
    parts = kit.node(tree, "ShaderNodeSeparateXYZ", {0: q}).outputs
    # the pith runs askew to the board, just under it, so the rings open into arches where it dips
    across = kit.math_node(tree, "SUBTRACT", parts[1], kit.math_node(tree, "MULTIPLY", parts[0], 0.08))
    # how deep the pith lies under the board changes along it: where it rises the rings close into arches
    depth = kit.map_range(tree, kit.noise(tree, kit.node(tree, "ShaderNodeMapping", {
        "Vector": q, "Scale": (1.6, 0.3, 0.3)}).outputs[0], 1.0, 2.0), 0.3, 0.7, 0.004, 0.07, smooth=False)
    radius = vector_math(tree, "LENGTH", kit.node(tree, "ShaderNodeCombineXYZ", {
        0: across, 1: kit.math_node(tree, "ADD", parts[2], depth)}).outputs[0])
    # rings of uneven width: the radius itself a little wavy
    radius = kit.math_node(tree, "ADD", radius, kit.math_node(tree, "MULTIPLY", kit.noise(tree, q, 14.0, 3.0), 0.012))
    rings = kit.math_node(tree, "FRACT", kit.math_node(tree, "MULTIPLY", radius, 110.0))
    # the dark late wood at each ring's end, strong in some years and faint in others
    late = kit.math_node(tree, "MULTIPLY", kit.map_range(tree, rings, 0.55, 0.95),
                         kit.map_range(tree, kit.noise(tree, radius, 40.0, 2.0), 0.3, 0.7, 0.3, 1.0))
    fibres = kit.node(tree, "ShaderNodeTexNoise", {"Vector": kit.node(tree, "ShaderNodeMapping", {
        "Vector": q, "Scale": (3.0, 260.0, 260.0)}).outputs[0], "Scale": 1.0, "Detail": 2.0}).outputs["Fac"]
    pores = kit.node(tree, "ShaderNodeTexNoise", {"Vector": kit.node(tree, "ShaderNodeMapping", {
        "Vector": q, "Scale": (60.0, 900.0, 900.0)}).outputs[0], "Scale": 1.0, "Detail": 1.0}).outputs["Fac"]
    pore = kit.math_node(tree, "MULTIPLY", kit.map_range(tree, pores, 0.55, 0.7), late)
    tone = kit.math_node(tree, "ADD", kit.math_node(tree, "MULTIPLY", late, 0.45),
                         kit.math_node(tree, "MULTIPLY", fibres, 0.35))
    tone = kit.math_node(tree, "ADD", tone, kit.math_node(tree, "MULTIPLY", pore, 0.4))
    colour = kit.ramp(tree, tone, [(0.15, (0.075, 0.038, 0.017)), (0.5, (0.042, 0.02, 0.009)), (0.85, (0.014, 0.007, 0.004))])
    # old wax and wear: the varnish dull and thin in broad patches
    wear = kit.map_range(tree, kit.noise(tree, p, 3.0, 5.0), 0.4, 0.65)
    rough = kit.map_range(tree, wear, 0.0, 1.0, 0.28, 0.55)
    coat = kit.map_range(tree, wear, 0.0, 1.0, 0.45, 0.05)
    height = kit.math_node(tree, "SUBTRACT", kit.math_node(tree, "MULTIPLY", fibres, 0.3), pore)
    return kit.principled(tree, colour, rough, normal=kit.bump(tree, height, 0.15, 0.001), clearcoat=coat,
                          clearcoat_roughness=0.2)


def wall(tree):
    """Old lime plaster, washed over unevenly: broad cloudy patches, the trowel's sweeps, a fine sandy grain
    and a few hairline cracks."""
    p = kit.coordinates(tree, "Object")
    w = kit.coordinates(tree, "Generated")  # the box's own coordinates are squashed through its depth
    patches = kit.noise(tree, w, 4.0, 6.0, 0.65)
    sweeps = kit.node(tree, "ShaderNodeTexNoise", {"Vector": kit.node(tree, "ShaderNodeMapping", {
        "Vector": w, "Rotation": (0.0, 0.7, 0.0), "Scale": (14.0, 3.0, 40.0)}).outputs[0], "Scale": 1.0,
        "Detail": 3.0}).outputs["Fac"]
    sand = kit.noise(tree, w, 900.0, 2.0)
    cracks = kit.node(tree, "ShaderNodeTexVoronoi", {"Vector": kit.node(tree, "ShaderNodeMapping", {
        "Vector": w, "Scale": (9.0, 1.0, 6.0)}).outputs[0], "Scale": 1.0, "Randomness": 0.9},
        feature="DISTANCE_TO_EDGE").outputs["Distance"]
    crack = kit.math_node(tree, "MULTIPLY", kit.map_range(tree, cracks, 0.0, 0.012, 1.0, 0.0),
                          kit.map_range(tree, kit.noise(tree, w, 7.0, 2.0), 0.55, 0.7))
    tone = kit.math_node(tree, "ADD", kit.math_node(tree, "MULTIPLY", patches, 0.8),
                         kit.math_node(tree, "MULTIPLY", sweeps, 0.25))
    colour = kit.ramp(tree, tone, [(0.35, (0.03, 0.026, 0.02)), (0.55, (0.055, 0.046, 0.034)),
                                   (0.8, (0.075, 0.064, 0.048))])
    colour = kit.mix_colour(tree, kit.math_node(tree, "MULTIPLY", crack, 0.6), colour, (0.012, 0.01, 0.008, 1.0))
    height = kit.math_node(tree, "ADD", kit.math_node(tree, "MULTIPLY", sweeps, 0.6),
                           kit.math_node(tree, "MULTIPLY", sand, 0.25))
    height = kit.math_node(tree, "SUBTRACT", height, kit.math_node(tree, "MULTIPLY", crack, 0.3))
    return kit.principled(tree, colour, 0.92, normal=kit.bump(tree, height, 0.35, 0.004))


def pewter(tree):
    """Old hand-beaten pewter: the hammer's shallow facets all over, rubbed along the turning lines, soft
    blurred reflections, tarnished darker and duller in patches."""
    p = kit.coordinates(tree, "Object")
    tarnish = kit.map_range(tree, kit.noise(tree, p, 7.0, 4.0), 0.4, 0.7)
    rough = kit.map_range(tree, tarnish, 0.0, 1.0, 0.26, 0.4)
    colour = kit.mix_colour(tree, tarnish, (0.46, 0.45, 0.43, 1.0), (0.3, 0.29, 0.27, 1.0))
    dents = kit.node(tree, "ShaderNodeTexVoronoi", {"Vector": p, "Scale": 55.0, "Randomness": 0.8},
                     feature="SMOOTH_F1").outputs["Distance"]
    # fine rings round the body, where it was burnished on the lathe
    turning = kit.noise(tree, kit.node(tree, "ShaderNodeMapping", {"Vector": p, "Scale": (2.0, 2.0, 400.0)}).outputs[0],
                        1.0, 2.0)
    height = kit.math_node(tree, "ADD", dents, kit.math_node(tree, "MULTIPLY", turning, 0.15))
    return kit.principled(tree, colour, rough, metallic=1.0, normal=kit.bump(tree, height, 0.12, 0.0015))


def lemon(tree, cut=False):
    """Lemon peel: pitted all over with oil glands, mottled, greener towards the ends, a dull waxy sheen.
    With `cut`, where the fruit is cut (its own coordinates' flat face at z = 0) the flesh: pale segments round a white
    core inside a white pith and the thin rind."""
    p = kit.coordinates(tree, "Object")
    shift = kit.node(tree, "ShaderNodeObjectInfo").outputs["Random"]
    pores = kit.node(tree, "ShaderNodeTexVoronoi", {"Vector": p, "Scale": 420.0}).outputs["Distance"]
    pits = kit.math_node(tree, "ADD", pores, kit.math_node(tree, "MULTIPLY", kit.noise(tree, p, 60.0, 3.0), 0.5))
    parts = kit.node(tree, "ShaderNodeSeparateXYZ", {0: p}).outputs
    ends = kit.map_range(tree, kit.math_node(tree, "ABSOLUTE", parts[2]), 0.03, 0.06)
    mottle = kit.math_node(tree, "ADD", kit.noise(tree, p, 9.0, 4.0), kit.math_node(tree, "MULTIPLY", shift, 0.3))
    colour = kit.ramp(tree, mottle, [(0.35, (0.58, 0.4, 0.02)), (0.6, (0.72, 0.52, 0.03)), (0.9, (0.78, 0.6, 0.06))])
    colour = kit.mix_colour(tree, kit.math_node(tree, "MULTIPLY", ends, 0.6), colour, (0.42, 0.42, 0.05, 1.0))
    colour = kit.mix_colour(tree, kit.map_range(tree, pores, 0.0, 0.35, 0.25, 0.0), colour, (0.4, 0.26, 0.01, 1.0))
    peel = kit.principled(tree, colour, 0.5, specular=0.3, normal=kit.bump(tree, pits, 0.45, 0.0012))
    if not cut:
        return peel
    radius = kit.node(tree, "ShaderNodeVectorMath", {0: kit.node(tree, "ShaderNodeCombineXYZ", {
        0: parts[0], 1: parts[1]}).outputs[0]}, operation="LENGTH").outputs["Value"]
    turn = kit.math_node(tree, "ARCTAN2", parts[1], parts[0])
    # ten segments, each parted from the next by a pale membrane
    segment = kit.math_node(tree, "ABSOLUTE", kit.math_node(tree, "SINE", kit.math_node(tree, "MULTIPLY", turn, 5.0)))
    membrane = kit.math_node(tree, "MULTIPLY", kit.map_range(tree, segment, 0.0, 0.07, 1.0, 0.0),
                             kit.map_range(tree, radius, 0.004, 0.01))
    pith = kit.math_node(tree, "MAXIMUM", kit.map_range(tree, radius, 0.0335, 0.036),
                         kit.map_range(tree, radius, 0.004, 0.0025))
    pale = kit.math_node(tree, "MAXIMUM", pith, kit.math_node(tree, "MULTIPLY", membrane, 0.7))
    # the juice sacs: small grains of deeper and paler yellow
    sacs = kit.node(tree, "ShaderNodeTexVoronoi", {"Vector": p, "Scale": 500.0}).outputs["Distance"]
    juice = kit.mix_colour(tree, kit.map_range(tree, sacs, 0.1, 0.5), (0.72, 0.48, 0.04, 1.0), (0.62, 0.36, 0.02, 1.0))
    flesh_colour = kit.mix_colour(tree, pale, juice, (0.8, 0.76, 0.55, 1.0))
    flesh_colour = kit.mix_colour(tree, kit.map_range(tree, radius, 0.0375, 0.039), flesh_colour, colour)
    flesh = kit.principled(tree, flesh_colour, 0.18, normal=kit.bump(tree, sacs, 0.3, 0.0008))
    face = kit.map_range(tree, parts[2], 0.0012, 0.0006, 0.0, 1.0, smooth=False)
    return kit.node(tree, "ShaderNodeMixShader", {0: face, 1: peel, 2: flesh}).outputs[0]


def grape(tree):
    """A dark grape under its bloom: a pale dusty film, rubbed off in places to the glossy skin."""
    p = kit.coordinates(tree, "Object")
    ripeness = kit.node(tree, "ShaderNodeObjectInfo").outputs["Random"]  # each berry its own shade
    # from a late berry still red-purple through to blue-black
    skin_colour = kit.ramp(tree, ripeness, [(0.0, (0.06, 0.01, 0.028)), (0.25, (0.04, 0.009, 0.032)),
                                            (0.6, (0.025, 0.007, 0.03)), (1.0, (0.01, 0.006, 0.02))])
    skin = kit.principled(tree, skin_colour, 0.2)
    dust = kit.principled(tree, (0.055, 0.058, 0.08), 0.6, sheen=0.4, sheen_tint=0.0, specular=0.2)
    rubbed = kit.map_range(tree, kit.noise(tree, p, 2.5, 3.0), 0.35, 0.7, 0.15, 0.8)
    bloom = kit.math_node(tree, "MULTIPLY", rubbed, kit.map_range(tree, ripeness, 0.0, 1.0, 0.3, 1.1))
    return kit.node(tree, "ShaderNodeMixShader", {0: bloom, 1: skin, 2: dust}).outputs[0]


def twig(tree):
    colour = kit.ramp(tree, kit.noise(tree, kit.coordinates(tree, "Object"), 80.0, 3.0),
                      [(0.3, (0.07, 0.06, 0.025)), (0.7, (0.16, 0.13, 0.06))])
    return kit.principled(tree, colour, 0.7)


def linen(tree):
    """Unbleached linen: slubs of thicker thread running both ways, a soft sheen."""
    p = kit.coordinates(tree, "Object")
    warp = kit.node(tree, "ShaderNodeTexNoise", {"Vector": kit.node(tree, "ShaderNodeMapping", {
        "Vector": p, "Scale": (600.0, 4.0, 4.0)}).outputs[0], "Scale": 1.0, "Detail": 2.0}).outputs["Fac"]
    weft = kit.node(tree, "ShaderNodeTexNoise", {"Vector": kit.node(tree, "ShaderNodeMapping", {
        "Vector": p, "Scale": (4.0, 600.0, 600.0)}).outputs[0], "Scale": 1.0, "Detail": 2.0}).outputs["Fac"]
    threads = kit.math_node(tree, "ADD", warp, weft)
    colour = kit.ramp(tree, kit.math_node(tree, "ADD", kit.math_node(tree, "MULTIPLY", threads, 0.35),
                                          kit.math_node(tree, "MULTIPLY", kit.noise(tree, p, 8.0, 3.0), 0.3)),
                      [(0.35, (0.2, 0.17, 0.12)), (0.65, (0.27, 0.23, 0.17))])
    return kit.principled(tree, colour, 0.85, sheen=0.6, normal=kit.bump(tree, threads, 0.25, 0.0008))


def clear(tree, colour, ior, shadow, seen):
    """Glass (or wine) for the carafe: refracting to the eye; to shadow rays a filter of `shadow`, so the
    window's light comes through it tinted; and to rays off the rough pewter and the waxed boards a plain
    filter of `seen`, whose light they find at once rather than by rare paths through the refractions."""
    path = kit.node(tree, "ShaderNodeLightPath").outputs
    bsdf = kit.node(tree, "ShaderNodeBsdfGlass", {"Color": (*colour, 1.0), "IOR": ior}).outputs[0]
    seen_through = kit.node(tree, "ShaderNodeBsdfTransparent", {"Color": (*seen, 1.0)}).outputs[0]
    shadow_through = kit.node(tree, "ShaderNodeBsdfTransparent", {"Color": (*shadow, 1.0)}).outputs[0]
    glossy = kit.node(tree, "ShaderNodeMixShader", {0: path["Is Glossy Ray"], 1: bsdf, 2: seen_through}).outputs[0]
    return kit.node(tree, "ShaderNodeMixShader", {0: path["Is Shadow Ray"], 1: glossy, 2: shadow_through}).outputs[0]


def carafe():
    outer = [(0.0, 0.0), (0.085, 0.0), (0.105, 0.015), (0.112, 0.06), (0.105, 0.12), (0.07, 0.18), (0.032, 0.23),
             (0.026, 0.30), (0.03, 0.325), (0.036, 0.33)]
    inner = [(r - 0.004, z) for r, z in reversed(outer[1:-1])] + [(0.0, 0.006)]
    kit.lathe("carafe", outer + [(0.031, 0.331)] + inner[1:], mat=kit.material("glass", lambda t: clear(t, (1.0, 1.0, 1.0), 1.5, (1.0, 1.0, 1.0), (0.9, 0.9, 0.9))),
              location=(0.05, 0.18, 0.0))
    # the wine inside, a little smaller than the inner wall, its surface flat
    level = 0.14
    wine = [(0.0, 0.008)] + [(r - 0.0045, z) for r, z in outer[1:] if z < level] + [(0.097, level), (0.0, level)]
    kit.lathe("wine", wine, mat=kit.material("wine", lambda t: clear(t, (0.75, 0.06, 0.08), 1.34, (0.45, 0.05, 0.06), (0.4, 0.03, 0.04))),
              location=(0.05, 0.18, 0.0))


def jug():
    profile = [(0.0, 0.0), (0.07, 0.0), (0.078, 0.01), (0.082, 0.05), (0.09, 0.11), (0.085, 0.16), (0.062, 0.2),
               (0.058, 0.24), (0.066, 0.265), (0.06, 0.268), (0.052, 0.24), (0.054, 0.2), (0.075, 0.16),
               (0.08, 0.11), (0.072, 0.05), (0.0, 0.012)]
    body = kit.lathe("jug", profile, mat=kit.material("pewter", pewter), location=(-0.17, 0.32, 0.0))
    # spun pewter has no corners but at its rim and foot: the profile's few points rounded into curves
    smooth = body.modifiers.new("spun", "SUBSURF")
    smooth.levels = smooth.render_levels = 2
    # the handle: a bent rod, a ring squashed to a loop beside the body
    ring = [(0.055 + 0.009 * math.cos(a), 0.009 * math.sin(a)) for a in np.linspace(0, 2 * math.pi, 16, endpoint=False)]
    handle = kit.lathe("handle", ring, 48, (-0.17 - 0.09, 0.32, 0.17), body.data.materials[0])
    handle.rotation_euler = (math.pi / 2, 0.0, 0.0)
    handle.scale = (0.7, 1.25, 1.0)


def window_glass(tree, width, height):
    """What the glass and the pewter mirror of the window: a bright sky paling upwards over a dark hedge,
    the sash's bars, a linen curtain drawn half across from the right, all dimming into the frame."""
    p = kit.coordinates(tree, "Object")
    parts = kit.node(tree, "ShaderNodeSeparateXYZ", {0: p}).outputs
    u = kit.math_node(tree, "ADD", kit.math_node(tree, "DIVIDE", parts[0], width), 0.5)
    v = kit.math_node(tree, "ADD", kit.math_node(tree, "DIVIDE", parts[1], height), 0.5)
    sky = kit.map_range(tree, v, 0.1, 1.0, 0.35, 1.0)
    hedge = kit.math_node(tree, "ADD", 0.22, kit.math_node(tree, "MULTIPLY", kit.noise(tree, p, 9.0, 5.0), 0.12))
    sky = kit.math_node(tree, "MULTIPLY", sky, kit.map_range(tree, kit.math_node(tree, "SUBTRACT", v, hedge), -0.03, 0.03,
                                                             0.25, 1.0))

    def bars(coordinate, count, size):
        # the distance in metres to the nearest glazing bar, `count` panes along `size`
        cell = kit.math_node(tree, "FRACT", kit.math_node(tree, "MULTIPLY", coordinate, count))
        edge = kit.math_node(tree, "MINIMUM", cell, kit.math_node(tree, "SUBTRACT", 1.0, cell))
        return kit.map_range(tree, kit.math_node(tree, "MULTIPLY", edge, size / count), 0.008, 0.016)

    open_ = kit.math_node(tree, "MULTIPLY", bars(u, 2, width), bars(v, 3, height))
    frame = kit.math_node(tree, "MULTIPLY", kit.map_range(tree, u, 0.0, 0.05), kit.map_range(tree, u, 1.0, 0.95))
    frame = kit.math_node(tree, "MULTIPLY", frame, kit.math_node(tree, "MULTIPLY", kit.map_range(tree, v, 0.0, 0.04),
                                                                 kit.map_range(tree, v, 1.0, 0.96)))
    # the curtain: its folds hang down, light shines through them dimly
    folds = kit.math_node(tree, "ADD", 0.5, kit.math_node(tree, "MULTIPLY", 0.5, kit.math_node(
        tree, "SINE", kit.math_node(tree, "ADD", kit.math_node(tree, "MULTIPLY", u, 70.0),
                                    kit.math_node(tree, "MULTIPLY", kit.noise(tree, p, 3.0, 2.0), 4.0)))))
    reach = kit.math_node(tree, "ADD", 0.68, kit.math_node(tree, "MULTIPLY", v, -0.12))
    curtain = kit.map_range(tree, kit.math_node(tree, "SUBTRACT", u, reach), -0.02, 0.02)
    through = kit.math_node(tree, "ADD", 0.12, kit.math_node(tree, "MULTIPLY", folds, 0.22))
    light = kit.math_node(tree, "MULTIPLY", sky, open_)
    light = kit.math_node(tree, "ADD", kit.math_node(tree, "MULTIPLY", light, kit.math_node(tree, "SUBTRACT", 1.0, curtain)),
                          kit.math_node(tree, "MULTIPLY", through, curtain))
    light = kit.math_node(tree, "MULTIPLY", light, frame)
    # seen straight off the glass or the metal; paths that wander through the carafe's walls and find it
    # after further bounces are too rare to be anything but sparks at these samples
    first = kit.math_node(tree, "LESS_THAN", kit.node(tree, "ShaderNodeLightPath").outputs["Ray Depth"], 1.5)
    strength = kit.math_node(tree, "MULTIPLY", kit.math_node(tree, "MULTIPLY", light, WINDOW_SEEN), first)
    return kit.node(tree, "ShaderNodeEmission", {"Color": (1.0, 0.96, 0.9, 1.0), "Strength": strength}).outputs[0]


WINDOW_SEEN = 50.0  # the window's brightness in reflections: dimmer than the lamps, so its sky, bars and
# curtain still read in the glass rather than burning out white


def window_light(panes):
    """The window to the left, a little in front: a sash of `panes` (columns, rows) of area lights for the
    light it throws, and before them a picture of the window, seen only in glass and metal, so that they
    mirror a window with its bars and curtain rather than bright slabs."""
    sash = bpy.data.objects.new("window", None)
    bpy.context.scene.collection.objects.link(sash)
    sash.location = (-1.6, -0.5, 1.1)
    kit.point_along(sash, (1.6, 0.7, -0.9))
    columns, rows = panes
    width, height, bar = 0.9, 1.6, 0.05
    for i in range(columns):
        for j in range(rows):
            pane = bpy.data.lights.new("pane", "AREA")
            pane.shape = "RECTANGLE"
            pane.size, pane.size_y = (width - bar * (columns - 1)) / columns, (height - bar * (rows - 1)) / rows
            pane.energy = 900.0 * pane.size * pane.size_y / (width * height) * 1.05
            pane.color = (1.0, 0.95, 0.88)
            light = kit.add_object("pane %d %d" % (i, j), pane)
            light.parent = sash
            light.location = ((i + 0.5) * width / columns - width / 2, (j + 0.5) * height / rows - height / 2, 0.0)
            light.visible_glossy = False
            light.visible_transmission = False
    w, h = width + 0.1, height + 0.1
    picture = kit.mesh_object("window picture", [(-w / 2, -h / 2, 0.0), (w / 2, -h / 2, 0.0), (w / 2, h / 2, 0.0),
                                                 (-w / 2, h / 2, 0.0)], [(0, 1, 2, 3)], smooth=False)
    kit.assign(picture, kit.material("window picture", lambda tree: window_glass(tree, w, h)))
    picture.parent = sash
    picture.location = (0.0, 0.0, 0.02)  # just behind the lamps, out of their way
    for ray in ("camera", "diffuse", "shadow", "volume_scatter"):
        setattr(picture, "visible_" + ray, False)


def table(front, back, boards, mat):
    """The top of old oak boards running left to right, a hair's gap between them, their edges worn."""
    width = (back - front) / boards
    for i in range(boards):
        x, y, z = 0.8, width / 2 - 0.001, 0.022
        verts = [(sx * x, sy * y, sz * z) for sz in (-1, 1) for sy in (-1, 1) for sx in (-1, 1)]
        faces = [(0, 2, 3, 1), (4, 5, 7, 6), (0, 1, 5, 4), (1, 3, 7, 5), (3, 2, 6, 7), (2, 0, 4, 6)]
        board = kit.mesh_object("board %d" % i, verts, faces, smooth=False)
        board.location = (0.0, front + (i + 0.5) * width, -0.022)
        kit.assign(board, mat)
        board.modifiers.new("worn edge", "BEVEL").width = 0.004


def cloth_height(x, y, folds):
    """The linen's rise above the table at (x, y), in the cloth's own frame: soft ridges where it bunched."""
    z = 0.0015 + 0.0008 * np.sin(x * 90.0 + 2.0 * np.sin(y * 40.0)) * np.sin(y * 70.0)
    for x0, slope, h, w in folds:
        z = z + h * np.exp(-((x - x0 - slope * y) / w) ** 2)
    return z


FOLDS = [(0.0, 0.35, 0.018, 0.022), (0.2, -0.25, 0.012, 0.018), (0.4, 0.15, 0.02, 0.03), (0.14, 0.5, 0.008, 0.012)]


def cloth(left, right, back, edge, drop, mat):
    """A linen cloth lying from `back` to the table's front `edge` and hanging `drop` over it, folds falling
    from the edge."""
    across = np.linspace(left, right, kit.scaled(120, 24))
    bend = 0.012
    flat = back - edge
    length = flat + bend * math.pi / 2 + drop
    along = np.linspace(0.0, length, kit.scaled(170, 30))
    verts = []
    for s in along:
        for x0 in across:
            x = x0 + 0.012 * math.sin(max(back - s, edge) * 17.0 + 1.0)  # not laid straight
            if s <= flat:
                y = back - s
                # the folds flatten out where the cloth goes over the edge
                z = 0.0015 + (cloth_height(x0 - left, y, FOLDS) - 0.0015) * min(1.0, (y - edge) / 0.04)
            elif s <= flat + bend * math.pi / 2:
                t = (s - flat) / bend
                y, z = edge - bend * math.sin(t), 0.0015 - bend + bend * math.cos(t)
            else:
                hang = s - flat - bend * math.pi / 2
                # the hanging part falls into folds that deepen downwards
                depth = 0.014 * min(1.0, hang / 0.06)
                y = edge - bend - depth * (0.5 + 0.5 * math.sin((x0 - left) * 80.0 + math.sin(x0 * 23.0) * 2.0))
                z = 0.0015 - bend - hang
            verts.append((x, y, z))
    n = len(across)
    faces = [(j * n + i, j * n + i + 1, (j + 1) * n + i + 1, (j + 1) * n + i)
             for j in range(len(along) - 1) for i in range(n - 1)]
    obj = kit.mesh_object("cloth", verts, faces)
    kit.assign(obj, mat)
    return obj


def bunch(shoulder, tip, berry_mat, stalk_mat, rng):
    """A bunch of grapes lying on its side from `shoulder` to `tip`: berries of many sizes packed round a
    tapering stalk, fallen into a pile on the table, each an egg pointing away from its stalk; the cut stem
    rising from the shoulder."""
    shoulder, tip = np.array(shoulder), np.array(tip)

    def axis(s):
        point = shoulder + (tip - shoulder) * s
        return np.array([point[0], point[1], 0.026 * (1.0 - s) + 0.012])

    heading = np.append((tip - shoulder) / np.linalg.norm(tip - shoulder), 0.0)
    aside = np.array([-heading[1], heading[0], 0.0])
    berries = []
    for attempt in range(5000):
        s = rng.uniform(0.0, 1.0) ** 1.3
        reach = 0.055 * (1.0 - s) ** 0.8 + 0.01
        turn = rng.uniform(0.0, 2.0 * math.pi)
        u = math.sqrt(rng.uniform(0.0, 1.0)) * reach
        centre = axis(s) + aside * u * math.cos(turn) + np.array([0.0, 0.0, 0.8 * u * math.sin(turn)])
        r = rng.uniform(0.0085, 0.0145) if rng.uniform() > 0.1 else rng.uniform(0.0055, 0.008)
        if centre[2] < r or any(np.linalg.norm(centre - c) < 0.95 * (r + q) for c, q, _ in berries):
            continue
        berries.append((centre, r, s))
    # they settle: each, lowest first, drops till it rests on the table or on berries already settled
    settled = []
    for centre, r, s in sorted(berries, key=lambda b: b[0][2]):
        rest = r * 1.05
        for c, q, _ in settled:
            d = np.hypot(*(centre[:2] - c[:2]))
            if d < 0.95 * (r + q):
                rest = max(rest, c[2] + math.sqrt((0.95 * (r + q)) ** 2 - d * d))
        settled.append((np.array([centre[0], centre[1], min(centre[2], rest)]), r, s))
    wood = ([], [])
    stalk = [axis(s) for s in np.linspace(0.0, 1.0, 8)]
    # the stem the bunch was cut by arches out of the shoulder and lies back down on the boards, a stub of
    # the cane across its end
    stem = [axis(0.0) - heading * d + aside * a + np.array([0.0, 0.0, h])
            for d, a, h in ((0.0, 0.0, 0.0), (0.018, 0.004, 0.012), (0.038, 0.01, 0.014), (0.058, 0.016, 0.008),
                            (0.074, 0.02, 0.0) , (0.082, 0.021, -0.022))]
    stem[-1][2] = 0.0032
    stem[-2][2] = 0.0045
    tube(*wood, stem[::-1] + stalk[1:], [0.0034, 0.0033, 0.0032, 0.0032, 0.0031, 0.0031]
         + [0.0028 - 0.0002 * i for i in range(len(stalk))])
    tube(*wood, [stem[-1] + aside * 0.012 + np.array([0, 0, 0.001]), stem[-1] - aside * 0.011], [0.0036, 0.0034])
    # a side branch over the top of the pile, its berries picked: the bare stalks show
    fork = axis(0.12)
    top = max((c for c, _, s in settled if s < 0.35), key=lambda c: c[2])
    lateral = [fork, fork + (top - fork) * 0.6 + np.array([0.0, 0.0, 0.012]),
               top + np.array([0.0, 0.0, 0.028]) + heading * 0.02]
    tube(*wood, lateral, [0.0022, 0.0019, 0.0016])
    for d in ((0.012, 0.008, 0.006), (0.004, -0.01, 0.008), (-0.008, 0.004, 0.01)):
        tube(*wood, [lateral[2], lateral[2] + np.array(d)], [0.0011, 0.0009], 4)
    for k, (centre, r, s) in enumerate(settled):
        out = centre - axis(s)
        out = out / (np.linalg.norm(out) + 1e-9) + rng.normal(0.0, 0.25, 3)
        out = out / np.linalg.norm(out)
        tube(*wood, [axis(s), centre - out * r * 1.05], [0.0012, 0.0009], 4)
        berry = kit.sphere("grape %d" % k, tuple(centre), 1.0, 32, 16, berry_mat)
        berry.scale = (r, r * rng.uniform(0.92, 1.04), r * rng.uniform(1.08, 1.3))
        berry.rotation_euler = Vector((0.0, 0.0, 1.0)).rotation_difference(Vector(out)).to_euler()
    obj = kit.mesh_object("grape stalks", *wood)
    kit.assign(obj, stalk_mat)


def tube(verts, faces, path, radii, sides=6):
    """A thin tube along `path` (points) of `radii`, open at the ends."""
    base = len(verts)
    for i, (point, r) in enumerate(zip(path, radii)):
        ahead = np.asarray(path[min(i + 1, len(path) - 1)]) - np.asarray(path[max(i - 1, 0)])
        ahead = ahead / np.linalg.norm(ahead)
        side = np.cross(ahead, (0.0, 0.0, 1.0) if abs(ahead[2]) < 0.95 else (1.0, 0.0, 0.0))
        side /= np.linalg.norm(side)
        other = np.cross(ahead, side)
        for c in range(sides):
            a = 2.0 * math.pi * c / sides
            verts.append(tuple(np.asarray(point) + (side * math.cos(a) + other * math.sin(a)) * r))
    for i in range(len(path) - 1):
        for c in range(sides):
            a0, a1 = base + i * sides + c, base + i * sides + (c + 1) % sides
            faces.append((a0, a1, a1 + sides, a0 + sides))


def build():
    window_light(PANES)
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
    table(-0.2, 0.7, 4, kit.material("oak", oak))
    kit.box("wall", (0.0, 0.9, 0.6), (3.0, 0.05, 1.6), kit.material("wall", wall))
    carafe()
    jug()
    left = 0.21  # clear of the carafe's foot
    # laid back far enough that the wine's red shadow falls whole on it
    cloth(left, 0.7, 0.42, -0.2, 0.12, kit.material("linen", linen))
    lemon_mat = kit.material("lemon", lemon)
    # a lemon's outline: fullest at the middle, drawn out into a small nipple at each end
    outline = [(0.0, -0.062), (0.006, -0.058), (0.012, -0.052)]
    outline += [(0.041 * math.sin(math.pi * t) ** 0.7, -0.05 + 0.1 * t) for t in np.linspace(0.05, 0.95, 19)]
    outline += [(0.012, 0.052), (0.006, 0.058), (0.0, 0.062)]
    for i, (x, y, turn) in enumerate([(0.29, 0.1, 0.3), (0.38, 0.21, 1.9), (0.28, -0.05, 2.6)]):
        # resting on the cloth, on whatever fold is under it
        z = 0.037 + float(cloth_height(np.array([x - left]), np.array([y]), FOLDS)[0])
        fruit = kit.lathe("lemon %d" % i, outline, 64, (x, y, z), lemon_mat)
        fruit.rotation_euler = (math.pi / 2, 0.0, turn)
    # half a lemon lying on its dome, the cut face tilted to the light and the camera
    half = [(0.0, 0.0), (0.041, 0.0)] + [(r, z) for r, z in outline if z > 0.001]
    cut = kit.lathe("cut lemon", half, 64, (0.155, -0.125, 0.0), kit.material("cut lemon", lambda t: lemon(t, True)))
    cut.rotation_euler = (-math.pi + 0.75, 0.0, -0.5)
    bpy.context.view_layer.update()
    cut.location.z -= min((cut.matrix_world @ v.co).z for v in cut.data.vertices) + 0.0015  # settled a little
    bunch((-0.14, 0.08), (0.04, -0.04), kit.material("grape", grape), kit.material("grape stalk", twig),
          np.random.RandomState(7))
    kit.camera((0.08, -0.95, 0.3), (0.02, 0.2, 0.1), 34.0, focus=1.1, fstop=8.0)
    kit.film(exposure=-1.3, look="Medium High Contrast")
    kit.clean_margins(SAMPLES // 4)
