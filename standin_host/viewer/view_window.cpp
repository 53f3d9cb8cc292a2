#include "viewer/view_window.h"

#include <commdlg.h>

#include <algorithm>
#include <cmath>
#include <new>

#include "win32/document_mesh.h"
#include "win32/standin_host.h"

namespace {

const char window_class_name[] = "QuorvelStandinViewer";
const char window_title[] = "Quorvel stand-in host";

Viewer* viewer_of(HWND window) {
    return reinterpret_cast<Viewer*>(GetWindowLongPtrA(window, GWLP_USERDATA));
}

// Every object of the document in one mesh, the current object first: its copies, and then
// those of the preview object after it, take the colours of copies 1, 2, ... in order.
Mesh document_picture(const Viewer& viewer) {
    Mesh all;
    object_mesh(viewer.document, viewer.current, &all);
    const int32_t slots = standin_object_slot_count(viewer.document);
    Mesh other;
    for (int32_t index = 0; index < slots; ++index) {
        if (index == viewer.current || !object_mesh(viewer.document, index, &other)) continue;
        const int32_t base = static_cast<int32_t>(all.vertices.size());
        const int32_t corner_base = static_cast<int32_t>(all.corners.size());
        all.vertices.insert(all.vertices.end(), other.vertices.begin(), other.vertices.end());
        for (int32_t corner : other.corners)
            all.corners.push_back(corner + base);
        for (int32_t end : other.face_ends)
            all.face_ends.push_back(end + corner_base);
    }
    all.corner_uvs.clear(); // textures are not drawn in the view
    all.face_materials.clear();
    return all;
}

// Draws the picture again when the document or the camera changed, at the window's size.
void draw_picture(Viewer* viewer) {
    RECT area{};
    GetClientRect(viewer->window, &area);
    if (!viewer->stale && viewer->picture.width == area.right &&
        viewer->picture.height == area.bottom)
        return;
    viewer->stale = false;
    try {
        viewer->picture = render_mesh(document_picture(*viewer), area.right, area.bottom,
                                      viewer->copy_size, view_camera(*viewer));
    } catch (const std::bad_alloc&) {
        // The host's memory ran out: an empty view rather than a crash.
        viewer->picture = Image();
    }
    const size_t count = static_cast<size_t>(viewer->picture.width) * viewer->picture.height;
    viewer->pixels.assign(count * 4, 0);
    for (size_t i = 0; i < count; ++i)
        for (int k = 0; k < 3; ++k)
            viewer->pixels[i * 4 + k] = viewer->picture.rgb[i * 3 + 2 - k];
}

void on_paint(HWND window, WPARAM, LPARAM) {
    Viewer* viewer = viewer_of(window);
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    if (viewer && viewer->document) {
        ++viewer->paints;
        draw_picture(viewer);
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = viewer->picture.width;
        info.bmiHeader.biHeight = -viewer->picture.height; // rows top to bottom
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        SetDIBitsToDevice(dc, 0, 0, viewer->picture.width, viewer->picture.height, 0, 0, 0,
                          viewer->picture.height, viewer->pixels.data(), &info, DIB_RGB_COLORS);
    }
    EndPaint(window, &paint);
}

void on_size(HWND window, WPARAM, LPARAM) {
    if (Viewer* viewer = viewer_of(window)) viewer->stale = true;
    InvalidateRect(window, nullptr, FALSE);
}

void on_button_down(HWND window, WPARAM, LPARAM lparam) {
    Viewer* viewer = viewer_of(window);
    viewer->dragging = true;
    viewer->drag_from = {static_cast<short>(LOWORD(lparam)), static_cast<short>(HIWORD(lparam))};
    SetCapture(window);
}

// Dragging orbits the view: across turns it about the vertical, up and down tilts it.
void on_mouse_move(HWND window, WPARAM, LPARAM lparam) {
    Viewer* viewer = viewer_of(window);
    if (!viewer->dragging) return;
    const POINT at{static_cast<short>(LOWORD(lparam)), static_cast<short>(HIWORD(lparam))};
    viewer->angle.yaw -= (at.x - viewer->drag_from.x) * 0.01;
    viewer->angle.pitch =
        std::clamp(viewer->angle.pitch + (at.y - viewer->drag_from.y) * 0.01, -1.5, 1.5);
    viewer->drag_from = at;
    viewer->stale = true;
    InvalidateRect(window, nullptr, FALSE);
}

void on_button_up(HWND window, WPARAM, LPARAM) {
    viewer_of(window)->dragging = false;
    ReleaseCapture();
}

// The wheel zooms, a tenth nearer or farther per notch.
void on_wheel(HWND window, WPARAM wparam, LPARAM) {
    Viewer* viewer = viewer_of(window);
    const double notches = static_cast<short>(HIWORD(wparam)) / double(WHEEL_DELTA);
    viewer->angle.zoom = std::clamp(viewer->angle.zoom * std::pow(1.1, notches), 1e-3, 1e3);
    viewer->stale = true;
    InvalidateRect(window, nullptr, FALSE);
}

// The file dialog's answer; empty when the user cancels.
std::string ask_file_name(HWND window, bool save) {
    char name[MAX_PATH] = {};
    OPENFILENAMEA ask{};
    ask.lStructSize = sizeof ask;
    ask.hwndOwner = window;
    ask.lpstrFilter = "Wavefront OBJ (*.obj)\0*.obj\0All files\0*.*\0";
    ask.lpstrFile = name;
    ask.nMaxFile = sizeof name;
    ask.lpstrDefExt = "obj";
    // The host's current folder stays where it was.
    ask.Flags = OFN_NOCHANGEDIR | (save ? OFN_OVERWRITEPROMPT : OFN_FILEMUSTEXIST);
    const BOOL chosen = save ? GetSaveFileNameA(&ask) : GetOpenFileNameA(&ask);
    return chosen ? name : "";
}

void show_title(Viewer* viewer) {
    std::string title = window_title;
    if (!viewer->path.empty())
        title += " - " + viewer->path.substr(viewer->path.find_last_of("\\/") + 1);
    SetWindowTextA(viewer->window, title.c_str());
}

void on_command(HWND window, WPARAM wparam, LPARAM) {
    const int id = LOWORD(wparam);
    Viewer* viewer = viewer_of(window);
    std::string error;
    if (id == command_open) {
        const std::string path = ask_file_name(window, false);
        if (path.empty()) return;
        if (!open_mesh(viewer, path, &error))
            MessageBoxA(window, error.c_str(), window_title, MB_OK | MB_ICONERROR);
        show_title(viewer);
    } else if (id == command_save_as) {
        const std::string path = ask_file_name(window, true);
        if (!path.empty() && !save_mesh(*viewer, path, &error))
            MessageBoxA(window, error.c_str(), window_title, MB_OK | MB_ICONERROR);
    } else if (id == command_exit) {
        DestroyWindow(window);
    } else if (id == command_fit) {
        fit_view(viewer);
        InvalidateRect(window, nullptr, FALSE);
    } else if (id >= first_entry_command &&
               id - first_entry_command < static_cast<int>(viewer->entries.size())) {
        run_entry(viewer, id - first_entry_command);
    }
}

// A plug-in's modal dialog opens over the window (this one at the view's top-left corner). The
// host moves it beside the window once, when its modal loop first goes idle: the view stays in
// sight, and under Wine's X11 driver the part of a dialog that overlaps its shown owner is never
// put on the screen (it stays black), though Wine has painted it.
void on_enter_idle(HWND window, WPARAM wparam, LPARAM lparam) {
    Viewer* viewer = viewer_of(window);
    HWND dialog = reinterpret_cast<HWND>(lparam);
    if (wparam != MSGF_DIALOGBOX || !viewer || !viewer->command_running ||
        dialog == viewer->placed_dialog)
        return;
    viewer->placed_dialog = dialog;
    RECT frame{}, size{}, screen{};
    GetWindowRect(window, &frame);
    GetWindowRect(dialog, &size);
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &screen, 0);
    const int width = size.right - size.left, height = size.bottom - size.top;
    int x = frame.right, y = frame.top;
    if (x + width > screen.right) { // no room on the right: below, or else where it is
        x = frame.left;
        y = frame.bottom;
        if (y + height > screen.bottom) return;
    }
    SetWindowPos(dialog, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void on_destroy(HWND, WPARAM, LPARAM) { PostQuitMessage(0); }

// Every message the window handles, with its handler; each answers 0.
using MessageHandler = void (*)(HWND window, WPARAM wparam, LPARAM lparam);
struct HandledMessage {
    UINT message;
    MessageHandler handle;
};
const HandledMessage handled_messages[] = {
    {WM_PAINT, on_paint},
    {WM_SIZE, on_size},
    {WM_LBUTTONDOWN, on_button_down},
    {WM_MOUSEMOVE, on_mouse_move},
    {WM_LBUTTONUP, on_button_up},
    {WM_MOUSEWHEEL, on_wheel},
    {WM_COMMAND, on_command},
    {WM_ENTERIDLE, on_enter_idle},
    {WM_DESTROY, on_destroy},
};

LRESULT CALLBACK view_window_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_ERASEBKGND) return 1; // the picture covers the whole client area
    for (const HandledMessage& handled : handled_messages)
        if (handled.message == message) {
            handled.handle(window, wparam, lparam);
            return 0;
        }
    return DefWindowProcA(window, message, wparam, lparam);
}

