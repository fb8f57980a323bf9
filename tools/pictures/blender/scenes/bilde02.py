"""Desert dunes in the last hour of sun: sharp crests, long shadows in the troughs, wind ripples in the sand."""
import math

import numpy as np

import air
import kit
import terrain

SAMPLES = 16
SUN = (5.0, 285.0)  # elevation, azimuth: the evening sun low in the west, left of the view
LOOK = 305.0  # from high on a dune, towards the sun: the slip faces in shadow, the crests lit


def dune_field(x, y):
    # the wind blows towards 70 degrees: long gentle slopes face it, steep slip faces fall away from it;
    # a warp of more than a dune's spacing bends the crests, joins and splits them
    wind = math.radians(70.0)
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
    # wind ripples, a hand's breadth apart, broken and bent by noise
    ripples = kit.node(tree, "ShaderNodeTexWave", {"Vector": p, "Scale": 0.011, "Distortion": 6.0, "Detail": 2.0,
                                                  "Detail Scale": 1.5}, wave_type="BANDS", bands_direction="Y",
                       wave_profile="SAW").outputs["Fac"]
    mottle = kit.noise(tree, p, 0.004, 3.0)
    colour = kit.ramp(tree, mottle, [(0.3, (0.62, 0.27, 0.11)), (0.7, (0.70, 0.33, 0.14))])
    normal = kit.bump(tree, ripples, 0.25, 0.02)
    normal = kit.bump(tree, kit.noise(tree, p, 3.0, 4.0), 0.08, 0.01, normal)
    return air.hazed(tree, kit.principled(tree, colour, 0.92, normal=normal, specular=0.3), 5000.0, 600.0)


def build():
    air.sky(*SUN, dust=0.8, air=1.0, clouds=[dict(height=7000.0, scale=2500.0, coverage=0.22, stretch=5.0,
                                                   heading=20.0, seed=11.0, opacity=2.0)])
    eye = (0.0, 0.0)
    x, y = terrain.view_grid(eye, LOOK, 120.0, 5.0, 25000.0, kit.scaled(1200), kit.scaled(900))
    terrain.grid_object("dunes", x, y, desert(x, y), kit.material("sand", sand))
    eye_z = float(desert(np.array([eye[0]]), np.array([eye[1]]))[0]) + 60.0
    ahead = kit.direction(-8.0, LOOK)
    kit.camera((eye[0], eye[1], eye_z), (eye[0] + ahead.x, eye[1] + ahead.y, eye_z + ahead.z), 50.0)
    kit.film(exposure=-3.0, look="High Contrast")
