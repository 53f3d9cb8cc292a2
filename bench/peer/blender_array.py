"""Blender's side of the peer comparison, run headless inside Blender:
    blender -b --factory-startup --python-exit-code 1 -P blender_array.py -- MESH.obj COPIES CHANGES

The mesh gets an Array modifier of COPIES copies in all, each turned, scaled and moved from the
last by an empty (the same step our side applies). Each change moves the empty a little, as typing
a value would, and the depsgraph evaluates the object again: that evaluation is Blender's live
preview. Prints one line of figures like our side's peer_engine: lowest, median and highest
of the changes, in ns per output vertex, wall-clock and process CPU time (the sum over threads).
"""
import math
import os
import resource
import sys
import time

import bpy

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import blender_step  # noqa: E402
import uv_sphere  # noqa: E402

path, copies, changes = sys.argv[sys.argv.index("--") + 1:][:3]
copies, changes = int(copies), int(changes)

bpy.ops.wm.read_factory_settings(use_empty=True)
scene = bpy.context.scene
vertices, faces = uv_sphere.read_obj(path)
mesh = bpy.data.meshes.new("sphere")
mesh.from_pydata(vertices, [], faces)
mesh.update()
obj = bpy.data.objects.new("sphere", mesh)
scene.collection.objects.link(obj)
step, _ = blender_step.add_stepped_array(obj, copies, (0.0, math.radians(3.6), math.radians(1.0)),
                                         location=(0.0, 0.5, 0.0), scale=(1.001, 1.0, 1.0))

depsgraph = bpy.context.evaluated_depsgraph_get()
depsgraph.update()  # the first evaluation: fresh memory, not the steady state
out = len(vertices) * copies
seconds, cpu_seconds = [], []
for i in range(changes):
    step.location.x = 0.001 if i % 2 == 0 else 0.0
    start, cpu_start = time.perf_counter(), time.process_time()
    depsgraph.update()
    evaluated = obj.evaluated_get(depsgraph).data
    cpu_seconds.append(time.process_time() - cpu_start)
    seconds.append(time.perf_counter() - start)
    if len(evaluated.vertices) != out:
        sys.exit("the array gave %d vertices, not %d" % (len(evaluated.vertices), out))



def figures(values):
    values = sorted(values)
    return "%.2f,%.2f,%.2f" % (values[0] * 1e9 / out, values[len(values) // 2] * 1e9 / out,
                               values[-1] * 1e9 / out)


peak = resource.getrusage(resource.RUSAGE_SELF).ru_maxrss / 1024.0
print("out_vertices=%d wall_ns_per_vertex=%s cpu_ns_per_vertex=%s peak_rss_mib=%.0f"
      % (out, figures(seconds), figures(cpu_seconds), peak))
