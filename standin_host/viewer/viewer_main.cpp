// standin_viewer: the stand-in host as a program a person uses. Takes quorvel-clone's options;
// only the mesh and the module options (--plugin, --host, --host-version) matter here.
#include <windows.h>

#include <commctrl.h>

#include <cstdio>
#include <string>

#include "viewer/viewer.h"

int main(int argc, char** argv) {
    RunOptions options;
    std::string error;
    if (!parse_run_options(argc - 1, argv + 1, &options, &error)) {
        std::fprintf(stderr, "standin_viewer: %s\n%s", error.c_str(),
                     run_usage("standin_viewer").c_str());
        return 2;
    }
    // The host registers the up-down class the plug-in's dialog uses.
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_UPDOWN_CLASS};
    InitCommonControlsEx(&controls);
    Viewer viewer;
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
