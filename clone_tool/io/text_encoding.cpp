#include "io/text_encoding.h"

#include <cstdint>
#include <cstdio>
#include <cstring>

namespace {

std::string where(const std::string& text, size_t at) {
    size_t line = 1, line_start = 0;
    for (size_t i = 0; i < at; ++i)
        if (text[i] == '\n') ++line, line_start = i + 1;
    return "line " + std::to_string(line) + ", byte " + std::to_string(at - line_start + 1);
}

std::string hex(unsigned value, int digits) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "0x%0*X", digits, value);
    return buffer;
}

void append_utf8(std::string& out, uint32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// Length of the well-formed UTF-8 sequence at text[at], or 0.
size_t utf8_length(const char* text, size_t size, size_t at) {
    const auto byte = [&](size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(at);
    if (lead < 0x80) return 1;
    size_t length;
    uint32_t c;
    if (lead >= 0xC2 && lead <= 0xDF)
        length = 2, c = lead & 0x1F;
    else if (lead >= 0xE0 && lead <= 0xEF)
        length = 3, c = lead & 0x0F;
    else if (lead >= 0xF0 && lead <= 0xF4)
        length = 4, c = lead & 0x07;
    else
        return 0;
    if (at + length > size) return 0;
    for (size_t i = 1; i < length; ++i) {
        if ((byte(at + i) & 0xC0) != 0x80) return 0;
        c = (c << 6) | (byte(at + i) & 0x3F);
    }
    const uint32_t least[] = {0, 0, 0x80, 0x800, 0x10000};
    if (c < least[length] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return 0;
    return length;
}

bool from_utf16(const char* bytes, size_t size, bool big_endian, std::string* text,
                std::string* error) {
    if (size % 2) {
        *error = "UTF-16 text with an odd number of bytes: the file is cut short";
        return false;
    }
    std::string out;
    out.reserve(size / 2);
    const auto unit = [&](size_t i) {
        const unsigned a = static_cast<unsigned char>(bytes[i]);
        const unsigned b = static_cast<unsigned char>(bytes[i + 1]);
        return big_endian ? (a << 8 | b) : (b << 8 | a);
    };
    for (size_t i = 2; i < size; i += 2) {
        uint32_t c = unit(i);
        if (c >= 0xD800 && c <= 0xDBFF && i + 3 < size && unit(i + 2) >= 0xDC00 &&
            unit(i + 2) <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (unit(i + 2) - 0xDC00);
            i += 2;
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            *error = where(out, out.size()) + ": UTF-16 unit " + hex(c, 4) +
                     " is half of a character whose other half is missing";
            return false;
        }
        if (c == 0) {
            *error = where(out, out.size()) + ": a NUL character in the text";
            return false;
        }
        append_utf8(out, c);
    }
    *text = std::move(out);
    return true;
}

bool starts_with(const char* bytes, size_t size, const char* mark, size_t length) {
    return size >= length && std::memcmp(bytes, mark, length) == 0;
}

} // namespace

bool find_text(const char* data, size_t size, std::string* converted, const char** begin,
               const char** end, std::string* error) {
    if (starts_with(data, size, "\xFF\xFE\0\0", 4) || starts_with(data, size, "\0\0\xFE\xFF", 4)) {
        *error = "UTF-32 text is not read: save the file as UTF-8 or UTF-16";
        return false;
    }
    const bool little = starts_with(data, size, "\xFF\xFE", 2);
    if (little || starts_with(data, size, "\xFE\xFF", 2)) {
        if (!from_utf16(data, size, !little, converted, error)) return false;
        *begin = converted->data();
        *end = *begin + converted->size();
        return true;
    }
    const size_t start = starts_with(data, size, "\xEF\xBB\xBF", 3) ? 3 : 0;
    *begin = data + start;
    *end = data + size;
    return true;
}

size_t first_foreign_byte(const char* begin, const char* end, bool any_code_page,
                          std::string* what) {
    const size_t size = static_cast<size_t>(end - begin);
    for (size_t i = 0; i < size;) {
        if (begin[i] == '\0') {
            *what = "a NUL byte (UTF-16 without a byte-order mark, or not a text file)";
            return i;
        }
        if (any_code_page || static_cast<unsigned char>(begin[i]) < 0x80) {
            ++i;
            continue;
        }
        const size_t length = utf8_length(begin, size, i);
        if (length == 0) {
            *what = hex(static_cast<unsigned char>(begin[i]), 2) +
                    " is not UTF-8 (only names and comments may be in another code page; save "
                    "the file as UTF-8, or UTF-16 with a byte-order mark)";
            return i;
        }
        i += length;
    }
    return size;
}
