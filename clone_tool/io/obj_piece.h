// One piece of an OBJ text, read on its own by one thread (obj_statements.cpp), then joined with
// the others in their order (obj_read.cpp).
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace obj_reading {

constexpr int most_corners = 255;
constexpr int64_t largest_index = INT32_MAX;

// How far a piece's faces reach: the highest index written, and the lowest relative one resolved
// against the piece's own count. Only when the joined counts do not cover these is the piece read
// again, knowing the counts, to find the first corner out of range and its line.
struct Reach {
    int64_t high = 0, low = 0;
};

// The counts a corner is checked against on that second reading.
struct Known {
    int64_t before, total;
};

// A state that holds until changed (usemtl, g, s): a piece does not know the one it starts in,
// so its faces before its own first statement take the state the piece before it ends in.
template <class T> struct FaceState {
    T value;              // now; names are indices into the piece's own list
    bool set = false;     // a statement in this piece set it
    size_t from = 0;      // once set: the first face after the first such statement
    std::vector<T> faces; // the state of each face from `from` on

    explicit FaceState(T initial) : value(initial) {}

    void change(T to, size_t face_count) {
        if (!set) from = face_count;
        set = true;
        value = to;
    }
};

// What one piece of the text holds, with its own line numbers, counts and name lists.
struct Piece {
    const char* begin = nullptr;
    const char* end = nullptr;
    bool first = true; // relative indices are resolved in place only in the first piece

    Piece() = default;
    Piece(const char* b, const char* e, bool f) : begin(b), end(e), first(f) {}

    std::vector<std::array<float, 3>> vertices;
    std::vector<std::array<float, 2>> uvs;
    std::vector<int32_t> corners, corner_uvs, face_ends;
    bool any_uv = false;
    std::vector<size_t> relative_vertex_corners, relative_uv_corners;
    Reach vertex_reach, uv_reach;
    const Known* known_vertices = nullptr; // set on the second reading
    const Known* known_uvs = nullptr;
    FaceState<int32_t> material{-1}, group{-1};
    FaceState<uint32_t> smoothing{0};
    std::vector<std::string> materials, groups, libraries;
    std::string object_name;
    int64_t lines = 0, line_statements = 0, point_statements = 0;
    int64_t short_face_line = 0, ignored_line = 0;
    std::string ignored_word;
    int64_t failed_line = 0; // 0: read to its end
    std::string failure;     // what follows "line N" in the refusal
    bool out_of_memory = false;
};

// The index of the name in names, added at the end when it is not there yet.
inline int32_t index_of(std::vector<std::string>& names, const char* begin, const char* end) {
    const size_t length = static_cast<size_t>(end - begin);
    for (size_t i = names.size(); i-- > 0;)
        if (names[i].size() == length && std::memcmp(names[i].data(), begin, length) == 0)
            return static_cast<int32_t>(i);
    names.emplace_back(begin, end);
    return static_cast<int32_t>(names.size() - 1);
}

// Reads the piece to its end or to its first line in error (failed_line); memory that runs out
// sets out_of_memory.
void read_piece_guarded(Piece& s);

} // namespace obj_reading
