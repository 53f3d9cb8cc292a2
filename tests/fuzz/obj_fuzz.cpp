// Any bytes as an OBJ file through the one reader. A file it accepts must describe a sound mesh
// (finite coordinates, every index in range) that the writer writes and the reader reads back
// the same; anything else must be refused with one line. ASan and UBSan report the rest.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>

#include "io/mesh.h"

namespace {

void check(bool sound) {
    if (!sound) std::abort();
}

void check_mesh(const Mesh& m) {
    for (const auto& v : m.vertices)
        check(std::isfinite(v[0]) && std::isfinite(v[1]) && std::isfinite(v[2]));
    for (const auto& t : m.uvs)
        check(std::isfinite(t[0]) && std::isfinite(t[1]));
    check(!m.vertices.empty());
    int32_t previous = 0;
    for (int32_t end : m.face_ends) {
        check(end - previous >= 3 && end - previous <= 255);
        previous = end;
    }
    check(static_cast<size_t>(previous) == m.corners.size());
    for (int32_t c : m.corners)
        check(c >= 0 && static_cast<size_t>(c) < m.vertices.size());
    check(m.corner_uvs.empty() || m.corner_uvs.size() == m.corners.size());
    for (int32_t t : m.corner_uvs)
        check(t >= -1 && (t < 0 || static_cast<size_t>(t) < m.uvs.size()));
    check(m.face_materials.empty() || m.face_materials.size() == m.face_count());
    for (int32_t i : m.face_materials)
        check(i >= -1 && (i < 0 || static_cast<size_t>(i) < m.materials.size()));
    check(m.face_groups.empty() || m.face_groups.size() == m.face_count());
    for (int32_t i : m.face_groups)
        check(i >= -1 && (i < 0 || static_cast<size_t>(i) < m.groups.size()));
}

// Read in pieces, the same bytes give the same mesh or the same refusal.
void check_pieces(const uint8_t* data, size_t size, bool read, const std::string& error,
                  const Mesh& mesh) {
    Mesh m;
    std::string e;
    check(parse_obj_bytes(reinterpret_cast<const char*>(data), size, &m, &e, nullptr, 3) == read);
    check(e == error && m.vertices == mesh.vertices && m.uvs == mesh.uvs &&
          m.corners == mesh.corners && m.corner_uvs == mesh.corner_uvs &&
          m.face_ends == mesh.face_ends && m.face_materials == mesh.face_materials &&
          m.materials == mesh.materials && m.face_groups == mesh.face_groups &&
          m.groups == mesh.groups && m.face_smoothing == mesh.face_smoothing &&
          m.object_name == mesh.object_name && m.material_libraries == mesh.material_libraries);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Mesh mesh;
    std::string error;
    const bool read =
        parse_obj_text(std::string(reinterpret_cast<const char*>(data), size), &mesh, &error);
    check_pieces(data, size, read, error, mesh);
    if (!read) {
        check(!error.empty() && error.find('\n') == std::string::npos);
        return 0;
    }
    check_mesh(mesh);
    std::ostringstream text;
    write_obj(text, mesh);
    Mesh again;
    check(parse_obj_text(text.str(), &again, &error));
    check(again.vertices == mesh.vertices && again.uvs == mesh.uvs &&
          again.corners == mesh.corners && again.face_ends == mesh.face_ends &&
          again.corner_uvs == mesh.corner_uvs &&
          again.face_materials.size() == mesh.face_materials.size());
    // Names, not numbers: materials named but never used are not written again.
    for (size_t f = 0; f < mesh.face_materials.size(); ++f) {
        const int32_t a = mesh.face_materials[f], b = again.face_materials[f];
        check((a < 0) == (b < 0) && (a < 0 || mesh.materials[a] == again.materials[b]));
    }
    return 0;
}
