"""Helpers the slide scenes share: nodes and materials, sky and sun, haze and clouds, camera, film."""
import math

import bmesh
import bpy
from mathutils import Vector

# 1 at a picture's own size; a quick preview renders smaller, and the scenes scale their meshes with it.
detail = 1.0


def scaled(count, least=8):
    """A mesh resolution for the size being rendered."""
    return max(least, int(round(count * detail)))


# --- nodes -----------------------------------------------------------------------------------------


def node(tree, kind, inputs=None, **settings):
    """A node of `kind` in `tree`; `inputs` maps socket names (or indices) to values or output sockets."""
    n = tree.nodes.new(kind)
    for key, value in settings.items():
        setattr(n, key, value)
    for key, value in (inputs or {}).items():
        socket = n.inputs[key]
        if isinstance(value, bpy.types.NodeSocket):
            tree.links.new(value, socket)
        else:
            socket.default_value = value
    return n


def link(tree, output, socket):
    tree.links.new(output, socket)


def math_node(tree, operation, a, b=0.0, clamp=False):
    return node(tree, "ShaderNodeMath", {0: a, 1: b}, operation=operation, use_clamp=clamp).outputs[0]


def ramp(tree, fac, stops):
    """A colour ramp: `stops` are (position, (r, g, b)) pairs."""
    n = node(tree, "ShaderNodeValToRGB", {"Fac": fac})
    elements = n.color_ramp.elements
    while len(elements) < len(stops):
        elements.new(0.5)
    for element, (position, colour) in zip(elements, stops):
        element.position = position
        element.color = (*colour, 1.0)
    return n.outputs["Color"]


def map_range(tree, value, from_min, from_max, to_min=0.0, to_max=1.0, smooth=True):
    kind = "SMOOTHSTEP" if smooth else "LINEAR"
    n = node(tree, "ShaderNodeMapRange", {"Value": value, 1: from_min, 2: from_max, 3: to_min, 4: to_max},
             interpolation_type=kind)
    return n.outputs[0]


def mix_colour(tree, fac, a, b, blend="MIX"):
    return node(tree, "ShaderNodeMixRGB", {"Fac": fac, "Color1": a, "Color2": b}, blend_type=blend).outputs[0]


def noise(tree, vector, scale, detail=4.0, roughness=0.5, distortion=0.0):
    n = node(tree, "ShaderNodeTexNoise",
             {"Vector": vector, "Scale": scale, "Detail": detail, "Roughness": roughness, "Distortion": distortion})
    return n.outputs["Fac"]


def coordinates(tree, kind="Object"):
    return node(tree, "ShaderNodeTexCoord").outputs[kind]


def material(name, build, volume=False):
    """A material whose node tree `build(tree)` makes; it returns the surface (or, with `volume`, the
    volume) shader output, or a (surface, volume) pair."""
    mat = bpy.data.materials.new(name)
    mat.use_nodes = True
    tree = mat.node_tree
    tree.nodes.clear()
    out = node(tree, "ShaderNodeOutputMaterial")
    made = build(tree)
    if isinstance(made, tuple):
        link(tree, made[0], out.inputs["Surface"])
        link(tree, made[1], out.inputs["Volume"])
    else:
        link(tree, made, out.inputs["Volume" if volume else "Surface"])
    return mat


def clear_water(tree, colour, density, roughness=0.02, ripples=0.0, ripple_scale=1.0):
    """Water you see into: a refracting surface, light taken out with depth leaving `colour`; shadows
    through it are light's way to the bottom (Cycles draws no caustics here). Returns (surface, volume)."""
    inputs = {"Roughness": roughness, "IOR": 1.333, "Transmission": 1.0, "Base Color": (1.0, 1.0, 1.0, 1.0)}
    if ripples > 0.0:
        inputs["Normal"] = bump(tree, noise(tree, coordinates(tree, "Object"), ripple_scale, 3.0), ripples, 0.1)
    glass = node(tree, "ShaderNodeBsdfPrincipled", inputs).outputs[0]
    shadow = node(tree, "ShaderNodeLightPath").outputs["Is Shadow Ray"]
    see_through = node(tree, "ShaderNodeBsdfTransparent").outputs[0]
    surface = node(tree, "ShaderNodeMixShader", {0: shadow, 1: glass, 2: see_through}).outputs[0]
    absorb = node(tree, "ShaderNodeVolumeAbsorption", {"Color": (*colour, 1.0), "Density": density}).outputs[0]
    return surface, absorb


