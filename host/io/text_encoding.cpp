#include "host/io/text_encoding.h"

#include <cstdint>
#include <cstdio>

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
size_t utf8_length(const std::string& text, size_t at) {
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
    if (at + length > text.size()) return 0;
    for (size_t i = 1; i < length; ++i) {
        if ((byte(at + i) & 0xC0) != 0x80) return 0;
        c = (c << 6) | (byte(at + i) & 0x3F);
    }
    const uint32_t least[] = {0, 0, 0x80, 0x800, 0x10000};
    if (c < least[length] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return 0;
    return length;
}

bool from_utf16(const std::string& bytes, bool big_endian, std::string* text, std::string* error) {
    if (bytes.size() % 2) {
        *error = "UTF-16 text with an odd number of bytes: the file is cut short";
        return false;
    }
    std::string out;
    out.reserve(bytes.size() / 2);
    const auto unit = [&](size_t i) {
        const unsigned a = static_cast<unsigned char>(bytes[i]);
        const unsigned b = static_cast<unsigned char>(bytes[i + 1]);
        return big_endian ? (a << 8 | b) : (b << 8 | a);
    };
    for (size_t i = 2; i < bytes.size(); i += 2) {
        uint32_t c = unit(i);
        if (c >= 0xD800 && c <= 0xDBFF && i + 3 < bytes.size() && unit(i + 2) >= 0xDC00 &&
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

bool starts_with(const std::string& bytes, const char* mark, size_t length) {
    return bytes.compare(0, length, mark, length) == 0;
}

} // namespace

bool text_as_utf8(const std::string& bytes, std::string* text, std::string* error) {
    if (starts_with(bytes, "\xFF\xFE\0\0", 4) || starts_with(bytes, "\0\0\xFE\xFF", 4)) {
        *error = "UTF-32 text is not read: save the file as UTF-8 or UTF-16";
        return false;
    }
    if (starts_with(bytes, "\xFF\xFE", 2)) return from_utf16(bytes, false, text, error);
    if (starts_with(bytes, "\xFE\xFF", 2)) return from_utf16(bytes, true, text, error);
    const size_t start = starts_with(bytes, "\xEF\xBB\xBF", 3) ? 3 : 0;
    for (size_t i = start; i < bytes.size();) {
        if (bytes[i] == '\0') {
            *error = where(bytes, i) +
                     ": a NUL byte (UTF-16 without a byte-order mark, or not a text file)";
            return false;
        }
        const size_t length = utf8_length(bytes, i);
        if (length == 0) {
            *error = where(bytes, i) + ": " + hex(static_cast<unsigned char>(bytes[i]), 2) +
                     " is not UTF-8 (save the file as UTF-8, or UTF-16 with a byte-order mark)";
            return false;
        }
        i += length;
    }
    *text = bytes.substr(start);
    return true;
}
