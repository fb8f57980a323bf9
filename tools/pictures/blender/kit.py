"""Helpers the slide scenes share: nodes and materials, objects and rocks, plants scattered by the thousand,
camera and film. The sky and the haze are in air.py, the ground and the sea in terrain.py."""
import math
import random

import bmesh
import bpy
import numpy as np
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


def weathered_granite(tree, light=(0.36, 0.31, 0.28), dark=(0.19, 0.17, 0.16), grain=45.0, lichen=0.5,
                      lichen_colour=(0.42, 0.3, 0.09), wet_below=None, wet_band=0.3, foot_band=0.0,
                      wet_tone=(0.45, 0.43, 0.4)):
    """Weathered granite for joint_boulder's stones: crystals of feldspar, quartz and mica `grain` to the
    metre in a broad mottle from `light` to `dark`, edges worn paler where the surface bulges, crusts of
    lichen on the tops, rain streaks. Darker and glossy below `wet_below` metres (world height, the reach
    of the sea) fading over `wet_band`, the colour multiplied by `wet_tone` there, and, with `foot_band`,
    that far up from the object's "foot" (its custom property: the height of the sand it sits in), damp and
    dusted with sand. Returns the shader."""
    p = coordinates(tree, "Object")
    geometry = node(tree, "ShaderNodeNewGeometry")
    # each stone its own shade
    tone = map_range(tree, noise(tree, p, 0.35, 3.0), 0.3, 0.7)
    blotches = map_range(tree, noise(tree, p, 2.2, 4.0, 0.6), 0.35, 0.65, -0.25, 0.25)
    tone = math_node(tree, "ADD", tone, blotches)
    tone = math_node(tree, "ADD", math_node(tree, "MULTIPLY", tone, 0.7),
                     math_node(tree, "MULTIPLY", node(tree, "ShaderNodeObjectInfo").outputs["Random"], 0.3))
    colour = mix_colour(tree, tone, (*light, 1.0), (*dark, 1.0))
    crystals = node(tree, "ShaderNodeTexVoronoi", {"Vector": p, "Scale": grain, "Randomness": 1.0})
    which = node(tree, "ShaderNodeSeparateXYZ", {0: crystals.outputs["Color"]}).outputs[0]
    # most crystals feldspar near the stone's shade, some glassy grey quartz, a few flakes of black mica
    mineral = ramp(tree, which, [(0.0, (0.75, 0.72, 0.7)), (0.25, (1.0, 1.0, 1.0)), (0.62, (1.12, 1.06, 1.0)),
                                 (0.8, (0.8, 0.82, 0.84)), (0.92, (0.3, 0.29, 0.28))])
    mineral.node.color_ramp.interpolation = "CONSTANT"
    colour = mix_colour(tree, 1.0, colour, mineral, "MULTIPLY")
    # rain runs down the sides and leaves grey streaks
    streaks = node(tree, "ShaderNodeMapping", {"Vector": p, "Scale": (3.0, 3.0, 0.3)}).outputs[0]
    runs = noise(tree, streaks, 1.5, 4.0, 0.6)
    colour = mix_colour(tree, map_range(tree, runs, 0.5, 0.75, 0.0, 0.35), colour, (0.09, 0.085, 0.08, 1.0))
    # edges and bulges worn paler, hollows darker with grime
    pointy = geometry.outputs["Pointiness"]
    colour = mix_colour(tree, map_range(tree, pointy, 0.5, 0.56, 0.0, 0.6), colour,
                        mix_colour(tree, 1.0, colour, (1.5, 1.45, 1.4, 1.0), "MULTIPLY"))
    colour = mix_colour(tree, map_range(tree, pointy, 0.48, 0.42, 0.0, 0.5), colour,
                        mix_colour(tree, 1.0, colour, (0.5, 0.48, 0.45, 1.0), "MULTIPLY"))
    # lichen: round crusts on the faces that look up, some grown together
    up = node(tree, "ShaderNodeSeparateXYZ", {0: geometry.outputs["Normal"]}).outputs["Z"]
    crust = noise(tree, p, 3.0, 5.0, 0.6, 0.4)
    patches = math_node(tree, "MULTIPLY", map_range(tree, up, 0.0, 0.6),
                        map_range(tree, crust, 0.53, 0.56, 0.0, lichen))
    pale = map_range(tree, noise(tree, p, 1.1, 2.0), 0.45, 0.55)
    crust_colour = mix_colour(tree, pale, (*lichen_colour, 1.0), (0.52, 0.53, 0.48, 1.0))
    colour = mix_colour(tree, patches, colour, crust_colour)
    wet = None
    height = node(tree, "ShaderNodeSeparateXYZ", {0: geometry.outputs["Position"]}).outputs["Z"]
    if wet_below is not None:
        wet = map_range(tree, height, wet_below, wet_below - wet_band)
    if foot_band > 0.0:
        foot = node(tree, "ShaderNodeAttribute", attribute_name="foot", attribute_type="OBJECT").outputs["Fac"]
        above = math_node(tree, "SUBTRACT", height, foot)
        ragged = math_node(tree, "ADD", above, math_node(tree, "MULTIPLY", noise(tree, p, 3.0, 3.0), foot_band * 0.6))
        damp = map_range(tree, ragged, foot_band * 1.1, foot_band * 0.3, 0.0, 0.9)
        wet = damp if wet is None else math_node(tree, "MAXIMUM", wet, damp)
        # sand thrown up on the stone's foot
        dusted = math_node(tree, "MULTIPLY", map_range(tree, ragged, foot_band * 0.5, 0.0),
                           map_range(tree, noise(tree, p, 25.0, 2.0), 0.45, 0.55))
        colour = mix_colour(tree, dusted, colour, (0.42, 0.36, 0.28, 1.0))
    roughness = 0.75
    if wet is not None:
        colour = mix_colour(tree, wet, colour, mix_colour(tree, 1.0, colour, (*wet_tone, 1.0), "MULTIPLY"))
        roughness = math_node(tree, "SUBTRACT", 0.75, math_node(tree, "MULTIPLY", wet, 0.45))
    relief = math_node(tree, "ADD", math_node(tree, "MULTIPLY", crystals.outputs["Distance"], 0.6),
                       noise(tree, p, 8.0, 4.0, 0.6))
    relief = math_node(tree, "ADD", relief, math_node(tree, "MULTIPLY", patches, 0.4))
    normal = bump(tree, relief, 0.25, 0.02)
    return principled(tree, colour, roughness, normal=normal)


