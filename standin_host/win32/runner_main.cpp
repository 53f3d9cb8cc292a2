// standin_runner: does what the host does with the plug-in. It opens its main window, registers
// the common controls, loads the plug-in, asks its identity and menu, hands it the host module,
// runs its command on a document holding the mesh given (or the built-in one), and writes the
// current object back. Takes the options of quorvel-clone. The mesh is a file of mapped arrays
// (how quorvel-clone hands it across: the result is then written as one, DIR/NAME.arrays, and no
// mesh text is read or written here) or an OBJ (the result then DIR/NAME.obj).
#include <windows.h>

#include <commctrl.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "io/mesh.h"
#include "io/mesh_exchange.h"
#include "io/run_options.h"
#include "win32/dialog_answer.h"
#include "win32/document_mesh.h"
#include "win32/plugin_module.h"
#include "win32/standin_host.h"

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
    // window over a shown window of the same process stays black where the two overlap (the
    // dialog opens over its owner's corner); standin_viewer moves the dialog beside its window.
    return window;
}

// The host registers the up-down class the plug-in's dialog uses.
bool register_common_controls() {
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_UPDOWN_CLASS};
    return InitCommonControlsEx(&controls) != FALSE;
}

// The arrays of an exchange file, handed to the document from where they lie in the mapping; the
// mapping goes when the document holds its own copy.
int32_t add_mapped_object(HostDocument document, const std::string& path) {
    MappedFile file;
    ExchangeMesh arrays;
    std::string error;
    if (open_exchange(path, &file, &arrays, false, &error))
        return add_arrays_object(document, arrays);
    std::fprintf(stderr, "standin_runner: %s\n", error.c_str());
    return -1;
}

// Writes the document's object at index into an exchange file, each array copied whole.
bool write_mapped_object(HostDocument document, int32_t index, const std::string& path) {
    ExchangeMesh arrays;
    std::string error;
    if (!object_arrays(document, index, &arrays)) return false;
    if (write_exchange(path, arrays, &error)) return true;
    std::fprintf(stderr, "standin_runner: %s\n", error.c_str());
    return false;
}

// The document's current object: the mesh in path, or the built-in mesh when no path is given;
// -1 when the file cannot be read or describes no valid mesh.
int32_t add_current_object(HostDocument document, const std::string& path, bool mapped) {
    if (mapped) return add_mapped_object(document, path);
    Mesh mesh;
    std::string error;
    std::vector<std::string> warnings;
    if (path.empty()) {
        mesh = builtin_mesh();
    } else if (!load_obj(path, &mesh, &error, &warnings)) {
        std::fprintf(stderr, "standin_runner: %s\n", error.c_str());
        return -1;
    }
    for (const std::string& warning : warnings)
        std::fprintf(stderr, "standin_runner: warning: %s\n", warning.c_str());
    return add_mesh_object(document, mesh);
}

// Writes the document's object at index as OBJ, texture coordinates shared where they are equal.
bool write_object(HostDocument document, int32_t index, const std::string& path) {
    Mesh mesh;
    if (!object_mesh(document, index, &mesh)) return false;
    std::ofstream out(path, std::ios::binary);
    write_obj(out, mesh);
    out.close();
    return static_cast<bool>(out);
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
        for (const char* byte = entry; *byte; ++byte)
            std::printf(" %02x", static_cast<unsigned char>(*byte));
        std::printf("\n");
    }
    return version != 0;
}

// Seconds from the program's start to each step of the run, said at the end when asked (--times).
class StepTimes {
  public:
    StepTimes() { QueryPerformanceCounter(&last_); }
    void done(const char* step) {
        LARGE_INTEGER now, rate;
        QueryPerformanceCounter(&now);
        QueryPerformanceFrequency(&rate);
        char text[64];
        std::snprintf(text, sizeof text, " %s %.2f s,", step,
                      static_cast<double>(now.QuadPart - last_.QuadPart) / rate.QuadPart);
        text_ += text;
        last_ = now;
    }
    const std::string& text() const { return text_; }

  private:
    LARGE_INTEGER last_;
    std::string text_;
};

int run(const RunOptions& options, StepTimes& times) {
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

    const HostModules modules = host_modules(options);
    const std::string& plugin_path = modules.plugin;
    const std::string& host_path = modules.host;
    const unsigned host_version = modules.host_version;

    PluginModule plugin;
    std::string error;
    if (!load_plugin(plugin_path, &plugin, &error)) {
        std::fprintf(stderr, "standin_runner: %s\n", error.c_str());
        return 1;
    }
    int status = 1;
    HostDocument document = nullptr;
    if (!handshake(plugin, host_version)) {
        std::fprintf(stderr, "standin_runner: the plug-in refuses host version 0x%x\n",
                     host_version);
    } else if (int32_t ready = plugin.init(host_path.c_str());
               std::printf("MQInit = %d\n", ready), !ready) {
        std::fprintf(stderr, "standin_runner: MQInit failed for %s\n", host_path.c_str());
    } else {
        document = standin_create_document();
        times.done("start");
        const bool mapped = !options.input.empty() && is_exchange_file(options.input);
        const int32_t current = add_current_object(document, options.input, mapped);
        times.done("source");
        if (current < 0) {
            std::fprintf(stderr, "standin_runner: no mesh to work on\n");
        } else {
            standin_set_current_object(document, current);
            DialogAnswerer answerer;
            start_answering(&answerer, options);
            int32_t result = plugin.modify_object(0, document);
            finish_answering(&answerer);
            times.done("command");
            std::printf("MQModifyObject = %d\n", static_cast<int>(result));
            if (!options.show && !answerer.dialog_seen)
                std::fprintf(stderr, "standin_runner: the settings dialog never opened\n");
            std::printf("objects = %d, vertices = %d\n",
                        static_cast<int>(standin_object_count(document)),
                        static_cast<int>(standin_vertex_count(document, current)));
            const std::string out_path =
                options.out_dir + "/" + options.name + (mapped ? ".arrays" : ".obj");
            if (!(mapped ? write_mapped_object(document, current, out_path)
                         : write_object(document, current, out_path)))
                std::fprintf(stderr, "standin_runner: cannot write %s\n", out_path.c_str());
            else if (options.show || answerer.dialog_seen)
                status = 0;
            times.done("result");
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
    RunOptions options;
    if (!read_command_line("standin_runner", argc, argv, &options)) return 2;
    StepTimes times;
    int status = run(options, times);
    times.done("end");
    if (options.times) std::printf("times:%s\n", times.text().c_str());
    std::fflush(stdout);
    return status;
}
