// The result of a run as the OBJ writer and the pictures take it, over the arrays the stand-in
// host handed back.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "io/mesh.h"
#include "io/mesh_exchange.h"
#include "io/mesh_view.h"

// The texture coordinates of a result that does not repeat the source's corner for corner (a
// person's answer in the dialog may leave any result): each distinct pair once.
struct OwnUvs {
    std::vector<std::array<float, 2>> uvs;
    std::vector<int32_t> corner_uvs;
};

// The result as the writer and the picture take it, read where it lies in the mapped file. The
// host keeps positions, faces, a texture coordinate per corner, materials and the object's name;
// what it has no place for (which corners had no texture coordinates and which entry of the
// source's list they named, groups, smoothing groups) follows from the order of the result: the
// source, then each copy, face for face and corner for corner as in the source.
MeshView result_view(const ExchangeMesh& r, const Mesh& source, OwnUvs* own);
