"""The model's sphere map: a chrome ball photographed straight on in a photographer's studio, so that what
the ball shows is what the model reflects all round. Large soft boxes above and to the sides, a neutral grey
floor and dark walls, a few small crisp lamps for sharp highlights; no colour but the lamps' faint warmth
and coolness and a dim cool-to-warm cast on the walls, so the metal reads as chrome and not as bronze."""
import math

import bpy

import kit

SAMPLES = 128
# rendered at twice the size and scaled down: the floor the model's underside reflects must be smooth
OVERSAMPLE = 2
DENOISE = 5.0  # the floor's glossy grain would turn to moire on the model; the highlights are broad enough


def emitter(name, centre, size, strength, colour=(1.0, 1.0, 1.0), facing=(0.0, 0.0, -1.0), round_shape=False,
            lights_room=True):
    """A soft box: a glowing panel the ball shows, and a lamp of the same size and place that lights the
    room. The panel is hidden from diffuse light, the lamp from reflections: the room is lit once,
    by the lamp, which Cycles samples with far less noise than a glowing mesh."""
    glow = kit.material(name, lambda t: kit.node(t, "ShaderNodeEmission", {
        "Color": (*colour, 1.0), "Strength": strength}).outputs[0])
    if round_shape:
        panel = kit.disc(name, centre, size[0] / 2, mat=glow)
    else:
        panel = kit.box(name, centre, (size[0], size[1], 0.001), glow)
    # an emitting mesh glows on both faces: which way it faces only sets the panel's plane
    kit.point_along(panel, facing)
    panel.visible_diffuse = False
    panel.visible_shadow = False
    if not lights_room:
        return panel
    lamp = bpy.data.lights.new(name, "AREA")
    lamp.shape = "DISK" if round_shape else "RECTANGLE"
    lamp.size = size[0]
    lamp.size_y = size[1]
    # an area lamp's power in watts for the radiance of the panel: strength times area times pi
    lamp.energy = strength * size[0] * size[1] * math.pi * (math.pi / 4 if round_shape else 1.0)
    lamp.color = colour
    obj = kit.add_object(name + " lamp", lamp, centre)
    kit.point_along(obj, facing)
    obj.visible_glossy = False
    obj.visible_camera = False
    return panel


def grey(value, roughness):
    return lambda tree: kit.principled(tree, (value, value, value), roughness)


def build():
    world = bpy.data.worlds.new("studio")
    world.use_nodes = True
    world.node_tree.nodes["Background"].inputs["Color"].default_value = (0.004, 0.004, 0.004, 1.0)
    bpy.context.scene.world = world
    # the room: a floor, and walls far enough to read as a dark surround with a soft horizon
    floor = kit.box("floor", (0.0, 0.0, -0.05), (60.0, 60.0, 0.1), kit.material("floor", grey(0.2, 0.8)))
    # dim walls, a little cool one way and warm the other: a photograph's surround is never a flat grey
    walls = kit.material("walls", lambda t: kit.principled(t, kit.ramp(
        t, kit.noise(t, kit.coordinates(t, "Object"), 0.08, 3.0), [(0.3, (0.10, 0.14, 0.22)), (0.7, (0.22, 0.16, 0.10))]),
        0.9))
    for x, y, sx, sy in ((0.0, 30.0, 60.0, 0.2), (0.0, -30.0, 60.0, 0.2), (30.0, 0.0, 0.2, 60.0),
                         (-30.0, 0.0, 0.2, 60.0)):
        kit.box("wall", (x, y, 10.0), (sx, sy, 20.0), walls)
    kit.box("ceiling", (0.0, 0.0, 20.0), (60.0, 60.0, 0.2), walls)
    # soft boxes: a big key above left, a long strip to the right, one overhead, a low fill behind the
    # camera, a rim behind the ball
    emitter("key", (-7.0, -5.0, 10.0), (10.0, 6.0), 8.0, (1.0, 0.95, 0.88), (0.6, 0.45, -0.65))
    emitter("strip", (9.0, 2.0, 5.0), (2.0, 12.0), 7.0, (0.88, 0.93, 1.0), (-1.0, -0.1, -0.1))
    # long low strips round the walls: the bright horizon line chrome shows
    for name, at, size, facing in (("horizon left", (-29.0, 0.0, 2.5), (40.0, 1.2), (1.0, 0.0, 0.0)),
                                    ("horizon right", (29.0, 0.0, 2.5), (40.0, 1.2), (-1.0, 0.0, 0.0)),
                                    ("horizon back", (0.0, 29.0, 2.5), (40.0, 1.2), (0.0, -1.0, 0.0))):
        emitter(name, at, size, 1.6, (0.97, 0.97, 1.0), facing, lights_room=False)
    emitter("top", (0.0, 2.0, 14.0), (14.0, 5.0), 4.0, (1.0, 1.0, 1.0), (0.0, 0.0, -1.0))
    emitter("fill", (0.0, -16.0, 3.0), (14.0, 2.0), 2.5, (1.0, 1.0, 1.0), (0.0, 1.0, -0.1))
    emitter("rim", (3.0, 14.0, 6.0), (6.0, 2.5), 6.0, (1.0, 1.0, 1.0), (-0.2, -1.0, -0.3))
    # small crisp lamps: sharp glints on the metal
    emitter("glint 1", (-4.0, -9.0, 7.0), (0.6, 0.6), 60.0, (1.0, 1.0, 1.0), (0.35, 0.75, -0.55), True)
    emitter("glint 2", (6.0, -8.0, 3.5), (0.35, 0.35), 80.0, (1.0, 1.0, 1.0), (-0.55, 0.8, -0.2), True)
    emitter("glint 3", (-10.0, 6.0, 4.0), (0.5, 0.5), 60.0, (1.0, 1.0, 1.0), (1.0, -0.6, -0.2), True)
    # the ball, and a camera looking straight at it with no perspective, the ball filling the frame
    kit.sphere("ball", (0.0, 0.0, 2.2), 1.0, 256, 128, kit.material("chrome", lambda t: kit.node(t, "ShaderNodeBsdfGlossy", {
        "Color": (0.92, 0.92, 0.92, 1.0), "Roughness": 0.0}, distribution="SHARP").outputs[0]))
    cam = bpy.data.cameras.new("camera")
    cam.type = "ORTHO"
    cam.ortho_scale = 2.0
    cam.clip_end = 200.0
    obj = kit.add_object("camera", cam)
    obj.location = (0.0, -1.5, 2.2)
    kit.point_along(obj, (0.0, 1.0, 0.0))
    bpy.context.scene.camera = obj
    kit.film(exposure=-0.6, look="Medium High Contrast")
