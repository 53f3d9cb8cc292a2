// A polygon mesh as both runners read, write and draw it: what a Wavefront OBJ file holds that a
// modeller's object keeps, in flat arrays.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <iosfwd>
#include <string>
#include <vector>

struct Mesh {
    std::string object_name;
    std::vector<std::array<float, 3>> vertices;
    std::vector<std::array<float, 2>> uvs; // texture coordinates, shared by index as in OBJ
    // Every face's corners, face after face; face f ends at face_ends[f].
    std::vector<int32_t> corners;    // vertex indices
    std::vector<int32_t> corner_uvs; // indices into uvs (-1: none); empty when no corner has one
    std::vector<int32_t> face_ends;
    std::vector<int32_t> face_materials; // indices into materials (-1: none); empty: none at all
    // Names as the file's bytes (UTF-8, or another code page such as Shift-JIS); "" is a name
    // ("usemtl " with nothing after the space), not the absence of a material.
    std::vector<std::string> materials;
    std::vector<int32_t> face_groups; // indices into groups (-1: none); empty: none at all
    std::vector<std::string> groups;
    std::vector<uint32_t> face_smoothing;        // smoothing group (0: off); empty: all off
    std::vector<std::string> material_libraries; // the mtllib files, as the file names them

    size_t face_count() const { return face_ends.size(); }
    int32_t face_begin(size_t face) const { return face == 0 ? 0 : face_ends[face - 1]; }
    // Appends a face; uv_indices may be null.
    void add_face(const std::vector<int32_t>& vertex_indices,
                  const std::vector<int32_t>* uv_indices = nullptr);
};

// Reads a Wavefront OBJ: positions, texture coordinates per face corner, faces (polygons of any
// size up to 255 corners), the material, group and smoothing group of each face, the object's
// name and the material libraries. Normals are left to the viewer; lines and points keep their
// vertices only (each is reported in warnings). The text may be UTF-8 (with or without a
// byte-order mark) or UTF-16 with a byte-order mark; names and comments may also be in a code
// page that keeps ASCII as ASCII (Shift-JIS), and are kept as their bytes. On failure returns
// false with a one-line reason and its line: wrong encoding, a malformed or unknown statement, no
// vertices, an index out of range, a coordinate that is not a finite single-precision number, not
// enough memory.
bool parse_obj_text(const std::string& bytes, Mesh* mesh, std::string* error,
                    std::vector<std::string>* warnings = nullptr);
// As above from bytes where they lie, read in `pieces` at once (0: as many as pay on this
// machine for this size; the result is the same).
bool parse_obj_bytes(const char* data, size_t size, Mesh* mesh, std::string* error,
                     std::vector<std::string>* warnings = nullptr, int pieces = 0);
// As above from a file; also warns of material libraries not found beside it.
bool load_obj(const std::string& path, Mesh* mesh, std::string* error,
              std::vector<std::string>* warnings = nullptr);

// Writes mesh as UTF-8 OBJ: mtllib, o, v and vt lines, then the faces, each run of faces preceded
// by the usemtl, g and s statements that change there.
void write_obj(std::ostream& out, const Mesh& mesh);

// A small stepped block standing off the origin, so that copies turned about the origin make a
// ring.
Mesh builtin_mesh();
