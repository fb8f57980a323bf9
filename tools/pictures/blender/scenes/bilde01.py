"""A rocky coast at sunset: cliffs and sea stacks against the sun's path on the swell, a lighthouse on the
far headland with its lamp lit, clouds catching the last light."""
import math

import bpy
import numpy as np

import air
import kit
import terrain

SAMPLES = 64
DENOISE = 2.5
SUN = (1.0, 258.0)  # just above the sea, west-south-west
LOOK = 250.0  # the camera looks along the coast towards the sunset: sea on the left, cliffs on the right

# The shore as (ahead, right, cliff height) in metres from the camera: land lies to its right.
SHORE = np.array([(-60.0, -70.0, 8.0), (-10.0, -14.0, 7.0), (30.0, 26.0, 5.0), (110.0, 70.0, 10.0), (200.0, 90.0, 18.0),
                  (320.0, 92.0, 28.0), (520.0, 120.0, 36.0), (760.0, 128.0, 42.0), (1000.0, 150.0, 40.0),
                  (1250.0, 120.0, 34.0), (1450.0, 100.0, 30.0), (1560.0, 150.0, 30.0), (1560.0, 300.0, 34.0),
                  (1500.0, 700.0, 36.0)])
# Sea stacks standing off the cliffs: (ahead, right, radius, height).
STACKS = [(430.0, 28.0, 15.0, 38.0), (520.0, 62.0, 8.0, 22.0), (600.0, 15.0, 5.0, 11.0), (1180.0, 70.0, 11.0, 26.0)]
# Broken blocks fallen from the ledges into the wash: (ahead, right, radius); they lead the eye from the
# ledge at the camera's feet out towards the stack.
BOULDERS = [(15.0, -13.0, 2.8), (19.0, -4.5, 1.1), (30.0, -16.0, 2.6), (36.0, 1.5, 1.3), (52.0, -7.0, 2.4),
            (75.0, -1.0, 1.8), (100.0, 7.0, 2.6), (140.0, -3.0, 2.0), (24.0, 3.0, 0.8), (12.0, 1.0, 0.6),
            (44.0, -28.0, 1.7), (62.0, 12.0, 1.9), (9.0, -6.0, 0.9)]
LIGHTHOUSE = (1000.0, 215.0)  # on the cliff top of the headland, right of the sun


def land(x, y):
    """Height of the rock: cliffs rising steeply from the shore, a broken top, stacks in the sea."""
    a, b = terrain.to_view(x, y, LOOK)
    wobble = 14.0 * terrain.fbm(a / 70.0, b / 70.0, 3, seed=21) + 4.0 * terrain.fbm(a / 11.0, b / 11.0, 3, seed=28)
    distance, side, values = terrain.nearest_on_path(a + wobble, b, terrain.spline(SHORE, 240))
    # (ahead, right) turns the map over, so the path's left side is the land's
    inland = np.where(side < 0.0, distance, -distance)
    height = values[..., 0]
    rough = terrain.fbm(a / 25.0, b / 25.0, 5, seed=22)
    cliff = height * terrain.smoothstep(-2.0, 9.0, inland + 3.0 * rough) * (0.85 + 0.15 * terrain.fbm(a / 90.0, b / 90.0, 3, seed=23))
    # ledges: the rock breaks in steps along its bedding
    strata = 1.2 * np.abs(terrain.fbm(a / 60.0, (cliff + 0.3 * a) / 6.0, 3, seed=24))
    z = cliff + strata * terrain.smoothstep(2.0, 12.0, cliff) - 14.0 * terrain.smoothstep(0.0, -80.0, inland) - 1.5
    for sa, sb, radius, top in STACKS:
        r = np.hypot(a - sa, b - sb) * (1.0 + 0.25 * terrain.fbm((a - sa) / 9.0, (b - sb) / 9.0, 3, seed=25))
        stack = top * terrain.smoothstep(radius + 3.0, radius - 2.0, r) * (0.8 + 0.2 * terrain.fbm(a / 7.0, b / 7.0, 3, seed=26))
        z = np.maximum(z, stack - 1.5)
    # a shelf of bedded rock at the camera's feet, broken into slabs by the sea along its joints
    joints = terrain.fbm(a / 14.0, b / 9.0, 4, seed=31) + 0.35 * terrain.fbm(a / 3.5, b / 3.5, 3, seed=32)
    reach = terrain.smoothstep(8.0, -6.0, a + 6.0 * terrain.fbm(b / 40.0, 0.0, 2, seed=33) - 1.6 * b)
    slab = terrain.smoothstep(0.0, 0.1, joints - 0.45 + 0.6 * reach)
    # the beds dip gently, so each slab stands up higher on one edge; weathering roughens their tops
    bed = 0.45 + 0.5 * terrain.smoothstep(-0.1, 0.3, terrain.fbm(a / 22.0, b / 22.0, 3, seed=34)) - 0.008 * a + \
        0.03 * b + 0.3 * terrain.fbm(a / 5.0, b / 5.0, 4, seed=36)
    z = np.maximum(z, (bed + 2.2) * slab * terrain.smoothstep(3.0, 12.0, a) - 2.2)
    return z + (0.6 * terrain.fbm(a / 3.0, b / 3.0, 3, seed=27) + 0.12 * terrain.fbm(a / 0.6, b / 0.6, 3, seed=35)) * \
        terrain.smoothstep(-1.0, 2.0, z)


