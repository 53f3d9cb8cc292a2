// Reads the plain OBJ the main job hands over: "v x y z" and "f i j k ..." lines (1-based plain
// vertex indices), in the arrays standin_add_mesh takes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct MeshArrays {
    std::vector<float> xyz;
    std::vector<int32_t> corners;
    std::vector<int32_t> face_sizes;
};

bool read_mesh_file(const std::string& path, MeshArrays* mesh, std::string* error);
