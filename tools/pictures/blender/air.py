"""The air of the slide scenes: a physical sky with its sun as a lamp, layers of cloud drawn over it, and the
haze that fades far things into the sky's colour."""
import math
import os
import tempfile

import bpy

from kit import add_object, direction, link, map_range, math_node, mix_colour, node, noise, point_along, scaled


_sky_settings = {}


def _sky_texture(tree, elevation, azimuth, disc, air, dust, ozone, altitude, sun_size):
    return node(tree, "ShaderNodeTexSky", sky_type="NISHITA", sun_disc=disc, sun_elevation=math.radians(elevation),
                sun_rotation=math.radians(azimuth), air_density=air, dust_density=dust, ozone_density=ozone,
                altitude=altitude, sun_size=math.radians(sun_size)).outputs[0]


def sky(elevation, azimuth, air=1.0, dust=1.0, ozone=1.0, altitude=0.0, strength=1.0, sun_size=0.545,
        sun_strength=1.0, clouds=()):
    """A physical sky with its sun `elevation` degrees up at `azimuth`, and layers of `clouds` (dicts of
    _clouds's arguments) drawn over it; returns the sun lamp.

    The camera sees the sky with the sun's disc; every other ray sees it without, and the disc's light
    comes from a sun lamp of the same colour and strength instead, which Cycles samples without noise.
    Clouds cost many noise lookups, so every ray but the camera's sees them in a panorama of the sky
    rendered once beforehand."""
    scene = bpy.context.scene
    kw = dict(air=air, dust=dust, ozone=ozone, altitude=altitude, sun_size=sun_size)
    _sky_settings.clear()
    _sky_settings.update(elevation=elevation, azimuth=azimuth, strength=strength, **kw)
    colour, irradiance = _measure_sun(elevation, azimuth, sun_size, kw)
    sun_light = [c * irradiance * sun_strength for c in colour]

    def seen_sky(tree, disc):
        """The sky and its clouds, with or without the sun's disc."""
        with_disc = _sky_texture(tree, elevation, azimuth, True, **kw)
        without = _sky_texture(tree, elevation, azimuth, False, **kw)
        sun_only = node(tree, "ShaderNodeMixRGB", {"Fac": 1.0, "Color1": with_disc, "Color2": without},
                        blend_type="SUBTRACT").outputs[0]
        for layer in clouds:
            without, alpha = _clouds(tree, without, direction(elevation, azimuth), sun_light, **layer)
            sun_only = mix_colour(tree, alpha, sun_only, (0.0, 0.0, 0.0, 1.0))
        return mix_colour(tree, 1.0, without, sun_only, "ADD") if disc else without

    def make_world(name, colour_of):
        world = bpy.data.worlds.new(name)
        world.use_nodes = True
        tree = world.node_tree
        tree.nodes.clear()
        background = node(tree, "ShaderNodeBackground", {"Color": colour_of(tree), "Strength": strength})
        link(tree, background.outputs[0], node(tree, "ShaderNodeOutputWorld").inputs["Surface"])
        world.cycles.sampling_method = "MANUAL"
        world.cycles.sample_map_resolution = 1024
        return world

    if clouds:
        panorama = _panorama(make_world("sky without the sun", lambda tree: seen_sky(tree, False)))

        def colour_of(tree):
            camera_ray = node(tree, "ShaderNodeLightPath").outputs["Is Camera Ray"]
            baked = node(tree, "ShaderNodeTexEnvironment", image=panorama).outputs["Color"]
            return node(tree, "ShaderNodeMixRGB", {"Fac": camera_ray, "Color1": baked,
                                                   "Color2": seen_sky(tree, True)}).outputs[0]
    else:
        def colour_of(tree):
            camera_ray = node(tree, "ShaderNodeLightPath").outputs["Is Camera Ray"]
            return node(tree, "ShaderNodeMixRGB", {"Fac": camera_ray, "Color1": seen_sky(tree, False),
                                                   "Color2": seen_sky(tree, True)}).outputs[0]
    scene.world = make_world("sky", colour_of)
    light = bpy.data.lights.new("sun", "SUN")
    light.angle = math.radians(sun_size)
    light.color = colour
    light.energy = irradiance * strength * sun_strength
    sun = add_object("sun", light)
    point_along(sun, -direction(elevation, azimuth))
    return sun


