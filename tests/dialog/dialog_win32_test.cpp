// The real settings dialog under Wine: its template as compiled, and the dialog driven by control
// id from the thread whose run_clone_command runs the modal loop.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "clone/clone_settings.h"
#include "clone/command.h"
#include "clone/preview.h"
#include "dialog/dialog_ids.h"
#include "dialog/module_instance.h"
#include "document/document.h"
#include "document/host_functions.h"
#include "driver/dialog_driver.h"
#include "host_api/host_api.h"

// The template is linked into this program, so the program's own module holds it.
void* module_instance = GetModuleHandleA(nullptr);

namespace {

namespace drive = dialog_driver;

// The host registers the up-down class; here the test plays the host.
class CommonControls : public ::testing::Environment {
  public:
    void SetUp() override {
        INITCOMMONCONTROLSEX init{sizeof(INITCOMMONCONTROLSEX), ICC_UPDOWN_CLASS};
        ASSERT_TRUE(InitCommonControlsEx(&init));
    }
};
const auto* const common_controls = ::testing::AddGlobalTestEnvironment(new CommonControls);

// ---- The template ---------------------------------------------------------------------------

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

    const uint32_t edit = 0x50810080, spin = 0x50000036, check = 0x50010003, label = 0x50020000;
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
        {0x50010001, 1, b, u"OK", 166, 59, 50, 14},
        {0x50010000, 2, b, u"\uFF77\uFF6C\uFF9D\uFF7E\uFF99", 166, 77, 50, 14},
        {label, 0xFFFF, s, u"基準点", 9, 14, 22, 8},
        {label, 0xFFFF, s, u"拡大縮小", 7, 45, 28, 8},
        {label, 0xFFFF, s, u"回転", 13, 63, 15, 8},
        {label, 0xFFFF, s, u"直線運動", 7, 81, 28, 8},
        {label, 0xFFFF, s, u"X", 54, 3, 8, 8},
        {label, 0xFFFF, s, u"Y", 94, 3, 8, 8},
        {label, 0xFFFF, s, u"Z", 133, 3, 8, 8},
        {check, 1008, b, u"オブジェクトの中心を基準にする", 48, 26, 109, 10},
        {label, 0xFFFF, s, u"繰り返し数", 169, 2, 32, 8},
        {0x50008007, 0xFFFF, b, u"取り扱い注意", 166, 29, 50, 24},
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

// ---- The dialog, driven ---------------------------------------------------------------------

// A document whose current object has two vertices, centred at (1, 2, 3).
class CloneDialog : public ::testing::Test {
  protected:
    void SetUp() override {
        standin::bind_host_api(&host_api);
        clone_settings = CloneSettings{{0, 0, 0}, {1, 1, 1}, {0, 0, 0}, {0, 0, 0}, 5, 0, {0, 0, 0}};
        document = standin::create_document();
        object = standin::create_object("box");
        standin::add_vertex(*object, 0, 0, 0);
        standin::add_vertex(*object, 2, 4, 6);
        standin::set_current_object(*document, standin::add_object(*document, object));
        preview_state = PreviewState{document, 0, nullptr, 0, 0};
    }
    void TearDown() override { standin::destroy_document(document); }

    // Runs the command while script drives the dialog from this same thread (no second thread
    // whose timing could interleave with the modal loop); a dialog the script leaves open is
    // closed, so that a failed expectation cannot hang the run.
    int run(const std::function<void(HWND)>& script) {
        drive::ThreadDriver driver;
        driver.start(drive::clone_dialog_caption, script);
        int result = run_clone_command(document);
        if (!driver.finish()) ADD_FAILURE() << "the dialog did not open";
        return result;
    }

