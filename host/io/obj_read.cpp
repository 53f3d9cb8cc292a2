#include <tiny_obj_loader.h>

#include <cfloat>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "host/io/mesh.h"
#include "host/io/text_encoding.h"

namespace {

// What tinyobjloader does not keep per face, gathered by a first pass over the statements.
struct FaceState {
    int32_t material, group;
    uint32_t smoothing;
};

struct Statements {
    std::vector<FaceState> faces; // one per face statement with three or more corners
    std::vector<std::string> materials, groups, libraries;
    std::string object_name;
    int lines = 0, points = 0, short_faces = 0;
    // The coordinates of the "v" (x, y, z) and "vt" (u, v) statements, each rounded once, straight
    // from its text to the nearest float: tinyobjloader's own reading could bring a value that the
    // writer gave as its shortest text back one step off.
    std::vector<float> positions, texcoords;
};

bool is_space(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\f' || c == '\v'; }

std::string trimmed(const char* begin, const char* end) {
    while (begin < end && is_space(*begin))
        ++begin;
    while (end > begin && is_space(end[-1]))
        --end;
    return std::string(begin, end);
}

int32_t index_of(std::vector<std::string>& names, const std::string& name) {
    if (name.empty()) return -1;
    for (size_t i = 0; i < names.size(); ++i)
        if (names[i] == name) return static_cast<int32_t>(i);
    names.push_back(name);
    return static_cast<int32_t>(names.size() - 1);
}

// Statements of the format that carry nothing the modeller's object keeps (free-form geometry,
// render attributes): passed over with a warning.
bool is_ignored_statement(const std::string& word) {
    static const char* const words[] = {"cstype", "deg",        "bmat",      "step",  "curv",
                                        "curv2",  "surf",       "parm",      "trim",  "hole",
                                        "scrv",   "sp",         "end",       "con",   "mg",
                                        "bevel",  "c_interp",   "d_interp",  "lod",   "usemap",
                                        "maplib", "shadow_obj", "trace_obj", "ctech", "stech"};
    for (const char* w : words)
        if (word == w) return true;
    return false;
}

// The float nearest to the number in [p, end), which holds only digits, signs, points and
// exponent marks; false when it is not one number. A number beyond single precision sets *beyond;
// one too small for it reads as the nearest float (zero, or a subnormal).
bool read_float(const char* p, const char* end, float* value, bool* beyond) {
    if (end - p > 1 && *p == '+' && p[1] != '-' && p[1] != '+') ++p; // from_chars takes no '+'
    const std::from_chars_result read = std::from_chars(p, end, *value);
    if (read.ptr != end) return false;
    if (read.ec == std::errc()) return true;
    if (read.ec != std::errc::result_out_of_range) return false;
    // The text ends in a NUL, which stops strtod.
    const double wide = std::strtod(p, nullptr);
    *beyond = !std::isfinite(wide) || std::fabs(wide) > FLT_MAX;
    *value = static_cast<float>(wide);
    return true;
}

// Checks the numbers of a "v" or "vt" statement: at least `least` of them, each a plain decimal
// number that single precision can hold. Keeps the first `kept` of them in *values, zeros for
// those missing.
bool check_numbers(const char* p, const char* end, int least, int kept, const char* what,
                   std::vector<float>* values, std::string* error) {
    int count = 0;
    while (true) {
        while (p < end && is_space(*p))
            ++p;
        if (p == end) break;
        const char* token_end = p;
        bool plain = true;
        while (token_end < end && !is_space(*token_end)) {
            plain = plain && std::strchr("0123456789+-.eE", *token_end) != nullptr;
            ++token_end;
        }
        float value = 0;
        bool beyond = false;
        if (!plain || !read_float(p, token_end, &value, &beyond)) {
            *error = std::string(what) + " '" + std::string(p, token_end) + "' is not a number";
            return false;
        }
        if (beyond) {
            *error = std::string(what) + " " + std::string(p, token_end) +
                     " is beyond single precision (largest 3.4e38)";
            return false;
        }
        if (count < kept) values->push_back(value);
        ++count;
        p = token_end;
    }
    if (count < least) {
        *error =
            least == 3 ? "a vertex needs three numbers" : "a texture coordinate needs a number";
        return false;
    }
    for (; count < kept; ++count)
        values->push_back(0);
    return true;
}

int count_tokens(const char* p, const char* end) {
    int count = 0;
    while (p < end) {
        while (p < end && is_space(*p))
            ++p;
        if (p == end) break;
        ++count;
        while (p < end && !is_space(*p))
            ++p;
    }
    return count;
}

// Walks every statement: refuses what is malformed or unknown, gathers what tinyobjloader drops,
// and turns into comments the statements that it should not see (lines, points, faces of fewer
// than three corners, ignored statements), so that its faces match ours one for one.
bool scan_statements(std::string& text, Statements* s, std::vector<std::string>* warnings,
                     std::string* error) {
    int32_t material = -1, group = -1;
    uint32_t smoothing = 0;
    int number = 0;
    bool warned_ignored = false;
    char* const text_end = &text[0] + text.size();
    for (char* line = &text[0]; line < text_end;) {
        // Lines end in LF, CR LF or a lone CR, as tinyobjloader reads them.
        char* end = line;
        while (end < text_end && *end != '\n' && *end != '\r')
            ++end;
        ++number;
        const auto at = [number] { return "line " + std::to_string(number) + ": "; };
        char* p = line;
        while (p < end && is_space(*p))
            ++p;
        char* word_end = p;
        while (word_end < end && !is_space(*word_end))
            ++word_end;
        char* const statement = p;
        line = end + (end < text_end) + (end + 1 < text_end && end[0] == '\r' && end[1] == '\n');
        if (word_end == p || *p == '#') continue;
        // The two statements that make up nearly all of a big file are told apart cheaply.
        const size_t length = static_cast<size_t>(word_end - p);
        if (length == 1 && *p == 'v') {
            if (!check_numbers(word_end, end, 3, 3, "coordinate", &s->positions, error)) {
                *error = at() + *error;
                return false;
            }
            continue;
        }
        const std::string word(p, word_end);
        const std::string rest = word == "f" ? std::string() : trimmed(word_end, end);

        if (word == "vt") {
            if (!check_numbers(word_end, end, 1, 2, "texture coordinate", &s->texcoords, error)) {
                *error = at() + *error;
                return false;
            }
        } else if (word == "f") {
            const int corners = count_tokens(word_end, end);
            if (corners > 255) {
                *error = at() + "a face of " + std::to_string(corners) +
                         " corners; at most 255 are read";
                return false;
            }
            if (corners < 3) {
                if (s->short_faces++ == 0 && warnings)
                    warnings->push_back(at() + "a face of fewer than three corners is left out");
                *statement = '#';
                continue;
            }
            s->faces.push_back(FaceState{material, group, smoothing});
        } else if (word == "usemtl") {
            material = index_of(s->materials, rest);
        } else if (word == "g") {
            group = index_of(s->groups, rest);
        } else if (word == "o") {
            if (s->object_name.empty()) s->object_name = rest;
            group = index_of(s->groups, rest);
        } else if (word == "s") {
            smoothing =
                rest == "off" ? 0 : static_cast<uint32_t>(std::strtoul(rest.c_str(), 0, 10));
        } else if (word == "mtllib") {
            if (!rest.empty()) index_of(s->libraries, rest);
        } else if (word == "l" || word == "p") {
            ++(word == "l" ? s->lines : s->points);
            *statement = '#';
        } else if (word == "vn" || word == "vp") {
        } else if (is_ignored_statement(word)) {
            if (!warned_ignored && warnings)
                warnings->push_back(at() + "'" + word +
                                    "' statements (free-form geometry, render attributes) are "
                                    "not kept");
            warned_ignored = true;
            *statement = '#';
        } else {
            *error = at() + "unknown statement '" + word.substr(0, 40) + "'";
            return false;
        }
    }
    if (warnings && s->lines)
        warnings->push_back(std::to_string(s->lines) +
                            " lines ('l') are not kept as lines, only their vertices");
    if (warnings && s->points)
        warnings->push_back(std::to_string(s->points) +
                            " point statements ('p') are not kept, only their vertices");
    return true;
}

std::string first_line(const std::string& text) {
    std::string line = text.substr(0, text.find('\n'));
    while (!line.empty() && (line.back() == '\r' || line.back() == ' '))
        line.pop_back();
    return line;
}

bool take_faces(const std::vector<tinyobj::shape_t>& shapes, const Statements& s, Mesh* mesh,
                std::string* error) {
    const int32_t vertices = static_cast<int32_t>(mesh->vertices.size());
    const int32_t uvs = static_cast<int32_t>(mesh->uvs.size());
    bool any_uv = false;
    for (const tinyobj::shape_t& shape : shapes) {
        size_t next = 0;
        for (unsigned char corners : shape.mesh.num_face_vertices) {
            for (unsigned k = 0; k < corners; ++k) {
                const tinyobj::index_t& index = shape.mesh.indices[next++];
                if (index.vertex_index < 0 || index.vertex_index >= vertices) {
                    *error = "a face refers to vertex " + std::to_string(index.vertex_index + 1) +
                             " of " + std::to_string(vertices);
                    return false;
                }
                if (index.texcoord_index >= uvs) {
                    *error = "a face refers to texture coordinate " +
                             std::to_string(index.texcoord_index + 1) + " of " +
                             std::to_string(uvs);
                    return false;
                }
                any_uv = any_uv || index.texcoord_index >= 0;
                mesh->corners.push_back(index.vertex_index);
                mesh->corner_uvs.push_back(index.texcoord_index < 0 ? -1 : index.texcoord_index);
            }
            mesh->face_ends.push_back(static_cast<int32_t>(mesh->corners.size()));
        }
    }
    if (!any_uv) mesh->corner_uvs.clear();
    if (mesh->face_count() != s.faces.size()) {
        *error = "the faces could not be read consistently";
        return false;
    }
    bool any_material = false, any_group = false, any_smoothing = false;
    for (const FaceState& face : s.faces) {
        any_material = any_material || face.material >= 0;
        any_group = any_group || face.group >= 0;
        any_smoothing = any_smoothing || face.smoothing != 0;
    }
    for (const FaceState& face : s.faces) {
        if (any_material) mesh->face_materials.push_back(face.material);
        if (any_group) mesh->face_groups.push_back(face.group);
        if (any_smoothing) mesh->face_smoothing.push_back(face.smoothing);
    }
    mesh->materials = s.materials;
    mesh->groups = s.groups;
    mesh->material_libraries = s.libraries;
    mesh->object_name = s.object_name;
    return true;
}

} // namespace

void Mesh::add_face(const std::vector<int32_t>& vertex_indices,
                    const std::vector<int32_t>* uv_indices) {
    if (uv_indices && corner_uvs.size() < corners.size()) corner_uvs.resize(corners.size(), -1);
    corners.insert(corners.end(), vertex_indices.begin(), vertex_indices.end());
    if (uv_indices)
        corner_uvs.insert(corner_uvs.end(), uv_indices->begin(), uv_indices->end());
    else if (!corner_uvs.empty())
        corner_uvs.resize(corners.size(), -1);
    face_ends.push_back(static_cast<int32_t>(corners.size()));
}

bool parse_obj_text(const std::string& bytes, Mesh* mesh, std::string* error,
                    std::vector<std::string>* warnings) {
    std::string text;
    if (!text_as_utf8(bytes, &text, error)) return false;
    Statements statements;
    if (!scan_statements(text, &statements, warnings, error)) return false;

    tinyobj::attrib_t attrib;
    std::vector<tinyobj::shape_t> shapes;
    std::vector<tinyobj::material_t> materials;
    std::string warn, err;
    std::istringstream in(text);
    // Polygons as they are; materials are taken by name above, so no .mtl is read here.
    if (!tinyobj::LoadObj(&attrib, &shapes, &materials, &warn, &err, &in, nullptr, false, false)) {
        *error = first_line(err.empty() ? "not a readable OBJ file" : err);
        return false;
    }
    Mesh result;
    // The first pass's values, rounded once; tinyobjloader's own reading can be one step off.
    const std::vector<float>& positions = statements.positions.size() == attrib.vertices.size()
                                              ? statements.positions
                                              : attrib.vertices;
    const std::vector<float>& texcoords = statements.texcoords.size() == attrib.texcoords.size()
                                              ? statements.texcoords
                                              : attrib.texcoords;
    result.vertices.reserve(positions.size() / 3);
    for (size_t i = 0; i + 2 < positions.size(); i += 3)
        result.vertices.push_back({positions[i], positions[i + 1], positions[i + 2]});
    for (size_t i = 0; i + 1 < texcoords.size(); i += 2)
        result.uvs.push_back({texcoords[i], texcoords[i + 1]});
    for (const auto& p : result.vertices)
        for (float c : p)
            if (!std::isfinite(c)) {
                *error = "a vertex is not a finite point";
                return false;
            }
    if (result.vertices.empty()) {
        *error = "no vertices";
        return false;
    }
    if (!take_faces(shapes, statements, &result, error)) return false;
    *mesh = std::move(result);
    return true;
}

bool load_obj(const std::string& path, Mesh* mesh, std::string* error,
              std::vector<std::string>* warnings) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    if (in) bytes << in.rdbuf();
    if (!in || in.bad() || std::filesystem::is_directory(path)) {
        *error = "cannot read " + path;
        return false;
    }
    if (!parse_obj_text(bytes.str(), mesh, error, warnings)) {
        *error = path + ": " + *error;
        return false;
    }
    const std::filesystem::path folder = std::filesystem::path(path).parent_path();
    for (const std::string& library : mesh->material_libraries) {
        std::error_code ignored;
        if (warnings && !std::filesystem::is_regular_file(folder / library, ignored))
            warnings->push_back(path + ": material library '" + library +
                                "' not found; its materials show untextured");
    }
    return true;
}
