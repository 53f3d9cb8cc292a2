// The OBJ reader's statements: how one piece of the text is read, line by line, each statement
// by its handler in one table.
#include "io/obj_piece.h"

#include <array>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string_view>

#include "io/obj_numbers.h"
#include "io/text_encoding.h"

namespace obj_reading {

namespace {

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

// A statement's line, past its word: [rest, line_end) follows the word; [name, name_end) is
// that without the spaces around it.
struct Line {
    const char* word;
    size_t length;
    const char* rest;
    const char* line_end;
    const char* name;
    const char* name_end;
    int64_t line;
};

// Vertex positions and texture coordinates: read from the word on, to the line's end.
bool read_vertex(Piece& s, const char*& p, const char* end, std::string* failure) {
    std::array<float, 3> position;
    if (!read_numbers(p, end, 3, "coordinate", &position, failure)) return false;
    s.vertices.push_back(position);
    return true;
}

bool read_uv(Piece& s, const char*& p, const char* end, std::string* failure) {
    std::array<float, 2> uv;
    if (!read_numbers(p, end, 1, "texture coordinate", &uv, failure)) return false;
    s.uvs.push_back(uv);
    return true;
}

// Normals are the viewer's to derive; parameter-space vertices belong to curves.
void pass_over(Piece&, const Line&) {}

// "usemtl" alone ends a material; with anything after it, even only a space, it names one, and
// "" is a name a .mtl can give.
void use_material(Piece& s, const Line& l) {
    s.material.change(l.rest < l.line_end ? index_of(s.materials, l.name, l.name_end) : -1,
                      s.face_ends.size());
}

void start_group(Piece& s, const Line& l) {
    s.group.change(l.name == l.name_end ? -1 : index_of(s.groups, l.name, l.name_end),
                   s.face_ends.size());
}

// The first object's name names the mesh; each object is a group of its own.
void start_object(Piece& s, const Line& l) {
    if (s.object_name.empty()) s.object_name.assign(l.name, l.name_end);
    start_group(s, l);
}

void set_smoothing(Piece& s, const Line& l) {
    const std::string rest(l.name, l.name_end);
    s.smoothing.change(
        rest == "off" ? 0 : static_cast<uint32_t>(std::strtoul(rest.c_str(), nullptr, 10)),
        s.face_ends.size());
}

void name_library(Piece& s, const Line& l) {
    if (l.name != l.name_end) index_of(s.libraries, l.name, l.name_end);
}

void count_line(Piece& s, const Line&) { ++s.line_statements; }
void count_point(Piece& s, const Line&) { ++s.point_statements; }

// Free-form geometry and render attributes carry nothing the modeller's object keeps: passed
// over, the first said in a warning.
void note_ignored(Piece& s, const Line& l) {
    if (s.ignored_line != 0) return;
    s.ignored_line = l.line;
    s.ignored_word.assign(l.word, l.length);
}

// Every statement besides v, vt and f (which read their own numbers, in read_piece): each is
// handed its line once the line is checked for bytes no text holds. Names, and what is passed
// over unread, may be in any code page; numbers and words are ASCII.
struct Statement {
    std::string_view word;
    void (*handle)(Piece&, const Line&);
    bool any_code_page;
};

// The more frequent first: the lookup walks the list.
constexpr Statement statements[] = {
    {"vn", pass_over, false},           {"vp", pass_over, false},
    {"usemtl", use_material, true},     {"g", start_group, true},
    {"o", start_object, true},          {"s", set_smoothing, false},
    {"mtllib", name_library, true},     {"l", count_line, false},
    {"p", count_point, false},          {"cstype", note_ignored, true},
    {"deg", note_ignored, true},        {"bmat", note_ignored, true},
    {"step", note_ignored, true},       {"curv", note_ignored, true},
    {"curv2", note_ignored, true},      {"surf", note_ignored, true},
    {"parm", note_ignored, true},       {"trim", note_ignored, true},
    {"hole", note_ignored, true},       {"scrv", note_ignored, true},
    {"sp", note_ignored, true},         {"end", note_ignored, true},
    {"con", note_ignored, true},        {"mg", note_ignored, true},
    {"bevel", note_ignored, true},      {"c_interp", note_ignored, true},
    {"d_interp", note_ignored, true},   {"lod", note_ignored, true},
    {"usemap", note_ignored, true},     {"maplib", note_ignored, true},
    {"shadow_obj", note_ignored, true}, {"trace_obj", note_ignored, true},
    {"ctech", note_ignored, true},      {"stech", note_ignored, true},
};

// The statement of this word, or null (a blank line, a comment, or a word the format lacks).
const Statement* find_statement(const char* word, size_t length) {
    for (const Statement& statement : statements) {
        if (statement.word.size() != length || statement.word[0] != *word) continue;
        size_t i = 1;
        while (i < length && statement.word[i] == word[i])
            ++i;
        if (i == length) return &statement;
    }
    return nullptr;
}

// Passes over to the line's end, noting whether it holds a byte that is not plain ASCII; a
// foreign byte where the statement allows none ends the piece's reading.
bool check_line(Piece& s, const char*& p, const char* end, const char* line_start,
                bool any_code_page, int64_t line) {
    bool plain = true;
    for (; p < end && !is_line_end(*p); ++p)
        plain = plain && *p != '\0' && static_cast<unsigned char>(*p) < 0x80;
    if (plain) return true;
    std::string what;
    const size_t at = first_foreign_byte(line_start, p, any_code_page, &what);
    if (at >= static_cast<size_t>(p - line_start)) return true;
    s.failed_line = line;
    s.failure = ", byte " + std::to_string(at + 1) + ": " + what;
    return false;
}

// Hands a statement its line.
bool handle_line(Piece& s, const Statement* statement, const char* word, size_t length,
                 const char* line_end, int64_t line, std::string* failure) {
    if (!statement) {
        *failure = "unknown statement '" + std::string(word, length).substr(0, 40) + "'";
        return false;
    }
    Line l{word,     length, word + length, line_end, skip_spaces(word + length, line_end),
           line_end, line};
    while (l.name_end > l.name && is_space(l.name_end[-1]))
        --l.name_end;
    statement->handle(s, l);
    return true;
}

// Says why the piece's reading ended at this line: a byte no text holds says more than the
// statement it spoiled.
void fail_line(Piece& s, const char* line_start, const char* p, const char* end, int64_t line,
               const std::string& failure) {
    const char* line_end = p;
    while (line_end < end && !is_line_end(*line_end))
        ++line_end;
    std::string what;
    const size_t at = first_foreign_byte(line_start, line_end, false, &what);
    s.failed_line = line;
    s.failure = at < static_cast<size_t>(line_end - line_start)
                    ? ", byte " + std::to_string(at + 1) + ": " + what
                    : ": " + failure;
}

} // namespace

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
        // The three statements that make nearly every line are called directly: a call through
        // the table for each line cost a tenth of the rate.
        if (length == 1 && *word == 'v') {
            read = read_vertex(s, p, end, &failure);
        } else if (length == 1 && *word == 'f') {
            read = read_face(s, p, end, line, &failure);
        } else if (length == 2 && word[0] == 'v' && word[1] == 't') {
            read = read_uv(s, p, end, &failure);
        } else {
            const bool remark = length == 0 || *word == '#';
            const Statement* const statement = remark ? nullptr : find_statement(word, length);
            if (!check_line(s, p, end, line_start,
                            remark || (statement && statement->any_code_page), line))
                return;
            if (!remark) read = handle_line(s, statement, word, length, p, line, &failure);
        }
        if (!read) return fail_line(s, line_start, p, end, line, failure);
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

} // namespace obj_reading