def rock(tree):
    p = kit.coordinates(tree, "Object")
    # bedding: the rock is layered, thin beds stretched along the horizontal, broken by joints
    layered = kit.node(tree, "ShaderNodeMapping", {"Vector": p, "Scale": (0.25, 0.25, 2.5)}).outputs[0]
    beds = kit.noise(tree, layered, 1.0, 6.0, 0.6, 0.5)
    grain = kit.noise(tree, p, 3.0, 6.0, 0.6)
    # joints: the rock cracks into blocks, dark in the cracks
    cells = kit.node(tree, "ShaderNodeTexVoronoi", {"Vector": kit.node(tree, "ShaderNodeMapping", {
        "Vector": p, "Scale": (0.5, 0.5, 1.2)}).outputs[0], "Scale": 0.3, "Randomness": 0.8},
        feature="DISTANCE_TO_EDGE").outputs[0]
    crack = kit.map_range(tree, cells, 0.0, 0.025)
    relief = kit.math_node(tree, "ADD", kit.math_node(tree, "ADD", beds, kit.math_node(tree, "MULTIPLY", grain, 0.3)),
                           kit.math_node(tree, "MULTIPLY", crack, 0.5))
    normal = kit.bump(tree, relief, 0.8, 0.6)
    height = kit.node(tree, "ShaderNodeSeparateXYZ", {0: p}).outputs["Z"]
    colour = kit.ramp(tree, beds, [(0.3, (0.13, 0.10, 0.085)), (0.55, (0.27, 0.21, 0.16)), (0.75, (0.36, 0.30, 0.23))])
    colour = kit.mix_colour(tree, kit.map_range(tree, kit.noise(tree, p, 0.15, 3.0), 0.4, 0.65), colour,
                            kit.mix_colour(tree, 1.0, colour, (0.75, 0.8, 0.85, 1.0), "MULTIPLY"))
    colour = kit.mix_colour(tree, kit.math_node(tree, "ADD", crack, 0.4, clamp=True), (0.04, 0.03, 0.025, 1.0), colour)
    # dark and glistening where the swell wets it
    wet = kit.map_range(tree, height, 0.4, 2.5)
    colour = kit.mix_colour(tree, wet, kit.mix_colour(tree, 0.55, colour, (0.0, 0.0, 0.0, 1.0), "MULTIPLY"), colour)
    roughness = kit.map_range(tree, height, 0.4, 2.5, 0.3, 0.85)
    return air.hazed(tree, kit.principled(tree, colour, roughness, normal=normal), 5000.0, 400.0)


def sea_material(tree):
    foam = kit.node(tree, "ShaderNodeAttribute", attribute_name="foam").outputs["Fac"]
    p = kit.coordinates(tree, "Object")
    # froth far off, finer than a pixel, would shimmer: it thins out with distance into a smooth line
    far = kit.map_range(tree, kit.node(tree, "ShaderNodeLightPath").outputs["Ray Length"], 60.0, 400.0, 1.0, 0.25)
    broken = kit.math_node(tree, "MULTIPLY", kit.math_node(tree, "MULTIPLY", foam, far),
                           kit.map_range(tree, kit.noise(tree, p, 0.25, 3.0, 0.5), 0.4, 0.65))
    water = kit.principled(tree, (0.006, 0.016, 0.022), 0.11, specular=0.5)
    froth = kit.principled(tree, (0.75, 0.75, 0.72), 0.6)
    return kit.node(tree, "ShaderNodeMixShader", {0: broken, 1: water, 2: froth}).outputs[0]