_rock_textures = {}


def _block(bm, cuts):
    bmesh.ops.create_cube(bm, size=2.0)
    bmesh.ops.subdivide_edges(bm, edges=bm.edges, cuts=cuts, use_grid_fill=True)


def rock(name, location, size, seed=0, lumpiness=0.35, crags=0.25, grit=0.04, subdivisions=5, mat=None,
         rotation=(0, 0, 0), block=False):
    """A boulder: a sphere (or with `block`, a box) of radii `size` pushed in and out by procedural
    textures, broad lumps, flat faces broken at sharp edges, and grit, so no two seeds look alike."""
    if block:
        mesh = _shared_mesh(("block", subdivisions), lambda bm: _block(bm, 2 ** subdivisions), True)
    else:
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


def fractured(name, size, cuts=24, seed=0, upright=0.5, depth=(0.55, 0.9), location=(0.0, 0.0, 0.0),
              rotation=(0.0, 0.0, 0.0), mat=None, subdivisions=3, crease=35.0):
    """A solid broken out of an ellipsoid of radii `size` by `cuts` flat fractures: each plane cuts off
    a cap, `depth` (of the way from the middle to the surface) deep. A share `upright` of the planes
    stand vertical, so cliffs and calving faces; the rest lie at any angle. Sharp where two faces meet
    at more than `crease` degrees, smooth where what is left of the ellipsoid rounds them off."""
    rng = random.Random(seed)
    bm = bmesh.new()
    bmesh.ops.create_icosphere(bm, subdivisions=subdivisions, radius=1.0)
    for v in bm.verts:
        v.co = Vector((v.co.x * size[0], v.co.y * size[1], v.co.z * size[2]))
    for _ in range(cuts):
        if rng.random() < upright:
            a = rng.uniform(0.0, 2.0 * math.pi)
            normal = Vector((math.cos(a), math.sin(a), rng.uniform(-0.15, 0.15))).normalized()
        else:
            normal = Vector((rng.gauss(0, 1), rng.gauss(0, 1), rng.gauss(0, 1))).normalized()
        reach = max(v.co.dot(normal) for v in bm.verts)
        cut = bmesh.ops.bisect_plane(bm, geom=bm.verts[:] + bm.edges[:] + bm.faces[:],
                                     plane_co=normal * (reach * rng.uniform(*depth)), plane_no=normal,
                                     clear_outer=True)
        edges = [e for e in cut["geom_cut"] if isinstance(e, bmesh.types.BMEdge)]
        if edges:
            bmesh.ops.holes_fill(bm, edges=edges, sides=0)
    bmesh.ops.recalc_face_normals(bm, faces=bm.faces)
    bmesh.ops.triangulate(bm, faces=bm.faces)
    mesh = bpy.data.meshes.new(name)
    bm.to_mesh(mesh)
    bm.free()
    mesh.use_auto_smooth = True
    mesh.auto_smooth_angle = math.radians(crease)
    return add_object(name, _smooth(mesh), location, rotation, mat)


