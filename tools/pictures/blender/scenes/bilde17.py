"""Wet pebbles at the edge of the sea, close up against a low golden sun: every stone its own colour and
shape, sorted by the waves, bigger towards the water; glints on the wet ones near by, a soft sheen on those
out of focus; beyond them a low surf breaking a few metres out and a lace of foam at the water's edge."""
import math

import bpy
import numpy as np

import air
import kit
import terrain

SAMPLES = 96
DENOISE = 3.0
# the pebbles' own speckle and edges count as grain to the measure: filtered down to 10 they smear
GRAIN_AIM = 11.5
# a glint seen in a bounce off another wet stone is a lone bright sample: cap it lower than elsewhere
CYCLES = {"sample_clamp_indirect": 3.0, "adaptive_min_samples": 12}
SUN = (8.0, 12.0)  # low, ahead of the camera: the wet stones shine against it
# Pebble kinds: (colour dark, colour light, roughness), granite, basalt, quartz, sandstone, flint, slate.
KINDS = [((0.14, 0.12, 0.11), (0.40, 0.35, 0.31), 0.35), ((0.02, 0.02, 0.025), (0.07, 0.07, 0.075), 0.25),
         ((0.62, 0.58, 0.52), (0.85, 0.82, 0.76), 0.3), ((0.35, 0.14, 0.06), (0.55, 0.28, 0.14), 0.45),
         ((0.12, 0.09, 0.05), (0.30, 0.22, 0.12), 0.2), ((0.05, 0.08, 0.10), (0.14, 0.2, 0.24), 0.3)]


def pebble_material(dark, light, roughness):
    def build(tree):
        # each stone its own: the pattern shifted and the shade changed by the instance's random number
        luck = kit.node(tree, "ShaderNodeObjectInfo").outputs["Random"]
        p = kit.node(tree, "ShaderNodeVectorMath", {0: kit.coordinates(tree, "Object"),
                                                    1: kit.node(tree, "ShaderNodeCombineXYZ", {
                                                        0: kit.math_node(tree, "MULTIPLY", luck, 37.0),
                                                        1: kit.math_node(tree, "MULTIPLY", luck, 71.0)}).outputs[0]},
                     operation="ADD").outputs[0]
        colour = kit.ramp(tree, kit.noise(tree, p, 3.0, 6.0, 0.6), [(0.3, dark), (0.7, light)])
        shade = kit.map_range(tree, luck, 0.0, 1.0, 0.65, 1.35, smooth=False)
        colour = kit.mix_colour(tree, 1.0, colour, kit.node(tree, "ShaderNodeCombineXYZ", {0: shade, 1: shade, 2: shade})
                                .outputs[0], "MULTIPLY")
        # a few faint quartz veins: bright, sharp ones would read as grain at this size
        veins = kit.node(tree, "ShaderNodeTexWave", {"Vector": p, "Scale": 0.6, "Distortion": 6.0, "Detail": 3.0}).outputs[0]
        colour = kit.mix_colour(tree, kit.map_range(tree, veins, 0.9, 1.0, 0.0, 0.3), colour, (0.8, 0.78, 0.72, 1.0))
        normal = kit.bump(tree, kit.noise(tree, p, 30.0, 4.0), 0.05, 0.002)
        # the stones are wet: a film of water over them, glossy over a darker stone. Out of focus a sharp
        # glint spreads into a disc too few samples find, a speckle: the film dulls with distance, so the
        # far stones keep a soft sheen rather than a thousand bright points
        away = kit.node(tree, "ShaderNodeCameraData").outputs["View Distance"]
        film = kit.map_range(tree, away, 1.1, 2.6, 0.12, 0.5)
        rough = kit.map_range(tree, away, 1.1, 2.6, roughness, 0.7)
        coat = kit.map_range(tree, away, 1.1, 2.6, 0.8, 0.45)
        return kit.principled(tree, kit.mix_colour(tree, 0.35, colour, (0.0, 0.0, 0.0, 1.0), "MULTIPLY"), rough,
                              normal=normal, clearcoat=coat, clearcoat_roughness=film)
    return build


