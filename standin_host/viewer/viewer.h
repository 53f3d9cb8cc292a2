// The stand-in host as a program a person uses: one main window that shows the document through
// the pictures' rasteriser, with the plug-in's menu entry, File > Open and Save As, and orbit and
// zoom with the mouse. Every MQ_RefreshView redraws the view before it returns, also while the
// plug-in's dialog runs its modal loop.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "io/mesh.h"
#include "io/run_options.h"
#include "render/render.h"
#include "win32/plugin_module.h"
#include "host_api/host_interface.h"

// Menu commands; the plug-in's entry i is first_entry_command + i.
enum ViewerCommand : int {
    command_open = 100,
    command_save_as,
    command_exit,
    command_fit,
    first_entry_command = 1000,
};

struct Viewer {
    HWND window = nullptr;
    PluginModule plugin;
    std::vector<std::string> entries; // MQEnumString's strings, the plug-in's bytes as they are
    HostDocument document = nullptr;
    int32_t current = -1;
    std::string path; // the file the document came from; empty for the built-in mesh
    Mesh source;      // as read: what the host has no place for comes back from it on saving
    bool command_running = false;
    // Vertices per copy, for the colours: the current object's count when the command began.
    size_t copy_size = 1;
    ViewAngle angle;
    Mesh framing; // what the camera frames: the object about the origin
    Image picture;
    bool stale = true;            // the document or the camera changed since the picture was drawn
    std::vector<uint8_t> pixels;  // the picture as the screen takes it: BGRX, rows top to bottom
    HWND placed_dialog = nullptr; // the last dialog moved beside the window
    bool dragging = false;
    POINT drag_from{};
    int64_t paints = 0;         // WM_PAINT handled
    int64_t refreshes = 0;      // MQ_RefreshView calls
    int64_t refresh_paints = 0; // of those, the ones that painted the view before returning
};

// Loads the plug-in (options.plugin, else beside the program), goes through the host's handshake
// and MQInit (options.host, options.host_version), opens the window with the document holding the
// mesh in options.input (the built-in one when empty) and shows it. False with a reason.
bool open_viewer(Viewer* viewer, const RunOptions& options, std::string* error);
void close_viewer(Viewer* viewer);

// A new document holding the mesh in path; the old one stays when it cannot be read.
bool open_mesh(Viewer* viewer, const std::string& path, std::string* error);
bool save_mesh(const Viewer& viewer, const std::string& path, std::string* error);
// What picking the plug-in's entry does: MQModifyObject with the document; its result.
int32_t run_entry(Viewer* viewer, int32_t index);
// Frames the current object about the origin, where a modeller's view is centred.
void fit_view(Viewer* viewer);

// The view's camera at its size now.
Camera view_camera(const Viewer& viewer);
