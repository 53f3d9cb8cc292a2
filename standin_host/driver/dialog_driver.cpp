#include "driver/dialog_driver.h"

#include <cstring>
#include <utility>

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
    if (std::strcmp(caption, search->caption) != 0 || !IsWindowVisible(window)) return TRUE;
    if (search->owner != nullptr && GetWindow(window, GW_OWNER) != search->owner) return TRUE;
    // Programs under one Wine server share the desktop: another process's dialog of the same
    // caption is not ours to drive.
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process != GetCurrentProcessId()) return TRUE;
    search->found = window;
    return FALSE;
}

DWORD thread_of(HWND window) { return GetWindowThreadProcessId(window, nullptr); }

HWND find_dialog(const char* caption, HWND owner) {
    Search search{caption, owner, nullptr};
    EnumWindows(match_window, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// The ThreadDriver run on this thread, the fiber of its modal loop, and whether its script is the
// code running now.
thread_local ThreadDriver* active = nullptr;
thread_local void* loop_fiber = nullptr;
thread_local bool in_script = false;

void leave_script() {
    in_script = false;
    SwitchToFiber(loop_fiber);
    in_script = true;
}

// Waits a little: a script on the dialog's own thread lets the modal loop handle everything posted
// so far (until the driver's next timer tick); elsewhere the thread sleeps.
void pause(DWORD ms) {
    if (in_script)
        leave_script();
    else
        Sleep(ms);
}

} // namespace

HWND wait_for_dialog(const char* caption, HWND owner, DWORD timeout_ms) {
    DWORD start = GetTickCount();
    for (;;) {
        if (HWND found = find_dialog(caption, owner)) {
            sync(found); // the modal loop is running
            return found;
        }
        if (GetTickCount() - start > timeout_ms) return nullptr;
        pause(10);
    }
}

HWND wait_for_clone_dialog(DWORD timeout_ms) {
    return wait_for_dialog(clone_dialog_caption, nullptr, timeout_ms);
}

bool wait_for_close(HWND window, DWORD timeout_ms) {
    DWORD start = GetTickCount();
    while (IsWindow(window)) {
        if (GetTickCount() - start > timeout_ms) return false;
        pause(10);
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
    for (size_t length = 0; length <= text.size(); ++length)
        set_text(dialog, id, text.substr(0, length));
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
    if (!GetGUIThreadInfo(thread_of(dialog), &info)) return nullptr;
    return info.hwndFocus;
}

int focus_id(HWND dialog) {
    HWND window = focus(dialog);
    if (window == nullptr || !IsChild(dialog, window)) return 0;
    return GetDlgCtrlID(window);
}

void set_focus(HWND dialog, int id) {
    SendMessageA(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control(dialog, id)), TRUE);
}

void press_key(HWND dialog, UINT virtual_key) {
    HWND target = focus(dialog);
    if (target == nullptr) target = dialog;
    UINT scan = MapVirtualKeyA(virtual_key, 0);
    PostMessageA(target, WM_KEYDOWN, virtual_key, 1 | (scan << 16));
    PostMessageA(target, WM_KEYUP, virtual_key, 1 | (scan << 16) | 0xC0000000u);
    // The key may end the dialog; only wait for it while the dialog is still there.
    if (IsWindow(dialog)) sync(dialog);
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
        pause(200); // no edit to mark with: give the dialog time instead
        return;
    }
    LRESULT old_limit = SendMessageA(marker, EM_GETLIMITTEXT, 0, 0);
    LRESULT cookie = old_limit == 4321 ? 4322 : 4321;
    PostMessageA(marker, EM_SETLIMITTEXT, static_cast<WPARAM>(cookie), 0);
    DWORD start = GetTickCount();
    while (IsWindow(marker) && SendMessageA(marker, EM_GETLIMITTEXT, 0, 0) != cookie) {
        if (GetTickCount() - start > 20000) return;
        pause(5);
    }
    SendMessageA(marker, EM_SETLIMITTEXT, static_cast<WPARAM>(old_limit), 0);
}

void idle(DWORD ms) {
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < ms) {
        if (in_script) {
            leave_script();
            continue;
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    }
}

void ThreadDriver::start(const char* caption, std::function<void(HWND)> script) {
    caption_ = caption;
    script_ = std::move(script);
    converted_ = !IsThreadAFiber();
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Warray-bounds" // GCC misreads the thread block read inline
    loop_fiber_ = converted_ ? ConvertThreadToFiber(nullptr) : GetCurrentFiber();
#pragma GCC diagnostic pop
    script_fiber_ = CreateFiber(0, script_main, this);
    loop_fiber = loop_fiber_;
    // A thread timer: the modal loop dispatches it, after everything posted before each tick.
    timer_ = SetTimer(nullptr, 0, 10, tick);
    active = this;
}

bool ThreadDriver::finish() {
    if (script_fiber_ == nullptr) return dialog_ != nullptr;
    KillTimer(nullptr, timer_);
    // The dialog has gone: every wait of the script returns at once.
    while (dialog_ != nullptr && !done_)
        SwitchToFiber(script_fiber_);
    DeleteFiber(script_fiber_);
    script_fiber_ = loop_fiber = nullptr;
    if (converted_) ConvertFiberToThread();
    active = nullptr;
    return dialog_ != nullptr;
}

void CALLBACK ThreadDriver::tick(HWND, UINT, UINT_PTR, DWORD) {
    ThreadDriver* self = active;
    // Not from inside the script itself (a window procedure it calls may pump messages).
    if (self == nullptr || self->done_ || in_script) return;
    if (self->dialog_ == nullptr &&
        (self->dialog_ = find_dialog(self->caption_, nullptr)) == nullptr)
        return;
    SwitchToFiber(self->script_fiber_);
}

void WINAPI ThreadDriver::script_main(void* context) {
    ThreadDriver* self = static_cast<ThreadDriver*>(context);
    in_script = true;
    self->script_(self->dialog_);
    if (IsWindow(self->dialog_)) close_box(self->dialog_);
    self->done_ = true;
    for (;;)
        leave_script(); // a fiber must not return
}

} // namespace dialog_driver