    standin::Document* document = nullptr;
    standin::Object* object = nullptr;
};

int spin_position(HWND dialog, int id) {
    return static_cast<int>(SendMessageA(drive::control(dialog, id), UDM_GETPOS32, 0, 0));
}

TEST_F(CloneDialog, OpensWithFreshSettingsAndOkMergesTheCopies) {
    int result = run([](HWND d) {
        for (int id : {1000, 1001, 1002, 1009, 1010, 1011, 1012, 1013, 1014})
            EXPECT_EQ(drive::text(d, id), "0.0") << id;
        for (int id : {1003, 1004, 1005})
            EXPECT_EQ(drive::text(d, id), "1.0") << id;
        EXPECT_EQ(drive::text(d, 1015), "5");
        EXPECT_FALSE(drive::checked(d, 1008));
        EXPECT_FALSE(drive::checked(d, 1016));
        EXPECT_EQ(drive::focus_id(d), 1000);
        // The Japanese texts survive the ANSI dialog call in the code page 932 locale.
        wchar_t label[64] = {};
        GetWindowTextW(drive::control(d, IDC_CANCEL), label, 64);
        EXPECT_EQ(std::wstring(label), L"\uFF77\uFF6C\uFF9D\uFF7E\uFF99");
        GetWindowTextW(drive::control(d, 1008), label, 64);
        EXPECT_EQ(std::wstring(label), L"オブジェクトの中心を基準にする");
        EXPECT_EQ(spin_position(d, 1017), 5);
        EXPECT_EQ(spin_position(d, 1018), 1);
        EXPECT_EQ(clone_settings.scale.y, 1.0f);
        drive::click(d, IDC_OK);
    });
    EXPECT_EQ(result, 1);
    EXPECT_EQ(standin::vertex_count(*object), 2 + 5 * 2);
    EXPECT_EQ(standin::object_count(*document), 1);
}

TEST_F(CloneDialog, ShowsStoredValuesWithOneDecimalAndHoldsSpinsToTheirRanges) {
    clone_settings.pivot.x = 0.25f;
    clone_settings.rotation.x = 400.0f;
    clone_settings.scale.y = 2.0f;
    clone_settings.repeat_count = 12;
    int result = run([](HWND d) {
        EXPECT_EQ(drive::text(d, 1000), "0.3");
        EXPECT_EQ(clone_settings.pivot.x, 0.3f);
        EXPECT_EQ(drive::text(d, 1009), "400.0");
        EXPECT_EQ(clone_settings.rotation.x, 400.0f);
        EXPECT_EQ(spin_position(d, 1019), 360);
        EXPECT_EQ(drive::text(d, 1004), "2.0");
        EXPECT_EQ(drive::text(d, 1015), "12");

        drive::click_spin(d, 1017, true); // steps from the integer shown
        EXPECT_EQ(drive::text(d, 1015), "13");
        EXPECT_EQ(clone_settings.repeat_count, 13);
        drive::set_text(d, 1015, "\x82\x50\x82\x51"); // 12 typed in full width, code page 932
        EXPECT_EQ(clone_settings.repeat_count, 12);
        drive::click_spin(d, 1017, true);
        EXPECT_EQ(drive::text(d, 1015), "13");
        drive::set_text(d, 1015, "0");
        drive::click_spin(d, 1017, false);
        EXPECT_EQ(drive::text(d, 1015), "0");
        drive::set_text(d, 1010, "360");
        drive::click_spin(d, 1022, true);
        EXPECT_EQ(drive::text(d, 1010), "360");
        EXPECT_EQ(clone_settings.rotation.y, 360.0f);

        drive::set_focus(d, 1011);
        drive::press_key(d, VK_UP);
        EXPECT_EQ(drive::text(d, 1011), "1");
        EXPECT_EQ(clone_settings.rotation.z, 1.0f);
        drive::press_key(d, VK_DOWN);
        drive::press_key(d, VK_DOWN);
        EXPECT_EQ(drive::text(d, 1011), "0");
        drive::press_key(d, VK_ESCAPE);
    });
    EXPECT_EQ(result, 0);
    EXPECT_EQ(clone_settings.repeat_count, 0); // Cancel keeps what was changed
    EXPECT_EQ(standin::vertex_count(*object), 2);
}

// Makes an up-down control behave as one that ignores a style changed after its creation: it
// keeps grouping the digits of what it writes itself, whatever the module sets.
WNDPROC updown_proc = nullptr;

LRESULT CALLBACK ignore_no_thousands(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_STYLECHANGING && wparam == static_cast<WPARAM>(GWL_STYLE))
        reinterpret_cast<STYLESTRUCT*>(lparam)->styleNew &= ~static_cast<DWORD>(UDS_NOTHOUSANDS);
    return CallWindowProcA(updown_proc, window, message, wparam, lparam);
}

void let_spin_group_digits(HWND dialog, int id) {
    HWND spin = drive::control(dialog, id);
    updown_proc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(spin, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ignore_no_thousands)));
    SetWindowLongA(spin, GWL_STYLE, GetWindowLongA(spin, GWL_STYLE));
}

// A step's text is the module's own "%d" of the new position, whatever the control would write.
TEST_F(CloneDialog, SpinStepsPastAThousandStoreTheValueShown) {
    for (bool grouping : {false, true}) {
        SCOPED_TRACE(grouping ? "the control groups digits" : "the control as set up");
        clone_settings.translation = {0, 0, 0};
        int result = run([grouping](HWND d) {
            if (grouping) {
                for (int spin : {1020, 1023, 1026})
                    let_spin_group_digits(d, spin);
                // The fault the module must not depend on: "1,234" reads back as 1.
                SendMessageA(drive::control(d, 1020), UDM_SETPOS32, 0, 1234);
                EXPECT_EQ(drive::text(d, 1012), "1,234");
            }
            drive::set_text(d, 1012, "999");
            drive::click_spin(d, 1020, true);
            EXPECT_EQ(drive::text(d, 1012), "1000");
            EXPECT_EQ(clone_settings.translation.x, 1000.0f);
            drive::click_spin(d, 1020, true); // the next step starts from the text written
            EXPECT_EQ(drive::text(d, 1012), "1001");
            drive::set_focus(d, 1013);
            drive::set_text(d, 1013, "-1000");
            drive::press_key(d, VK_DOWN);
            EXPECT_EQ(drive::text(d, 1013), "-1001");
            EXPECT_EQ(clone_settings.translation.y, -1001.0f);
            drive::set_text(d, 1014, "10000");
            drive::click_spin(d, 1026, true);
            EXPECT_EQ(drive::text(d, 1014), "10000");
            EXPECT_EQ(clone_settings.translation.z, 10000.0f);
            // Still grouping after the module set its style again at each step.
            const LONG style = GetWindowLongA(drive::control(d, 1020), GWL_STYLE);
            EXPECT_TRUE(!grouping || (style & UDS_NOTHOUSANDS) == 0);
            drive::click(d, IDC_CANCEL);
        });
        EXPECT_EQ(result, 0);
    }
}

