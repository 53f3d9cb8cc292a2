#include "host/runner/mesh.h"

#include <tiny_obj_loader.h>

#include <cmath>
#include <fstream>
#include <ostream>
#include <sstream>

namespace {

std::string first_line(const std::string& text) {
    std::string line = text.substr(0, text.find('\n'));
    while (!line.empty() && (line.back() == '\r' || line.back() == ' '))
        line.pop_back();
    return line;
}

bool take_reader(const tinyobj::ObjReader& reader, Mesh* mesh, std::string* error) {
    if (!reader.Valid()) {
        *error = first_line(reader.Error().empty() ? "not a readable OBJ file" : reader.Error());
        return false;
    }
    const std::vector<tinyobj::real_t>& positions = reader.GetAttrib().vertices;
    Mesh result;
    result.vertices.reserve(positions.size() / 3);
    for (size_t i = 0; i + 2 < positions.size(); i += 3) {
        std::array<float, 3> p{positions[i], positions[i + 1], positions[i + 2]};
        for (float c : p) {
            if (!std::isfinite(c)) {
                *error = "vertex " + std::to_string(i / 3 + 1) + " is not a finite point";
                return false;
            }
        }
        result.vertices.push_back(p);
    }
    if (result.vertices.empty()) {
        *error = "no vertices";
        return false;
    }
    const int count = static_cast<int>(result.vertices.size());
    for (const tinyobj::shape_t& shape : reader.GetShapes()) {
        size_t next = 0;
        for (unsigned char corners : shape.mesh.num_face_vertices) {
            std::vector<int> face;
            for (unsigned k = 0; k < corners; ++k) {
                int index = shape.mesh.indices[next++].vertex_index;
                if (index < 0 || index >= count) {
                    *error = "a face refers to vertex " + std::to_string(index + 1) + " of " +
                             std::to_string(count);
                    return false;
                }
                face.push_back(index);
            }
            result.faces.push_back(std::move(face));
        }
    }
    *mesh = std::move(result);
    return true;
}

tinyobj::ObjReaderConfig polygon_config() {
    tinyobj::ObjReaderConfig config;
    config.triangulate = false; // keep the polygons as they are
    config.vertex_color = false;
    return config;
}

// tinyobjloader passes over lines it does not understand; a file meant as OBJ should have only
// known statements, so anything else is taken as a sign of a malformed or foreign file.
bool check_statements(const std::string& text, std::string* error) {
    std::istringstream in(text);
    std::string line;
    int number = 0;
    while (std::getline(in, line)) {
        ++number;
        size_t start = line.find_first_not_of(" \t\r");
        if (start == std::string::npos || line[start] == '#') continue;
        std::string word = line.substr(start, line.find_first_of(" \t\r", start) - start);
        static const char* known[] = {"v", "vt", "vn", "vp", "f",      "l",
                                      "p", "o",  "g",  "s",  "usemtl", "mtllib"};
        bool ok = false;
        for (const char* k : known)
            ok = ok || word == k;
        if (!ok) {
            *error = "line " + std::to_string(number) + ": unknown statement '" + word + "'";
            return false;
        }
        if (word == "v") {
            std::istringstream fields(line.substr(start + 1));
            double x, y, z;
            if (!(fields >> x >> y >> z)) {
                *error = "line " + std::to_string(number) + ": a vertex needs three numbers";
                return false;
            }
        }
    }
    return true;
}

} // namespace

bool parse_obj_text(const std::string& text, Mesh* mesh, std::string* error) {
    if (!check_statements(text, error)) return false;
    tinyobj::ObjReader reader;
    reader.ParseFromString(text, "", polygon_config());
    return take_reader(reader, mesh, error);
}

bool load_obj(const std::string& path, Mesh* mesh, std::string* error) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        *error = "cannot read " + path;
        return false;
    }
    std::ostringstream text;
    text << in.rdbuf();
    if (in.bad()) {
        *error = "cannot read " + path;
        return false;
    }
    if (!parse_obj_text(text.str(), mesh, error)) {
        *error = path + ": " + *error;
        return false;
    }
    return true;
}

void write_obj(std::ostream& out, const Mesh& mesh) {
    char line[96];
    for (const std::array<float, 3>& v : mesh.vertices) {
        std::snprintf(line, sizeof line, "v %.9g %.9g %.9g\n", v[0], v[1], v[2]);
        out << line;
    }
    for (const std::vector<int>& face : mesh.faces) {
        out << 'f';
        for (int index : face)
            out << ' ' << index + 1;
        out << '\n';
    }
}

Mesh builtin_mesh() {
    // Two stacked boxes, a wide step with a narrower riser on top, at x 2..3.
    Mesh mesh;
    auto box = [&mesh](float x0, float y0, float z0, float x1, float y1, float z1) {
        int base = static_cast<int>(mesh.vertices.size());
        for (int i = 0; i < 8; ++i)
            mesh.vertices.push_back({i & 1 ? x1 : x0, i & 2 ? y1 : y0, i & 4 ? z1 : z0});
        const int quads[6][4] = {{0, 2, 3, 1}, {4, 5, 7, 6}, {0, 1, 5, 4},
                                 {2, 6, 7, 3}, {0, 4, 6, 2}, {1, 3, 7, 5}};
        for (const auto& q : quads)
            mesh.faces.push_back({base + q[0], base + q[1], base + q[2], base + q[3]});
    };
    box(2.0f, 0.0f, -0.3f, 3.0f, 0.2f, 0.3f);
    box(2.6f, 0.2f, -0.2f, 2.9f, 0.6f, 0.2f);
    return mesh;
}
