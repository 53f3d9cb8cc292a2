// The module under the host's floating-point state. MQModifyObject is called on a thread set to
// single precision and round toward zero (x87) and flush-to-zero, denormals-are-zero and round up
// (MXCSR); host code run by the dialog's modal loop sets that state again between the steps. The
// texts, the stored settings and the copies must be those of a run under the default state, and
// the host must get its state back bit for bit.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "beside_me.h"
#include "clone/clone_settings.h"
#include "driver/dialog_driver.h"
#include "win32/standin_host.h"
#include "host_api/host_interface.h"
#include "support/float_control.h"

namespace {

namespace drive = dialog_driver;

// The host's own code, run by the modal loop: it puts back the state it works with.
const UINT set_host_state = WM_APP + 1;
// What the host's thread holds in its last-error value when it calls the command.
const DWORD host_last_error = 0x2A2A;

LRESULT CALLBACK host_window_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == set_host_state) {
        write_float_control(*reinterpret_cast<const FloatControl*>(lparam));
        return 0;
    }
    return DefWindowProcA(window, message, wparam, lparam);
}

struct Outcome {
    std::vector<std::string> texts; // pivot X, pivot Y, translation X as the dialog opened
    CloneSettings settings;
    std::vector<HostPoint> points; // the current object after OK: source and copies
    FloatControl after;            // the calling thread's state once MQModifyObject returned
    DWORD last_error_after;
    uint32_t result;
};

class HostFloatState : public ::testing::Test {
  protected:
    void SetUp() override {
        INITCOMMONCONTROLSEX init{sizeof(INITCOMMONCONTROLSEX), ICC_UPDOWN_CLASS};
        ASSERT_TRUE(InitCommonControlsEx(&init));
        WNDCLASSA window_class = {};
        window_class.lpfnWndProc = host_window_proc;
        window_class.hInstance = GetModuleHandleA(nullptr);
        window_class.lpszClassName = "QuorvelFloatStateHost";
        ATOM atom = RegisterClassA(&window_class);
        ASSERT_NE(atom, 0) << GetLastError();
        owner = CreateWindowExA(0, window_class.lpszClassName, "host", WS_OVERLAPPEDWINDOW,
                                CW_USEDEFAULT, CW_USEDEFAULT, 200, 100, nullptr, nullptr,
                                window_class.hInstance, nullptr);
        ASSERT_NE(owner, nullptr) << GetLastError();
        standin_set_window_handle(owner);
        module = LoadLibraryA(beside_me("quorvel_clone_inspect.dll").c_str());
        ASSERT_NE(module, nullptr);
        settings = export_of<CloneSettings* (*)()>(module, "inspect_clone_settings")();
        auto init_host = export_of<int32_t (*)(const char*)>(module, "MQInit");
        ASSERT_EQ(init_host(beside_me("standin_host.dll").c_str()), 1);
        modify = export_of<int32_t (*)(int32_t, HostDocument)>(module, "MQModifyObject");
    }
    void TearDown() override {
        if (module) FreeLibrary(module);
        if (owner) DestroyWindow(owner);
    }

    Outcome run_under(FloatControl host) {
        HostDocument document = standin_create_document();
        const float xyz[] = {1, 0, 0, 0, 2, 0, 0, 0, 3, -1.5f, 0.5f, 0.25f};
        const int32_t corners[] = {0, 1, 2, 0, 2, 3}, ends[] = {3, 6};
        const StandinMesh mesh = {"", xyz, 4, corners, ends, 2, nullptr, nullptr, nullptr, 0};
        const int32_t index = standin_add_object(document, &mesh);
        standin_set_current_object(document, index);
        *settings = CloneSettings{
            {0.35f, 0.45f, 0}, {1, 1, 1}, {30, 45, 60}, {1048576.25f, 0, 0}, 3, 0, {0, 0, 0}};
        Outcome run{};
        std::thread driver([&] {
            HWND d = drive::wait_for_clone_dialog();
            if (d == nullptr) {
                ADD_FAILURE() << "the dialog did not open";
                return;
            }
            for (int id : {1000, 1001, 1012})
                run.texts.push_back(drive::text(d, id));
            auto host_code_runs = [&] {
                PostMessageA(owner, set_host_state, 0, reinterpret_cast<LPARAM>(&host));
                drive::sync(d);
            };
            host_code_runs();
            drive::click(d, 1016); // the preview, built after host code ran
            host_code_runs();
            drive::type_text(d, 1013, "0.1");
            host_code_runs();
            drive::click(d, IDOK);
            if (IsWindow(d)) drive::close_box(d);
        });
        const FloatControl before = read_float_control();
        write_float_control(host);
        SetLastError(host_last_error);
        run.result = static_cast<uint32_t>(modify(0, document));
        run.last_error_after = GetLastError();
        run.after = read_float_control();
        write_float_control(before);
        driver.join();

        run.settings = *settings;
        HMODULE host_module = GetModuleHandleA("standin_host.dll");
        auto get_object = export_of<MQDoc_GetObjectFn>(host_module, "MQDoc_GetObject");
        auto get_vertex = export_of<MQObj_GetVertexFn>(host_module, "MQObj_GetVertex");
        HostObject object = get_object(document, index);
        run.points.resize(standin_vertex_count(document, index));
        for (size_t j = 0; j < run.points.size(); ++j)
            get_vertex(object, static_cast<int32_t>(j), &run.points[j]);
        standin_destroy_document(document);
        return run;
    }

    HWND owner = nullptr;
    HMODULE module = nullptr;
    CloneSettings* settings = nullptr;
    int32_t (*modify)(int32_t, HostDocument) = nullptr;
};

TEST_F(HostFloatState, ChangesNoResultAndIsGivenBackBitForBit) {
    const Outcome plain = run_under(read_float_control());
    const Outcome hostile = run_under(hostile_float_control);
    for (const Outcome* run : {&plain, &hostile}) {
        SCOPED_TRACE(run == &plain ? "default state" : "host's state");
        EXPECT_EQ(run->result, 1u);
        EXPECT_EQ(run->texts, (std::vector<std::string>{"0.3", "0.4", "1048576.3"}));
        EXPECT_EQ(run->settings.pivot.x, 0.3f);
        EXPECT_EQ(run->settings.pivot.y, 0.4f);
        EXPECT_EQ(run->settings.translation.x, 1048576.25f);
        EXPECT_EQ(run->settings.translation.y, 0.1f);
        EXPECT_EQ(run->points.size(), 4u + 3u * 4u);
        EXPECT_EQ(run->last_error_after, host_last_error);
    }
    EXPECT_EQ(std::memcmp(&plain.settings, &hostile.settings, sizeof plain.settings), 0);
    ASSERT_EQ(plain.points.size(), hostile.points.size());
    EXPECT_EQ(std::memcmp(plain.points.data(), hostile.points.data(),
                          plain.points.size() * sizeof(HostPoint)),
              0);
    EXPECT_TRUE(hostile.after == hostile_float_control)
        << std::hex << hostile.after.x87 << " " << hostile.after.mxcsr;
}

} // namespace
