#include "io/mesh_copies.h"

#include <array>
#include <filesystem>

namespace fs = std::filesystem;

void restore_per_copy(const Mesh& source, Mesh* result) {
    const size_t faces = source.face_count(), corners = source.corners.size();
    if (faces == 0 || result->face_count() % faces != 0) return;
    // The copies carry the source's texture coordinates corner for corner; when they do, the
    // source's own list of them and its numbering are written, as its file had them.
    const auto uv = [](const Mesh& m, int32_t i) {
        return i < 0 ? std::array<float, 2>{0, 0} : m.uvs[static_cast<size_t>(i)];
    };
    bool same = !source.corner_uvs.empty() && result->corner_uvs.size() == result->corners.size();
    for (size_t c = 0; same && c < result->corners.size(); ++c)
        same = uv(source, source.corner_uvs[c % corners]) == uv(*result, result->corner_uvs[c]);
    if (same) {
        result->uvs = source.uvs;
        for (size_t c = 0; c < result->corners.size(); ++c)
            result->corner_uvs[c] = source.corner_uvs[c % corners];
    }
    if (source.corner_uvs.empty()) result->corner_uvs.clear();
    result->groups = source.groups;
    result->face_groups.clear();
    result->face_smoothing.clear();
    for (size_t f = 0; f < result->face_count(); ++f) {
        if (!source.face_groups.empty())
            result->face_groups.push_back(source.face_groups[f % faces]);
        if (!source.face_smoothing.empty())
            result->face_smoothing.push_back(source.face_smoothing[f % faces]);
    }
}

std::vector<std::string> libraries_from(const Mesh& source, const std::string& input,
                                        const std::string& out_dir) {
    std::vector<std::string> libraries;
    std::error_code ignored;
    const fs::path from = fs::absolute(fs::path(input), ignored).parent_path();
    const fs::path to = fs::weakly_canonical(fs::absolute(out_dir, ignored), ignored);
    for (const std::string& library : source.material_libraries) {
        const fs::path target = fs::weakly_canonical(from / library, ignored);
        const fs::path relative = target.lexically_relative(to);
        libraries.push_back((relative.empty() ? target : relative).generic_string());
    }
    return libraries;
}
