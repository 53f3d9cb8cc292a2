// The module driven through the stand-in host as a real modeller may treat it: the command called
// again while its dialog is open, a host quitting while it is open, and a count whose copies the
// process has no memory for.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <thread>

#include "beside_me.h"
#include "clone/clone_settings.h"
#include "clone/preview.h"
#include "document/failing_host.h"
#include "driver/dialog_driver.h"
#include "win32/standin_host.h"

namespace {

namespace drive = dialog_driver;

int64_t all_host_calls() {
    int64_t sum = 0;
    for (int32_t call = 0; call < standin::host_call_kinds; ++call)
        sum += standin_host_call_count(call);
    return sum;
}

class MisbehavingHost : public ::testing::Test {
  public:
    // What the host's callback does: the command again, on the other document.
    int32_t call_again_on_second_document() { return modify(0, documents[1]); }

  protected:
    void SetUp() override {
        INITCOMMONCONTROLSEX init{sizeof(INITCOMMONCONTROLSEX), ICC_UPDOWN_CLASS};
        ASSERT_TRUE(InitCommonControlsEx(&init));
        module = LoadLibraryA(beside_me("quorvel_clone_inspect.dll").c_str());
        ASSERT_NE(module, nullptr);
        settings = export_of<CloneSettings* (*)()>(module, "inspect_clone_settings")();
        preview = export_of<PreviewState* (*)()>(module, "inspect_preview_state")();
        auto init_host = export_of<int32_t (*)(const char*)>(module, "MQInit");
        ASSERT_EQ(init_host(beside_me("standin_host.dll").c_str()), 1);
        modify = export_of<int32_t (*)(int32_t, HostDocument)>(module, "MQModifyObject");
        for (HostDocument& document : documents) {
            document = standin_create_document();
            const float xyz[] = {1, 0, 0, 0, 2, 0, 0, 0, 3, -1.5f, 0.5f, 0.25f};
            const int32_t corners[] = {0, 1, 2, 0, 2, 3}, ends[] = {3, 6};
            const StandinMesh mesh = {"", xyz, 4, corners, ends, 2, nullptr, nullptr, nullptr, 0};
            standin_set_current_object(document, standin_add_object(document, &mesh));
        }
        standin_start_failing_host();
    }
    void TearDown() override {
        standin_stop_failing_host();
        for (HostDocument document : documents)
            standin_destroy_document(document);
        if (module) FreeLibrary(module);
    }

    // The command on the first document, its dialog driven by script from a thread of its own.
    int32_t run(const std::function<void(HWND)>& script) {
        std::thread driver([&] {
            HWND d = drive::wait_for_clone_dialog();
            if (d == nullptr) {
                ADD_FAILURE() << "the dialog did not open";
                return;
            }
            script(d);
            if (IsWindow(d)) drive::close_box(d);
        });
        const int32_t result = modify(0, documents[0]);
        driver.join();
        return result;
    }

    void expect_documents_as_before() {
        for (HostDocument document : documents) {
            EXPECT_EQ(standin_object_count(document), 1);
            EXPECT_EQ(standin_vertex_count(document, 0), 4);
        }
        EXPECT_EQ(standin_host_misuse_count(), 0);
    }

    HMODULE module = nullptr;
    CloneSettings* settings = nullptr;
    PreviewState* preview = nullptr;
    int32_t (*modify)(int32_t, HostDocument) = nullptr;
    HostDocument documents[2] = {};
};

struct Nested {
    MisbehavingHost* test;
    int32_t result = -1;
    int64_t host_calls = -1;
    HostDocument document_during = nullptr;
};

void call_again(void* context) {
    Nested& nested = *static_cast<Nested*>(context);
    const int64_t before = all_host_calls();
    nested.result = nested.test->call_again_on_second_document();
    nested.host_calls = all_host_calls() - before;
}

TEST_F(MisbehavingHost, ACommandCalledAgainWhileItsDialogIsOpenIsRefused) {
    Nested nested{this};
    // The first redraw, once the preview is shown: the host's windows call the command again.
    standin_reenter_at(int32_t(standin::HostCall::refresh_view), 1, call_again, &nested);
    const int32_t result = run([&](HWND d) {
        drive::click(d, 1016);
        nested.document_during = preview->document;
        drive::click(d, IDCANCEL);
    });
    EXPECT_EQ(result, 0);
    EXPECT_EQ(nested.result, 0);
    EXPECT_EQ(nested.host_calls, 0);
    EXPECT_EQ(nested.document_during, documents[0]);
    expect_documents_as_before();
}

TEST_F(MisbehavingHost, AHostQuittingWhileTheDialogIsOpenGetsNoCopies) {
    const DWORD host_thread = GetCurrentThreadId();
    const int32_t result = run([&](HWND d) {
        drive::click(d, 1016);
        PostThreadMessageA(host_thread, WM_QUIT, 0, 0);
        for (int i = 0; i < 500 && IsWindow(d); ++i)
            Sleep(10);
    });
    MSG quit;
    EXPECT_TRUE(
        PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)); // handed back to the host
    EXPECT_EQ(result, 0);
    expect_documents_as_before();
}

TEST_F(MisbehavingHost, CopiesBeyondTheFreeMemoryAreNotBuiltAndOkFails) {
    settings->repeat_count = 100'000'000; // 400 million vertices: within the host's counts
    const int32_t result = run([](HWND d) { drive::click(d, IDOK); });
    EXPECT_EQ(result, 0);
    EXPECT_EQ(standin_live_object_count(), 2);
    expect_documents_as_before();
}

} // namespace