def worn_stone(name, size, seed=0, location=(0.0, 0.0, 0.0), rotation=(0.0, 0.0, 0.0), mat=None):
    """A stone split along its joints and then worn round by water and weather: a fractured block of
    radii `size`, its edges bevelled and smoothed, its faces dented."""
    r = min(size)
    obj = fractured(name, size, 9, seed, upright=0.4, depth=(0.5, 0.85), location=location, rotation=rotation,
                    mat=mat, subdivisions=2, crease=60.0)
    bevel = obj.modifiers.new("worn", "BEVEL")
    bevel.width = r * 0.4
    bevel.segments = 3
    bevel.limit_method = "ANGLE"
    bevel.angle_limit = 0.5
    smooth = obj.modifiers.new("round", "SUBSURF")
    smooth.levels = 2
    smooth.render_levels = 3
    dent(obj, name + " dents", 0.5, 0.1 * r)
    obj.data.use_auto_smooth = False
    return obj


def dent(obj, name, scale, strength):
    """Dents `obj` by up to `strength` with cloud noise `scale` across, in its own coordinates."""
    texture = bpy.data.textures.new(name, "CLOUDS")
    texture.noise_scale = scale
    texture.noise_depth = 3
    dents = obj.modifiers.new("dents", "DISPLACE")
    dents.texture = texture
    dents.texture_coords = "LOCAL"
    dents.strength = strength
    return dents