def principled(tree, colour, roughness=0.5, **extra):
    inputs = {"Base Color": colour if isinstance(colour, bpy.types.NodeSocket) else (*colour, 1.0),
              "Roughness": roughness}
    inputs.update({key.replace("_", " ").title(): value for key, value in extra.items()})
    return node(tree, "ShaderNodeBsdfPrincipled", inputs).outputs[0]


def bump(tree, height, strength, distance=1.0, normal=None):
    inputs = {"Height": height, "Strength": strength, "Distance": distance}
    if normal is not None:
        inputs["Normal"] = normal
    return node(tree, "ShaderNodeBump", inputs).outputs[0]


def simple_material(name, colour, roughness=0.5, **extra):
    return material(name, lambda tree: principled(tree, colour, roughness, **extra))


def assign(obj, mat):
    """Gives `obj` the material; on a mesh other objects share, the material is the object's own."""
    if obj.data.users > 1:
        if not obj.material_slots:
            obj.data.materials.append(None)
        obj.material_slots[0].link = "OBJECT"
        obj.material_slots[0].material = mat
    else:
        obj.data.materials.clear()
        obj.data.materials.append(mat)
    return obj


# --- objects ---------------------------------------------------------------------------------------
# Made from mesh data directly: an operator (bpy.ops) updates the whole scene each call, which makes a
# scene of a few hundred parts take minutes to build. Parts of one shape share one mesh.


def add_object(name, data, location=(0.0, 0.0, 0.0), rotation=(0.0, 0.0, 0.0), mat=None):
    obj = bpy.data.objects.new(name, data)
    bpy.context.scene.collection.objects.link(obj)
    obj.location = location
    obj.rotation_euler = rotation
    if mat is not None:
        assign(obj, mat)
    return obj


def _smooth(mesh):
    mesh.polygons.foreach_set("use_smooth", [True] * len(mesh.polygons))
    mesh.update()
    return mesh


def mesh_object(name, verts, faces, smooth=True):
    mesh = bpy.data.meshes.new(name)
    mesh.from_pydata([tuple(v) for v in verts], [], [tuple(f) for f in faces])
    if smooth:
        _smooth(mesh)
    mesh.update()
    return add_object(name, mesh)


_shared = {}


def _shared_mesh(key, make, smooth):
    """One mesh for every part of the same shape: `make(bm)` fills a bmesh with it the first time."""
    if key not in _shared or _shared[key].name not in bpy.data.meshes:
        bm = bmesh.new()
        make(bm)
        mesh = bpy.data.meshes.new(str(key))
        bm.to_mesh(mesh)
        bm.free()
        if smooth:
            _smooth(mesh)
        _shared[key] = mesh
    return _shared[key]


def box(name, centre, size, mat=None):
    """A box `size` across, around `centre`; its own coordinates run from -1 to 1 on every axis."""
    mesh = _shared_mesh("cube", lambda bm: bmesh.ops.create_cube(bm, size=2.0), False)
    obj = add_object(name, mesh, centre, mat=None)
    obj.scale = [s / 2 for s in size]
    if mat is not None:
        assign(obj, mat)
    return obj


def cone(name, location, radius1, radius2, depth, vertices=48, mat=None, rotation=(0.0, 0.0, 0.0), smooth=True):
    """A cone or (equal radii) a cylinder, `depth` tall, centred on `location`, ends capped."""
    mesh = _shared_mesh(("cone", radius1, radius2, depth, vertices, smooth), lambda bm: bmesh.ops.create_cone(
        bm, cap_ends=True, segments=vertices, radius1=radius1, radius2=radius2, depth=depth), smooth)
    return add_object(name, mesh, location, rotation, mat)


def sphere(name, location, radius, segments=64, rings=32, mat=None):
    mesh = _shared_mesh(("sphere", radius, segments, rings), lambda bm: bmesh.ops.create_uvsphere(
        bm, u_segments=segments, v_segments=rings, radius=radius), True)
    return add_object(name, mesh, location, mat=mat)


def disc(name, location, radius, vertices=48, mat=None):
    mesh = _shared_mesh(("disc", radius, vertices), lambda bm: bmesh.ops.create_circle(
        bm, cap_ends=True, segments=vertices, radius=radius), False)
    return add_object(name, mesh, location, mat=mat)


