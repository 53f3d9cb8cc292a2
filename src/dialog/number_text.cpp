#include "dialog/number_text.h"

#include <clocale>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace {

// Writes the decimal digits of value; returns the end of the text.
char* write_digits(uint64_t value, char* out) {
    char reversed[20];
    int count = 0;
    do {
        reversed[count++] = static_cast<char>('0' + value % 10);
        value /= 10;
    } while (value != 0);
    while (count > 0)
        *out++ = reversed[--count];
    return out;
}

// Writes mantissa * 2^exponent exactly, for the integers of 2^23 and beyond that a float holds
// (up to 2^128, 39 digits). Little-endian decimal digits, doubled exponent times.
char* write_big_integer(uint32_t mantissa, int exponent, char* out) {
    unsigned char digits[42];
    int count = 0;
    while (mantissa != 0) {
        digits[count++] = static_cast<unsigned char>(mantissa % 10);
        mantissa /= 10;
    }
    for (int step = 0; step < exponent; ++step) {
        int carry = 0;
        for (int i = 0; i < count; ++i) {
            int doubled = digits[i] * 2 + carry;
            digits[i] = static_cast<unsigned char>(doubled % 10);
            carry = doubled / 10;
        }
        if (carry != 0) digits[count++] = static_cast<unsigned char>(carry);
    }
    while (count > 0)
        *out++ = static_cast<char>('0' + digits[--count]);
    return out;
}

