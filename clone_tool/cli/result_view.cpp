#include "cli/result_view.h"

#include <cstring>
#include <unordered_map>

MeshView result_view(const ExchangeMesh& r, const Mesh& source, OwnUvs* own) {
    MeshView view;
    view.object_name = r.name;
    view.vertices = reinterpret_cast<const std::array<float, 3>*>(r.xyz);
    view.vertex_count = r.vertex_count;
    view.corners = r.corners;
    view.corner_count = r.corner_count;
    view.face_ends = r.face_ends;
    view.face_count = r.face_count;
    if (r.face_materials) view.face_materials = {r.face_materials, r.face_count};
    view.materials = r.materials;
    const size_t faces = source.face_count(), corners = source.corners.size();
    const bool repeats = faces > 0 && r.face_count % faces == 0 && r.corner_count % corners == 0;
    if (repeats) {
        view.face_groups = repeating(source.face_groups);
        view.face_smoothing = repeating(source.face_smoothing);
        view.groups.assign(source.groups.begin(), source.groups.end());
    }
    if (source.corner_uvs.empty() || !r.corner_uvs) return view;
    // When the copies carry the source's texture coordinates corner for corner, the source's own
    // list of them and its numbering are written, as its file had them.
    const auto* uv = reinterpret_cast<const std::array<float, 2>*>(r.corner_uvs);
    bool same = repeats;
    for (size_t c = 0, k = 0; same && c < r.corner_count; ++c, k = k + 1 == corners ? 0 : k + 1) {
        const int32_t i = source.corner_uvs[k];
        same = (i < 0 ? std::array<float, 2>{0, 0} : source.uvs[static_cast<size_t>(i)]) == uv[c];
    }
    if (same) {
        view.uvs = source.uvs.data();
        view.uv_count = source.uvs.size();
        view.corner_uvs = repeating(source.corner_uvs);
        return view;
    }
    std::unordered_map<uint64_t, int32_t> seen; // by their bits, so that -0 stays apart from 0
    own->corner_uvs.reserve(r.corner_count);
    for (size_t c = 0; c < r.corner_count; ++c) {
        uint64_t key;
        std::memcpy(&key, &uv[c], sizeof key);
        const auto found = seen.emplace(key, static_cast<int32_t>(own->uvs.size()));
        if (found.second) own->uvs.push_back(uv[c]);
        own->corner_uvs.push_back(found.first->second);
    }
    view.uvs = own->uvs.data();
    view.uv_count = own->uvs.size();
    view.corner_uvs = repeating(own->corner_uvs);
    return view;
}