def _render_probe(world, camera_data, width, height, samples, look_along):
    """Renders `world` alone through a camera of its own into a float image, and returns it."""
    probe = bpy.data.scenes.new("probe")
    probe.world = world
    obj = bpy.data.objects.new("probe", camera_data)
    probe.collection.objects.link(obj)
    point_along(obj, look_along)
    probe.camera = obj
    probe.render.engine = "CYCLES"
    probe.cycles.samples = samples
    probe.cycles.use_denoising = False
    probe.render.resolution_x, probe.render.resolution_y = width, height
    probe.view_settings.view_transform = "Standard"
    probe.render.image_settings.file_format = "OPEN_EXR"
    probe.render.image_settings.color_depth = "32"
    folder = tempfile.mkdtemp()
    probe.render.filepath = os.path.join(folder, "probe.exr")
    bpy.ops.render.render(write_still=True, scene=probe.name)
    image = bpy.data.images.load(probe.render.filepath)
    image.pack()
    os.remove(probe.render.filepath)
    os.rmdir(folder)
    bpy.data.scenes.remove(probe)
    return image


def _panorama(world):
    """The world as an equirectangular image, in the layout the environment texture reads."""
    cam = bpy.data.cameras.new("panorama")
    cam.type = "PANO"
    cam.cycles.panorama_type = "EQUIRECTANGULAR"
    # looking along +x with +z up, the panorama's columns fall where the environment texture reads them
    return _render_probe(world, cam, scaled(1024, 256), scaled(512, 128), 4, (1.0, 0.0, 0.0))


def _vector(tree, operation, a, b=None, scale=None):
    inputs = {0: a}
    if b is not None:
        inputs[1] = b
    if scale is not None:
        inputs["Scale"] = scale
    n = node(tree, "ShaderNodeVectorMath", inputs, operation=operation)
    return n.outputs["Value" if operation == "DOT_PRODUCT" else "Vector"]


def _henyey_greenstein(tree, cosine, g):
    # (1 - g^2) / (1 + g^2 - 2 g cos)^1.5, normalised to 1 for isotropic light
    base = math_node(tree, "ADD", math_node(tree, "MULTIPLY", cosine, -2.0 * g), 1.0 + g * g)
    return math_node(tree, "DIVIDE", 1.0 - g * g, math_node(tree, "POWER", base, 1.5))


def _clouds(tree, behind, sun_dir, sun_light, height=3000.0, scale=2000.0, coverage=0.5, opacity=4.0,
            stretch=1.0, heading=0.0, seed=0.0, detail=8.0, distortion=0.4, shadow=0.6, ambient=0.6,
            fade=0.04):
    """One layer of cloud at `height` over the sky colour `behind`, lit by the sun (`sun_light`, linear
    colour times irradiance) and the sky. Seen from below, a ray meets the layer at a point of the plane;
    its noise there is the cloud's thickness, and the thickness a little towards the sun its shadow."""
    d = _vector(tree, "NORMALIZE", node(tree, "ShaderNodeTexCoord").outputs["Generated"])
    dz = node(tree, "ShaderNodeSeparateXYZ", {0: d}).outputs["Z"]
    # a curved layer: far away it sinks to the horizon instead of running off to infinity
    reach = math_node(tree, "DIVIDE", height, math_node(tree, "MAXIMUM", math_node(tree, "ADD", dz, fade), 0.001))
    hit = _vector(tree, "SCALE", d, scale=reach)
    mapping = dict(Scale=(1.0 / (scale * stretch), 1.0 / scale, 0.0), Rotation=(0.0, 0.0, math.radians(heading)),
                   Location=(seed, seed * 0.61, 0.0))

    def thickness(point):
        p = node(tree, "ShaderNodeMapping", {"Vector": point, **mapping}).outputs[0]
        n = noise(tree, p, 1.0, detail, 0.55, distortion)
        threshold = 0.62 - 0.24 * coverage
        return map_range(tree, n, threshold, threshold + 0.18)

    here = thickness(hit)
    towards_sun = _vector(tree, "ADD", hit, (sun_dir.x * scale * 0.25, sun_dir.y * scale * 0.25, 0.0))
    lit = node(tree, "ShaderNodeMath", {0: math_node(tree, "MULTIPLY", thickness(towards_sun), -shadow * 4.0)},
               operation="EXPONENT").outputs[0]
    cosine = _vector(tree, "DOT_PRODUCT", d, tuple(sun_dir))
    phase = math_node(tree, "ADD", math_node(tree, "MULTIPLY", _henyey_greenstein(tree, cosine, 0.6), 0.5),
                      math_node(tree, "MULTIPLY", _henyey_greenstein(tree, cosine, -0.15), 0.5))
    # thick cloud scatters about phase / 4 pi of the sunlight towards the eye, and more by bouncing inside
    glow = math_node(tree, "MULTIPLY", math_node(tree, "MULTIPLY", lit, phase), 0.12)
    sunlit = _vector(tree, "ADD", _vector(tree, "SCALE", tuple(sun_light), scale=glow),
                     _vector(tree, "SCALE", behind, scale=ambient))
    alpha = math_node(tree, "MULTIPLY", math_node(tree, "SUBTRACT", 1.0, node(
        tree, "ShaderNodeMath", {0: math_node(tree, "MULTIPLY", here, -opacity)}, operation="EXPONENT").outputs[0]),
        map_range(tree, dz, 0.0, fade))
    return mix_colour(tree, alpha, behind, sunlit), alpha


