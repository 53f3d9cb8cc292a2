// Drives an open modal dialog by control identifier: what a user does with the mouse and keyboard,
// sent or posted to the dialog's thread. The script runs either on a second thread of the same
// process or, with ThreadDriver, on the dialog's own thread.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

namespace dialog_driver {

// Caption of the plug-in's settings dialog.
inline constexpr const char* clone_dialog_caption = "Quorvel - Clone -";

// Waits until a visible top-level window of this process with this caption (and, when owner is
// not null, this owner) exists; null after timeout_ms.
HWND wait_for_dialog(const char* caption, HWND owner, DWORD timeout_ms);
HWND wait_for_clone_dialog(DWORD timeout_ms = 20000);
// Waits until window no longer exists; false on timeout.
bool wait_for_close(HWND window, DWORD timeout_ms = 20000);

HWND control(HWND dialog, int id);
std::string text(HWND dialog, int id);
void set_text(HWND dialog, int id, const std::string& text); // one WM_SETTEXT
// Replaces the text one character at a time, as typing after emptying the edit does: every
// prefix of text arrives as a change.
void type_text(HWND dialog, int id, const std::string& text);
bool checked(HWND dialog, int id);
void click(HWND dialog, int id); // BM_CLICK on a button or check box
// One click on the up (or down) arrow of an up-down control.
void click_spin(HWND dialog, int id, bool up);

// Focus: read through the dialog thread's GUI state, moved with WM_NEXTDLGCTL.
HWND focus(HWND dialog);
int focus_id(HWND dialog); // 0 when nothing in the dialog has the focus
void set_focus(HWND dialog, int id);
// Posts a key press and release to the focused control (as the keyboard does), e.g. VK_RETURN,
// VK_ESCAPE, VK_TAB, VK_UP, VK_DOWN.
void press_key(HWND dialog, UINT virtual_key);
// The caption's close box.
void close_box(HWND dialog);

// Returns once every message posted to the dialog's thread before this call has been handled.
void sync(HWND dialog);
// Lets about ms pass with this thread's messages handled meanwhile: from a ThreadDriver script by
// the dialog's modal loop, elsewhere by a message loop of its own.
void idle(DWORD ms);

// Drives a modal dialog that this thread opens from this same thread, with no second thread: the
// script runs as a fiber that a timer in the dialog's modal loop resumes whenever it waits, so
// what it posts is handled by the modal loop in order and nothing interleaves with it. A dialog
// the script leaves open is closed with the close box. Usage: start, open the dialog (the call
// returns once it has closed), finish.
class ThreadDriver {
  public:
    ThreadDriver() = default;
    ThreadDriver(const ThreadDriver&) = delete;
    ThreadDriver& operator=(const ThreadDriver&) = delete;
    ~ThreadDriver() { finish(); }

    // Drives the first visible dialog of this process with this caption once it opens.
    void start(const char* caption, std::function<void(HWND)> script);
    // Lets the script run to its end after the dialog has gone; true when the dialog opened.
    bool finish();

  private:
    static void CALLBACK tick(HWND, UINT, UINT_PTR, DWORD);
    static void WINAPI script_main(void* self);

    const char* caption_ = nullptr;
    std::function<void(HWND)> script_;
    HWND dialog_ = nullptr;
    void* loop_fiber_ = nullptr;
    void* script_fiber_ = nullptr;
    bool converted_ = false; // this thread became a fiber for the run
    bool done_ = false;
    UINT_PTR timer_ = 0;
};

} // namespace dialog_driver
