// standin_runner: does what the host does with the plug-in. It opens its main window, registers
// the common controls, loads the plug-in, asks its identity and menu, hands it the host module,
// runs its command on a document holding a cube, and writes the current object as OBJ.
#include <windows.h>

#include <commctrl.h>

#include <cstdio>
#include <string>

#include "host/win32/dialog_answer.h"
#include "host/win32/mesh_file.h"
#include "host/win32/plugin_module.h"
#include "host/win32/runner_options.h"
#include "host/win32/standin_host.h"

namespace {

LRESULT CALLBACK main_window_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    return DefWindowProcA(window, message, wparam, lparam);
}

HWND create_main_window() {
    WNDCLASSA window_class = {};
    window_class.lpfnWndProc = main_window_proc;
    window_class.hInstance = GetModuleHandleA(nullptr);
    window_class.hCursor = LoadCursor(nullptr, IDC_ARROW);
    window_class.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_APPWORKSPACE + 1);
    window_class.lpszClassName = "QuorvelStandinHost";
    RegisterClassA(&window_class);
    HWND window = CreateWindowExA(0, window_class.lpszClassName, "Quorvel stand-in host",
                                  WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT, 640, 400,
                                  nullptr, nullptr, window_class.hInstance, nullptr);
    // The window only owns the plug-in's dialog, so it stays hidden: under Wine's X11 driver a
    // shown window of the same thread left the dialog above it unpainted (black).
    return window;
}

// The host registers the up-down class the plug-in's dialog uses.
bool register_common_controls() {
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_UPDOWN_CLASS};
    return InitCommonControlsEx(&controls) != FALSE;
}

// A cube of edge 1 about the origin: 8 vertices, 6 quads facing outwards.
int32_t add_cube(HostDocument document) {
    const float xyz[] = {-0.5f, -0.5f, -0.5f, 0.5f,  -0.5f, -0.5f, 0.5f, 0.5f,
                         -0.5f, -0.5f, 0.5f,  -0.5f, -0.5f, -0.5f, 0.5f, 0.5f,
                         -0.5f, 0.5f,  0.5f,  0.5f,  0.5f,  -0.5f, 0.5f, 0.5f};
    const int32_t corners[] = {0, 3, 2, 1, 4, 5, 6, 7, 0, 1, 5, 4,
                               2, 3, 7, 6, 1, 2, 6, 5, 0, 4, 7, 3};
    const int32_t sizes[] = {4, 4, 4, 4, 4, 4};
    return standin_add_mesh(document, xyz, 8, corners, sizes, 6);
}

// The document's current object: the mesh in path, or the cube when no path is given; -1 when
// the file cannot be read or describes no valid mesh.
int32_t add_current_object(HostDocument document, const std::string& path) {
    if (path.empty()) return add_cube(document);
    MeshArrays mesh;
    std::string error;
    if (!read_mesh_file(path, &mesh, &error)) {
        std::fprintf(stderr, "standin_runner: %s\n", error.c_str());
        return -1;
    }
    return standin_add_mesh(document, mesh.xyz.data(), static_cast<int32_t>(mesh.xyz.size() / 3),
                            mesh.corners.data(), mesh.face_sizes.data(),
                            static_cast<int32_t>(mesh.face_sizes.size()));
}

// Asks the plug-in what the host asks before it offers the command; false if it refuses.
bool handshake(const PluginModule& plugin, unsigned host_version) {
    uint32_t version = plugin.check_version(host_version);
    std::printf("MQCheckVersion(0x%x) = 0x%x\n", host_version, static_cast<unsigned>(version));
    uint32_t first = 0, second = 0;
    plugin.get_id(&first, &second);
    std::printf("MQGetPlugInID = 0x%08x 0x%08x\n", static_cast<unsigned>(first),
                static_cast<unsigned>(second));
    const char* name = plugin.get_name();
    std::printf("MQGetPlugInName = %s\n", name ? name : "(null)");
    std::printf("MQGetPlugInType = %d\n", static_cast<int>(plugin.get_type()));
    for (int32_t index = 0; const char* entry = plugin.enum_string(index); ++index) {
        std::printf("MQEnumString(%d) =", static_cast<int>(index));
        for (const char* byte = entry; *byte; ++byte) {
            std::printf(" %02x", static_cast<unsigned char>(*byte));
        }
        std::printf("\n");
    }
    return version != 0;
}

int run(const RunnerOptions& options) {
    HWND main_window = create_main_window();
    if (!main_window) {
        std::fprintf(stderr, "standin_runner: cannot create the main window\n");
        return 1;
    }
    if (!register_common_controls()) {
        std::fprintf(stderr, "standin_runner: cannot register the common controls\n");
        return 1;
    }
    standin_set_window_handle(main_window);

    const std::string folder = program_folder();
    const std::string plugin_path =
        options.plugin_path.empty() ? folder + "quorvel_clone.dll" : options.plugin_path;
    const std::string host_path =
        options.host_path.empty() ? folder + "standin_host.dll" : options.host_path;

    PluginModule plugin;
    std::string error;
    if (!load_plugin(plugin_path, &plugin, &error)) {
        std::fprintf(stderr, "standin_runner: %s\n", error.c_str());
        return 1;
    }
    int status = 1;
    HostDocument document = nullptr;
    if (!handshake(plugin, options.host_version)) {
        std::fprintf(stderr, "standin_runner: the plug-in refuses host version 0x%x\n",
                     options.host_version);
    } else if (int32_t ready = plugin.init(host_path.c_str());
               std::printf("MQInit = %d\n", ready), !ready) {
        std::fprintf(stderr, "standin_runner: MQInit failed for %s\n", host_path.c_str());
    } else {
        document = standin_create_document();
        const int32_t current = add_current_object(document, options.in_path);
        if (current < 0) {
            std::fprintf(stderr, "standin_runner: no mesh to work on\n");
        } else {
            standin_set_current_object(document, current);
            DialogAnswerer answerer;
            start_answering(&answerer, options);
            int32_t result = plugin.modify_object(0, document);
            finish_answering(&answerer);
            std::printf("MQModifyObject = %d\n", static_cast<int>(result));
            if (options.answer != DialogAnswer::none && !answerer.dialog_seen) {
                std::fprintf(stderr, "standin_runner: the settings dialog never opened\n");
            }
            std::printf("objects = %d, vertices = %d\n",
                        static_cast<int>(standin_object_count(document)),
                        static_cast<int>(standin_vertex_count(document, current)));
            if (!standin_write_obj(document, current, options.out_path.c_str())) {
                std::fprintf(stderr, "standin_runner: cannot write %s\n", options.out_path.c_str());
            } else if (options.answer == DialogAnswer::none || answerer.dialog_seen) {
                status = 0;
            }
        }
        standin_destroy_document(document);
    }
    std::printf("live objects = %lld, stray host calls = %d\n",
                static_cast<long long>(standin_live_object_count()),
                static_cast<int>(standin_stray_call_count()));
    unload_plugin(&plugin);
    DestroyWindow(main_window);
    return status;
}

} // namespace

int main(int argc, char** argv) {
    RunnerOptions options;
    std::string error;
    if (!parse_runner_options(argc, argv, &options, &error)) {
        std::fprintf(stderr, "standin_runner: %s\n%s", error.c_str(), runner_usage);
        return 2;
    }
    int status = run(options);
    std::fflush(stdout);
    return status;
}
