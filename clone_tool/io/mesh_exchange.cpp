#include "io/mesh_exchange.h"

#include <cstdio>
#include <cstring>

namespace {

constexpr char magic[8] = {'Q', 'V', 'A', 'R', 'R', 'A', 'Y', '1'};
constexpr uint32_t has_uvs = 1, has_materials = 2;
// Every array starts on a multiple of this, so that it can be read in place.
constexpr uint64_t alignment = 64;

// The fixed start of the file; the arrays follow at the offsets it gives, then the names, each
// as a 32-bit length, its bytes and a terminating zero.
struct Header {
    char magic[8];
    uint32_t flags;
    uint32_t name_count; // the object's name, then one per material
    uint64_t vertex_count, corner_count, face_count;
    uint64_t vertices, corners, face_ends, corner_uvs, face_materials, names, names_bytes;
    uint64_t file_bytes;
};

uint64_t aligned(uint64_t offset) { return (offset + alignment - 1) / alignment * alignment; }

// Lays the arrays of a mesh of these counts out one after another.
Header layout(uint64_t vertices, uint64_t corners, uint64_t faces, bool uvs, bool materials,
              uint64_t names_bytes, uint32_t name_count) {
    Header h{};
    std::memcpy(h.magic, magic, sizeof magic);
    h.flags = (uvs ? has_uvs : 0) | (materials ? has_materials : 0);
    h.name_count = name_count;
    h.vertex_count = vertices;
    h.corner_count = corners;
    h.face_count = faces;
    h.vertices = aligned(sizeof(Header));
    h.corners = aligned(h.vertices + 12 * vertices);
    h.face_ends = aligned(h.corners + 4 * corners);
    h.corner_uvs = aligned(h.face_ends + 4 * faces);
    h.face_materials = aligned(h.corner_uvs + (uvs ? 8 * corners : 0));
    h.names = aligned(h.face_materials + (materials ? 4 * faces : 0));
    h.names_bytes = names_bytes;
    h.file_bytes = h.names + names_bytes;
    return h;
}

void append_name(std::string& names, std::string_view name) {
    const uint32_t length = static_cast<uint32_t>(name.size());
    names.append(reinterpret_cast<const char*>(&length), sizeof length);
    names.append(name.data(), name.size());
    names.push_back('\0');
}

bool refuse(std::string* error, const std::string& path, const char* why) {
    *error = path + ": " + why;
    return false;
}

// Faces of at least one corner each, in order, ending where the corners end: what anyone reading
// the arrays relies on to stay inside them.
bool faces_are_sound(const ExchangeMesh& m) {
    int64_t begin = 0;
    for (size_t f = 0; f < m.face_count; ++f) {
        const int64_t end = m.face_ends[f];
        if (end <= begin) return false;
        begin = end;
    }
    return begin == static_cast<int64_t>(m.corner_count);
}

// Faces naming vertices and materials that exist.
bool references_are_sound(const ExchangeMesh& m) {
    const int64_t materials = static_cast<int64_t>(m.materials.size());
    for (size_t f = 0; m.face_materials && f < m.face_count; ++f)
        if (m.face_materials[f] < -1 || m.face_materials[f] >= materials) return false;
    const int64_t vertices = static_cast<int64_t>(m.vertex_count);
    for (size_t c = 0; c < m.corner_count; ++c)
        if (m.corners[c] < 0 || m.corners[c] >= vertices) return false;
    return true;
}

} // namespace

bool is_exchange_file(const std::string& path) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return false;
    char start[sizeof magic] = {};
    const bool same = std::fread(start, 1, sizeof start, file) == sizeof start &&
                      std::memcmp(start, magic, sizeof magic) == 0;
    std::fclose(file);
    return same;
}

ExchangeMesh exchange_of(const Mesh& mesh, std::vector<std::array<float, 2>>* corner_uvs) {
    corner_uvs->clear();
    corner_uvs->reserve(mesh.corner_uvs.size());
    for (int32_t uv : mesh.corner_uvs)
        corner_uvs->push_back(uv < 0 ? std::array<float, 2>{0, 0}
                                     : mesh.uvs[static_cast<size_t>(uv)]);
    ExchangeMesh arrays;
    arrays.name = mesh.object_name;
    arrays.xyz = mesh.vertices.empty() ? nullptr : mesh.vertices[0].data();
    arrays.vertex_count = mesh.vertices.size();
    arrays.corners = mesh.corners.data();
    arrays.corner_count = mesh.corners.size();
    arrays.face_ends = mesh.face_ends.data();
    arrays.face_count = mesh.face_count();
    arrays.corner_uvs = corner_uvs->empty() ? nullptr : (*corner_uvs)[0].data();
    arrays.face_materials = mesh.face_materials.empty() ? nullptr : mesh.face_materials.data();
    arrays.materials.assign(mesh.materials.begin(), mesh.materials.end());
    return arrays;
}

