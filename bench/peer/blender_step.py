"""The Array modifier both Blender runs give the mesh: COPIES copies in all, each placed from the
last by an empty (the offset object) turned, scaled and moved as our step is, and no vertices
merged, so that Blender makes what our side makes."""
import bpy


def add_stepped_array(obj, copies, rotation, location=(0.0, 0.0, 0.0), scale=(1.0, 1.0, 1.0)):
    """Returns the empty and the modifier; rotation is in radians, as Blender keeps it."""
    step = bpy.data.objects.new("step", None)
    bpy.context.scene.collection.objects.link(step)
    step.location = location
    step.rotation_euler = rotation
    step.scale = scale
    array = obj.modifiers.new("array", "ARRAY")
    array.count = copies
    array.use_relative_offset = False
    array.use_object_offset = True
    array.offset_object = step
    array.use_merge_vertices = False
    return step, array
