#include "win32/document_mesh.h"

#include <array>
#include <cstring>
#include <unordered_map>
#include <vector>

#include "win32/standin_host.h"

int32_t add_arrays_object(HostDocument document, const ExchangeMesh& arrays) {
    // The host takes names as terminated strings.
    const std::string name(arrays.name);
    const std::vector<std::string> materials(arrays.materials.begin(), arrays.materials.end());
    std::vector<const char*> names;
    for (const std::string& material : materials)
        names.push_back(material.c_str());
    const StandinMesh mesh{name.c_str(),
                           arrays.xyz,
                           static_cast<int32_t>(arrays.vertex_count),
                           arrays.corners,
                           arrays.face_ends,
                           static_cast<int32_t>(arrays.face_count),
                           arrays.corner_uvs,
                           arrays.face_materials,
                           names.data(),
                           static_cast<int32_t>(names.size())};
    return standin_add_object(document, &mesh);
}

int32_t add_mesh_object(HostDocument document, const Mesh& mesh) {
    std::vector<std::array<float, 2>> corner_uvs;
    return add_arrays_object(document, exchange_of(mesh, &corner_uvs));
}

bool object_arrays(HostDocument document, int32_t index, ExchangeMesh* arrays) {
    StandinMesh mesh;
    if (!standin_get_object(document, index, &mesh)) return false;
    *arrays = ExchangeMesh();
    arrays->name = mesh.name;
    arrays->xyz = mesh.xyz;
    arrays->vertex_count = static_cast<size_t>(mesh.vertex_count);
    arrays->corners = mesh.corners;
    arrays->face_ends = mesh.face_ends;
    arrays->face_count = static_cast<size_t>(mesh.face_count);
    arrays->corner_count =
        mesh.face_count ? static_cast<size_t>(mesh.face_ends[mesh.face_count - 1]) : 0;
    arrays->corner_uvs = mesh.corner_uvs;
    arrays->face_materials = mesh.face_materials;
    arrays->materials.assign(mesh.material_names, mesh.material_names + mesh.material_count);
    return true;
}

bool object_mesh(HostDocument document, int32_t index, Mesh* mesh) {
    ExchangeMesh arrays;
    if (!object_arrays(document, index, &arrays)) return false;
    *mesh = Mesh();
    mesh->object_name = arrays.name;
    mesh->vertices.resize(arrays.vertex_count);
    if (arrays.vertex_count)
        std::memcpy(mesh->vertices.data(), arrays.xyz, mesh->vertices.size() * sizeof(float) * 3);
    mesh->corners.assign(arrays.corners, arrays.corners + arrays.corner_count);
    mesh->face_ends.assign(arrays.face_ends, arrays.face_ends + arrays.face_count);
    if (arrays.corner_uvs) {
        std::unordered_map<uint64_t, int32_t> seen;
        for (size_t c = 0; c < arrays.corner_count; ++c) {
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
    mesh->materials.assign(arrays.materials.begin(), arrays.materials.end());
    return true;
}
