// A polygon mesh as the runner reads, writes and draws it: positions and faces of vertex indices.
#pragma once

#include <array>
#include <iosfwd>
#include <string>
#include <vector>

struct Mesh {
    std::vector<std::array<float, 3>> vertices;
    std::vector<std::vector<int>> faces; // 0-based vertex indices, two or more per face
};

// Reads a Wavefront OBJ (positions and faces; everything else is ignored). On failure returns false
// and a one-line reason: unreadable file, a parse error, no vertices, an index out of range or a
// coordinate that is not a finite number.
bool load_obj(const std::string& path, Mesh* mesh, std::string* error);
bool parse_obj_text(const std::string& text, Mesh* mesh, std::string* error);

void write_obj(std::ostream& out, const Mesh& mesh);

// A small stepped block standing off the origin, so that copies turned about the origin make a
// ring.
Mesh builtin_mesh();