def joint_boulder(name, size, seed=0, wear=0.5, location=(0.0, 0.0, 0.0), rotation=(0.0, 0.0, 0.0), mat=None,
                  voxel=None):
    """A boulder of granite or gneiss the way joints and weather leave it: one to three blocks broken out of
    ellipsoids about `size` (radii, metres) along flat fractures, fused into one surface, sometimes split
    through by an open crack; the edges rounded by `wear` (0 fresh and sharp, 1 well worn), the faces
    gently warped and pitted. The size is in the mesh itself, so its own coordinates are metres."""
    rng = random.Random(seed)
    r = min(size)
    bm = bmesh.new()
    pieces = 1 + (rng.random() < 0.55) + (rng.random() < 0.25)
    for k in range(pieces):
        # a smaller block leaning on the first, as joints cut a corestone into a few
        scale = 1.0 if k == 0 else rng.uniform(0.45, 0.75)
        part = [c * scale * rng.uniform(0.85, 1.1) for c in size]
        block = fractured(name + " block", part, rng.randint(8, 13), seed * 7 + k, upright=0.35,
                          depth=(0.45, 0.88), subdivisions=3)
        a = rng.uniform(0.0, 2.0 * math.pi)
        offset = Vector((math.cos(a) * size[0], math.sin(a) * size[1], -0.2 * size[2])) * (0.0 if k == 0 else 0.7)
        turn = rng.uniform(0.0, 2.0 * math.pi)
        c, s = math.cos(turn), math.sin(turn)
        first = len(bm.verts)
        bm.from_mesh(block.data)
        bm.verts.ensure_lookup_table()
        for v in bm.verts[first:]:
            x, y = v.co.x, v.co.y
            v.co = Vector((c * x - s * y, s * x + c * y, v.co.z)) + offset
        mesh = block.data
        bpy.data.objects.remove(block)
        bpy.data.meshes.remove(mesh)
    if rng.random() < 0.35:
        # an open crack right through: the two halves drawn a few centimetres apart
        a = rng.uniform(0.0, 2.0 * math.pi)
        normal = Vector((math.cos(a), math.sin(a), rng.uniform(-0.4, 0.4))).normalized()
        where = normal * rng.uniform(-0.3, 0.3) * r
        halves = []
        for keep_outer in (False, True):
            half = bm.copy()
            cut = bmesh.ops.bisect_plane(half, geom=half.verts[:] + half.edges[:] + half.faces[:], plane_co=where,
                                         plane_no=normal, clear_outer=not keep_outer, clear_inner=keep_outer)
            edges = [e for e in cut["geom_cut"] if isinstance(e, bmesh.types.BMEdge)]
            if edges:
                bmesh.ops.holes_fill(half, edges=edges, sides=0)
            gap = normal * (r * rng.uniform(0.03, 0.06) * (1 if keep_outer else -1))
            for v in half.verts:
                v.co += gap
            halves.append(half)
        bm.free()
        bm = halves[0]
        joined = bpy.data.meshes.new(name + " half")
        halves[1].to_mesh(joined)
        halves[1].free()
        bm.from_mesh(joined)
        bpy.data.meshes.remove(joined)
    bmesh.ops.recalc_face_normals(bm, faces=bm.faces)
    mesh = bpy.data.meshes.new(name)
    bm.to_mesh(mesh)
    bm.free()
    obj = add_object(name, mesh, location, rotation, mat)
    # a voxel remesh fuses the blocks and spreads the vertices evenly for the displacements
    step = voxel or r / scaled(40, 12)
    remesh = obj.modifiers.new("fuse", "REMESH")
    remesh.mode = "VOXEL"
    remesh.voxel_size = step
    remesh.use_smooth_shade = True
    # weathering rounds the edges; smoothing n times rounds them over about sqrt(n) voxels
    worn = obj.modifiers.new("worn", "SMOOTH")
    worn.factor = 0.5
    worn.iterations = int((wear * 0.32 * r / step) ** 2) + 2
    mover = bpy.data.objects.new(name + " noise offset", None)
    bpy.context.scene.collection.objects.link(mover)
    mover.parent = obj
    mover.location = (seed * 3.7 + 11.0, seed * 1.3 - 5.0, seed * 2.1)
    for label, scale, strength, depth in (("warp", 0.9 * r, 0.07 * r, 2), ("pits", 0.06 * r, 0.012 * r, 3)):
        texture = bpy.data.textures.new("%s %s" % (name, label), "CLOUDS")
        texture.noise_scale = scale
        texture.noise_depth = depth
        displace = obj.modifiers.new(label, "DISPLACE")
        displace.texture = texture
        displace.strength = strength
        displace.texture_coords = "OBJECT"
        displace.texture_coords_object = mover
    return obj


def direction(elevation, azimuth):
    """A unit vector `elevation` degrees above the horizon, `azimuth` degrees from +y towards +x."""
    e, a = math.radians(elevation), math.radians(azimuth)
    return Vector((math.sin(a) * math.cos(e), math.cos(a) * math.cos(e), math.sin(e)))


def point_along(obj, towards):
    """Turns a light or camera so that it looks along `towards`."""
    obj.rotation_euler = Vector(towards).to_track_quat("-Z", "Y").to_euler()


# --- camera and film -------------------------------------------------------------------------------

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


# --- plants and scattering -------------------------------------------------------------------------


