"""Blender's side of the end-to-end comparison, run headless inside Blender:
    blender -b --factory-startup --python-exit-code 1 -P blender_end_to_end.py -- IN.obj COPIES OUT.obj

The job a user of quorvel-clone runs, done in Blender: import the OBJ, an Array modifier of COPIES
copies in all, each turned 30 degrees about Y from the last (an empty at the origin as the offset
object), applied, and the result exported as OBJ with its texture coordinates and without
normals. Prints the seconds of each phase on one line.
"""
import math
import os
import sys
import time

import bpy

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import blender_step  # noqa: E402

source, copies, target = sys.argv[sys.argv.index("--") + 1:][:3]
copies = int(copies)

bpy.ops.wm.read_factory_settings(use_empty=True)
start = time.perf_counter()
bpy.ops.wm.obj_import(filepath=source)
imported = time.perf_counter()
obj = bpy.context.selected_objects[0]
bpy.context.view_layer.objects.active = obj
_, array = blender_step.add_stepped_array(obj, copies, (0.0, math.radians(30.0), 0.0))
bpy.ops.object.modifier_apply(modifier=array.name)
applied = time.perf_counter()
bpy.ops.wm.obj_export(filepath=target, export_selected_objects=True, export_normals=False,
                      export_materials=False, export_uv=True)
exported = time.perf_counter()
print("peer_times import=%.2f array=%.2f export=%.2f vertices=%d"
      % (imported - start, applied - imported, exported - applied, len(obj.data.vertices)))