def sand(tree):
    p = kit.coordinates(tree, "Object")
    colour = kit.ramp(tree, kit.noise(tree, p, 60.0, 3.0), [(0.3, (0.10, 0.085, 0.06)), (0.7, (0.2, 0.17, 0.12))])
    return kit.principled(tree, colour, 0.3, normal=kit.bump(tree, kit.noise(tree, p, 120.0, 2.0), 0.2, 0.001))


SEA_LEVEL = -0.13


def beach(x, y):
    """The beach falling gently towards the sea ahead, under the water past its edge, a few metres out."""
    return -0.02 * y - 0.002 * y * y * (y > 0) - 0.01 * np.maximum(y - 5.0, 0.0) ** 2


def pebble_bed(rng):
    """Where the stones lie and how big they are: the waves sort them, coarse low on the beach towards the
    sea and finer up it, in drifts of coarser and finer; the big ones settle first and the small ones fill
    the gaps between them, touching but not overlapping much. Returns x, y and the radius of each."""
    count = 60000
    x = rng.uniform(-2.4, 2.4, count)
    y = rng.uniform(-0.35, 5.3, count)
    inside = np.abs(x) < 0.65 + 0.72 * np.maximum(y + 0.1, 0.0)
    x, y = x[inside], y[inside]
    drift = terrain.fbm(x / 0.9, y / 0.9, 3, seed=173)
    median = 0.019 * (1.0 + 0.32 * np.maximum(y, 0.0)) * np.exp(0.45 * drift)
    radius = median * np.exp(rng.normal(0.0, 0.33, len(x)))
    order = np.argsort(-radius)
    cell = 2.0 * radius.max()
    taken = {}
    keep = []
    for i in order:
        r, px, py = radius[i], x[i], y[i]
        kx, ky = int(px // cell), int(py // cell)
        near = (j for dx in (-1, 0, 1) for dy in (-1, 0, 1) for j in taken.get((kx + dx, ky + dy), ()))
        if all((x[j] - px) ** 2 + (y[j] - py) ** 2 >= (0.85 * (radius[j] + r)) ** 2 for j in near):
            taken.setdefault((kx, ky), []).append(i)
            keep.append(i)
    keep = np.array(keep)
    return x[keep], y[keep], radius[keep]


def surf(x, y, pz, breakers):
    """Breakers added to the swell over the grid (x, y): each (distance out, height, width) a crest along the
    shore, wobbling, steep on the face towards the beach. Returns the heights and the foam of the crests,
    white on top and spilling down the face."""
    foam = np.zeros_like(pz)
    for i, (out, height, width) in enumerate(breakers):
        line = out + 1.2 * terrain.fbm(x / 9.0, 0.5 + i, 3, seed=174 + i)
        d = y - line
        # the back of the wave long and gentle, its face short
        pz = pz + height * np.exp(-(d / np.where(d > 0.0, 1.8 * width, 0.5 * width)) ** 2) * (
            0.75 + 0.25 * terrain.fbm(x / 4.0, 3.0 + i, 2, seed=176 + i))
        broken = terrain.smoothstep(-0.2, 0.4, terrain.fbm(x / 3.0, 7.0 + i, 3, seed=178 + i))
        foam = np.maximum(foam, np.exp(-((d + 0.2 * width) / (0.6 * width)) ** 2) * (0.35 + 0.65 * broken))
    return pz, foam


def sea_material(tree):
    foam = kit.node(tree, "ShaderNodeAttribute", attribute_name="foam").outputs["Fac"]
    p = kit.coordinates(tree, "Object")
    lace = kit.map_range(tree, kit.noise(tree, p, 2.5, 5.0, 0.6), 0.45, 0.7)
    broken = kit.math_node(tree, "MULTIPLY", foam, lace)
    water = kit.principled(tree, (0.01, 0.025, 0.03), 0.06, specular=0.5)
    froth = kit.principled(tree, (0.7, 0.7, 0.66), 0.6)
    return air.hazed(tree, kit.node(tree, "ShaderNodeMixShader", {0: broken, 1: water, 2: froth}).outputs[0], 9000.0)


def build():
    air.sky(*SUN, dust=2.0, clouds=[dict(height=3000.0, scale=1500.0, coverage=0.3, opacity=2.5, stretch=3.0,
                                         heading=0.0, seed=81.0)])
    # the beach under the stones, falling gently towards the sea ahead
    x, y = terrain.view_grid((0.0, -0.6), 0.0, 120.0, 0.05, 5000.0, kit.scaled(700), kit.scaled(500))
    terrain.grid_object("sand", x, y, beach(x, y), kit.material("wet sand", sand))
    # the sea out to the horizon, a low swell breaking in a lace of foam at the water's edge
    x, y = terrain.view_grid((0.0, -0.6), 0.0, 110.0, 3.0, 20000.0, kit.scaled(900), kit.scaled(700))
    waves = (terrain.wave_train(16, 185.0, 15.0, 12.0, 1.5, 0.12, 0.5, seed=171) +
             terrain.wave_train(40, 200.0, 40.0, 1.5, 0.05, 0.04, 1.0, seed=172))
    px, py, pz = terrain.sea(x, y, waves)
    # a low surf: one wave breaking a few metres out, another gathering beyond it
    pz, crests = surf(px, py, pz, [(9.0, 0.28, 0.9), (17.0, 0.22, 1.4)])
    sea = terrain.grid_object("sea", px, py, pz, kit.material("sea", sea_material))
    edge = terrain.smoothstep(-0.12, 0.02, beach(px, py) - SEA_LEVEL) * (0.6 + 0.4 * np.clip(pz / 0.05, 0.0, 1.0))
    sea.data.attributes.new("foam", "FLOAT", "POINT").data.foreach_set(
        "value", np.maximum(edge, crests).reshape(-1).astype(np.float32))
    sea.location.z = SEA_LEVEL
    # pebbles as the sea leaves them, sorted by size; every kind of stone in several shapes
    rng = np.random.RandomState(17)
    # (the instances take the templates unscaled: each shape's proportions go into the instances' scale)
    templates, proportions = [], []
    for i, (dark, light, roughness) in enumerate(KINDS):
        mat = kit.material("pebble %d" % i, pebble_material(dark, light, roughness))
        for k in range(4):
            templates.append(kit.rock("pebble %d %d" % (i, k), (0, 0, 0), (1.0, 1.0, 1.0), seed=100 + 7 * i + k,
                                      lumpiness=rng.uniform(0.2, 0.4), crags=rng.uniform(0.02, 0.08), grit=0.004,
                                      mat=mat))
            proportions.append((1.0, rng.uniform(0.65, 0.95), rng.uniform(0.35, 0.6)))
    px, py, radius = pebble_bed(rng)
    kind = rng.choice(len(KINDS), len(px), p=[0.3, 0.15, 0.12, 0.15, 0.13, 0.15])
    variant = kind * 4 + rng.randint(0, 4, len(px))
    shape = radius[:, None] * np.array(proportions)[variant] * np.stack([
        rng.uniform(1.0, 1.25, len(px)), rng.uniform(0.9, 1.1, len(px)), rng.uniform(0.8, 1.4, len(px))], 1)
    pz = beach(px, py) + shape[:, 2] * rng.uniform(0.05, 0.3, len(px))
    kit.scatter("pebbles", templates, np.stack([px, py, pz], 1), shape, rng.uniform(0, 6.3, len(px)),
                variant)
    # gravel in the gaps between them
    gx, gy = np.meshgrid(np.arange(-1.4, 1.4, 0.022), np.arange(-0.3, 3.0, 0.022))
    gx = (gx + rng.uniform(-0.5, 0.5, gx.shape) * 0.022).reshape(-1)
    gy = (gy + rng.uniform(-0.5, 0.5, gy.shape) * 0.022).reshape(-1)
    small = rng.uniform(0.005, 0.011, len(gx))
    kit.scatter("gravel", [kit.rock("grit %d" % i, (0, 0, 0), (1.0, 0.8, 0.5), seed=120 + i, lumpiness=0.3, crags=0.1,
                                    grit=0.0, subdivisions=3, mat=templates[4 * i].active_material) for i in range(3)],
                np.stack([gx, gy, beach(gx, gy) + small * 0.1], 1),
                np.stack([small * 1.2, small, small * 0.6], 1), rng.uniform(0, 6.3, len(gx)), rng.randint(0, 3, len(gx)))
    kit.camera((0.0, -0.6, 0.42), (0.0, 0.9, -0.02), 52.0, focus=0.95, fstop=4.0)
    kit.film(exposure=-2.8)
    kit.bloom(threshold=2.0, size=7, mix=-0.8)
    kit.clean_margins(SAMPLES // 3)