def conifer(name, height=1.0, layers=9, mat=None, seed=0):
    """A spruce of `height`, its base at the origin: a thin trunk and whorls of drooping branches, each
    whorl a ragged cone, narrowing to the tip."""
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
    foot = [(0.015 * height, 0, 0), (-0.015 * height, 0.01 * height, 0), (0, -0.015 * height, 0)]
    return _tree_object(name, verts, faces, foot, height * 0.3, False, mat)


def _tree_object(name, verts, faces, foot, trunk_top, smooth, mat):
    """A tree's crown with its trunk added, a three-sided spike from the `foot` points up the axis."""
    base = len(verts)
    verts += foot + [(0.0, 0.0, trunk_top)]
    faces += [(base, base + 1, base + 3), (base + 1, base + 2, base + 3), (base + 2, base, base + 3)]
    obj = mesh_object(name, verts, faces, smooth=smooth)
    if mat is not None:
        assign(obj, mat)
    return obj


def spruce(name, height=1.0, whorls=18, branches=9, mat=None, seed=0):
    """A spruce of `height`, its base at the origin, smooth-shaded: whorls of drooping branches, each a
    star of ragged tips round the trunk with a hollow underside, narrowing to a spire at the top."""
    rng = random.Random(seed)
    verts, faces = [], []
    for i in range(whorls):
        t = i / whorls
        bottom = height * (0.1 + 0.82 * t)
        top = bottom + height * (0.16 - 0.08 * t)
        radius = height * 0.27 * (1.0 - t) ** 1.05 * (0.85 + 0.3 * rng.random()) + height * 0.015
        turn = rng.random() * 2.0 * math.pi
        ring = len(verts)
        sides = 2 * branches
        for k in range(sides):
            a = turn + 2.0 * math.pi * (k + 0.25 * (rng.random() - 0.5)) / sides
            if k % 2 == 0:  # a branch tip, hanging lower the longer it is
                r = radius * (0.75 + 0.4 * rng.random())
                z = bottom - r * (0.2 + 0.25 * rng.random())
            else:  # between two branches
                r = radius * (0.35 + 0.2 * rng.random())
                z = bottom + (top - bottom) * 0.25
            verts.append((r * math.cos(a), r * math.sin(a), z))
        verts.append((0.0, 0.0, top))
        verts.append((0.0, 0.0, bottom + (top - bottom) * 0.1))
        tip, under = len(verts) - 2, len(verts) - 1
        faces += [(ring + k, ring + (k + 1) % sides, tip) for k in range(sides)]
        faces += [(ring + (k + 1) % sides, ring + k, under) for k in range(sides)]
    foot = [(height * 0.02 * math.cos(a), height * 0.02 * math.sin(a), 0.0) for a in (0.0, 2.1, 4.2)]
    return _tree_object(name, verts, faces, foot, height * 0.4, True, mat)


