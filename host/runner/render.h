// A shaded picture of a mesh from a camera that frames the whole mesh.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "host/runner/mesh.h"

struct Image {
    int width = 0, height = 0;
    std::vector<uint8_t> rgb; // width * height * 3, rows top to bottom
};

// Faces that use vertices from index copy_size * k onwards are coloured as copy k (the source,
// k = 0, in grey): the clone command appends each copy's vertices after the source's. The camera
// frames `framing` (default: the mesh itself), so a before and an after picture can share it.
Image render_mesh(const Mesh& mesh, int width, int height, size_t copy_size,
                  const Mesh* framing = nullptr);

bool write_png(const std::string& path, const Image& image);
