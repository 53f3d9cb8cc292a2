// Opens the settings dialog over a small stand-in document, for a screenshot: once the dialog is
// up it writes the dialog's screen rectangle ("x y width height") to the file named by the first
// argument, then keeps the dialog open until that file is deleted (or for a minute).
#include <windows.h>

#include <commctrl.h>

#include <cstdio>
#include <thread>

#include "clone/command.h"
#include "clone/preview.h"
#include "document/document.h"
#include "document/host_functions.h"
#include "driver/dialog_driver.h"
#include "host_api/host_api.h"

void* module_instance = GetModuleHandleA(nullptr);

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: show_dialog RECT_FILE\n");
        return 2;
    }
    const char* rect_file = argv[1];
    INITCOMMONCONTROLSEX init{sizeof(INITCOMMONCONTROLSEX), ICC_UPDOWN_CLASS};
    InitCommonControlsEx(&init);
    standin::bind_host_api(&host_api);
    standin::Document* document = standin::create_document();
    standin::Object* object = standin::create_object("box");
    standin::add_vertex(*object, 0, 0, 0);
    standin::set_current_object(*document, standin::add_object(*document, object));
    preview_state.document = document;

    std::thread driver([rect_file] {
        HWND dialog = dialog_driver::wait_for_clone_dialog(60000);
        if (dialog == nullptr) return;
        RECT area{};
        GetWindowRect(dialog, &area);
        if (FILE* out = std::fopen(rect_file, "w")) {
            std::fprintf(out, "%ld %ld %ld %ld\n", area.left, area.top, area.right - area.left,
                         area.bottom - area.top);
            std::fclose(out);
        }
        for (int i = 0; i < 600 && GetFileAttributesA(rect_file) != INVALID_FILE_ATTRIBUTES; ++i)
            Sleep(100);
        dialog_driver::close_box(dialog);
    });
    run_clone_command(document);
    driver.join();
    standin::destroy_document(document);
    return 0;
}
