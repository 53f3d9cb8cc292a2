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

const char* skip_digits(const char* p) {
    while (is_digit(*p))
        ++p;
    return p;
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
    const char* p = text;
    while (is_space(*p))
        ++p;
    const char* start = p;
    if (*p == '+' || *p == '-') ++p;
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
        if (*q == '+' || *q == '-') ++q;
        if (is_digit(*q)) p = skip_digits(q);
    }

    // Only the number just scanned reaches strtod, with the point spelled as the C runtime's
    // current locale wants it: a host that switched locales must not change what "1.5" means.
    char number[256];
    long length = p - start;
    if (length >= static_cast<long>(sizeof number)) return 0;
    const char* point = std::localeconv()->decimal_point;
    for (long i = 0; i < length; ++i)
        number[i] = start[i] == '.' && point != nullptr && point[0] != '\0' ? point[0] : start[i];
    number[length] = '\0';
    double parsed = std::strtod(number, nullptr);
    // Doubles from here up round to infinity as floats (FLT_MAX plus half an ulp).
    if (!(std::fabs(parsed) < 0x1.ffffffp127)) return 0;
    *value = parsed;
    return 1;
}

int parse_integer_text(const char* text, int32_t* value) {
    const char* p = text;
    while (is_space(*p))
        ++p;
    bool negative = *p == '-';
    if (*p == '+' || *p == '-') ++p;
    int64_t magnitude = 0;
    for (; is_digit(*p); ++p) {
        magnitude = magnitude * 10 + (*p - '0');
        if (magnitude > 2147483648LL) return 0;
    }
    int64_t result = negative ? -magnitude : magnitude;
    if (result > INT32_MAX) return 0;
    *value = static_cast<int32_t>(result);
    return 1;
}