bool write_exchange(const std::string& path, const ExchangeMesh& m, std::string* error) {
    std::string names;
    append_name(names, m.name);
    for (std::string_view material : m.materials)
        append_name(names, material);
    const Header h = layout(m.vertex_count, m.corner_count, m.face_count, m.corner_uvs != nullptr,
                            m.face_materials != nullptr, names.size(),
                            static_cast<uint32_t>(1 + m.materials.size()));
    const FilePiece pieces[] = {
        {0, &h, sizeof h},
        {h.vertices, m.xyz, 12 * h.vertex_count},
        {h.corners, m.corners, 4 * h.corner_count},
        {h.face_ends, m.face_ends, 4 * h.face_count},
        {h.corner_uvs, m.corner_uvs, m.corner_uvs ? 8 * h.corner_count : 0},
        {h.face_materials, m.face_materials, m.face_materials ? 4 * h.face_count : 0},
        {h.names, names.data(), names.size()},
    };
    return write_mapped_file(path, h.file_bytes, pieces, sizeof pieces / sizeof pieces[0], error);
}

bool open_exchange(const std::string& path, MappedFile* file, ExchangeMesh* mesh,
                   bool check_content, std::string* error) {
    if (!file->open(path, error)) return false;
    Header h;
    if (file->size() < sizeof h) return refuse(error, path, "is not a file of mesh arrays");
    std::memcpy(&h, file->data(), sizeof h);
    if (std::memcmp(h.magic, magic, sizeof magic) != 0)
        return refuse(error, path, "is not a file of mesh arrays");
    // The host counts in 32-bit integers; anything larger cannot have come from it.
    const uint64_t most = INT32_MAX;
    if (h.vertex_count > most || h.corner_count > most || h.face_count > most ||
        h.name_count == 0 || h.names_bytes > file->size())
        return refuse(error, path, "holds more than an object can");
    const Header expected = layout(h.vertex_count, h.corner_count, h.face_count, h.flags & has_uvs,
                                   h.flags & has_materials, h.names_bytes, h.name_count);
    if (std::memcmp(&expected, &h, sizeof h) != 0 || h.file_bytes != file->size())
        return refuse(error, path, "is cut short or laid out otherwise");

    const uint8_t* base = file->data();
    ExchangeMesh m;
    m.xyz = reinterpret_cast<const float*>(base + h.vertices);
    m.vertex_count = static_cast<size_t>(h.vertex_count);
    m.corners = reinterpret_cast<const int32_t*>(base + h.corners);
    m.corner_count = static_cast<size_t>(h.corner_count);
    m.face_ends = reinterpret_cast<const int32_t*>(base + h.face_ends);
    m.face_count = static_cast<size_t>(h.face_count);
    if (h.flags & has_uvs) m.corner_uvs = reinterpret_cast<const float*>(base + h.corner_uvs);
    if (h.flags & has_materials)
        m.face_materials = reinterpret_cast<const int32_t*>(base + h.face_materials);
    const char* at = reinterpret_cast<const char*>(base + h.names);
    const char* end = at + h.names_bytes;
    for (uint32_t n = 0; n < h.name_count; ++n) {
        uint32_t length;
        if (end - at < static_cast<ptrdiff_t>(sizeof length))
            return refuse(error, path, "has its names cut short");
        std::memcpy(&length, at, sizeof length);
        at += sizeof length;
        if (static_cast<uint64_t>(end - at) < uint64_t(length) + 1 || at[length] != '\0')
            return refuse(error, path, "has its names cut short");
        const std::string_view name(at, length);
        if (n == 0)
            m.name = name;
        else
            m.materials.push_back(name);
        at += length + 1;
    }
    if (!faces_are_sound(m)) return refuse(error, path, "has faces that do not end in order");
    if (check_content && !references_are_sound(m))
        return refuse(error, path, "has faces naming vertices or materials it does not hold");
    *mesh = std::move(m);
    return true;
}
