// How quorvel-clone and the stand-in runner hand a mesh across: one file of binary arrays laid out
// as the stand-in document keeps an object (positions, face corners, face ends, a texture
// coordinate per corner, a material per face, the object's and the materials' names), which each
// side maps. Neither side converts it element by element; the reader uses the arrays where they
// lie in the mapping.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "io/mapped_file.h"
#include "io/mesh.h"

// An object as plain arrays, pointing into memory that stays valid while it is used.
struct ExchangeMesh {
    std::string_view name;
    const float* xyz = nullptr; // three per vertex
    size_t vertex_count = 0;
    const int32_t* corners = nullptr; // vertex indices, face after face
    size_t corner_count = 0;
    const int32_t* face_ends = nullptr; // face f ends at face_ends[f] in corners
    size_t face_count = 0;
    const float* corner_uvs = nullptr;       // two per corner, or null for none
    const int32_t* face_materials = nullptr; // per face an index into materials or -1, or null
    std::vector<std::string_view> materials; // names, as the bytes they were read as
};

// mesh's arrays as the document keeps them: a texture coordinate at every corner (0, 0 where the
// file gave none), kept in *corner_uvs, and the material names without their libraries. The
// result points into mesh and *corner_uvs.
ExchangeMesh exchange_of(const Mesh& mesh, std::vector<std::array<float, 2>>* corner_uvs);

// Whether the file starts as an exchange file does (so that a runner can take either kind).
bool is_exchange_file(const std::string& path);

// Writes mesh into a new exchange file at path; false with a reason.
bool write_exchange(const std::string& path, const ExchangeMesh& mesh, std::string* error);

// Maps the exchange file at path into file and points mesh into it. Refuses a file that is not
// one, is cut short, whose arrays do not fit in it or whose faces do not end in order; with
// check_content also one whose faces name vertices or materials that are not there (a side that
// hands the arrays to the document, which checks them itself, can leave that out).
bool open_exchange(const std::string& path, MappedFile* file, ExchangeMesh* mesh,
                   bool check_content, std::string* error);
