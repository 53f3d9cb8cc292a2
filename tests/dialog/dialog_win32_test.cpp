// The real settings dialog under Wine, driven by control id from the thread whose
// run_clone_command runs the modal loop.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

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
#include "support/dialog_fixture.h"

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

class CloneDialog : public dialogtest::BoxDocument {
  protected:
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
