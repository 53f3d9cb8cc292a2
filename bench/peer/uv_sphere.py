"""UV spheres as Wavefront OBJ, shared by both sides of the peer comparison.

A sphere of S segments and R rings has S * (R - 1) + 2 vertices: quads between the rings,
triangles around the two poles, the layout modellers give their UV-sphere primitive.
"""
import math


def sphere(segments, rings, radius=1.0):
    vertices = [(0.0, 0.0, radius)]
    for ring in range(1, rings):
        theta = math.pi * ring / rings
        z, r = radius * math.cos(theta), radius * math.sin(theta)
        for s in range(segments):
            phi = 2.0 * math.pi * s / segments
            vertices.append((r * math.cos(phi), r * math.sin(phi), z))
    vertices.append((0.0, 0.0, -radius))
    south = len(vertices) - 1

    def at(ring, s):  # 0-based index of segment s on ring 1..rings-1
        return 1 + (ring - 1) * segments + s % segments

    faces = [(0, at(1, s), at(1, s + 1)) for s in range(segments)]
    for ring in range(1, rings - 1):
        for s in range(segments):
            faces.append((at(ring, s), at(ring + 1, s), at(ring + 1, s + 1), at(ring, s + 1)))
    faces += [(at(rings - 1, s + 1), at(rings - 1, s), south) for s in range(segments)]
    return vertices, faces


def write_obj(path, vertices, faces, uvs=False):
    """With uvs, every vertex gets the texture coordinate of its longitude and latitude, and
    every face corner names its vertex's (f v/vt)."""
    with open(path, "w") as out:
        out.writelines("v %.6f %.6f %.6f\n" % v for v in vertices)
        if uvs:
            out.writelines("vt %.6f %.6f\n" % (math.atan2(y, x) / (2 * math.pi) + 0.5,
                                               math.acos(max(-1.0, min(1.0, z))) / math.pi)
                           for x, y, z in vertices)
            out.writelines("f " + " ".join("%d/%d" % (i + 1, i + 1) for i in f) + "\n"
                           for f in faces)
        else:
            out.writelines("f " + " ".join(str(i + 1) for i in f) + "\n" for f in faces)


def read_obj(path):
    vertices, faces = [], []
    with open(path) as source:
        for line in source:
            if line.startswith("v "):
                vertices.append(tuple(float(x) for x in line.split()[1:4]))
            elif line.startswith("f "):
                faces.append(tuple(int(x.split("/")[0]) - 1 for x in line.split()[1:]))
    return vertices, faces


# Segments and rings for the vertex counts the comparison uses.
SIZES = {9998: (98, 103), 100002: (400, 251), 1000002: (1000, 1001)}

if __name__ == "__main__":
    import sys

    # uv_sphere.py VERTICES PATH [--uvs]
    count, path = int(sys.argv[1]), sys.argv[2]
    v, f = sphere(*SIZES[count])
    assert len(v) == count
    write_obj(path, v, f, uvs="--uvs" in sys.argv[3:])