def _measure_sun(elevation, azimuth, sun_size, kw):
    """The disc's colour and irradiance, from a small render that looks straight at it."""
    if elevation < -sun_size:
        return (1.0, 1.0, 1.0), 0.0
    world = bpy.data.worlds.new("disc")
    world.use_nodes = True
    tree = world.node_tree
    tree.nodes.clear()
    disc = _sky_texture(tree, elevation, azimuth, True, **kw)
    link(tree, node(tree, "ShaderNodeBackground", {"Color": disc}).outputs[0],
         node(tree, "ShaderNodeOutputWorld").inputs["Surface"])
    cam = bpy.data.cameras.new("probe")
    cam.angle = math.radians(sun_size * 1.6)
    size = 48
    image = _render_probe(world, cam, size, size, 16, direction(elevation, azimuth))
    pixels = list(image.pixels)
    bpy.data.images.remove(image)
    # sum the disc's pixels (far brighter than the sky around it) times each pixel's solid angle
    texel = (2.0 * math.tan(cam.angle / 2.0) / size) ** 2
    total = [0.0, 0.0, 0.0]
    peak = max(pixels[0::4])
    for i in range(0, len(pixels), 4):
        if pixels[i] + pixels[i + 1] + pixels[i + 2] > 0.05 * peak:
            for c in range(3):
                total[c] += pixels[i + c] * texel
    strength = max(total)
    if strength <= 0.0:
        return (1.0, 1.0, 1.0), 0.0
    return tuple(c / strength for c in total), strength


def misty(tree, shader, mist, haze, tint=(1.0, 1.0, 1.0)):
    """`shader` under mist that lies thick low down, `mist` = (distance, height), and a haze over everything,
    `haze` = (distance, height), as hazed() takes them."""
    return hazed(tree, hazed(tree, shader, *mist, tint=tint), *haze)


def hazed(tree, shader, distance, height=None, tint=(1.0, 1.0, 1.0)):
    """`shader` seen through air: far away it fades into the colour of the sky just above the horizon in
    the same direction, which is where aerial perspective leads. `distance` is how far the haze takes a
    third of the light away; `height`, when given, thins it out upwards (an e-fold per `height`).

    The fade follows the length of the ray that reached the surface, so a reflection in water fades as
    much as what it reflects. It is drawn in the material, free of noise, instead of by a volume."""
    s = _sky_settings
    incoming = node(tree, "ShaderNodeNewGeometry").outputs["Incoming"]
    away = _vector(tree, "SCALE", incoming, scale=-1.0)
    parts = node(tree, "ShaderNodeSeparateXYZ", {0: away}).outputs
    level = node(tree, "ShaderNodeCombineXYZ", {0: parts[0], 1: parts[1], 2: math_node(tree, "MAXIMUM", parts[2], 0.02)})
    behind = _sky_texture(tree, s["elevation"], s["azimuth"], False, s["air"], s["dust"], s["ozone"], s["altitude"],
                          s["sun_size"])
    link(tree, _vector(tree, "NORMALIZE", level.outputs[0]), behind.node.inputs["Vector"])
    air = node(tree, "ShaderNodeEmission", {"Color": mix_colour(tree, 1.0, behind, (*tint, 1.0), "MULTIPLY"),
                                            "Strength": s["strength"]}).outputs[0]
    length = node(tree, "ShaderNodeLightPath").outputs["Ray Length"]
    depth = math_node(tree, "DIVIDE", length, distance)
    if height is not None:
        z = node(tree, "ShaderNodeSeparateXYZ", {0: node(tree, "ShaderNodeNewGeometry").outputs["Position"]}).outputs[2]
        # the density along a ray from near the ground up to z averages about that at z / 2
        depth = math_node(tree, "MULTIPLY", depth, node(tree, "ShaderNodeMath", {0: math_node(
            tree, "DIVIDE", z, -2.0 * height)}, operation="EXPONENT").outputs[0])
    kept = node(tree, "ShaderNodeMath", {0: math_node(tree, "MULTIPLY", depth, -0.405)}, operation="EXPONENT").outputs[0]
    return node(tree, "ShaderNodeMixShader", {0: kept, 1: air, 2: shader}).outputs[0]
