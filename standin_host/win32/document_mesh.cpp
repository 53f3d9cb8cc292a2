#include "win32/document_mesh.h"

#include <array>
#include <cstring>
#include <unordered_map>
#include <vector>

#include "win32/standin_host.h"

int32_t add_mesh_object(HostDocument document, const Mesh& mesh) {
    // The host keeps a texture coordinate for every corner and names its materials.
    std::vector<float> uvs;
    if (!mesh.corner_uvs.empty())
        for (int32_t uv : mesh.corner_uvs) {
            const std::array<float, 2> t = uv < 0 ? std::array<float, 2>{0, 0} : mesh.uvs[uv];
            uvs.insert(uvs.end(), t.begin(), t.end());
        }
    std::vector<const char*> names;
    for (const std::string& name : mesh.materials)
        names.push_back(name.c_str());
    const StandinMesh arrays{mesh.object_name.c_str(),
                             mesh.vertices.empty() ? nullptr : mesh.vertices[0].data(),
                             static_cast<int32_t>(mesh.vertices.size()),
                             mesh.corners.data(),
                             mesh.face_ends.data(),
                             static_cast<int32_t>(mesh.face_count()),
                             uvs.empty() ? nullptr : uvs.data(),
                             mesh.face_materials.empty() ? nullptr : mesh.face_materials.data(),
                             names.data(),
                             static_cast<int32_t>(names.size())};
    return standin_add_object(document, &arrays);
}

bool object_mesh(HostDocument document, int32_t index, Mesh* mesh) {
    StandinMesh arrays;
    if (!standin_get_object(document, index, &arrays)) return false;
    *mesh = Mesh();
    mesh->object_name = arrays.name;
    mesh->vertices.resize(static_cast<size_t>(arrays.vertex_count));
    if (arrays.vertex_count)
        std::memcpy(mesh->vertices.data(), arrays.xyz, mesh->vertices.size() * sizeof(float) * 3);
    const int32_t corners = arrays.face_count ? arrays.face_ends[arrays.face_count - 1] : 0;
    mesh->corners.assign(arrays.corners, arrays.corners + corners);
    mesh->face_ends.assign(arrays.face_ends, arrays.face_ends + arrays.face_count);
    if (arrays.corner_uvs) {
        std::unordered_map<uint64_t, int32_t> seen;
        for (int32_t c = 0; c < corners; ++c) {
            const std::array<float, 2> t{arrays.corner_uvs[2 * c], arrays.corner_uvs[2 * c + 1]};
            uint64_t key;
            std::memcpy(&key, t.data(), sizeof key);
            auto found = seen.emplace(key, static_cast<int32_t>(mesh->uvs.size()));
            if (found.second) mesh->uvs.push_back(t);
            mesh->corner_uvs.push_back(found.first->second);
        }
    }
    if (arrays.face_materials)
        mesh->face_materials.assign(arrays.face_materials,
                                    arrays.face_materials + arrays.face_count);
    mesh->materials.assign(arrays.material_names, arrays.material_names + arrays.material_count);
    return true;
}
