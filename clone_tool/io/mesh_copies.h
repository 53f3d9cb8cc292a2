// What the host has no place for, given back to a result of copies: the host keeps texture
// coordinates, materials and the object's name; groups, smoothing groups, which corners had no
// texture coordinates and the material libraries come from the source.
#pragma once

#include <string>
#include <vector>

#include "io/mesh.h"

// result holds the source, then each copy, face for face as in the source.
void restore_per_copy(const Mesh& source, Mesh* result);
// The source's material libraries (source read from input), named relative to out_dir so that
// they (and the textures they name relative to themselves) still resolve from there.
std::vector<std::string> libraries_from(const Mesh& source, const std::string& input,
                                        const std::string& out_dir);
