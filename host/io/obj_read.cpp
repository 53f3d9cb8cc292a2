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

#include "host/io/mesh.h"
#include "host/io/text_encoding.h"

namespace {

constexpr int most_corners = 255;
constexpr int64_t largest_index = INT32_MAX;
// Below this a file is read by one thread: starting another costs more than it saves.
constexpr size_t least_piece = size_t(4) << 20;

bool is_space(char c) { return c == ' ' || c == '\t' || c == '\f' || c == '\v'; }
bool is_line_end(char c) { return c == '\n' || c == '\r'; }
bool is_digit(char c) { return static_cast<unsigned char>(c - '0') < 10; }

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

int32_t index_of(std::vector<std::string>& names, const char* begin, const char* end) {
    const size_t length = static_cast<size_t>(end - begin);
    for (size_t i = names.size(); i-- > 0;)
        if (names[i].size() == length && std::memcmp(names[i].data(), begin, length) == 0)
            return static_cast<int32_t>(i);
    names.emplace_back(begin, end);
    return static_cast<int32_t>(names.size() - 1);
}

// Statements of the format that carry nothing the modeller's object keeps (free-form geometry,
// render attributes): passed over with a warning.
bool is_ignored_statement(const char* word, size_t length) {
    static const char* const words[] = {"cstype", "deg",        "bmat",      "step",  "curv",
                                        "curv2",  "surf",       "parm",      "trim",  "hole",
                                        "scrv",   "sp",         "end",       "con",   "mg",
                                        "bevel",  "c_interp",   "d_interp",  "lod",   "usemap",
                                        "maplib", "shadow_obj", "trace_obj", "ctech", "stech"};
    for (const char* w : words)
        if (std::strlen(w) == length && std::memcmp(w, word, length) == 0) return true;
    return false;
}

bool is_word(const char* word, size_t length, const char* name) {
    return std::strlen(name) == length && std::memcmp(word, name, length) == 0;
}

const char* token_end(const char* p, const char* end) {
    while (p < end && !is_space(*p) && !is_line_end(*p))
        ++p;
    return p;
}

const char* skip_spaces(const char* p, const char* end) {
    while (p < end && is_space(*p))
        ++p;
    return p;
}

enum class Number { read, not_a_number, beyond };

// This and the index readers below are inlined into their loops: a call for each number cost a
// sixth of the rate.
//
// The float nearest to the number at p, a plain decimal with an optional sign and exponent that
// ends at a space or the line's end. One too small for single precision reads as the nearest float
// (zero, or a subnormal).
[[gnu::always_inline]] inline Number read_coordinate(const char*& p, const char* end,
                                                     float* value) {
    if (*p == '+' && end - p > 1 && (is_digit(p[1]) || p[1] == '.')) ++p; // fast_float takes no '+'
    const char* const digits = p + (*p == '-');
    // Keeps "inf" and "nan", which fast_float would read, out.
    if (digits == end || !(is_digit(*digits) || *digits == '.')) return Number::not_a_number;
    const fast_float::from_chars_result read = fast_float::from_chars(p, end, *value);
    if (read.ptr < end && !is_space(*read.ptr) && !is_line_end(*read.ptr))
        return Number::not_a_number;
    if (read.ec == std::errc::result_out_of_range) {
        // Releases that report the range instead of giving infinity or zero.
        double wide = 0;
        fast_float::from_chars(p, read.ptr, wide);
        if (!(std::fabs(wide) < 1)) return Number::beyond;
        *value = std::signbit(wide) ? -0.0f : 0.0f;
    } else if (read.ec != std::errc()) {
        return Number::not_a_number;
    }
    if (std::isinf(*value)) return Number::beyond;
    p = read.ptr;
    return Number::read;
}

// The numbers of a "v" or "vt" statement: at least `least`, each a number single precision can
// hold; the first Kept of them go to *kept, zeros for those missing.
template <size_t Kept>
bool read_numbers(const char*& p, const char* end, int least, const char* what,
                  std::array<float, Kept>* kept, std::string* failure) {
    int count = 0;
    while (true) {
        p = skip_spaces(p, end);
        if (p == end || is_line_end(*p)) break;
        const char* const start = p;
        float value = 0;
        const Number read = read_coordinate(p, end, &value);
        if (read != Number::read) {
            const std::string text(start, token_end(start, end));
            *failure = read == Number::beyond
                           ? std::string(what) + " " + text +
                                 " is beyond single precision (largest 3.4e38)"
                           : std::string(what) + " '" + text + "' is not a number";
            return false;
        }
        if (count < static_cast<int>(Kept)) (*kept)[static_cast<size_t>(count)] = value;
        ++count;
    }
    if (count < least) {
        *failure =
            least == 3 ? "a vertex needs three numbers" : "a texture coordinate needs a number";
        return false;
    }
    for (; count < static_cast<int>(Kept); ++count)
        (*kept)[static_cast<size_t>(count)] = 0;
    return true;
}

// A whole number other than 0, with an optional sign, at most largest_index either way.
[[gnu::always_inline]] inline bool read_index(const char*& p, const char* end, int64_t* value) {
    const bool negative = p < end && *p == '-';
    if (p < end && (*p == '-' || *p == '+')) ++p;
    const char* const digits = p;
    uint64_t v = 0; // wraps only for more digits than are taken
    for (unsigned digit; p < end && (digit = static_cast<unsigned char>(*p) - 48u) < 10; ++p)
        v = v * 10 + digit;
    if (p == digits || p - digits > 10 || v == 0 || v > static_cast<uint64_t>(largest_index))
        return false;
    *value = negative ? -static_cast<int64_t>(v) : static_cast<int64_t>(v);
    return true;
}

// One corner: v, v/vt, v//vn or v/vt/vn. *uv is 0 when it names none.
[[gnu::always_inline]] inline bool read_corner(const char*& p, const char* end, int64_t* vertex,
                                               int64_t* uv) {
    int64_t normal = 0;
    *uv = 0;
    if (!read_index(p, end, vertex)) return false;
    if (p < end && *p == '/') {
        ++p;
        if (p < end && *p == '/') {
            ++p;
            if (!read_index(p, end, &normal)) return false;
        } else {
            if (!read_index(p, end, uv)) return false;
            if (p < end && *p == '/' && (++p, !read_index(p, end, &normal))) return false;
        }
    }
    return p == end || is_space(*p) || is_line_end(*p);
}

// Resolves and keeps one index of a corner; a relative one counts back from `count`, the number
// read so far in this piece. With the counts known, says in *out_of_range (when still empty) why
// it is out of range.
[[gnu::always_inline]] inline void keep_index(int64_t written, size_t count, size_t corner,
                                              bool first, const Known* known, const char* what,
                                              std::vector<int32_t>* kept,
                                              std::vector<size_t>* relative, Reach* reach,
                                              std::string* out_of_range) {
    const int64_t index = written > 0 ? written : static_cast<int64_t>(count) + written;
    kept->push_back(static_cast<int32_t>(written > 0 ? written - 1 : index));
    if (written < 0 && !first) relative->push_back(corner);
    if (written > reach->high) reach->high = written;
    if (written < 0 && index < reach->low) reach->low = index;
    if (known && out_of_range->empty()) {
        if (written > known->total)
            *out_of_range = "a face refers to " + std::string(what) + " " +
                            std::to_string(written) + " of " + std::to_string(known->total);
        else if (written < 0 && known->before + index < 0)
            *out_of_range = "a face refers to " + std::string(what) + " " +
                            std::to_string(written) + " of the " +
                            std::to_string(known->before + index - written) + " before it";
    }
}

bool read_face(Piece& s, const char*& p, const char* end, int64_t line, std::string* failure) {
    const size_t first_corner = s.corners.size();
    const Reach vertex_reach = s.vertex_reach, uv_reach = s.uv_reach;
    const size_t relative_vertices = s.relative_vertex_corners.size();
    const size_t relative_uvs = s.relative_uv_corners.size();
    int count = 0;
    bool any_uv = false;
    std::string out_of_range;
    while (true) {
        p = skip_spaces(p, end);
        if (p == end || is_line_end(*p)) break;
        const char* const start = p;
        if (++count > most_corners) {
            while (p < end && !is_line_end(*p)) {
                p = skip_spaces(token_end(p, end), end);
                count += p < end && !is_line_end(*p);
            }
            *failure = "a face of " + std::to_string(count) + " corners; at most " +
                       std::to_string(most_corners) + " are read";
            return false;
        }
        int64_t vertex = 0, uv = 0;
        if (!read_corner(p, end, &vertex, &uv)) {
            *failure = "face corner '" + std::string(start, token_end(start, end)).substr(0, 40) +
                       "' is not v, v/vt, v//vn or v/vt/vn, each a whole number from 1 (or back "
                       "from -1) to 2147483647";
            return false;
        }
        const size_t corner = s.corners.size();
        keep_index(vertex, s.vertices.size(), corner, s.first, s.known_vertices, "vertex",
                   &s.corners, &s.relative_vertex_corners, &s.vertex_reach, &out_of_range);
        if (uv != 0) {
            if (s.corner_uvs.size() < corner) s.corner_uvs.resize(corner, -1);
            keep_index(uv, s.uvs.size(), corner, s.first, s.known_uvs, "texture coordinate",
                       &s.corner_uvs, &s.relative_uv_corners, &s.uv_reach, &out_of_range);
            any_uv = true;
        } else if (!s.corner_uvs.empty()) {
            s.corner_uvs.push_back(-1);
        }
    }
    if (count < 3) { // carries nothing a polygon mesh keeps, and is not checked further
        s.corners.resize(first_corner);
        if (s.corner_uvs.size() > first_corner) s.corner_uvs.resize(first_corner);
        s.relative_vertex_corners.resize(relative_vertices);
        s.relative_uv_corners.resize(relative_uvs);
        s.vertex_reach = vertex_reach;
        s.uv_reach = uv_reach;
        if (s.short_face_line == 0) s.short_face_line = line;
        return true;
    }
    if (!out_of_range.empty()) {
        *failure = out_of_range;
        return false;
    }
    if (s.corners.size() >= static_cast<size_t>(largest_index)) {
        *failure = "more than 2147483647 face corners in all";
        return false;
    }
    s.any_uv = s.any_uv || any_uv;
    s.face_ends.push_back(static_cast<int32_t>(s.corners.size()));
    if (s.material.set) s.material.faces.push_back(s.material.value);
    if (s.group.set) s.group.faces.push_back(s.group.value);
    if (s.smoothing.set) s.smoothing.faces.push_back(s.smoothing.value);
    return true;
}

// The statements other than v, vt and f: names, states, and what is passed over. [p, line_end)
// is what follows the word.
bool read_other(Piece& s, const char* word, size_t length, const char* p, const char* line_end,
                int64_t line, std::string* failure) {
    const char* name = skip_spaces(p, line_end);
    const char* name_end = line_end;
    while (name_end > name && is_space(name_end[-1]))
        --name_end;
    const size_t faces = s.face_ends.size();
    if (is_word(word, length, "vn") || is_word(word, length, "vp")) {
        // Normals are the viewer's to derive; parameter-space vertices belong to curves.
    } else if (is_word(word, length, "usemtl")) {
        // "usemtl" alone ends a material; with anything after it, even only a space, it names
        // one, and "" is a name a .mtl can give.
        s.material.change(p < line_end ? index_of(s.materials, name, name_end) : -1, faces);
    } else if (is_word(word, length, "g") || is_word(word, length, "o")) {
        if (*word == 'o' && s.object_name.empty()) s.object_name.assign(name, name_end);
        s.group.change(name == name_end ? -1 : index_of(s.groups, name, name_end), faces);
    } else if (is_word(word, length, "s")) {
        const std::string rest(name, name_end);
        s.smoothing.change(
            rest == "off" ? 0 : static_cast<uint32_t>(std::strtoul(rest.c_str(), nullptr, 10)),
            faces);
    } else if (is_word(word, length, "mtllib")) {
        if (name != name_end) index_of(s.libraries, name, name_end);
    } else if (is_word(word, length, "l")) {
        ++s.line_statements;
    } else if (is_word(word, length, "p")) {
        ++s.point_statements;
    } else if (is_ignored_statement(word, length)) {
        if (s.ignored_line == 0) {
            s.ignored_line = line;
            s.ignored_word.assign(word, length);
        }
    } else {
        *failure = "unknown statement '" + std::string(word, length).substr(0, 40) + "'";
        return false;
    }
    return true;
}

// Names (and what is passed over unread) may be in any code page; numbers and words are ASCII.
bool takes_any_code_page(const char* word, size_t length) {
    return length == 0 || *word == '#' || is_word(word, length, "usemtl") ||
           is_word(word, length, "g") || is_word(word, length, "o") ||
           is_word(word, length, "mtllib") || is_ignored_statement(word, length);
}

void read_piece(Piece& s) {
    const char* p = s.begin;
    const char* const end = s.end;
    std::string failure;
    while (p < end) {
        const int64_t line = ++s.lines;
        const char* const line_start = p;
        p = skip_spaces(p, end);
        const char* const word = p;
        p = token_end(p, end);
        const size_t length = static_cast<size_t>(p - word);
        bool read = true;
        if (length == 1 && *word == 'v') {
            std::array<float, 3> position;
            read = read_numbers(p, end, 3, "coordinate", &position, &failure);
            if (read) s.vertices.push_back(position);
        } else if (length == 2 && word[0] == 'v' && word[1] == 't') {
            std::array<float, 2> uv;
            read = read_numbers(p, end, 1, "texture coordinate", &uv, &failure);
            if (read) s.uvs.push_back(uv);
        } else if (length == 1 && *word == 'f') {
            read = read_face(s, p, end, line, &failure);
        } else {
            // Finds the line's end, noting whether it holds a byte that is not plain ASCII.
            bool plain = true;
            for (; p < end && !is_line_end(*p); ++p)
                plain = plain && *p != '\0' && static_cast<unsigned char>(*p) < 0x80;
            const char* const line_end = p;
            if (!plain) {
                std::string what;
                const size_t at = first_foreign_byte(line_start, line_end,
                                                     takes_any_code_page(word, length), &what);
                if (at < static_cast<size_t>(line_end - line_start)) {
                    s.failed_line = line;
                    s.failure = ", byte " + std::to_string(at + 1) + ": " + what;
                    return;
                }
            }
            if (length != 0 && *word != '#')
                read = read_other(s, word, length, word + length, line_end, line, &failure);
        }
        if (!read) {
            // A byte no text holds says more than the statement it spoiled.
            const char* line_end = p;
            while (line_end < end && !is_line_end(*line_end))
                ++line_end;
            std::string what;
            const size_t at = first_foreign_byte(line_start, line_end, false, &what);
            s.failed_line = line;
            s.failure = at < static_cast<size_t>(line_end - line_start)
                            ? ", byte " + std::to_string(at + 1) + ": " + what
                            : ": " + failure;
            return;
        }
        // Lines end in LF, CR LF or a lone CR.
        if (p < end) p += (*p == '\r' && p + 1 < end && p[1] == '\n') ? 2 : 1;
    }
}

void read_piece_guarded(Piece& s) {
    try {
        read_piece(s);
    } catch (const std::exception&) { // memory ran out
        s.out_of_memory = true;
    }
}

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
