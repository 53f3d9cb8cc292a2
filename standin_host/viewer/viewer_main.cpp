// standin_viewer: the stand-in host as a program a person uses. Takes quorvel-clone's options;
// only the mesh and the module options (--plugin, --host, --host-version) matter here.
#include <windows.h>

#include <commctrl.h>

#include <cstdio>
#include <string>

#include "viewer/viewer.h"

int main(int argc, char** argv) {
    RunOptions options;
    if (!read_command_line("standin_viewer", argc, argv, &options)) return 2;
    // The host registers the up-down class the plug-in's dialog uses.
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_UPDOWN_CLASS};
    InitCommonControlsEx(&controls);
    Viewer viewer;
    std::string error;
    if (!open_viewer(&viewer, options, &error)) {
        std::fprintf(stderr, "standin_viewer: %s\n", error.c_str());
        close_viewer(&viewer);
        return 1;
    }
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    viewer.window = nullptr; // destroyed with the quit
    close_viewer(&viewer);
    return 0;
}
