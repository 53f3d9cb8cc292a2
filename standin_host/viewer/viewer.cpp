#include "viewer/viewer.h"

#include <algorithm>
#include <fstream>

#include "io/mesh_copies.h"
#include "viewer/view_window.h"
#include "win32/document_mesh.h"
#include "win32/standin_host.h"

namespace {

// MQ_RefreshView, on the thread that runs the command: paint the view now, inside the dialog's
// modal loop, rather than when the loop next finds nothing to do.
void on_refresh(void* context) {
    Viewer* viewer = static_cast<Viewer*>(context);
    ++viewer->refreshes;
    const int64_t before = viewer->paints;
    redraw_view(viewer);
    if (viewer->paints > before) ++viewer->refresh_paints;
}

// What the host asks before it offers the command: false when the plug-in refuses the version.
bool handshake(Viewer* viewer, unsigned host_version) {
    if (!viewer->plugin.check_version(host_version)) return false;
    for (int32_t index = 0; const char* entry = viewer->plugin.enum_string(index); ++index)
        viewer->entries.emplace_back(entry);
    return true;
}

} // namespace

bool open_viewer(Viewer* viewer, const RunOptions& options, std::string* error) {
    const HostModules modules = host_modules(options);
    if (!load_plugin(modules.plugin, &viewer->plugin, error)) return false;
    if (!handshake(viewer, modules.host_version)) {
        *error = "the plug-in refuses host version " + options.host_version;
        return false;
    }
    if (!viewer->plugin.init(modules.host.c_str())) {
        *error = "MQInit failed for " + modules.host;
        return false;
    }
    viewer->window = create_view_window(viewer);
    if (!viewer->window) {
        *error = "cannot create the main window";
        return false;
    }
    standin_set_window_handle(viewer->window);
    standin_set_refresh_handler(on_refresh, viewer);
    if (options.input.empty()) {
        viewer->document = standin_create_document();
        viewer->source = builtin_mesh();
        viewer->current = add_mesh_object(viewer->document, viewer->source);
        standin_set_current_object(viewer->document, viewer->current);
        viewer->copy_size = viewer->source.vertices.size();
        fit_view(viewer);
    } else if (!open_mesh(viewer, options.input, error)) {
        return false;
    }
    ShowWindow(viewer->window, SW_SHOWNORMAL);
    UpdateWindow(viewer->window);
    return true;
}

void close_viewer(Viewer* viewer) {
    standin_set_refresh_handler(nullptr, nullptr);
    if (viewer->window) {
        DestroyWindow(viewer->window);
        // The window's end asks the program to quit; one that goes on (a test opening the next
        // viewer) must not have the quit end its next modal dialog, which Wine ends as OK.
        MSG quit;
        PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
    }
    viewer->window = nullptr;
    standin_set_window_handle(nullptr);
    if (viewer->document) standin_destroy_document(viewer->document);
    viewer->document = nullptr;
    unload_plugin(&viewer->plugin);
}

bool open_mesh(Viewer* viewer, const std::string& path, std::string* error) {
    Mesh mesh;
    std::vector<std::string> warnings;
    if (!load_obj(path, &mesh, error, &warnings)) return false;
    HostDocument document = standin_create_document();
    const int32_t index = add_mesh_object(document, mesh);
    if (index < 0) {
        standin_destroy_document(document);
        *error = path + ": the host cannot hold this mesh";
        return false;
    }
    standin_set_current_object(document, index);
    if (viewer->document) standin_destroy_document(viewer->document);
    viewer->document = document;
    viewer->current = index;
    viewer->source = std::move(mesh);
    viewer->path = path;
    viewer->copy_size = std::max<size_t>(viewer->source.vertices.size(), 1);
    fit_view(viewer);
    redraw_view(viewer);
    return true;
}

bool save_mesh(const Viewer& viewer, const std::string& path, std::string* error) {
    Mesh mesh;
    if (!object_mesh(viewer.document, viewer.current, &mesh)) {
        *error = "there is no current object";
        return false;
    }
    restore_per_copy(viewer.source, &mesh);
    if (!viewer.path.empty()) {
        const std::string folder = path.substr(0, path.find_last_of("\\/") + 1);
        mesh.material_libraries =
            libraries_from(viewer.source, viewer.path, folder.empty() ? "." : folder);
    }
    std::ofstream out(path, std::ios::binary);
    write_obj(out, mesh);
    out.close();
    if (!out) {
        *error = "cannot write " + path;
        return false;
    }
    return true;
}

int32_t run_entry(Viewer* viewer, int32_t index) {
    // The host runs one command at a time: a pick that reaches the window while the dialog is
    // open (its owner is disabled, but messages can still be sent) waits for none.
    if (viewer->command_running || !viewer->document) return 0;
    viewer->command_running = true;
    const int32_t vertices = standin_vertex_count(viewer->document, viewer->current);
    viewer->copy_size = vertices > 0 ? static_cast<size_t>(vertices) : 1;
    const int32_t result = viewer->plugin.modify_object(index, viewer->document);
    viewer->command_running = false;
    viewer->placed_dialog = nullptr;
    // The copies merged (or the object as it was): shown as the host shows any change.
    redraw_view(viewer);
    return result;
}

void fit_view(Viewer* viewer) {
    Mesh framing;
    Mesh object;
    if (object_mesh(viewer->document, viewer->current, &object))
        for (const auto& v : object.vertices) {
            framing.vertices.push_back(v);
            framing.vertices.push_back({-v[0], -v[1], -v[2]});
        }
    viewer->framing = std::move(framing);
    viewer->angle = ViewAngle();
    viewer->stale = true;
}

Camera view_camera(const Viewer& viewer) {
    RECT area{};
    GetClientRect(viewer.window, &area);
    return frame_camera(viewer.framing, area.right, area.bottom, viewer.angle);
}