def lathe(name, profile, segments=96, location=(0.0, 0.0, 0.0), mat=None):
    """A solid of revolution about the vertical: `profile` is a closed outline of (radius, height) points,
    going up the outside and down the inside for a vessel with walls."""
    verts, faces = [], []
    n = len(profile)
    for k in range(segments):
        a = 2.0 * math.pi * k / segments
        verts += [(r * math.cos(a), r * math.sin(a), z) for r, z in profile]
    for k in range(segments):
        for i in range(n):
            a, b = k * n + i, k * n + (i + 1) % n
            c, d = ((k + 1) % segments) * n + (i + 1) % n, ((k + 1) % segments) * n + i
            faces.append((a, b, c, d))
    mesh = bpy.data.meshes.new(name)
    mesh.from_pydata(verts, [], faces)
    bm = bmesh.new()
    bm.from_mesh(mesh)
    # the points on the axis meet in one
    bmesh.ops.remove_doubles(bm, verts=bm.verts, dist=1.0e-5)
    bmesh.ops.recalc_face_normals(bm, faces=bm.faces)
    bm.to_mesh(mesh)
    bm.free()
    return add_object(name, _smooth(mesh), location, mat=mat)


def glass(tree, colour=(1.0, 1.0, 1.0), roughness=0.0, ior=1.5):
    """Clear glass whose shadows let the light through, tinted (Cycles draws no caustics here)."""
    bsdf = node(tree, "ShaderNodeBsdfGlass", {"Color": (*colour, 1.0), "Roughness": roughness, "IOR": ior}).outputs[0]
    shadow = node(tree, "ShaderNodeLightPath").outputs["Is Shadow Ray"]
    through = node(tree, "ShaderNodeBsdfTransparent", {"Color": (*[0.3 + 0.7 * c for c in colour], 1.0)}).outputs[0]
    return node(tree, "ShaderNodeMixShader", {0: shadow, 1: bsdf, 2: through}).outputs[0]


_rock_textures = {}


def rock(name, location, size, seed=0, lumpiness=0.35, crags=0.25, grit=0.04, subdivisions=5, mat=None,
         rotation=(0, 0, 0)):
    """A boulder: a sphere of radii `size` pushed in and out by procedural textures, broad lumps, flat
    faces broken at sharp edges, and grit, so no two seeds look alike."""
    mesh = _shared_mesh(("ico", subdivisions), lambda bm: bmesh.ops.create_icosphere(
        bm, subdivisions=subdivisions, radius=1.0), True)
    obj = add_object(name, mesh, location, rotation)
    obj.scale = size
    for kind, scale, strength, depth in (("CLOUDS", 0.9, lumpiness, 2), ("VORONOI", 0.45, crags, 0),
                                         ("CLOUDS", 0.08, grit, 4)):
        key = (kind, scale)
        if key not in _rock_textures or _rock_textures[key].name not in bpy.data.textures:
            texture = bpy.data.textures.new("%s %.2f" % (kind.lower(), scale), kind)
            texture.noise_scale = scale
            if kind == "CLOUDS":
                texture.noise_depth = depth
                texture.noise_basis = "BLENDER_ORIGINAL"
            else:
                texture.distance_metric = "DISTANCE"
            _rock_textures[key] = texture
        displace = obj.modifiers.new(kind.lower(), "DISPLACE")
        displace.texture = _rock_textures[key]
        displace.strength = strength
        displace.mid_level = 0.5
        # each seed moves the texture, which turns the same sphere into another stone; the mover rides
        # with the stone, so the texture keeps to the stone's own size
        mover = bpy.data.objects.new("%s %s offset" % (name, kind.lower()), None)
        bpy.context.scene.collection.objects.link(mover)
        mover.parent = obj
        mover.location = (seed * 3.7 + 11.0, seed * 1.3 - 5.0, seed * 2.1)
        displace.texture_coords = "OBJECT"
        displace.texture_coords_object = mover
    if mat is not None:
        assign(obj, mat)
    return obj


def direction(elevation, azimuth):
    """A unit vector `elevation` degrees above the horizon, `azimuth` degrees from +y towards +x."""
    e, a = math.radians(elevation), math.radians(azimuth)
    return Vector((math.sin(a) * math.cos(e), math.cos(a) * math.cos(e), math.sin(e)))