def fir(name, height=1.0, whorls=34, branches=9, mat=None, seed=0):
    """A spruce of `height` to be seen near, its base at the origin: tiers of separate branches round a
    dense dark core, each a broad ragged frond of needles that sags from the trunk and lifts at its tip,
    long low down and short towards the spire, some missing and some longer, so the outline is open and
    uneven, not a cone."""
    rng = random.Random(seed)
    verts, faces = [], []
    segments = 5
    for i in range(whorls):
        t = (i + 0.6 * rng.random()) / whorls
        low = height * (0.08 + 0.86 * t)
        reach = height * (0.27 * (1.0 - t) ** 0.9 + 0.02)
        sag = 0.4 * (1.0 - t) + 0.05
        rise = 0.3 * t + 0.1
        count = max(4, branches - int(round(branches * 0.4 * t)))
        turn = rng.random() * 2.0 * math.pi
        for k in range(count):
            if rng.random() < 0.12:  # a branch broken off or never grown
                continue
            a = turn + 2.0 * math.pi * (k + 0.4 * (rng.random() - 0.5)) / count
            length = reach * (0.6 + 0.6 * rng.random())
            width = length * (0.75 + 0.3 * rng.random())
            out, side = (math.cos(a), math.sin(a)), (-math.sin(a), math.cos(a))
            base = len(verts)
            for j in range(segments + 1):
                s = j / segments
                r = height * 0.01 + length * s
                z = low + length * (rise * s - sag * s * s + max(0.0, s - 0.7) ** 2)
                half = width * 0.5 * ((1.0 - s) ** 0.6 * (0.5 + 0.5 * math.sqrt(s)) + 0.05) * (0.7 + 0.6 * rng.random())
                cx, cy = r * out[0], r * out[1]
                # the needles hang either side of the twig: a ridge along it, the edges hanging below
                verts += [(cx - half * side[0], cy - half * side[1], z - half * 0.5),
                          (cx, cy, z + half * 0.2),
                          (cx + half * side[0], cy + half * side[1], z - half * 0.5)]
            for j in range(segments):
                p = base + 3 * j
                faces += [(p, p + 1, p + 4, p + 3), (p + 1, p + 2, p + 5, p + 4)]
    # the dense shaded inside of the crown, which the branches' gaps show
    sides, rings = 10, 12
    base = len(verts)
    for i in range(rings):
        t = i / (rings - 1)
        r = height * 0.11 * (1.0 - t) ** 1.1 * (0.85 + 0.3 * rng.random()) + 0.002 * height
        verts += [(r * math.cos(2 * math.pi * k / sides), r * math.sin(2 * math.pi * k / sides),
                   height * (0.1 + 0.86 * t)) for k in range(sides)]
    for i in range(rings - 1):
        for k in range(sides):
            p, q = base + i * sides, base + (i + 1) * sides
            faces.append((p + k, p + (k + 1) % sides, q + (k + 1) % sides, q + k))
    foot = [(height * 0.018 * math.cos(a), height * 0.018 * math.sin(a), 0.0) for a in (0.0, 2.1, 4.2)]
    return _tree_object(name, verts, faces, foot, height, True, mat)


def scatter(name, templates, points, scales, angles, choice=None, tilts=None):
    """Instances of `templates` (objects, hidden themselves) at `points` (n x 3), each scaled (by a
    number, or by n x 3 numbers) and turned about its vertical; `choice` picks the template of each, and
    `tilts` (n x 2 radians about x and y, before the turn) tip each one. Geometry nodes make them, so
    thousands cost little."""
    n = len(points)
    mesh = bpy.data.meshes.new(name)
    mesh.vertices.add(n)
    mesh.vertices.foreach_set("co", np.asarray(points, dtype=np.float32).reshape(-1))
    scales = np.asarray(scales, dtype=np.float32)
    if scales.ndim == 1:
        scales = np.repeat(scales[:, None], 3, axis=1)
    mesh.attributes.new("scale", "FLOAT_VECTOR", "POINT").data.foreach_set("vector", scales.reshape(-1))
    tilts = np.zeros((n, 2)) if tilts is None else np.asarray(tilts)
    for attribute, values in (("angle", angles), ("variant", choice if choice is not None else np.zeros(n)),
                              ("tilt x", tilts[:, 0]), ("tilt y", tilts[:, 1])):
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
    rotation = node(tree, "ShaderNodeCombineXYZ",
                    {0: named("tilt x"), 1: named("tilt y"), 2: named("angle")}).outputs[0]
    place = node(tree, "GeometryNodeInstanceOnPoints",
                 {"Points": points_node.outputs[0], "Instance": templates_node.outputs[0], "Pick Instance": True,
                  "Instance Index": named("variant"), "Rotation": rotation,
                  "Scale": named("scale", "FLOAT_VECTOR")})
    link(tree, place.outputs[0], group_out.inputs[0])
    modifier = holder.modifiers.new(name, "NODES")
    modifier.node_group = tree
    return holder


def clean_margins(samples):
    """Renders the rows outside the screen's band (the driver's second, half-size pass) at `samples` rather
    than a sixteenth of the band's: the JPEG is seen whole outside the show, and grain there reads as noise."""
    def raise_samples(scene, *_):
        if scene.render.resolution_percentage == 50 and not scene.render.use_border:
            scene.cycles.samples = max(scene.cycles.samples, samples)
            scene.cycles.adaptive_min_samples = min(scene.cycles.samples, 16)
    bpy.app.handlers.render_pre.append(raise_samples)