TEST_F(CloneDialog, TypingWithThePreviewOnRebuildsOncePerStoredChange) {
    int result = run([this](HWND d) {
        drive::click(d, 1016);
        EXPECT_TRUE(preview_state.preview_active);
        EXPECT_EQ(standin::object_count(*document), 2);
        int64_t redraws = standin::redraw_count();
        drive::type_text(d, 1003, "-5"); // "" keeps 1, "-" stores 0, "-5" stores -5
        EXPECT_EQ(clone_settings.scale.x, -5.0f);
        EXPECT_EQ(standin::redraw_count(), redraws + 2);
        drive::type_text(d, 1001, "12.5");
        EXPECT_EQ(standin::redraw_count(), redraws + 5);
        EXPECT_EQ(standin::object_count(*document), 2);
        drive::close_box(d);
    });
    EXPECT_EQ(result, 0);
    EXPECT_FALSE(preview_state.preview_active);
    EXPECT_EQ(standin::object_count(*document), 1);
    EXPECT_EQ(standin::vertex_count(*object), 2);
}

TEST_F(CloneDialog, EnterIsOkButNotWhileAnEditIsEmptyOrUnusable) {
    int result = run([](HWND d) {
        drive::set_text(d, 1011, "");
        drive::click(d, IDC_OK);
        EXPECT_TRUE(IsWindow(d));
        drive::set_text(d, 1011, "1e39"); // no float: kept out of the settings like an empty edit
        EXPECT_EQ(clone_settings.rotation.z, 0.0f);
        drive::set_focus(d, 1011);
        drive::press_key(d, VK_RETURN);
        EXPECT_TRUE(IsWindow(d));
        drive::set_text(d, 1015, "4294967296");
        EXPECT_EQ(clone_settings.repeat_count, 5);
        drive::set_text(d, 1011, "90");
        drive::press_key(d, VK_RETURN);
        EXPECT_TRUE(IsWindow(d));
        drive::set_text(d, 1015, "2");
        drive::press_key(d, VK_RETURN);
        EXPECT_TRUE(drive::wait_for_close(d));
    });
    EXPECT_EQ(result, 1);
    EXPECT_EQ(clone_settings.rotation.z, 90.0f);
    EXPECT_EQ(standin::vertex_count(*object), 2 + 2 * 2);
}

TEST_F(CloneDialog, TabVisitsTheControlsInTemplateOrder) {
    std::vector<int> visited;
    run([&](HWND d) {
        drive::set_focus(d, 1000);
        for (int i = 0; i < 17; ++i) {
            drive::press_key(d, VK_TAB);
            visited.push_back(drive::focus_id(d));
        }
    });
    std::vector<int> expected = {1001, 1002, 1003, 1004, 1005, 1009, 1010, 1011, 1012,
                                 1013, 1014, 1015, 1016, 1,    2,    1008, 1000};
    EXPECT_EQ(visited, expected);
}

TEST_F(CloneDialog, CentreBoxCapturesAndClearsTheCentre) {
    int result = run([](HWND d) {
        drive::click(d, 1008);
        EXPECT_TRUE(drive::checked(d, 1008));
        EXPECT_EQ(clone_settings.use_object_center, 1);
        EXPECT_EQ(clone_settings.object_center.x, 1.0f);
        EXPECT_EQ(clone_settings.object_center.y, 2.0f);
        EXPECT_EQ(clone_settings.object_center.z, 3.0f);
        drive::click(d, 1008);
        EXPECT_EQ(clone_settings.use_object_center, 0);
        EXPECT_EQ(clone_settings.object_center.y, 0.0f);
        drive::click(d, 1008);
        drive::click(d, IDC_CANCEL);
    });
    EXPECT_EQ(result, 0);
    EXPECT_EQ(clone_settings.use_object_center, 1);
    // Opening again shows the option and keeps the centre captured before.
    clone_settings.object_center = {7, 8, 9};
    run([](HWND d) {
        EXPECT_TRUE(drive::checked(d, 1008));
        EXPECT_EQ(clone_settings.object_center.x, 7.0f);
    });
}

} // namespace
