#include "host/driver/dialog_driver.h"

#include <cstring>

namespace dialog_driver {

namespace {

struct Search {
    const char* caption;
    HWND owner;
    HWND found;
};

BOOL CALLBACK match_window(HWND window, LPARAM lparam) {
    Search* search = reinterpret_cast<Search*>(lparam);
    char caption[256] = {};
    GetWindowTextA(window, caption, sizeof caption);
    if (std::strcmp(caption, search->caption) != 0 || !IsWindowVisible(window)) {
        return TRUE;
    }
    if (search->owner != nullptr && GetWindow(window, GW_OWNER) != search->owner) {
        return TRUE;
    }
    // Programs under one Wine server share the desktop: another process's dialog of the same
    // caption is not ours to drive.
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process != GetCurrentProcessId()) {
        return TRUE;
    }
    search->found = window;
    return FALSE;
}

DWORD thread_of(HWND window) { return GetWindowThreadProcessId(window, nullptr); }

} // namespace

HWND wait_for_dialog(const char* caption, HWND owner, DWORD timeout_ms) {
    DWORD start = GetTickCount();
    for (;;) {
        Search search{caption, owner, nullptr};
        EnumWindows(match_window, reinterpret_cast<LPARAM>(&search));
        if (search.found != nullptr) {
            sync(search.found); // the modal loop is running
            return search.found;
        }
        if (GetTickCount() - start > timeout_ms) {
            return nullptr;
        }
        Sleep(10);
    }
}

HWND wait_for_clone_dialog(DWORD timeout_ms) {
    return wait_for_dialog(clone_dialog_caption, nullptr, timeout_ms);
}

bool wait_for_close(HWND window, DWORD timeout_ms) {
    DWORD start = GetTickCount();
    while (IsWindow(window)) {
        if (GetTickCount() - start > timeout_ms) {
            return false;
        }
        Sleep(10);
    }
    return true;
}

HWND control(HWND dialog, int id) { return GetDlgItem(dialog, id); }

std::string text(HWND dialog, int id) {
    char buffer[1024] = {};
    SendMessageA(control(dialog, id), WM_GETTEXT, sizeof buffer, reinterpret_cast<LPARAM>(buffer));
    return buffer;
}

void set_text(HWND dialog, int id, const std::string& text) {
    SendMessageA(control(dialog, id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

void type_text(HWND dialog, int id, const std::string& text) {
    for (size_t length = 0; length <= text.size(); ++length) {
        set_text(dialog, id, text.substr(0, length));
    }
}

bool checked(HWND dialog, int id) {
    return SendMessageA(control(dialog, id), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void click(HWND dialog, int id) { SendMessageA(control(dialog, id), BM_CLICK, 0, 0); }

void click_spin(HWND dialog, int id, bool up) {
    HWND spin = control(dialog, id);
    RECT area{};
    GetClientRect(spin, &area);
    int x = (area.right - area.left) / 2;
    int y = up ? (area.bottom - area.top) / 4 : (area.bottom - area.top) * 3 / 4;
    PostMessageA(spin, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
    PostMessageA(spin, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
    sync(dialog);
}

HWND focus(HWND dialog) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    if (!GetGUIThreadInfo(thread_of(dialog), &info)) {
        return nullptr;
    }
    return info.hwndFocus;
}

int focus_id(HWND dialog) {
    HWND window = focus(dialog);
    if (window == nullptr || !IsChild(dialog, window)) {
        return 0;
    }
    return GetDlgCtrlID(window);
}

void set_focus(HWND dialog, int id) {
    SendMessageA(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control(dialog, id)), TRUE);
}

void press_key(HWND dialog, UINT virtual_key) {
    HWND target = focus(dialog);
    if (target == nullptr) {
        target = dialog;
    }
    UINT scan = MapVirtualKeyA(virtual_key, 0);
    PostMessageA(target, WM_KEYDOWN, virtual_key, 1 | (scan << 16));
    PostMessageA(target, WM_KEYUP, virtual_key, 1 | (scan << 16) | 0xC0000000u);
    // The key may end the dialog; only wait for it while the dialog is still there.
    if (IsWindow(dialog)) {
        sync(dialog);
    }
}

void close_box(HWND dialog) { PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0); }

void sync(HWND dialog) {
    // Posted messages are handled in order: post a harmless, observable change (the first
    // control's text limit, when it is an edit) behind everything posted so far and wait until it
    // has been made.
    HWND marker = GetWindow(dialog, GW_CHILD);
    char class_name[16] = {};
    if (marker == nullptr || GetClassNameA(marker, class_name, sizeof class_name) == 0 ||
        lstrcmpiA(class_name, "Edit") != 0) {
        Sleep(200); // no edit to mark with: give the dialog time instead
        return;
    }
    LRESULT old_limit = SendMessageA(marker, EM_GETLIMITTEXT, 0, 0);
    LRESULT cookie = old_limit == 4321 ? 4322 : 4321;
    PostMessageA(marker, EM_SETLIMITTEXT, static_cast<WPARAM>(cookie), 0);
    DWORD start = GetTickCount();
    while (IsWindow(marker) && SendMessageA(marker, EM_GETLIMITTEXT, 0, 0) != cookie) {
        if (GetTickCount() - start > 20000) {
            return;
        }
        Sleep(5);
    }
    SendMessageA(marker, EM_SETLIMITTEXT, static_cast<WPARAM>(old_limit), 0);
}

} // namespace dialog_driver
