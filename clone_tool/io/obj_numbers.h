// The OBJ reader's words and numbers: read in place, where a line's bytes lie. Included only by
// the statement reader, whose loops these are inlined into.
#pragma once

#include <fast_float/fast_float.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <string>

#include "io/obj_piece.h"

namespace obj_reading {
// Internal to the one unit that includes this, as if written in it.
namespace {

inline bool is_space(char c) { return c == ' ' || c == '\t' || c == '\f' || c == '\v'; }
inline bool is_line_end(char c) { return c == '\n' || c == '\r'; }
inline bool is_digit(char c) { return static_cast<unsigned char>(c - '0') < 10; }

inline const char* token_end(const char* p, const char* end) {
    while (p < end && !is_space(*p) && !is_line_end(*p))
        ++p;
    return p;
}

inline const char* skip_spaces(const char* p, const char* end) {
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
inline bool read_numbers(const char*& p, const char* end, int least, const char* what,
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

} // namespace
} // namespace obj_reading