def lighthouse(x, y, z):
    white = kit.simple_material("whitewash", (0.75, 0.72, 0.66), 0.6)
    dark = kit.simple_material("iron", (0.03, 0.03, 0.03), 0.4, metallic=1.0)
    lamp = kit.material("lamp", lambda t: kit.node(t, "ShaderNodeEmission", {"Color": (1.0, 0.78, 0.45, 1.0),
                                                                            "Strength": 60.0}).outputs[0])
    kit.cone("tower", (x, y, z + 9.0), 3.2, 2.2, 18.0, mat=white)
    kit.cone("gallery", (x, y, z + 18.2), 3.0, 3.0, 0.5, mat=dark, smooth=False)
    kit.cone("lantern", (x, y, z + 19.6), 1.5, 1.5, 2.4, 32, mat=lamp)
    kit.cone("cap", (x, y, z + 21.6), 1.9, 0.2, 1.6, 32, mat=dark)
    keeper = kit.box("keeper's house", (x + 7.0, y + 3.0, z + 2.2), (9.0, 6.0, 4.4), white)
    keeper.rotation_euler.z = math.radians(LOOK)
    light = bpy.data.lights.new("beacon", "POINT")
    light.energy = 40000.0
    light.color = (1.0, 0.8, 0.5)
    light.shadow_soft_size = 1.0
    kit.add_object("beacon", light).location = (x, y, z + 19.6)


def craggy(name, location, size, seed, mat):
    """A block broken from the bedded rock: flat faces meeting at edges, layered along its beds."""
    obj = kit.rock(name, location, size, seed=seed, lumpiness=0.3, crags=0.5, grit=0.035, subdivisions=6, mat=mat,
                   rotation=(0.05 * math.sin(seed), 0.08 * math.cos(seed * 2.3), seed * 1.1))
    texture = bpy.data.textures.get("beds") or bpy.data.textures.new("beds", "CLOUDS")
    texture.noise_scale, texture.noise_depth = 0.5, 3
    displace = obj.modifiers.new("beds", "DISPLACE")
    displace.texture, displace.strength, displace.mid_level = texture, 0.2, 0.5
    # the texture stretched flat: thin beds along the horizontal stand out of the faces
    mover = bpy.data.objects.new(name + " beds", None)
    bpy.context.scene.collection.objects.link(mover)
    mover.parent, mover.location, mover.scale = obj, (seed * 2.9, seed * 0.7, seed * 1.7), (4.0, 4.0, 0.25)
    displace.texture_coords, displace.texture_coords_object = "OBJECT", mover
    return obj


def build():
    air.sky(*SUN, dust=3.0, air=1.3, clouds=[
        dict(height=2600.0, scale=1100.0, coverage=0.52, opacity=3.0, stretch=2.2, heading=-20.0, seed=3.0),
        dict(height=8000.0, scale=5000.0, coverage=0.3, opacity=1.2, stretch=6.0, heading=30.0, seed=9.0,
             shadow=0.2)])
    eye = (0.0, 0.0)
    # the sea, out to the horizon, its foam where it washes the rock
    x, y = terrain.view_grid(eye, LOOK, 120.0, 1.0, 30000.0, kit.scaled(2000), kit.scaled(1300))
    # a long swell from the open sea and a shorter wind sea over it
    waves = (terrain.wave_train(24, LOOK + 195.0, 12.0, 120.0, 8.0, 0.7, 0.5, seed=5) +
             terrain.wave_train(72, LOOK + 150.0, 40.0, 8.0, 0.08, 0.3, 1.0, seed=6))

    def floor(px, py):
        """The rock under the sea, and the boulders in the wash."""
        shallow = land(px, py)
        a, b = terrain.to_view(px, py, LOOK)
        for ba, bb, r in BOULDERS:
            shallow = np.maximum(shallow, r * 0.4 - np.hypot(a - ba, b - bb) / 1.5)
        return shallow

    terrain.washing_sea(x, y, waves, floor, kit.material("sea", sea_material))
    # the rock, finer near the camera
    x, y = terrain.view_grid(eye, LOOK + 15.0, 110.0, 1.0, 4000.0, kit.scaled(1500), kit.scaled(1100))
    terrain.grid_object("coast", x, y, land(x, y), kit.material("rock", rock))
    lx, ly = terrain.from_view(*LIGHTHOUSE, LOOK)
    lighthouse(lx, ly, float(land(np.array([lx]), np.array([ly]))[0]) - 0.5)
    # boulders in the wash in front, wet where the swell reaches them
    boulder = kit.material("boulder", rock)
    for i, (a, b, r) in enumerate(BOULDERS):
        bx, by = terrain.from_view(a, b, LOOK)
        craggy("boulder %d" % i, (bx, by, r * 0.1), (r * 1.4, r, r * 0.8), i, boulder)
    eye_z = max(float(land(np.array([0.0]), np.array([0.0]))[0]), 4.5) + 1.7
    target = kit.direction(-5.0, LOOK + 6.0)
    kit.camera((0.0, 0.0, eye_z), (target.x, target.y, eye_z + target.z), 64.0)
    kit.film(exposure=-2.0)
    kit.bloom(threshold=2.0, size=8, mix=-0.7)
    kit.clean_margins(SAMPLES // 3)
