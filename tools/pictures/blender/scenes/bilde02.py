"""Desert dunes in the last hour of sun, seen from high on a tall one towards the sun: its lit crest
curves away across the picture, wind ripples on its slope, slip faces in shadow, lower dunes fading
into the haze under the sun."""
import math

import numpy as np

import air
import kit
import terrain

SAMPLES = 64
DENOISE = 2.5
SUN = (5.0, 285.0)  # elevation, azimuth: the evening sun low in the west, left of the view
WIND = 70.0  # the wind blows towards this azimuth; the crests run across it
LOOK = 308.0  # towards the sun: the slip faces in shadow, the crests lit
EYE, EYE_HEIGHT = (-376.0, 152.0), 15.0  # high on a tall dune, over the lower ones ahead


def dune_field(x, y):
    # the wind blows towards WIND: long gentle slopes face it, steep slip faces fall away from it;
    # a warp of more than a dune's spacing bends the crests, joins and splits them
    wind = math.radians(WIND)
    u = x * math.sin(wind) + y * math.cos(wind)
    v = x * math.cos(wind) - y * math.sin(wind)
    spacing = 210.0
    phase = u / spacing + 1.3 * terrain.fbm(x / 900.0, y / 900.0, 4, seed=3) + 0.25 * terrain.fbm(v / 200.0, u / 400.0, 3,
                                                                                                  seed=4)
    f = phase - np.floor(phase)
    c = 0.78
    profile = np.where(f < c, 1.0 - np.clip(1.0 - f / c, 0.0, 1.0) ** 1.7, np.clip((1.0 - f) / (1.0 - c), 0.0, 1.0) ** 1.3)
    height = 60.0 * np.clip(0.6 + 0.7 * terrain.fbm(x / 1100.0, y / 1100.0, 3, seed=5), 0.15, 1.2)
    swell = 12.0 * terrain.fbm(x / 2500.0, y / 2500.0, 3, seed=7) + 1.5 * terrain.fbm(x / 60.0, y / 60.0, 3, seed=6)
    return profile * height + swell


def desert(x, y):
    return dune_field(x, y)


def sand(tree):
    p = kit.coordinates(tree, "Object")
    # wind ripples a quarter of a metre apart across the wind, bent and broken by noise; only on the gentle
    # slopes (sand avalanches down the slip faces), and only near, where a pixel can still hold them
    along = kit.node(tree, "ShaderNodeMapping", {"Vector": p, "Rotation": (0.0, 0.0, math.radians(WIND - 90.0))}).outputs[0]
    ripples = kit.node(tree, "ShaderNodeTexWave", {"Vector": along, "Scale": 1.25, "Distortion": 5.0, "Detail": 3.0,
                                                  "Detail Scale": 0.35, "Detail Roughness": 0.6},
                       wave_type="BANDS", bands_direction="X", wave_profile="SAW").outputs["Fac"]
    up = kit.node(tree, "ShaderNodeSeparateXYZ", {0: kit.node(tree, "ShaderNodeNewGeometry").outputs["Normal"]}).outputs["Z"]
    near = kit.map_range(tree, kit.node(tree, "ShaderNodeCameraData").outputs["View Distance"], 90.0, 35.0)
    gentle = kit.map_range(tree, up, 0.93, 0.97)
    strength = kit.math_node(tree, "MULTIPLY", kit.math_node(tree, "MULTIPLY", near, gentle), 0.5)
    mottle = kit.noise(tree, p, 0.02, 4.0)
    colour = kit.ramp(tree, mottle, [(0.35, (0.60, 0.27, 0.11)), (0.65, (0.72, 0.35, 0.15))])
    # darker sand gathers in the ripple troughs
    colour = kit.mix_colour(tree, kit.math_node(tree, "MULTIPLY", strength, kit.map_range(tree, ripples, 0.3, 0.0)),
                            colour, (0.48, 0.22, 0.09, 1.0))
    normal = kit.bump(tree, ripples, strength, 0.02)
    normal = kit.bump(tree, kit.noise(tree, p, 40.0, 3.0), 0.05, 0.003, normal)
    return air.hazed(tree, kit.principled(tree, colour, 0.95, normal=normal, specular=0.25), 8000.0, 600.0)


def build():
    air.sky(*SUN, dust=0.8, air=1.0, clouds=[dict(height=7000.0, scale=2500.0, coverage=0.22, stretch=5.0,
                                                   heading=20.0, seed=11.0, opacity=2.0)])
    eye = EYE
    x, y = terrain.view_grid(eye, LOOK, 76.0, 2.0, 25000.0, kit.scaled(1500), kit.scaled(1400))
    terrain.grid_object("dunes", x, y, desert(x, y), kit.material("sand", sand))
    eye_z = float(desert(np.array([eye[0]]), np.array([eye[1]]))[0]) + EYE_HEIGHT
    ahead = kit.direction(-7.0, LOOK)
    kit.camera((eye[0], eye[1], eye_z), (eye[0] + ahead.x, eye[1] + ahead.y, eye_z + ahead.z), 55.0)
    kit.film(exposure=-3.0, look="High Contrast")
    kit.bloom(threshold=3.0, size=8, mix=-0.8)