def point_along(obj, towards):
    """Turns a light or camera so that it looks along `towards`."""
    obj.rotation_euler = Vector(towards).to_track_quat("-Z", "Y").to_euler()


# --- camera and film -------------------------------------------------------------------------------

# The show draws a square slide on a quad a little wider than the screen: the screen shows the whole
# width and the middle 74.6 % of the height, at one texel a pixel. Compose for that band.
SHOWN_HEIGHT = 0.746


def camera(location, target, fov, focus=None, fstop=None):
    """The scene's camera at `location` looking at `target`, `fov` degrees across the picture."""
    cam = bpy.data.cameras.new("camera")
    cam.sensor_fit = "HORIZONTAL"
    cam.angle = math.radians(fov)
    cam.clip_start = 0.01
    cam.clip_end = 1.0e6
    obj = add_object("camera", cam)
    obj.location = location
    point_along(obj, Vector(target) - Vector(location))
    if focus is not None:
        cam.dof.use_dof = True
        cam.dof.focus_distance = focus
        cam.dof.aperture_fstop = fstop or 4.0
    bpy.context.scene.camera = obj
    return obj


def film(exposure=0.0, look="Medium High Contrast", gamma=1.0):
    settings = bpy.context.scene.view_settings
    settings.view_transform = "Filmic"
    settings.look = look
    settings.exposure = exposure
    settings.gamma = gamma


def bloom(threshold=1.0, size=8, mix=-0.6):
    """A soft glow around what is brighter than `threshold`, as a lens gives around the sun."""
    scene = bpy.context.scene
    scene.use_nodes = True
    tree = scene.node_tree
    layers = tree.nodes["Render Layers"]
    glare = node(tree, "CompositorNodeGlare", glare_type="FOG_GLOW", quality="HIGH", threshold=threshold, size=size,
                 mix=mix)
    link(tree, layers.outputs["Image"], glare.inputs["Image"])
    link(tree, glare.outputs["Image"], tree.nodes["Composite"].inputs["Image"])


# --- sky, sun, haze, clouds ------------------------------------------------------------------------


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
    import os
    import tempfile
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


def cloud_layer(name, centre, size, density=0.02, coverage=0.5, scale=1.0, stretch=(1.0, 1.0, 1.0), seed=0.0,
                anisotropy=0.5, softness=0.15, detail=5.0):
    """Clouds: a box of scattering volume whose density a noise gives, thinning to nothing at its bottom
    and top. `coverage` is the share of the sky they cover, `scale` the size of a cloud in metres."""

    def build(tree):
        p = coordinates(tree, "Object")
        mapped = node(tree, "ShaderNodeMapping", {"Vector": p, "Scale": (size[0] / (scale * stretch[0]),
                                                                           size[1] / (scale * stretch[1]),
                                                                           size[2] / (scale * stretch[2])),
                                                  "Location": (seed, seed * 0.37, 0.0)}).outputs[0]
        n = node(tree, "ShaderNodeTexNoise", {"Vector": mapped, "Scale": 1.0, "Detail": detail, "Roughness": 0.55,
                                              "Distortion": 0.3}, noise_dimensions="3D").outputs["Fac"]
        z = node(tree, "ShaderNodeSeparateXYZ", {0: p}).outputs["Z"]
        # z runs -1..1 in the box: flat bottoms a little above its floor, rounded tops thinning out
        profile = math_node(tree, "MULTIPLY", map_range(tree, z, -1.0, -0.7), map_range(tree, z, 1.0, -0.3))
        # the noise's values gather around 0.5: a threshold there covers about half the sky
        threshold = 0.62 - 0.24 * coverage
        carved = math_node(tree, "SUBTRACT", n, math_node(tree, "MULTIPLY", math_node(tree, "SUBTRACT", 1.0, profile),
                                                                  0.3))
        d = math_node(tree, "MULTIPLY", map_range(tree, carved, threshold, threshold + softness), density)
        return node(tree, "ShaderNodeVolumePrincipled", {"Density": d, "Color": (1.0, 1.0, 1.0, 1.0),
                                                          "Anisotropy": anisotropy}).outputs[0]

    return box(name, centre, size, material(name, build, volume=True))


# --- plants and scattering -------------------------------------------------------------------------


