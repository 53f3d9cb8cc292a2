// A mesh as views of arrays that live elsewhere (a Mesh, or a file mapped into memory), for the
// writer and the picture: a result of many copies is written and drawn where it lies. Per-face
// and per-corner lists that every copy repeats may be given once, for the source, and are read
// round and round.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "io/mesh.h"

// values[i] for i below period, then the same values again: entry i is values[i % period].
template <class T> struct Repeating {
    const T* values = nullptr; // null: the list is absent
    size_t period = 0;

    bool empty() const { return values == nullptr; }
    T at(size_t i) const { return values[i % period]; }
};

template <class T> Repeating<T> repeating(const std::vector<T>& values) {
    return values.empty() ? Repeating<T>{} : Repeating<T>{values.data(), values.size()};
}

struct MeshView {
    std::string_view object_name;
    const std::array<float, 3>* vertices = nullptr;
    size_t vertex_count = 0;
    const std::array<float, 2>* uvs = nullptr; // the texture coordinate list, shared by index
    size_t uv_count = 0;
    const int32_t* corners = nullptr; // vertex indices, face after face
    size_t corner_count = 0;
    const int32_t* face_ends = nullptr; // face f ends at face_ends[f] in corners
    size_t face_count = 0;
    Repeating<int32_t> corner_uvs;      // per corner: an index into uvs, or -1
    Repeating<int32_t> face_materials;  // per face: an index into materials, or -1
    Repeating<int32_t> face_groups;     // per face: an index into groups, or -1
    Repeating<uint32_t> face_smoothing; // per face: the smoothing group, 0 for off
    std::vector<std::string_view> materials, groups, material_libraries;

    size_t face_begin(size_t face) const {
        return face == 0 ? 0 : static_cast<size_t>(face_ends[face - 1]);
    }
};

// A view of the whole of mesh, valid while it lives unchanged.
MeshView view_of(const Mesh& mesh);

// Writes the mesh as UTF-8 OBJ into a new file at path, the lines formatted in large pieces on
// every core and written in order: mtllib, o, v and vt lines, then the faces, each run of faces
// preceded by the usemtl, g and s statements that change there. Names are written as the bytes
// they hold. progress (if given) is called after each piece with the pieces written and their
// number. On failure error says why, and a file it began to write is removed (one it could not
// open is left as it was).
bool write_obj_file(const std::string& path, const MeshView& mesh, std::string* error,
                    const std::function<void(size_t done, size_t total)>& progress = {});
