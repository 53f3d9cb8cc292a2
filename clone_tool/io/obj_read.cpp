// The OBJ reader: one pass over the bytes, split at line ends into pieces that the cores read at
// once, then joined. Numbers go through fast_float, so each coordinate is rounded once, from its
// text to the nearest float.
#include <fast_float/fast_float.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <memory>
#include <new>
#include <thread>

#include "io/mesh.h"
#include "io/obj_piece.h"
#include "io/text_encoding.h"

namespace {

using namespace obj_reading;

// Below this a file is read by one thread: starting another costs more than it saves.
constexpr size_t least_piece = size_t(4) << 20;

// Where the pieces start: about equal shares, each beginning after a line feed.
std::vector<const char*> piece_starts(const char* begin, const char* end, int pieces) {
    const size_t size = static_cast<size_t>(end - begin);
    if (pieces <= 0) {
        const unsigned cores = std::thread::hardware_concurrency();
        pieces =
            static_cast<int>(std::min<size_t>({cores == 0 ? 1 : cores, size / least_piece, 8}));
    }
    std::vector<const char*> starts{begin};
    for (int i = 1; i < pieces; ++i) {
        const char* at = begin + size / static_cast<size_t>(pieces) * static_cast<size_t>(i);
        if (at < starts.back()) at = starts.back();
        const void* feed = std::memchr(at, '\n', static_cast<size_t>(end - at));
        if (!feed) break;
        const char* const next = static_cast<const char*>(feed) + 1;
        if (next < end && next > starts.back()) starts.push_back(next);
    }
    return starts;
}

// Moves the first piece's list, appends the others' (into room made for all).
template <class T> void append(std::vector<T>& to, std::vector<T>& from) {
    if (to.capacity() == 0) {
        to.swap(from);
    } else {
        to.insert(to.end(), from.begin(), from.end());
        std::vector<T>().swap(from);
    }
}

// The per-face states of all pieces as one list, names as indices into the joined list; empty
// when no face has one.
template <class T, class Map>
std::vector<T> join_states(std::vector<Piece>& pieces, FaceState<T> Piece::*state, T none,
                           Map map) {
    std::vector<T> joined;
    bool any = false;
    for (const Piece& s : pieces)
        any = any || (s.*state).set;
    if (!any) return joined;
    size_t faces = 0;
    for (const Piece& s : pieces)
        faces += s.face_ends.size();
    joined.reserve(faces);
    T before = none;
    for (size_t k = 0; k < pieces.size(); ++k) {
        FaceState<T>& st = pieces[k].*state;
        const size_t count = pieces[k].face_ends.size();
        joined.insert(joined.end(), st.set ? st.from : count, before);
        for (const T& face : st.faces)
            joined.push_back(map(k, face));
        if (st.set) before = map(k, st.value);
        std::vector<T>().swap(st.faces);
    }
    for (const T& value : joined)
        if (value != none) return joined;
    return {};
}

bool join(std::vector<Piece>& pieces, Mesh* mesh, std::string* error,
          std::vector<std::string>* warnings) {
    int64_t lines_before = 0;
    for (const Piece& s : pieces) {
        if (s.out_of_memory) {
            *error = "not enough memory to read the mesh";
            return false;
        }
        if (s.failed_line) {
            *error = "line " + std::to_string(lines_before + s.failed_line) + s.failure;
            return false;
        }
        lines_before += s.lines;
    }
    int64_t vertices = 0, uvs = 0, corners = 0;
    for (const Piece& s : pieces) {
        vertices += static_cast<int64_t>(s.vertices.size());
        uvs += static_cast<int64_t>(s.uvs.size());
        corners += static_cast<int64_t>(s.corners.size());
    }
    if (vertices == 0) {
        *error = "no vertices";
        return false;
    }
    if (vertices > largest_index || uvs > largest_index || corners > largest_index) {
        *error = "more than 2147483647 vertices, texture coordinates or face corners";
        return false;
    }
    {
        int64_t v = 0, t = 0, lines = 0;
        for (const Piece& s : pieces) {
            const Known known_vertices{v, vertices}, known_uvs{t, uvs};
            if (s.vertex_reach.high > vertices || v + s.vertex_reach.low < 0 ||
                s.uv_reach.high > uvs || t + s.uv_reach.low < 0) {
                Piece again(s.begin, s.end, s.first);
                again.known_vertices = &known_vertices;
                again.known_uvs = &known_uvs;
                read_piece_guarded(again);
                *error = again.failed_line
                             ? "line " + std::to_string(lines + again.failed_line) + again.failure
                             : "a face refers to a vertex or texture coordinate out of range";
                return false;
            }
            v += static_cast<int64_t>(s.vertices.size());
            t += static_cast<int64_t>(s.uvs.size());
            lines += s.lines;
        }
    }

    Mesh result;
    // Names first: the per-face states need each piece's indices into the joined lists.
    std::vector<std::vector<int32_t>> material_of(pieces.size()), group_of(pieces.size());
    for (size_t k = 0; k < pieces.size(); ++k) {
        Piece& s = pieces[k];
        for (const std::string& name : s.materials)
            material_of[k].push_back(
                index_of(result.materials, name.data(), name.data() + name.size()));
        for (const std::string& name : s.groups)
            group_of[k].push_back(index_of(result.groups, name.data(), name.data() + name.size()));
        for (const std::string& name : s.libraries)
            index_of(result.material_libraries, name.data(), name.data() + name.size());
        if (result.object_name.empty()) result.object_name = s.object_name;
    }
    const auto through = [](const std::vector<std::vector<int32_t>>& of) {
        return [&of](size_t k, int32_t i) { return i < 0 ? -1 : of[k][static_cast<size_t>(i)]; };
    };
    result.face_materials = join_states(pieces, &Piece::material, -1, through(material_of));
    result.face_groups = join_states(pieces, &Piece::group, -1, through(group_of));
    result.face_smoothing =
        join_states(pieces, &Piece::smoothing, 0u, [](size_t, uint32_t s) { return s; });

    bool any_uv = false;
    size_t faces = 0;
    for (const Piece& s : pieces) {
        any_uv = any_uv || s.any_uv;
        faces += s.face_ends.size();
    }
    if (pieces.size() > 1) {
        result.vertices.reserve(static_cast<size_t>(vertices));
        result.uvs.reserve(static_cast<size_t>(uvs));
        result.corners.reserve(static_cast<size_t>(corners));
        if (any_uv) result.corner_uvs.reserve(static_cast<size_t>(corners));
        result.face_ends.reserve(faces);
    }
    int64_t v = 0, t = 0;
    for (Piece& s : pieces) {
        const size_t corner_base = result.corners.size();
        for (size_t c : s.relative_vertex_corners)
            s.corners[c] += static_cast<int32_t>(v);
        for (size_t c : s.relative_uv_corners)
            s.corner_uvs[c] += static_cast<int32_t>(t);
        if (corner_base != 0)
            for (int32_t& e : s.face_ends)
                e += static_cast<int32_t>(corner_base);
        if (any_uv) s.corner_uvs.resize(s.corners.size(), -1);
        v += static_cast<int64_t>(s.vertices.size());
        t += static_cast<int64_t>(s.uvs.size());
        append(result.vertices, s.vertices);
        append(result.uvs, s.uvs);
        append(result.corners, s.corners);
        if (any_uv) append(result.corner_uvs, s.corner_uvs);
        append(result.face_ends, s.face_ends);
    }

    if (warnings) {
        int64_t lines = 0, line_statements = 0, point_statements = 0;
        int64_t short_face = 0, ignored = 0;
        std::string ignored_word;
        for (const Piece& s : pieces) {
            if (!short_face && s.short_face_line) short_face = lines + s.short_face_line;
            if (!ignored && s.ignored_line) {
                ignored = lines + s.ignored_line;
                ignored_word = s.ignored_word;
            }
            line_statements += s.line_statements;
            point_statements += s.point_statements;
            lines += s.lines;
        }
        const std::string short_warning = "line " + std::to_string(short_face) +
                                          ": a face of fewer than three corners is left out";
        const std::string ignored_warning =
            "line " + std::to_string(ignored) + ": '" + ignored_word +
            "' statements (free-form geometry, render attributes) are not kept";
        if (short_face && (!ignored || short_face < ignored)) warnings->push_back(short_warning);
        if (ignored) warnings->push_back(ignored_warning);
        if (short_face && ignored && short_face > ignored) warnings->push_back(short_warning);
        if (line_statements)
            warnings->push_back(std::to_string(line_statements) +
                                " lines ('l') are not kept as lines, only their vertices");
        if (point_statements)
            warnings->push_back(std::to_string(point_statements) +
                                " point statements ('p') are not kept, only their vertices");
    }
    *mesh = std::move(result);
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

bool parse_obj_bytes(const char* data, size_t size, Mesh* mesh, std::string* error,
                     std::vector<std::string>* warnings, int pieces) {
    try {
        std::string converted;
        const char *begin = nullptr, *end = nullptr;
        if (!find_text(data, size, &converted, &begin, &end, error)) return false;
        const std::vector<const char*> starts = piece_starts(begin, end, pieces);
        std::vector<Piece> read(starts.size());
        for (size_t k = 0; k < starts.size(); ++k) {
            read[k].begin = starts[k];
            read[k].end = k + 1 < starts.size() ? starts[k + 1] : end;
            read[k].first = k == 0;
        }
        std::vector<std::thread> helpers;
        helpers.reserve(read.size());
        size_t by_helpers = 0;
        try {
            for (size_t k = 1; k < read.size(); ++k, ++by_helpers)
                helpers.emplace_back(read_piece_guarded, std::ref(read[k]));
        } catch (...) {
            // No thread to be had: this one reads the rest.
        }
        read_piece_guarded(read[0]);
        for (size_t k = 1 + by_helpers; k < read.size(); ++k)
            read_piece_guarded(read[k]);
        for (std::thread& helper : helpers)
            helper.join();
        return join(read, mesh, error, warnings);
    } catch (const std::bad_alloc&) {
        *error = "not enough memory to read the mesh";
        return false;
    }
}

bool parse_obj_text(const std::string& bytes, Mesh* mesh, std::string* error,
                    std::vector<std::string>* warnings) {
    return parse_obj_bytes(bytes.data(), bytes.size(), mesh, error, warnings);
}

bool load_obj(const std::string& path, Mesh* mesh, std::string* error,
              std::vector<std::string>* warnings) {
    // The size the file has, read in one go into memory left as it comes (a pipe, or a file that
    // grew meanwhile, is read on to its end).
    std::error_code no_size;
    uintmax_t expected = std::filesystem::file_size(path, no_size);
    if (no_size) expected = 0;
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "rb"),
                                                         std::fclose);
    std::unique_ptr<char[]> bytes;
    size_t size = 0;
    bool read = file != nullptr;
    try {
        size_t room = static_cast<size_t>(std::min<uintmax_t>(expected, SIZE_MAX / 2)) + 1;
        bytes.reset(new char[room]);
        while (read) {
            size += std::fread(bytes.get() + size, 1, room - size, file.get());
            if (size < room || room >= SIZE_MAX / 4) break;
            std::unique_ptr<char[]> more(new char[room * 2]);
            std::memcpy(more.get(), bytes.get(), size);
            bytes = std::move(more);
            room *= 2;
        }
        read = read && !std::ferror(file.get()) && std::feof(file.get());
    } catch (const std::bad_alloc&) {
        *error = "not enough memory to read " + path;
        return false;
    }
    if (!read) {
        *error = "cannot read " + path;
        return false;
    }
    file.reset();
    if (!parse_obj_bytes(bytes.get(), size, mesh, error, warnings)) {
        *error = path + ": " + *error;
        return false;
    }
    bytes.reset();
    const std::filesystem::path folder = std::filesystem::path(path).parent_path();
    for (const std::string& library : mesh->material_libraries) {
        std::error_code ignored;
        if (warnings && !std::filesystem::is_regular_file(folder / library, ignored))
            warnings->push_back(path + ": material library '" + library +
                                "' not found; its materials show untextured");
    }
    return true;
}
