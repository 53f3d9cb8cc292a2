// The settings dialog's template as compiled into the module: the standard (not extended) form,
// and each of its 36 controls with its style, place, class and text.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "dialog/module_instance.h"

namespace {

struct TemplateReader {
    const uint8_t* p;
    uint16_t word() {
        uint16_t value;
        std::memcpy(&value, p, 2);
        p += 2;
        return value;
    }
    uint32_t dword() {
        uint32_t value;
        std::memcpy(&value, p, 4);
        p += 4;
        return value;
    }
    std::u16string text() { // a NUL-terminated UTF-16 string
        std::u16string value;
        for (uint16_t c = word(); c != 0; c = word())
            value += static_cast<char16_t>(c);
        return value;
    }
    // Ordinal (0xFFFF, n) as "#n", otherwise the string.
    std::u16string name_or_ordinal() {
        uint16_t first;
        std::memcpy(&first, p, 2);
        if (first == 0xFFFF) {
            p += 2;
            uint16_t ordinal = word();
            std::string number = "#" + std::to_string(ordinal);
            return std::u16string(number.begin(), number.end());
        }
        return text();
    }
    void align(const uint8_t* base) {
        while ((p - base) % 4 != 0)
            ++p;
    }
};

struct Item {
    uint32_t style;
    int id;
    std::u16string window_class;
    std::u16string text;
    short x, y, w, h;
};

std::u16string upper(std::u16string s) {
    for (char16_t& c : s)
        if (c >= u'a' && c <= u'z') c = static_cast<char16_t>(c - u'a' + u'A');
    return s;
}

TEST(DialogTemplate, IsTheStandardTemplateWithAll36Controls) {
    HMODULE module = static_cast<HMODULE>(module_instance);
    HRSRC found = FindResourceExA(module, MAKEINTRESOURCEA(5), MAKEINTRESOURCEA(102),
                                  MAKELANGID(LANG_JAPANESE, SUBLANG_JAPANESE_JAPAN));
    ASSERT_NE(found, nullptr);
    const uint8_t* base = static_cast<const uint8_t*>(LockResource(LoadResource(module, found)));
    ASSERT_NE(base, nullptr);
    TemplateReader r{base};
    EXPECT_EQ(r.dword(), 0x80C800C0u); // not 0xFFFF0001: the standard form, not DIALOGEX
    EXPECT_EQ(r.dword(), 0u);
    ASSERT_EQ(r.word(), 36);
    EXPECT_EQ(r.word(), 0);
    EXPECT_EQ(r.word(), 0);
    EXPECT_EQ(r.word(), 223);
    EXPECT_EQ(r.word(), 98);
    EXPECT_EQ(r.name_or_ordinal(), u""); // no menu
    EXPECT_EQ(r.name_or_ordinal(), u""); // default class
    EXPECT_EQ(r.text(), u"Quorvel - Clone -");
    EXPECT_EQ(r.word(), 9);
    EXPECT_EQ(r.text(), u"\uFF2D\uFF33 \uFF30\u30B4\u30B7\u30C3\u30AF");

    const uint32_t edit = 0x50810080, spin = 0x50000036, check = 0x50010003, label = 0x50020000,
                   default_button = 0x50010001, button = 0x50010000, group_box = 0x50008007;
    const std::u16string e = u"#129", b = u"#128", s = u"#130", ud = u"MSCTLS_UPDOWN32";
    const std::vector<Item> expected = {
        {edit, 1000, e, u"", 39, 12, 35, 12},
        {edit, 1001, e, u"", 79, 12, 35, 12},
        {edit, 1002, e, u"", 119, 12, 35, 12},
        {edit, 1003, e, u"", 39, 43, 35, 12},
        {spin, 1018, ud, u"Spin1", 69, 41, 10, 14},
        {edit, 1004, e, u"", 79, 43, 35, 12},
        {spin, 1021, ud, u"Spin1", 109, 41, 10, 14},
        {edit, 1005, e, u"", 119, 43, 35, 12},
        {spin, 1024, ud, u"Spin1", 151, 43, 10, 14},
        {edit, 1009, e, u"", 39, 61, 35, 12},
        {spin, 1019, ud, u"Spin1", 71, 59, 10, 14},
        {edit, 1010, e, u"", 79, 61, 35, 12},
        {spin, 1022, ud, u"Spin1", 110, 59, 10, 14},
        {edit, 1011, e, u"", 119, 61, 35, 12},
        {spin, 1025, ud, u"Spin1", 150, 60, 10, 14},
        {edit, 1012, e, u"", 39, 79, 35, 12},
        {spin, 1020, ud, u"Spin1", 69, 77, 10, 14},
        {edit, 1013, e, u"", 79, 79, 35, 12},
        {spin, 1023, ud, u"Spin1", 110, 77, 10, 14},
        {edit, 1014, e, u"", 119, 79, 35, 12},
        {spin, 1026, ud, u"Spin1", 150, 77, 10, 14},
        {edit, 1015, e, u"", 175, 12, 35, 12},
        {spin, 1017, ud, u"Spin1", 206, 11, 10, 14},
        {check, 1016, b, u"\uFF8C\uFF9F\uFF9A\uFF8B\uFF9E\uFF6D\uFF70", 174, 39, 39, 10},
        {default_button, 1, b, u"OK", 166, 59, 50, 14},
        {button, 2, b, u"\uFF77\uFF6C\uFF9D\uFF7E\uFF99", 166, 77, 50, 14},
        {label, 0xFFFF, s, u"基準点", 9, 14, 22, 8},
        {label, 0xFFFF, s, u"拡大縮小", 7, 45, 28, 8},
        {label, 0xFFFF, s, u"回転", 13, 63, 15, 8},
        {label, 0xFFFF, s, u"直線運動", 7, 81, 28, 8},
        {label, 0xFFFF, s, u"X", 54, 3, 8, 8},
        {label, 0xFFFF, s, u"Y", 94, 3, 8, 8},
        {label, 0xFFFF, s, u"Z", 133, 3, 8, 8},
        {check, 1008, b, u"オブジェクトの中心を基準にする", 48, 26, 109, 10},
        {label, 0xFFFF, s, u"繰り返し数", 169, 2, 32, 8},
        {group_box, 0xFFFF, b, u"取り扱い注意", 166, 29, 50, 24},
    };
    for (size_t i = 0; i < expected.size(); ++i) {
        SCOPED_TRACE("control " + std::to_string(i));
        const Item& want = expected[i];
        r.align(base);
        EXPECT_EQ(r.dword(), want.style);
        EXPECT_EQ(r.dword(), 0u);
        EXPECT_EQ(static_cast<short>(r.word()), want.x);
        EXPECT_EQ(static_cast<short>(r.word()), want.y);
        EXPECT_EQ(static_cast<short>(r.word()), want.w);
        EXPECT_EQ(static_cast<short>(r.word()), want.h);
        EXPECT_EQ(r.word(), want.id);
        // The resource compiler upper-cases class names; the platform compares them case-blind.
        EXPECT_EQ(upper(r.name_or_ordinal()), want.window_class);
        EXPECT_EQ(r.name_or_ordinal(), want.text);
        EXPECT_EQ(r.word(), 0); // no creation data
    }
}

} // namespace
