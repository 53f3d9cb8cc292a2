#include "dialog/number_text.h"

#include <clocale>
#include <cmath>
#include <cstdlib>

namespace {

// Writes the decimal digits of value; returns the end of the text.
char* write_digits(uint64_t value, char* out) {
    char reversed[20];
    int count = 0;
    do {
        reversed[count++] = static_cast<char>('0' + value % 10);
        value /= 10;
    } while (value != 0);
    while (count > 0) {
        *out++ = reversed[--count];
    }
    return out;
}

// Writes mantissa * 2^exponent exactly, for the integers of 2^24 and beyond that a float holds
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
        if (carry != 0) {
            digits[count++] = static_cast<unsigned char>(carry);
        }
    }
    while (count > 0) {
        *out++ = static_cast<char>('0' + digits[--count]);
    }
    return out;
}

bool is_space(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool is_digit(char c) { return c >= '0' && c <= '9'; }

const char* skip_digits(const char* p) {
    while (is_digit(*p)) {
        ++p;
    }
    return p;
}

} // namespace

void format_one_decimal(float value, char* out) {
    double magnitude = std::fabs(static_cast<double>(value));
    if (std::isnan(magnitude)) {
        out[0] = 'n', out[1] = 'a', out[2] = 'n', out[3] = '\0';
        return;
    }
    if (std::signbit(value)) {
        *out++ = '-';
    }
    if (std::isinf(magnitude)) {
        out[0] = 'i', out[1] = 'n', out[2] = 'f', out[3] = '\0';
        return;
    }
    if (magnitude < 16777216.0) {
        // Below 2^24 tenths fit in 64 bits, and a float times 10 (24 + 4 bits) is exact in a
        // double, so the first omitted digit is judged on the value's exact decimal expansion.
        double tenths = magnitude * 10.0;
        uint64_t whole = static_cast<uint64_t>(tenths);
        if (tenths - static_cast<double>(whole) >= 0.5) {
            ++whole;
        }
        out = write_digits(whole / 10, out);
        *out++ = '.';
        *out++ = static_cast<char>('0' + whole % 10);
    } else {
        // From 2^24 on every float is an integer: mantissa * 2^exponent, written exactly.
        int exponent = 0;
        double fraction = std::frexp(magnitude, &exponent);
        uint32_t mantissa = static_cast<uint32_t>(std::ldexp(fraction, 24));
        out = write_big_integer(mantissa, exponent - 24, out);
        *out++ = '.';
        *out++ = '0';
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
    const char* p = text;
    while (is_space(*p)) {
        ++p;
    }
    const char* start = p;
    if (*p == '+' || *p == '-') {
        ++p;
    }
    const char* integer_end = skip_digits(p);
    bool has_digits = integer_end != p;
    p = integer_end;
    if (*p == '.') {
        const char* fraction_end = skip_digits(p + 1);
        has_digits = has_digits || fraction_end != p + 1;
        p = fraction_end;
    }
    if (!has_digits) {
        *value = 0.0;
        return 1;
    }
    if (*p == 'e' || *p == 'E') {
        const char* q = p + 1;
        if (*q == '+' || *q == '-') {
            ++q;
        }
        if (is_digit(*q)) {
            p = skip_digits(q);
        }
    }

    // Only the number just scanned reaches strtod, with the point spelled as the C runtime's
    // current locale wants it: a host that switched locales must not change what "1.5" means.
    char number[256];
    long length = p - start;
    if (length >= static_cast<long>(sizeof number)) {
        return 0;
    }
    const char* point = std::localeconv()->decimal_point;
    for (long i = 0; i < length; ++i) {
        number[i] = start[i] == '.' && point != nullptr && point[0] != '\0' ? point[0] : start[i];
    }
    number[length] = '\0';
    double parsed = std::strtod(number, nullptr);
    // Doubles from here up round to infinity as floats (FLT_MAX plus half an ulp).
    if (!(std::fabs(parsed) < 0x1.ffffffp127)) {
        return 0;
    }
    *value = parsed;
    return 1;
}

int parse_integer_text(const char* text, int32_t* value) {
    const char* p = text;
    while (is_space(*p)) {
        ++p;
    }
    bool negative = *p == '-';
    if (*p == '+' || *p == '-') {
        ++p;
    }
    int64_t magnitude = 0;
    for (; is_digit(*p); ++p) {
        magnitude = magnitude * 10 + (*p - '0');
        if (magnitude > 2147483648LL) {
            return 0;
        }
    }
    int64_t result = negative ? -magnitude : magnitude;
    if (result > INT32_MAX) {
        return 0;
    }
    *value = static_cast<int32_t>(result);
    return 1;
}