def conifer(name, height=1.0, layers=9, mat=None, seed=0):
    """A spruce of `height`, its base at the origin: a thin trunk and whorls of drooping branches, each
    whorl a ragged cone, narrowing to the tip."""
    import random
    rng = random.Random(seed)
    verts, faces = [], []
    sides = 11
    for i in range(layers):
        t = i / layers
        bottom = height * (0.12 + 0.8 * t)
        top = bottom + height * (0.26 - 0.1 * t)
        radius = height * 0.24 * (1.0 - t) ** 0.95 + height * 0.02
        ring = len(verts)
        for k in range(sides):
            a = 2 * math.pi * (k + rng.random() * 0.5) / sides
            r = radius * (0.65 + 0.45 * rng.random())
            verts.append((r * math.cos(a), r * math.sin(a), bottom - r * 0.25 * rng.random()))
        verts.append((0.0, 0.0, top))
        tip = len(verts) - 1
        faces += [(ring + k, ring + (k + 1) % sides, tip) for k in range(sides)]
    verts += [(0.015 * height, 0, 0), (-0.015 * height, 0.01 * height, 0), (0, -0.015 * height, 0),
              (0, 0, height * 0.3)]
    base = len(verts) - 4
    faces += [(base, base + 1, base + 3), (base + 1, base + 2, base + 3), (base + 2, base, base + 3)]
    obj = mesh_object(name, verts, faces, smooth=False)
    if mat is not None:
        assign(obj, mat)
    return obj


def scatter(name, templates, points, scales, angles, choice=None):
    """Instances of `templates` (objects, hidden themselves) at `points` (n x 3), each scaled (by a
    number, or by n x 3 numbers) and turned about its vertical; `choice` picks the template of each.
    Geometry nodes make them, so thousands cost little."""
    import numpy as np
    n = len(points)
    mesh = bpy.data.meshes.new(name)
    mesh.vertices.add(n)
    mesh.vertices.foreach_set("co", np.asarray(points, dtype=np.float32).reshape(-1))
    scales = np.asarray(scales, dtype=np.float32)
    if scales.ndim == 1:
        scales = np.repeat(scales[:, None], 3, axis=1)
    mesh.attributes.new("scale", "FLOAT_VECTOR", "POINT").data.foreach_set("vector", scales.reshape(-1))
    for attribute, values in (("angle", angles), ("variant", choice if choice is not None else np.zeros(n))):
        a = mesh.attributes.new(attribute, "FLOAT", "POINT")
        a.data.foreach_set("value", np.asarray(values, dtype=np.float32))
    holder = add_object(name, mesh)
    collection = bpy.data.collections.new(name + " templates")
    bpy.context.scene.collection.children.link(collection)
    for template in templates:
        for c in template.users_collection:
            c.objects.unlink(template)
        collection.objects.link(template)
        template.location = (0.0, 0.0, 0.0)
    collection.hide_render = True
    tree = bpy.data.node_groups.new(name, "GeometryNodeTree")
    tree.inputs.new("NodeSocketGeometry", "Geometry")
    tree.outputs.new("NodeSocketGeometry", "Geometry")
    group_in = node(tree, "NodeGroupInput")
    group_out = node(tree, "NodeGroupOutput")

    def named(attribute, kind="FLOAT"):
        n = node(tree, "GeometryNodeInputNamedAttribute", {"Name": attribute}, data_type=kind)
        return next(socket for socket in n.outputs if socket.enabled)

    points_node = node(tree, "GeometryNodeMeshToPoints", {"Mesh": group_in.outputs[0]})
    templates_node = node(tree, "GeometryNodeCollectionInfo", {"Collection": collection, "Separate Children": True,
                                                               "Reset Children": True})
    rotation = node(tree, "ShaderNodeCombineXYZ", {2: named("angle")}).outputs[0]
    place = node(tree, "GeometryNodeInstanceOnPoints",
                 {"Points": points_node.outputs[0], "Instance": templates_node.outputs[0], "Pick Instance": True,
                  "Instance Index": named("variant"), "Rotation": rotation,
                  "Scale": named("scale", "FLOAT_VECTOR")})
    link(tree, place.outputs[0], group_out.inputs[0])
    modifier = holder.modifiers.new(name, "NODES")
    modifier.node_group = tree
    return holder