bool is_space(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool is_digit(char c) { return c >= '0' && c <= '9'; }

// The edits' texts are code page 932, where a lead byte and the byte after it are one character.
bool is_lead_byte(unsigned char byte) {
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

// What a double-byte character that no number holds reads as.
const char not_a_number_char = '\x01';

// The full-width characters a Japanese input method types for a number, read as ASCII.
char ascii_of_double_byte(unsigned pair) {
    if (pair >= 0x824F && pair <= 0x8258) return static_cast<char>('0' + (pair - 0x824F));
    if (pair == 0x817B) return '+';
    if (pair == 0x817C) return '-';
    if (pair == 0x8144) return '.';
    return not_a_number_char;
}

// Walks a text one character at a time, seeing each as its ASCII form; a lead byte never splits
// from its trail, so a trail byte that looks like ASCII is never read as ASCII.
struct TextCursor {
    const char* p;

    char peek() const {
        const unsigned char first = static_cast<unsigned char>(p[0]);
        if (!is_lead_byte(first)) return p[0];
        if (p[1] == '\0') return not_a_number_char; // a lead byte cut off by the edit's buffer
        return ascii_of_double_byte(static_cast<unsigned>(first) << 8 |
                                    static_cast<unsigned char>(p[1]));
    }
    void next() { p += is_lead_byte(static_cast<unsigned char>(p[0])) && p[1] != '\0' ? 2 : 1; }
};

// Moves past the digits at the cursor; true when there was at least one.
bool skip_digits(TextCursor& cursor) {
    const char* start = cursor.p;
    while (is_digit(cursor.peek()))
        cursor.next();
    return cursor.p != start;
}

} // namespace

void format_one_decimal(float value, char* out) {
    // Worked on the value's bits with integers only, so the text does not depend on the
    // precision or rounding mode that the calling thread's floating-point unit is set to.
    uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    const uint32_t biased = (bits >> 23) & 0xFF;
    const uint32_t fraction = bits & 0x7FFFFF;
    if (biased == 0xFF && fraction != 0) {
        out[0] = 'n', out[1] = 'a', out[2] = 'n', out[3] = '\0';
        return;
    }
    if (bits >> 31) *out++ = '-';
    if (biased == 0xFF) {
        out[0] = 'i', out[1] = 'n', out[2] = 'f', out[3] = '\0';
        return;
    }
    // The magnitude is exactly mantissa * 2^exponent.
    const uint32_t mantissa = biased == 0 ? fraction : fraction | 0x800000;
    const int exponent = (biased == 0 ? 1 : static_cast<int>(biased)) - 150;
    if (exponent >= 0) {
        // From 2^23 on every float is an integer, written exactly.
        out = write_big_integer(mantissa, exponent, out);
        *out++ = '.';
        *out++ = '0';
    } else {
        // Tenths: mantissa * 10 / 2^shift, rounded up when the remainder is half or more (the
        // first omitted digit is 5 or more). Below 2^-40 nothing reaches the first decimal.
        const int shift = -exponent;
        const uint64_t scaled = static_cast<uint64_t>(mantissa) * 10;
        uint64_t whole = 0;
        if (shift < 40) {
            const uint64_t unit = uint64_t{1} << shift;
            whole = scaled >> shift;
            if ((scaled & (unit - 1)) >= unit / 2) ++whole;
        }
        out = write_digits(whole / 10, out);
        *out++ = '.';
        *out++ = static_cast<char>('0' + whole % 10);
    }
    *out = '\0';
}

void format_integer(int32_t value, char* out) {
    int64_t wide = value;
    if (wide < 0) {
        *out++ = '-';
        wide = -wide;
    }
    out = write_digits(static_cast<uint64_t>(wide), out);
    *out = '\0';
}

int parse_float_text(const char* text, double* value) {
    TextCursor cursor{text};
    while (is_space(cursor.peek()))
        cursor.next();
    const TextCursor start = cursor;
    if (cursor.peek() == '+' || cursor.peek() == '-') cursor.next();
    bool has_digits = skip_digits(cursor);
    if (cursor.peek() == '.') {
        cursor.next();
        has_digits = skip_digits(cursor) || has_digits;
    }
    if (!has_digits) {
        *value = 0.0;
        return 1;
    }
    if (cursor.peek() == 'e' || cursor.peek() == 'E') {
        TextCursor exponent = cursor;
        exponent.next();
        if (exponent.peek() == '+' || exponent.peek() == '-') exponent.next();
        if (skip_digits(exponent)) cursor = exponent;
    }

    // Only the number just scanned reaches strtod, in ASCII, with the point spelled as the C
    // runtime's current locale wants it: a host that switched locales must not change what "1.5"
    // means.
    char number[256];
    int length = 0;
    const char* point = std::localeconv()->decimal_point;
    const char point_char = point != nullptr && point[0] != '\0' ? point[0] : '.';
    for (TextCursor at = start; at.p != cursor.p; at.next()) {
        if (length == static_cast<int>(sizeof number) - 1) return 0;
        const char c = at.peek();
        number[length++] = c == '.' ? point_char : c;
    }
    number[length] = '\0';
    double parsed = std::strtod(number, nullptr);
    // Doubles from here up round to infinity as floats (FLT_MAX plus half an ulp).
    if (!(std::fabs(parsed) < 0x1.ffffffp127)) return 0;
    *value = parsed;
    return 1;
}

namespace {

// The leading integer at the cursor, which ends up after it; 0 when it lies outside the 32-bit
// range. digits tells whether there was one.
int read_integer(TextCursor& cursor, int32_t* value, bool* digits) {
    while (is_space(cursor.peek()))
        cursor.next();
    const bool negative = cursor.peek() == '-';
    if (negative || cursor.peek() == '+') cursor.next();
    const char* first_digit = cursor.p;
    int64_t magnitude = 0;
    for (; is_digit(cursor.peek()); cursor.next()) {
        magnitude = magnitude * 10 + (cursor.peek() - '0');
        if (magnitude > 2147483648LL) return 0;
    }
    *digits = cursor.p != first_digit;
    int64_t result = negative ? -magnitude : magnitude;
    if (result > INT32_MAX) return 0;
    *value = static_cast<int32_t>(result);
    return 1;
}

} // namespace

int parse_integer_text(const char* text, int32_t* value) {
    TextCursor cursor{text};
    bool digits = false;
    return read_integer(cursor, value, &digits);
}

int parse_whole_integer_text(const char* text, int32_t* value) {
    TextCursor cursor{text};
    bool digits = false;
    int32_t read = 0;
    if (!read_integer(cursor, &read, &digits) || !digits || cursor.peek() != '\0') return 0;
    *value = read;
    return 1;
}
