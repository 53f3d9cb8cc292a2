#include "host/win32/mesh_file.h"

#include <fstream>
#include <sstream>

bool read_mesh_file(const std::string& path, MeshArrays* mesh, std::string* error) {
    std::ifstream in(path);
    if (!in) {
        *error = "cannot read " + path;
        return false;
    }
    MeshArrays result;
    std::string line;
    int number = 0;
    while (std::getline(in, line)) {
        ++number;
        std::istringstream fields(line);
        std::string word;
        if (!(fields >> word) || word[0] == '#') continue;
        if (word == "v") {
            float x, y, z;
            if (!(fields >> x >> y >> z)) {
                *error = path + ":" + std::to_string(number) + ": a vertex needs three numbers";
                return false;
            }
            result.xyz.insert(result.xyz.end(), {x, y, z});
        } else if (word == "f") {
            int32_t index, corners = 0;
            while (fields >> index) {
                result.corners.push_back(index - 1);
                ++corners;
            }
            result.face_sizes.push_back(corners);
        }
    }
    *mesh = std::move(result);
    return true;
}