// The host's own items in English; the plug-in's entries as its bytes, which the ANSI menu calls
// show in the system's code page (Japanese under code page 932).
HMENU create_menu(const Viewer& viewer) {
    HMENU file = CreatePopupMenu();
    AppendMenuA(file, MF_STRING, command_open, "&Open...\tCtrl+O");
    AppendMenuA(file, MF_STRING, command_save_as, "Save &As...");
    AppendMenuA(file, MF_SEPARATOR, 0, nullptr);
    AppendMenuA(file, MF_STRING, command_exit, "E&xit");
    HMENU view = CreatePopupMenu();
    AppendMenuA(view, MF_STRING, command_fit, "&Fit");
    HMENU plugins = CreatePopupMenu();
    for (size_t i = 0; i < viewer.entries.size(); ++i)
        AppendMenuA(plugins, MF_STRING, first_entry_command + i, viewer.entries[i].c_str());
    HMENU bar = CreateMenu();
    AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(file), "&File");
    AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(view), "&View");
    AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(plugins), "&Plug-ins");
    return bar;
}

} // namespace

HWND create_view_window(Viewer* viewer) {
    WNDCLASSA window_class = {};
    window_class.lpfnWndProc = view_window_proc;
    window_class.hInstance = GetModuleHandleA(nullptr);
    window_class.hCursor = LoadCursor(nullptr, IDC_ARROW);
    window_class.lpszClassName = window_class_name;
    RegisterClassA(&window_class);
    RECT area{0, 0, 640, 480}; // the view's size
    AdjustWindowRect(&area, WS_OVERLAPPEDWINDOW, TRUE);
    HWND window = CreateWindowExA(0, window_class_name, window_title, WS_OVERLAPPEDWINDOW, 0, 0,
                                  area.right - area.left, area.bottom - area.top, nullptr,
                                  create_menu(*viewer), window_class.hInstance, nullptr);
    if (window) {
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(viewer));
        viewer->window = window;
        show_title(viewer);
    }
    return window;
}

void redraw_view(Viewer* viewer) {
    viewer->stale = true;
    RedrawWindow(viewer->window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
}
